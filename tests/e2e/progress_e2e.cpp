// The progress page's per-item update on real windows: a form laid out like
// the wizard's progress page is stepped through as a run steps it, on this
// thread, and its controls are watched through subclassed window procedures.
// The bar's control gets a position only when it would draw it differently,
// and always ends exact; a label is not sent a text it already shows; nothing but
// the label and the bar paints per item.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "support/Driver.h"

namespace {

struct Counts {
    int setPos = 0, setRange = 0, setText = 0;
    int formPaints = 0, pagePaints = 0, bevelDraws = 0;
};

Counts g;
WNDPROC gBarProc, gLabelProc, gFormProc, gPageProc;

LRESULT CALLBACK CountBar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == PBM_SETPOS) ++g.setPos;
    if (msg == PBM_SETRANGE32 || msg == PBM_SETRANGE) ++g.setRange;
    return CallWindowProcA(gBarProc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK CountLabel(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT) ++g.setText;
    return CallWindowProcA(gLabelProc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK CountForm(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT || msg == WM_ERASEBKGND) ++g.formPaints;
    if (msg == WM_DRAWITEM) ++g.bevelDraws;
    return CallWindowProcA(gFormProc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK CountPage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT || msg == WM_ERASEBKGND) ++g.pagePaints;
    return CallWindowProcA(gPageProc, hwnd, msg, wp, lp);
}

WNDPROC Subclass(HWND hwnd, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

HWND H(const plat::Widget& w) { return static_cast<HWND>(w.native); }

int ControlPos(const plat::Widget& bar) {
    return static_cast<int>(SendMessageA(H(bar), PBM_GETPOS, 0, 0));
}

int ControlMax(const plat::Widget& bar) {
    return static_cast<int>(SendMessageA(H(bar), PBM_GETRANGE, FALSE, 0));
}

// A progress bar control's client area as the control draws it now
// (WM_PRINTCLIENT into a 32-bit bitmap), to compare drawings pixel by pixel.
class BarPicture {
public:
    explicit BarPicture(HWND bar) : bar_(bar) {
        GetClientRect(bar, &r_);
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = r_.right;
        bi.bmiHeader.biHeight = -r_.bottom;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        dib_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, dib_);
    }
    ~BarPicture() {
        SelectObject(dc_, old_);
        DeleteObject(dib_);
        DeleteDC(dc_);
    }
    BarPicture(const BarPicture&) = delete;
    BarPicture& operator=(const BarPicture&) = delete;

    std::vector<uint32_t> Take() {
        std::vector<uint32_t> none;
        if (!bits_) return none;
        SendMessageA(bar_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
        const uint32_t* p = static_cast<const uint32_t*>(bits_);
        return std::vector<uint32_t>(p, p + r_.right * r_.bottom);
    }

private:
    HWND bar_;
    RECT r_ = {};
    HDC dc_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// Lets the window system finish what the form started: its messages are
// handled until none is left and the screen under it has stopped changing
// (two captures a frame apart agree; the screen receives a window's last
// drawing while its thread waits).
void PumpUntilSettled(HWND window, DWORD timeoutMs = 10000) {
    RECT r = {};
    GetWindowRect(window, &r);
    std::vector<uint8_t> before, now;
    const DWORD start = GetTickCount();
    MSG m;
    for (;;) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (GetTickCount() - start > timeoutMs) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) continue;
        if (e2e::CaptureScreenRect(r, now) && now == before) return;
        before.swap(now);
    }
}

class ProgressPage : public ::testing::Test {
protected:
    ProgressPage()
        : form("ProgressForm"),
          book(plat::WidgetKind::PageControl, &form, "Book"),
          page(plat::WidgetKind::Page, &book, "CopyProcessSheet"),
          bevel(plat::WidgetKind::Bevel, &page, "Bevel"),
          label(plat::WidgetKind::Label, &page, "CopyFileLabel"),
          bar(plat::WidgetKind::ProgressBar, &page, "FileCopyBar") {
        form.SetBounds({0, 0, 450, 355});
        form.SetCaption("進行");
        form.font = {"ＭＳ Ｐゴシック", plat::kShiftJisCharset, 13};
        book.SetBounds({10, 5, 430, 300});
        bevel.SetBounds({10, 110, 400, 70});
        label.SetBounds({25, 125, 330, 13});
        bar.SetBounds({25, 140, 370, 20});
        book.SetActivePage(&page);
    }

    void SetUp() override {
        form.Show();
        ASSERT_NE(H(form), nullptr);
        ASSERT_NE(H(bar), nullptr);
        gBarProc = Subclass(H(bar), CountBar);
        gLabelProc = Subclass(H(label), CountLabel);
        gFormProc = Subclass(H(form), CountForm);
        gPageProc = Subclass(H(page), CountPage);
        PumpUntilSettled(H(form));
        g = Counts();
    }

    void TearDown() override {
        Subclass(H(bar), gBarProc);
        Subclass(H(label), gLabelProc);
        Subclass(H(form), gFormProc);
        Subclass(H(page), gPageProc);
    }

    // One item as a run shows it: the path, one step, the repaint.
    void Step(const std::string& path) {
        label.SetCaption(path);
        bar.SetPosition(bar.Position() + 1);
        form.Repaint();
    }

    // A run of 2000 items compared with a twin control sent every position.
    void RunManyItems();

    plat::Form form;
    plat::Widget book, page, bevel, label, bar;
};

// After every item the bar looks exactly as a control sent every position
// would look (a hidden twin of the same size is), and the bar was sent little
// more than the positions that change the twin's drawing.
void ProgressPage::RunManyItems() {
    constexpr int kItems = 2000;
    bar.SetRange(0, kItems);
    bar.SetPosition(0);
    const RECT client = e2e::ClientRect(H(bar));
    ASSERT_GT(client.right, 0);
    ASSERT_LT(client.right, kItems);
    const RECT outer = e2e::ScreenRect(H(bar));
    HWND twin = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, outer.right - outer.left,
                                outer.bottom - outer.top, H(page), nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_NE(twin, nullptr);
    ASSERT_EQ(e2e::ClientRect(twin).right, client.right);
    ASSERT_EQ(e2e::ClientRect(twin).bottom, client.bottom);
    SendMessageA(twin, PBM_SETRANGE32, 0, kItems);
    SendMessageA(twin, PBM_SETPOS, 0, 0);
    BarPicture shown(H(bar)), exact(twin);
    ASSERT_EQ(shown.Take(), exact.Take());

    g = Counts();
    int wrong = 0, firstWrong = -1, twinChanges = 0;
    std::vector<uint32_t> twinBefore = exact.Take();
    std::string last;
    // One step more than the maximum, as the installation run makes.
    for (int i = 0; i <= kItems; ++i) {
        last = "C:\\Program Files\\ソフト\\dir" + std::to_string(i / 100) + "\\file" +
               std::to_string(i) + ".bin";
        Step(last);
        SendMessageA(twin, PBM_SETPOS, bar.Position(), 0);
        std::vector<uint32_t> twinNow = exact.Take();
        if (twinNow != twinBefore) ++twinChanges;
        if (shown.Take() != twinNow) {
            if (firstWrong < 0) firstWrong = i;
            ++wrong;
        }
        twinBefore = std::move(twinNow);
        ASSERT_EQ(e2e::Text(H(label)), last) << "item " << i;
    }
    DestroyWindow(twin);
    EXPECT_EQ(wrong, 0) << "first at item " << firstWrong;
    EXPECT_EQ(bar.Position(), kItems);  // the widget counts every step
    EXPECT_EQ(ControlPos(bar), kItems);
    EXPECT_EQ(ControlMax(bar), kItems);
    EXPECT_EQ(g.setRange, 0);
    std::printf("bar: %d positions sent for %d drawing changes over %d items\n", g.setPos,
                twinChanges, kItems + 1);
    EXPECT_GT(twinChanges, 0);
    EXPECT_GE(g.setPos, twinChanges);
    EXPECT_LE(g.setPos, twinChanges + 2);  // and the exact end
    EXPECT_EQ(g.setText, kItems + 1);
    // Per item only the label and the bar draw: no frame, page or form.
    EXPECT_EQ(g.formPaints, 0);
    EXPECT_EQ(g.pagePaints, 0);
    EXPECT_EQ(g.bevelDraws, 0);
    PumpUntilSettled(H(form));
    EXPECT_TRUE(e2e::SaveScreenshot(H(form), e2e::ScreenshotPath("progress_full.png")));
}

TEST_F(ProgressPage, ARunOfManyItemsLooksExactAndSendsOnlyVisibleChanges) { RunManyItems(); }

TEST_F(ProgressPage, RangeAndPositionChangesReachTheControl) {
    bar.SetRange(0, 10);
    EXPECT_EQ(ControlMax(bar), 10);
    const int ranges = g.setRange;
    bar.SetRange(0, 10);
    EXPECT_EQ(g.setRange, ranges);  // an unchanged range is not sent again

    for (int p : {1, 5, 9, 10, 0, 3}) {
        bar.SetPosition(p);
        EXPECT_EQ(ControlPos(bar), p) << p;  // each of ten steps moves the fill
    }
    // A smaller range clamps the position in the widget and in the control.
    bar.SetPosition(10);
    bar.SetRange(0, 4);
    EXPECT_EQ(bar.Position(), 4);
    EXPECT_EQ(ControlMax(bar), 4);
    EXPECT_EQ(ControlPos(bar), 4);

    // A step too small to fill another pixel waits; the ends are always exact.
    bar.SetRange(0, 100000);
    bar.SetPosition(0);
    EXPECT_EQ(ControlPos(bar), 0);
    bar.SetPosition(1);
    EXPECT_EQ(bar.Position(), 1);
    EXPECT_EQ(ControlPos(bar), 0);
    // Another width fills other pixels: the control then gets the exact position.
    bar.SetBounds({25, 140, 300, 20});
    EXPECT_EQ(ControlPos(bar), 1);
    bar.SetPosition(100000);
    EXPECT_EQ(ControlPos(bar), 100000);
    // One step back from full: the bar looks as the exact position would.
    bar.SetPosition(99999);
    {
        BarPicture picture(H(bar));
        std::vector<uint32_t> shown = picture.Take();
        SendMessageA(H(bar), PBM_SETPOS, 99999, 0);
        EXPECT_EQ(picture.Take(), shown);
    }
    bar.SetPosition(0);
    EXPECT_EQ(ControlPos(bar), 0);
}

TEST_F(ProgressPage, ALabelIsNotSentTheTextItShows) {
    const std::string path = "C:\\ソフト\\表示.txt";  // ソ and 表 end in 0x5C
    label.SetCaption(path);
    EXPECT_EQ(g.setText, 1);
    label.SetCaption(path);
    form.Repaint();
    EXPECT_EQ(g.setText, 1);
    EXPECT_EQ(e2e::Text(H(label)), path);
    label.SetCaption(path + "x");
    EXPECT_EQ(g.setText, 2);
    EXPECT_EQ(e2e::Text(H(label)), path + "x");
    label.SetCaption("");
    EXPECT_EQ(g.setText, 3);
    EXPECT_EQ(e2e::Text(H(label)), "");
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
