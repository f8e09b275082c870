#pragma once
// The program's one way to show a message box. Every box of the wizard and of
// both runs goes through MessageDlg, so that the four kinds always carry their
// fixed captions and icons:
//   mtWarning "警告", mtError "エラー", mtInformation "情報", mtConfirmation "確認".
// Buttons are "OK" alone, or "はい(&Y)" / "いいえ(&N)" when yesNo is true; with
// Yes and No, "はい(&Y)" is the default button and Esc answers "いいえ(&N)".
// The box is modal to the program's active window.
//
//   if (MessageDlg("インストールを中断しますか？", mtWarning, true) == plat::MsgAnswer::Yes) ...
//   MessageDlg(e.Message(), mtError);
#include <string>

#include "platform/Dialogs.h"

enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

// The fixed caption of a kind.
const std::string& MessageDlgCaption(TMsgDlgType type);

// Shows text in a box of that kind and returns the answer: MsgAnswer::Ok for an
// OK box; MsgAnswer::Yes or MsgAnswer::No for a Yes/No box (anything but Yes
// counts as No).
plat::MsgAnswer MessageDlg(const std::string& text, TMsgDlgType type, bool yesNo = false);
