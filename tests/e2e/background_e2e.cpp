// The background window behind the real install wizard: a screenshot of the
// screen must show the blue-to-black gradient in rows away from the titles
// and the wizard, and yellow title pixels (over a black shadow) where the
// product's name is drawn. The screenshot is kept under the build tree.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/Driver.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kPaintTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 30000;

const char* const kIni =
    "[Project Property]\r\n"
    "Copyright=(C) Orvane Works\r\n"
    "InstallMode=0\r\n"
    "Name1=Orvane Background\r\n"
    "Name2=グラデーションの確認\r\n"
    "ProjectLocation=\r\n"
    "ProjectMakeMode=0\r\n"
    "Version=1.00\r\n"
    "\r\n"
    "[Information]\r\n"
    "line0000=背景ウィンドウの確認\r\n"
    "\r\n"
    "[Message]\r\n"
    "MessageDisp=0\r\n"
    "\r\n"
    "[Lisence]\r\n"
    "LisenceUse=0\r\n"
    "\r\n"
    "[Copy File]\r\n"
    "DirectorySwitch=0\r\n"
    "InitDirectory=0\r\n"
    "SubDirectory=OrvaneBackgroundE2E\r\n"
    "\r\n"
    "[UnInstall Property]\r\n"
    "UnInstallDialog=0\r\n"
    "UnInstallKey=OrvaneBackgroundE2E\r\n"
    "UnInstallName=Orvane Background\r\n";

// The screen's pixels, top-down, as 0x00RRGGBB.
struct Screen {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    static int Red(uint32_t p) { return (p >> 16) & 0xFF; }
    static int Green(uint32_t p) { return (p >> 8) & 0xFF; }
    static int Blue(uint32_t p) { return p & 0xFF; }
};

// BitBlt of the desktop's device context into a 32-bit DIB.
bool CaptureScreen(Screen& out) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    bool ok = false;
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (mem && bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        if (BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY)) {
            GdiFlush();
            const uint32_t* src = static_cast<const uint32_t*>(bits);
            out.width = w;
            out.height = h;
            out.pixels.assign(src, src + static_cast<size_t>(w) * h);
            for (uint32_t& p : out.pixels) p &= 0x00FFFFFF;
            ok = true;
        }
        SelectObject(mem, old);
    }
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SavePng(const Screen& s, const std::string& path) {
    const size_t slash = path.find_last_of('\\');  // ASCII build paths only
    if (slash != std::string::npos && !e2e::MakeFolders(path.substr(0, slash))) return false;
    std::vector<uint8_t> rgb;
    rgb.reserve(s.pixels.size() * 3);
    for (uint32_t p : s.pixels) {
        rgb.push_back(static_cast<uint8_t>(Screen::Red(p)));
        rgb.push_back(static_cast<uint8_t>(Screen::Green(p)));
        rgb.push_back(static_cast<uint8_t>(Screen::Blue(p)));
    }
    return e2e::WritePng(path, s.width, s.height, rgb);
}

