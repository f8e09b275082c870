#include "engine/PreviousInstall_unit.h"

#include <set>
#include <vector>

#include "engine/RunPath_unit.h"
#include "engine/SetupEngine_unit.h"
#include "engine/SetupSession_unit.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/System.h"
#include "project/GrobalFunction_unit.h"
#include "project/ProjectProperty_unit.h"

namespace {

// The program of an "UninstallString": the text between its quotes, or all
// of it when it has none (an entry written by hand).
std::string ProgramOf(const std::string& command) {
    if (command.empty() || command[0] != '"') return command;
    const size_t end = command.find('"', 1);  // '"' is never the second byte of a CP932 character
    return command.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

std::string ReadText(const plat::RegKey& key, const char* name) {
    plat::RegType type = plat::RegType::None;
    std::string data;
    if (!key.ReadValue(name, type, data)) return std::string();
    if (type != plat::RegType::String && type != plat::RegType::ExpandString) return std::string();
    return data;
}

// The folder as the location field shows it: without a final separator
// unless it is a root ("D:\").
std::string WithoutFinalSeparator(const std::string& folder) {
    const plat::path::Root root = plat::path::RootOf(folder);
    std::string text = folder;
    while (text.size() > root.length + 1 && (text.back() == '\\' || text.back() == '/') &&
           !plat::path::EndsInLoneLeadByte(text.substr(0, text.size() - 1))) {
        text.pop_back();
    }
    return text;
}

// Comparison key of an expanded path; "" when it cannot be expanded.
std::string ExpandedKey(const std::function<std::string(const std::string&)>& expand, const std::string& path) {
    try {
        return plat::path::KeyOf(expand(path));
    } catch (...) {
        return std::string();
    }
}

bool Below(const std::string& parentKey, const std::string& childKey) {
    return childKey.size() > parentKey.size() + 1 && childKey.compare(0, parentKey.size(), parentKey) == 0 &&
           childKey[parentKey.size()] == '\\';
}

}  // namespace

TPreviousInstallation FindPreviousInstallation(const std::string& uninstallKey) {
    TPreviousInstallation previous;
    const std::string keyPath = RunPath::UninstallKeyPath(uninstallKey);
    if (keyPath.empty()) return previous;
    plat::RegKey key;
    if (!key.Open(plat::RootKey::LocalMachine, keyPath, plat::RegAccess::Read)) return previous;
    previous.registered = true;
    previous.uninstaller = ProgramOf(ReadText(key, "UninstallString"));
    const std::string location = ReadText(key, "InstallLocation");
    if (!location.empty()) {
        previous.folder = WithoutFinalSeparator(location);
    } else if (!previous.uninstaller.empty()) {
        previous.folder = RunPath::ExecutableFolder(previous.uninstaller);
    }
    // An entry whose folder was deleted by hand, or whose uninstaller lies
    // elsewhere, names no installation that a new version could go over.
    previous.present = !previous.folder.empty() && plat::path::IsFull(previous.uninstaller) &&
                       SamePath(RunPath::ExecutableFolder(previous.uninstaller), previous.folder) &&
                       plat::FileExists(previous.uninstaller);
    return previous;
}

bool SamePath(const std::string& a, const std::string& b) { return plat::path::KeyOf(a) == plat::path::KeyOf(b); }

TCarriedRecords CarryPreviousRecords(TProjectProperty& copy, const TProjectProperty& previous,
                                     const std::function<std::string(const std::string&)>& expand,
                                     std::vector<TRecordRef>* carriedFrom) {
    TCarriedRecords carried;
    auto from = [carriedFrom](TRecordKind kind, int index) {
        if (carriedFrom) carriedFrom->push_back({kind, index});
    };
    // Files and shortcuts: the uninstallation removes every shortcut, then
    // every file, and only then the folders, so a carried one can go at the
    // end of its list and is still gone before the folder that holds it.
    std::set<std::string> taken;
    for (int i = 0; i < copy.Files.Count(); ++i) taken.insert(ExpandedKey(expand, copy.Files.Items(i).DestFile));
    for (int i = 0; i < previous.Files.Count(); ++i) {
        const TCopyFile& item = previous.Files.Items(i);
        const std::string key = ExpandedKey(expand, item.DestFile);
        if (key.empty() || !taken.insert(key).second) continue;
        copy.Files.Add() = item;
        ++carried.files;
        from(rkFile, i);
    }
    taken.clear();
    // ".lnk" goes on before the expansion, as both runs build the path.
    for (int i = 0; i < copy.Shortcuts.Count(); ++i) {
        taken.insert(ExpandedKey(expand, copy.Shortcuts.Items(i).LinkFile + ".lnk"));
    }
    for (int i = 0; i < previous.Shortcuts.Count(); ++i) {
        const TShortCutFile& item = previous.Shortcuts.Items(i);
        const std::string key = ExpandedKey(expand, item.LinkFile + ".lnk");
        if (key.empty() || !taken.insert(key).second) continue;
        copy.Shortcuts.Add() = item;
        ++carried.shortcuts;
        from(rkShortcut, i);
    }

    // Folders are removed last first, and only an empty one goes: a child
    // must stand after its parent. Each carried folder goes just before the
    // first folder of the list that lies below it (so it is removed after
    // that one), or at the end when none does (so it is removed before any
    // parent already listed). The new project's own order stays as it is.
    struct Entry {
        TMakeFolder record;
        std::string key;
    };
    std::vector<Entry> folders;
    for (int i = 0; i < copy.Folders.Count(); ++i) {
        folders.push_back({copy.Folders.Items(i), ExpandedKey(expand, copy.Folders.Items(i).FolderPath)});
    }
    for (int i = 0; i < previous.Folders.Count(); ++i) {
        const TMakeFolder& item = previous.Folders.Items(i);
        const std::string key = ExpandedKey(expand, item.FolderPath);
        if (key.empty()) continue;
        bool listed = false;
        size_t at = folders.size();
        for (size_t n = 0; n < folders.size() && !listed; ++n) {
            listed = folders[n].key == key;
            if (at == folders.size() && Below(key, folders[n].key)) at = n;
        }
        if (listed) continue;
        folders.insert(folders.begin() + static_cast<std::ptrdiff_t>(at), Entry{item, key});
        ++carried.folders;
        from(rkFolder, i);
    }
    if (carried.folders > 0) {
        copy.Folders.Clear();
        for (const Entry& entry : folders) copy.Folders.Add() = entry.record;
    }
    return carried;
}

void TSetupEngine::ReadPreviousProject() {
    previous_.reset();
    previousUninstaller_.clear();
    // Into another folder nothing is carried: the registration then points
    // at the new folder only, and the old one is the user's to remove.
    const TPreviousInstallation found = FindPreviousInstallation(session_.Project->UnInstallKey);
    if (!found.registered || found.folder.empty() || !SamePath(found.folder, host_.InstallFolder())) return;
    if (!plat::path::IsFull(found.uninstaller)) return;
    const std::string copyPath = ProjectFileName(found.uninstaller);
    auto tell = [this, &copyPath](TItemOutcome outcome, const std::string& note) {
        plat::DebugOutput("The previous project copy " + copyPath + ": " + note);
        host_.ItemDone(TRunEvent{{rkPreviousCopy, -1}, copyPath, outcome, 0, note});
    };
    if (!plat::FileExists(copyPath)) return tell(ioNotRead, "not there; nothing is carried");
    // What it lists is removed, elevated, at the next uninstallation: a copy
    // that someone else could have changed is not read at all.
    const plat::TrustVerdict verdict = plat::JudgeFileChain(copyPath);
    if (!verdict.Trusted()) return tell(ioNotTrusted, "not read: " + verdict.Reason());
    auto previous = std::make_unique<TProjectProperty>();
    try {
        previous->Load(copyPath);
    } catch (const ESetupError& e) {
        return tell(ioNotRead, "does not load (" + e.Message() + "); nothing is carried");
    }
    previous_ = std::move(previous);
    previousUninstaller_ = found.uninstaller;
}

void TSetupEngine::SaveProjectCopy(const std::string& path) {
    TProjectProperty& project = *session_.Project;
    if (!previous_) {
        project.Save(path);
        return;
    }
    TProjectProperty merged;
    merged.Parse(project.Serialize());
    TCarriedRecords carried =
        CarryPreviousRecords(merged, *previous_, [this](const std::string& p) { return ExpandPath(p); });
    // An uninstaller of another name (the new installer was renamed) is
    // overwritten by nothing: it and its project copy go at the uninstallation
    // like any file of the previous version.
    if (!SamePath(previousUninstaller_, ProgramCopyPath())) {
        for (const std::string& file : {previousUninstaller_, ProjectFileName(previousUninstaller_)}) {
            TCopyFile& item = merged.Files.Add();
            item.SourceFile = RunPath::FileNamePart(file);
            item.DestFile = file;
            ++carried.files;
        }
    }
    merged.Save(path);
    auto count = [](int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); };
    const std::string note = "carried " + count(carried.folders, "folder") + ", " + count(carried.files, "file") +
                             " and " + count(carried.shortcuts, "shortcut");
    host_.ItemDone(TRunEvent{{rkPreviousCopy, -1}, ProjectFileName(previousUninstaller_), ioCarried, 0, note});
}
