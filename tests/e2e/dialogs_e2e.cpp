// The message dialog and the folder dialog on real windows: each is shown
// from a thread of this driver, found and worked from the main thread as a
// person would, and its answer checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "support/Driver.h"

namespace {

constexpr DWORD kWait = 10000;

// Runs fn on a thread of its own (the dialog's modal loop runs there).
class DialogThread {
public:
    explicit DialogThread(std::function<void()> fn) : fn_(std::move(fn)) {
        thread_ = CreateThread(nullptr, 0, &DialogThread::Entry, this, 0, nullptr);
    }
    ~DialogThread() {
        if (thread_) {
            // A dialog that the test did not close would keep the thread: close it.
            if (!Join(5000)) {
                for (HWND h : e2e::TopWindows(GetCurrentProcessId())) e2e::PostClose(h);
                Join(5000);
            }
            CloseHandle(thread_);
        }
    }
    bool Join(DWORD ms) { return WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }
    bool Started() const { return thread_ != nullptr; }

private:
    static DWORD WINAPI Entry(LPVOID self) {
        static_cast<DialogThread*>(self)->fn_();
        return 0;
    }
    std::function<void()> fn_;
    HANDLE thread_ = nullptr;
};

struct MessageCase {
    const char* name;
    plat::MsgKind kind;
    const char* caption;
    plat::MsgButtons buttons;
    // How the person answers: a button caption, or "<esc>", "<close>", "<enter>".
    const char* action;
    plat::MsgAnswer expected;
};

std::vector<std::string> YesNo() { return {"はい(&Y)", "いいえ(&N)"}; }

void Act(HWND dlg, const std::string& action) {
    if (action == "<esc>") {
        e2e::PressEscape(dlg);
    } else if (action == "<close>") {
        e2e::PostClose(dlg);
    } else if (action == "<enter>") {
        e2e::PressKey(dlg, VK_RETURN);
    } else {
        ASSERT_TRUE(e2e::PressDialogButton(dlg, action)) << "no button " << action;
    }
}

class MessageDialogTest : public testing::TestWithParam<MessageCase> {};

TEST_P(MessageDialogTest, ShowsKindCaptionTextButtonsAndAnswers) {
    const MessageCase& c = GetParam();
    const std::string text = "インストールを中断しますか？";
    std::atomic<int> answer{-1};
    DialogThread thread([&] {
        answer = static_cast<int>(plat::ShowMessageDialog(nullptr, c.kind, c.caption, text, c.buttons));
    });
    ASSERT_TRUE(thread.Started());
    HWND dlg = e2e::WaitForDialog(GetCurrentProcessId(), kWait);
    ASSERT_NE(dlg, nullptr) << "no dialog appeared";
    // The dialog is ready for keys once its buttons exist and one has the focus.
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FocusedWindow(dlg) != nullptr; }, kWait));

    e2e::MessageDialog md;
    ASSERT_TRUE(e2e::ReadMessageDialog(dlg, md));
    EXPECT_EQ(md.caption, c.caption);
    EXPECT_EQ(md.text, text);
    EXPECT_TRUE(md.hasIcon);
    if (c.buttons == plat::MsgButtons::YesNo) {
        EXPECT_EQ(md.buttons, YesNo());
        EXPECT_EQ(md.defaultButton, "はい(&Y)");
    } else {
        EXPECT_EQ(md.buttons, std::vector<std::string>{"OK"});
        EXPECT_EQ(md.defaultButton, "OK");
    }
    // The initial focus is on the default button.
    HWND focus = e2e::FocusedWindow(dlg);
    EXPECT_EQ(e2e::Text(focus), md.defaultButton);
    EXPECT_TRUE(e2e::SaveScreenshot(dlg, e2e::ScreenshotPath(std::string("message_") + c.name + ".png")));

    Act(dlg, c.action);
    ASSERT_TRUE(thread.Join(kWait)) << "the dialog did not close";
    EXPECT_EQ(answer.load(), static_cast<int>(c.expected));
    EXPECT_FALSE(IsWindow(dlg));
}

const MessageCase kMessageCases[] = {
    {"warning_yes", plat::MsgKind::Warning, "警告", plat::MsgButtons::YesNo, "はい(&Y)", plat::MsgAnswer::Yes},
    {"warning_no", plat::MsgKind::Warning, "警告", plat::MsgButtons::YesNo, "いいえ(&N)", plat::MsgAnswer::No},
    {"warning_esc", plat::MsgKind::Warning, "警告", plat::MsgButtons::YesNo, "<esc>", plat::MsgAnswer::No},
    {"confirm_close", plat::MsgKind::Confirmation, "確認", plat::MsgButtons::YesNo, "<close>", plat::MsgAnswer::No},
    {"confirm_enter", plat::MsgKind::Confirmation, "確認", plat::MsgButtons::YesNo, "<enter>", plat::MsgAnswer::Yes},
    {"error_ok", plat::MsgKind::Error, "エラー", plat::MsgButtons::Ok, "OK", plat::MsgAnswer::Ok},
    {"error_esc", plat::MsgKind::Error, "Orvane", plat::MsgButtons::Ok, "<esc>", plat::MsgAnswer::Ok},
    {"information_close", plat::MsgKind::Information, "情報", plat::MsgButtons::Ok, "<close>", plat::MsgAnswer::Ok},
};

