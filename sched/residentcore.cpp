#include "sched/residentcore.h"
#include <windows.h>
#include "core/common.h"
#include "core/errors.h"
#include "core/registry.h"

ResidentScheduler::ResidentScheduler(FreeSpaceFn freeSpace) : freeSpace_(std::move(freeSpace)) {}

static bool TaskEnabled(SchedTask task) { return ReadRegInteger(TaskKey(task), L"Enabled") != 0; }

bool ResidentScheduler::RunsAtShutDown(SchedTask task) {
    try {
        return TaskEnabled(task) && ReadSchedKind(TaskKey(task)) == kKindWinEnd;
    } catch (const KesError&) {
        return false;
    }
}

std::optional<double> ResidentScheduler::DueTime(SchedTask task, double now) {
    std::wstring key = TaskKey(task);
    auto kind = ReadSchedKind(key);
    if (!kind || *kind > kKindMonths) return std::nullopt;
    return GetNextScan(key, now);
}

std::optional<double> ResidentScheduler::FollowingRun(int kind, const std::wstring& params, double due, double now) {
    // Follows the schedule from the due time so that a task keeps its rhythm; after a long
    // pause (the machine was off) the catching up is cut short and the next run counts from now.
    double t = due;
    for (int i = 0; i < 100000; ++i) {
        auto next = GetNextRun(kind, params, t);
        if (!next || *next <= t) break;
        if (*next > now) return next;
        t = *next;
    }
    auto next = GetNextRun(kind, params, now);
    if (next && *next > now) return next;
    return std::nullopt;
}

bool ResidentScheduler::SpaceAllowsRun() const {
    const std::wstring root = ScheduleRoot();
    if (ReadRegInteger(root, L"OnlyScan") == 0) return true;
    int32_t megs = ReadRegInteger(root, L"SpaceFree");
    if (megs <= 0) megs = 100;
    auto free = freeSpace_ ? freeSpace_() : std::nullopt;
    if (!free) return true;
    return *free < static_cast<uint64_t>(megs) * 1024000ull;
}

std::vector<SchedTask> ResidentScheduler::Tick(double now) {
    std::vector<SchedTask> start;
    for (SchedTask task : kAllTasks) {
        try {
            if (!TaskEnabled(task)) continue;
            auto due = DueTime(task, now);
            if (!due || *due > now) continue;
            auto done = started_.find(task);
            if (done != started_.end() && done->second == *due) continue;
            std::wstring key = TaskKey(task);
            int kind = *ReadSchedKind(key);
            auto following = FollowingRun(kind, ReadRegString(key, L"Params"), *due, now);
            // The next run is stored before anything starts, so the same due time never
            // starts a second run, even after a restart of the scheduler.
            if (following) WriteDateTimeValue(key, L"NextRun", *following);
            else WriteDateTimeValue(key, L"NextRun", RoundToMilliseconds(now + 1.0));
            started_[task] = *due;
            if (SpaceAllowsRun()) start.push_back(task);
        } catch (const KesError&) {
            // A broken value (wrong type or size) leaves this task alone until it is mended.
        }
    }
    return start;
}

std::optional<uint64_t> PrimaryDriveFreeBytes() {
    std::wstring windows = GetWindowsFolder();
    if (windows.size() < 2 || windows[1] != L':') return std::nullopt;
    std::wstring root = windows.substr(0, 2) + L"\\";
    ULARGE_INTEGER avail{}, total{}, free{};
    if (!::GetDiskFreeSpaceExW(root.c_str(), &avail, &total, &free)) return std::nullopt;
    return avail.QuadPart;
}
