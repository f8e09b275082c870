// The window layer on real windows: every Form becomes a top-level window and
// every widget a child window; changes of the widgets are mirrored at once and
// the windows' events are routed back through plat::RunHandler.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/AnsiText.h"
#include "platform/ProgressFill.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "platform/win32/GdiCanvas.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/Win32Ids.h"

namespace plat::win32 {
namespace {

constexpr const char* kAppClass = "OrvaneApp";
constexpr const char* kContainerClass = "OrvanePage";
constexpr UINT kFirstUserMessage = WM_USER;
constexpr UINT kLastUserMessage = WM_USER + 0xFF;

struct FormState {
    HWND hwnd = nullptr;
    FontHandle font;
    HWND lastFocus = nullptr;  // restored when the form is activated again
    BitmapHandle picture;      // what a form that paints itself painted, kept for its later paints
};

struct ChildState {
    Widget* widget = nullptr;
    ATOM nameAtom = 0;
};

// What a progress bar control was last sent: a run moves its bar once per
// item, and the control repaints itself on every position message.
struct ProgressShown {
    int min = 0, max = 0, position = 0;
    int barLength = 0;  // inside a styled bar's frame; 0: unstyled
};

struct Backend {
    std::map<Form*, FormState> forms;
    std::map<HWND, ProgressShown> progress;  // the progress bars' controls
    std::map<HWND, Widget*> windows;  // every realized window of a widget, forms included
    HWND appWindow = nullptr;
    std::string appTitle;
    int nextId = 1000;
    bool classesRegistered = false;
    int settingText = 0;  // EN_CHANGE from our own SetWindowText is not the user's
};

Backend& B() {
    static Backend backend;
    return backend;
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void MakeDpiAware() {
    static bool done = false;
    if (done) return;
    done = true;
    // Present from Vista on; the manifest says the same for the systems that read it.
    using SetAwareFn = BOOL(WINAPI*)();
    HMODULE user = GetModuleHandleA("user32.dll");
    auto fn = user ? reinterpret_cast<SetAwareFn>(
                         reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")))
                   : nullptr;
    if (fn) fn();
}

HWND Hwnd(const Widget& w) { return static_cast<HWND>(w.native); }

Widget* WidgetOf(HWND hwnd) {
    auto it = B().windows.find(hwnd);
    return it == B().windows.end() ? nullptr : it->second;
}

Form* FormOf(HWND hwnd) {
    Widget* w = WidgetOf(hwnd);
    return w && w->Kind() == WidgetKind::Form ? static_cast<Form*>(w) : nullptr;
}

FormState* StateOf(Form& form) {
    auto it = B().forms.find(&form);
    return it == B().forms.end() ? nullptr : &it->second;
}

bool Scaled(Form& form) { return form.frame == FormFrame::Dialog; }

int ScaleFor(Form& form, int v) { return Scaled(form) ? Scale(v) : v; }

// A widget is shown when it and its parents are visible and, for a page,
// when it is the active page of its page control.
bool ShownInParent(const Widget& w) {
    if (!w.Visible()) return false;
    const Widget* parent = w.Parent();
    if (w.Kind() == WidgetKind::Page && parent && parent->Kind() == WidgetKind::PageControl) {
        return parent->ActivePage() == &w;
    }
    return true;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::string WindowText(HWND hwnd) {
    int len = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(std::max(0, len)) + 1, '\0');
    int got = GetWindowTextA(hwnd, &text[0], len + 1);
    text.resize(static_cast<size_t>(std::max(0, got)));
    return text;
}

void SetText(HWND hwnd, const std::string& text) {
    ++B().settingText;
    SetWindowTextA(hwnd, text.c_str());
    --B().settingText;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void RegisterClasses() {
    if (B().classesRegistered) return;
    B().classesRegistered = true;
    MakeDpiAware();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSA wc = {};
    wc.hInstance = Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

    wc.lpfnWndProc = FormProc;
    wc.lpszClassName = win32ids::kFormClass;
    wc.hIcon = LoadIcon(Instance(), MAKEINTRESOURCE(1));
    if (!wc.hIcon) wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);

    wc.hIcon = nullptr;
    wc.lpfnWndProc = ContainerProc;
    wc.lpszClassName = kContainerClass;
    RegisterClassA(&wc);

    wc.lpfnWndProc = AppProc;
    wc.lpszClassName = kAppClass;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
}

// The application window owns every form, so that the program has one
// taskbar entry, titled with the application title, whatever the forms'
// captions are. It has no size and forwards its activation to the forms.
HWND AppWindow() {
    if (B().appWindow && IsWindow(B().appWindow)) return B().appWindow;
    RegisterClasses();
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    B().appWindow = CreateWindowExA(0, kAppClass, B().appTitle.c_str(), WS_POPUP, cx, cy, 0, 0,
                                    nullptr, nullptr, Instance(), nullptr);
    return B().appWindow;
}

Form* MainForm() {
    for (auto& [form, state] : B().forms) {
        if (form->endsProgram && state.hwnd) return form;
    }
    return nullptr;
}

// The form that should take the activation the application window received.
HWND ActivationTarget() {
    Form* main = MainForm();
    HWND target = main ? StateOf(*main)->hwnd : nullptr;
    if (target) {
        // A modal dialog of the form stands in front of it.
        HWND popup = GetLastActivePopup(target);
        if (popup && IsWindowVisible(popup) && IsWindowEnabled(popup)) target = popup;
    }
    return target && IsWindowVisible(target) ? target : nullptr;
}

// Children in the order their windows are created: by tab order, the
// controls that take no focus after them in declaration order. The order of
// creation is the window manager's tab order.
std::vector<Widget*> CreationOrder(const Widget& parent) {
    std::vector<Widget*> kids = parent.Children();
    std::stable_sort(kids.begin(), kids.end(), [](Widget* a, Widget* b) {
        int ta = a->TabOrder() < 0 ? 1 << 30 : a->TabOrder();
        int tb = b->TabOrder() < 0 ? 1 << 30 : b->TabOrder();
        return ta < tb;
    });
    return kids;
}

// The label's size from its text and font: one line unless word-wrapped at
// its fixed width.
SIZE MeasureLabel(Form& form, const Widget& label, HWND hwnd, int fixedWidth) {
    SIZE size = {0, 0};
    ScopedGetDC dc(hwnd);
    if (!dc.Get()) return size;
    FormState* st = StateOf(form);
    ScopedSelectObject selected(dc.Get(), st && st->font.Get() ? static_cast<HGDIOBJ>(st->font.Get())
                                                                : GetStockObject(DEFAULT_GUI_FONT));
    RECT r = {0, 0, fixedWidth, 0};
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | DT_LEFT;
    bool wrap = label.WordWrap() && fixedWidth > 0;
    flags |= wrap ? DT_WORDBREAK : DT_SINGLELINE;
    const std::string& text = label.Caption();
    if (text.empty()) {
        TEXTMETRICA tm = {};
        GetTextMetricsA(dc.Get(), &tm);
        size.cx = wrap ? fixedWidth : 0;
        size.cy = tm.tmHeight;
    } else {
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, flags);
        size.cx = wrap ? fixedWidth : r.right - r.left;
        size.cy = r.bottom - r.top;
    }
    return size;
}

bool IsPageOfPageControl(const Widget& w) {
    return w.Kind() == WidgetKind::Page && w.Parent() && w.Parent()->Kind() == WidgetKind::PageControl;
}

// Where a child window goes, in its parent's client pixels. A label sized
// to its text is measured in a device context of measureWnd (the label
// itself, or its parent before the label exists) with the form's font.
RECT ChildRect(Form& form, const Widget& w, HWND measureWnd) {
    const Rect& b = w.Bounds();
    RECT r = {ScaleFor(form, b.left), ScaleFor(form, b.top), 0, 0};
    int cx = ScaleFor(form, b.width), cy = ScaleFor(form, b.height);
    const Widget* parent = w.Parent();
    if (IsPageOfPageControl(w)) {
        // A page fills its page control: the tabs are hidden.
        RECT pr = {};
        if (Hwnd(*parent)) GetClientRect(Hwnd(*parent), &pr);
        r.left = 0;
        r.top = 0;
        cx = pr.right;
        cy = pr.bottom;
    } else if (w.Kind() == WidgetKind::Label && w.AutoSize()) {
        SIZE s = MeasureLabel(form, w, measureWnd, w.WordWrap() ? cx : 0);
        cx = s.cx;
        cy = s.cy;
    }
    r.right = r.left + cx;
    r.bottom = r.top + cy;
    return r;
}

void PlaceChild(Form& form, Widget& w) {
    HWND hwnd = Hwnd(w);
    if (!hwnd) return;
    RECT r = ChildRect(form, w, hwnd);
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (w.Kind() == WidgetKind::PageControl) {
        for (Widget* page : w.Children()) PlaceChild(form, *page);
    }
}

// The length of the bar inside a styled control's frame, which its fill is
// a share of; 0 for an unstyled bar, whose drawing is not known here and
// which is therefore sent every position. Asked when the range is set or the
// bar resized, not per item: the style is asked through the window system.
int StyledBarLength(HWND hwnd) {
    using GetWindowThemeFn = HANDLE(WINAPI*)(HWND);
    using ContentRectFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, RECT*);
    HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");  // loaded with the styled controls
    if (!uxtheme) return 0;
    auto getTheme = reinterpret_cast<GetWindowThemeFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "GetWindowTheme")));
    auto contentRect = reinterpret_cast<ContentRectFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "GetThemeBackgroundContentRect")));
    HANDLE theme = getTheme ? getTheme(hwnd) : nullptr;
    if (!theme || !contentRect) return 0;
    constexpr int kBarPart = 1;  // PP_BAR
    RECT client = {}, inside = {};
    GetClientRect(hwnd, &client);
    if (FAILED(contentRect(theme, nullptr, kBarPart, 0, &client, &inside))) return 0;
    return std::max(0L, inside.right - inside.left);
}

