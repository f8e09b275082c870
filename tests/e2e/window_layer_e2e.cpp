// The window layer on real windows: a small form of the wizard's kinds runs
// its message loop on a thread of this driver; the main thread finds its
// windows by widget name and works them as a person would. The canvas that
// forms paint with is tried on a bitmap.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Window.h"
#include "platform/win32/GdiCanvas.h"
#include "support/Driver.h"

namespace {

constexpr DWORD kWait = 10000;

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

int Scaled(int v) { return MulDiv(v, ScreenDpi(), 96); }

// What the UI thread shares with the test: only atomics cross the threads.
struct Shared {
    std::atomic<bool> allowClose{false};
    std::atomic<int> closeQueries{0}, closes{0}, destroys{0}, clicks{0};
    std::atomic<int> userMessages{0}, lastUserMessage{0};
    std::atomic<bool> loopEnded{false};
};

// A form laid out like the wizard, with the handlers the test watches.
struct TestWindow {
    explicit TestWindow(Shared& s)
        : form("TestForm"),
          book(plat::WidgetKind::PageControl, &form, "Book"),
          pageA(plat::WidgetKind::Page, &book, "PageA"),
          pageB(plat::WidgetKind::Page, &book, "PageB"),
          autoLabel(plat::WidgetKind::Label, &pageA, "AutoLabel"),
          wrapLabel(plat::WidgetKind::Label, &pageA, "WrapLabel"),
          edit(plat::WidgetKind::Edit, &pageA, "Edit"),
          copyButton(plat::WidgetKind::Button, &pageA, "CopyButton"),
          memo(plat::WidgetKind::Memo, &pageB, "Memo"),
          bevel(plat::WidgetKind::Bevel, &pageB, "Bevel"),
          pathLabel(plat::WidgetKind::Label, &pageB, "PathLabel"),
          bar(plat::WidgetKind::ProgressBar, &pageB, "Bar"),
          backButton(plat::WidgetKind::Button, &form, "BackButton"),
          nextButton(plat::WidgetKind::Button, &form, "NextButton"),
          cancelButton(plat::WidgetKind::Button, &form, "CancelButton") {
        form.SetBounds({0, 0, 450, 355});
        form.SetCaption("テスト");
        form.font = {"ＭＳ Ｐゴシック", plat::kShiftJisCharset, 13};
        form.endsProgram = true;
        book.SetBounds({10, 5, 430, 300});
        book.SetTabOrder(3);
        autoLabel.SetAutoSize(true);
        autoLabel.SetCaption("ソフト名 : ");
        autoLabel.SetBounds({15, 50, 0, 0});
        wrapLabel.SetWordWrap(true);
        wrapLabel.SetCaption("一行目\n\n三行目");
        wrapLabel.SetBounds({10, 12, 400, 59});
        edit.SetBounds({10, 75, 400, 21});
        edit.SetTabOrder(0);
        edit.SetCaption("C:\\Program Files\\Tool");
        copyButton.SetBounds({310, 100, 100, 25});
        copyButton.SetTabOrder(1);
        copyButton.SetCaption("参照(&B)");
        memo.SetBounds({10, 10, 400, 90});
        memo.SetLines({"line1", "line2"});
        bevel.SetBounds({10, 110, 400, 70});
        pathLabel.SetBounds({25, 125, 330, 13});
        bar.SetBounds({25, 140, 370, 20});
        bar.SetRange(0, 100);
        backButton.SetBounds({130, 325, 100, 25});
        backButton.SetCaption("前へ(&P)");
        backButton.SetTabOrder(2);
        backButton.SetEnabled(false);
        nextButton.SetBounds({230, 325, 100, 25});
        nextButton.SetCaption("次へ(&N)");
        nextButton.SetTabOrder(0);
        cancelButton.SetBounds({340, 325, 100, 25});
        cancelButton.SetCaption("中止(&C)");
        cancelButton.SetTabOrder(1);
        book.SetActivePage(&pageA);

        nextButton.OnClick = [this, &s] {
            ++s.clicks;
            book.SetActivePage(&pageB);
            bar.SetPosition(40);
            pathLabel.SetCaption("C:\\a\tb&c\\" + std::string(200, 'x'));
            backButton.SetEnabled(true);
            form.PostUserMessage(plat::kWmUser);
        };
        backButton.OnClick = [this] { book.SetActivePage(&pageA); };
        // Copies what the person typed into the label, which grows with it.
        copyButton.OnClick = [this] { autoLabel.SetCaption("ソフト名 : " + edit.Caption()); };
        cancelButton.OnClick = [this] { form.Close(); };
        form.OnCloseQuery = [&s] {
            ++s.closeQueries;
            return s.allowClose.load();
        };
        form.OnClose = [&s] { ++s.closes; };
        form.OnDestroy = [&s] { ++s.destroys; };
        form.OnUserMessage = [&s](unsigned m) {
            ++s.userMessages;
            s.lastUserMessage = static_cast<int>(m);
        };
    }

