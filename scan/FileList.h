// The result list of the file tools: one row per file with size, type, modification time,
// attributes and version strings; a click on a column heading sorts by that column.
#pragma once
#include <cstdint>
#include <string>
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
    int AddRow(const std::wstring& path, const std::wstring& type, const FoundFile& info, bool readVersions);
};
