#pragma once
// Whether a handler of the window is running, and how deep: a handler that
// lets events through can be reached again from inside itself. Each entry
// holds a Guardia for as long as it runs, also when it leaves by an error
// or by the end of the program; the entries that must not nest check the
// count first.
namespace noce {

class InCorso {
public:
    explicit operator bool() const { return volte_ > 0; }

    class Guardia {
    public:
        explicit Guardia(InCorso& stato) : stato_(stato) { ++stato_.volte_; }
        ~Guardia() { --stato_.volte_; }
        Guardia(const Guardia&) = delete;
        Guardia& operator=(const Guardia&) = delete;

    private:
        InCorso& stato_;
    };

private:
    int volte_ = 0;
};

}  // namespace noce