// The blue of a row: t = (row + 1) / H in single precision, 255 * (1 - t)
// rounded half to even (the wizard's colours, blue over black).
int ExpectedBlue(int row, int height) {
    volatile float t = static_cast<float>(static_cast<double>(row + 1) / height);
    double value = (1.0 - static_cast<double>(t)) * 255.0;
    double lower = std::floor(value);
    double fraction = value - lower;
    int blue = static_cast<int>(lower);
    if (fraction > 0.5 || (fraction == 0.5 && (blue % 2) != 0)) ++blue;
    return blue;
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

struct Mismatches {
    int count = 0;
    std::ostringstream first;
    void Add(int x, int y, uint32_t got, int blue) {
        if (count++ < 8) {
            first << " (" << x << "," << y << ") got #" << std::hex << got << std::dec << " want blue "
                  << blue << ";";
        }
    }
};

class BackgroundE2E : public ::testing::Test {
protected:
    void TearDown() override {
        if (setup.Running()) setup.Kill();
    }
    e2e::ChildProcess setup;
};

TEST_F(BackgroundE2E, GradientAndTitlesBehindTheWizard) {
    const std::string folder = e2e::MakeProjectFolder("background", kIni);
    ASSERT_FALSE(folder.empty()) << "could not prepare the project folder from " << e2e::SetupExePath();
    std::string error;
    ASSERT_TRUE(setup.Start(folder + "\\Setup.exe", folder, "", &error)) << error;

    HWND wizard = e2e::WaitForForm(setup.Id(), "SetupMainForm", kStartTimeoutMs);
    ASSERT_NE(wizard, nullptr) << "the wizard window did not appear";
    HWND background = e2e::WaitForForm(setup.Id(), "BackGroundForm", kStartTimeoutMs);
    ASSERT_NE(background, nullptr) << "the background window did not appear";

    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    // Borderless, disabled, covering the primary screen.
    const RECT frame = e2e::ScreenRect(background);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, screenW);
    EXPECT_EQ(frame.bottom, screenH);
    EXPECT_EQ(e2e::Style(background) & WS_CAPTION, 0);
    EXPECT_EQ(e2e::Style(background) & WS_THICKFRAME, 0);
    EXPECT_FALSE(e2e::IsEnabled(background));
    const RECT client = e2e::ClientRect(background);
    EXPECT_EQ(client.right - client.left, screenW);
    EXPECT_EQ(client.bottom - client.top, screenH);

    RECT wizardRect = e2e::ScreenRect(wizard);
    InflateRect(&wizardRect, 2, 2);

    // Wait for the first paint: the top row blue, the bottom row black.
    Screen shot;
    const bool painted = e2e::WaitUntil(
        [&] {
            if (!CaptureScreen(shot)) return false;
            return shot.At(2, 2) == static_cast<uint32_t>(ExpectedBlue(2, screenH)) &&
                   shot.At(2, screenH - 1) == 0u;
        },
        kPaintTimeoutMs, 100);
    ASSERT_FALSE(shot.pixels.empty()) << "the screen could not be captured";
    const std::string png = e2e::ScreenshotPath("background.png");
    EXPECT_TRUE(SavePng(shot, png)) << png;
    ASSERT_TRUE(painted) << "the gradient did not appear; screenshot " << png;
    std::printf("screen %dx%d, screenshot %s\n", screenW, screenH, png.c_str());

    if (screenH == 768) {
        // The rows the gradient gives on a screen 768 pixels high.
        const int top[] = {255, 254, 254, 254, 253};
        for (int row = 0; row < 5; ++row) EXPECT_EQ(shot.At(1, row), static_cast<uint32_t>(top[row]));
        EXPECT_EQ(shot.At(1, 765), 1u);
        EXPECT_EQ(shot.At(1, 766), 0u);
        EXPECT_EQ(shot.At(1, 767), 0u);
    }

    // Whole rows above the titles, between the second name line and the
    // copyright, and below the copyright; the wizard's frame is left out.
    std::vector<int> rows;
    for (int y = 0; y < 28; ++y) rows.push_back(y);
    for (int y = 160; y < screenH - 90; y += 37) rows.push_back(y);
    for (int y = screenH - 24; y < screenH; ++y) rows.push_back(y);
    Mismatches rowMismatches;
    int rowPixels = 0;
    for (int y : rows) {
        const int blue = ExpectedBlue(y, screenH);
        for (int x = 0; x < screenW; ++x) {
            if (Inside(wizardRect, x, y)) continue;
            ++rowPixels;
            if (shot.At(x, y) != static_cast<uint32_t>(blue)) rowMismatches.Add(x, y, shot.At(x, y), blue);
        }
    }
    EXPECT_EQ(rowMismatches.count, 0) << "of " << rowPixels << " pixels:" << rowMismatches.first.str();

    // The left strip of every row: the titles start at X = 32.
    Mismatches stripMismatches;
    for (int y = 0; y < screenH; ++y) {
        const int blue = ExpectedBlue(y, screenH);
        for (int x = 0; x < 24; ++x) {
            if (Inside(wizardRect, x, y)) continue;
            if (shot.At(x, y) != static_cast<uint32_t>(blue)) stripMismatches.Add(x, y, shot.At(x, y), blue);
        }
    }
    EXPECT_EQ(stripMismatches.count, 0) << stripMismatches.first.str();

    // The product's name at (32, 32), 43 pixels high at 96 dpi: yellow glyphs
    // over a black shadow, the gradient between the letters.
    int yellow = 0, shadow = 0, gradient = 0;
    for (int y = 32; y < 32 + 64 && y < screenH; ++y) {
        for (int x = 32; x < 32 + 480 && x < screenW; ++x) {
            if (Inside(wizardRect, x, y)) continue;
            uint32_t p = shot.At(x, y);
            int r = Screen::Red(p), g = Screen::Green(p), b = Screen::Blue(p);
            if (r >= 240 && g >= 240 && b <= 40) ++yellow;
            else if (r <= 16 && g <= 16 && b <= 16) ++shadow;
            else if (p == static_cast<uint32_t>(ExpectedBlue(y, screenH))) ++gradient;
        }
    }
    std::printf("name area: %d yellow, %d shadow, %d gradient pixels\n", yellow, shadow, gradient);
    EXPECT_GE(yellow, 300);
    EXPECT_GE(shadow, 100);
    EXPECT_GE(gradient, 1000);  // a transparent background: the gradient shows through

    // Close as a person would: the close box, then "はい(&Y)" to stop the installation.
    e2e::PostClose(wizard);
    HWND question = e2e::WaitForDialog(setup.Id(), 10000);
    ASSERT_NE(question, nullptr) << "no question on closing the wizard";
    e2e::MessageDialog dialog;
    ASSERT_TRUE(e2e::ReadMessageDialog(question, dialog));
    EXPECT_EQ(dialog.caption, "警告");
    ASSERT_TRUE(e2e::PressDialogButton(question, "はい(&Y)"));
    // Closing the wizard destroys the background window, and the program ends.
    EXPECT_TRUE(e2e::WaitGone(background, 10000));
    DWORD exitCode = 1;
    ASSERT_TRUE(setup.WaitExit(kExitTimeoutMs, exitCode)) << "Setup.exe did not end";
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
