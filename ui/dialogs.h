// Message boxes, input boxes and the folder chooser. Every one goes through a replaceable
// answerer, so code that is driven hidden (tests, unattended runs) never blocks on a dialog:
// a test installs a DialogScript that records each dialog and gives the answer it wants.
#pragma once
#include <windows.h>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ui {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgResult { OK, Cancel, Yes, No };

// Shows a message box owned by the active window. systemModal adds MB_SYSTEMMODAL.
MsgResult MessageBox(const std::wstring& text, const std::wstring& caption, MsgIcon icon = MsgIcon::None,
                     MsgButtons buttons = MsgButtons::OK, bool systemModal = false);
// A plain message with the application title as caption and only an OK button.
void ShowMessage(const std::wstring& text);

// Title, prompt, default; cancelling returns the default.
std::wstring InputBox(const std::wstring& title, const std::wstring& prompt, const std::wstring& defaultText);

// The folder chooser; starts at `folder` when it names one. True when a folder was chosen
// (then `folder` holds it, without a trailing backslash unless it is a drive root).
bool SelectFolder(const std::wstring& title, std::wstring& folder);

// --- the seam ---------------------------------------------------------------------------------
struct DialogRequest {
    enum Kind { Message, Input, Folder } kind = Message;
    std::wstring caption;     // message caption, input box title, folder chooser title
    std::wstring text;        // message text, input prompt
    std::wstring defaultText; // input default, folder start
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;
};
struct DialogAnswer {
    MsgResult result = MsgResult::OK;   // messages; Cancel for input/folder = cancelled
    std::wstring text;                  // input text or chosen folder
};
using DialogAnswerer = std::function<DialogAnswer(const DialogRequest&)>;

// Replaces the real dialogs (an empty function restores them). Returns the previous one.
DialogAnswerer SetDialogAnswerer(DialogAnswerer answerer);

// For tests: records every dialog and answers from a queue (then with a default: OK, Yes,
// the default input text, cancel for folders). Installs itself for its lifetime.
class DialogScript {
public:
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    void Answer(MsgResult result) { queue_.push_back({result, L""}); }
    void AnswerText(const std::wstring& text) { queue_.push_back({MsgResult::OK, text}); }
    void AnswerCancel() { queue_.push_back({MsgResult::Cancel, L""}); }
    const std::vector<DialogRequest>& Seen() const { return seen_; }
    size_t Count() const { return seen_.size(); }
    const DialogRequest& Last() const { return seen_.back(); }
    void ClearSeen() { seen_.clear(); }
private:
    std::deque<DialogAnswer> queue_;
    std::vector<DialogRequest> seen_;
    DialogAnswerer previous_;
};

}  // namespace ui
