// The registry cleaner's rules and walk, free of any window: which strings are dead references,
// the depth-first key walk, the shared-DLL pass, the row captions and the removal of one row.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

class RegUndoFile;

// True when nothing is wrong with S. Only plain absolute paths on local fixed drives (C: to Z:,
// no ';', ',' or blank) are judged: a name with an extension must be an existing file in an
// enterable folder, any other path an enterable folder. Leaves the current folder as it was.
bool IsValidReference(const std::wstring& s);

// The drive part of a path with a trailing backslash: "X:\" or "\\server\share\"; empty when
// the path has neither.
std::wstring DriveRootOf(const std::wstring& path);

// "mm/dd/yyyy hh:mmAM" with the user's date and time separators; no conversion to local time.
std::wstring FormatKeyTime(const FILETIME& ft);

// Row images of the result list.
inline constexpr int kImgKeyRow = 17;   // the registry picture of the shared list
inline constexpr int kImgDllRow = 11;   // the file-type picture

inline constexpr const wchar_t* kSharedDllKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

struct RegRow {
    std::wstring caption;        // root name + ": " + key path
    int image = kImgKeyRow;
    std::wstring modified;       // FormatKeyTime of the key
    std::wstring valueName;
    std::wstring data;
};

// Splits a row caption into root name and key path (with a leading backslash). False when the
// caption has no ':' or names no known hive.
bool ParseRowCaption(const std::wstring& caption, std::wstring& rootName, std::wstring& keyPath, HKEY& root);

// The walk over one area. Rows are handed to OnRow as they are found.
class RegistryWalker {
public:
    // rootName is the hive name shown in the rows.
    RegistryWalker(HKEY root, std::wstring rootName) : root_(root), rootName_(std::move(rootName)) {}

    std::function<void(const RegRow&)> OnRow;
    // Before each examined string value, with the name of its key (the window shows it and
    // processes messages there).
    std::function<void(const std::wstring& keyName)> OnAnalyzing;
    // Checked after each examined value and each subkey; true ends the walk.
    std::function<bool()> StopRequested;

    // Walks every key below startPath ("" for the hive root, "Software", ...); the values of the
    // start key itself are not examined. Answers false when the start key cannot be opened.
    bool ScanKeys(const std::wstring& startPath);
    // The shared-DLL pass over the values of keyPath: a value named by a path that is not an
    // existing file gives a row; with excludeRemote, paths on CD-ROM and network drives are
    // passed over. Answers false when the key cannot be opened.
    bool DoAnalyzeDLLs(const std::wstring& keyPath, bool excludeRemote);

private:
    bool Stop() const { return StopRequested && StopRequested(); }
    void Walk(HKEY key, const std::wstring& path, int depth);
    void AnalyzeValues(HKEY key, const std::wstring& path, const std::wstring& name);
    HKEY root_;
    std::wstring rootName_;
};

// The outcome of removing one row's value.
enum class RemoveResult { Removed, KeyMissing, ValueMissing, NotSaved, Failed };

// Deletes the value of a row after appending it to the undo file. Nothing is deleted when the
// undo record cannot be written (NotSaved). `error` receives a readable reason on failure.
RemoveResult RemoveRowValue(const RegRow& row, RegUndoFile& undo, std::wstring& error);

// --- the registry editor for whole-registry backup and restore -------------------------------
struct RegistryEditor {
    std::wstring program = L"regedit.exe";
    DWORD timeoutMs = 10 * 60 * 1000;   // a whole-registry export is slow on big registries
    // Called while waiting (the window processes its messages there).
    std::function<void()> OnWaiting;
    // Runs the editor with the parameters and waits until it ends. False (with the reason) when
    // it could not be started or did not end within the timeout.
    bool Run(HWND owner, const std::wstring& parameters, std::wstring& error) const;
};

// Exports the whole registry to `target`: written to a temporary file beside it first, checked
// (a registry editor header), then moved over the old file, so a failed export keeps the old
// backup. False with the reason on failure.
bool ExportRegistry(const RegistryEditor& editor, HWND owner, const std::wstring& target, std::wstring& error);
