#include "scan/SHFileOp.h"
#include "core/common.h"
#include <shlobj.h>
#include <algorithm>

namespace {

enum class Kind { None, File, Folder };

Kind KindOf(const std::wstring& path) {
    DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return Kind::None;
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
}

// Gone: the path names nothing any more (an unreadable path counts as still there).
bool IsGone(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    DWORD e = ::GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND;
}

std::wstring NameOf(const std::wstring& path) {
    size_t p = path.find_last_of(L"\\/");
    return p == std::wstring::npos ? path : path.substr(p + 1);
}

}  // namespace

void TShellFileOp::AddFile(const std::wstring& path) {
    if (ClearOnAdd) files_.clear();
    auto it = std::lower_bound(files_.begin(), files_.end(), path,
                               [](const std::wstring& a, const std::wstring& b) { return CompareTextLocale(a, b) < 0; });
    if (it != files_.end() && CompareTextLocale(*it, path) == 0) return;
    files_.insert(it, path);
}

FILEOP_FLAGS TShellFileOp::Flags(Operation op) const {
    FILEOP_FLAGS f = 0;
    if (FilesOnly) f |= FOF_FILESONLY;
    if (NoConfirmation) f |= FOF_NOCONFIRMATION;
    if (!Animate) f |= FOF_SILENT;
    if (op == Operation::Recycle) f |= FOF_ALLOWUNDO;
    if (!ProgressTitle.empty()) f |= FOF_SIMPLEPROGRESS;
    if (op == Operation::Move && AutoMakeDir) f |= FOF_NOCONFIRMMKDIR;
    if (op == Operation::Move && RenameOnCollision) f |= FOF_RENAMEONCOLLISION;
    return f;
}

std::wstring TShellFileOp::DoubleNulList(const std::vector<std::wstring>& paths) {
    std::wstring s;
    for (const auto& p : paths) {
        s += p;
        s += L'\0';
    }
    s += L'\0';
    return s;
}

std::wstring TShellFileOp::FreeTargetName(const std::wstring& folder, const std::wstring& fileName,
                                          const std::vector<std::wstring>& taken) {
    auto used = [&](const std::wstring& name) {
        for (const auto& t : taken)
            if (SameText(t, name)) return true;
        return ::GetFileAttributesW((folder + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    if (!used(fileName)) return fileName;
    size_t dot = fileName.find_last_of(L'.');
    std::wstring stem = dot == std::wstring::npos || dot == 0 ? fileName : fileName.substr(0, dot);
    std::wstring ext = dot == std::wstring::npos || dot == 0 ? std::wstring() : fileName.substr(dot);
    for (int n = 2;; ++n) {
        std::wstring candidate = stem + L" (" + std::to_wstring(n) + L")" + ext;
        if (!used(candidate)) return candidate;
    }
}

bool TShellFileOp::Delete() { return Perform(Operation::Delete, L""); }
bool TShellFileOp::Recycle() { return Perform(Operation::Recycle, L""); }
bool TShellFileOp::MoveTo(const std::wstring& folder) { return Perform(Operation::Move, folder); }

bool TShellFileOp::WasRemoved(const std::wstring& path) const {
    for (const auto& r : results_)
        if (r.removed && SameText(r.path, path)) return true;
    return false;
}

int TShellFileOp::RemovedCount() const {
    return static_cast<int>(std::count_if(results_.begin(), results_.end(), [](const Outcome& o) { return o.removed; }));
}

bool TShellFileOp::Perform(Operation op, const std::wstring& folder) {
    results_.clear();
    shellResult_ = 0;
    if (files_.empty()) return false;
    bool aborted = false;
    try {
        std::vector<std::wstring> files;
        files.swap(files_);   // the list is emptied whatever happens below
        for (const auto& p : files) {
            Outcome o;
            o.path = p;
            o.existed = IsPlainAbsolutePath(p) && KindOf(p) == Kind::File;
            results_.push_back(o);
        }

        std::wstring dest;
        if (op == Operation::Move) {
            destination_ = folder;
            dest = folder;
            while (dest.size() > 3 && dest.back() == L'\\') dest.pop_back();
            if (dest.size() == 2 && dest[1] == L':') dest += L'\\';
            bool ok = IsPlainAbsolutePath(dest);
            if (ok && KindOf(dest) != Kind::Folder) {
                ok = AutoMakeDir && KindOf(dest) == Kind::None &&
                     ::SHCreateDirectoryExW(nullptr, dest.c_str(), nullptr) == ERROR_SUCCESS &&
                     KindOf(dest) == Kind::Folder;
            }
            if (!ok) return true;   // nothing is moved
            if (dest.back() != L'\\') dest += L'\\';
        }

        std::vector<std::wstring> sources, targets, takenNames;
        for (auto& o : results_) {
            if (!o.existed) continue;
            if (op == Operation::Move) {
                std::wstring name = NameOf(o.path);
                std::wstring free = FreeTargetName(dest, name, takenNames);
                if (!SameText(free, name) && !RenameOnCollision) continue;   // never overwrite
                // Moving a file onto itself: leave it.
                if (SameText(dest + name, o.path)) continue;
                takenNames.push_back(free);
                o.target = dest + free;
                targets.push_back(o.target);
            }
            sources.push_back(o.path);
        }
        if (sources.empty()) return false;

        std::wstring from = DoubleNulList(sources);
        std::wstring to = DoubleNulList(targets);
        SHFILEOPSTRUCTW fo{};
        fo.hwnd = nullptr;
        fo.wFunc = op == Operation::Move ? FO_MOVE : FO_DELETE;
        fo.pFrom = from.c_str();
        fo.pTo = op == Operation::Move ? to.c_str() : nullptr;
        fo.fFlags = Flags(op);
        if (op == Operation::Move) fo.fFlags |= FOF_MULTIDESTFILES;
        fo.lpszProgressTitle = ProgressTitle.empty() ? nullptr : ProgressTitle.c_str();
        shellResult_ = ::SHFileOperationW(&fo);
        aborted = fo.fAnyOperationsAborted != FALSE;

        for (auto& o : results_)
            if (o.existed) o.removed = IsGone(o.path);
    } catch (...) {
        files_.clear();
    }
    return aborted;
}
