#include "tools/eraser/Net.h"

#include "core/common.h"
#include "core/commontools.h"
#include "core/errors.h"
#include "core/logs.h"
#include "core/paths.h"
#include "core/registry.h"
#include "scan/TreeScan.h"
#include "ui/dialogs.h"

std::optional<std::wstring>& NetscapeFolder() {
    static std::optional<std::wstring> folder;
    return folder;
}

FreeSpaceSnapshot& FreeSpaceAtStart() {
    static FreeSpaceSnapshot snapshot;
    return snapshot;
}

namespace {

constexpr int kW = 500, kH = 318;
constexpr int kPageW = kW - 16, kPageH = 234;

const wchar_t* const kGeneralText =
    L"Use these options to specify which items in your general Windows history you would like to erase...";
const wchar_t* const kInternetText =
    L"These options apply to the information stored by Netscape or Internet Explorer as you surf the web...";
const wchar_t* const kExplorerText =
    L"If you use Microsoft Internet Explorer you may use the options below to further ensure your privacy.";
const wchar_t* const kAOLText =
    L"If you use America Online you may use this tool to remove the cache files created when you are online.";

const wchar_t* const kCookieNote =
    L"Special note: When you erase Internet Cookies, Cache, or History files the data is physically erased from "
    L"your system by Kestrune, however to completely clean all traces of this information from memory you will need "
    L"to restart your computer either by rebooting or shutting down to DOS mode and restarting Windows.";

std::wstring InternetSettings(const std::wstring& sub) { return std::wstring(kInternetSettingsKey) + L"\\" + sub; }

}  // namespace

TfrmNet::TfrmNet(EraserSystem* system)
    : ui::Form(L"The Eraser", kW, kH, ui::FormStyle::Dialog),
      pc(*this, 8, 8, kPageW, kPageH),
      tsGeneral(pc, L"General"),
      tsInternet(pc, L"Internet History"),
      tsExplorer(pc, L"Internet Explorer Specific"),
      tsAOL(pc, L"America Online"),
      lblGeneral(tsGeneral, 12, 10, kPageW - 32, 32, kGeneralText),
      lblInternet(tsInternet, 12, 10, kPageW - 32, 32, kInternetText),
      lblExplorer(tsExplorer, 12, 10, kPageW - 32, 32, kExplorerText),
      lblAOL(tsAOL, 12, 10, kPageW - 32, 32, kAOLText),
      cbFind(tsGeneral, 24, 56, 360, 20, L"&Erase \"Find Files or Folders\" history"),
      cbComputer(tsGeneral, 24, 84, 360, 20, L"E&rase \"Find Computer...\" history"),
      cbRun(tsGeneral, 24, 112, 360, 20, L"Er&ase \"Start -> Run...\" history"),
      cbDocuments(tsGeneral, 24, 140, 360, 20, L"Era&se \"Start -> Documents\" history"),
      cbCookies(tsInternet, 24, 56, 380, 20, L"&Erase Internet Cookie Files"),
      cbCache(tsInternet, 24, 84, 380, 20, L"Erase Internet &Cache information"),
      cbURLList(tsInternet, 24, 112, 380, 20, L"Erase recently typed &URL list from browser"),
      cbClearHist(tsInternet, 24, 140, 380, 20, L"Erase &history record files of visited web pages"),
      cbPersistent(tsExplorer, 24, 56, 390, 20, L"&Delete Internet cache files when you close Internet Explorer"),
      lblKeep(tsExplorer, 24, 92, 250, 20, L"Keep records of visited web pages for"),
      lblDays(tsExplorer, 342, 92, 60, 20, L"days"),
      seHistory(tsExplorer, 278, 88, 56, 22, 0, 99, 20),
      cbAOL(tsAOL, 24, 56, 380, 20, L"&Erase America Online cache files"),
      cmdExecute(*this, kW - 3 * 88 - 8, kPageH + 16, 82, 26, L"&Erase Now"),
      cmdClose(*this, kW - 2 * 88 - 8, kPageH + 16, 82, 26, L"&Exit"),
      cmdHelp(*this, kW - 88 - 8, kPageH + 16, 82, 26, L"&Help"),
      fsb(*this, {150}),
      system_(system ? system : &DefaultEraserSystem()) {
    for (ui::Label* l : {&lblGeneral, &lblInternet, &lblExplorer, &lblAOL}) l->SetBold(true);
    for (ui::CheckBox* c : {&cbFind, &cbComputer, &cbRun, &cbDocuments, &cbCookies, &cbCache, &cbURLList,
                            &cbClearHist, &cbPersistent, &cbAOL})
        c->SetChecked(true);
    cmdExecute.SetHint(L"Performing the operation using your selected options");
    cmdClose.SetHint(L"Close and exit this tool");
    cmdHelp.SetHint(L"Get help with this tool");
    CancelButton = &cmdClose;
    KeyPreview = true;
    HelpTopic = L"Ensuring_your_personal_or_company_privacy";
    pg().SetRange(0, 100);
    pg().SetVisible(false);

    cmdExecute.OnClick = [this] { cmdExecuteClick(); };
    cmdClose.OnClick = [this] { Close(); };
    cmdHelp.OnClick = [this] { ui::ShowHelp(HelpTopic); };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormCloseQuery(); };

    settings_ = std::make_unique<ui::FormSettings>(*this, kEraserSettingsKey, false);
    settings_->Add(L"cbCache", cbCache);
    settings_->Add(L"cbComputer", cbComputer);
    settings_->Add(L"cbCookies", cbCookies);
    settings_->Add(L"cbDocuments", cbDocuments);
    settings_->Add(L"cbFind", cbFind);
    settings_->Add(L"cbPersistent", cbPersistent);
    settings_->Add(L"cbRun", cbRun);
    settings_->Add(L"cbURLList", cbURLList);
    settings_->Add(L"seHistory", seHistory);
    settings_->Add(L"cbClearHist", cbClearHist);
    settings_->Add(L"cbAOL", cbAOL);
    AttachSettings(settings_.get());
    FormCreate();
}