// Mirrors the widget's range and position onto its control. The range is
// sent only when it changed; a position only when the control would draw it
// differently, or when it is an end of the range, so that a full or empty bar
// is exact. exact sends any position that differs (after the bar was resized).
void ApplyProgress(Widget& w, bool exact = false) {
    HWND hwnd = Hwnd(w);
    auto found = B().progress.find(hwnd);
    const bool known = found != B().progress.end();
    ProgressShown& shown = B().progress[hwnd];
    const int pos = w.Position();
    bool sendPos = false;
    const bool newRange = !known || shown.min != w.Min() || shown.max != w.Max();
    if (newRange || exact) shown.barLength = StyledBarLength(hwnd);
    if (newRange) {
        SendMessageA(hwnd, PBM_SETRANGE32, w.Min(), w.Max());
        shown.min = w.Min();
        shown.max = w.Max();
        sendPos = true;  // the control has clamped its position into the new range
    } else if (pos != shown.position) {
        sendPos = exact || shown.barLength <= 0 || pos == shown.min || pos == shown.max ||
                  DrawnFill(shown.barLength, shown.min, shown.max, pos) !=
                      DrawnFill(shown.barLength, shown.min, shown.max, shown.position);
    }
    if (sendPos) {
        SendMessageA(hwnd, PBM_SETPOS, pos, 0);
        shown.position = pos;
    }
}

