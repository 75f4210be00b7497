#include "tests/support/testenv.h"
#include <gtest/gtest.h>
#include <atomic>
#include <fstream>
#include <vector>
#include "core/paths.h"
#include "core/registry.h"

namespace kestest {

static std::atomic<int> g_counter{0};

static void MakeDirs(const std::wstring& folder) {
    std::wstring acc;
    for (size_t i = 0; i < folder.size(); ++i) {
        acc += folder[i];
        if (folder[i] == L'\\' && acc.size() > 3) ::CreateDirectoryW(acc.c_str(), nullptr);
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

void WriteTextFile(const std::wstring& path, const std::string& content) {
    MakeDirs(ExtractFilePath(path));
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot create " << Narrow(path);
    DWORD written = 0;
    if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
}

std::string ReadTextFile(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buf[65536];
    DWORD n = 0;
    while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
    ::CloseHandle(h);
    return out;
}

void RemoveTree(const std::wstring& folder) {
    std::wstring f = IncludeTrailingBackslash(folder);
    if (f.size() <= 3) return;  // never a drive root
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((f + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring p = f + name;
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(p);
            } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ::RemoveDirectoryW(p.c_str());
            } else {
                ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(p.c_str());
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(ExcludeTrailingBackslash(folder).c_str());
}

static void EmptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L".." || name == L".windows-label") continue;
        std::wstring p = folder + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
        else { ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL); ::DeleteFileW(p.c_str()); }
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

ScratchFolder::ScratchFolder() {
    wchar_t tmp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH, tmp);
    path_ = IncludeTrailingBackslash(tmp) + L"kestest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++g_counter) + L"-" + std::to_wstring(::GetTickCount()) + L"\\";
    MakeDirs(ExcludeTrailingBackslash(path_));
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::wstring ScratchFolder::WriteFile(const std::wstring& relative, const std::string& content) const {
    std::wstring p = path_ + relative;
    WriteTextFile(p, content);
    return p;
}

std::wstring ScratchFolder::MakeDir(const std::wstring& relative) const {
    std::wstring p = IncludeTrailingBackslash(path_ + relative);
    MakeDirs(ExcludeTrailingBackslash(p));
    return p;
}

ScratchRegistry::ScratchRegistry(bool alsoMachine) {
    base_ = L"Software\\KestruneTests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++g_counter);
    userPath_ = base_ + L"\\HKCU";
    user_ = OpenKey(HKEY_CURRENT_USER, userPath_, true, KEY_ALL_ACCESS);
    EXPECT_TRUE(user_) << "cannot create the scratch key";
    if (alsoMachine) machine_ = OpenKey(HKEY_CURRENT_USER, base_ + L"\\HKLM", true, KEY_ALL_ACCESS);
    // The machine key first: once HKCU is redirected the scratch base is out of reach.
    if (machine_) ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.get());
    ::RegOverridePredefKey(HKEY_CURRENT_USER, user_.get());
}

ScratchRegistry::~ScratchRegistry() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (machine_) ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    user_.reset();
    machine_.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, base_.c_str());
}

ExtraDrive::ExtraDrive(wchar_t letter) : letter_(letter) {
    std::wstring name = L"Local\\KestruneTestDrive_" + std::wstring(1, letter);
    mutex_.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
    if (mutex_) ::WaitForSingleObject(mutex_.get(), 600000);
    EXPECT_NE(::GetDriveTypeW(root().c_str()), static_cast<UINT>(DRIVE_NO_ROOT_DIR))
        << "test drive " << static_cast<char>(letter) << ": is not mapped (tests/wine-session.sh)";
    EmptyFolder(root());
}

ExtraDrive::~ExtraDrive() {
    EmptyFolder(root());
    if (mutex_) ::ReleaseMutex(mutex_.get());
}

std::wstring ExtraDrive::WriteFile(const std::wstring& relative, const std::string& content) const {
    std::wstring p = root() + relative;
    WriteTextFile(p, content);
    return p;
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    while (!cond()) {
        if (::GetTickCount() - start > timeoutMs) return cond();
        PumpPending();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::wstring TestBinFolder() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
    return ExtractFilePath(std::wstring(buf, n));
}

std::wstring ProductBinFolder() {
    std::wstring t = ExcludeTrailingBackslash(TestBinFolder());
    return ExtractFilePath(t) + L"bin\\";
}

int RunProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs) {
    std::wstring cmd = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -2;
    UniqueHandle process(pi.hProcess), thread(pi.hThread);
    // Pump while waiting: the child may broadcast messages to top-level windows.
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD w = ::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT);
        if (w == WAIT_OBJECT_0) break;
        PumpPending();
        if (::GetTickCount() - start > timeoutMs) {
            ::TerminateProcess(pi.hProcess, 99);
            ::WaitForSingleObject(pi.hProcess, 5000);
            return -1;
        }
    }
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

std::wstring Widen(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& s) {
    if (s.empty()) return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string a(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), a.data(), n, nullptr, nullptr);
    return a;
}

}  // namespace kestest
