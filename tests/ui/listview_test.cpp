// The list view driven hidden: check boxes, selection, sorting with item data, column sorting.
#include <gtest/gtest.h>
#include "tests/support/testenv.h"
#include "ui/ui.h"

namespace {

struct ListForm : ui::Form {
    explicit ListForm(ui::ListViewOptions o) : ui::Form(L"List", 300, 200), lv(*this, 0, 0, 300, 200, o) {
        lv.AddColumn(L"Name", 120);
        lv.AddColumn(L"Size", 60, true);
    }
    ui::ListView lv;
    // Rows "name" with sizes; item data = 100 + original row.
    void Fill(const std::vector<std::pair<std::wstring, int>>& rows) {
        for (const auto& [name, size] : rows) {
            int i = lv.AddItem(name);
            lv.SetItemText(i, 1, std::to_wstring(size));
            lv.SetItemData(i, 100 + i);
        }
    }
};

ui::ListViewOptions Checks() {
    ui::ListViewOptions o;
    o.checkBoxes = true;
    o.multiSelect = true;
    return o;
}

TEST(ListView, CheckBoxesFireOnItemCheckedOnlyOnChange) {
    ListForm f(Checks());
    std::vector<int> fired;
    f.lv.OnItemChecked = [&](int i) { fired.push_back(i); };
    f.Fill({{L"a.tmp", 1}, {L"b.tmp", 2}, {L"c.tmp", 3}});
    EXPECT_TRUE(fired.empty());   // adding rows is no check change
    EXPECT_EQ(f.lv.CheckedCount(), 0);
    f.lv.SetChecked(1, true);
    f.lv.SetChecked(1, true);     // unchanged: no event
    f.lv.SetChecked(2, true);
    f.lv.SetChecked(2, false);
    EXPECT_EQ(fired, (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(f.lv.Checked(1));
    EXPECT_FALSE(f.lv.Checked(2));
    EXPECT_FALSE(f.lv.Checked(9));
    EXPECT_EQ(f.lv.CheckedCount(), 1);
}

TEST(ListView, SelectionSingleAndMulti) {
    for (bool multi : {false, true}) {
        ui::ListViewOptions o;
        o.multiSelect = multi;
        ListForm f(o);
        int changes = 0;
        f.lv.OnSelectionChanged = [&] { ++changes; };
        f.Fill({{L"a", 1}, {L"b", 2}, {L"c", 3}});
        EXPECT_EQ(f.lv.SelectedIndex(), -1);
        f.lv.SetSelected(0, true);
        f.lv.SetSelected(2, true);
        EXPECT_GT(changes, 0);
        if (multi) {
            EXPECT_EQ(f.lv.SelectedIndices(), (std::vector<int>{0, 2}));
            f.lv.SelectAll();
            EXPECT_EQ(f.lv.SelectedCount(), 3);
            f.lv.SelectAll(false);
            EXPECT_EQ(f.lv.SelectedCount(), 0);
        } else {
            EXPECT_EQ(f.lv.SelectedIndices(), (std::vector<int>{2}));
            EXPECT_EQ(f.lv.SelectedIndex(), 2);
        }
    }
}

TEST(ListView, SortByNumberKeepsDataChecksAndSubItemsWithRows) {
    ListForm f(Checks());
    f.Fill({{L"ten", 10}, {L"two", 2}, {L"hundred", 100}, {L"one", 1}});
    f.lv.SetChecked(2, true);   // "hundred"
    f.lv.SetSelected(1, true);  // "two"
    int fired = 0;
    f.lv.OnItemChecked = [&](int) { ++fired; };
    auto num = [&](int i) { return std::stoi(f.lv.ItemText(i, 1)); };
    f.lv.Sort([&](int a, int b) { return num(a) - num(b); });
    std::vector<std::wstring> names;
    std::vector<intptr_t> data;
    for (int i = 0; i < f.lv.Count(); ++i) {
        names.push_back(f.lv.ItemText(i));
        data.push_back(f.lv.ItemData(i));
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"one", L"two", L"ten", L"hundred"}));
    EXPECT_EQ(data, (std::vector<intptr_t>{103, 101, 100, 102}));
    EXPECT_EQ(f.lv.ItemText(3, 1), L"100");
    EXPECT_TRUE(f.lv.Checked(3));
    EXPECT_EQ(f.lv.CheckedCount(), 1);
    EXPECT_EQ(f.lv.SelectedIndices(), (std::vector<int>{1}));
    EXPECT_EQ(fired, 0);   // moving rows is no check change
}

TEST(ListView, ColumnClickSortsByTextTogglingDirection) {
    ui::ListViewOptions o;
    o.sortOnColumnClick = true;
    ListForm f(o);
    f.Fill({{L"beta", 2}, {L"Alpha", 1}, {L"gamma", 3}});
    std::vector<int> clicked;
    f.lv.OnColumnClick = [&](int c) { clicked.push_back(c); };
    auto clickColumn = [&](int column) {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = f.lv.Handle();
        nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(f.lv.Handle()));
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = column;
        ::SendMessageW(f.Handle(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    };
    auto names = [&] {
        std::wstring s;
        for (int i = 0; i < f.lv.Count(); ++i) s += f.lv.ItemText(i) + L" ";
        return s;
    };
    clickColumn(0);
    EXPECT_EQ(names(), L"Alpha beta gamma ");
    clickColumn(0);
    EXPECT_EQ(names(), L"gamma beta Alpha ");
    EXPECT_EQ(f.lv.ItemData(2), 101);
    EXPECT_EQ(clicked, (std::vector<int>{0, 0}));
}

TEST(ListView, ColumnsAndRows) {
    ListForm f({});
    EXPECT_EQ(f.lv.ColumnCount(), 2);
    EXPECT_EQ(f.lv.ColumnCaption(1), L"Size");
    EXPECT_EQ(f.lv.ColumnWidth(0), 120);
    f.Fill({{L"a", 1}, {L"c", 3}});
    f.lv.InsertItem(1, L"b");
    std::wstring longText(1000, L'x');
    f.lv.SetItemText(1, 1, longText);
    EXPECT_EQ(f.lv.ItemText(1), L"b");
    EXPECT_EQ(f.lv.ItemText(1, 1), longText);
    EXPECT_EQ(f.lv.ItemText(2), L"c");
    f.lv.DeleteItem(0);
    EXPECT_EQ(f.lv.Count(), 2);
    EXPECT_EQ(f.lv.ItemText(0), L"b");
    f.lv.Clear();
    EXPECT_EQ(f.lv.Count(), 0);
}

}  // namespace
