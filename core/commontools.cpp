#include "core/commontools.h"
#include "scan/SHFileOp.h"

namespace {

std::unique_ptr<Tcommontools>& Instance() {
    static std::unique_ptr<Tcommontools> module;
    return module;
}

struct Pen {
    HDC dc;
    HGDIOBJ oldPen, oldBrush;
    HPEN pen;
    HBRUSH brush;
    Pen(HDC d, COLORREF line, COLORREF fill, int width = 1) : dc(d) {
        pen = ::CreatePen(PS_SOLID, width, line);
        brush = fill == CLR_INVALID ? static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)) : ::CreateSolidBrush(fill);
        oldPen = ::SelectObject(dc, pen);
        oldBrush = ::SelectObject(dc, brush);
    }
    ~Pen() {
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(pen);
        if (brush != ::GetStockObject(NULL_BRUSH)) ::DeleteObject(brush);
    }
};

int S(const RECT& rc, int v) { return v * (rc.right - rc.left) / 16; }

void Folder(HDC dc, const RECT& rc, COLORREF fill) {
    Pen p(dc, RGB(150, 110, 20), fill);
    POINT pts[] = {{rc.left + S(rc, 1), rc.top + S(rc, 4)},  {rc.left + S(rc, 6), rc.top + S(rc, 4)},
                   {rc.left + S(rc, 7), rc.top + S(rc, 5)},  {rc.left + S(rc, 15), rc.top + S(rc, 5)},
                   {rc.left + S(rc, 15), rc.top + S(rc, 14)}, {rc.left + S(rc, 1), rc.top + S(rc, 14)}};
    ::Polygon(dc, pts, 6);
}

void Page(HDC dc, const RECT& rc, COLORREF fill) {
    Pen p(dc, RGB(90, 90, 90), fill);
    ::Rectangle(dc, rc.left + S(rc, 3), rc.top + S(rc, 1), rc.left + S(rc, 13), rc.top + S(rc, 15));
    for (int y = 4; y <= 11; y += 3) {
        ::MoveToEx(dc, rc.left + S(rc, 5), rc.top + S(rc, y), nullptr);
        ::LineTo(dc, rc.left + S(rc, 11), rc.top + S(rc, y));
    }
}

void Slash(HDC dc, const RECT& rc) {
    Pen p(dc, RGB(210, 20, 20), CLR_INVALID, std::max(2, S(rc, 2)));
    ::Ellipse(dc, rc.left + S(rc, 7), rc.top + S(rc, 7), rc.left + S(rc, 16), rc.top + S(rc, 16));
    ::MoveToEx(dc, rc.left + S(rc, 8), rc.top + S(rc, 15), nullptr);
    ::LineTo(dc, rc.left + S(rc, 15), rc.top + S(rc, 8));
}

void Cross(HDC dc, const RECT& rc, COLORREF c) {
    Pen p(dc, c, CLR_INVALID, std::max(2, S(rc, 3)));
    ::MoveToEx(dc, rc.left + S(rc, 3), rc.top + S(rc, 3), nullptr);
    ::LineTo(dc, rc.left + S(rc, 13), rc.top + S(rc, 13));
    ::MoveToEx(dc, rc.left + S(rc, 13), rc.top + S(rc, 3), nullptr);
    ::LineTo(dc, rc.left + S(rc, 3), rc.top + S(rc, 13));
}

void Tick(HDC dc, const RECT& rc, COLORREF c) {
    Pen p(dc, c, CLR_INVALID, std::max(2, S(rc, 2)));
    ::MoveToEx(dc, rc.left + S(rc, 3), rc.top + S(rc, 8), nullptr);
    ::LineTo(dc, rc.left + S(rc, 7), rc.top + S(rc, 12));
    ::LineTo(dc, rc.left + S(rc, 14), rc.top + S(rc, 3));
}

void Letter(HDC dc, const RECT& rc, const wchar_t* text, COLORREF c) {
    HFONT f = ::CreateFontW(-S(rc, 13), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0,
                            L"Arial");
    HGDIOBJ old = ::SelectObject(dc, f);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, c);
    RECT r = rc;
    ::DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::DeleteObject(f);
}

HBITMAP MakePicture(int size, int image) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    RECT rc{0, 0, size, size};
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    Tcommontools::DrawImage(dc, rc, image);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return bmp;
}

}  // namespace

