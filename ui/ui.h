// The window layer: thin wrappers over Win32 windows and common controls, shared by every
// window of the program. A window is created hidden; its controls can be driven by code
// (Button::Click runs the handler exactly as a mouse click would), which is how the unattended
// runs and the tests drive the tools.
//
// Controls are normally members of their form, constructed with the form (or a tab page) as
// parent:   ui::Button cmdGo{*this, 8, 8, 75, 25, L"&Scan"};
// Coordinates are client pixels at 96 DPI (scaled for the system DPI).
// Event handlers are std::function members, empty by default. An exception leaving a handler
// (KesError or std::exception) is caught by the layer and shown by ReportException.
//
// A tool window in short:
//   class TfrmX : public ui::Form {
//   public:
//       TfrmX() : ui::Form(L"Title", 500, 380, ui::FormStyle::Sizeable) {
//           lv.AddColumn(L"Name", 200);
//           int row = lv.AddItem(L"C:\\a.tmp"); lv.SetChecked(row, true); lv.SetItemData(row, 7);
//           lv.OnItemChecked = [this](int i) { ... };
//           tb.AddButton(0, L"Start the scan", [this] { cmdGo.Click(); });
//           cmdGo.OnClick = [this] { ... };
//           OnClose = [this] { ... };       // closing is never refused
//       }
//       ui::ImageList il{16};                               // declared before its users
//       ui::ToolBar tb{*this, il.Handle()};                 // docked at the top
//       ui::PageControl pc{*this, 4, 30, 492, 300};
//       ui::TabPage tsFiles{pc, L"Files"};                  // pages are containers
//       ui::ListView lv{tsFiles, 4, 4, 476, 260, [] { ui::ListViewOptions o; o.checkBoxes = true; return o; }()};
//       ui::Button cmdGo{*this, 340, 336, 75, 25, L"&Scan"};
//       ui::StatusBar sb{*this, {200}};                     // two panels
//       ui::FormSettings settings{*this, L"software\\Ostrel\\Kestrune\\x\\pos"};  // after the controls it stores
//   };
// Siblings overlap as in dialogs: the first created is on top and none clips the others.
// Tests create the form (hidden), set fields, call Click(), pump with kestest::PumpUntil and
// answer dialogs with a ui::DialogScript; ShowModal returns once something calls Close().
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Form;
class Container;
namespace detail { struct ControlAccess; }   // the layer's own window procedures

// --- application ------------------------------------------------------------------------------
void InitApplication(HINSTANCE instance, const std::wstring& title);  // common controls, title
HINSTANCE Instance();
const std::wstring& ApplicationTitle();   // "Kestrune"
void ProcessMessages();                   // pumps what is pending, then returns
void RunMessageLoop();                    // until Terminate()
void Terminate();                         // ends RunMessageLoop
bool Terminated();
int Scale(int pixels);                    // 96-DPI pixels to device pixels

// The layer's default error message for an exception that left an event handler.
void ReportException(std::exception_ptr e);
// Help: F1 and help buttons call this with the window's help topic.
void SetHelpHandler(std::function<void(const std::wstring& topic)> handler);
void ShowHelp(const std::wstring& topic);
// Runs an event handler; an exception leaving it goes to ReportException.
void SafeCall(const std::function<void()>& handler);

// --- base classes -----------------------------------------------------------------------------
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const { return hwnd_; }
    Container* Parent() const { return parent_; }
    Form* OwnerForm() const;

    virtual void SetText(const std::wstring& text);
    virtual std::wstring Text() const;
    // Own visibility (true even while the form is hidden), as a designer would see it.
    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetBounds(int x, int y, int w, int h);   // 96-DPI client pixels of the parent
    RECT Bounds() const;                          // 96-DPI client pixels of the parent
    void SetHint(const std::wstring& hint);       // tool tip
    const std::wstring& Hint() const { return hint_; }
    void SetFocus();
    void SetFont(HFONT font);                     // not owned
    void SetBold(bool bold);
    void SetTextColor(COLORREF color);
    void SetBackColor(COLORREF color);
    COLORREF TextColor() const { return textColor_; }
    void Invalidate();

    // Called by the parent's window procedure; return true when handled.
    virtual bool HandleCommand(WORD code) { return false; }
    virtual bool HandleNotify(NMHDR* hdr, LRESULT& result) { return false; }
    virtual bool HandleCtlColor(HDC dc, LRESULT& result);
    virtual bool HandleDrawItem(DRAWITEMSTRUCT* dis) { return false; }
    static Control* FromHandle(HWND hwnd);

