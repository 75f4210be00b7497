// The program's error type: a failed platform call or a broken stored value ends the current
// operation with a clear message (shown by the window layer's default error handler).
#pragma once
#include <stdexcept>
#include <string>
#include <windows.h>

class KesError : public std::exception {
public:
    explicit KesError(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& message() const { return message_; }
    const char* what() const noexcept override { return "Kestrune error"; }
private:
    std::wstring message_;
};

// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(DWORD code);

// Throws KesError "<what>: <system text>" for the code.
[[noreturn]] void ThrowSystemError(const std::wstring& what, DWORD code);