    plat::Form form;
    plat::Widget book, pageA, pageB, autoLabel, wrapLabel, edit, copyButton, memo, bevel,
        pathLabel, bar, backButton, nextButton, cancelButton;
};

class UiThread {
public:
    explicit UiThread(std::function<void()> body) : body_(std::move(body)) {
        thread_ = CreateThread(nullptr, 0, &UiThread::Entry, this, 0, nullptr);
    }
    ~UiThread() {
        if (!thread_) return;
        if (!Join(5000)) {
            for (HWND h : e2e::TopWindows(GetCurrentProcessId(), false)) {
                PostMessageA(h, WM_QUIT, 0, 0);
            }
            Join(5000);
        }
        CloseHandle(thread_);
    }
    bool Join(DWORD ms) { return WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }

private:
    static DWORD WINAPI Entry(LPVOID self) {
        static_cast<UiThread*>(self)->body_();
        return 0;
    }
    std::function<void()> body_;
    HANDLE thread_ = nullptr;
};

std::vector<std::string> ChildNames(HWND parent) {
    std::vector<std::string> names;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        names.push_back(e2e::WidgetName(h));
    }
    return names;
}

TEST(WindowLayer, FormMirrorsItsWidgetsAndRoutesTheirEvents) {
    Shared s;
    UiThread ui([&] {
        plat::SetApplicationTitle("Orvane");
        TestWindow w(s);
        w.form.FocusControl(&w.nextButton);
        w.form.Show();
        plat::RunMessageLoop();
        s.loopEnded = true;
    });
    const DWORD pid = GetCurrentProcessId();
    HWND form = e2e::WaitForForm(pid, "TestForm", kWait);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(e2e::ClassOf(form), plat::win32ids::kFormClass);
    EXPECT_EQ(e2e::Text(form), "テスト");
    // One taskbar entry for the program, titled with the application title:
    // the application window that owns the forms.
    HWND app = GetWindow(form, GW_OWNER);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(e2e::ClassOf(app), "OrvaneApp");
    EXPECT_EQ(e2e::Text(app), "Orvane");
    EXPECT_TRUE(e2e::IsVisible(app));
    EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr);

    // A fixed dialog frame with a close box only, its client area scaled.
    LONG style = e2e::Style(form);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT client = e2e::ClientRect(form);
    EXPECT_EQ(client.right, Scaled(450));
    EXPECT_EQ(client.bottom, Scaled(355));
    RECT frame = e2e::ScreenRect(form);
    EXPECT_LE(std::abs((frame.left + frame.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);

    // Tab order among siblings is the order of the windows.
    EXPECT_EQ(ChildNames(form),
              (std::vector<std::string>{"NextButton", "CancelButton", "BackButton", "Book"}));
    HWND next = e2e::FindControl(form, "NextButton");
    HWND back = e2e::FindControl(form, "BackButton");
    HWND pageA = e2e::FindControl(form, "PageA");
    HWND pageB = e2e::FindControl(form, "PageB");
    HWND edit = e2e::FindControl(form, "Edit");
    HWND autoLabel = e2e::FindControl(form, "AutoLabel");
    HWND bar = e2e::FindControl(form, "Bar");
    HWND memo = e2e::FindControl(form, "Memo");
    HWND pathLabel = e2e::FindControl(form, "PathLabel");
    for (HWND h : {next, back, pageA, pageB, edit, autoLabel, bar, memo, pathLabel}) ASSERT_NE(h, nullptr);
    EXPECT_EQ(ChildNames(pageA)[0], "Edit");
    EXPECT_EQ(ChildNames(pageA)[1], "CopyButton");
    EXPECT_EQ(e2e::FocusedWindow(form), next);

    EXPECT_EQ(e2e::Text(next), "次へ(&N)");
    EXPECT_EQ(e2e::Text(edit), "C:\\Program Files\\Tool");
    EXPECT_EQ(e2e::Text(memo), "line1\r\nline2");
    EXPECT_TRUE(e2e::IsVisible(pageA));
    EXPECT_FALSE(e2e::IsVisible(pageB));
    EXPECT_FALSE(e2e::IsEnabled(back));
    EXPECT_TRUE(e2e::Style(edit) & WS_TABSTOP);
    EXPECT_EQ(e2e::Style(pathLabel) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
    EXPECT_EQ(e2e::Style(e2e::FindControl(form, "WrapLabel")) & SS_TYPEMASK, SS_LEFT);
    EXPECT_TRUE(e2e::Style(memo) & ES_READONLY);
    EXPECT_TRUE(e2e::Style(memo) & WS_VSCROLL);

    // The form's font on every control, at the screen's DPI.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA lf = {};
    ASSERT_TRUE(GetObjectA(font, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(lf.lfHeight, -Scaled(13));
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(next, WM_GETFONT, 0, 0)), font);

    // A label sized to its text grows with it.
    int labelWidth = e2e::ClientRect(autoLabel).right;
    EXPECT_GT(labelWidth, 0);
    EXPECT_GT(e2e::ClientRect(autoLabel).bottom, 0);
    e2e::SetEditText(edit, "D:\\Other Folder\\Tool");
    e2e::Click(e2e::FindControl(form, "CopyButton"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::Text(autoLabel) == "ソフト名 : D:\\Other Folder\\Tool"; }, kWait))
        << e2e::Text(autoLabel);
    EXPECT_GT(e2e::ClientRect(autoLabel).right, labelWidth);
    EXPECT_TRUE(e2e::SaveScreenshot(form, e2e::ScreenshotPath("window_layer_pageA.png")));

    // A disabled button does not click; an enabled one runs its handler.
    e2e::Click(back);
    e2e::Click(next);
    ASSERT_TRUE(e2e::WaitUntil([&] { return s.clicks == 1 && s.userMessages == 1; }, kWait));
    EXPECT_EQ(s.lastUserMessage.load(), static_cast<int>(plat::kWmUser));
    EXPECT_FALSE(e2e::IsVisible(pageA));
    EXPECT_TRUE(e2e::IsVisible(pageB));
    EXPECT_TRUE(e2e::IsEnabled(back));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    // The path label keeps its fixed size, whatever its text.
    RECT pl = e2e::ClientRect(pathLabel);
    EXPECT_EQ(pl.right, Scaled(330));
    EXPECT_EQ(pl.bottom, Scaled(13));
    EXPECT_TRUE(e2e::SaveScreenshot(form, e2e::ScreenshotPath("window_layer_pageB.png")));

    // Enter and Tab are the form's own keys: neither may look like a posted
    // program message.
    e2e::PressKey(form, VK_TAB);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FocusedWindow(form) != next; }, kWait));
    EXPECT_EQ(e2e::WidgetName(e2e::FocusedWindow(form)), "CancelButton");
    e2e::PressKey(form, VK_TAB);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WidgetName(e2e::FocusedWindow(form)) == "BackButton"; }, kWait));
    e2e::PressKey(form, VK_RETURN);  // presses Back
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::IsVisible(pageA); }, kWait));
    ASSERT_TRUE(e2e::WaitIdle(form, kWait));  // the keys are handled, whatever they did
    EXPECT_EQ(s.userMessages.load(), 1);

    // The close box asks the close rule: refused, the window stays.
    e2e::PostClose(form);
    ASSERT_TRUE(e2e::WaitUntil([&] { return s.closeQueries == 1; }, kWait));
    ASSERT_TRUE(e2e::WaitIdle(form, kWait));  // the close box's message is handled to its end
    EXPECT_TRUE(IsWindow(form));
    EXPECT_EQ(s.closes.load(), 0);
    EXPECT_FALSE(s.loopEnded.load());

    // Allowed: closed, destroyed, and the loop ends.
    s.allowClose = true;
    e2e::PostClose(form);
    ASSERT_TRUE(ui.Join(kWait));
    EXPECT_EQ(s.closeQueries.load(), 2);
    EXPECT_EQ(s.closes.load(), 1);
    EXPECT_EQ(s.destroys.load(), 1);
    EXPECT_TRUE(s.loopEnded.load());
    EXPECT_FALSE(IsWindow(form));
}

