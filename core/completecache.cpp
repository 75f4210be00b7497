#include "core/completecache.h"
#include "core/common.h"
#include "core/progress.h"
#include "core/registry.h"

void CompletePendingFolders(const std::function<void(const std::wstring& step)>& onStep) {
    RegKey key = OpenKeyOrThrow(HKEY_CURRENT_USER, kPrivacyKey, true);
    struct Item { const wchar_t* value; const wchar_t* step; };
    const Item items[] = {{L"Cookies", L"Cleaning up cookies..."},
                          {L"Cache", L"Cleaning up cache..."},
                          {L"History", L"Cleaning up history..."}};
    for (const Item& item : items) {
        if (!ValueExists(key.get(), item.value)) continue;
        if (onStep) onStep(item.step);
        std::wstring folder = GetString(key.get(), item.value).value_or(L"");
        if (IsSafeFolderToEmpty(folder)) DeleteFolderContents(folder, false);
        ::RegDeleteValueW(key.get(), item.value);
    }
}

void RunCompleteCache() {
    TfrmProgress progress;
    progress.lblCaption.SetText(L"Completing Cache Removal");
    progress.lblSchedType.SetText(L"");
    progress.lblCancel.SetVisible(false);
    progress.PlaceAndShow();
    CompletePendingFolders([&progress](const std::wstring& step) {
        progress.lblSchedType.SetText(step);
        ui::ProcessMessages();
    });
    progress.Close();
}