void Tcommontools::DrawImage(HDC dc, const RECT& rc, int image) {
    switch (image) {
        case kImgScan: {   // magnifier
            Pen p(dc, RGB(40, 40, 120), RGB(200, 230, 255), std::max(1, S(rc, 2)));
            ::Ellipse(dc, rc.left + S(rc, 1), rc.top + S(rc, 1), rc.left + S(rc, 11), rc.top + S(rc, 11));
            Pen h(dc, RGB(120, 70, 20), CLR_INVALID, std::max(2, S(rc, 3)));
            ::MoveToEx(dc, rc.left + S(rc, 10), rc.top + S(rc, 10), nullptr);
            ::LineTo(dc, rc.left + S(rc, 15), rc.top + S(rc, 15));
            break;
        }
        case kImgDelete: Cross(dc, rc, RGB(200, 20, 20)); break;
        case kImgRecycle: {
            Pen p(dc, RGB(30, 110, 40), RGB(170, 220, 170));
            POINT pts[] = {{rc.left + S(rc, 3), rc.top + S(rc, 4)}, {rc.left + S(rc, 13), rc.top + S(rc, 4)},
                           {rc.left + S(rc, 12), rc.top + S(rc, 15)}, {rc.left + S(rc, 4), rc.top + S(rc, 15)}};
            ::Polygon(dc, pts, 4);
            ::Rectangle(dc, rc.left + S(rc, 2), rc.top + S(rc, 2), rc.left + S(rc, 14), rc.top + S(rc, 4));
            for (int x = 6; x <= 10; x += 2) {
                ::MoveToEx(dc, rc.left + S(rc, x), rc.top + S(rc, 6), nullptr);
                ::LineTo(dc, rc.left + S(rc, x), rc.top + S(rc, 13));
            }
            break;
        }
        case kImgExcluded: Folder(dc, rc, RGB(250, 215, 100)); Slash(dc, rc); break;
        case kImgMoveTo: {
            Folder(dc, rc, RGB(250, 215, 100));
            Pen p(dc, RGB(20, 60, 180), RGB(60, 120, 230));
            POINT pts[] = {{rc.left + S(rc, 4), rc.top + S(rc, 8)}, {rc.left + S(rc, 9), rc.top + S(rc, 8)},
                           {rc.left + S(rc, 9), rc.top + S(rc, 6)}, {rc.left + S(rc, 13), rc.top + S(rc, 10)},
                           {rc.left + S(rc, 9), rc.top + S(rc, 14)}, {rc.left + S(rc, 9), rc.top + S(rc, 12)},
                           {rc.left + S(rc, 4), rc.top + S(rc, 12)}};
            ::Polygon(dc, pts, 7);
            break;
        }
        case kImgProperties: Page(dc, rc, RGB(255, 255, 255)); Letter(dc, rc, L"i", RGB(20, 60, 180)); break;
        case kImgView: {
            Pen p(dc, RGB(40, 40, 40), RGB(255, 255, 255));
            ::Ellipse(dc, rc.left + S(rc, 1), rc.top + S(rc, 4), rc.left + S(rc, 15), rc.top + S(rc, 12));
            Pen q(dc, RGB(20, 60, 180), RGB(20, 60, 180));
            ::Ellipse(dc, rc.left + S(rc, 6), rc.top + S(rc, 5), rc.left + S(rc, 10), rc.top + S(rc, 11));
            break;
        }
        case kImgCheckAll: {
            Pen p(dc, RGB(60, 60, 60), RGB(255, 255, 255));
            ::Rectangle(dc, rc.left + S(rc, 1), rc.top + S(rc, 1), rc.left + S(rc, 15), rc.top + S(rc, 15));
            Tick(dc, rc, RGB(20, 140, 30));
            break;
        }
        case kImgUncheckAll: {
            Pen p(dc, RGB(60, 60, 60), RGB(255, 255, 255));
            ::Rectangle(dc, rc.left + S(rc, 1), rc.top + S(rc, 1), rc.left + S(rc, 15), rc.top + S(rc, 15));
            break;
        }
        case kImgFolderRow: Folder(dc, rc, RGB(250, 215, 100)); break;
        case kImgMaskRow: Page(dc, rc, RGB(235, 245, 255)); Letter(dc, rc, L"*", RGB(20, 60, 180)); break;
        case kImgTypeRow: Page(dc, rc, RGB(255, 250, 220)); break;
        case kImgExcludedFileRow: Page(dc, rc, RGB(255, 255, 255)); Slash(dc, rc); break;
        case kImgHelp: {
            Pen p(dc, RGB(20, 60, 180), RGB(40, 100, 220));
            ::Ellipse(dc, rc.left + S(rc, 1), rc.top + S(rc, 1), rc.left + S(rc, 15), rc.top + S(rc, 15));
            Letter(dc, rc, L"?", RGB(255, 255, 255));
            break;
        }
        case kImgAdd: Letter(dc, rc, L"+", RGB(20, 140, 30)); break;
        case kImgEdit: {
            Pen p(dc, RGB(120, 70, 20), RGB(240, 200, 80), std::max(1, S(rc, 1)));
            POINT pts[] = {{rc.left + S(rc, 2), rc.top + S(rc, 14)}, {rc.left + S(rc, 3), rc.top + S(rc, 10)},
                           {rc.left + S(rc, 11), rc.top + S(rc, 2)}, {rc.left + S(rc, 14), rc.top + S(rc, 5)},
                           {rc.left + S(rc, 6), rc.top + S(rc, 13)}};
            ::Polygon(dc, pts, 5);
            break;
        }
        case kImgRemove: Letter(dc, rc, L"\x2212", RGB(200, 20, 20)); break;
        case kImgRegistry: {
            for (int i = 0; i < 3; ++i) {
                Pen p(dc, RGB(60, 60, 140), i == 1 ? RGB(120, 160, 240) : RGB(180, 200, 250));
                ::Rectangle(dc, rc.left + S(rc, 1 + i * 5), rc.top + S(rc, 2 + (i % 2) * 6),
                            rc.left + S(rc, 6 + i * 5), rc.top + S(rc, 8 + (i % 2) * 6));
            }
            break;
        }
        case kImgStop: {
            Pen p(dc, RGB(140, 0, 0), RGB(220, 30, 30));
            ::Rectangle(dc, rc.left + S(rc, 3), rc.top + S(rc, 3), rc.left + S(rc, 13), rc.top + S(rc, 13));
            break;
        }
        case kImgSave: {
            Pen p(dc, RGB(30, 30, 90), RGB(60, 90, 180));
            ::Rectangle(dc, rc.left + S(rc, 2), rc.top + S(rc, 2), rc.left + S(rc, 14), rc.top + S(rc, 14));
            Pen q(dc, RGB(30, 30, 90), RGB(240, 240, 240));
            ::Rectangle(dc, rc.left + S(rc, 4), rc.top + S(rc, 2), rc.left + S(rc, 12), rc.top + S(rc, 7));
            break;
        }
        case kImgOpen: Folder(dc, rc, RGB(255, 235, 150)); break;
        default: break;
    }
}