// A memory context drawing into a top-down 32-bit DIB (pixels 0x00RRGGBB).
class Bitmap32 {
public:
    Bitmap32(int width, int height) : width_(width) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Bitmap32() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    bool Ok() const { return dc_ && bits_; }
    uint32_t At(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// A colour of the Windows layout (red in the low byte) as a DIB pixel.
uint32_t Pixel(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

TEST(WindowLayerCanvas, FillsExactlyTheRectInItsColour) {
    Bitmap32 bitmap(40, 30);
    ASSERT_TRUE(bitmap.Ok());
    GdiCanvas canvas(bitmap.Dc(), 40, 30);
    canvas.FillSolid(0, 0, 40, 30, 0x000000);
    struct Fill {
        int left, top, right, bottom;
        uint32_t color;
    };
    // One after the other, as the gradient fills its rows: each in its own colour.
    const Fill fills[] = {
        {0, 0, 40, 1, 0xFF0000},   {0, 1, 40, 2, 0xFE0102},  {5, 10, 15, 12, 0x00FFFF},
        {20, 20, 21, 21, 0x123456}, {0, 29, 40, 30, 0x000001},
    };
    for (const Fill& f : fills) canvas.FillSolid(f.left, f.top, f.right, f.bottom, f.color);
    for (const Fill& f : fills) {
        SCOPED_TRACE(f.color);
        EXPECT_EQ(bitmap.At(f.left, f.top), Pixel(f.color));
        EXPECT_EQ(bitmap.At(f.right - 1, f.bottom - 1), Pixel(f.color));
    }
    // Around a fill the earlier colour stays: right and bottom edges excluded.
    EXPECT_EQ(bitmap.At(15, 10), 0u);
    EXPECT_EQ(bitmap.At(5, 12), 0u);
    EXPECT_EQ(bitmap.At(4, 11), 0u);
    EXPECT_EQ(bitmap.At(0, 2), 0u);
}

TEST(WindowLayerCanvas, EachFontIsMadeOnceAndTheContextGetsItsFontBack) {
    Bitmap32 bitmap(8, 8);
    ASSERT_TRUE(bitmap.Ok());
    HGDIOBJ own = GetCurrentObject(bitmap.Dc(), OBJ_FONT);
    HGDIOBJ big = nullptr, small = nullptr;
    {
        GdiCanvas canvas(bitmap.Dc(), 8, 8);
        canvas.SelectFont("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET, 43);
        big = GetCurrentObject(bitmap.Dc(), OBJ_FONT);
        canvas.SelectFont("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET, 21);
        small = GetCurrentObject(bitmap.Dc(), OBJ_FONT);
        EXPECT_NE(big, own);
        EXPECT_NE(small, big);
        LOGFONTA lf = {};
        ASSERT_TRUE(GetObjectA(small, sizeof lf, &lf));
        EXPECT_EQ(lf.lfHeight, -21);
        EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_STREQ(lf.lfFaceName, "ＭＳ Ｐゴシック");

        // Selected again: the font made before, not a new one.
        canvas.SelectFont("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET, 43);
        EXPECT_EQ(GetCurrentObject(bitmap.Dc(), OBJ_FONT), big);
        canvas.SelectFont("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET, 21);
        EXPECT_EQ(GetCurrentObject(bitmap.Dc(), OBJ_FONT), small);
        // Another face or character set is another font.
        canvas.SelectFont("ＭＳ ゴシック", SHIFTJIS_CHARSET, 21);
        EXPECT_NE(GetCurrentObject(bitmap.Dc(), OBJ_FONT), small);
        canvas.SelectFont("ＭＳ Ｐゴシック", ANSI_CHARSET, 21);
        EXPECT_NE(GetCurrentObject(bitmap.Dc(), OBJ_FONT), small);
        // The texts are measured in the font selected last.
        canvas.SelectFont("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET, 43);
        plat::Size bigText = canvas.TextExtent("ソフト");
        canvas.SelectFont("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET, 21);
        plat::Size smallText = canvas.TextExtent("ソフト");
        EXPECT_GT(bigText.cx, smallText.cx);
        EXPECT_GT(bigText.cy, smallText.cy);
    }
    // The canvas is gone: the context's own font is back, the canvas's fonts
    // are deleted.
    EXPECT_EQ(GetCurrentObject(bitmap.Dc(), OBJ_FONT), own);
    EXPECT_EQ(GetObjectType(big), 0u);
    EXPECT_EQ(GetObjectType(small), 0u);
}

// With pages on demand a hidden page has no window, nor have its controls,
// until it is first shown; then they come with the state they were given.
TEST(WindowLayer, PagesOnDemandComeWhenFirstShownWithTheirState) {
    Shared s;
    UiThread ui([&] {
        plat::SetApplicationTitle("Orvane");
        TestWindow w(s);
        w.form.pagesOnDemand = true;
        w.form.FocusControl(&w.nextButton);
        w.form.Show();
        plat::RunMessageLoop();
        s.loopEnded = true;
    });
    HWND form = e2e::WaitForForm(GetCurrentProcessId(), "TestForm", kWait);
    ASSERT_NE(form, nullptr);
    // The shown page is whole; the other one is not there yet.
    for (const char* name : {"PageA", "Edit", "AutoLabel", "WrapLabel", "CopyButton", "Book", "NextButton"}) {
        EXPECT_NE(e2e::FindControl(form, name), nullptr) << name;
    }
    for (const char* name : {"PageB", "Memo", "Bevel", "PathLabel", "Bar"}) {
        EXPECT_EQ(e2e::FindControl(form, name), nullptr) << name;
    }
    EXPECT_EQ(e2e::Text(e2e::FindControl(form, "Edit")), "C:\\Program Files\\Tool");
    EXPECT_GT(e2e::ClientRect(e2e::FindControl(form, "AutoLabel")).right, 0);

    // Next shows page B: it comes with its controls, as they were set while
    // it had no window and as the click set them.
    e2e::Click(e2e::FindControl(form, "NextButton"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return s.userMessages == 1; }, kWait));
    HWND pageA = e2e::FindControl(form, "PageA");
    HWND pageB = e2e::FindControl(form, "PageB");
    ASSERT_NE(pageB, nullptr);
    EXPECT_TRUE(e2e::IsVisible(pageB));
    EXPECT_FALSE(e2e::IsVisible(pageA));
    EXPECT_EQ(e2e::ClientRect(pageB).right, e2e::ClientRect(e2e::FindControl(form, "Book")).right);
    EXPECT_EQ((std::vector<std::string>{"Memo", "Bevel", "PathLabel", "Bar"}), ChildNames(pageB));
    HWND memo = e2e::FindControl(form, "Memo");
    HWND bar = e2e::FindControl(form, "Bar");
    HWND pathLabel = e2e::FindControl(form, "PathLabel");
    for (HWND h : {memo, bar, pathLabel}) ASSERT_NE(h, nullptr);
    EXPECT_EQ(e2e::Text(memo), "line1\r\nline2");
    EXPECT_TRUE(e2e::Style(memo) & ES_READONLY);
    EXPECT_TRUE(e2e::IsVisible(memo));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(e2e::Text(pathLabel), "C:\\a\tb&c\\" + std::string(200, 'x'));
    RECT pl = e2e::ClientRect(pathLabel);
    EXPECT_EQ(pl.right, Scaled(330));
    EXPECT_EQ(pl.bottom, Scaled(13));
    HWND edit = e2e::FindControl(form, "Edit");
    EXPECT_EQ(SendMessageA(memo, WM_GETFONT, 0, 0), SendMessageA(edit, WM_GETFONT, 0, 0));

    // Back again: page B is hidden, not destroyed.
    e2e::Click(e2e::FindControl(form, "BackButton"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::IsVisible(pageA); }, kWait));
    EXPECT_EQ(e2e::FindControl(form, "PageB"), pageB);
    EXPECT_FALSE(e2e::IsVisible(pageB));

    s.allowClose = true;
    e2e::PostClose(form);
    ASSERT_TRUE(ui.Join(kWait));
    EXPECT_TRUE(s.loopEnded.load());
}

// A form that paints itself is painted once: what uncovers it later is drawn
// from that picture, and only Invalidate has it painted afresh.
TEST(WindowLayer, AFormThatPaintsItselfPaintsOnceUntilInvalidated) {
    std::atomic<int> paints{0};
    std::atomic<uint32_t> colour{0x0000FF};  // red
    std::atomic<DWORD> uiThread{0};
    UiThread ui([&] {
        uiThread = GetCurrentThreadId();
        plat::Form back("PictureForm");
        back.frame = plat::FormFrame::Borderless;
        back.takesInput = false;
        back.centred = false;
        back.SetBounds({40, 30, 200, 100});
        back.OnPaint = [&](plat::Canvas& c) {
            ++paints;
            plat::Size size = c.ClientSize();
            c.FillSolid(0, 0, size.cx, size.cy / 2, colour);
            c.FillSolid(0, size.cy / 2, size.cx, size.cy, 0x00FF00);  // green
        };
        back.Show();
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) {
            if (m.message == WM_APP) break;
            if (m.message == WM_APP + 1) {
                colour = 0xFF0000;  // blue
                back.Invalidate();
            }
            DispatchMessageA(&m);
        }
        back.Destroy();
    });
    HWND back = e2e::WaitForForm(GetCurrentProcessId(), "PictureForm", kWait);
    ASSERT_NE(back, nullptr);
    auto pixel = [](int x, int y) {
        HDC screen = GetDC(nullptr);
        COLORREF px = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        return px;
    };
    ASSERT_TRUE(e2e::WaitUntil([&] { return paints == 1 && pixel(140, 40) == RGB(255, 0, 0); }, kWait));
    EXPECT_EQ(pixel(140, 120), RGB(0, 255, 0));

    // Uncovered from outside: drawn again from the picture, without painting.
    ASSERT_TRUE(RedrawWindow(back, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW));
    ASSERT_TRUE(e2e::WaitIdle(back, kWait));
    EXPECT_EQ(paints.load(), 1);
    EXPECT_EQ(pixel(140, 40), RGB(255, 0, 0));
    EXPECT_EQ(pixel(140, 120), RGB(0, 255, 0));

    // Invalidate: painted afresh, with what the form shows now.
    PostThreadMessageA(uiThread, WM_APP + 1, 0, 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return paints == 2 && pixel(140, 40) == RGB(0, 0, 255); }, kWait));
    EXPECT_EQ(pixel(140, 120), RGB(0, 255, 0));

    PostThreadMessageA(uiThread, WM_APP, 0, 0);
    EXPECT_TRUE(ui.Join(kWait));
}

TEST(WindowLayer, BorderlessFormPaintsAtDevicePixelsAndTakesNoInput) {
    std::atomic<bool> done{false};
    std::atomic<int> paints{0};
    std::atomic<DWORD> uiThread{0};
    UiThread ui([&] {
        uiThread = GetCurrentThreadId();
        plat::Form back("BackForm");
        back.frame = plat::FormFrame::Borderless;
        back.takesInput = false;
        back.centred = false;
        back.SetBounds({40, 30, 200, 100});
        back.OnPaint = [&](plat::Canvas& c) {
            ++paints;
            plat::Size size = c.ClientSize();
            c.FillSolid(0, 0, size.cx, size.cy, 0x0000FF);  // red
        };
        plat::Form front("FrontForm");
        front.SetBounds({0, 0, 100, 50});
        front.endsProgram = true;
        back.Show();
        front.Show();
        MSG m;
        while (!done && GetMessageA(&m, nullptr, 0, 0) > 0) {
            DispatchMessageA(&m);
            if (m.message == WM_APP) break;
        }
        back.Destroy();
        front.Destroy();
    });
    const DWORD pid = GetCurrentProcessId();
    HWND back = e2e::WaitForForm(pid, "BackForm", kWait);
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return paints > 0; }, kWait));
    RECT r = e2e::ScreenRect(back);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 200);  // not scaled
    EXPECT_EQ(r.bottom - r.top, 100);
    EXPECT_TRUE(e2e::Style(back) & WS_DISABLED);
    EXPECT_FALSE(e2e::Style(back) & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongA(back, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    HWND front = e2e::WaitForForm(pid, "FrontForm", kWait);
    ASSERT_NE(front, nullptr);
    EXPECT_NE(GetForegroundWindow(), back);
    HDC screen = GetDC(nullptr);
    COLORREF px = GetPixel(screen, 40 + 100, 30 + 50);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(px, RGB(255, 0, 0));
    done = true;
    PostThreadMessageA(uiThread, WM_APP, 0, 0);
    EXPECT_TRUE(ui.Join(kWait));
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
