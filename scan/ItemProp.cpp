#include "scan/ItemProp.h"
#include <shlobj.h>
#include <shobjidl.h>
#include "core/winhandle.h"

namespace {

struct WaitCursor {
    HCURSOR old;
    WaitCursor() : old(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(old); }
};

}  // namespace

bool ShowFileProperties(const std::wstring& path, HWND owner) {
    if (path.empty() || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    WaitCursor wait;
    CoTaskMem<PIDLIST_ABSOLUTE> pidl;
    if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, pidl.put(), 0, nullptr)) || !pidl.get()) return false;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(::SHBindToParent(pidl.get(), IID_IShellFolder, parent.put_void(), &child))) return false;
    ComPtr<IContextMenu> menu;
    if (FAILED(parent->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr, menu.put_void()))) return false;
    CMINVOKECOMMANDINFO ici{};
    ici.cbSize = sizeof(ici);
    ici.hwnd = owner;
    ici.lpVerb = "properties";
    ici.nShow = SW_SHOWNORMAL;
    return SUCCEEDED(menu->InvokeCommand(&ici));
}