void RealizeChild(Form& form, Widget& w, HWND parentWnd);

void RealizeChildren(Form& form, Widget& parent, HWND parentWnd) {
    for (Widget* kid : CreationOrder(parent)) RealizeChild(form, *kid, parentWnd);
}

// A page of a form with pages on demand gets its window, and its controls
// theirs, the first time it is shown.
bool WaitsForItsShow(const Form& form, const Widget& w) {
    return form.pagesOnDemand && IsPageOfPageControl(w) && !ShownInParent(w);
}

// Shows or hides a realized child as its state says; a page waiting for its
// first show is made now, shown.
void ShowChild(Form& form, Widget& w) {
    if (!w.native) {
        if (w.Parent() && w.Parent()->native) RealizeChild(form, w, Hwnd(*w.Parent()));
        return;
    }
    ShowWindow(Hwnd(w), ShownInParent(w) ? SW_SHOWNA : SW_HIDE);
}

// Each window is made where it goes and as shown as it will be, then gets
// the form's font: moving and showing it afterwards would cost each control
// a round of messages (and the window system's work) for nothing.
void RealizeChild(Form& form, Widget& w, HWND parentWnd) {
    if (w.native || w.Kind() == WidgetKind::Form || WaitsForItsShow(form, w)) return;
    DWORD style = WS_CHILD;
    DWORD ex = 0;
    const char* cls = "STATIC";
    std::string text = w.Caption();
    bool focusable = w.TabOrder() >= 0;
    switch (w.Kind()) {
    case WidgetKind::Label:
        // SS_LEFTNOWORDWRAP fills its background, draws one line from the left,
        // expands tabs, shows & prefixes and clips: the path label relies on it.
        style |= w.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP;
        break;
    case WidgetKind::Button:
        cls = "BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
    case WidgetKind::Edit:
        cls = "EDIT";
        style |= ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP;
        ex |= WS_EX_CLIENTEDGE;
        break;
    case WidgetKind::Memo:
        cls = "EDIT";
        style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | ES_LEFT;
        if (focusable) style |= WS_TABSTOP;
        ex |= WS_EX_CLIENTEDGE;
        text = JoinLines(w.Lines());
        break;
    case WidgetKind::Bevel:
        // Drawn as a sunken box by the form (WM_DRAWITEM); it paints nothing inside.
        style |= SS_OWNERDRAW;
        text.clear();
        break;
    case WidgetKind::ProgressBar:
        cls = PROGRESS_CLASSA;
        text.clear();
        break;
    case WidgetKind::PageControl:
    case WidgetKind::Page:
        cls = kContainerClass;
        ex |= WS_EX_CONTROLPARENT;
        text.clear();
        break;
    case WidgetKind::Form:
        return;
    }
    if (focusable && w.Kind() != WidgetKind::PageControl && w.Kind() != WidgetKind::Page) {
        style |= WS_TABSTOP;
    }
    if (!w.Enabled()) style |= WS_DISABLED;
    if (ShownInParent(w)) style |= WS_VISIBLE;
    const RECT r = ChildRect(form, w, parentWnd);
    int id = B().nextId++;
    HWND hwnd = CreateWindowExA(ex, cls, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                parentWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    if (!hwnd) return;
    w.native = hwnd;
    B().windows[hwnd] = &w;
    TagWindow(hwnd, w.Name());
    FormState* st = StateOf(form);
    if (st && st->font.Get()) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(st->font.Get()), FALSE);
    if (w.Kind() == WidgetKind::ProgressBar) ApplyProgress(w);
    if (w.Kind() == WidgetKind::PageControl || w.Kind() == WidgetKind::Page) RealizeChildren(form, w, hwnd);
}

