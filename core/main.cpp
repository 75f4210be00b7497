#include <windows.h>
#include "core/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunKestrune(instance);
}
