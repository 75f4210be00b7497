// Finishing an Internet-cache erase at the next start: the folders the eraser recorded under the
// privacy key are emptied and their record removed.
#pragma once
#include <functional>
#include <string>

inline constexpr const wchar_t* kPrivacyKey = L"\\software\\Ostrel\\Kestrune\\privacy";

// Empties each recorded folder ("Cookies", "Cache", "History", in this order) and deletes its
// value whatever the outcome. A record naming a folder that may not be emptied wholesale (a
// drive root, the Windows folder, a profile root, a relative or wildcard path...) is dropped
// without touching anything. onStep gets the step text before each folder. A value that is not
// a string throws KesError (the remaining values stay).
void CompletePendingFolders(const std::function<void(const std::wstring& step)>& onStep);

// The whole mode: the progress window in the lower right corner while the folders are emptied.
void RunCompleteCache();