void Realize(Form& form) {
    if (form.Destroyed() || form.native) return;
    RegisterClasses();
    FormState& st = B().forms[&form];
    HWND owner = AppWindow();
    DWORD style, ex = 0;
    int x, y, w, h;
    if (form.frame == FormFrame::Dialog) {
        if (!form.font.face.empty()) st.font = MakeFont(form.font.face, form.font.charset, form.font.height);
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
        RECT r = {0, 0, Scale(form.Bounds().width), Scale(form.Bounds().height)};
        AdjustWindowRectEx(&r, style, FALSE, ex);
        w = r.right - r.left;
        h = r.bottom - r.top;
        if (form.centred) {
            x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
            y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
        } else {
            x = Scale(form.Bounds().left);
            y = Scale(form.Bounds().top);
        }
    } else {
        // Device pixels: the background window measures the screen itself.
        style = WS_POPUP;
        x = form.Bounds().left;
        y = form.Bounds().top;
        w = form.Bounds().width;
        h = form.Bounds().height;
    }
    if (!form.takesInput) {
        style |= WS_DISABLED;
        ex |= WS_EX_NOACTIVATE;
    } else if (!form.Enabled()) {
        style |= WS_DISABLED;
    }
    HWND hwnd = CreateWindowExA(ex, win32ids::kFormClass, form.Caption().c_str(), style, x, y, w,
                                h, owner, nullptr, Instance(), nullptr);
    if (!hwnd) return;
    st.hwnd = hwnd;
    form.native = hwnd;
    B().windows[hwnd] = &form;
    TagWindow(hwnd, form.Name());
    if (st.font.Get()) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(st.font.Get()), FALSE);
    RealizeChildren(form, form, hwnd);
}

