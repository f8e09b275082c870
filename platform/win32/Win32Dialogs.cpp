// The modal dialogs on real windows: the message dialog and the folder dialog.
// Both are dialogs of our own from an empty in-memory template; their controls
// are created and laid out in pixels in WM_INITDIALOG, in the wizard's font,
// scaled to the screen's DPI. The system's message box cannot make Esc answer
// No with Yes and No buttons, nor caption its buttons in Japanese.
#include <windows.h>
#include <winnetwk.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/AnsiText.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Ids.h"

namespace {

using plat::win32::FontHandle;
using plat::win32::Scale;
namespace ids = plat::win32ids;

constexpr const char* kFaceName = "ＭＳ Ｐゴシック";
constexpr int kFontHeight = 13;

// An empty dialog template: caption and controls come in WM_INITDIALOG.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
    WORD pad;
};

INT_PTR RunDialog(HWND owner, DLGPROC proc, LPARAM param) {
    EmptyTemplate t = {};
    t.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFOREGROUND;
    t.header.cdit = 0;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &t.header, owner, proc, param);
}

HWND AddControl(HWND dlg, const char* cls, const std::string& text, DWORD style, DWORD ex, int id,
                int x, int y, int cx, int cy, HFONT font) {
    HWND hwnd = CreateWindowExA(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, cx, cy,
                                dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    if (hwnd && font) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

SIZE MeasureText(HWND hwnd, HFONT font, const std::string& text, int maxWidth, UINT flags) {
    SIZE s = {0, 0};
    plat::win32::ScopedGetDC dc(hwnd);
    if (!dc.Get()) return s;
    plat::win32::ScopedSelectObject selected(
        dc.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    RECT r = {0, 0, maxWidth, 0};
    DrawTextA(dc.Get(), text.empty() ? " " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()),
              &r, DT_CALCRECT | flags);
    s.cx = r.right - r.left;
    s.cy = r.bottom - r.top;
    return s;
}

// Sizes the dialog to that client area and centres it on its owner (or the screen).
void PlaceDialog(HWND dlg, int clientWidth, int clientHeight) {
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, GetWindowLongA(dlg, GWL_STYLE), FALSE, GetWindowLongA(dlg, GWL_EXSTYLE));
    int w = r.right - r.left, h = r.bottom - r.top;
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND owner = GetWindow(dlg, GW_OWNER);
    if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &area);
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    x = std::max(0, std::min(x, GetSystemMetrics(SM_CXSCREEN) - w));
    y = std::max(0, std::min(y, GetSystemMetrics(SM_CYSCREEN) - h));
    SetWindowPos(dlg, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

FontHandle DialogFont() { return plat::win32::MakeFont(kFaceName, plat::kShiftJisCharset, kFontHeight); }

struct MessageState {
    plat::MsgKind kind;
    std::string caption, text;
    plat::MsgButtons buttons;
    FontHandle font;
};

LPCSTR IconOf(plat::MsgKind kind) {
    switch (kind) {
    case plat::MsgKind::Warning: return IDI_WARNING;
    case plat::MsgKind::Error: return IDI_ERROR;
    case plat::MsgKind::Information: return IDI_INFORMATION;
    case plat::MsgKind::Confirmation: return IDI_QUESTION;
    }
    return IDI_INFORMATION;
}

void InitMessageDialog(HWND dlg, MessageState& st) {
    SetWindowTextA(dlg, st.caption.c_str());
    HFONT font = st.font.Get();
    const int margin = Scale(12), gap = Scale(10);
    const int iconSize = GetSystemMetrics(SM_CXICON);
    const int buttonHeight = Scale(23), buttonGap = Scale(8);

    HWND icon = AddControl(dlg, "STATIC", "", SS_ICON, 0, ids::kMsgIconId, margin, margin,
                           iconSize, iconSize, nullptr);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IconOf(st.kind))), 0);

    // The text wraps at a width that keeps the box readable on any screen.
    int maxText = std::min(Scale(420), GetSystemMetrics(SM_CXSCREEN) * 3 / 5);
    SIZE text = MeasureText(dlg, font, st.text, maxText, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    int textX = margin + iconSize + gap;
    int bodyHeight = std::max(iconSize, static_cast<int>(text.cy));
    int textY = margin + (bodyHeight - text.cy) / 2;
    AddControl(dlg, "STATIC", st.text, SS_LEFT | SS_NOPREFIX, 0, ids::kMsgTextId, textX, textY,
               text.cx + 1, text.cy, font);

    struct ButtonSpec { int id; const char* caption; };
    static const ButtonSpec kYesNo[] = {{IDYES, "はい(&Y)"}, {IDNO, "いいえ(&N)"}};
    static const ButtonSpec kOk[] = {{IDOK, "OK"}};
    bool yesNo = st.buttons == plat::MsgButtons::YesNo;
    const ButtonSpec* specs = yesNo ? kYesNo : kOk;
    const int count = yesNo ? 2 : 1;
    int buttonWidth = Scale(80);
    for (int i = 0; i < count; ++i) {
        SIZE s = MeasureText(dlg, font, specs[i].caption, 0, DT_SINGLELINE);
        buttonWidth = std::max(buttonWidth, static_cast<int>(s.cx) + Scale(16));
    }
    int buttonsWidth = count * buttonWidth + (count - 1) * buttonGap;
    int clientWidth = std::max(textX + static_cast<int>(text.cx) + margin, buttonsWidth + 2 * margin);
    int buttonY = margin + bodyHeight + Scale(16);
    int clientHeight = buttonY + buttonHeight + margin;
    int x = (clientWidth - buttonsWidth) / 2;
    HWND first = nullptr;
    for (int i = 0; i < count; ++i) {
        DWORD style = WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
        HWND b = AddControl(dlg, "BUTTON", specs[i].caption, style, 0, specs[i].id, x, buttonY,
                            buttonWidth, buttonHeight, font);
        if (i == 0) first = b;
        x += buttonWidth + buttonGap;
    }
    SendMessageA(dlg, DM_SETDEFID, specs[0].id, 0);
    PlaceDialog(dlg, clientWidth, clientHeight);
    SetForegroundWindow(dlg);
    if (first) SetFocus(first);
}

