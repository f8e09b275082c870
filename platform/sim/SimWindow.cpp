#include "platform/sim/SimWindow.h"

#include <algorithm>
#include <map>

#include "platform/Canvas.h"
#include "platform/WindowBackend.h"

namespace {

struct State {
    std::deque<sim::PostedMessage> posted;
    std::map<const plat::Form*, int> repaints;
    std::vector<plat::Form*> shown;
    std::deque<plat::MsgAnswer> answers;
    std::vector<sim::ShownMessage> messages;
    std::deque<sim::FolderDialogScript> folderScripts;
    std::vector<sim::FolderDialogCall> folderCalls;
    bool quit = false;
};

State& S() {
    static State state;
    return state;
}

}  // namespace

namespace sim {

void ResetWindows() { S() = State(); }

const std::deque<PostedMessage>& Posted() { return S().posted; }

int DispatchPosted() {
    int count = 0;
    while (!S().posted.empty()) {
        PostedMessage m = S().posted.front();
        S().posted.pop_front();
        m.form->DeliverUserMessage(m.message);
        ++count;
    }
    return count;
}

int RepaintCount(const plat::Form& form) {
    auto it = S().repaints.find(&form);
    return it == S().repaints.end() ? 0 : it->second;
}

const std::vector<plat::Form*>& ShownForms() { return S().shown; }

void QueueAnswer(plat::MsgAnswer answer) { S().answers.push_back(answer); }
size_t PendingAnswers() { return S().answers.size(); }
const std::vector<ShownMessage>& Messages() { return S().messages; }
void ClearMessages() { S().messages.clear(); }

void QueueFolderDialog(const FolderDialogScript& script) { S().folderScripts.push_back(script); }
const std::vector<FolderDialogCall>& FolderDialogCalls() { return S().folderCalls; }

}  // namespace sim

namespace plat {

MsgAnswer ShowMessageDialog(Form* owner, MsgKind kind, const std::string& caption,
                            const std::string& text, MsgButtons buttons) {
    MsgAnswer answer = MsgAnswer::Ok;
    if (buttons == MsgButtons::YesNo) {
        answer = MsgAnswer::No;
        if (!S().answers.empty()) {
            answer = S().answers.front();
            S().answers.pop_front();
        }
    }
    S().messages.push_back({kind, caption, text, buttons, answer});
    return answer;
}

bool ShowFolderDialog(Form* owner, const std::string& title, const std::string& start,
                      const std::function<bool(const std::string&)>& accept,
                      std::string& chosen) {
    S().folderCalls.push_back({title, start});
    if (S().folderScripts.empty()) return false;
    sim::FolderDialogScript script = S().folderScripts.front();
    S().folderScripts.pop_front();
    for (const std::string& text : script.tries) {
        if (!accept || accept(text)) {
            chosen = text;
            return true;
        }
    }
    return false;
}

namespace backend {

void WidgetChanged(Widget&, Change) {}
void WidgetReleased(Widget&) {}

void ShowForm(Form& form) {
    auto& shown = S().shown;
    if (std::find(shown.begin(), shown.end(), &form) == shown.end()) shown.push_back(&form);
}

void DestroyForm(Form& form) {
    auto& shown = S().shown;
    shown.erase(std::remove(shown.begin(), shown.end(), &form), shown.end());
    auto& posted = S().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [&](const sim::PostedMessage& m) { return m.form == &form; }),
                 posted.end());
}

void PostToForm(Form& form, unsigned message) { S().posted.push_back({&form, message}); }
void RepaintForm(Form& form) { ++S().repaints[&form]; }
void InvalidateForm(Form&) {}
void FocusWidget(Form&, Widget&) {}

void RunLoop() {
    S().quit = false;
    while (!S().quit && !S().posted.empty()) {
        sim::PostedMessage m = S().posted.front();
        S().posted.pop_front();
        m.form->DeliverUserMessage(m.message);
    }
}

void QuitLoop() { S().quit = true; }
void ApplicationTitleChanged(const std::string&) {}

}  // namespace backend
}  // namespace plat