void ReleaseWindowsOf(Widget& w) {
    for (Widget* kid : w.Children()) ReleaseWindowsOf(*kid);
    HWND hwnd = Hwnd(w);
    if (!hwnd) return;
    UntagWindow(hwnd);
    B().windows.erase(hwnd);
    B().progress.erase(hwnd);
    w.native = nullptr;
}

void OnCommand(WPARAM wp, LPARAM lp) {
    HWND ctl = reinterpret_cast<HWND>(lp);
    Widget* w = ctl ? WidgetOf(ctl) : nullptr;
    if (!w) return;
    WORD code = HIWORD(wp);
    if (w->Kind() == WidgetKind::Button && code == BN_CLICKED) {
        w->Click();
    } else if (w->Kind() == WidgetKind::Edit && code == EN_CHANGE && !B().settingText) {
        w->TextFromUser(WindowText(ctl));
    }
}

LRESULT OnCtlColor(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    HDC dc = reinterpret_cast<HDC>(wp);
    if (msg == WM_CTLCOLORSTATIC) {
        // Labels and the read-only memos: button face, as the form.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void OnDrawItem(LPARAM lp) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    Widget* w = WidgetOf(dis->hwndItem);
    if (!w || w->Kind() != WidgetKind::Bevel) return;
    RECT r = dis->rcItem;
    DrawEdge(dis->hDC, &r, BDR_SUNKENOUTER, BF_RECT);
}

// The form's painting into a bitmap of its client area's size: null when
// the bitmap cannot be had.
BitmapHandle PaintPicture(Form& form, HDC windowDc, int width, int height) {
    MemoryDc memory(CreateCompatibleDC(windowDc));
    BitmapHandle picture(CreateCompatibleBitmap(windowDc, width, height));
    if (!memory || !picture) return BitmapHandle();
    ScopedSelectObject selected(memory.Get(), picture.Get());
    GdiCanvas canvas(memory.Get(), width, height);
    RunHandler([&] { form.OnPaint(canvas); });
    return picture;
}

// A form that paints itself (the full-screen background) is painted once into
// a picture; every paint after that, when a window in front of it moves or
// goes, copies the part uncovered. Invalidate paints it afresh.
void OnPaintForm(HWND hwnd, Form& form) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    RECT r = {};
    GetClientRect(hwnd, &r);
    FormState* st = StateOf(form);
    if (st && !st->picture) st->picture = PaintPicture(form, dc, r.right, r.bottom);
    MemoryDc memory(st && st->picture ? CreateCompatibleDC(dc) : nullptr);
    if (memory) {
        ScopedSelectObject selected(memory.Get(), st->picture.Get());
        const RECT& p = ps.rcPaint;
        BitBlt(dc, p.left, p.top, p.right - p.left, p.bottom - p.top, memory.Get(), p.left, p.top, SRCCOPY);
    } else {
        GdiCanvas canvas(dc, r.right, r.bottom);
        RunHandler([&] { form.OnPaint(canvas); });
    }
    EndPaint(hwnd, &ps);
}

void OnActivate(HWND hwnd, Form& form, WPARAM wp) {
    FormState* st = StateOf(form);
    if (!st) return;
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) st->lastFocus = focus;
        return;
    }
    HWND target = st->lastFocus;
    if (!target || !IsWindow(target) || !IsChild(hwnd, target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target)) {
        Widget* focused = form.Focused();
        target = focused ? Hwnd(*focused) : nullptr;
    }
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    }
    SetFocus(target ? target : hwnd);
}

