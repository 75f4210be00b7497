// Times folder walks over a generated tree and prints one line per measure:
//   BENCH <name> <median seconds> <ratio to bare>
// kes_bench walk ROOT [--reps N]   bare, scanner13, permask13
// kes_bench junk ROOT [--reps N]   bare, junkscan (ROOT must be a drive root, e.g. T:\)
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

double Median(const std::function<void()>& f, int reps) {
    std::vector<double> t;
    for (int i = 0; i < reps; ++i) t.push_back(Seconds(f));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
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
    form.cmdGo.Click();
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
    std::wprintf(L"tree %ls: %lld entries\n", root.c_str(), g_entries);
    double bare = Median([&] { Bare(root); }, reps);
    std::wprintf(L"BENCH bare %.3f 1.00\n", bare);
    std::fflush(stdout);

    if (mode == L"walk") {
        long long found = 0;
        TTreeScanner ts;
        ts.FindHiddenFiles = ts.FindHiddenFolders = true;
        ts.SetFileMaskCommaText(MaskText());
        ts.OnFileFound = [&](TTreeScanner&) { ++found; };
        double scanner = Median([&] { found = 0; ts.InitialDirectory = root; ts.Scan(); }, reps);
        std::wprintf(L"scanner13 found %lld files\n", found);
        std::wprintf(L"BENCH scanner13 %.3f %.2f\n", scanner, scanner / bare);
        std::fflush(stdout);
        double permask = Median([&] { g_permaskFiles = 0; PerMask(root); }, std::min(reps, 3));
        std::wprintf(L"permask13 found %lld files (8.3 aliases match too)\n", g_permaskFiles);
        std::wprintf(L"BENCH permask13 %.3f %.2f\n", permask, permask / bare);
        return 0;
    }
#ifdef KES_BENCH_JUNK
    if (mode == L"junk") {
        int rows = 0;
        double junk = Median([&] { rows = RunJunkScanForBench(root); }, reps);
        std::wprintf(L"junkscan listed %d files\n", rows);
        std::wprintf(L"BENCH junkscan %.3f %.2f\n", junk, junk / bare);
        return 0;
    }
#endif
    std::fwprintf(stderr, L"unknown mode\n");
    return 2;
}