protected:
    friend struct detail::ControlAccess;
    Control() = default;
    // Creates the window as a child of parent (or top level when parent is null).
    void Create(Container* parent, const wchar_t* className, const std::wstring& text, DWORD style,
                DWORD exStyle, int x, int y, int w, int h);
    HWND hwnd_ = nullptr;
    Container* parent_ = nullptr;
    bool visible_ = true;
    std::wstring hint_;
    COLORREF textColor_ = CLR_INVALID;
    COLORREF backColor_ = CLR_INVALID;
    HBRUSH backBrush_ = nullptr;
    HFONT ownFont_ = nullptr;
};

// A window that holds controls (forms, tab pages, panels).
class Container : public Control {
public:
protected:
    Container() = default;
};

// A plain child panel (group of controls).
class Panel : public Container {
public:
    Panel(Container& parent, int x, int y, int w, int h, bool border = false);
};

// A group box frame with a caption.
class GroupBox : public Control {
public:
    GroupBox(Container& parent, int x, int y, int w, int h, const std::wstring& caption);
};

// --- forms ------------------------------------------------------------------------------------
enum class FormStyle {
    Dialog,       // caption, close box, fixed size
    Sizeable,     // caption, min/max boxes, sizeable border
    ToolWindow,   // small caption, fixed size
    Popup,        // no border, no caption (shaped windows, progress window)
};

class FormSettings;

class Form : public Container {
public:
    Form(const std::wstring& caption, int clientWidth, int clientHeight, FormStyle style = FormStyle::Dialog,
         Form* owner = nullptr);
    ~Form() override;

    // Shows the form and runs a message loop until it is closed; the owner is disabled meanwhile.
    void ShowModal();
    void Show();               // modeless
    void Hide();
    // Closes the form (never refused): runs OnClose, saves the form settings when they were
    // restored, hides and destroys the window, ends a modal loop. Safe to call twice.
    void Close();
    bool IsClosed() const { return closed_; }
    bool IsModal() const { return modal_; }
    bool Showing() const;      // the window is visible on screen

    void Center();             // centres on the screen
    void SetPosition(int x, int y);   // screen pixels
    void SetStayOnTop(bool onTop);
    void SetCaption(const std::wstring& caption) { SetText(caption); }
    std::wstring Caption() const { return Text(); }
    // Cuts the window to a region (shaped windows); the form owns the region afterwards.
    void SetRegion(HRGN region);
    // Dragging anywhere on the client area moves the window.
    void SetDragAnywhere(bool drag) { dragAnywhere_ = drag; }

    // Events.
    std::function<void()> OnShow;        // before the window first becomes visible
    std::function<void()> OnClose;       // from Close() and from the close box
    std::function<bool(WORD vk)> OnKeyDown;   // with KeyPreview: before the focused control; true = handled
    std::function<void(HDC dc, const RECT& client)> OnPaint;   // background painting
    std::function<void(int x, int y)> OnMouseMove;             // over the form's own client area
    std::function<void(UINT msg, WPARAM, LPARAM)> OnMessage;   // any other message sent to the form

    bool KeyPreview = false;
    std::wstring HelpTopic;              // F1 opens it
    class Button* DefaultButton = nullptr;   // Enter
    class Button* CancelButton = nullptr;    // Esc

    // The form-settings store bound to this form, if any (see formsettings.h).
    void AttachSettings(FormSettings* settings) { settings_ = settings; }
    FormSettings* Settings() const { return settings_; }

    // Called by the message loops: key preview, F1, dialog navigation. True when consumed.
    bool PreTranslate(MSG& msg);
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);

private:
    friend class FormSettings;
    bool closed_ = false, modal_ = false, shownOnce_ = false, dragAnywhere_ = false;
    bool showMaximized_ = false;
    HWND disabledOwner_ = nullptr;
    Form* owner_ = nullptr;
    FormSettings* settings_ = nullptr;
    void FirstShow();
};

