// Message boxes, the input box and the folder chooser, each behind the answerer seam.
#include "ui/dialogs.h"
#include "ui/ui.h"
#include "core/winhandle.h"
#include <shlobj.h>

namespace ui {

namespace {
DialogAnswerer g_answerer;

HWND DialogOwner() {
    HWND owner = ::GetActiveWindow();
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) ::SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// A chosen folder without its trailing backslash, unless it is a drive root.
std::wstring TidyFolder(std::wstring f) {
    while (f.size() > 1 && (f.back() == L'\\' || f.back() == L'/')) {
        if (f.size() == 3 && f[1] == L':') break;
        f.pop_back();
    }
    if (f.size() == 2 && f[1] == L':') f += L'\\';
    return f;
}

// The input box window.
class InputForm : public Form {
public:
    InputForm(const std::wstring& title, const std::wstring& prompt, const std::wstring& text)
        : Form(title, 360, 112, FormStyle::Dialog) {
        lblPrompt.SetText(prompt);
        edText.SetText(text);
        cmdOK.OnClick = [this] { accepted = true; Close(); };
        cmdCancel.OnClick = [this] { Close(); };
        DefaultButton = &cmdOK;
        CancelButton = &cmdCancel;
        OnShow = [this] {
            edText.SetFocus();
            ::SendMessageW(edText.Handle(), EM_SETSEL, 0, -1);
        };
    }
    Label lblPrompt{*this, 10, 10, 340, 16, L""};
    Edit edText{*this, 10, 32, 340, 22};
    Button cmdOK{*this, 194, 74, 75, 25, L"OK"};
    Button cmdCancel{*this, 275, 74, 75, 25, L"Cancel"};
    bool accepted = false;
};
}  // namespace

DialogAnswerer SetDialogAnswerer(DialogAnswerer answerer) {
    DialogAnswerer old = std::move(g_answerer);
    g_answerer = std::move(answerer);
    return old;
}

MsgResult MessageBox(const std::wstring& text, const std::wstring& caption, MsgIcon icon, MsgButtons buttons,
                     bool systemModal) {
    if (g_answerer) {
        DialogRequest req;
        req.kind = DialogRequest::Message;
        req.caption = caption;
        req.text = text;
        req.icon = icon;
        req.buttons = buttons;
        return g_answerer(req).result;
    }
    UINT flags = 0;
    switch (icon) {
    case MsgIcon::None: break;
    case MsgIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MsgIcon::Warning: flags |= MB_ICONWARNING; break;
    case MsgIcon::Error: flags |= MB_ICONERROR; break;
    case MsgIcon::Question: flags |= MB_ICONQUESTION; break;
    }
    switch (buttons) {
    case MsgButtons::OK: flags |= MB_OK; break;
    case MsgButtons::OKCancel: flags |= MB_OKCANCEL; break;
    case MsgButtons::YesNo: flags |= MB_YESNO; break;
    case MsgButtons::YesNoCancel: flags |= MB_YESNOCANCEL; break;
    }
    if (systemModal) flags |= MB_SYSTEMMODAL;
    int r = ::MessageBoxW(DialogOwner(), text.c_str(), caption.c_str(), flags);
    switch (r) {
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    case IDCANCEL: return MsgResult::Cancel;
    case IDOK: return MsgResult::OK;
    default:   // the box could not be shown: as if closed
        return buttons == MsgButtons::OK ? MsgResult::OK : buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
    }
}

void ShowMessage(const std::wstring& text) { MessageBox(text, ApplicationTitle(), MsgIcon::None, MsgButtons::OK); }

std::wstring InputBox(const std::wstring& title, const std::wstring& prompt, const std::wstring& defaultText) {
    if (g_answerer) {
        DialogRequest req;
        req.kind = DialogRequest::Input;
        req.caption = title;
        req.text = prompt;
        req.defaultText = defaultText;
        DialogAnswer a = g_answerer(req);
        return a.result == MsgResult::Cancel || a.result == MsgResult::No ? defaultText : a.text;
    }
    InputForm form(title, prompt, defaultText);
    std::wstring result = defaultText;
    form.OnClose = [&] {
        if (form.accepted) result = form.edText.Text();
    };
    form.ShowModal();
    return result;
}

bool SelectFolder(const std::wstring& title, std::wstring& folder) {
    if (g_answerer) {
        DialogRequest req;
        req.kind = DialogRequest::Folder;
        req.caption = title;
        req.defaultText = folder;
        DialogAnswer a = g_answerer(req);
        if (a.result == MsgResult::Cancel || a.result == MsgResult::No || a.text.empty()) return false;
        folder = TidyFolder(a.text);
        return true;
    }
    ComInit com;
    std::wstring start = folder;
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW bi{};
    bi.hwndOwner = DialogOwner();
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    bi.lpfn = BrowseCallback;
    bi.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderW(&bi);
    if (!pidl) return false;
    wchar_t path[MAX_PATH * 2] = {};
    BOOL ok = ::SHGetPathFromIDListW(pidl, path);
    ::CoTaskMemFree(pidl);
    if (!ok || !path[0]) return false;
    folder = TidyFolder(path);
    return true;
}

// --- DialogScript -----------------------------------------------------------------------------
DialogScript::DialogScript() {
    previous_ = SetDialogAnswerer([this](const DialogRequest& req) {
        seen_.push_back(req);
        if (!queue_.empty()) {
            DialogAnswer a = queue_.front();
            queue_.pop_front();
            return a;
        }
        DialogAnswer a;
        switch (req.kind) {
        case DialogRequest::Message:
            a.result = req.buttons == MsgButtons::YesNo || req.buttons == MsgButtons::YesNoCancel ? MsgResult::Yes
                                                                                                   : MsgResult::OK;
            break;
        case DialogRequest::Input:
            a.result = MsgResult::OK;
            a.text = req.defaultText;
            break;
        case DialogRequest::Folder:
            a.result = MsgResult::Cancel;
            break;
        }
        return a;
    });
}

DialogScript::~DialogScript() { SetDialogAnswerer(std::move(previous_)); }

}  // namespace ui
