// The real Setup.exe under Wine, worked as a person would: the wizard's pages
// walked forwards and backwards, its questions answered, its start-up
// failures and its uninstall-mode window looked at. Screenshots of every page
// go to <build>\e2e-screenshots.
//
// Run with "--walk <Setup.exe> <screenshot folder>" it is the demo's headless
// walker instead: it starts that program, presses Next up to the copy-start
// page saving a PNG of every page, then cancels and prints the PNG paths.
// With "--pictures <Setup.exe> <folder>" it makes the README's pictures: a
// whole installation and uninstallation, every screen a user sees.
// "--install <Setup.exe>" installs a package the same way, without pictures,
// and prints the installation folder; "--uninstall <installed Setup.exe>"
// uninstalls it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/Driver.h"
#include "tests/support/ProjectText.h"

namespace {

constexpr DWORD kWindowTimeout = 30000;
constexpr DWORD kStepTimeout = 10000;
constexpr DWORD kExitTimeout = 30000;

// The driver's project: its texts, the folder taken as written, and an
// uninstall registration of its own.
struct Project : support::ProjectSpec {
    Project() {
        initDirectory = 1;
        name1 = "E2Eテストソフト";
        name2 = "検証用";
        version = "1.02";
        copyright = "(C) 2024 Orvane";
        information = {"これは案内です。", "二行目です。"};
        displayMessage = {"お知らせの本文です。"};
        lisenceMessage = {"使用許諾契約書", "第一条 本ソフトは検証用です。"};
        unInstallName = "E2Eテストソフト";
        unInstallKey = "OrvaneE2E";
    }
};

std::string IniText(const Project& p) { return support::ProjectText(p); }

void DeleteUninstallKey(const std::string& name) {
    std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
}

// What a page shows on the three buttons and the hint line.
struct PageLook {
    const char* page;
    const char* next;
    const char* cancel;
    const char* hint;
    bool backEnabled, nextEnabled, cancelEnabled;
};

class WizardRun {
public:
    ~WizardRun() {
        DWORD code = 0;
        if (process.Running()) process.WaitExit(0, code);  // kills what a failed test left
        if (!tag_.empty()) e2e::RemoveTree(OnDriveC());
    }

