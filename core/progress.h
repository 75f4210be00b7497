// The small progress window of the unattended runs and of the deferred cache completion,
// shown in the lower right corner of the screen.
#pragma once
#include <functional>
#include "core/winhandle.h"
#include "ui/ui.h"

inline constexpr const wchar_t* kStepJunk = L"Removing junk and obsolete files...";
inline constexpr const wchar_t* kStepRegistry = L"Cleaning Registry...";

class TfrmProgress : public ui::Form {
public:
    TfrmProgress();

    ui::Label lblCaption{*this, 28, 4, 226, 16, L"Performing Scheduled Maintenance"};
    ui::Picture Image1{*this, 6, 24, 16, 20};
    ui::Label lblSchedType{*this, 28, 24, 226, 16, kStepJunk};
    ui::LinkLabel lblCancel{*this, 210, 38, 44, 14, L"Cancel"};
    ui::BusyAnimation Animate1{*this, 4, 2, 20, 20};

    // What "Cancel" presses: the scan button of the open junk window, or of the registry
    // cleaner. The runs set these while their scan is going; empty means nothing to stop.
    std::function<void()> OnStopJunkScan;
    std::function<void()> OnStopRegistryScan;

    // Left = screen width - 258, top = screen height - 82.
    static POINT Placement(int screenWidth, int screenHeight);
    void PlaceAndShow();
    void lblCancelClick();
    bool CancelUsed() const { return cancelUsed_; }

private:
    bool cancelUsed_ = false;
    GdiObject<HFONT> smallFont_;
};
