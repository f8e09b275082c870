// The test helpers on the real system.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/win32/Handles.h"
#include "tests/support/TestSystem.h"

namespace support {

using plat::win32::ComPtr;
using plat::win32::ComScope;

FileWriteHold::FileWriteHold(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) hold_ = std::make_shared<plat::win32::UniqueFile>(h);
}

FileWriteHold::~FileWriteHold() = default;

bool FileWriteHold::IsOpen() const { return hold_ != nullptr; }

unsigned AnsiCodePage() { return GetACP(); }

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool ReadShellLink(const std::string& linkPath, ShellLinkInfo& info) {
    ComScope com;  // declared first: the interfaces are released before it ends
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) {
        return false;
    }
    std::wstring wide = plat::AnsiToWide(linkPath);
    if (wide.empty() || FAILED(file->Load(wide.c_str(), STGM_READ))) return false;
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
    if (plat::ReadWholeFile(linkPath, bytes) == plat::ReadResult::Ok && bytes.size() >= 76 &&
        bytes.compare(0, 4, std::string("\x4C\0\0\0", 4)) == 0) {
        const unsigned char* h = reinterpret_cast<const unsigned char*>(bytes.data()) + 60;
        read.showCmd = static_cast<int>(h[0] | (h[1] << 8) | (h[2] << 16) | (static_cast<unsigned>(h[3]) << 24));
    }
    info = read;
    return true;
}

}  // namespace support
