#include "ui/SetupMain_unit.h"

#include <vector>

#include "engine/TrustRefusal_unit.h"
#include "platform/AnsiText.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Security.h"
#include "project/ProjectProperty_unit.h"
#include "ui/BackGround_unit.h"
#include "ui/MessageDlg_unit.h"

using plat::Widget;
using plat::WidgetKind;

namespace {

TMsgDlgType DialogTypeOf(TRunBoxKind kind) {
    switch (kind) {
    case rbWarning: return mtWarning;
    case rbError:
    case rbRefusal: return mtError;
    case rbInformation: return mtInformation;
    }
    return mtInformation;
}

const char kInterruptQuestion[] = "インストールを中断しますか？";
const char kFolderDialogTitle[] = "ディレクトリの選択";
const char kCannotCreateFolder[] = "ディレクトリを作成することができません";
const char kCreateFolderQuestion[] = "指定されたディレクトリが存在しません。作成しますか？";

}  // namespace

TSetupMainForm::TSetupMainForm()
    : plat::Form("SetupMainForm"),
      PageBook(WidgetKind::PageControl, this, "PageBook"),
      StartSheet(WidgetKind::Page, &PageBook, "StartSheet"),
      LisenceSheet(WidgetKind::Page, &PageBook, "LisenceSheet"),
      MessageSheet(WidgetKind::Page, &PageBook, "MessageSheet"),
      LocationSheet(WidgetKind::Page, &PageBook, "LocationSheet"),
      CopyStartSheet(WidgetKind::Page, &PageBook, "CopyStartSheet"),
      CopyProcessSheet(WidgetKind::Page, &PageBook, "CopyProcessSheet"),
      EndSheet(WidgetKind::Page, &PageBook, "EndSheet"),
      InfLabel(WidgetKind::Label, &StartSheet, "InfLabel"),
      Bevel1(WidgetKind::Bevel, &StartSheet, "Bevel1"),
      NameLabel(WidgetKind::Label, &StartSheet, "NameLabel"),
      VersionLabel(WidgetKind::Label, &StartSheet, "VersionLabel"),
      CopyrightLabel(WidgetKind::Label, &StartSheet, "CopyrightLabel"),
      InformationMemo(WidgetKind::Memo, &StartSheet, "InformationMemo"),
      LisenceMemo(WidgetKind::Memo, &LisenceSheet, "LisenceMemo"),
      LisenceLabel(WidgetKind::Label, &LisenceSheet, "LisenceLabel"),
      MessageMemo(WidgetKind::Memo, &MessageSheet, "MessageMemo"),
      LocationLabel(WidgetKind::Label, &LocationSheet, "LocationLabel"),
      LocationEdit(WidgetKind::Edit, &LocationSheet, "LocationEdit"),
      BrowsButton(WidgetKind::Button, &LocationSheet, "BrowsButton"),
      CopyStartLabel(WidgetKind::Label, &CopyStartSheet, "CopyStartLabel"),
      CopyLabel(WidgetKind::Label, &CopyProcessSheet, "CopyLabel"),
      CopyBevel(WidgetKind::Bevel, &CopyProcessSheet, "CopyBevel"),
      CopyFileLabel(&CopyProcessSheet, "CopyFileLabel"),
      FileCopyBar(WidgetKind::ProgressBar, &CopyProcessSheet, "FileCopyBar"),
      Label1(WidgetKind::Label, &EndSheet, "Label1"),
      NextLabel(WidgetKind::Label, this, "NextLabel"),
      BackButton(WidgetKind::Button, this, "BackButton"),
      NextButton(WidgetKind::Button, this, "NextButton"),
      CancelButton(WidgetKind::Button, this, "CancelButton") {
    // The window: a fixed dialog frame, centred; the font is inherited by
    // every control.
    SetBounds({0, 0, 450, 355});
    frame = plat::FormFrame::Dialog;
    centred = true;
    font = {"ＭＳ Ｐゴシック", plat::kShiftJisCharset, 13};
    endsProgram = true;
    // Only the first page is made with the window; the others when they come.
    pagesOnDemand = true;

    auto place = [](Widget& w, int left, int top, int width, int height) {
        w.SetBounds({left, top, width, height});
    };
    auto autoLabel = [&](Widget& w, int left, int top, const std::string& caption) {
        w.SetAutoSize(true);
        w.SetCaption(caption);
        place(w, left, top, 0, 0);
    };
    auto fixedLabel = [&](Widget& w, int left, int top, int width, int height,
                          const std::string& caption) {
        w.SetAutoSize(false);
        w.SetWordWrap(true);
        w.SetCaption(caption);
        place(w, left, top, width, height);
    };
    // Read-only, word-wrapped text with a vertical scroll bar: the memo kind.
    auto memo = [&](Widget& w, int left, int top, int width, int height) {
        w.SetWordWrap(true);
        w.SetTabOrder(0);
        place(w, left, top, width, height);
    };
    auto button = [&](Widget& w, int left, int top, const std::string& caption, int tabOrder,
                      void (TSetupMainForm::*handler)()) {
        w.SetCaption(caption);
        place(w, left, top, 100, 25);
        w.SetTabOrder(tabOrder);
        w.OnClick = [this, handler] { (this->*handler)(); };
    };

    // Controls directly on the window; tab order Next, Cancel, Back, PageBook.
    place(PageBook, 10, 5, 430, 300);
    PageBook.SetTabOrder(3);
    autoLabel(NextLabel, 15, 310, "NextLabel");
    button(BackButton, 130, 325, "前へ(&P)", 2, &TSetupMainForm::BackButtonClick);
    button(NextButton, 230, 325, "次へ(&N)", 0, &TSetupMainForm::NextButtonClick);
    button(CancelButton, 340, 325, "中止(&C)", 1, &TSetupMainForm::CancelButtonClick);

    // The pages fill the page control: their tabs are hidden.
    for (Widget* page : {&StartSheet, &LisenceSheet, &MessageSheet, &LocationSheet,
                         &CopyStartSheet, &CopyProcessSheet, &EndSheet}) {
        place(*page, 0, 0, 430, 300);
    }

    fixedLabel(InfLabel, 10, 12, 400, 59,
               "インストール設定を開始します。\n\n"
               "対象ソフトを起動している場合は（再インストール・バージョンアップ時）、"
               "ソフトの実行を終了してください。");
    place(Bevel1, 10, 75, 400, 70);
    autoLabel(NameLabel, 15, 82, "ソフト名 : ");
    autoLabel(VersionLabel, 15, 102, "バージョン : ");
    autoLabel(CopyrightLabel, 15, 122, "著作権 : ");
    memo(InformationMemo, 10, 155, 400, 125);

    memo(LisenceMemo, 10, 10, 400, 250);
    autoLabel(LisenceLabel, 10, 267, "以上の使用許諾契約書に同意しますか？");

    memo(MessageMemo, 10, 10, 400, 270);

    autoLabel(LocationLabel, 10, 12, "インストール場所を指定してください。");
    place(LocationEdit, 10, 75, 400, 21);
    LocationEdit.SetTabOrder(0);
    button(BrowsButton, 310, 100, "参照(&B)", 1, &TSetupMainForm::BrowsButtonClick);

    fixedLabel(CopyStartLabel, 10, 12, 400, 44,
               "以上でインストール設定は完了しました。\n\n"
               "[開始]ボタンを押してファイルコピーを開始してください。");

    autoLabel(CopyLabel, 10, 12, "インストール実行中です。しばらくお待ち下さい。");
    place(CopyBevel, 10, 110, 400, 70);
    // The current path of a run, shown whole at a fixed size.
    CopyFileLabel.SetAutoSize(false);
    CopyFileLabel.SetAutoUpdateHint(false);
    CopyFileLabel.SetMaxLength(0);
    CopyFileLabel.SetStyle(ssRight);
    CopyFileLabel.SetTextCase(tcNone);
    CopyFileLabel.SetPathSeparator(psNone);
    CopyFileLabel.SetPathType(ptNone);
    place(CopyFileLabel, 25, 125, 330, 13);
    place(FileCopyBar, 25, 140, 370, 20);
    FileCopyBar.SetRange(0, 100);
    FileCopyBar.SetPosition(0);

    // Sized to its text in height, wrapped within the page's text width.
    Label1.SetAutoSize(true);
    Label1.SetWordWrap(true);
    Label1.SetCaption("インストールが完了しました。");
    place(Label1, 10, 17, 400, 0);

    OnCloseQuery = [this] { return FormCloseQuery(); };
    OnClose = [this] { FormClose(); };
    OnDestroy = [this] { FormDestroy(); };
    OnUserMessage = [this](unsigned message) { HandleUserMessage(message); };
}