// --- simple controls --------------------------------------------------------------------------
class Button : public Control {
public:
    Button(Container& parent, int x, int y, int w, int h, const std::wstring& caption);
    std::function<void()> OnClick;
    // Runs OnClick as a click would, also on a hidden or disabled button (a programmatic press).
    void Click();
    void SetGlyph(HBITMAP bitmap);       // not owned
    bool HandleCommand(WORD code) override;
};

class CheckBox : public Control {
public:
    CheckBox(Container& parent, int x, int y, int w, int h, const std::wstring& caption);
    bool Checked() const;
    void SetChecked(bool checked);       // does not fire OnClick
    std::function<void()> OnClick;       // after the state changed
    void Click();                        // toggles, then OnClick
    bool HandleCommand(WORD code) override;
};

class RadioButton : public Control {
public:
    // group=true starts a new group of radio buttons.
    RadioButton(Container& parent, int x, int y, int w, int h, const std::wstring& caption, bool group = false);
    bool Checked() const;
    void SetChecked(bool checked);       // unchecks the others of its group
    std::function<void()> OnClick;
    void Click();                        // checks it, then OnClick
    bool HandleCommand(WORD code) override;
};

// A label shows its caption literally: "&" is an ampersand, since labels also show file names,
// registry keys and other data. A caption label that names the next control with a mnemonic
// ("&Name:") opts in with SetShowAccelerator(true); Alt+letter then moves to that control.
class Label : public Control {
public:
    Label(Container& parent, int x, int y, int w, int h, const std::wstring& caption,
          DWORD align = SS_LEFT);
    std::function<void()> OnClick;
    void Click();
    void SetShowAccelerator(bool show);
    bool ShowsAccelerator() const;
    bool HandleCommand(WORD code) override;
};

// A label that looks and acts like a link: blue, underlined, hand cursor.
class LinkLabel : public Label {
public:
    LinkLabel(Container& parent, int x, int y, int w, int h, const std::wstring& caption);
    // Plain look: black, no underline, arrow cursor (and back).
    void SetLinkLook(bool link);
    bool LinkLook() const { return link_; }
private:
    bool link_ = true;
};

class Edit : public Control {
public:
    Edit(Container& parent, int x, int y, int w, int h, const std::wstring& text = L"",
         bool multiline = false, bool readOnly = false);
    void SetReadOnly(bool readOnly);
    std::function<void()> OnChange;
    bool HandleCommand(WORD code) override;
};

// An edit with an up-down control for whole numbers.
class NumEdit : public Control {
public:
    NumEdit(Container& parent, int x, int y, int w, int h, int minValue, int maxValue, int value);
    int Value() const;                   // clamped to the range; non-numbers read as the minimum
    void SetValue(int value);
    void SetRange(int minValue, int maxValue);
    std::function<void()> OnChange;
    bool HandleCommand(WORD code) override;
    ~NumEdit() override;
private:
    friend struct detail::ControlAccess;
    HWND updown_ = nullptr;
    int min_, max_;
};

class ComboBox : public Control {
public:
    // dropDownList=true: pick from the list only.
    ComboBox(Container& parent, int x, int y, int w, int h, bool dropDownList = true);
    void AddItem(const std::wstring& text);
    void Clear();
    int Count() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::wstring Item(int index) const;
    std::function<void()> OnChange;
    bool HandleCommand(WORD code) override;
};

// The display format of a time picker made from a locale time format ("h:mm:ss tt"): hours
// and minutes only, the hour two digits wide ("hh:mm tt"), quoted literals kept.
std::wstring TimePickerFormat(const std::wstring& localeTimeFormat);

// Date or time picker. A time picker shows the user's time format as TimePickerFormat makes it.
class DateTimePicker : public Control {
public:
    DateTimePicker(Container& parent, int x, int y, int w, int h, bool timeOnly);
    SYSTEMTIME Value() const;
    void SetValue(const SYSTEMTIME& value);
    std::function<void()> OnChange;
    bool HandleNotify(NMHDR* hdr, LRESULT& result) override;
};

class ProgressBar : public Control {
public:
    ProgressBar(Container& parent, int x, int y, int w, int h);
    void SetRange(int minValue, int maxValue);
    void SetPosition(int position);
    int Position() const;
    int Max() const;
};

