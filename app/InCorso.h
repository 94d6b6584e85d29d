#pragma once
// Holds a handler's busy flag for as long as the handler runs, also when it
// leaves by an error or by the end of the program.
namespace noce {

class InCorso {
public:
    explicit InCorso(bool& flag) : flag_(flag) { flag_ = true; }
    ~InCorso() { flag_ = false; }
    InCorso(const InCorso&) = delete;
    InCorso& operator=(const InCorso&) = delete;

private:
    bool& flag_;
};

}  // namespace noce
