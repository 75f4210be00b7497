#include "core/progress.h"
#include "core/commontools.h"

TfrmProgress::TfrmProgress() : ui::Form(L"Scheduled Maintenance Progress", 258, 55, ui::FormStyle::Popup) {
    SetStayOnTop(true);
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lblCaption, &lblSchedType})
        c->SetTextColor(RGB(255, 0, 0));
    lblCaption.SetBold(true);
    OnPaint = [](HDC dc, const RECT& rc) {
        ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        ::DrawEdge(dc, const_cast<RECT*>(&rc), EDGE_RAISED, BF_RECT);
    };
    Image1.OnPaint = [](HDC dc, const RECT& rc) {
        RECT r{rc.left, rc.top + 2, rc.left + 16, rc.top + 18};
        Tcommontools::DrawImage(dc, r, kImgScan);
    };
    HFONT small = ::CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 1, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    smallFont_.reset(small);
    lblCancel.SetFont(small);
    lblCancel.OnClick = [this] { lblCancelClick(); };
    Animate1.SetActive(true);
}

POINT TfrmProgress::Placement(int screenWidth, int screenHeight) { return POINT{screenWidth - 258, screenHeight - 82}; }

void TfrmProgress::PlaceAndShow() {
    POINT p = Placement(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    SetPosition(p.x, p.y);
    Show();
    ui::ProcessMessages();
}

void TfrmProgress::lblCancelClick() {
    if (cancelUsed_) return;
    cancelUsed_ = true;
    lblCancel.SetText(L"Please Wait...");
    lblCancel.SetLinkLook(false);
    lblCancel.OnClick = nullptr;   // the link works once
    std::wstring step = lblSchedType.Text();
    if (step == kStepJunk && OnStopJunkScan) OnStopJunkScan();
    if (step == kStepRegistry && OnStopRegistryScan) OnStopRegistryScan();
}
