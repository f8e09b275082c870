#pragma once
// Test control of the sim window layer and dialogs: posted messages wait in a
// queue until a test dispatches them; message dialogs and the folder dialog
// are answered from a script and remembered.
#include <deque>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Window.h"

namespace sim {

struct PostedMessage {
    plat::Form* form;
    unsigned message;
};

struct ShownMessage {
    plat::MsgKind kind;
    std::string caption;
    std::string text;
    plat::MsgButtons buttons;
    plat::MsgAnswer answer;
};

struct FolderDialogCall {
    std::string title;
    std::string start;
};

// One scripted folder dialog: each entry of tries is confirmed with OK in turn
// (the dialog stays open when the accept test refuses it); cancel at the end
// when no try was accepted.
struct FolderDialogScript {
    std::vector<std::string> tries;
};

void ResetWindows();

// Posted messages not yet dispatched, oldest first.
const std::deque<PostedMessage>& Posted();
// Delivers the posted messages (also those posted while delivering); returns how many.
int DispatchPosted();
int RepaintCount(const plat::Form& form);
const std::vector<plat::Form*>& ShownForms();

// Message dialogs. A Yes/No dialog takes the next queued answer (No when none
// is queued); an OK dialog answers Ok without using the queue.
void QueueAnswer(plat::MsgAnswer answer);
size_t PendingAnswers();
const std::vector<ShownMessage>& Messages();
void ClearMessages();

// Folder dialogs: the next queued script, or cancel when none is queued.
void QueueFolderDialog(const FolderDialogScript& script);
const std::vector<FolderDialogCall>& FolderDialogCalls();

}  // namespace sim