LRESULT FormMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* form = FormOf(hwnd);
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_COMMAND:
        OnCommand(wp, lp);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return OnCtlColor(hwnd, msg, wp, lp);
    case WM_DRAWITEM:
        OnDrawItem(lp);
        return TRUE;
    case WM_CLOSE:
        // The close box, the system menu and Alt+F4: the form's close rule decides.
        form->Close();
        return 0;
    case WM_ERASEBKGND:
        if (form->OnPaint) return 1;  // the form paints all of it
        break;
    case WM_PAINT:
        if (form->OnPaint) {
            OnPaintForm(hwnd, *form);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        OnActivate(hwnd, *form, wp);
        return 0;
    case WM_MOUSEACTIVATE:
        if (!form->takesInput) return MA_NOACTIVATE;
        break;
    case WM_NCDESTROY: {
        // Destroyed from outside the window layer: forget the window.
        ReleaseWindowsOf(*form);
        if (FormState* st = StateOf(*form)) st->hwnd = nullptr;
        break;
    }
    default:
        if (msg >= kFirstUserMessage && msg <= kLastUserMessage) {
            form->DeliverUserMessage(msg);
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Nothing escapes a window procedure.
    try {
        return FormMessage(hwnd, msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        // Pages hand their controls' messages to the form that handles them.
        HWND root = GetAncestor(hwnd, GA_ROOT);
        if (root && root != hwnd) return SendMessageA(root, msg, wp, lp);
        break;
    }
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK AppProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE) {
            if (HWND target = ActivationTarget()) SetActiveWindow(target);
        }
        return 0;
    case WM_SETFOCUS:
        if (HWND target = ActivationTarget()) SetFocus(target);
        return 0;
    case WM_CLOSE:
        // Closing the taskbar entry closes the main form, through its close rule.
        if (Form* main = MainForm()) PostMessageA(StateOf(*main)->hwnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

Form* ActiveForm() {
    HWND active = GetActiveWindow();
    Form* form = FormOf(active);
    return form && form->takesInput ? form : nullptr;
}

bool IsOurButton(HWND hwnd) {
    Widget* w = WidgetOf(hwnd);
    return w && w->Kind() == WidgetKind::Button;
}

bool IsEditWindow(HWND hwnd) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, "EDIT") == 0;
}

// The first visible, enabled button of the form whose caption marks ch with '&'.
HWND MnemonicButton(Form& form, UINT ch) {
    HWND formWnd = Hwnd(form);
    for (auto& [hwnd, w] : B().windows) {
        if (w->Kind() != WidgetKind::Button || !IsChild(formWnd, hwnd)) continue;
        if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
        const std::string& c = w->Caption();
        for (size_t i = 0; i + 1 < c.size(); i = ansi::NextChar(c, i)) {
            if (!ansi::IsSingleAt(c, i, '&')) continue;
            unsigned char m = static_cast<unsigned char>(c[i + 1]);
            if (m != '&' && CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(m))) ==
                                CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(ch & 0xFF)))) {
                return hwnd;
            }
            ++i;  // "&&" is a plain "&"; the byte after "&" is a character of its own
        }
    }
    return nullptr;
}