TSetupMainForm::~TSetupMainForm() {
    // A window that was never closed (start-up ended early, or a test) is
    // destroyed here, so that FormDestroy runs while the members still live.
    Destroy();
}

void TSetupMainForm::FormCreate() {
    switch (Session.Start()) {
    case ssNoProject:
        // No project beside the program: it ends at once, silently.
        Terminated_ = true;
        return;
    case ssLoadFailed:
        // A project that cannot be read is reported, and the program then
        // ends as it does without a project file: nothing is set up or shown.
        plat::ShowMessageDialog(nullptr, plat::MsgKind::Error, plat::ApplicationTitle(), Session.LoadError(),
                                plat::MsgButtons::Ok);
        Terminated_ = true;
        return;
    case ssInstall:
    case ssUninstall:
        break;
    }
    InitMode(Session.Project->InstallMode != 0);
    Show();
    FocusControl(&NextButton);
}

void TSetupMainForm::InitMode(bool uninstall) {
    PageCount = 0;
    if (uninstall) {
        InitUninstallMode();
        return;
    }
    BuildInstallPages();

    const TProjectProperty& project = *Session.Project;
    SetCaption(project.Name1);
    NameLabel.SetCaption(NameLabel.Caption() + project.Name1);
    VersionLabel.SetCaption(VersionLabel.Caption() + project.Version);
    CopyrightLabel.SetCaption(CopyrightLabel.Caption() + project.Copyright);

    auto linesOf = [this](int kind) {
        std::vector<std::string>* block = Session.Project->TextBlock(kind);
        return block ? *block : std::vector<std::string>();
    };
    InformationMemo.SetLines(linesOf(tbInformation));
    LisenceMemo.SetLines(linesOf(tbLisenceMessage));
    MessageMemo.SetLines(linesOf(tbDisplayMessage));

    LocationEdit.SetCaption(Session.ProposedInstallFolder());

    BackGroundForm = std::make_unique<TBackGroundForm>();
    BackGroundForm->GradientColors[0] = 0xFF0000;  // blue at the top
    BackGroundForm->GradientColors[1] = 0;         // black at the bottom
    BackGroundForm->Project = Session.Project.get();
    BackGroundForm->Show();
}

