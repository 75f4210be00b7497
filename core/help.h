// Help: the topics every window offers with F1 and its help button, and the navigator's small
// help window.
#pragma once
#include <string>
#include <vector>
#include "ui/dialogs.h"
#include "ui/ui.h"

struct HelpTopicText {
    const wchar_t* name;    // the topic key, e.g. "Welcome_to_Ostrel_Kestrune"
    const wchar_t* title;
    const wchar_t* text;
};
const std::vector<HelpTopicText>& HelpTopics();
// The topic's entry; an unknown name gives the welcome topic.
const HelpTopicText& FindHelpTopic(const std::wstring& name);

// The viewer of a topic: a modeless window with the topic's title and text.
class TfrmHelpTopic : public ui::Form {
public:
    TfrmHelpTopic();
    void ShowTopic(const std::wstring& name);
    const std::wstring& TopicName() const { return topic_; }
    ui::Label lblTitle{*this, 12, 10, 516, 22, L""};
    ui::Edit mmoText{*this, 12, 38, 516, 300, L"", true, true};
    ui::Button cmdClose{*this, 453, 348, 75, 25, L"&Close"};
private:
    std::wstring topic_;
};
// Opens the topic (the program's help handler). The viewer stays until closed or replaced.
void ShowHelpTopic(const std::wstring& name);
TfrmHelpTopic* OpenHelpViewer();   // the open viewer, or null
void CloseHelpViewer();

// The navigator's help window: about, manual, support and exit buttons on a shaped picture.
class TfrmHelp : public ui::Form {
public:
    TfrmHelp();
    struct TwoPictureButton {
        ui::Picture down, up;
        TwoPictureButton(TfrmHelp& form, int top, const std::wstring& caption, const std::wstring& hint);
    };
    TwoPictureButton imgAbout{*this, 27, L"About", L"Kestrune version information"};
    TwoPictureButton imgManual{*this, 63, L"Manual", L"Read Kestrune's documentation"};
    TwoPictureButton imgSupport{*this, 100, L"Support", L"Access Kestrune technical support on the web"};
    TwoPictureButton imgExit{*this, 151, L"Exit", L""};
    void imgAboutClick();
    void imgManualClick();
    void imgSupportClick();
    // The about box text (product name and version).
    static std::wstring AboutText();
};
