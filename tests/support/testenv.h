// Helpers for tests: scratch folders, a private registry view, extra drive letters and
// message pumping with a deadline.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "core/winhandle.h"

namespace kestest {

// A fresh folder under the system temp folder, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // The folder with its trailing backslash.
    const std::wstring& path() const { return path_; }
    // path() + relative; creates the parent folders of a file written with WriteFile.
    std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }
    // Creates the file (and its folders) with the given content.
    std::wstring WriteFile(const std::wstring& relative, const std::string& content = "") const;
    std::wstring MakeDir(const std::wstring& relative) const;
private:
    std::wstring path_;
};

// Redirects HKEY_CURRENT_USER (and, when asked, HKEY_LOCAL_MACHINE) of this process to fresh
// scratch keys, so a test sees an empty registry and leaves the prefix's registry as it was.
// Only this process sees the redirection (not programs it starts).
class ScratchRegistry {
public:
    explicit ScratchRegistry(bool alsoMachine = false);
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;
    // The real path (under the real HKEY_CURRENT_USER) that stands in for HKCU.
    const std::wstring& userRoot() const { return userPath_; }
private:
    std::wstring base_, userPath_;
    RegKey user_, machine_;
};

// One of the extra drive letters of the test prefix, held exclusively by this process for the
// fixture's lifetime and emptied at the start and the end.
//   'X' fixed disk, 'Y' CD-ROM, 'W' network, 'V' removable (floppy)
class ExtraDrive {
public:
    explicit ExtraDrive(wchar_t letter = L'X');
    ~ExtraDrive();
    ExtraDrive(const ExtraDrive&) = delete;
    ExtraDrive& operator=(const ExtraDrive&) = delete;
    std::wstring root() const { return std::wstring(1, letter_) + L":\\"; }
    wchar_t letter() const { return letter_; }
    std::wstring WriteFile(const std::wstring& relative, const std::string& content = "") const;
private:
    wchar_t letter_;
    UniqueHandle mutex_;
};

// Pumps this thread's messages until cond() holds or the timeout passes; answers cond().
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 10000);
// Pumps what is pending.
void PumpPending();

// Recursively removes a folder (files made writable first). Refuses drive roots.
void RemoveTree(const std::wstring& folder);
// Creates a file with content; creates its folders.
void WriteTextFile(const std::wstring& path, const std::string& content);
std::string ReadTextFile(const std::wstring& path);

// The folder holding the test programs (build/tests\) and the program folder (build/bin\).
std::wstring TestBinFolder();
std::wstring ProductBinFolder();

// Starts a program with a command line and waits for it; answers its exit code, or -1 when it
// did not end within the timeout (it is then terminated, so a test never hangs).
int RunProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs = 60000);

// UTF-8 <-> UTF-16 for test data.
std::wstring Widen(const std::string& s);
std::string Narrow(const std::wstring& s);

}  // namespace kestest
