#include "sched/sProps.h"
#include <cmath>
#include "core/common.h"
#include "core/registry.h"

bool ShutDownOptionOffered(SchedTask task) {
    if (task != SchedTask::Eraser) return false;
    // The high bit of the version marks the Windows 95/98 family.
    return (::GetVersion() & 0x80000000u) != 0;
}

TfrmSProps::TfrmSProps(SchedTask task, bool taskEnabled, ui::Form* owner)
    : ui::Form(L"Scheduled Item Properties", 470, 396, ui::FormStyle::Dialog, owner),
      task_(task),
      taskEnabled_(taskEnabled) {
    HelpTopic = L"Scheduled_Maintenance_Enabling_scheduled_maintenance_for_a_specific_action";
    DefaultButton = &cmdOK;
    CancelButton = &cmdCancel;
    // Frames sit behind the options they group.
    for (ui::GroupBox* g : {&gbTimed, &gbExternal, &gbNext})
    {
        if (g->Handle()) ::SetWindowPos(g->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // A frame does not paint its inside: the panel paints it, under its children.
    if (HWND h = body.Handle())
        ::SetWindowLongPtrW(h, GWL_STYLE, ::GetWindowLongPtrW(h, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
    // The minutes after the hour go in steps of 5.
    if (HWND ud = meMinsAfter.Handle() ? ::GetWindow(meMinsAfter.Handle(), GW_HWNDNEXT) : nullptr) {
        wchar_t cls[32] = {};
        ::GetClassNameW(ud, cls, 32);
        UDACCEL accel{0, 5};
        if (std::wstring(cls) == UPDOWN_CLASSW) ::SendMessageW(ud, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }
    for (const wchar_t* day : kWeekdayNames) cbDays.AddItem(day);
    cbDays.SetItemIndex(0);
    if (!ShutDownOptionOffered(task)) optWinEnd.SetVisible(false);
    for (int i = 0; i < 7; ++i) Options[i]->OnClick = [this] { UpdateDateFields(); };
    cmdOK.OnClick = [this] { cmdOKClick(); };
    cmdCancel.OnClick = [this] { cmdCancelClick(); };
    cmdHelp.OnClick = [this] { ui::ShowHelp(HelpTopic); };
    OnShow = [this] { FormShow(); };

    // The stored kind (the shut-down kind selects its option even where it is hidden).
    auto kind = ReadSchedKind(TaskKey(task));
    if (kind) SelectKind(*kind);
    else SelectKind(kKindDays);
}

int TfrmSProps::SelectedKind() const {
    for (int i = 0; i < 7; ++i)
        if (Options[i]->Checked()) return i;
    return kKindDays;
}

void TfrmSProps::SelectKind(int kind) {
    for (int i = 0; i < 7; ++i) Options[i]->SetChecked(i == kind);
    UpdateDateFields();
}

void TfrmSProps::UpdateDateFields() {
    int kind = SelectedKind();
    bool timed = kind != kKindWinStart && kind != kKindWinEnd;
    dtDate.SetEnabled(timed);
    dtTime.SetEnabled(timed);
}

void TfrmSProps::FormShow() {
    cbDays.SetItemIndex(0);
    UpdateDateFields();
    GetOptions();
    const std::wstring key = TaskKey(task_);
    double now = SchedNow();
    int kind = SelectedKind();
    double next = now;
    if (kind != kKindWinStart && kind != kKindWinEnd) {
        if (!ReadSchedKind(key)) {
            next = DateOf(now) + TimeOf(now + kOneHour);
        } else if (auto n = GetNextScan(key, now)) {
            next = *n;
        }
    }
    dtDate.SetValue(DateTimePartsToSystemTime(DecodeDateTime(DateOf(next))));
    dtTime.SetValue(DateTimePartsToSystemTime(DecodeDateTime(next)));
}

void TfrmSProps::GetOptions() {
    const std::wstring key = TaskKey(task_);
    auto kind = ReadSchedKind(key);
    if (!kind) return;
    SchedParams sp = SplitParams(ReadRegString(key, L"Params"));
    auto n = ParseWholeNumber(sp.n);
    auto whole = ParseWholeNumber(sp.p);
    auto clampN = [&](long long lo, long long hi) { return static_cast<int>(std::max(lo, std::min(hi, n.value_or(lo)))); };
    switch (*kind) {
        case kKindMinutes:
            if (n) meMins.SetValue(clampN(1, 59));
            break;
        case kKindHours:
            if (n) meHours.SetValue(clampN(1, 99));
            if (whole) meMinsAfter.SetValue(static_cast<int>(std::max(1LL, std::min(59LL, *whole))));
            break;
        case kKindDays: {
            if (n) meDays.SetValue(clampN(1, 99));
            if (auto f = ParseDayFraction(sp.p)) {
                double t = *f - std::floor(*f);
                dt1.SetValue(DateTimePartsToSystemTime(DecodeDateTime(DateOf(SchedNow()) + t)));
            }
            break;
        }
        case kKindWeeks:
            if (n) meWeeks.SetValue(clampN(1, 99));
            if (whole) cbDays.SetItemIndex(static_cast<int>(std::max(0LL, std::min(6LL, *whole))));
            break;
        case kKindMonths:
            if (n) meMonths.SetValue(clampN(1, 99));
            if (whole) meDayOfTheMonth.SetValue(static_cast<int>(std::max(1LL, std::min(31LL, *whole))));
            break;
    }
}

static double PickerTimeOfDay(const SYSTEMTIME& st) {
    return EncodeDateTime(2000, 1, 1, st.wHour, st.wMinute, st.wSecond) - EncodeDateTime(2000, 1, 1);
}

void TfrmSProps::cmdOKClick() {
    const std::wstring key = TaskKey(task_);
    int kind = SelectedKind();
    WriteRegInteger(key, L"SchedType", kind);
    std::wstring params;
    switch (kind) {
        case kKindMinutes: params = MakeParams(kind, meMins.Value(), 0); break;
        case kKindHours: params = MakeParams(kind, meHours.Value(), meMinsAfter.Value()); break;
        case kKindDays: params = MakeParams(kind, meDays.Value(), PickerTimeOfDay(dt1.Value())); break;
        case kKindWeeks: params = MakeParams(kind, meWeeks.Value(), std::max(0, cbDays.ItemIndex())); break;
        case kKindMonths: params = MakeParams(kind, meMonths.Value(), meDayOfTheMonth.Value()); break;
        default: break;
    }
    WriteRegString(key, L"Params", params);
    if (kind == kKindWinStart) {
        if (taskEnabled_) WriteWinStart(task_);
    } else {
        RemoveWinStart(task_);
    }
    SYSTEMTIME d = dtDate.Value();
    double next = EncodeDateTime(d.wYear, d.wMonth, d.wDay) + PickerTimeOfDay(dtTime.Value());
    WriteDateTimeValue(key, L"NextRun", RoundToMilliseconds(next));
    saved_ = true;
    Close();
}
