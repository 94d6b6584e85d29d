#pragma once
// Whole files on Windows: opened so that others may go on reading, writing,
// renaming and deleting them, and replaced only by renaming a complete copy.
#include <windows.h>

#include <functional>
#include <string>

namespace noce::win32 {

// A handle closed when it goes.
class Maniglia {
public:
    explicit Maniglia(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Maniglia() { Chiudi(); }
    Maniglia(Maniglia&& a) noexcept : h_(a.h_) { a.h_ = INVALID_HANDLE_VALUE; }
    Maniglia& operator=(Maniglia&& a) noexcept {
        if (this != &a) {
            Chiudi();
            h_ = a.h_;
            a.h_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    Maniglia(const Maniglia&) = delete;
    Maniglia& operator=(const Maniglia&) = delete;
    HANDLE get() const { return h_; }
    bool Valida() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    void Chiudi() {
        if (Valida()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

// Every reader shares read, write and delete: the downloader replaces the
// marker, and the log grows, while the installer reads them. Throws the
// runtime's error; a folder is an access error.
Maniglia ApriInLettura(const std::wstring& percorso);
std::string LeggiTuttoWin(const std::wstring& percorso);

void ScriviTuttoWin(HANDLE h, const char* dati, std::size_t n);

// Replaces `destinazione` with what `scrivi` writes into a hidden temporary
// file beside it: flushed, made visible, then renamed over the destination.
// A reader holding the destination only delays the rename, up to
// AttesaSostituzioneMs; nothing but the complete file ever carries the
// destination's name, and a failure leaves no temporary file behind.
inline constexpr unsigned AttesaSostituzioneMs = 2000;
void SostituisciFileWin(const std::wstring& destinazione, const std::function<void(HANDLE)>& scrivi);
// The same for a writer that wants a file name (the shell's link object):
// `crea` makes the temporary file it is given, and throws when it cannot.
void SostituisciConNome(const std::wstring& destinazione, const std::function<void(const std::wstring&)>& crea);

}  // namespace noce::win32
