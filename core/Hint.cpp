#include "core/Hint.h"
#include "core/commontools.h"
#include "core/common.h"
#include "core/registry.h"
#include "ui/dialogs.h"

TfrmHint::TfrmHint(const std::wstring& subject, const std::wstring& text)
    : ui::Form(L"Kestrune", 380, 256, ui::FormStyle::ToolWindow), subject_(subject) {
    SetStayOnTop(true);
    HelpTopic = L"Welcome_to_Ostrel_Kestrune";
    lblHeading.SetBold(true);
    imgHint.OnPaint = [](HDC dc, const RECT& rc) { Tcommontools::DrawImage(dc, rc, kImgHelp); };
    mmoHint.SetText(text);
    mmoHint.SetBackColor(RGB(255, 255, 225));
    cbShowHint.SetChecked(true);
    cbShowHint.SetHint(L"Uncheck this box to skip any further related hints, but still see those unrelated to this subject");
    cbAllHints.SetChecked(true);
    cbAllHints.SetHint(L"Uncheck this box to skip all further hints, regardless of their relation to this subject");
    cbAllHints.OnClick = [this] { cbAllHintsClick(); };
    cmdOK.OnClick = [this] { Close(); };
    DefaultButton = &cmdOK;
    CancelButton = &cmdOK;
    OnShow = [this] {
        Center();
        cmdOK.SetFocus();
    };
    OnClose = [this] { FormClose(); };
}

void TfrmHint::cbAllHintsClick() {
    cbShowHint.SetChecked(cbAllHints.Checked());
    cbShowHint.SetEnabled(cbAllHints.Checked());
}

void TfrmHint::FormClose() {
    if (!cbAllHints.Checked()) {
        ui::MsgResult r = ui::MessageBox(
            L"If you are new to Kestrune it is strongly recommended that you view all hints at least once.  If you do "
            L"not want to see more hints pertaining to this aspect of Kestrune, simply uncheck the box labeled \"Show "
            L"hints on this subject again\".  Are you sure you do not want to see any more hints?",
            L"Confirm", ui::MsgIcon::Question, ui::MsgButtons::YesNo, true);
        if (r == ui::MsgResult::Yes) {
            WriteRegBool(kHintsKey, L"All", false);
        } else {
            cbAllHints.SetChecked(true);
            cbShowHint.SetChecked(true);
            cbShowHint.SetEnabled(true);
        }
    }
    if (!cbShowHint.Checked()) WriteRegBool(kHintsKey, subject_, false);
}

static HintPresenter& Presenter() {
    static HintPresenter p;
    return p;
}

HintPresenter SetHintPresenter(HintPresenter presenter) {
    HintPresenter old = std::move(Presenter());
    Presenter() = std::move(presenter);
    return old;
}

void ShowHintOnce(const std::wstring& subject, const std::wstring& text) {
    if (!ReadRegBool(kHintsKey, subject) || !ReadRegBool(kHintsKey, L"All")) return;
    TfrmHint hint(subject, text);
    if (Presenter()) {
        Presenter()(hint);
        hint.Close();
        return;
    }
    hint.ShowModal();
}