    // Starts Setup.exe from a fresh project folder and waits for the wizard.
    // The installation folder, and an installed copy's own folder, lie on
    // drive C: Wine cannot tell the access rules of the build tree's drive
    // (Z:), and the installer and the uninstaller refuse such a folder.
    bool Launch(const std::string& tag, const Project& project, bool waitForForm = true) {
        tag_ = tag;
        e2e::RemoveTree(OnDriveC());
        if (project.installMode != 0) {
            folder = OnDriveC();
            if (!e2e::MakeFolders(folder) ||
                !CopyFileA(e2e::SetupExePath().c_str(), (folder + "\\Setup.exe").c_str(), FALSE)) {
                return false;
            }
        } else {
            folder = e2e::MakeProjectFolder(tag, "");
        }
        if (folder.empty()) return false;
        Project p = project;
        if (p.subDirectory.empty()) p.subDirectory = OnDriveC();
        installFolder = p.subDirectory;
        if (!e2e::WriteFileBytes(folder + "\\Setup.ini", IniText(p))) return false;
        std::string error;
        if (!process.Start(folder + "\\Setup.exe", folder, "", &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        if (!waitForForm) return true;
        form = e2e::WaitForForm(process.Id(), "SetupMainForm", kWindowTimeout);
        return form != nullptr;
    }

    HWND Control(const char* name) const { return e2e::FindControl(form, name); }
    std::string TextOf(const char* name) const { return e2e::Text(Control(name)); }

    bool WaitForPage(const char* page) const {
        return e2e::WaitUntil(
            [&] {
                HWND h = Control(page);
                return h && e2e::IsVisible(h);
            },
            kStepTimeout);
    }

    void ExpectLook(const PageLook& look) const {
        SCOPED_TRACE(look.page);
        ASSERT_TRUE(WaitForPage(look.page));
        // Only the active page is visible.
        for (const char* other : {"StartSheet", "LisenceSheet", "MessageSheet", "LocationSheet",
                                  "CopyStartSheet", "CopyProcessSheet", "EndSheet"}) {
            if (std::string(other) != look.page) {
                HWND h = Control(other);
                EXPECT_TRUE(!h || !e2e::IsVisible(h)) << other << " is visible too";
            }
        }
        EXPECT_EQ(TextOf("NextButton"), look.next);
        EXPECT_EQ(TextOf("CancelButton"), look.cancel);
        EXPECT_EQ(TextOf("NextLabel"), look.hint);
        EXPECT_EQ(TextOf("BackButton"), "前へ(&P)");
        EXPECT_EQ(e2e::IsEnabled(Control("BackButton")), look.backEnabled);
        EXPECT_EQ(e2e::IsEnabled(Control("NextButton")), look.nextEnabled);
        EXPECT_EQ(e2e::IsEnabled(Control("CancelButton")), look.cancelEnabled);
        EXPECT_TRUE(e2e::IsVisible(Control("BackButton")));
        EXPECT_TRUE(e2e::IsVisible(Control("NextButton")));
    }

    // Presses a button and waits until the wizard shows the page.
    void PressTo(const char* button, const char* page) {
        e2e::Click(Control(button));
        ASSERT_TRUE(WaitForPage(page)) << "after " << button;
    }

    void Shot(const std::string& name) {
        std::string path = e2e::ScreenshotPath("wizard-" + tag_ + "-" + name + ".png");
        EXPECT_TRUE(e2e::SaveScreenshot(form, path)) << path;
    }
    void ScreenShot(const std::string& name) {
        std::string path = e2e::ScreenshotPath("wizard-" + tag_ + "-" + name + ".png");
        EXPECT_TRUE(e2e::SaveScreenshot(nullptr, path)) << path;
    }

    // The next message dialog of the program.
    bool NextDialog(e2e::MessageDialog& dialog) {
        HWND h = e2e::WaitForDialog(process.Id(), kStepTimeout);
        if (!h) return false;
        // Its controls are there once it is visible; give its text a moment.
        e2e::WaitUntil([&] { return e2e::ReadMessageDialog(h, dialog) && !dialog.buttons.empty(); },
                       kStepTimeout);
        return true;
    }

    DWORD ExitCode() {
        DWORD code = 0xFFFFFFFF;
        EXPECT_TRUE(process.WaitExit(kExitTimeout, code)) << "the program did not end";
        return code;
    }

    e2e::ChildProcess process;
    HWND form = nullptr;
    std::string folder, installFolder;

private:
    std::string OnDriveC() const { return "C:\\orvane-e2e-wizard\\" + tag_; }

    std::string tag_;
};

const PageLook kStart{"StartSheet", "次へ(&N)", "中止(&C)", "[次へ]ボタンを押してください", false, true, true};
const PageLook kAgreement{"LisenceSheet", "同意する", "同意しない", "", true, true, true};
const PageLook kMessage{"MessageSheet", "次へ(&N)", "中止(&C)", "[次へ]ボタンを押してください", true, true, true};
const PageLook kLocation{"LocationSheet", "次へ(&N)", "中止(&C)", "[次へ]ボタンを押してください", true, true, true};
const PageLook kCopyStart{"CopyStartSheet", "開始", "中止(&C)",
                          "[開始]ボタンでインストールを開始します", true, true, true};

void ExpectYesNoQuestion(const e2e::MessageDialog& d, const char* caption, const char* text) {
    EXPECT_EQ(d.caption, caption);
    EXPECT_EQ(d.text, text);
    EXPECT_EQ(d.buttons, (std::vector<std::string>{"はい(&Y)", "いいえ(&N)"}));
    EXPECT_EQ(d.defaultButton, "はい(&Y)");
    EXPECT_TRUE(d.hasIcon);
}

TEST(WizardE2E, SevenPagesWalkedToTheProgressPage) {
    WizardRun w;
    Project p;
    p.messageDisp = 2;
    p.lisenceUse = true;
    p.directorySwitch = 0;
    // A source that does not exist: the run fails at its first copy and
    // reports it while the progress page is showing, so the page can be seen.
    p.files = "file00000=" + e2e::BuildPath("e2e-work\\seven\\no-such-file.txt") +
              "*[Install Folder]\\no-such-file.txt*0\r\n";
    p.unInstallKey = "OrvaneE2ESeven";
    ASSERT_TRUE(w.Launch("seven", p));

    EXPECT_EQ(e2e::Text(w.form), "E2Eテストソフト");
    w.ExpectLook(kStart);
    EXPECT_EQ(w.TextOf("NameLabel"), "ソフト名 : E2Eテストソフト");
    EXPECT_EQ(w.TextOf("VersionLabel"), "バージョン : 1.02");
    EXPECT_EQ(w.TextOf("CopyrightLabel"), "著作権 : (C) 2024 Orvane");
    EXPECT_EQ(w.TextOf("InformationMemo"), "これは案内です。\r\n二行目です。");
    EXPECT_EQ(e2e::FocusedWindow(w.form), w.Control("NextButton"));
    RECT client = e2e::ClientRect(w.form);
    EXPECT_GE(client.right, 450);
    EXPECT_GE(client.bottom, 355);
    EXPECT_EQ(e2e::Style(w.form) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(e2e::Style(w.form) & WS_SYSMENU, 0);
    w.Shot("1-start");

    w.PressTo("NextButton", "LisenceSheet");
    w.ExpectLook(kAgreement);
    EXPECT_EQ(w.TextOf("LisenceMemo"), "使用許諾契約書\r\n第一条 本ソフトは検証用です。");
    EXPECT_EQ(w.TextOf("LisenceLabel"), "以上の使用許諾契約書に同意しますか？");
    w.Shot("2-agreement");

    w.PressTo("NextButton", "MessageSheet");
    w.ExpectLook(kMessage);
    EXPECT_EQ(w.TextOf("MessageMemo"), "お知らせの本文です。");
    w.Shot("3-message");

    w.PressTo("NextButton", "LocationSheet");
    w.ExpectLook(kLocation);
    EXPECT_EQ(w.TextOf("LocationEdit"), w.installFolder);
    EXPECT_EQ(w.TextOf("BrowsButton"), "参照(&B)");
    w.Shot("4-location");

    w.PressTo("NextButton", "CopyStartSheet");
    w.ExpectLook(kCopyStart);
    w.Shot("5-copystart");

    // Backwards once and on again: the captions follow the pages.
    w.PressTo("BackButton", "LocationSheet");
    w.ExpectLook(kLocation);
    w.PressTo("NextButton", "CopyStartSheet");

    w.PressTo("NextButton", "CopyProcessSheet");
    e2e::MessageDialog failure;
    ASSERT_TRUE(w.NextDialog(failure)) << "the failed run reports nothing";
    // The progress page while the run reports.
    EXPECT_TRUE(e2e::IsVisible(w.Control("CopyProcessSheet")));
    EXPECT_EQ(w.TextOf("CopyLabel"), "インストール実行中です。しばらくお待ち下さい。");
    EXPECT_EQ(w.TextOf("NextLabel"), "");
    EXPECT_FALSE(e2e::IsEnabled(w.Control("BackButton")));
    EXPECT_FALSE(e2e::IsEnabled(w.Control("NextButton")));
    EXPECT_FALSE(e2e::IsEnabled(w.Control("CancelButton")));
    EXPECT_EQ(w.TextOf("NextButton"), "開始");
    w.ScreenShot("6-progress");
    EXPECT_EQ(failure.text, "インストールに失敗しました");
    EXPECT_EQ(failure.caption, "エラー");
    EXPECT_EQ(failure.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(e2e::PressDialogButton(failure.hwnd, "OK"));
    EXPECT_EQ(w.ExitCode(), 0u);
    DeleteUninstallKey(p.unInstallKey);
}

TEST(WizardE2E, FourPagesWalkedThroughTheRunToTheEnd) {
    WizardRun w;
    Project p;
    p.unInstallKey = "OrvaneE2EFour";
    ASSERT_TRUE(w.Launch("four", p));
    w.ExpectLook(kStart);
    w.PressTo("NextButton", "CopyStartSheet");
    w.ExpectLook({"CopyStartSheet", "開始", "中止(&C)", "[開始]ボタンでインストールを開始します",
                  true, true, true});
    w.PressTo("BackButton", "StartSheet");
    w.ExpectLook(kStart);
    w.PressTo("NextButton", "CopyStartSheet");
    w.Shot("1-copystart");

    e2e::Click(w.Control("NextButton"));
    // The run is short: it may already be over when the driver looks.
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            HWND progress = w.Control("CopyProcessSheet"), end = w.Control("EndSheet");
            return (progress && e2e::IsVisible(progress)) || (end && e2e::IsVisible(end));
        },
        kStepTimeout));
    if (e2e::IsVisible(w.Control("CopyProcessSheet"))) w.Shot("2-progress");
    ASSERT_TRUE(w.WaitForPage("EndSheet")) << "the run did not reach the end page";
    w.ExpectLook({"EndSheet", "終了", "中止(&C)", "[終了]ボタンでインストーラーを終了します", false,
                  true, false});
    EXPECT_EQ(w.TextOf("Label1"), "インストールが完了しました。");
    w.Shot("3-end");
    EXPECT_TRUE(e2e::FileExists(w.installFolder + "\\Setup.exe"));
    EXPECT_TRUE(e2e::FileExists(w.installFolder + "\\Setup.ini"));
    // "終了" closes without a question.
    e2e::Click(w.Control("NextButton"));
    EXPECT_EQ(w.ExitCode(), 0u);
    DeleteUninstallKey(p.unInstallKey);
}

TEST(WizardE2E, DisagreeAnsweredNoKeepsTheAgreementPage) {
    WizardRun w;
    Project p;
    p.lisenceUse = true;
    ASSERT_TRUE(w.Launch("disagree", p));
    w.PressTo("NextButton", "LisenceSheet");
    e2e::Click(w.Control("CancelButton"));
    e2e::MessageDialog q;
    ASSERT_TRUE(w.NextDialog(q));
    ExpectYesNoQuestion(q, "警告", "インストールを中断しますか？");
    w.ScreenShot("question");
    ASSERT_TRUE(e2e::PressDialogButton(q.hwnd, "いいえ(&N)"));
    ASSERT_TRUE(e2e::WaitGone(q.hwnd, kStepTimeout));
    w.ExpectLook(kAgreement);
    EXPECT_TRUE(w.process.Running());

    // On to the copy-start page: the agreement's Cancel caption stays.
    w.PressTo("NextButton", "CopyStartSheet");
    w.ExpectLook({"CopyStartSheet", "開始", "同意しない", "[開始]ボタンでインストールを開始します",
                  true, true, true});
    w.Shot("copystart-after-agreement");

    e2e::Click(w.Control("CancelButton"));
    ASSERT_TRUE(w.NextDialog(q));
    ASSERT_TRUE(e2e::PressDialogButton(q.hwnd, "はい(&Y)"));
    EXPECT_EQ(w.ExitCode(), 0u);
}

TEST(WizardE2E, CloseBoxOnTheStartPageAsksFirst) {
    WizardRun w;
    ASSERT_TRUE(w.Launch("closebox", Project{}));
    w.ExpectLook(kStart);

    e2e::PostClose(w.form);
    e2e::MessageDialog q;
    ASSERT_TRUE(w.NextDialog(q));
    ExpectYesNoQuestion(q, "警告", "インストールを中断しますか？");
    ASSERT_TRUE(e2e::PressDialogButton(q.hwnd, "いいえ(&N)"));
    ASSERT_TRUE(e2e::WaitGone(q.hwnd, kStepTimeout));
    w.ExpectLook(kStart);

    // Esc answers No as well.
    e2e::PostClose(w.form);
    ASSERT_TRUE(w.NextDialog(q));
    e2e::PressEscape(q.hwnd);
    ASSERT_TRUE(e2e::WaitGone(q.hwnd, kStepTimeout));
    EXPECT_TRUE(w.process.Running());
    w.ExpectLook(kStart);

    e2e::PostClose(w.form);
    ASSERT_TRUE(w.NextDialog(q));
    ASSERT_TRUE(e2e::PressDialogButton(q.hwnd, "はい(&Y)"));
    EXPECT_EQ(w.ExitCode(), 0u);
}

TEST(WizardE2E, NoProjectFileEndsAtOnceWithoutAWindow) {
    std::string folder = e2e::FreshFolder("noproject");
    ASSERT_FALSE(folder.empty());
    ASSERT_TRUE(CopyFileA(e2e::SetupExePath().c_str(), (folder + "\\Setup.exe").c_str(), FALSE));
    e2e::ChildProcess process;
    ASSERT_TRUE(process.Start(folder + "\\Setup.exe", folder));
    bool sawWindow = false;
    e2e::WaitUntil(
        [&] {
            sawWindow = sawWindow || !e2e::TopWindows(process.Id()).empty();
            return !process.Running();
        },
        kExitTimeout);
    DWORD code = 0xFFFFFFFF;
    ASSERT_TRUE(process.WaitExit(kStepTimeout, code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(sawWindow);
}

TEST(WizardE2E, BadIntegerIsReportedUnderTheApplicationTitle) {
    std::string folder =
        e2e::MakeProjectFolder("badinteger", "[Project Property]\r\nInstallMode=abc\r\nName1=x\r\n");
    ASSERT_FALSE(folder.empty());
    e2e::ChildProcess process;
    ASSERT_TRUE(process.Start(folder + "\\Setup.exe", folder));
    HWND h = e2e::WaitForDialog(process.Id(), kWindowTimeout);
    ASSERT_NE(h, nullptr);
    e2e::MessageDialog d;
    e2e::WaitUntil([&] { return e2e::ReadMessageDialog(h, d) && !d.buttons.empty(); }, kStepTimeout);
    EXPECT_EQ(d.caption, "Orvane");
    EXPECT_EQ(d.text, "'abc' は整数ではありません");
    EXPECT_EQ(d.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(d.hasIcon);
    EXPECT_EQ(e2e::FindTopWindow(process.Id(), plat::win32ids::kFormClass), nullptr);
    e2e::SaveScreenshot(nullptr, e2e::ScreenshotPath("wizard-badinteger.png"));
    ASSERT_TRUE(e2e::PressDialogButton(h, "OK"));
    DWORD code = 0xFFFFFFFF;
    ASSERT_TRUE(process.WaitExit(kExitTimeout, code));
    EXPECT_EQ(code, 0u);
}

TEST(WizardE2E, UninstallModeWindow) {
    WizardRun w;
    Project p;
    p.installMode = 1;
    p.unInstallKey = "OrvaneE2EUninstall";
    ASSERT_TRUE(w.Launch("uninstall", p));
    // The run asks first; the window is showing behind the question.
    e2e::MessageDialog q;
    ASSERT_TRUE(w.NextDialog(q)) << "no uninstall confirmation";
    EXPECT_EQ(e2e::Text(w.form), "");
    EXPECT_TRUE(e2e::IsVisible(w.Control("CopyProcessSheet")));
    EXPECT_EQ(w.TextOf("CopyLabel"), "ファイルを削除しています");
    EXPECT_EQ(w.TextOf("NextLabel"), "");
    EXPECT_FALSE(e2e::IsVisible(w.Control("BackButton")));
    EXPECT_FALSE(e2e::IsVisible(w.Control("NextButton")));
    EXPECT_TRUE(e2e::IsVisible(w.Control("CancelButton")));
    EXPECT_FALSE(e2e::IsEnabled(w.Control("CancelButton")));
    int forms = 0;
    for (HWND h : e2e::TopWindows(w.process.Id())) {
        if (e2e::ClassOf(h) == plat::win32ids::kFormClass) ++forms;
    }
    EXPECT_EQ(forms, 1) << "a second form (the background window) is showing";
    w.ScreenShot("question");
    EXPECT_EQ(q.buttons, (std::vector<std::string>{"はい(&Y)", "いいえ(&N)"}));
    ASSERT_TRUE(e2e::PressDialogButton(q.hwnd, "いいえ(&N)"));
    // Declined: whatever it reports, nothing is removed.
    for (int i = 0; i < 3 && w.process.Running(); ++i) {
        HWND more = e2e::WaitForDialog(w.process.Id(), 3000, {q.hwnd});
        if (!more) break;
        e2e::MessageDialog d;
        e2e::ReadMessageDialog(more, d);
        if (!d.buttons.empty()) e2e::PressDialogButton(more, d.buttons.back());
        e2e::WaitGone(more, kStepTimeout);
    }
    EXPECT_EQ(w.ExitCode(), 0u);
    EXPECT_TRUE(e2e::FileExists(w.folder + "\\Setup.exe"));
    EXPECT_TRUE(e2e::FileExists(w.folder + "\\Setup.ini"));
    EXPECT_FALSE(e2e::FileExists(w.folder + "\\Delete.bat"));
}

// The program's icon as the shell loads it for "Setup.exe",0 (Explorer, the
// uninstall entry): one icon, with images of the large and small sizes
// themselves, so that neither is scaled from another.
TEST(WizardE2E, ProgramIconIsIndexZero) {
    const std::string exe = e2e::SetupExePath();
    EXPECT_EQ(ExtractIconExA(exe.c_str(), -1, nullptr, nullptr, 0), 1u);
    HICON large = nullptr, small = nullptr;
    ASSERT_EQ(ExtractIconExA(exe.c_str(), 0, &large, &small, 1), 2u);
    const struct { HICON icon; int metric; } sizes[] = {{large, SM_CXICON}, {small, SM_CXSMICON}};
    for (const auto& s : sizes) {
        ICONINFO info{};
        ASSERT_TRUE(s.icon && GetIconInfo(s.icon, &info));
        BITMAP colour{};
        EXPECT_TRUE(GetObjectA(info.hbmColor, sizeof colour, &colour));
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(s.metric));
        EXPECT_EQ(colour.bmBitsPixel, 32) << "the icon's own 32-bit image";
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(s.icon);
    }
}

int Walk(const std::string& exe, const std::string& shotFolder) {
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    e2e::ChildProcess process;
    std::string error;
    if (!process.Start(exe, folder, "", &error)) {
        std::fprintf(stderr, "walk: cannot start %s: %s\n", exe.c_str(), error.c_str());
        return 1;
    }
    HWND form = e2e::WaitForForm(process.Id(), "SetupMainForm", kWindowTimeout);
    if (!form) {
        std::fprintf(stderr, "walk: the wizard did not appear\n");
        return 1;
    }
    const std::vector<std::string> pages = {"StartSheet", "MessageSheet", "LisenceSheet",
                                            "LocationSheet", "CopyStartSheet"};
    auto visiblePage = [&]() -> std::string {
        for (const std::string& p : pages) {
            HWND h = e2e::FindControl(form, p);
            if (h && e2e::IsVisible(h)) return p;
        }
        return "";
    };
    std::vector<std::string> shots;
    std::string page;
    for (int n = 1; n <= 7; ++n) {
        std::string previous = page;
        if (!e2e::WaitUntil([&] { return !(page = visiblePage()).empty() && page != previous; },
                            kStepTimeout)) {
            std::fprintf(stderr, "walk: no next page after %s\n", previous.c_str());
            return 1;
        }
        e2e::WaitSettled({form}, kStepTimeout);  // the page is painted
        // The whole screen: the background window behind the wizard too.
        std::string path = shotFolder + "\\" + std::to_string(n) + "-" + page + ".png";
        if (!e2e::SaveScreenshot(nullptr, path)) {
            std::fprintf(stderr, "walk: cannot save %s\n", path.c_str());
            return 1;
        }
        shots.push_back(path);
        if (page == "CopyStartSheet") break;
        e2e::Click(e2e::FindControl(form, "NextButton"));
    }
    // Cancel, and say yes to the question: nothing is installed.
    e2e::Click(e2e::FindControl(form, "CancelButton"));
    HWND q = e2e::WaitForDialog(process.Id(), kStepTimeout);
    if (q) {
        e2e::WaitSettled({q}, kStepTimeout);
        std::string path = shotFolder + "\\" + std::to_string(shots.size() + 1) + "-cancel-question.png";
        if (e2e::SaveScreenshot(nullptr, path)) shots.push_back(path);
        e2e::PressDialogButton(q, "はい(&Y)");
    }
    DWORD code = 0;
    bool ended = process.WaitExit(kExitTimeout, code);
    for (const std::string& s : shots) std::printf("%s\n", s.c_str());
    return ended ? 0 : 1;
}

// The window text of a window of another process, read without a message:
// Windows and Wine answer it from the window's stored text, so it works while
// the wizard's thread is busy in a run.
std::string StoredText(HWND hwnd) {
    char buf[1024] = {};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

// PNG files of what a user sees, into a folder; the paths saved are kept.
struct Pictures {
    std::string folder;
    std::vector<std::string> saved;

    // The windows (cropped to them), or the whole screen for none.
    bool Shoot(const std::vector<HWND>& windows, const std::string& name) {
        std::string path = folder + "\\" + name + ".png";
        bool ok = windows.empty() ? e2e::SaveScreenshot(nullptr, path) : e2e::SaveScreenshot(windows, path);
        if (ok) saved.push_back(path);
        return ok;
    }
};

bool WalkFailed(const char* what) {
    std::fprintf(stderr, "walk: %s\n", what);
    return false;
}

// Installs the package's Setup.exe with Next on every page, as a person
// who accepts what is offered. With pictures, saves every wizard page
// (cropped to the wizard), the background (the whole screen), the progress
// page in the middle of the run and the end page. installFolder gets the
// folder the location page proposed.
bool InstallWalk(const std::string& exe, Pictures* pictures, std::string& installFolder) {
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    e2e::ChildProcess setup;
    if (!setup.Start(exe, folder)) return WalkFailed("cannot start the installer");
    HWND form = e2e::WaitForForm(setup.Id(), "SetupMainForm", kWindowTimeout);
    if (!form) return WalkFailed("the wizard did not appear");
    auto visible = [&](const char* page) { return e2e::IsVisible(e2e::FindControl(form, page)); };
    auto shoot = [&](const std::vector<HWND>& windows, const char* name) {
        return !pictures || pictures->Shoot(windows, name);
    };

    const std::vector<std::pair<const char*, const char*>> pages = {
        {"StartSheet", "1-start"},       {"MessageSheet", "2-message"},
        {"LisenceSheet", "3-agreement"}, {"LocationSheet", "4-location"},
        {"CopyStartSheet", "5-copy-start"}};
    installFolder.clear();
    for (const auto& page : pages) {
        if (!e2e::WaitUntil([&] { return visible(page.first); }, kStepTimeout)) {
            std::fprintf(stderr, "walk: the page %s did not come\n", page.first);
            return false;
        }
        if (pictures) e2e::WaitSettled({form}, kStepTimeout);  // the page is painted
        if (!shoot({form}, page.second)) return WalkFailed("cannot save a picture");
        if (std::string(page.first) == "StartSheet" && !shoot({}, "0-background")) {
            return WalkFailed("cannot save the background");
        }
        if (std::string(page.first) == "LocationSheet") {
            installFolder = e2e::Text(e2e::FindControl(form, "LocationEdit"));
        }
        e2e::Click(e2e::FindControl(form, "NextButton"));
    }
    if (installFolder.empty()) return WalkFailed("no installation folder on the location page");

    if (pictures) {
        // The run blocks the wizard's thread and repaints after each item: once the
        // label names the second file (the page has been painted whole by then),
        // stop the thread, photograph the page, let it go on. The page's controls
        // are made when it first shows, after the click: the label is looked for
        // as often as its text is read, so that the run cannot pass it unseen.
        HWND label = nullptr;
        bool caught = e2e::WaitUntil([&] {
            if (!label) label = e2e::FindControl(form, "CopyFileLabel");
            if (!label || StoredText(label).find("manual.txt") == std::string::npos) return false;
            return setup.Suspend();
        }, kStepTimeout, 1);
        if (!caught) return WalkFailed("the progress page never showed manual.txt");
        e2e::WaitSettled({form}, kStepTimeout);  // what the stopped thread drew is on the screen
        bool progressShot = shoot({form}, "6-progress");
        setup.Resume();
        if (!progressShot) return WalkFailed("cannot save the progress picture");
    }

    if (!e2e::WaitUntil([&] { return visible("EndSheet"); }, kWindowTimeout)) {
        return WalkFailed("the installation did not reach the end page");
    }
    if (pictures) e2e::WaitSettled({form}, kStepTimeout);
    if (!shoot({form}, "7-end")) return WalkFailed("cannot save the end page");
    e2e::Click(e2e::FindControl(form, "NextButton"));
    DWORD code = 0;
    if (!setup.WaitExit(kExitTimeout, code)) return WalkFailed("the installer did not end");
    return true;
}

// Uninstalls through the installed copy: Yes to its question (saved as a
// picture), then the first button of each box that follows.
bool UninstallWalk(const std::string& uninstallerExe, Pictures* pictures) {
    std::string folder = uninstallerExe.substr(0, uninstallerExe.find_last_of('\\'));
    e2e::ChildProcess uninstaller;
    if (!uninstaller.Start(uninstallerExe, folder)) return WalkFailed("cannot start the installed uninstaller");
    HWND uform = e2e::WaitForForm(uninstaller.Id(), "SetupMainForm", kWindowTimeout);
    HWND question = e2e::WaitForDialog(uninstaller.Id(), kWindowTimeout);
    if (!uform || !question) return WalkFailed("the uninstall question did not appear");
    if (pictures) {
        e2e::WaitSettled({uform, question}, kStepTimeout);
        if (!pictures->Shoot({uform, question}, "8-uninstall-question")) {
            return WalkFailed("cannot save the question");
        }
    }
    e2e::PressDialogButton(question, "はい(&Y)");
    // Then the questions about files kept on request and the result: the first button each.
    std::vector<HWND> answered = {question};
    for (DWORD start = GetTickCount();
         uninstaller.Running() && GetTickCount() - start < kWindowTimeout;) {
        HWND next = e2e::WaitForDialog(uninstaller.Id(), 3000, answered);
        if (!next) continue;
        e2e::MessageDialog d;
        if (e2e::ReadMessageDialog(next, d) && !d.buttons.empty()) {
            e2e::PressDialogButton(next, d.buttons.front());
        }
        answered.push_back(next);
        e2e::WaitGone(next, kStepTimeout);
    }
    DWORD code = 0;
    return uninstaller.WaitExit(kExitTimeout, code) || WalkFailed("the uninstaller did not end");
}

// The README's pictures: the package's Setup.exe installed and uninstalled
// again through the installed copy, every screen a user sees.
int TakePictures(const std::string& exe, const std::string& shotFolder) {
    Pictures pictures{shotFolder, {}};
    std::string installFolder;
    if (!InstallWalk(exe, &pictures, installFolder)) return 1;
    if (!UninstallWalk(installFolder + "\\Setup.exe", &pictures)) return 1;
    for (const std::string& shot : pictures.saved) std::printf("%s\n", shot.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--walk") return Walk(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--pictures") return TakePictures(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "--install") {
        std::string installFolder;
        if (!InstallWalk(argv[2], nullptr, installFolder)) return 1;
        std::printf("%s\n", installFolder.c_str());
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--uninstall") return UninstallWalk(argv[2], nullptr) ? 0 : 1;
    return e2e::RunAllTests(argc, argv);
}
