#include "support/Driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace e2e {

ChildProcess::~ChildProcess() {
    Kill();
    if (thread_) CloseHandle(thread_);
    if (process_) CloseHandle(process_);
}

bool ChildProcess::Start(const std::string& exe, const std::string& workDir,
                         const std::string& args, std::string* error, const std::string& outputFile) {
    if (process_) {
        if (error) *error = "a process was already started";
        return false;
    }
    std::string cmd = "\"" + exe + "\"";
    if (!args.empty()) cmd += " " + args;
    std::vector<char> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            if (error) *error = "cannot create " + outputFile;
            return false;
        }
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = output;
    }
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(exe.c_str(), cmdBuf.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE,
                                        0, nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si, &pi);
    const DWORD failure = GetLastError();
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (!started) {
        if (error) *error = "CreateProcessA failed with " + std::to_string(failure);
        return false;
    }
    process_ = pi.hProcess;
    thread_ = pi.hThread;
    pid_ = pi.dwProcessId;
    return true;
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD& exitCode) {
    if (!process_) return false;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        Kill();
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    exitCode = code;
    return true;
}

bool ChildProcess::Suspend() {
    return thread_ && SuspendThread(thread_) != static_cast<DWORD>(-1);
}

bool ChildProcess::Resume() {
    return thread_ && ResumeThread(thread_) != static_cast<DWORD>(-1);
}

void ChildProcess::Kill() {
    if (Running()) {
        TerminateProcess(process_, 259);
        WaitForSingleObject(process_, 5000);
    }
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return cond();
        ::Sleep(pollMs);
    }
}

namespace {

struct EnumTop {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK EnumTopProc(HWND hwnd, LPARAM lp) {
    auto* e = reinterpret_cast<EnumTop*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == e->pid && (!e->visibleOnly || IsWindowVisible(hwnd))) e->found.push_back(hwnd);
    return TRUE;
}

struct EnumChild {
    std::function<bool(HWND)> match;
    HWND found = nullptr;
};

BOOL CALLBACK EnumChildProc(HWND hwnd, LPARAM lp) {
    auto* e = reinterpret_cast<EnumChild*>(lp);
    if (e->match(hwnd)) {
        e->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// EnumChildWindows walks all descendants, not only direct children.
HWND FindDescendant(HWND top, const std::function<bool(HWND)>& match) {
    if (!top) return nullptr;
    EnumChild e{match};
    EnumChildWindows(top, EnumChildProc, reinterpret_cast<LPARAM>(&e));
    return e.found;
}

}  // namespace

std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly) {
    EnumTop e{pid, visibleOnly, {}};
    EnumWindows(EnumTopProc, reinterpret_cast<LPARAM>(&e));
    return e.found;
}

std::string ClassOf(HWND hwnd) {
    char buf[256] = {};
    GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

HWND FindTopWindow(DWORD pid, const std::string& className, const char* caption) {
    for (HWND h : TopWindows(pid)) {
        if (!className.empty() && lstrcmpiA(ClassOf(h).c_str(), className.c_str()) != 0) continue;
        if (caption && Text(h) != caption) continue;
        return h;
    }
    return nullptr;
}

HWND WaitForTopWindow(DWORD pid, const std::string& className, const char* caption,
                      DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(pid, className, caption)) != nullptr; },
              timeoutMs);
    return found;
}

HWND WaitForForm(DWORD pid, const std::string& formName, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopWindows(pid)) {
                if (ClassOf(h) == plat::win32ids::kFormClass && WidgetName(h) == formName) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::string WidgetName(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, plat::win32ids::kWidgetNameProp)));
    if (!atom) return "";
    char buf[256] = {};
    UINT n = GlobalGetAtomNameA(atom, buf, sizeof buf);
    return std::string(buf, n);
}

HWND FindControl(HWND top, const std::string& widgetName) {
    return FindDescendant(top, [&](HWND h) { return WidgetName(h) == widgetName; });
}

HWND WaitForControl(HWND top, const std::string& widgetName, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindControl(top, widgetName)) != nullptr; }, timeoutMs);
    return found;
}

HWND FindControlByCaption(HWND top, const std::string& caption, const char* className) {
    return FindDescendant(top, [&](HWND h) {
        if (className && lstrcmpiA(ClassOf(h).c_str(), className) != 0) return false;
        return Text(h) == caption;
    });
}

