// Deleting, recycling and moving a list of files through the Windows shell.
// Self-contained: includes only system and standard headers.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

class TShellFileOp {
public:
    enum class Operation { Delete, Recycle, Move };

    // What became of one listed file in the last operation.
    struct Outcome {
        std::wstring path;       // as listed
        std::wstring target;     // a move: where the file went (or would have gone)
        bool existed = false;    // the file was there when the operation started
        bool removed = false;    // it was there before and is gone from `path` afterwards
    };

    bool FilesOnly = false;
    bool NoConfirmation = false;
    bool AutoMakeDir = false;         // a missing move destination is created
    bool RenameOnCollision = false;   // a moved file whose name is taken gets "name (2).ext", ...
    bool Animate = false;             // false: silent
    bool ClearOnAdd = false;
    std::wstring ProgressTitle;

    // Adds a path to the list (sorted, case ignored, kept once); empties the list first when
    // ClearOnAdd is set.
    void AddFile(const std::wstring& path);
    void Clear() { files_.clear(); }
    const std::vector<std::wstring>& Files() const { return files_; }

    // Each returns false at once when the list is empty. Otherwise it hands the files to one
    // shell operation, empties the list and answers whether the shell reported that some part
    // was aborted. A move never overwrites: without RenameOnCollision a file whose name is taken
    // in the destination stays where it is; a destination that does not exist (and is not
    // created because AutoMakeDir is off) moves nothing and answers true.
    bool Delete();
    bool Recycle();
    bool MoveTo(const std::wstring& folder);

    // Per-file results of the last Delete/Recycle/MoveTo, in list order.
    const std::vector<Outcome>& LastResults() const { return results_; }
    // Whether `path` (case ignored) was removed by the last operation.
    bool WasRemoved(const std::wstring& path) const;
    int RemovedCount() const;
    // The shell's own answer of the last operation (0 when it was not called).
    int LastShellResult() const { return shellResult_; }
    const std::wstring& LastDestination() const { return destination_; }

    // The flags the shell is given for an operation with the current settings.
    FILEOP_FLAGS Flags(Operation op) const;
    // Every path followed by one NUL, and one more NUL at the end.
    static std::wstring DoubleNulList(const std::vector<std::wstring>& paths);
    // The first free name for `fileName` in `folder` (with backslash): the name itself, else
    // "stem (2).ext", "stem (3).ext", ...; names in `taken` count as used as well.
    static std::wstring FreeTargetName(const std::wstring& folder, const std::wstring& fileName,
                                       const std::vector<std::wstring>& taken);

private:
    bool Perform(Operation op, const std::wstring& folder);
    std::vector<std::wstring> files_;
    std::vector<Outcome> results_;
    std::wstring destination_;
    int shellResult_ = 0;
};