// A picture: a bitmap, or drawn by OnPaint.
class Picture : public Control {
public:
    Picture(Container& parent, int x, int y, int w, int h);
    void SetBitmap(HBITMAP bitmap);      // not owned
    std::function<void(HDC dc, const RECT& rc)> OnPaint;
    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter, OnMouseExit;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void()> OnMouseDown, OnMouseUp;
    void SetHandCursor(bool hand) { hand_ = hand; }
    void Click();
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
private:
    HBITMAP bitmap_ = nullptr;
    bool hand_ = false, inside_ = false, pressed_ = false;
};

// A small busy animation (a spinning indicator driven by a timer).
class BusyAnimation : public Control {
public:
    BusyAnimation(Container& parent, int x, int y, int w, int h);
    ~BusyAnimation() override;
    void SetActive(bool active);
    bool Active() const { return active_; }
    int Frame() const { return frame_; }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
private:
    bool active_ = false;
    int frame_ = 0;
};

// --- menus ------------------------------------------------------------------------------------
class PopupMenu {
public:
    PopupMenu();
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    struct Item {
        std::wstring caption;            // "-" is a separator
        std::function<void()> OnClick;
        bool enabled = true, checked = false, visible = true;
        void Click();                    // runs OnClick (exceptions reported)
    };
    // Items are addressed by the returned index; references stay valid.
    Item& Add(const std::wstring& caption, std::function<void()> onClick = {});
    Item& operator[](size_t i) { return *items_[i]; }
    size_t Count() const { return items_.size(); }
    std::function<void()> OnPopup;       // before it opens (enable/disable items here)
    // Opens at screen coordinates over the owner window and runs the chosen item.
    void Popup(HWND owner, int screenX, int screenY);
private:
    std::vector<std::unique_ptr<Item>> items_;
};

// --- list view --------------------------------------------------------------------------------
struct ListViewOptions {
    bool checkBoxes = false;
    bool multiSelect = false;
    bool rowSelect = true;
    bool gridLines = false;
    bool editLabels = false;
    bool showHeader = true;
    bool sortOnColumnClick = false;   // built-in: text compare of the column, toggling direction
};

class ListView : public Control {
public:
    ListView(Container& parent, int x, int y, int w, int h, ListViewOptions options = {});

    int AddColumn(const std::wstring& caption, int width, bool rightAlign = false);
    int ColumnCount() const;
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    std::wstring ColumnCaption(int column) const;

    void SetSmallImages(HIMAGELIST images);   // not owned
    // Appends a row; returns its index. Sub-items of the other columns start empty.
    int AddItem(const std::wstring& caption, int image = -1);
    int InsertItem(int index, const std::wstring& caption, int image = -1);
    void DeleteItem(int index);
    void Clear();
    int Count() const;

    std::wstring ItemText(int index, int column = 0) const;
    void SetItemText(int index, int column, const std::wstring& text);
    int ItemImage(int index) const;
    void SetItemImage(int index, int image);
    // A number kept with the row (moves with it when sorting).
    intptr_t ItemData(int index) const;
    void SetItemData(int index, intptr_t data);

    bool Checked(int index) const;
    void SetChecked(int index, bool checked);   // fires OnItemChecked
    int CheckedCount() const;
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelectedIndex() const;                  // first selected, or -1
    int SelectedCount() const;
    std::vector<int> SelectedIndices() const;
    void SelectAll(bool selected = true);
    int FocusedIndex() const;
    void SetFocused(int index);
    void EnsureVisible(int index);
    bool IsEditing() const;                     // a caption is being renamed in place

    void BeginUpdate();
    void EndUpdate();

    // Sorts the rows with cmp(a, b) on row indices of the current order (<0, 0, >0).
    void Sort(const std::function<int(int a, int b)>& cmp);

    std::function<void(int column)> OnColumnClick;
    std::function<void(int index)> OnItemChecked;        // check box changed (by user or code)
    std::function<void()> OnSelectionChanged;
    std::function<void(int index)> OnDoubleClick;
    std::function<void(int index, const std::wstring& newText)> OnEdited;   // in-place rename done
    std::function<bool(WORD vk)> OnKeyDown;
    PopupMenu* ContextMenu = nullptr;           // opened by right click / menu key

