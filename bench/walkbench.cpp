// Times folder walks over a generated tree and prints one line per measure:
//   BENCH <name> <median seconds> <ratio to bare>
// kes_bench walk ROOT [--reps N]   bare, scanner13, permask13
// kes_bench junk ROOT [--reps N]   bare, junkscan (ROOT must be a drive root, e.g. T:\)
// With KES_BENCH_NOINUSE set the junk scan runs without its in-use test (to see its share).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "core/winhandle.h"
#include "scan/TreeScan.h"
#if __has_include("tools/junk/junk.h")
#include "core/commontools.h"
#include "core/paths.h"
#include "core/registry.h"
#include "tools/junk/junk.h"
#include "ui/ui.h"
#define KES_BENCH_JUNK 1
#endif

namespace {

const wchar_t* const kMasks[] = {L"*.~*", L"~*.*", L"*.??~", L"*.---", L"*.tmp", L"*._mp", L"*.old",
                                 L"*.bak", L"*.syd", L"*.chk", L"*.gid", L"mscreate.dir", L"0???????.nch"};

double Seconds(const std::function<void()>& f) {
    LARGE_INTEGER freq, a, b;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&a);
    f();
    ::QueryPerformanceCounter(&b);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The limit: one listing per folder, nothing else.
long long g_entries = 0;
void Bare(const std::wstring& folder) {
    std::vector<std::wstring> subs;
    WIN32_FIND_DATAW fd;
    FindHandle h(::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH));
    if (!h.valid()) return;
    do {
        ++g_entries;
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && wcscmp(fd.cFileName, L".") != 0 &&
            wcscmp(fd.cFileName, L"..") != 0)
            subs.push_back(folder + fd.cFileName + L"\\");
    } while (::FindNextFileW(h.get(), &fd));
    for (const auto& s : subs) Bare(s);
}

// The walk as first designed: one search for the subfolders and one per mask in every folder,
// results kept in sorted lists.
long long g_permaskFiles = 0;
void PerMask(const std::wstring& folder) {
    ::PeekMessageW(nullptr, nullptr, 0, 0, PM_NOREMOVE);
    SortedTextList subs, files;
    WIN32_FIND_DATAW fd;
    {
        FindHandle h(::FindFirstFileW((folder + L"*.*").c_str(), &fd));
        if (h.valid()) do {
                if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) &&
                    wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0)
                    subs.Add(folder + fd.cFileName + L"\\");
            } while (::FindNextFileW(h.get(), &fd));
    }
    for (const wchar_t* m : kMasks) {
        FindHandle h(::FindFirstFileW((folder + m).c_str(), &fd));
        if (h.valid()) do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.Add(folder + fd.cFileName);
            } while (::FindNextFileW(h.get(), &fd));
    }
    g_permaskFiles += static_cast<long long>(files.Size());
    for (const auto& s : subs.Items()) PerMask(s);
}

#ifdef KES_BENCH_JUNK
// The hidden junk window's scan of one drive with the default file types, driven as the
// scheduler drives it. The registry of this process is redirected to a scratch key.
double g_junkSeconds = 0;
int RunJunkScanForBench(const std::wstring& root) {
    static bool once = false;
    static RegKey scratch;
    if (!once) {
        once = true;
        ui::InitApplication(::GetModuleHandleW(nullptr), L"Kestrune");
        scratch = OpenKey(HKEY_CURRENT_USER, L"Software\\KestruneBench", true, KEY_ALL_ACCESS);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, scratch.get());
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        SetProgramFolderOverride(tmp);
    }
    WriteRegString(L"\\Software\\Ostrel\\Kestrune\\Junk", L"Drives", std::wstring(1, root[0]));
    TfrmJunk form;
    form.Unattended = true;
    form.cbInUse.SetChecked(_wgetenv(L"KES_BENCH_NOINUSE") == nullptr);   // the stored choice would persist between runs
    g_junkSeconds = Seconds([&] { form.cmdGo.Click(); });
    int rows = form.lv.Count();
    form.Close();
    return rows;
}
#endif

std::wstring MaskText() {
    std::wstring t;
    for (const wchar_t* m : kMasks) t += std::wstring(t.empty() ? L"" : L",") + m;
    return t;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: kes_bench walk|junk ROOT [--reps N]\n");
        return 2;
    }
    std::wstring mode = argv[1], root = argv[2];
    if (root.back() != L'\\') root += L'\\';
    int reps = 5;
    for (int i = 3; i + 1 < argc; ++i)
        if (std::wstring(argv[i]) == L"--reps") reps = std::max(1, _wtoi(argv[i + 1]));

    Bare(root);   // warm the caches
    g_entries = 0;
    Bare(root);
    std::wprintf(L"tree %ls: %lld entries, %d rounds\n", root.c_str(), g_entries, reps);

    // Every round runs each measure once, so a change of the machine's load hits all of them.
    struct Measure {
        const wchar_t* name;
        std::function<void()> run;
        std::vector<double> times;
    };
    std::vector<Measure> measures;
    measures.push_back({L"bare", [&] { Bare(root); }, {}});
    long long found = 0;
    TTreeScanner ts;
    int junkRows = 0;
    if (mode == L"walk") {
        ts.FindHiddenFiles = ts.FindHiddenFolders = true;
        ts.SetFileMaskCommaText(MaskText());
        ts.OnFileFound = [&](TTreeScanner&) { ++found; };
        measures.push_back({L"scanner13", [&] { found = 0; ts.InitialDirectory = root; ts.Scan(); }, {}});
        measures.push_back({L"permask13", [&] { g_permaskFiles = 0; PerMask(root); }, {}});
    }
#ifdef KES_BENCH_JUNK
    else if (mode == L"junk") {
        measures.push_back({L"junkscan", [&] { junkRows = RunJunkScanForBench(root); }, {}});
    }
#endif
    else {
        std::fwprintf(stderr, L"unknown mode\n");
        return 2;
    }
    for (int r = 0; r < reps; ++r)
        for (auto& m : measures) {
            double t = Seconds(m.run);
#ifdef KES_BENCH_JUNK
            if (std::wstring(m.name) == L"junkscan") t = g_junkSeconds;   // the scan, not the window's creation
#endif
            m.times.push_back(t);
        }
    auto median = [](std::vector<double> t) {
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    };
    const double bare = median(measures[0].times);
    if (mode == L"walk") {
        std::wprintf(L"scanner13 found %lld files; permask13 found %lld (8.3 aliases match too)\n", found,
                     g_permaskFiles);
    } else {
        std::wprintf(L"junkscan listed %d files\n", junkRows);
    }
    for (auto& m : measures) {
        double t = median(m.times);
        std::wprintf(L"BENCH %ls %.3f %.2f\n", m.name, t, t / bare);
    }
    return 0;
}
