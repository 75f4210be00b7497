// Helpers shared by the window layer's own source files (not part of its interface).
#pragma once
#include "ui/ui.h"

namespace ui {
namespace detail {

extern const wchar_t* const kWindowClass;   // forms, panels, tab pages, pictures

struct ControlAccess {
    static void SetHandle(Control& c, HWND hwnd) { c.hwnd_ = hwnd; }
    static HWND Buddy(const NumEdit& n) { return n.updown_; }
};

void RegisterClasses();
HFONT DefaultFont();
// A copy of a font with the given weight/underline; the caller owns it.
HFONT DeriveFont(HFONT base, bool bold, bool underline);
int Unscale(int pixels);   // device pixels to 96-DPI pixels
bool RouteToChild(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
void RelayoutBars(HWND hwnd);
HWND FormTooltip(HWND anyChild);
// Keeps a NumEdit's up-down in step with the edit's visibility and enabled state.
void SyncBuddy(NumEdit& n);

}  // namespace detail
}  // namespace ui
