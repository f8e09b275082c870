// Folder queries, the shell link object and the screen.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/System.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Backend.h"

namespace plat {

using win32::ComPtr;

namespace {

// The answer of a COM call, its HRESULT kept when it failed.
bool Kept(HRESULT hr) {
    if (FAILED(hr)) KeepError(static_cast<uint32_t>(hr));
    return SUCCEEDED(hr);
}

bool QueryFolder(UINT (WINAPI* query)(LPSTR, UINT), std::string& folder) {
    char buffer[MAX_PATH];
    UINT n = query(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    folder.assign(buffer, n);
    return true;
}

}  // namespace

bool QueryWindowsFolder(std::string& folder) { return QueryFolder(GetWindowsDirectoryA, folder); }
bool QuerySystemFolder(std::string& folder) { return QueryFolder(GetSystemDirectoryA, folder); }
bool QuerySystemWindowsFolder(std::string& folder) { return QueryFolder(GetSystemWindowsDirectoryA, folder); }

void InitializeCom() { CoInitialize(nullptr); }
void UninitializeCom() { CoUninitialize(); }

struct ShellLink::Impl {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
};

ShellLink::ShellLink() = default;
ShellLink::~ShellLink() = default;

bool ShellLink::Create() {
    if (impl_) return true;
    ComPtr<IUnknown> unknown;
    auto impl = std::make_unique<Impl>();  // releases whichever interface it got
    if (!Kept(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                               IID_IUnknown, unknown.PutVoid())) ||
        !Kept(unknown->QueryInterface(IID_IShellLinkA, impl->link.PutVoid())) ||
        !Kept(unknown->QueryInterface(IID_IPersistFile, impl->file.PutVoid()))) {
        return false;
    }
    impl_ = std::move(impl);
    return true;
}

void ShellLink::SetPath(const std::string& path) {
    if (impl_) impl_->link->SetPath(path.c_str());
}
void ShellLink::SetArguments(const std::string& arguments) {
    if (impl_) impl_->link->SetArguments(arguments.c_str());
}
void ShellLink::SetWorkingDirectory(const std::string& folder) {
    if (impl_) impl_->link->SetWorkingDirectory(folder.c_str());
}
void ShellLink::SetShowCmd(int showCmd) {
    if (impl_) impl_->link->SetShowCmd(showCmd);
}
void ShellLink::SetDescription(const std::string& description) {
    if (impl_) impl_->link->SetDescription(description.c_str());
}

bool ShellLink::Save(const std::string& linkPath) {
    // A vector, not a wide string: Setup.exe then links none of the wide
    // string library code.
    std::vector<wchar_t> wide = win32::AnsiToWideZ(linkPath);
    if (!impl_ || wide.size() <= 1) return Kept(E_INVALIDARG);
    return Kept(impl_->file->Save(wide.data(), FALSE));
}

void DebugOutput(const std::string& text) { OutputDebugStringA((text + "\n").c_str()); }

LocalDate TodayLocal() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LocalDate{now.wYear, now.wMonth, now.wDay};
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace plat
