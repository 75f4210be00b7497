#include "core/shellopen.h"
#include <windows.h>
#include <shellapi.h>

static ShellOpener& Opener() {
    static ShellOpener o;
    return o;
}

ShellOpener SetShellOpener(ShellOpener opener) {
    ShellOpener old = std::move(Opener());
    Opener() = std::move(opener);
    return old;
}

bool ShellOpen(const std::wstring& target, const std::wstring& verb, const std::wstring& params) {
    if (Opener()) return Opener()(target, verb, params);
    HINSTANCE h = ::ShellExecuteW(nullptr, verb.c_str(), target.c_str(), params.empty() ? nullptr : params.c_str(),
                                  nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(h) > 32;
}
