// The form-settings store. Values under the form's subkey:
//   "Left", "Top", "Width", "Height" (DWORD, signed, screen/work-area pixels), "Maximized" (DWORD 0/1)
//   one value per property: DWORD for integers and check states, REG_SZ for texts and column widths.
#include "ui/formsettings.h"
#include "ui/ui.h"
#include "core/registry.h"
#include <cwchar>

namespace ui {

namespace {
std::optional<int> ReadInt(HKEY key, const std::wstring& name) {
    try {
        if (auto v = GetDword(key, name)) return static_cast<int>(*v);
    } catch (...) {
        // a value of another type: keep the design value
    }
    return std::nullopt;
}

std::optional<std::wstring> ReadText(HKEY key, const std::wstring& name) {
    try {
        return GetString(key, name);
    } catch (...) {
        return std::nullopt;
    }
}
}  // namespace

FormSettings::FormSettings(Form& form, std::wstring key, bool placement)
    : form_(form), key_(NormalizeKeyPath(key)), placement_(placement) {
    form_.AttachSettings(this);
}

FormSettings::~FormSettings() {
    // Destroyed with a form that was never closed: save now, while the controls still exist.
    if (!form_.IsClosed() && restored_) {
        try {
            Save();
        } catch (...) {
        }
    }
    if (form_.Settings() == this) form_.AttachSettings(nullptr);
}

void FormSettings::Add(const std::wstring& name, CheckBox& c) {
    AddInt(name, [&c] { return c.Checked() ? 1 : 0; }, [&c](int v) { c.SetChecked(v != 0); });
}

void FormSettings::Add(const std::wstring& name, RadioButton& c) {
    AddInt(name, [&c] { return c.Checked() ? 1 : 0; }, [&c](int v) { if (v) c.SetChecked(true); });
}

void FormSettings::Add(const std::wstring& name, Edit& c) {
    AddText(name, [&c] { return c.Text(); }, [&c](const std::wstring& t) { c.SetText(t); });
}

void FormSettings::Add(const std::wstring& name, NumEdit& c) {
    AddInt(name, [&c] { return c.Value(); }, [&c](int v) { c.SetValue(v); });
}

void FormSettings::Add(const std::wstring& name, ComboBox& c) {
    AddInt(name, [&c] { return c.ItemIndex(); },
           [&c](int v) { if (v >= 0 && v < c.Count()) c.SetItemIndex(v); });
}

void FormSettings::AddColumns(const std::wstring& name, ListView& c) {
    AddText(name,
            [&c] {
                std::wstring s;
                for (int i = 0; i < c.ColumnCount(); ++i) {
                    if (i) s += L',';
                    s += std::to_wstring(c.ColumnWidth(i));
                }
                return s;
            },
            [&c](const std::wstring& s) {
                const wchar_t* p = s.c_str();
                for (int i = 0; i < c.ColumnCount() && *p; ++i) {
                    wchar_t* end = nullptr;
                    long w = std::wcstol(p, &end, 10);
                    if (end == p) break;
                    if (w >= 0 && w <= 4000) c.SetColumnWidth(i, static_cast<int>(w));
                    p = end;
                    if (*p == L',') ++p;
                }
            });
}

void FormSettings::Add(const std::wstring& name, PageControl& c) {
    AddInt(name, [&c] { return c.ActivePageIndex(); },
           [&c](int v) {
               if (v >= 0 && v < c.PageCount() && c.Page(v).TabVisible()) c.Activate(v, false);
           });
}

void FormSettings::AddInt(const std::wstring& name, std::function<int()> get, std::function<void(int)> set) {
    props_.push_back({name, false, std::move(get), std::move(set), {}, {}});
}

void FormSettings::AddText(const std::wstring& name, std::function<std::wstring()> get,
                           std::function<void(const std::wstring&)> set) {
    props_.push_back({name, true, {}, {}, std::move(get), std::move(set)});
}

void FormSettings::Restore() {
    restored_ = true;
    RegKey key = OpenKey(HKEY_CURRENT_USER, key_, false, KEY_READ);
    if (!key) return;   // never saved: the design values stay
    HWND hwnd = form_.Handle();
    if (placement_ && hwnd) {
        auto left = ReadInt(key.get(), L"Left"), top = ReadInt(key.get(), L"Top");
        auto width = ReadInt(key.get(), L"Width"), height = ReadInt(key.get(), L"Height");
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        if (left && top && ::GetWindowPlacement(hwnd, &wp)) {
            RECT rc = wp.rcNormalPosition;
            int w = rc.right - rc.left, h = rc.bottom - rc.top;
            // Only a sizeable window takes a stored size; a fixed one keeps its design size.
            if ((::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_THICKFRAME) && width && height && *width >= 50 &&
                *height >= 30 && *width <= 20000 && *height <= 20000) {
                w = *width;
                h = *height;
            }
            RECT stored{*left, *top, *left + w, *top + h};
            // A place off every monitor (a screen that has gone) is ignored.
            if (::MonitorFromRect(&stored, MONITOR_DEFAULTTONULL)) {
                wp.rcNormalPosition = stored;
                wp.showCmd = ::IsWindowVisible(hwnd) ? SW_SHOWNOACTIVATE : SW_HIDE;
                wp.flags = 0;
                ::SetWindowPlacement(hwnd, &wp);
            }
        }
        if (auto m = ReadInt(key.get(), L"Maximized"); m && *m && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX)) {
            if (::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWMAXIMIZED);
            else form_.showMaximized_ = true;
        }
    }
    for (const Prop& p : props_) {
        if (p.text) {
            if (auto v = ReadText(key.get(), p.name); v && p.setText) p.setText(*v);
        } else {
            if (auto v = ReadInt(key.get(), p.name); v && p.setInt) p.setInt(*v);
        }
    }
}

void FormSettings::Save() {
    if (!restored_) return;
    RegKey key = OpenKeyOrThrow(HKEY_CURRENT_USER, key_, true);
    HWND hwnd = form_.Handle();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (placement_ && hwnd && ::GetWindowPlacement(hwnd, &wp)) {
        const RECT& rc = wp.rcNormalPosition;
        SetDword(key.get(), L"Left", static_cast<uint32_t>(rc.left));
        SetDword(key.get(), L"Top", static_cast<uint32_t>(rc.top));
        SetDword(key.get(), L"Width", static_cast<uint32_t>(rc.right - rc.left));
        SetDword(key.get(), L"Height", static_cast<uint32_t>(rc.bottom - rc.top));
        SetDword(key.get(), L"Maximized", ::IsZoomed(hwnd) ? 1u : 0u);
    }
    for (const Prop& p : props_) {
        if (p.text) {
            if (p.getText) SetString(key.get(), p.name, p.getText());
        } else {
            if (p.getInt) SetDword(key.get(), p.name, static_cast<uint32_t>(p.getInt()));
        }
    }
}

}  // namespace ui