void TSetupMainForm::InitUninstallMode() {
    AddPage(&CopyProcessSheet);
    ShowPage(0);
    BackButton.SetVisible(false);
    NextButton.SetVisible(false);
    CancelButton.SetEnabled(false);
    CopyLabel.SetCaption("ファイルを削除しています");
    NextLabel.SetCaption("");
    // "[Install Folder]" of the uninstallation is the uninstaller's own folder.
    LocationEdit.SetCaption(Session.ProposedInstallFolder());
    PostUserMessage(pmUninstall);
}

void TSetupMainForm::FormClose() {
    if (BackGroundForm) BackGroundForm->Close();
}

void TSetupMainForm::FormDestroy() {
    // The background window refers to the project: it goes first. After a
    // successful uninstallation the session's end starts the self-removal.
    BackGroundForm.reset();
    Session.End();
}

bool TSetupMainForm::FormCloseQuery() {
    if (!Session.RunSucceeded) return true;  // a run is under way or has failed
    if (!Session.Project || Session.Project->InstallMode != 0) return true;
    Widget* active = PageBook.ActivePage();
    // Between the page change and the start of the run: nothing may stop it.
    if (active == &CopyProcessSheet) return false;
    if (active == &EndSheet) return true;
    return MessageDlg(kInterruptQuestion, mtWarning, true) == plat::MsgAnswer::Yes;
}

void TSetupMainForm::BuildInstallPages() {
    const TProjectProperty& project = *Session.Project;
    AddPage(&StartSheet);
    if (project.MessageDisp == 1) AddPage(&MessageSheet);
    if (project.LisenceUse) AddPage(&LisenceSheet);
    if (project.MessageDisp == 2) AddPage(&MessageSheet);
    if (project.DirectorySwitch == 0) AddPage(&LocationSheet);
    AddPage(&CopyStartSheet);
    AddPage(&CopyProcessSheet);
    AddPage(&EndSheet);
    ShowPage(0);
}

void TSetupMainForm::AddPage(Widget* page) {
    PageBook.MovePage(page, PageCount);
    ++PageCount;
}

int TSetupMainForm::ActivePageIndex() const {
    for (int i = 0; i < PageCount; ++i) {
        if (PageBook.PageAt(i) == PageBook.ActivePage()) return i;
    }
    return 0;
}

void TSetupMainForm::ShowPage(int index) {
    Widget* page = PageBook.PageAt(index);
    if (!page) return;  // keeps the wizard on a page in use
    PageBook.SetActivePage(page);
    PageBookPageChanged();
}

void TSetupMainForm::PageBookPageChanged() {
    Widget* active = PageBook.ActivePage();
    UpdatePageControls(active);
    if (Session.Project && Session.Project->InstallMode == 0 && active == &CopyProcessSheet) {
        PostUserMessage(pmInstall);
    }
}

