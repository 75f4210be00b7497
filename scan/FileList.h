// The result list of the file tools: one row per file with size, type, modification time,
// attributes and version strings; a click on a column heading sorts by that column.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>
#include "ui/ui.h"

// The attribute text of a row: "R", "H", "S", "A" or a blank each, in that order.
std::wstring AttributeText(DWORD attributes);
// Lower-cases the letters A to Z only.
std::wstring LowerAsciiLetters(const std::wstring& s);
// A string of the file's version resource ("FileVersion", "ProductVersion", ...) from its first
// translation; empty when there is none.
std::wstring FileVersionString(const std::wstring& path, const std::wstring& name);
// The time column read back ("yyyy/mm/dd" with an optional " hh:nn"); false when unreadable.
bool ParseListTime(const std::wstring& text, double& dateTime);
// The row comparison used when sorting by `column` (before the direction is applied).
int CompareFileRows(int column, const std::wstring& a, const std::wstring& b);

class TFileListView : public ui::ListView {
public:
    // Without captions the columns are "Name", "Size", "Type", "Modified", "Attr", "File Ver",
    // "Prod Ver". Sets the process's date and time formats to "yyyy/mm/dd" and "hh:nn".
    TFileListView(ui::Container& parent, int x, int y, int w, int h, std::vector<std::wstring> captions = {},
                  ui::ListViewOptions options = DefaultOptions());

    // Appends a row for the file; false (nothing added) when the shell does not know it or it
    // cannot be found. size receives the low 32 bits of the file's size.
    bool AddFile(const std::wstring& path, int32_t& size);
    bool AddFile(const std::wstring& path) { int32_t s; return AddFile(path, s); }

    // The same row from what a folder listing already gave (no new lookup of the file); the
    // version columns are read only when readVersions is set. Answers the row, or -1.
    struct FoundFile {
        DWORD attributes;
        uint64_t size;
        FILETIME lastWrite;
    };
    int AddFoundFile(const std::wstring& path, const FoundFile& info, bool readVersions);

    // The row's version columns and image, worked out when the list first needs them.
    struct RowDetails {
        std::wstring fileVersion, productVersion;
        int image = 0;
    };
    // Finds the details of a deferred row; without a handler the versions are read and the
    // image is 0.
    std::function<void(const std::wstring& path, uint64_t size, RowDetails& details)> OnRowDetails;
    // As AddFoundFile, but the version columns and the image are filled on first use: when the
    // row is drawn, its texts or image are read, or the list is sorted. Answers the row, or -1.
    int AddDeferredFile(const std::wstring& path, const FoundFile& info);
    // Forgets the details of deferred rows (rows still in the list ask again).
    void ClearDeferred() { deferred_.clear(); }

    bool HandleNotify(NMHDR* hdr, LRESULT& result) override;

    // As a click on the heading: the current column again reverses the direction, another
    // column sorts ascending.
    void SortByColumn(int column);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return ascending_; }

    static ui::ListViewOptions DefaultOptions();

private:
    int sortColumn_ = 1;
    bool ascending_ = true;
    bool sorted_ = false;
    std::vector<std::pair<std::wstring, std::wstring>> typeNames_;   // extension -> shell type name
    struct Deferred {
        std::wstring path;
        uint64_t size = 0;
        bool resolved = false;
        RowDetails details;
    };
    std::unordered_map<std::wstring, Deferred> deferred_;   // by caption
    void SetCallbackText(int row, int column);
    const std::wstring* TypeName(const std::wstring& path, DWORD attributes);
    int AddRow(const std::wstring& path, const std::wstring& type, const FoundFile& info, bool readVersions,
               bool deferred = false);
};