TfrmNet::~TfrmNet() = default;

void TfrmNet::FormCreate() {
    DoPriv = ReadRegBool(L"\\software\\Ostrel\\kestrune\\logs", L"DoPriv");
    // The browser's own settings first; the "5.0" keys come later and win.
    for (const wchar_t* sub : {L"Url History", L"Cache", L"5.0\\Url History", L"5.0\\Cache"}) {
        RegKey key = OpenKey(HKEY_CURRENT_USER, InternetSettings(sub), true);
        if (!key) continue;
        if (std::wstring(sub).find(L"Url History") != std::wstring::npos) {
            if (auto days = GetDword(key.get(), L"DaysToKeep")) seHistory.SetValue(static_cast<int32_t>(*days));
        } else {
            if (auto persistent = GetDword(key.get(), L"Persistent")) cbPersistent.SetChecked(*persistent == 0);
        }
    }
    settings_->Restore();
    if (HBITMAP glyph = commontools().imgHelp16) cmdHelp.SetGlyph(glyph);
}

std::optional<std::wstring> TfrmNet::CookiesFolder() const { return ShellFolder(L"Cookies"); }
std::optional<std::wstring> TfrmNet::HistoryFolder() const { return ShellFolder(L"History"); }
std::optional<std::wstring> TfrmNet::CacheFolder() const { return ShellFolder(L"Cache"); }

void TfrmNet::FormShow() {
    if (!IsAdministrator()) {
        cbURLList.SetChecked(false);
        cbURLList.SetEnabled(false);
    }
    if (!Unattended && DoPriv) WriteSessionOpen(kLogManualPrivacy, L"OPEN SESSION: ");
}

void TfrmNet::FormCloseQuery() {
    closing_ = true;
    if (!Unattended && DoPriv)
        WriteSessionClose(kLogManualPrivacy, L"CLOSE SESSION: ", {EraserTotalSpaceLine(lastRecovered_)});
}

void TfrmNet::LogLine(const std::wstring& text) {
    if (Unattended && LogEvents)
        WriteLogLine(kLogEraser, text);
    else if (!Unattended && DoPriv)
        WriteLogLine(kLogManualPrivacy, text);
}

void TfrmNet::ReportFailure(const std::wstring& text) {
    if (Unattended) {
        LogLine(L"  " + text);
        return;
    }
    ui::ShowMessage(text);
}

void TfrmNet::BeginStep(const std::wstring& text) {
    LogLine(L"  " + text);
    fsb.SetPanelText(1, text);
}

