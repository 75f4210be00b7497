// The decisions of the resident scheduler (Scheduled_Maintenance.exe): which enabled task is
// due, whether the free-space option lets it run, and the "NextRun" to store. Plain logic over
// the schedule keys so that it can be tested without the resident program.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>
#include "sched/schedule.h"

class ResidentScheduler {
public:
    // Free bytes of the primary drive (the drive of the Windows folder).
    using FreeSpaceFn = std::function<std::optional<uint64_t>()>;
    explicit ResidentScheduler(FreeSpaceFn freeSpace);

    // Looks at every task once at `now`; answers the tasks to start now. For each of them the
    // next "NextRun" has already been stored, so a later look at the same due time starts
    // nothing. A broken value of one task never stops the others.
    std::vector<SchedTask> Tick(double now);

    // True when the task is enabled with the shut-down kind (run when Windows ends).
    static bool RunsAtShutDown(SchedTask task);

    // The due time of a task (none: never due). Writes the one-hour default "NextRun" when the
    // task has neither "NextRun" nor "LastRan".
    static std::optional<double> DueTime(SchedTask task, double now);
    // The first run after now that follows `due` by the task's schedule.
    static std::optional<double> FollowingRun(int kind, const std::wstring& params, double due, double now);
    // "OnlyScan" and "SpaceFree": false when the option is on and the primary drive has at
    // least that many megabytes (1 MB = 1,024,000 bytes) free.
    bool SpaceAllowsRun() const;

private:
    FreeSpaceFn freeSpace_;
    std::map<SchedTask, double> started_;   // the due time each task was last started for
};

// Free bytes of the drive holding the Windows folder.
std::optional<uint64_t> PrimaryDriveFreeBytes();
