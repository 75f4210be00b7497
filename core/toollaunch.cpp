// The tools this build has, for the navigator's buttons.
#include "core/Navigator.h"

NavigatorActions DefaultNavigatorActions() {
    NavigatorActions a;
    return a;
}

#include "core/app.h"

void RunScheduledMode(AppMode mode) {
    (void)mode;
}