// The dialog keys of a form: Tab and Shift+Tab move through the tab stops,
// Enter presses the focused button, Alt with a marked letter presses that
// button. Done here rather than by IsDialogMessage, which sends DM_GETDEFID
// (= WM_USER) to the form and would look like the posted install message.
bool HandleFormKey(const MSG& m) {
    Form* form = ActiveForm();
    if (!form) return false;
    HWND formWnd = Hwnd(*form);
    if (!formWnd || (m.hwnd != formWnd && !IsChild(formWnd, m.hwnd))) return false;
    if (m.message == WM_KEYDOWN && m.wParam == VK_TAB) {
        if (GetKeyState(VK_CONTROL) < 0) return false;
        bool back = GetKeyState(VK_SHIFT) < 0;
        HWND next = GetNextDlgTabItem(formWnd, GetFocus(), back);
        if (next) {
            SetFocus(next);
            if (IsEditWindow(next)) SendMessageA(next, EM_SETSEL, 0, -1);
        }
        return true;
    }
    if (m.message == WM_KEYDOWN && m.wParam == VK_RETURN && IsOurButton(m.hwnd)) {
        if (Widget* w = WidgetOf(m.hwnd)) RunHandler([&] { w->Click(); });
        return true;
    }
    if (m.message == WM_CHAR && (m.wParam == '\t' || (m.wParam == '\r' && IsOurButton(m.hwnd)))) {
        return true;  // already handled as a key
    }
    bool plainChar = m.message == WM_CHAR && !IsEditWindow(m.hwnd) && m.wParam > ' ';
    if (m.message == WM_SYSCHAR || plainChar) {
        if (HWND button = MnemonicButton(*form, static_cast<UINT>(m.wParam))) {
            SetFocus(button);
            if (Widget* w = WidgetOf(button)) RunHandler([&] { w->Click(); });
            return true;
        }
    }
    return false;
}

}  // namespace

int ScreenDpi() {
    static int dpi = 0;
    if (!dpi) {
        MakeDpiAware();
        ScopedGetDC screen(nullptr);
        dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
        if (dpi <= 0) dpi = 96;
    }
    return dpi;
}

int Scale(int designPixels) { return MulDiv(designPixels, ScreenDpi(), 96); }

