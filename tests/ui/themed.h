// Runs the windows created in its lifetime with version 6 of the common controls, as the
// program's manifest does (the test programs carry no manifest of their own).
#pragma once
#include <windows.h>
#include <fstream>
#include <string>

namespace kestest {

class CommonControls6 {
public:
    CommonControls6() {
        wchar_t dir[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, dir);
        path_ = std::wstring(dir) + L"kes_cc6_" + std::to_wstring(::GetCurrentProcessId()) + L".manifest";
        {
            std::ofstream out(path_.c_str(), std::ios::binary);
            out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
                   "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
                   "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
                   "publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/></dependentAssembly></dependency>\n"
                   "</assembly>\n";
        }
        ACTCTXW ctx{};
        ctx.cbSize = sizeof(ctx);
        ctx.lpSource = path_.c_str();
        context_ = ::CreateActCtxW(&ctx);
        if (context_ != INVALID_HANDLE_VALUE && !::ActivateActCtx(context_, &cookie_)) cookie_ = 0;
    }
    ~CommonControls6() {
        if (cookie_) ::DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(context_);
        ::DeleteFileW(path_.c_str());
    }
    CommonControls6(const CommonControls6&) = delete;
    CommonControls6& operator=(const CommonControls6&) = delete;
    bool Active() const { return cookie_ != 0; }

private:
    std::wstring path_;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

}  // namespace kestest
