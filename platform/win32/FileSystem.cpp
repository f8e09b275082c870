// The real file system through the ANSI functions of Win32.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemLibrary.h"

namespace plat {

namespace {

using win32::UniqueFile;

bool IsSeparator(const std::string& s, size_t i) { return s[i] == '\\' || s[i] == '/'; }

// The answer of a Win32 call, its error code kept when it failed.
bool Kept(BOOL ok) {
    if (!ok) KeepError(GetLastError());
    return ok != 0;
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string& data) {
    // Sharing reads only: nobody may write the file while it is read.
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        KeepError(error);
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ReadResult::NotFound
                                                                                 : ReadResult::OpenFailed;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!Kept(ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))) return ReadResult::OpenFailed;
        if (got == 0) break;
        content.append(buffer, got);
    }
    data.swap(content);
    return ReadResult::Ok;
}

namespace {

bool WriteFileAs(const std::string& path, const std::string& data, DWORD disposition) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!Kept(file.IsValid())) return false;
    size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        if (!Kept(WriteFile(file.Get(), data.data() + done, chunk, &written, nullptr))) return false;
        if (written == 0) {
            KeepError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& data) {
    return WriteFileAs(path, data, CREATE_ALWAYS);
}

// CREATE_NEW: an existing file, or a link planted at that name, is never opened.
bool WriteNewFile(const std::string& path, const std::string& data) {
    return WriteFileAs(path, data, CREATE_NEW);
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

uint32_t ReadAttributes(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    Kept(attributes != INVALID_FILE_ATTRIBUTES);
    return attributes;
}

bool WriteAttributes(const std::string& path, uint32_t attributes) {
    return Kept(SetFileAttributesA(path.c_str(), attributes));
}

bool FileSizeOf(const std::string& path, uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Kept(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        KeepError(ERROR_ACCESS_DENIED);
        return false;
    }
    size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return true;
}

bool CopyFileTo(const std::string& source, const std::string& dest, bool failIfExists) {
    return Kept(CopyFileA(source.c_str(), dest.c_str(), failIfExists ? TRUE : FALSE));
}

bool DeleteFileAt(const std::string& path) { return Kept(DeleteFileA(path.c_str())); }
bool MakeDirectory(const std::string& path) { return Kept(CreateDirectoryA(path.c_str(), nullptr)); }
bool RemoveFolder(const std::string& path) { return Kept(RemoveDirectoryA(path.c_str())); }

bool ForceDirectories(const std::string& path) {
    if (path.empty()) throw ESetupError("フォルダを作成できません");
    // Every separator ends one folder of the chain. Stepping by characters
    // keeps a trail byte of 0x5C (表, ソ) from counting as a separator.
    bool afterSeparator = true;  // at the start, or right after a separator
    for (size_t i = 0; i < path.size(); i = ansi::NextChar(path, i)) {
        if (ansi::CharLength(path, i) == 2) {
            afterSeparator = false;
            continue;
        }
        if (IsSeparator(path, i)) {
            // Roots ("C:", "\\server\share"), doubled separators and existing
            // folders need nothing; a failure shows in the final test.
            std::string prefix = path.substr(0, i);
            if (!afterSeparator && prefix.back() != ':' && !DirectoryExists(prefix)) {
                CreateDirectoryA(prefix.c_str(), nullptr);
            }
            afterSeparator = true;
        } else {
            afterSeparator = false;
        }
    }
    if (DirectoryExists(path)) return true;
    // The last folder's own error tells why the chain is not there.
    return Kept(CreateDirectoryA(path.c_str(), nullptr)) || DirectoryExists(path);
}

bool FindHandle::First(const std::string& pattern, FindData& data) {
    Close();
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_.Reset(h);
    data.name = fd.cFileName;
    data.shortName = fd.cAlternateFileName;
    data.attributes = fd.dwFileAttributes;
    return true;
}

void FindTraits::Close(Type handle) { FindClose(static_cast<HANDLE>(handle)); }

std::string CurrentFolder() {
    char buffer[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (n == 0 || n >= sizeof buffer) return std::string();
    return std::string(buffer, n);
}

bool SetCurrentFolder(const std::string& path) { return Kept(SetCurrentDirectoryA(path.c_str())); }

std::string ExecutablePath() { return win32::ModuleFileName(nullptr); }

namespace {

// The program's own file, open from start-up to the end of the process; the
// system closes it when the process ends.
HANDLE& HeldProgram() {
    static HANDLE held = INVALID_HANDLE_VALUE;
    return held;
}

}  // namespace

bool HoldOwnProgram() {
    if (HeldProgram() != INVALID_HANDLE_VALUE) return true;
    const std::string path = ExecutablePath();
    if (path.empty()) {
        KeepError(GetLastError());
        return false;
    }
    // Sharing reads only: a rename or delete needs delete sharing, a
    // replacement write sharing; both are refused while this is open.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!Kept(file != INVALID_HANDLE_VALUE)) return false;
    HeldProgram() = file;
    return true;
}

bool CopyOwnProgramTo(const std::string& dest) {
    HANDLE source = HeldProgram();
    if (source == INVALID_HANDLE_VALUE) {
        KeepError(ERROR_INVALID_HANDLE);
        return false;
    }
    UniqueFile target(CreateFileA(dest.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!Kept(target.IsValid())) return false;
    // From the start of the file, whatever was read before.
    LARGE_INTEGER start = {};
    if (!Kept(SetFilePointerEx(source, start, nullptr, FILE_BEGIN))) return false;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD got = 0;
        if (!Kept(ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))) return false;
        if (got == 0) return true;
        DWORD written = 0;
        if (!Kept(WriteFile(target.Get(), buffer.data(), got, &written, nullptr))) return false;
        if (written != got) {
            KeepError(ERROR_WRITE_FAULT);
            return false;
        }
    }
}

std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    if (!Kept(n != 0)) return std::string();
    if (n >= sizeof buffer) {
        KeepError(ERROR_INSUFFICIENT_BUFFER);
        return std::string();
    }
    return ansi::WithTrailingSeparator(std::string(buffer, n));
}

}  // namespace plat