Tcommontools::Tcommontools() {
    for (int i = 0; i < kImgCommonCount; ++i)
        ilCommon16.AddDrawn([i](HDC dc, const RECT& rc) { DrawImage(dc, rc, i); });
    for (int i : {kImgTypeRow, kImgFolderRow, kImgRegistry, kImgDelete})
        ilIcons.AddDrawn([i](HDC dc, const RECT& rc) { DrawImage(dc, rc, i); });
    imgRecycle = MakePicture(32, kImgRecycle);
    imgDelete = MakePicture(32, kImgDelete);
    imgMoveTo = MakePicture(32, kImgMoveTo);
    imgConfirm = MakePicture(32, kImgCheckAll);
    imgMag = MakePicture(32, kImgScan);
    imgHelp16 = MakePicture(16, kImgHelp);
}

Tcommontools::~Tcommontools() {
    for (HBITMAP b : {imgRecycle, imgDelete, imgMoveTo, imgConfirm, imgMag, imgHelp16})
        if (b) ::DeleteObject(b);
}

TShellFileOp& Tcommontools::ShellFileOp1() {
    if (!shellFileOp_) {
        shellFileOp_ = std::make_unique<TShellFileOp>();
        shellFileOp_->FilesOnly = true;
        shellFileOp_->NoConfirmation = true;
        shellFileOp_->RenameOnCollision = true;
        shellFileOp_->AutoMakeDir = false;
        shellFileOp_->Animate = false;
        shellFileOp_->ClearOnAdd = false;
    }
    return *shellFileOp_;
}

Tcommontools& commontools() {
    if (!Instance()) Instance() = std::make_unique<Tcommontools>();
    return *Instance();
}

void CreateCommonTools() { commontools(); }
void FreeCommonTools() { Instance().reset(); }