TraceFileEraser& TfrmNet::Eraser() {
    // The parts of the run may also be called on their own, outside a run.
    if (!eraser_) eraser_ = std::make_unique<TraceFileEraser>();
    return *eraser_;
}

void TfrmNet::StepDone() { pg().SetPosition(pg().Position() + 1); }

void TfrmNet::RemoveKey(HKEY root, const std::wstring& path, const wchar_t* failureText) {
    if (!KeyExists(root, path)) return;
    if (!DeleteKeyTree(root, path) && failureText) ReportFailure(failureText);
}

void TfrmNet::WriteBatch(const std::wstring& name, const std::wstring& folder) { ::WriteBatch(name, folder); }

void TfrmNet::EraseCacheIndex(const std::wstring& folder) { EraseIndexedFolders(folder, Eraser()); }

void TfrmNet::Clean_IE_Cache() {
    const wchar_t* const failure =
        L"Error removing the Internet cache extensions.  Make sure you have sufficient administrative rights to the "
        L"registry.";
    RemoveKey(HKEY_LOCAL_MACHINE, InternetSettings(L"5.0\\Cache\\Extensible Cache"), failure);
    RemoveKey(HKEY_LOCAL_MACHINE, InternetSettings(L"Cache\\Extensible Cache"), failure);
    auto folder = CacheFolder();
    if (!folder) return;
    if (FileExists(*folder + L"\\index.dat")) EraseCacheIndex(*folder);
    if (FileExists(*folder + L"\\content.ie5\\index.dat")) EraseCacheIndex(*folder + L"\\content.ie5");
    PurgeCacheByBrowser(*system_);
}

void TfrmNet::Clean_IE_History() {
    auto history = HistoryFolder();
    if (!history) return;
    // The numbered day and week folders are emptied outright, on every Windows family.
    for (const auto& folder : NumberedHistoryFolders(*history))
        if (DirectoryExists(folder) && IsPathInside(folder, *history)) EmptyTraceFolder(folder);
    try {
        EraseIndexedFolders(*history, Eraser());
    } catch (const KesError&) {
        return;   // no readable index: the browser is not started either
    }
    PurgeHistoryByBrowser(*system_);
}

void TfrmNet::EmptyNetscapeCaches(const std::wstring& folder) {
    // Every folder at or below Netscape's folder whose path holds "cache" is emptied, the
    // initial folder included; hidden folders count, links are not followed.
    TTreeScanner tsCache;
    tsCache.InitialDirectory = folder;
    tsCache.FindHiddenFiles = true;
    tsCache.FindHiddenFolders = true;
    tsCache.SetFileMask(L"cache");
    tsCache.OnPumpMessages = [this] { system_->Pump(); };
    std::wstring emptied;   // below an emptied folder, what is left was already reported
    tsCache.OnDirectoryFound = [this, &emptied](TTreeScanner& ts) {
        const std::wstring& path = ts.FileFound();
        if (!emptied.empty() && IsPathInside(path, emptied)) return;
        if (UpperCase(path).find(L"CACHE") == std::wstring::npos) return;
        EmptyTraceFolder(path);
        emptied = path;
    };
    tsCache.Scan();
}

bool TfrmNet::EmptyTraceFolder(const std::wstring& folder) {
    if (!DirectoryExists(folder)) return false;
    if (IsFolderEmpty(IncludeTrailingBackslash(folder))) return true;
    bool ok = DeleteFolderContents(folder, false);
    // A folder that may not be emptied at all is left alone. Otherwise the shell may have
    // stopped at the first file in use: the rest go one by one, and what still stays is
    // reported like any other file that could not be deleted.
    if (!IsSafeFolderToEmpty(folder)) return false;
    for (const auto& f : ListFilesBelow(folder))
        if (!::DeleteFileW(f.c_str())) Eraser().FailedFiles.push_back(f);
    return ok && IsFolderEmpty(IncludeTrailingBackslash(folder));
}

