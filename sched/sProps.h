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

    ui::Label lblText{*this, 12, 10, 420, 16, L"Use the options below to specify when this maintenance is to be performed."};
    ui::GroupBox gbTimed{*this, 12, 32, 420, 180, L"Timed Intervals"};
    ui::RadioButton optMinutes{*this, 24, 54, 70, 20, L"&Every...", true};
    ui::NumEdit meMins{*this, 100, 53, 50, 22, 1, 59, 30};
    ui::Label lblMins{*this, 156, 57, 200, 16, L"Minutes"};
    ui::RadioButton optHours{*this, 24, 84, 70, 20, L"Every..."};
    ui::NumEdit meHours{*this, 100, 83, 50, 22, 1, 99, 5};
    ui::Label lblHours{*this, 156, 87, 56, 16, L"Hours at"};
    ui::NumEdit meMinsAfter{*this, 214, 83, 50, 22, 1, 59, 30};
    ui::Label lblMinsAfter{*this, 270, 87, 160, 16, L"minutes after the hour"};
    ui::RadioButton optDays{*this, 24, 114, 70, 20, L"Every..."};
    ui::NumEdit meDays{*this, 100, 113, 50, 22, 1, 99, 5};
    ui::Label lblDays{*this, 156, 117, 160, 16, L"Days at the following time:"};
    ui::DateTimePicker dt1{*this, 318, 113, 100, 22, true};
    ui::RadioButton optWeeks{*this, 24, 144, 70, 20, L"Every..."};
    ui::NumEdit meWeeks{*this, 100, 143, 50, 22, 1, 99, 1};
    ui::Label lblWeeks{*this, 156, 147, 110, 16, L"Weeks starting on "};
    ui::ComboBox cbDays{*this, 268, 143, 120, 200, true};
    ui::RadioButton optMonths{*this, 24, 174, 70, 20, L"Every..."};
    ui::NumEdit meMonths{*this, 100, 173, 50, 22, 1, 99, 1};
    ui::Label lblMonths{*this, 156, 177, 140, 16, L"Months starting on day"};
    ui::NumEdit meDayOfTheMonth{*this, 298, 173, 50, 22, 1, 31, 1};
    ui::Label lblOfMonth{*this, 354, 177, 70, 16, L"of the month"};

    ui::GroupBox gbExternal{*this, 12, 218, 420, 74, L"Externally Triggered Intervals"};
    ui::RadioButton optWinStart{*this, 24, 240, 300, 20, L"Each time Windows starts"};
    ui::RadioButton optWinEnd{*this, 24, 264, 300, 20, L"When you shut down Windows"};

    ui::GroupBox gbNext{*this, 12, 298, 420, 52, L"Next Run Date and Time"};
    ui::Label lblOn{*this, 24, 322, 24, 16, L"On"};
    ui::DateTimePicker dtDate{*this, 50, 318, 130, 22, false};
    ui::Label lblAt{*this, 190, 322, 20, 16, L"at"};
    ui::DateTimePicker dtTime{*this, 212, 318, 110, 22, true};

    ui::Button cmdOK{*this, 196, 360, 75, 25, L"&OK"};
    ui::Button cmdCancel{*this, 277, 360, 75, 25, L"&Cancel"};
    ui::Button cmdHelp{*this, 358, 360, 75, 25, L"&Help"};

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
