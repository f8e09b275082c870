#pragma once
// Modal dialogs of the platform: the message dialog and the folder dialog.
#include <functional>
#include <string>

namespace plat {

class Form;

enum class MsgKind { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// A modal message dialog: the kind's caption and icon, the text, and the
// buttons "OK" or "はい(&Y)" / "いいえ(&N)". With Yes and No, Yes is the
// default button and Esc answers No.
MsgAnswer ShowMessageDialog(Form* owner, MsgKind kind, const std::string& caption,
                            const std::string& text, MsgButtons buttons);

// The folder-selection dialog "ディレクトリの選択", modal. It opens at start
// (or at the current folder when start cannot be opened). On OK, accept is
// asked with the path edit's text; when it answers false the dialog stays
// open. Returns true with the accepted text, false when cancelled.
bool ShowFolderDialog(Form* owner, const std::string& title, const std::string& start,
                      const std::function<bool(const std::string&)>& accept,
                      std::string& chosen);

}  // namespace plat