INT_PTR CALLBACK MessageProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* st = reinterpret_cast<MessageState*>(lp);
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        InitMessageDialog(dlg, *st);
        return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
        auto* st = reinterpret_cast<MessageState*>(GetWindowLongPtrA(dlg, DWLP_USER));
        bool yesNo = st && st->buttons == plat::MsgButtons::YesNo;
        switch (LOWORD(wp)) {
        case IDYES: EndDialog(dlg, IDYES); return TRUE;
        case IDNO: EndDialog(dlg, IDNO); return TRUE;
        case IDOK: EndDialog(dlg, yesNo ? IDYES : IDOK); return TRUE;  // Enter: the default button
        case IDCANCEL: EndDialog(dlg, yesNo ? IDNO : IDOK); return TRUE;  // Esc
        default: break;
        }
        break;
    }
    case WM_CLOSE: {
        auto* st = reinterpret_cast<MessageState*>(GetWindowLongPtrA(dlg, DWLP_USER));
        EndDialog(dlg, st && st->buttons == plat::MsgButtons::YesNo ? IDNO : IDOK);
        return TRUE;
    }
    default:
        break;
    }
    return FALSE;
}

struct FolderState {
    std::string title, start;
    const std::function<bool(const std::string&)>* accept = nullptr;
    std::string chosen;
    FontHandle font;
    bool network = false;
};

bool OnLetteredDrive(const std::string& s) {
    return s.size() >= 2 && s[1] == ':' &&
           ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

// The network functions live in MPR, which is not a KnownDLL: it is loaded
// from the system folder when the dialog needs it, never imported (an import
// is looked for in the program's folder first).
using WNetOpenEnumFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD, LPNETRESOURCEA, LPHANDLE);
using WNetCloseEnumFn = DWORD(WINAPI*)(HANDLE);
using WNetConnectionDialogFn = DWORD(WINAPI*)(HWND, DWORD);

// The network-connection dialog is offered when the system has it and a
// network provider answers: WNetOpenEnum fails with no network installed.
bool NetworkDialogAvailable() {
    plat::win32::SystemLibrary mpr("mpr.dll");
    auto openEnum = mpr.Proc<WNetOpenEnumFn>("WNetOpenEnumA");
    auto closeEnum = mpr.Proc<WNetCloseEnumFn>("WNetCloseEnum");
    if (!mpr.Proc<WNetConnectionDialogFn>("WNetConnectionDialog") || !openEnum || !closeEnum) {
        return false;
    }
    HANDLE e = nullptr;
    if (openEnum(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, 0, nullptr, &e) != NO_ERROR) return false;
    closeEnum(e);
    return true;
}

void ShowNetworkDialog(HWND dlg) {
    plat::win32::SystemLibrary mpr("mpr.dll");
    if (auto connect = mpr.Proc<WNetConnectionDialogFn>("WNetConnectionDialog")) {
        connect(dlg, RESOURCETYPE_DISK);
    }
}

