// A stand-in for the machine: records the browser and clock steps, keeps a clock of its own,
// hands out scripted free-space figures and a scratch HKEY_USERS.
#pragma once
#include <string>
#include <vector>
#include "core/registry.h"
#include "tools/eraser/Traces.h"

class FakeSystem : public EraserSystem {
public:
    std::vector<std::wstring> steps;
    SYSTEMTIME clock{};
    DWORD ticks = 100000;
    bool browserWorks = true;
    // Free bytes of C: at each measure, in turn (the last repeats).
    std::vector<int64_t> freeSpace{1000000};
    size_t measures = 0;
    RegKey users;

    FakeSystem() {
        clock.wYear = 2024; clock.wMonth = 3; clock.wDay = 14; clock.wHour = 10;
        users = OpenKey(HKEY_CURRENT_USER, L"Software\\KestruneFakeUsers", true);
    }
    bool RunBrowserOnce() override {
        steps.push_back(L"browser");
        ticks += 1100;
        return browserWorks;
    }
    bool GetClock(SYSTEMTIME& utc) override {
        steps.push_back(L"get");
        utc = clock;
        return true;
    }
    bool SetClock(const SYSTEMTIME& utc) override {
        FILETIME ft;
        if (!::SystemTimeToFileTime(&utc, &ft)) {   // an impossible date is refused, as the system does
            steps.push_back(L"set refused");
            return false;
        }
        steps.push_back(L"set " + std::to_wstring(utc.wDay) + L" " + std::to_wstring(utc.wHour) + L":" +
                        std::to_wstring(utc.wMinute) + L":" + std::to_wstring(utc.wSecond));
        clock = utc;
        return true;
    }
    DWORD Ticks() override { return ticks; }
    void PumpFor(DWORD ms) override {
        steps.push_back(L"wait " + std::to_wstring(ms));
        ticks += ms + 1;
    }
    void Pump() override {}
    FreeSpaceSnapshot MeasureFreeSpace() override {
        FreeSpaceSnapshot s;
        s.taken = true;
        s.drives[0] = freeSpace[std::min(measures, freeSpace.size() - 1)];
        ++measures;
        return s;
    }
    HKEY UsersRoot() override { return users.get(); }
};
