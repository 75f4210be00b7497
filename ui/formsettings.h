// The form-settings store: keeps a window's placement and a listed set of control properties
// under a registry subkey of HKEY_CURRENT_USER. Restored when the form is first shown (or
// earlier, by an explicit Restore()), saved when the form closes, but only if it was restored:
// a form that was never shown and never restored stores nothing, and the subkey does not
// exist before the form has been closed once.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;
class CheckBox;
class RadioButton;
class Edit;
class NumEdit;
class ComboBox;
class ListView;
class PageControl;

class FormSettings {
public:
    // key: full path under HKEY_CURRENT_USER, e.g. "software\Ostrel\Kestrune\junk\pos".
    FormSettings(Form& form, std::wstring key, bool placement = true);
    ~FormSettings();
    FormSettings(const FormSettings&) = delete;
    FormSettings& operator=(const FormSettings&) = delete;

    // The stored properties, each under its own value name.
    void Add(const std::wstring& name, CheckBox& control);        // checked state
    void Add(const std::wstring& name, RadioButton& control);     // checked state
    void Add(const std::wstring& name, Edit& control);            // text
    void Add(const std::wstring& name, NumEdit& control);         // value
    void Add(const std::wstring& name, ComboBox& control);        // item index
    void AddColumns(const std::wstring& name, ListView& control); // column widths
    void Add(const std::wstring& name, PageControl& control);     // active page
    // Any other property: as an integer or as text.
    void AddInt(const std::wstring& name, std::function<int()> get, std::function<void(int)> set);
    void AddText(const std::wstring& name, std::function<std::wstring()> get,
                 std::function<void(const std::wstring&)> set);

    void Restore();          // placement + properties; marks restored (a missing key keeps design values)
    void Save();             // only when restored
    bool Restored() const { return restored_; }
    const std::wstring& Key() const { return key_; }

private:
    struct Prop {
        std::wstring name;
        bool text;
        std::function<int()> getInt;
        std::function<void(int)> setInt;
        std::function<std::wstring()> getText;
        std::function<void(const std::wstring&)> setText;
    };
    Form& form_;
    std::wstring key_;
    bool placement_;
    bool restored_ = false;
    std::vector<Prop> props_;
};

}  // namespace ui