    bool HandleNotify(NMHDR* hdr, LRESULT& result) override;
private:
    ListViewOptions options_;
    int updating_ = 0;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    bool suppressCheckEvents_ = false;
};

// --- page control ----------------------------------------------------------------------------
class PageControl;

class TabPage : public Container {
public:
    TabPage(PageControl& owner, const std::wstring& caption);
    int PageIndex() const { return index_; }
    void SetTabVisible(bool visible);
    bool TabVisible() const { return tabVisible_; }
private:
    friend class PageControl;
    PageControl* owner_;
    int index_;
    bool tabVisible_ = true;
};

class PageControl : public Container {
public:
    PageControl(Container& parent, int x, int y, int w, int h);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TabPage& Page(int i) { return *pages_[i]; }
    TabPage* ActivePage() const;
    // Changes the page as a click on its tab would: OnChanging may refuse, OnChange follows.
    // A page whose tab is hidden is never shown: activating it keeps the current page, and
    // hiding the tab of the active page moves to the first page with a visible tab.
    void SetActivePage(TabPage& page);
    int ActivePageIndex() const;
    std::function<bool()> OnChanging;    // false keeps the current page
    std::function<void()> OnChange;
    bool HandleNotify(NMHDR* hdr, LRESULT& result) override;
    RECT PageRect() const;               // client area of a page, 96-DPI pixels
private:
    friend class TabPage;
    friend class FormSettings;
    void AddPage(TabPage* page);
    void Activate(int index, bool events);   // shows the page; events: OnChanging/OnChange
    void RebuildTabs();
    void Relayout();
    std::vector<TabPage*> pages_;
    int active_ = -1;
};

// --- tool bar and status bar ------------------------------------------------------------------
class ToolBar : public Control {
public:
    ToolBar(Container& parent, HIMAGELIST images);   // docked at the top of the parent
    struct ToolButton {
        int id;
        std::wstring hint;
        std::function<void()> OnClick;
        void Click();                    // runs OnClick (exceptions reported)
    };
    ToolButton& AddButton(int imageIndex, const std::wstring& hint, std::function<void()> onClick = {});
    void AddSeparator();
    void SetButtonEnabled(ToolButton& button, bool enabled);
    bool ButtonEnabled(const ToolButton& button) const;
    int Height() const;
    bool HandleCommand(WORD code) override;
    bool HandleNotify(NMHDR* hdr, LRESULT& result) override;
    bool HandleToolCommand(int id);
    ToolButton* FindButton(int id) const;
private:
    std::vector<std::unique_ptr<ToolButton>> buttons_;
    int nextId_ = 100;
};

class StatusBar : public Control {
public:
    // widths: the width of every panel but the last, which takes the rest. None: one simple panel.
    StatusBar(Container& parent, std::vector<int> widths = {});
    void SetPanelText(int panel, const std::wstring& text);
    std::wstring PanelText(int panel) const;
    int PanelCount() const;
    RECT PanelRect(int panel) const;     // client pixels of the status bar
    void SetText(const std::wstring& text) override { SetPanelText(0, text); }
    std::wstring Text() const override { return PanelText(0); }
    int Height() const;
    // A progress bar drawn over a panel (created on first use, hidden until shown).
    ProgressBar& PanelProgress(int panel);
    void Relayout();                     // after the parent changed size
private:
    std::vector<int> widths_;
    std::vector<std::wstring> texts_;
    std::unique_ptr<ProgressBar> progress_;
    int progressPanel_ = -1;
};

// --- image lists ------------------------------------------------------------------------------
// An owned image list of 16-pixel (or other size) images.
class ImageList {
public:
    ImageList(int size = 16, int initial = 16);
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    HIMAGELIST Handle() const { return list_; }
    int AddIcon(HICON icon);             // copies the icon
    // Draws an image with draw(dc, rect) into a new 32-bit slot; returns its index.
    int AddDrawn(const std::function<void(HDC dc, const RECT& rc)>& draw);
    int Count() const;
private:
    HIMAGELIST list_ = nullptr;
    int size_;
};

}  // namespace ui