HWND FindControlById(HWND top, int id) {
    return FindDescendant(top, [&](HWND h) { return GetDlgCtrlID(h) == id; });
}

std::string Text(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return "";
    std::vector<char> buf(len + 2, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, 2000, &got)) {
        return "";
    }
    return std::string(buf.data(), std::min<size_t>(got, len + 1));
}

std::vector<std::string> ListItems(HWND hwnd) {
    std::vector<std::string> items;
    bool combo = lstrcmpiA(ClassOf(hwnd).c_str(), "ComboBox") == 0;
    UINT countMsg = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT lenMsg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT textMsg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(hwnd, countMsg, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) return items;
    for (int i = 0; i < static_cast<int>(count); ++i) {
        DWORD_PTR len = 0;
        SendMessageTimeoutA(hwnd, lenMsg, i, 0, SMTO_ABORTIFHUNG, 2000, &len);
        if (static_cast<LONG_PTR>(len) < 0) continue;
        // A list of another process: the text buffer is marshalled for these
        // standard controls' messages.
        std::vector<char> buf(len + 2, '\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutA(hwnd, textMsg, i, reinterpret_cast<LPARAM>(buf.data()),
                            SMTO_ABORTIFHUNG, 2000, &got);
        items.emplace_back(buf.data());
    }
    return items;
}

bool IsEnabled(HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; }
bool IsVisible(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }

RECT ClientRect(HWND hwnd) {
    RECT r = {};
    GetClientRect(hwnd, &r);
    return r;
}

RECT ScreenRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

LONG Style(HWND hwnd) { return GetWindowLongA(hwnd, GWL_STYLE); }

void EditSelection(HWND edit, DWORD& start, DWORD& end) {
    // EM_GETSEL's pointer arguments are not marshalled between processes;
    // the packed return value is.
    DWORD_PTR packed = 0;
    SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &packed);
    start = LOWORD(packed);
    end = HIWORD(packed);
}

HWND FocusedWindow(HWND anyWindowOfThread) {
    DWORD tid = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(tid, &info)) return nullptr;
    return info.hwndFocus;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void SetEditText(HWND edit, const std::string& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, &result);
}

void PressKey(HWND window, UINT vk) {
    HWND target = FocusedWindow(window);
    if (!target) target = window;
    UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

HWND WaitForDialog(DWORD pid, DWORD timeoutMs, const std::vector<HWND>& except) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopWindows(pid)) {
                if (ClassOf(h) != "#32770") continue;
                bool skip = false;
                for (HWND x : except) skip = skip || x == h;
                if (!skip) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool ReadMessageDialog(HWND dialog, MessageDialog& out) {
    if (!IsWindow(dialog)) return false;
    out = MessageDialog();
    out.hwnd = dialog;
    out.caption = Text(dialog);
    for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        std::string cls = ClassOf(h);
        LONG style = Style(h);
        if (lstrcmpiA(cls.c_str(), "Button") == 0) {
            std::string caption = Text(h);
            out.buttons.push_back(caption);
            if ((style & 0x0F) == BS_DEFPUSHBUTTON) out.defaultButton = caption;
        } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                DWORD_PTR icon = 0;
                SendMessageTimeoutA(h, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
                out.hasIcon = out.hasIcon || icon != 0;
            } else if (GetDlgCtrlID(h) == plat::win32ids::kMsgTextId) {
                out.text = Text(h);
            }
        }
    }
    return true;
}

bool PressDialogButton(HWND dialog, const std::string& caption) {
    HWND button = FindControlByCaption(dialog, caption, "Button");
    if (!button) return false;
    Click(button);
    return true;
}

void PressEscape(HWND dialog) { PressKey(dialog, VK_ESCAPE); }

bool WaitGone(HWND hwnd, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, timeoutMs);
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBe32(out, Crc32(body.data(), body.size()));
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3) {
        return false;
    }
    // Raw scan lines, each behind filter byte 0.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        const uint8_t* row = rgb.data() + static_cast<size_t>(y) * width * 3;
        raw.insert(raw.end(), row, row + width * 3);
    }
    // zlib stream of stored blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(z, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    PutBe32(ihdr, static_cast<uint32_t>(width));
    PutBe32(ihdr, static_cast<uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return WriteFileBytes(path, std::string(png.begin(), png.end()));
}

