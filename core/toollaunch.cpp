// The tools this build has: the navigator's buttons and the scheduler's command-line modes.
#include "core/Navigator.h"
#include "core/app.h"
#include "logs/logs.h"
#include "sched/sched.h"
#include "tools/eraser/Net.h"
#include "tools/junk/junk.h"
#include "tools/regclean/regclean.h"
#include "tools/uninstall/addremove.h"

NavigatorActions DefaultNavigatorActions() {
    NavigatorActions a;
    a.junk = [] { ShowJunkCleaner(); };
    a.eraser = [] { ShowEraser(); };
    a.uninstall = [] { ShowAddRemoveCleaner(); };
    a.registry = [] { ShowRegistryCleaner(); };
    a.schedule = [] { ShowScheduler(); };
    a.logs = [] { ShowLogsViewer(); };
    return a;
}

void RunScheduledMode(AppMode mode) {
    switch (mode) {
        case AppMode::CleanJunk: RunScheduledTask(SchedTask::Junk); break;
        case AppMode::CleanHistory: RunScheduledTask(SchedTask::Eraser); break;
        case AppMode::RegistryClean: RunScheduledTask(SchedTask::Registry); break;
        case AppMode::SetSchedule: ShowScheduler(); break;
        default: break;
    }
}
