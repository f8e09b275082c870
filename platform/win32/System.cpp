// Folder queries, the shell link object, ShellExecuteA and the screen.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/System.h"

namespace plat {

namespace {

// Holds one COM interface and releases it on every path out.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (p_) {
            p_->Release();
            p_ = nullptr;
        }
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

bool QueryFolder(UINT (WINAPI* query)(LPSTR, UINT), std::string& folder) {
    char buffer[MAX_PATH];
    UINT n = query(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    folder.assign(buffer, n);
    return true;
}

// The path in UTF-16 with its terminating zero; empty when it does not
// convert. A vector rather than a wide string: Setup.exe then links none of
// the wide string library code.
std::vector<wchar_t> ToWidePath(const std::string& path) {
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 1) return std::vector<wchar_t>();
    std::vector<wchar_t> wide(n, L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n) != n) return std::vector<wchar_t>();
    return wide;
}

}  // namespace

bool QueryWindowsFolder(std::string& folder) { return QueryFolder(GetWindowsDirectoryA, folder); }
bool QuerySystemFolder(std::string& folder) { return QueryFolder(GetSystemDirectoryA, folder); }

void InitializeCom() { CoInitialize(nullptr); }
void UninitializeCom() { CoUninitialize(); }

struct ShellLink::Impl {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
};

ShellLink::ShellLink() : impl_(nullptr) {}
ShellLink::~ShellLink() { delete impl_; }

bool ShellLink::Create() {
    if (impl_) return true;
    ComPtr<IUnknown> unknown;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                unknown.PutVoid()))) {
        return false;
    }
    Impl* impl = new Impl();
    if (FAILED(unknown->QueryInterface(IID_IShellLinkA, impl->link.PutVoid())) ||
        FAILED(unknown->QueryInterface(IID_IPersistFile, impl->file.PutVoid()))) {
        delete impl;  // releases whichever interface was obtained
        return false;
    }
    impl_ = impl;
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
    if (!impl_ || linkPath.empty()) return false;
    std::vector<wchar_t> wide = ToWidePath(linkPath);
    if (wide.empty()) return false;
    return SUCCEEDED(impl_->file->Save(wide.data(), FALSE));
}

// COM for one call, balanced; harmless when the thread has it already.
class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

bool ReadShellLink(const std::string& linkPath, ShellLinkInfo& info) {
    ComScope com;  // declared first: the interfaces are released before it ends
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) {
        return false;
    }
    std::vector<wchar_t> wide = ToWidePath(linkPath);
    if (wide.empty() || FAILED(file->Load(wide.data(), STGM_READ))) return false;
    char buffer[1024];
    ShellLinkInfo read;
    WIN32_FIND_DATAA fd;
    buffer[0] = '\0';
    if (FAILED(link->GetPath(buffer, sizeof buffer, &fd, SLGP_RAWPATH))) buffer[0] = '\0';
    read.path = buffer;
    buffer[0] = '\0';
    if (FAILED(link->GetArguments(buffer, sizeof buffer))) buffer[0] = '\0';
    read.arguments = buffer;
    buffer[0] = '\0';
    if (FAILED(link->GetWorkingDirectory(buffer, sizeof buffer))) buffer[0] = '\0';
    read.workingDirectory = buffer;
    buffer[0] = '\0';
    if (FAILED(link->GetDescription(buffer, sizeof buffer))) buffer[0] = '\0';
    read.description = buffer;
    int show = 0;
    if (SUCCEEDED(link->GetShowCmd(&show))) read.showCmd = show;
    // Wine's link object answers SW_SHOWNORMAL whatever the file holds, so
    // take the show command from the file's header (ShowCommand at byte 60 of
    // the 76-byte ShellLinkHeader) when the header is there.
    std::string bytes;
    if (ReadWholeFile(linkPath, bytes) == ReadResult::Ok && bytes.size() >= 76 &&
        bytes.compare(0, 4, std::string("\x4C\0\0\0", 4)) == 0) {
        const unsigned char* h = reinterpret_cast<const unsigned char*>(bytes.data()) + 60;
        read.showCmd = static_cast<int>(h[0] | (h[1] << 8) | (h[2] << 16) | (static_cast<unsigned>(h[3]) << 24));
    }
    info = read;
    return true;
}

void StartHidden(const std::string& file) {
    ShellExecuteA(GetActiveWindow(), "open", file.c_str(), nullptr, nullptr, SW_HIDE);
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace plat