void TfrmNet::ShowWarning() {
    if (eraser_->FailedFiles.empty()) return;
    LogLine(L"  Warning:  Some files were not able to be removed.");
    for (const auto& f : eraser_->FailedFiles) LogLine(L"    " + f);
    if (Unattended) return;
    std::wstring text =
        L"Warning:  Some files are in use and unable to be removed.\r\n\r\nIn order for the removal procedure to be "
        L"completed properly it may be necessary to close all open applications, including open web browsers.";
    // The files themselves, so the user knows what stayed (a long list is cut short).
    text += L"\r\n\r\n";
    const size_t shown = std::min<size_t>(eraser_->FailedFiles.size(), 15);
    for (size_t i = 0; i < shown; ++i) text += eraser_->FailedFiles[i] + L"\r\n";
    if (eraser_->FailedFiles.size() > shown)
        text += L"... and " + std::to_wstring(eraser_->FailedFiles.size() - shown) + L" more.\r\n";
    ui::ShowMessage(text);
}

void TfrmNet::cmdExecuteClick() {
    if (running_) return;
    running_ = true;
    RunEnded = false;
    RunCompleted = false;
    // The finishing runs however the run ends; the first error is reported afterwards.
    std::exception_ptr error;
    try {
        Run();
    } catch (...) {
        error = std::current_exception();
    }
    try {
        Finish();
    } catch (...) {
        if (!error) error = std::current_exception();
    }
    running_ = false;
    RunEnded = true;
    if (OnRunEnded) OnRunEnded();
    if (error) std::rethrow_exception(error);
}