void ShowCurrentFolder(HWND dlg) {
    HWND edit = GetDlgItem(dlg, ids::kFolderPathEditId);
    SetWindowTextA(edit, plat::CurrentFolder().c_str());
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

// Lists the folders of path (DlgDirList makes it the current folder), its
// files and the drives; false when path cannot be opened.
// Long names stay readable: the list scrolls sideways to its widest item.
void FitHorizontalExtent(HWND list) {
    int widest = 0;
    {
    plat::win32::ScopedGetDC dc(list);
    if (!dc.Get()) return;
    plat::win32::ScopedSelectObject selected(dc.Get(),
                                             reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int len = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        if (len <= 0) continue;
        std::string item(static_cast<size_t>(len) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&item[0]));
        SIZE s = {};
        GetTextExtentPoint32A(dc.Get(), item.c_str(), len, &s);
        widest = std::max(widest, static_cast<int>(s.cx));
    }
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, widest + Scale(6), 0);
}

bool OpenFolder(HWND dlg, const std::string& path) {
    // "X:\.\*.*": with "X:\*.*" a root would list the drive's current folder.
    std::string spec = path;
    spec = plat::ansi::WithTrailingSeparator(spec);
    spec += ".\\*.*";
    std::vector<char> buf(spec.begin(), spec.end());
    buf.resize(buf.size() + MAX_PATH, '\0');
    if (!DlgDirListA(dlg, buf.data(), ids::kFolderListId, 0, DDL_DIRECTORY | DDL_EXCLUSIVE)) {
        return false;
    }
    FitHorizontalExtent(GetDlgItem(dlg, ids::kFolderListId));
    HWND files = GetDlgItem(dlg, ids::kFolderFileListId);
    SendMessageA(files, LB_RESETCONTENT, 0, 0);
    SendMessageA(files, LB_DIR, DDL_READWRITE | DDL_READONLY | DDL_ARCHIVE,
                 reinterpret_cast<LPARAM>("*.*"));
    FitHorizontalExtent(files);
    char drives[8] = "*.*";
    DlgDirListComboBoxA(dlg, drives, ids::kFolderDriveListId, 0, DDL_DRIVES | DDL_EXCLUSIVE);
    std::string cur = plat::CurrentFolder();
    if (OnLetteredDrive(cur)) {
        char item[8] = {'[', '-', static_cast<char>(cur[0] | 0x20), '-', ']', 0};
        SendDlgItemMessageA(dlg, ids::kFolderDriveListId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(item));
    }
    ShowCurrentFolder(dlg);
    return true;
}

void OpenSelectedFolder(HWND dlg) {
    char buf[MAX_PATH * 2] = {};
    if (!DlgDirSelectExA(dlg, buf, sizeof buf, ids::kFolderListId)) return;
    if (!OpenFolder(dlg, buf)) MessageBeep(MB_ICONEXCLAMATION);
}

void OpenSelectedDrive(HWND dlg) {
    char buf[16] = {};
    DlgDirSelectComboBoxExA(dlg, buf, sizeof buf, ids::kFolderDriveListId);
    std::string drive = buf;
    std::string before = plat::CurrentFolder();
    if (drive.empty() || !OpenFolder(dlg, drive)) {
        MessageBeep(MB_ICONEXCLAMATION);
        OpenFolder(dlg, before);
    }
}