INSTANTIATE_TEST_SUITE_P(Cases, MessageDialogTest, testing::ValuesIn(kMessageCases),
                         [](const testing::TestParamInfo<MessageCase>& i) { return i.param.name; });

TEST(MessageDialog, LongTextWrapsInsideTheScreen) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "ファイルをコピーできませんでした。";
    DialogThread thread([&] {
        plat::ShowMessageDialog(nullptr, plat::MsgKind::Error, "エラー", text, plat::MsgButtons::Ok);
    });
    HWND dlg = e2e::WaitForDialog(GetCurrentProcessId(), kWait);
    ASSERT_NE(dlg, nullptr);
    HWND textStatic = e2e::FindControlById(dlg, plat::win32ids::kMsgTextId);
    ASSERT_NE(textStatic, nullptr);
    RECT d = e2e::ScreenRect(dlg);
    RECT t = e2e::ClientRect(textStatic);
    EXPECT_LE(d.right - d.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GE(d.left, 0);
    // Several lines: much taller than it is one line high.
    EXPECT_GT(t.bottom, 4 * 13);
    EXPECT_TRUE(e2e::SaveScreenshot(dlg, e2e::ScreenshotPath("message_long.png")));
    ASSERT_TRUE(e2e::PressDialogButton(dlg, "OK"));
    EXPECT_TRUE(thread.Join(kWait));
}

class FolderDialogTest : public testing::Test {
protected:
    void SetUp() override {
        char cur[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cur);
        saved_ = cur;
        root_ = e2e::FreshFolder("folder_dialog");
        ASSERT_FALSE(root_.empty());
        start_ = root_ + "\\start";
        ASSERT_TRUE(e2e::MakeFolders(start_ + "\\alpha"));
        ASSERT_TRUE(e2e::MakeFolders(start_ + "\\beta"));
        ASSERT_TRUE(e2e::WriteFileBytes(start_ + "\\one.txt", "1"));
        ASSERT_TRUE(e2e::WriteFileBytes(start_ + "\\alpha\\two.dat", "2"));
        // The folder the dialog falls back to.
        fallback_ = root_ + "\\fallback";
        ASSERT_TRUE(e2e::MakeFolders(fallback_));
        SetCurrentDirectoryA(fallback_.c_str());
    }
    void TearDown() override { SetCurrentDirectoryA(saved_.c_str()); }

    // Shows the dialog on a thread; accept answers from the queue (true when empty).
    void Open(const std::string& start) {
        thread_ = std::make_unique<DialogThread>([this, start] {
            std::string chosen;
            bool ok = plat::ShowFolderDialog(
                nullptr, "ディレクトリの選択", start,
                [this](const std::string& text) {
                    accepted_.push_back(text);
                    bool answer = refuse_ <= 0;
                    --refuse_;
                    return answer;
                },
                chosen);
            result_ = ok ? 1 : 0;
            chosen_ = chosen;
        });
        dlg_ = e2e::WaitForDialog(GetCurrentProcessId(), kWait);
        ASSERT_NE(dlg_, nullptr);
        edit_ = e2e::WaitForControl(dlg_, "PathEdit", kWait);
        ASSERT_NE(edit_, nullptr);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !e2e::Text(edit_).empty(); }, kWait));
    }
    bool Finish() { return thread_->Join(kWait); }

    std::string saved_, root_, start_, fallback_;
    std::unique_ptr<DialogThread> thread_;
    HWND dlg_ = nullptr, edit_ = nullptr;
    std::vector<std::string> accepted_;
    int refuse_ = 0;
    std::atomic<int> result_{-1};
    std::string chosen_;
};

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool Contains(const std::vector<std::string>& items, const std::string& item) {
    for (const std::string& i : items) {
        if (lstrcmpiA(i.c_str(), item.c_str()) == 0) return true;
    }
    return false;
}