void TSetupMainForm::UpdatePageControls(Widget* activePage) {
    bool backEnabled = ActivePageIndex() > 0;
    if (activePage == &LisenceSheet) {
        NextButton.SetCaption("同意する");
        CancelButton.SetCaption("同意しない");
        NextLabel.SetCaption("");
        BackButton.SetEnabled(backEnabled);
        NextButton.SetEnabled(true);
        CancelButton.SetEnabled(true);
    } else if (activePage == &CopyStartSheet) {
        // The Cancel caption stays what the page before left.
        NextButton.SetCaption("開始");
        NextLabel.SetCaption("[開始]ボタンでインストールを開始します");
        BackButton.SetEnabled(backEnabled);
        NextButton.SetEnabled(true);
        CancelButton.SetEnabled(true);
    } else if (activePage == &CopyProcessSheet) {
        NextLabel.SetCaption("");
        BackButton.SetEnabled(false);
        NextButton.SetEnabled(false);
        CancelButton.SetEnabled(false);
    } else if (activePage == &EndSheet) {
        NextButton.SetCaption("終了");
        NextLabel.SetCaption("[終了]ボタンでインストーラーを終了します");
        BackButton.SetEnabled(false);
        NextButton.SetEnabled(true);
        CancelButton.SetEnabled(false);
    } else {
        NextButton.SetCaption("次へ(&N)");
        CancelButton.SetCaption("中止(&C)");
        NextLabel.SetCaption("[次へ]ボタンを押してください");
        BackButton.SetEnabled(backEnabled);
        NextButton.SetEnabled(true);
        CancelButton.SetEnabled(true);
    }
}

void TSetupMainForm::BackButtonClick() { ShowPage(ActivePageIndex() - 1); }

void TSetupMainForm::NextButtonClick() {
    int index = ActivePageIndex();
    // A location that others could change is refused here, and the page
    // stays; folders not there yet are judged by the run once it made them.
    if (PageBook.ActivePage() == &LocationSheet) {
        const plat::TrustVerdict verdict = plat::JudgeFolderChain(LocationEdit.Caption());
        if (!verdict.Trusted()) {
            ShowRefusal(TrustRefusalText(verdict, tuInstallLocation));
            return;
        }
    }
    if (index < PageCount - 1) {
        ShowPage(index + 1);
    } else {
        Close();
    }
}

void TSetupMainForm::CancelButtonClick() { Close(); }

std::string TSetupMainForm::FindExistingFolder(const std::string& text) {
    std::string s = text;
    while (!s.empty() && !plat::DirectoryExists(s)) {
        if (plat::ansi::EndsWithSeparator(s)) s.pop_back();
        std::string old = s;
        s = plat::path::FolderOf(s);
        if (s == old) break;
    }
    return s;
}

void TSetupMainForm::BrowsButtonClick() {
    std::string start = FindExistingFolder(LocationEdit.Caption());
    auto accept = [](const std::string& text) {
        if (text.empty()) {
            // Nothing to create: reported, and the dialog ends without a choice.
            MessageDlg(kCannotCreateFolder, mtError);
            return true;
        }
        if (plat::DirectoryExists(text)) return true;
        return MessageDlg(kCreateFolderQuestion, mtConfirmation, true) == plat::MsgAnswer::Yes;
    };
    std::string chosen;
    if (!plat::ShowFolderDialog(this, kFolderDialogTitle, start, accept, chosen)) return;
    if (chosen.empty()) return;
    try {
        // A folder that cannot be created is not reported: the run will meet
        // it. Made as the run makes the installation folder, with rules of its
        // own where plain inheritance would let others change it.
        std::vector<plat::ChainFolder> chain;
        plat::MakeInstallFolder(chosen, chain);
    } catch (const ESetupError&) {
    }
    LocationEdit.SetCaption(chosen);
}

void TSetupMainForm::HandleUserMessage(unsigned message) {
    if (message == pmInstall) {
        RunInstall();
    } else if (message == pmUninstall) {
        RunUninstall();
    }
}

void TSetupMainForm::RunInstall() { Session.Engine().RunInstall(); }

void TSetupMainForm::RunUninstall() {
    Session.Engine().RunUninstall();
    Close();
}

void TSetupMainForm::ShowProgress(const std::string& path) {
    CopyFileLabel.SetPath(path);
    FileCopyBar.SetPosition(FileCopyBar.Position() + 1);
    Repaint();
}

std::string TSetupMainForm::InstallFolder() { return LocationEdit.Caption(); }

void TSetupMainForm::StartProgress(int itemCount) { FileCopyBar.SetRange(0, itemCount); }

bool TSetupMainForm::AskYesNo(TRunBoxKind kind, const std::string& question) {
    return MessageDlg(question, DialogTypeOf(kind), true) == plat::MsgAnswer::Yes;
}

void TSetupMainForm::ShowResult(TRunBoxKind kind, const std::string& text) {
    if (kind == rbRefusal) {
        ShowRefusal(text);
        return;
    }
    MessageDlg(text, DialogTypeOf(kind));
}

void TSetupMainForm::ShowRefusal(const std::string& text) {
    plat::ShowMessageDialog(this, plat::MsgKind::Error, plat::ApplicationTitle(), text, plat::MsgButtons::Ok);
}

void TSetupMainForm::ShowEndPage() { ShowPage(PageCount - 1); }

void TSetupMainForm::CloseWizard() { Close(); }