FontHandle MakeFont(const std::string& face, int charset, int heightDesign) {
    LOGFONTA lf = {};
    lf.lfHeight = -Scale(heightDesign);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = static_cast<BYTE>(charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return FontHandle(CreateFontIndirectA(&lf));
}

HWND FormWindow(Form& form) {
    if (form.Destroyed()) return nullptr;
    Realize(form);
    return Hwnd(form);
}

HWND DialogOwner(Form* form) {
    if (form && !form->Destroyed() && form->native) return Hwnd(*form);
    // The window the person works with: a form of ours or a dialog in front of it.
    HWND active = GetActiveWindow();
    Form* f = FormOf(active);
    if (active && IsWindowVisible(active) && (!f || f->takesInput)) return active;
    if (Form* main = MainForm()) {
        HWND hwnd = StateOf(*main)->hwnd;
        if (IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

HFONT MainFont() {
    Form* main = MainForm();
    FormState* st = main ? StateOf(*main) : nullptr;
    return st ? st->font.Get() : nullptr;
}

void TagWindow(HWND hwnd, const std::string& name) {
    if (name.empty() || name.size() > 255) return;
    ATOM atom = GlobalAddAtomA(name.c_str());
    if (atom) SetPropA(hwnd, win32ids::kWidgetNameProp, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void UntagWindow(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd, win32ids::kWidgetNameProp)));
    if (atom) GlobalDeleteAtom(atom);
}

}  // namespace plat::win32

namespace plat::backend {

using namespace plat::win32;

void WidgetChanged(Widget& widget, Change change) {
    Form* form = widget.OwnerForm();
    if (!form || form->Destroyed() || !form->native) return;  // read at realization
    if (!widget.native && widget.Kind() != WidgetKind::Form) {
        // A widget that came after its form's window.
        Widget* parent = widget.Parent();
        if (!parent || !parent->native) return;
        RealizeChild(*form, widget, Hwnd(*parent));
        return;
    }
    HWND hwnd = Hwnd(widget);
    switch (change) {
    case Change::Caption:
        if (widget.Kind() == WidgetKind::Memo) break;
        // A label repaints itself on every text it is sent, the same one too.
        if (widget.Kind() == WidgetKind::Label && WindowText(hwnd) == widget.Caption()) break;
        SetText(hwnd, widget.Caption());
        if (widget.Kind() == WidgetKind::Label && widget.AutoSize()) PlaceChild(*form, widget);
        break;
    case Change::Lines:
        if (widget.Kind() == WidgetKind::Memo) SetText(hwnd, JoinLines(widget.Lines()));
        break;
    case Change::Enabled:
        if (widget.Kind() == WidgetKind::Form && !form->takesInput) break;
        EnableWindow(hwnd, widget.Enabled());
        break;
    case Change::Visible:
        if (widget.Kind() == WidgetKind::Form) {
            if (!widget.Visible()) ShowWindow(hwnd, SW_HIDE);
            // Showing is ShowForm's.
        } else {
            ShowChild(*form, widget);
        }
        break;
    case Change::Bounds:
        if (widget.Kind() == WidgetKind::Form) {
            if (form->frame == FormFrame::Borderless) {
                const Rect& b = widget.Bounds();
                SetWindowPos(hwnd, nullptr, b.left, b.top, b.width, b.height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            } else {
                RECT r = {0, 0, Scale(widget.Bounds().width), Scale(widget.Bounds().height)};
                AdjustWindowRectEx(&r, GetWindowLongA(hwnd, GWL_STYLE), FALSE,
                                   GetWindowLongA(hwnd, GWL_EXSTYLE));
                SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
            }
        } else {
            PlaceChild(*form, widget);
            // A bar of another width fills other pixels: show the exact position.
            if (widget.Kind() == WidgetKind::ProgressBar) ApplyProgress(widget, true);
        }
        break;
    case Change::Progress:
        if (widget.Kind() == WidgetKind::ProgressBar) ApplyProgress(widget);
        break;
    case Change::ActivePage:
        for (Widget* page : widget.Children()) {
            ShowChild(*form, *page);
        }
        break;
    case Change::Hint:
    case Change::Focus:
        break;
    }
}

void WidgetReleased(Widget& widget) {
    HWND hwnd = Hwnd(widget);
    if (!hwnd) return;
    UntagWindow(hwnd);
    B().windows.erase(hwnd);
    B().progress.erase(hwnd);
    widget.native = nullptr;
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

void ShowForm(Form& form) {
    HWND hwnd = FormWindow(form);
    if (!hwnd) return;
    if (form.frame == FormFrame::Dialog && form.takesInput) {
        // The taskbar entry appears with the first window a person works with.
        HWND app = AppWindow();
        if (app && !IsWindowVisible(app)) ShowWindow(app, SW_SHOWNA);
    }
    if (!form.takesInput) {
        ShowWindow(hwnd, SW_SHOWNA);
        return;
    }
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    if (Widget* focused = form.Focused()) {
        if (focused->native) SetFocus(Hwnd(*focused));
    }
    UpdateWindow(hwnd);
}

void DestroyForm(Form& form) {
    FormState* st = StateOf(form);
    HWND hwnd = Hwnd(form);
    ReleaseWindowsOf(form);
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    if (st) B().forms.erase(&form);  // the font goes after its window
}

void PostToForm(Form& form, unsigned message) {
    HWND hwnd = FormWindow(form);
    if (hwnd) PostMessageA(hwnd, message, 0, 0);
}

void RepaintForm(Form& form) {
    if (HWND hwnd = Hwnd(form)) UpdateWindow(hwnd);
}

void InvalidateForm(Form& form) {
    if (FormState* st = StateOf(form)) st->picture.Reset();
    if (HWND hwnd = Hwnd(form)) InvalidateRect(hwnd, nullptr, TRUE);
}

void FocusWidget(Form& form, Widget& widget) {
    if (!form.native || !widget.native) return;
    HWND hwnd = Hwnd(widget);
    if (FormState* st = StateOf(form)) st->lastFocus = hwnd;
    if (GetActiveWindow() == Hwnd(form)) SetFocus(hwnd);
}

void RunLoop() {
    MSG m;
    for (;;) {
        BOOL got = GetMessageA(&m, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (HandleFormKey(m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (B().appWindow) {
        DestroyWindow(B().appWindow);
        B().appWindow = nullptr;
    }
}

void QuitLoop() { PostQuitMessage(0); }

void ApplicationTitleChanged(const std::string& title) {
    B().appTitle = title;
    if (B().appWindow) SetWindowTextA(B().appWindow, title.c_str());
}

}  // namespace plat::backend