bool SaveScreenshot(HWND window, const std::string& pngPath) {
    RECT r = {};
    if (window) {
        if (!GetWindowRect(window, &r)) return false;
    } else {
        r.right = GetSystemMetrics(SM_CXSCREEN);
        r.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    return SaveScreenRect(r, pngPath);
}

namespace {

constexpr DWORD kSettleFrameMs = 50;  // how long the screen must stay as it is

// The smallest screen rectangle that holds all the windows; false for none.
bool UnionOfWindows(const std::vector<HWND>& windows, RECT& all) {
    bool any = false;
    for (HWND h : windows) {
        RECT r;
        if (!h || !GetWindowRect(h, &r)) continue;
        if (any) {
            UnionRect(&all, &all, &r);
        } else {
            all = r;
            any = true;
        }
    }
    return any;
}

}  // namespace

bool SaveScreenshot(const std::vector<HWND>& windows, const std::string& pngPath) {
    RECT all = {};
    return UnionOfWindows(windows, all) && SaveScreenRect(all, pngPath);
}

bool CaptureScreenRect(const RECT& r, std::vector<uint8_t>& rgb) {
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (mem && bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(mem, old);
        if (ok) {
            rgb.assign(static_cast<size_t>(w) * h * 3, 0);
            const uint8_t* p = static_cast<const uint8_t*>(bits);
            for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
                rgb[i * 3] = p[i * 4 + 2];
                rgb[i * 3 + 1] = p[i * 4 + 1];
                rgb[i * 3 + 2] = p[i * 4];
            }
        }
    }
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveScreenRect(const RECT& r, const std::string& pngPath) {
    std::vector<uint8_t> rgb;
    if (!CaptureScreenRect(r, rgb)) return false;
    size_t cut = pngPath.find_last_of("\\/");
    if (cut != std::string::npos) MakeFolders(pngPath.substr(0, cut));
    return WritePng(pngPath, r.right - r.left, r.bottom - r.top, rgb);
}

bool WaitIdle(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool WaitSettled(const std::vector<HWND>& windows, DWORD timeoutMs) {
    RECT all = {};
    if (!UnionOfWindows(windows, all)) return false;
    std::vector<uint8_t> before, now;
    if (!CaptureScreenRect(all, before)) return false;
    // Two captures a frame apart that agree: nothing is being drawn there.
    // The first comparison is a frame after the first capture too: a window
    // just shown is on the screen before what it painted is.
    Sleep(kSettleFrameMs);
    return WaitUntil([&] {
        if (!CaptureScreenRect(all, now)) return false;
        bool same = now == before;
        before.swap(now);
        return same;
    }, timeoutMs, kSettleFrameMs);
}

std::string BuildPath(const std::string& rel) {
    // Wine maps the Unix root to drive Z:.
    std::string unix = ORVANE_BINARY_DIR;
    std::string p = "Z:" + unix;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    if (!rel.empty()) {
        if (p.back() != '\\') p += '\\';
        p += rel;
    }
    return p;
}

std::string ScreenshotPath(const std::string& file) { return BuildPath("e2e-screenshots\\" + file); }

std::string SetupExePath() { return BuildPath("Setup.exe"); }

bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    // Only ASCII test paths come here, so byte-wise stepping over '\' is safe.
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            std::string part = path.substr(0, i);
            if (!FolderExists(part) && !CreateDirectoryA(part.c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS) {
                return false;
            }
        }
    }
    return FolderExists(path);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, buf, sizeof buf, &got, nullptr) != FALSE) && got > 0) {
        bytes.append(buf, got);
    }
    CloseHandle(f);
    return ok;
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path) {
    if (!FolderExists(path)) {
        if (FileExists(path)) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
            RemoveTree(path + "\\" + fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

std::string FreshFolder(const std::string& tag) {
    std::string folder = BuildPath("e2e-work\\" + tag);
    RemoveTree(folder);
    return MakeFolders(folder) ? folder : "";
}

std::string MakeProjectFolder(const std::string& tag, const std::string& iniText,
                              const std::string& exeName) {
    std::string folder = FreshFolder(tag);
    if (folder.empty()) return "";
    std::string exe = folder + "\\" + exeName;
    if (!CopyFileA(SetupExePath().c_str(), exe.c_str(), FALSE)) return "";
    std::string ini = exe;
    size_t dot = ini.find_last_of('.');
    size_t slash = ini.find_last_of('\\');
    if (dot != std::string::npos && dot > slash) ini.erase(dot);
    ini += ".ini";
    if (!WriteFileBytes(ini, iniText)) return "";
    return folder;
}

int RunAllTests(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace e2e
