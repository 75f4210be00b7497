// The drive chooser: one row per drive with the shell's display name ("Label (C:)") and icon.
#pragma once
#include <string>
#include "ui/ui.h"

// The drive letter (upper case) of a caption ending like "Local Disk (C:)": the character two
// positions after the first " (", taken only when the caption holds " (" and ":)"; 0 otherwise.
wchar_t DriveLetterOfCaption(const std::wstring& caption);

class TDiskListView : public ui::ListView {
public:
    TDiskListView(ui::Container& parent, int x, int y, int w, int h, ui::ListViewOptions options = DefaultOptions(),
                  const std::wstring& columnCaption = L"Select drives");

    // Fixed disks are selected when the rows are filled.
    bool SelectLocalDrives = true;

    // Rebuilds the rows: every letter A..Z whose root exists and the shell can name.
    void RefreshDrives();
    // The letters of the selected rows, in row order, without separators ("CD").
    std::wstring GetSelectedDrives() const;
    // The drive type (GetDriveType) of a row.
    UINT RowDriveType(int index) const;

    static ui::ListViewOptions DefaultOptions();

private:
    ui::ImageList images_{16, 8};   // "DiskListViewImageList"
};
