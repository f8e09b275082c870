#include "engine/SetupEngine_unit.h"

#include "engine/SetupSession_unit.h"

#include "engine/RunPath_unit.h"
#include "engine/SystemPath_unit.h"
#include "platform/Error.h"
#include "platform/System.h"
#include "project/ProjectProperty_unit.h"

TSetupEngine::TSetupEngine(TSetupSession& session, TRunHost& host) : session_(session), host_(host) {}
TSetupEngine::~TSetupEngine() = default;

void TSetupEngine::Record(const std::string& text) {
    // The first failure is the cause; a step that then gives up with an
    // error of its own adds nothing to it.
    if (!failure_.Empty()) return;
    failure_ = TFailureRecord{current_, currentPath_, text};
    plat::DebugOutput(text);
}

void TSetupEngine::At(TRecordRef record, const std::string& path) {
    current_ = record;
    currentPath_ = path;
}

void TSetupEngine::Done(TItemOutcome outcome) {
    host_.ItemDone(TRunEvent{current_, currentPath_, outcome, std::string()});
}

bool TSetupEngine::Fail(const std::string& what, uint32_t error) {
    Record("Failed to " + what + " (error " + plat::ErrorCodeText(error) + ")");
    return false;
}

TSystemPath& TSetupEngine::SystemPath() {
    if (session_.SystemPath) return *session_.SystemPath;
    // The system path object is stateless: a fresh one answers the same.
    if (!fallbackSystemPath_) fallbackSystemPath_ = std::make_unique<TSystemPath>();
    return *fallbackSystemPath_;
}

std::string TSetupEngine::ProgramCopyPath() {
    // The one path that both the program copy and the registered command use.
    return RunPath::JoinPath(host_.InstallFolder(), RunPath::FileNamePart(session_.ExePath));
}

void TSetupEngine::SetProgressMax() {
    const TProjectProperty& project = *session_.Project;
    host_.StartProgress(project.Folders.Count() + project.Files.Count() + project.Shortcuts.Count());
}