void TfrmNet::Run() {
    // Start: the free-space measure, empty status, busy window.
    FreeSpaceAtStart() = system_->MeasureFreeSpace();
    fsb.SetPanelText(0, L"");
    fsb.SetPanelText(1, L"");
    if (Unattended && LogEvents) WriteOperationStart(kLogEraser, false);
    eraser_ = std::make_unique<TraceFileEraser>();
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    cmdExecute.SetEnabled(false);
    cmdClose.SetEnabled(false);
    cmdHelp.SetEnabled(false);
    int steps = 2;
    for (ui::CheckBox* c : {&cbFind, &cbRun, &cbDocuments, &cbComputer, &cbCookies, &cbCache, &cbClearHist, &cbURLList})
        if (c->Checked()) ++steps;
    pg().SetRange(0, steps);
    pg().SetPosition(0);
    pg().SetVisible(true);

    // Netscape is looked up afresh at every run.
    NetscapeFolder() = ResolveNetscapeFolder();
    const auto& netscape = NetscapeFolder();

    if (cbFind.Checked()) {
        BeginStep(L"Clearing Find Files or Folders Information");
        RemoveKey(HKEY_CURRENT_USER, std::wstring(kExplorerKey) + L"\\Doc Find Spec MRU",
                  L"Error removing \"Find Files or Folders\" history.  Make sure you have sufficient administrative "
                  L"rights to the registry.");
        StepDone();
    }
    if (cbRun.Checked()) {
        BeginStep(L"Clearing Recently Run Files Information");
        const wchar_t* failure =
            L"Error removing removing recently run files information.  Make sure you have sufficient administrative "
            L"rights to the registry.";
        RemoveKey(HKEY_CURRENT_USER, std::wstring(kExplorerKey) + L"\\RunMRU", failure);
        RemoveKey(system_->UsersRoot(), L".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
                  failure);
        StepDone();
    }
    if (cbDocuments.Checked()) {
        BeginStep(L"Clearing Recently Accessed Documents Information");
        auto recent = RecentFolderValue();
        if (!recent) {
            ReportFailure(L"Error obtaining recent documents information from registry.");
            return;
        }
        // An already empty folder is no failure.
        if (!EmptyTraceFolder(*recent)) ReportFailure(L"Error removing recent documents information.");
        for (const wchar_t* sub : {L"StreamMRU", L"RecentDocs", L"Documents"})
            RemoveKey(HKEY_CURRENT_USER, std::wstring(kExplorerKey) + L"\\" + sub, nullptr);
        StepDone();
    }
    if (cbComputer.Checked()) {
        BeginStep(L"Clearing Find Computer Information");
        RemoveKey(HKEY_CURRENT_USER, std::wstring(kExplorerKey) + L"\\FindComputerMRU",
                  L"Error removing \"Find Computer...\" history.  Make sure you have sufficient administrative rights "
                  L"to the registry.");
        StepDone();
    }
    if (closing_) return;
    if (cbCookies.Checked()) {
        BeginStep(L"Clearing Cookie Information");
        // A folder that may not be emptied (a drive root, the Windows folder, ...) is never walked.
        if (auto cookies = CookiesFolder(); cookies && IsSafeFolderToEmpty(*cookies)) {
            ScanDirectory(*cookies + L"\\", L"*.*", eraser_->DeleteCallback());
            WriteBatch(L"Cookies", *cookies);
        }
        if (netscape) ScanDirectory(*netscape, L"cookies.txt", eraser_->DeleteCallback());
        StepDone();
    }
    if (closing_) return;
    if (cbCache.Checked()) {
        BeginStep(L"Clearing Cache Information");
        if (auto cache = CacheFolder(); cache && IsSafeFolderToEmpty(*cache)) {
            Clean_IE_Cache();
            WriteBatch(L"Cache", *cache);
        }
        if (netscape) EmptyNetscapeCaches(*netscape);
        StepDone();
    }
    if (closing_) return;
    if (cbClearHist.Checked()) {
        BeginStep(L"Clearing History Information");
        if (auto history = HistoryFolder(); history && IsSafeFolderToEmpty(*history)) {
            Clean_IE_History();
            WriteBatch(L"History", *history);
        }
        if (netscape) ScanDirectory(*netscape, L"netscape.hst", eraser_->DeleteCallback());
        StepDone();
    }
    if (cbURLList.Checked()) {
        BeginStep(L"Clearing Typed URLs Information");
        const wchar_t* failure =
            L"Error removing recently typed URLs information.  Make sure you have sufficient administrative rights to "
            L"the registry.";
        RemoveKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", failure);
        RemoveKey(system_->UsersRoot(), L".Default\\Software\\Microsoft\\Internet Explorer\\TypedURLs", failure);
        if (netscape) ScanDirectory(*netscape, L"prefs.js", eraser_->StripCallback());
        StepDone();
    }
    // The browser's own retention options, written at every run.
    BeginStep(L"Setting Internet Explorer Cache Options");
    {
        RegKey cache = OpenKeyOrThrow(HKEY_CURRENT_USER, InternetSettings(L"Cache"), true);
        SetDword(cache.get(), L"Persistent", cbPersistent.Checked() ? 0 : 1);
    }
    StepDone();
    BeginStep(L"Setting Internet Explorer History Options");
    for (const wchar_t* sub : {L"Url History", L"5.0\\Url History"}) {
        RegKey key = OpenKeyOrThrow(HKEY_CURRENT_USER, InternetSettings(sub), true);
        SetDword(key.get(), L"DaysToKeep", static_cast<uint32_t>(seHistory.Value()));
    }
    // America Online
    if (cbAOL.Checked()) {
        if (auto aol = ResolveAolCacheFolder()) {
            BeginStep(L"Removing America Online cache");
            EmptyTraceFolder(*aol);
        }
    }
    // Completed: the texts, the tip and the warning.
    lastRecovered_ = RecoveredSpace(FreeSpaceAtStart(), system_->MeasureFreeSpace());
    fsb.SetPanelText(0, kErasedText);
    fsb.SetPanelText(1, SpaceRecoveredText(lastRecovered_));
    pg().SetPosition(pg().Max());
    RunCompleted = true;
    if (!Unattended && (cbCookies.Checked() || cbCache.Checked() || cbClearHist.Checked()))
        ShowHintOnce(L"Cookies", kCookieNote);
    ShowWarning();
}

void TfrmNet::Finish() {
    if (eraser_) lastFailed_ = std::move(eraser_->FailedFiles);
    eraser_.reset();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    cmdExecute.SetEnabled(true);
    cmdClose.SetEnabled(true);
    cmdHelp.SetEnabled(true);
    pg().SetVisible(false);
    // A run that ended early still tells what it recovered so far.
    if (!RunCompleted) lastRecovered_ = RecoveredSpace(FreeSpaceAtStart(), system_->MeasureFreeSpace());
    if (Unattended && LogEvents) WriteOperationComplete(kLogEraser, {EraserTotalSpaceLine(lastRecovered_)}, false);
    if (lastRecovered_ > 0) AddToCounter(L"EraserBytes", lastRecovered_);
}

void ShowEraser(const std::wstring& captionPrefix) {
    auto form = std::make_unique<TfrmNet>();
    if (!captionPrefix.empty()) form->SetCaption(captionPrefix + form->Caption());
    form->ShowModal();
}

void ShowEraser() { ShowEraser(L""); }