void InitFolderDialog(HWND dlg, FolderState& st) {
    SetWindowTextA(dlg, st.title.c_str());
    HFONT f = st.font.Get();
    auto S = [](int v) { return Scale(v); };
    const DWORD list = WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS |
                       LBS_NOINTEGRALHEIGHT;
    const int bw = 104, bx = 300;
    // Each label comes right before its control: its mnemonic moves the focus there.
    AddControl(dlg, "STATIC", "ディレクトリ名(&N):", SS_LEFT, 0, ids::kFolderPathLabelId, S(8), S(8), S(284), S(15), f);
    HWND edit = AddControl(dlg, "EDIT", "", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                           ids::kFolderPathEditId, S(8), S(24), S(284), S(21), f);
    SendMessageA(edit, EM_LIMITTEXT, MAX_PATH - 1, 0);
    AddControl(dlg, "STATIC", "ディレクトリ(&D):", SS_LEFT, 0, ids::kFolderListLabelId, S(8), S(54), S(150), S(15), f);
    AddControl(dlg, "LISTBOX", "", list, 0, ids::kFolderListId, S(8), S(70), S(150), S(150), f);
    AddControl(dlg, "STATIC", "ファイル(&F): (*.*)", SS_LEFT, 0, ids::kFolderFileLabelId, S(164), S(54), S(128), S(15), f);
    AddControl(dlg, "LISTBOX", "", list | LBS_SORT, 0, ids::kFolderFileListId, S(164), S(70), S(128), S(150), f);
    AddControl(dlg, "STATIC", "ドライブ(&R):", SS_LEFT, 0, ids::kFolderDriveLabelId, S(8), S(228), S(124), S(15), f);
    AddControl(dlg, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
               0, ids::kFolderDriveListId, S(8), S(244), S(284), S(200), f);
    AddControl(dlg, "BUTTON", "OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, IDOK, S(bx), S(8), S(bw), S(25), f);
    AddControl(dlg, "BUTTON", "キャンセル", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, S(bx), S(38), S(bw), S(25), f);
    if (st.network) {
        AddControl(dlg, "BUTTON", "ネットワーク(&N)...", WS_TABSTOP | BS_PUSHBUTTON, 0,
                   ids::kFolderNetworkId, S(bx), S(244), S(bw), S(25), f);
    }
    // Names for the end-to-end driver, as the window layer's controls carry them.
    const std::pair<int, const char*> names[] = {
        {ids::kFolderPathEditId, "PathEdit"},   {ids::kFolderListId, "FolderList"},
        {ids::kFolderFileListId, "FileList"},   {ids::kFolderDriveListId, "DriveList"},
        {IDOK, "OkButton"},                     {IDCANCEL, "CancelButton"},
        {ids::kFolderNetworkId, "NetworkButton"}};
    for (const auto& [id, name] : names) {
        if (HWND h = GetDlgItem(dlg, id)) plat::win32::TagWindow(h, name);
    }
    SendMessageA(dlg, DM_SETDEFID, IDOK, 0);
    PlaceDialog(dlg, S(bx + bw + 8), S(244 + 25 + 10));

    bool opened = OnLetteredDrive(st.start) && OpenFolder(dlg, st.start);
    if (!opened && !OpenFolder(dlg, plat::CurrentFolder())) ShowCurrentFolder(dlg);
    SetForegroundWindow(dlg);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

void AcceptFolder(HWND dlg, FolderState& st) {
    HWND edit = GetDlgItem(dlg, ids::kFolderPathEditId);
    int len = GetWindowTextLengthA(edit);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = GetWindowTextA(edit, &text[0], len + 1);
    text.resize(static_cast<size_t>(std::max(0, got)));
    bool ok = true;
    if (st.accept && *st.accept) {
        ok = false;
        plat::RunHandler([&] { ok = (*st.accept)(text); });
    }
    if (ok) {
        st.chosen = text;
        EndDialog(dlg, IDOK);
        return;
    }
    if (IsWindow(edit)) {
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    }
}

void UntagFolderControls(HWND dlg) {
    for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        plat::win32::UntagWindow(h);
    }
}

INT_PTR FolderMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* st = reinterpret_cast<FolderState*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        InitFolderDialog(dlg, *reinterpret_cast<FolderState*>(lp));
        return FALSE;  // the focus is set
    case WM_COMMAND:
        if (!st) break;
        switch (LOWORD(wp)) {
        case IDOK:
            // Enter in the folder list opens the folder instead.
            if (GetFocus() == GetDlgItem(dlg, ids::kFolderListId)) {
                OpenSelectedFolder(dlg);
            } else {
                AcceptFolder(dlg, *st);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        case ids::kFolderListId:
            if (HIWORD(wp) == LBN_DBLCLK) OpenSelectedFolder(dlg);
            return TRUE;
        case ids::kFolderDriveListId:
            if (HIWORD(wp) == CBN_SELCHANGE) OpenSelectedDrive(dlg);
            return TRUE;
        case ids::kFolderNetworkId:
            if (HIWORD(wp) == BN_CLICKED) {
                ShowNetworkDialog(dlg);
                OpenFolder(dlg, plat::CurrentFolder());
            }
            return TRUE;
        default:
            break;
        }
        break;
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == GetDlgItem(dlg, ids::kFolderFileListId)) {
            // The files are shown for orientation only: grey text.
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_CLOSE:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    case WM_DESTROY:
        UntagFolderControls(dlg);
        break;
    default:
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK FolderProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return FolderMessage(dlg, msg, wp, lp);
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

namespace plat {

MsgAnswer ShowMessageDialog(Form* owner, MsgKind kind, const std::string& caption,
                            const std::string& text, MsgButtons buttons) {
    MessageState st{kind, caption, text, buttons, DialogFont()};
    INT_PTR rc = RunDialog(win32::DialogOwner(owner), MessageProc, reinterpret_cast<LPARAM>(&st));
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    // Anything but Yes (a failed dialog included) answers No.
    return rc == IDYES ? MsgAnswer::Yes : MsgAnswer::No;
}

bool ShowFolderDialog(Form* owner, const std::string& title, const std::string& start,
                      const std::function<bool(const std::string&)>& accept,
                      std::string& chosen) {
    FolderState st;
    st.title = title;
    st.start = start;
    st.accept = &accept;
    st.font = DialogFont();
    st.network = NetworkDialogAvailable();
    INT_PTR rc = RunDialog(win32::DialogOwner(owner), FolderProc, reinterpret_cast<LPARAM>(&st));
    if (rc != IDOK) return false;
    chosen = st.chosen;
    return true;
}

}  // namespace plat
