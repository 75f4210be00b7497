// The dialog "Scheduled Item Properties": the schedule kind of one task, its parameters and the
// date and time of the next run.
#pragma once
#include <string>
#include "sched/schedule.h"
#include "ui/ui.h"

class TfrmSProps : public ui::Form {
public:
    // taskEnabled: the task's enable state when the dialog opens.
    TfrmSProps(SchedTask task, bool taskEnabled, ui::Form* owner = nullptr);

    // Everything sits on one panel, which paints the background behind the frames.
    ui::Panel body{*this, 0, 0, 470, 396};
    ui::Label lblText{body, 12, 10, 450, 16, L"Use the options below to specify when this maintenance is to be performed."};
    ui::GroupBox gbTimed{body, 12, 32, 446, 180, L"Timed Intervals"};
    ui::RadioButton optMinutes{body, 24, 54, 70, 20, L"&Every...", true};
    ui::NumEdit meMins{body, 100, 53, 50, 22, 1, 59, 30};
    ui::Label lblMins{body, 156, 57, 200, 16, L"Minutes"};
    ui::RadioButton optHours{body, 24, 84, 70, 20, L"Every..."};
    ui::NumEdit meHours{body, 100, 83, 50, 22, 1, 99, 5};
    ui::Label lblHours{body, 156, 87, 56, 16, L"Hours at"};
    ui::NumEdit meMinsAfter{body, 214, 83, 50, 22, 1, 59, 30};
    ui::Label lblMinsAfter{body, 270, 87, 180, 16, L"minutes after the hour"};
    ui::RadioButton optDays{body, 24, 114, 70, 20, L"Every..."};
    ui::NumEdit meDays{body, 100, 113, 50, 22, 1, 99, 5};
    ui::Label lblDays{body, 156, 117, 160, 16, L"Days at the following time:"};
    ui::DateTimePicker dt1{body, 318, 113, 100, 22, true};
    ui::RadioButton optWeeks{body, 24, 144, 70, 20, L"Every..."};
    ui::NumEdit meWeeks{body, 100, 143, 50, 22, 1, 99, 1};
    ui::Label lblWeeks{body, 156, 147, 110, 16, L"Weeks starting on "};
    ui::ComboBox cbDays{body, 268, 143, 120, 200, true};
    ui::RadioButton optMonths{body, 24, 174, 70, 20, L"Every..."};
    ui::NumEdit meMonths{body, 100, 173, 50, 22, 1, 99, 1};
    ui::Label lblMonths{body, 156, 177, 140, 16, L"Months starting on day"};
    ui::NumEdit meDayOfTheMonth{body, 298, 173, 50, 22, 1, 31, 1};
    ui::Label lblOfMonth{body, 354, 177, 96, 16, L"of the month"};

    ui::GroupBox gbExternal{body, 12, 218, 446, 74, L"Externally Triggered Intervals"};
    ui::RadioButton optWinStart{body, 24, 240, 300, 20, L"Each time Windows starts"};
    ui::RadioButton optWinEnd{body, 24, 264, 300, 20, L"When you shut down Windows"};

    ui::GroupBox gbNext{body, 12, 298, 446, 52, L"Next Run Date and Time"};
    ui::Label lblOn{body, 24, 322, 24, 16, L"On"};
    ui::DateTimePicker dtDate{body, 50, 318, 130, 22, false};
    ui::Label lblAt{body, 190, 322, 20, 16, L"at"};
    ui::DateTimePicker dtTime{body, 212, 318, 110, 22, true};

    ui::Button cmdOK{body, 222, 360, 75, 25, L"&OK"};
    ui::Button cmdCancel{body, 303, 360, 75, 25, L"&Cancel"};
    ui::Button cmdHelp{body, 384, 360, 75, 25, L"&Help"};

    ui::RadioButton* Options[7] = {&optMinutes, &optHours, &optDays, &optWeeks, &optMonths, &optWinStart, &optWinEnd};
    int SelectedKind() const;
    void SelectKind(int kind);   // checks the option and updates the date fields

    void FormShow();
    void GetOptions();           // the stored parameters into the fields
    void cmdOKClick();
    void cmdCancelClick() { Close(); }
    bool Saved() const { return saved_; }

private:
    SchedTask task_;
    bool taskEnabled_;
    bool saved_ = false;
    void UpdateDateFields();
};

// Whether the shut-down kind can be chosen for a task (the eraser on Windows 95/98 only).
bool ShutDownOptionOffered(SchedTask task);
