// The tip window of the one-time hints.
#pragma once
#include <string>
#include "core/winhandle.h"
#include "ui/ui.h"

class TfrmHint : public ui::Form {
public:
    TfrmHint(const std::wstring& subject, const std::wstring& text);

    ui::Label lblHeading{*this, 56, 10, 300, 20, L"Hints and Tips..."};
    ui::Picture imgHint{*this, 12, 8, 32, 32};
    ui::Edit mmoHint{*this, 12, 46, 356, 120, L"", true, true};
    ui::CheckBox cbShowHint{*this, 12, 174, 356, 18, L"&Show hints on this subject again"};
    ui::CheckBox cbAllHints{*this, 12, 196, 356, 18, L"Show &hints"};
    ui::Button cmdOK{*this, 293, 222, 75, 25, L"&OK"};

    const std::wstring& Subject() const { return subject_; }
    void cbAllHintsClick();
    void FormClose();

private:
    std::wstring subject_;
};

// Tests see the tip instead of a modal loop: the presenter gets the created window (it may set
// the check boxes); the window is closed after it. An empty presenter restores the modal show.
#include <functional>
using HintPresenter = std::function<void(TfrmHint&)>;
HintPresenter SetHintPresenter(HintPresenter presenter);