TEST_F(FolderDialogTest, OpensAtStartWithThePathFullySelectedAndItsLists) {
    Open(start_);
    EXPECT_EQ(e2e::Text(dlg_), "ディレクトリの選択");
    std::string path = e2e::Text(edit_);
    EXPECT_TRUE(SamePath(path, start_)) << path;
    DWORD s = 1, e = 0;
    e2e::EditSelection(edit_, s, e);
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(e, path.size());
    EXPECT_EQ(e2e::FocusedWindow(dlg_), edit_);

    for (const char* label : {"ディレクトリ名(&N):", "ディレクトリ(&D):", "ファイル(&F): (*.*)", "ドライブ(&R):"}) {
        EXPECT_NE(e2e::FindControlByCaption(dlg_, label, "Static"), nullptr) << label;
    }
    std::vector<std::string> folders = e2e::ListItems(e2e::FindControl(dlg_, "FolderList"));
    EXPECT_TRUE(Contains(folders, "[alpha]"));
    EXPECT_TRUE(Contains(folders, "[beta]"));
    EXPECT_TRUE(Contains(folders, "[..]"));
    EXPECT_FALSE(Contains(folders, "one.txt"));
    std::vector<std::string> files = e2e::ListItems(e2e::FindControl(dlg_, "FileList"));
    EXPECT_EQ(files.size(), 1u);
    EXPECT_TRUE(Contains(files, "one.txt"));
    std::vector<std::string> drives = e2e::ListItems(e2e::FindControl(dlg_, "DriveList"));
    EXPECT_TRUE(Contains(drives, "[-c-]"));
    EXPECT_TRUE(Contains(drives, "[-z-]"));

    HWND ok = e2e::FindControl(dlg_, "OkButton");
    HWND cancel = e2e::FindControl(dlg_, "CancelButton");
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(e2e::Text(ok), "OK");
    EXPECT_EQ(e2e::Text(cancel), "キャンセル");
    EXPECT_EQ(e2e::Style(ok) & 0x0F, BS_DEFPUSHBUTTON);
    // Wine has no network provider: no network-connection dialog to offer.
    EXPECT_EQ(e2e::FindControl(dlg_, "NetworkButton"), nullptr);
    EXPECT_TRUE(e2e::SaveScreenshot(dlg_, e2e::ScreenshotPath("folder_dialog.png")));

    e2e::PressEscape(dlg_);
    ASSERT_TRUE(Finish());
    EXPECT_EQ(result_.load(), 0);
    EXPECT_TRUE(accepted_.empty());
}

TEST_F(FolderDialogTest, RefusedTextKeepsItOpenUntilAccepted) {
    refuse_ = 1;
    Open(start_);
    std::string missing = start_ + "\\new folder";
    e2e::SetEditText(edit_, missing);
    e2e::Click(e2e::FindControl(dlg_, "OkButton"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return accepted_.size() == 1; }, kWait));
    // The OK press is handled to its end: a dialog that ended would be gone by then.
    e2e::WaitIdle(dlg_, kWait);
    EXPECT_TRUE(IsWindow(dlg_)) << "a refused text closed the dialog";
    EXPECT_EQ(result_.load(), -1);
    EXPECT_EQ(accepted_[0], missing);

    e2e::Click(e2e::FindControl(dlg_, "OkButton"));
    ASSERT_TRUE(Finish());
    EXPECT_EQ(result_.load(), 1);
    ASSERT_EQ(accepted_.size(), 2u);
    EXPECT_EQ(chosen_, missing);
}

TEST_F(FolderDialogTest, DoubleClickOpensAFolderAndItsParent) {
    Open(start_);
    HWND list = e2e::FindControl(dlg_, "FolderList");
    auto open = [&](const char* item) {
        SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item));
        PostMessageA(dlg_, WM_COMMAND, MAKEWPARAM(plat::win32ids::kFolderListId, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    };
    open("[alpha]");
    ASSERT_TRUE(e2e::WaitUntil([&] { return SamePath(e2e::Text(edit_), start_ + "\\alpha"); }, kWait))
        << e2e::Text(edit_);
    std::vector<std::string> files = e2e::ListItems(e2e::FindControl(dlg_, "FileList"));
    EXPECT_TRUE(Contains(files, "two.dat"));
    DWORD s = 1, e = 0;
    e2e::EditSelection(edit_, s, e);
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(e, e2e::Text(edit_).size());
    open("[..]");
    ASSERT_TRUE(e2e::WaitUntil([&] { return SamePath(e2e::Text(edit_), start_); }, kWait)) << e2e::Text(edit_);
    e2e::Click(e2e::FindControl(dlg_, "OkButton"));
    ASSERT_TRUE(Finish());
    EXPECT_EQ(result_.load(), 1);
    EXPECT_TRUE(SamePath(chosen_, start_));
}

TEST_F(FolderDialogTest, RootOfADriveListsTheRoot) {
    Open("C:\\");
    EXPECT_TRUE(SamePath(e2e::Text(edit_), "C:\\")) << e2e::Text(edit_);
    std::vector<std::string> folders = e2e::ListItems(e2e::FindControl(dlg_, "FolderList"));
    EXPECT_TRUE(Contains(folders, "[windows]")) << folders.size();
    EXPECT_FALSE(Contains(folders, "[..]"));
    e2e::Click(e2e::FindControl(dlg_, "CancelButton"));
    ASSERT_TRUE(Finish());
    EXPECT_EQ(result_.load(), 0);
}

TEST_F(FolderDialogTest, StartsThatCannotBeOpenedFallBackToTheCurrentFolder) {
    for (const std::string& start : {std::string(), start_ + "\\missing", std::string("\\\\server\\share"),
                                     std::string("Q:\\nowhere"), std::string("relative\\path")}) {
        SetCurrentDirectoryA(fallback_.c_str());
        accepted_.clear();
        Open(start);
        EXPECT_TRUE(SamePath(e2e::Text(edit_), fallback_)) << "start " << start << ": " << e2e::Text(edit_);
        e2e::PostClose(dlg_);
        ASSERT_TRUE(Finish());
        EXPECT_EQ(result_.load(), 0);
        result_ = -1;
    }
}

}  // namespace

int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
