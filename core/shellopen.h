// Opening documents, programs and web pages with the shell, behind a seam so that tests can see
// what would have been opened without starting a browser or an editor.
#pragma once
#include <functional>
#include <string>

// ShellExecute with the verb (e.g. L"open") and a normal window; true when the shell started it.
bool ShellOpen(const std::wstring& target, const std::wstring& verb = L"open", const std::wstring& params = L"");

using ShellOpener = std::function<bool(const std::wstring& target, const std::wstring& verb, const std::wstring& params)>;
ShellOpener SetShellOpener(ShellOpener opener);   // empty restores the shell

inline constexpr const wchar_t* kMakerWebAddress = L"https://www.ostrel.example/kestrune/";
inline constexpr const wchar_t* kMakerSupportAddress = L"https://www.ostrel.example/kestrune/support/";
