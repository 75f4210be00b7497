// The shared data module: image lists and pictures every window uses, created first in every
// run and freed last.
#pragma once
#include <windows.h>
#include <memory>
#include "ui/ui.h"

class TShellFileOp;

// Images of the shared 16-pixel list ilCommon16.
enum CommonImage {
    kImgScan = 0, kImgDelete = 1, kImgRecycle = 2, kImgExcluded = 3, kImgMoveTo = 4, kImgProperties = 5,
    kImgView = 6, kImgCheckAll = 7, kImgUncheckAll = 8, kImgFolderRow = 9, kImgMaskRow = 10, kImgTypeRow = 11,
    kImgExcludedFileRow = 12, kImgHelp = 13, kImgAdd = 14, kImgEdit = 15, kImgRemove = 16, kImgRegistry = 17,
    kImgStop = 18, kImgSave = 19, kImgOpen = 20, kImgCommonCount
};

class Tcommontools {
public:
    Tcommontools();
    ~Tcommontools();
    Tcommontools(const Tcommontools&) = delete;
    Tcommontools& operator=(const Tcommontools&) = delete;

    ui::ImageList ilCommon16{16};
    ui::ImageList ilIcons{16};
    // 32-pixel pictures of the removal-option panels, the magnifier and the help glyph.
    HBITMAP imgRecycle = nullptr, imgDelete = nullptr, imgMoveTo = nullptr, imgConfirm = nullptr, imgMag = nullptr,
            imgHelp16 = nullptr;
    // The shared file operation (files only, no confirmation, rename on collision).
    TShellFileOp& ShellFileOp1();

    // Draws one of the common images (also used for larger pictures).
    static void DrawImage(HDC dc, const RECT& rc, int image);

private:
    std::unique_ptr<TShellFileOp> shellFileOp_;
};

// The module of this run (created by the program entry, or on first use by tests).
Tcommontools& commontools();
void CreateCommonTools();
void FreeCommonTools();
