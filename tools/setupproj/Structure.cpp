#include "tools/setupproj/Structure.h"

#include <map>

#include "tools/setupproj/Keywords.h"

namespace setupproj {

namespace {

bool RemovalAsked(TItemOutcome outcome) {
    return outcome == ioRemoved || outcome == ioNotEmpty || outcome == ioAbsent;
}

class Explanation {
public:
    Explanation(const RunHistory& history, const std::vector<LeftPath>& left);
    std::vector<Leftover> Run();

private:
    struct Place {
        WinPath path;
        bool folder = false;
        std::vector<std::string> children;  // keys of the places below it that are left
        bool explained = false;
        Leftover left;
    };
    // The key of the path the install made for a record; "" when none.
    std::string MadeAt(const TRecordRef& record) const;
    void ExplainFile(Place& place);
    void ExplainFolder(Place& place);
    bool Intended(const std::string& key);
    Leftover& Explained(const std::string& key);
    // The record that removed the child of folder that went last after the
    // uninstallation's item `after`; its path in path.
    bool RemovedLater(const std::string& folder, size_t after, TRecordRef& record, WinPath& path) const;

    const RunHistory& history_;
    std::map<std::string, Place> places_;
    std::map<std::string, std::vector<TRecordRef>> madeBy_;  // key -> the install's items there, in order
    std::map<std::string, WinPath> madePaths_;
    std::map<std::pair<int, int>, std::string> recordKeys_;
    std::string installFolder_;
};

Explanation::Explanation(const RunHistory& history, const std::vector<LeftPath>& left) : history_(history) {
    for (const RunItem& item : history.install) {
        if (item.stored.empty()) continue;
        const std::string key = plat::path::KeyOf(item.stored);
        madeBy_[key].push_back(item.event.record);
        madePaths_[key] = ParseFullPath(item.stored);
        recordKeys_.emplace(std::make_pair(item.event.record.kind, item.event.record.index), key);
        if (item.event.record.kind == rkInstallFolder) installFolder_ = key;
    }
    for (const LeftPath& path : left) {
        Place& place = places_[plat::path::KeyOf(path.stored)];
        place.path = ParseFullPath(path.stored);
        place.folder = path.folder;
    }
    for (auto& entry : places_) {
        if (entry.second.path.IsRoot()) continue;
        auto parent = places_.find(entry.second.path.Parent().Key());
        if (parent != places_.end()) parent->second.children.push_back(entry.first);
    }
}

std::string Explanation::MadeAt(const TRecordRef& record) const {
    auto found = recordKeys_.find(std::make_pair(record.kind, record.index));
    return found == recordKeys_.end() ? std::string() : found->second;
}

Leftover& Explanation::Explained(const std::string& key) {
    Place& place = places_[key];
    if (!place.explained) {
        place.explained = true;
        place.left.path = place.path;
        place.left.folder = place.folder;
        if (place.folder) {
            ExplainFolder(place);
        } else {
            ExplainFile(place);
        }
    }
    return place.left;
}

bool Explanation::Intended(const std::string& key) { return Explained(key).intended; }

void Explanation::ExplainFile(Place& place) {
    const std::string key = place.path.Key();
    auto made = madeBy_.find(key);
    if (made != madeBy_.end()) place.left.item = made->second.front();
    for (const RunItem& item : history_.uninstall) {
        const TItemOutcome outcome = item.event.outcome;
        if (outcome != ioLeftByDeleteMode && outcome != ioKeptAfterNo) continue;
        if (MadeAt(item.event.record) != key) continue;
        place.left.item = item.event.record;
        place.left.cause = outcome == ioLeftByDeleteMode ? LeftCause::kDeleteModeKeep : LeftCause::kAnsweredNo;
        place.left.intended = true;
        return;
    }
}

bool Explanation::RemovedLater(const std::string& folder, size_t after, TRecordRef& record, WinPath& path) const {
    std::string best;
    for (size_t i = after + 1; i < history_.uninstall.size(); ++i) {
        const TRunEvent& event = history_.uninstall[i].event;
        if (event.outcome != ioRemoved) continue;
        const std::string key = MadeAt(event.record);
        auto made = madePaths_.find(key);
        if (made == madePaths_.end() || made->second.IsRoot() || made->second.Parent().Key() != folder) continue;
        if (!best.empty() && key >= best) continue;
        best = key;
        record = event.record;
        path = made->second;
    }
    return !best.empty();
}

void Explanation::ExplainFolder(Place& place) {
    Leftover& left = place.left;
    const std::string key = place.path.Key();
    std::vector<TRecordRef> listed;
    bool keep = false, blocked = false;
    TRecordRef keepRef;
    size_t blockedAt = 0;
    for (size_t i = 0; i < history_.uninstall.size(); ++i) {
        const TRunEvent& event = history_.uninstall[i].event;
        if (event.record.kind != rkFolder || MadeAt(event.record) != key) continue;
        if (event.outcome == ioKeptOnUninstall) {
            keep = true;
            // Folders are removed last first: the last record comes first.
            if (keepRef.kind == rkNone) keepRef = event.record;
        }
        if (RemovalAsked(event.outcome)) left.listedForRemoval = true;
        if (event.outcome == ioNotEmpty) {
            blocked = true;
            blockedAt = i;
        }
    }
    auto made = madeBy_.find(key);
    if (made != madeBy_.end()) {
        for (const TRecordRef& record : made->second) {
            if (record.kind == rkFolder) listed.push_back(record);
        }
    }
    const TRecordRef maker = MadeAsParent(history_.install, place.path);
    left.item = listed.empty() ? maker : listed.back();

    // The child that explains it best: one the project keeps, else any (the
    // children come in the order of their keys).
    const std::string* held = nullptr;
    for (const std::string& child : place.children) {
        if (!held || (Intended(child) && !Intended(*held))) held = &child;
    }
    left.intended = keep || (held && Intended(*held));
    const bool installFolder = key == installFolder_;
    const bool installParent = !installFolder && !installFolder_.empty() && !place.path.IsRoot() &&
                               place.path.Contains(madePaths_[installFolder_]);
    if (keep) {
        left.cause = LeftCause::kMarkedKeep;
        left.item = keepRef;
    } else if (held && (!listed.empty() || installFolder || left.intended)) {
        left.cause = LeftCause::kHolds;
        left.other = Explained(*held).item;
        left.otherPath = places_[*held].path;
    } else if (blocked && RemovedLater(key, blockedAt, left.other, left.otherPath)) {
        left.cause = LeftCause::kListedAfterSubfolder;
    } else if (installParent) {
        left.cause = LeftCause::kParentOfInstallFolder;
    } else if (maker.kind != rkNone && listed.empty()) {
        left.cause = LeftCause::kOnlyAParent;
    }
}

std::vector<Leftover> Explanation::Run() {
    std::vector<Leftover> out;
    for (auto& entry : places_) out.push_back(Explained(entry.first));
    return out;
}

}  // namespace

std::vector<Leftover> ExplainLeftovers(const RunHistory& history, const std::vector<LeftPath>& left) {
    return Explanation(history, left).Run();
}

TRecordRef MadeAsParent(const std::vector<RunItem>& install, const WinPath& folder) {
    for (const RunItem& item : install) {
        const TRecordKind kind = item.event.record.kind;
        if ((kind == rkFolder || kind == rkInstallFolder) && item.event.outcome == ioMade && !item.stored.empty() &&
            folder.Contains(ParseFullPath(item.stored))) {
            return item.event.record;
        }
    }
    return TRecordRef();
}

const Leftover* LeftoverAt(const std::vector<Leftover>& leftovers, const WinPath& path) {
    const std::string key = path.Key();
    for (const Leftover& left : leftovers) {
        if (left.path.Key() == key) return &left;
    }
    return nullptr;
}

FolderOrigin TypicalOrigin(const WinPath& folder, const std::vector<std::string>& keywordFolders) {
    if (folder.IsRoot()) return FolderOrigin::kExisting;
    const WinPath programFiles = ParseFullPath(kTypicalProgramFiles);
    const WinPath install = ParseFullPath(keywordFolders.empty() ? std::string() : keywordFolders[fkInstallFolder]);
    std::vector<WinPath> system;
    for (size_t k = 0; k < keywordFolders.size(); ++k) {
        if (static_cast<int>(k) != fkInstallFolder) system.push_back(ParseFullPath(keywordFolders[k]));
    }
    // The system's folders and every folder above them are there.
    if (folder.Contains(programFiles)) return FolderOrigin::kExisting;
    for (const WinPath& s : system) {
        if (folder.Contains(s)) return FolderOrigin::kExisting;
    }
    // Below them, and from Program Files down to the installation folder,
    // only the installation makes folders.
    if (install.Contains(folder)) return FolderOrigin::kNew;
    for (const WinPath& s : system) {
        if (s.Contains(folder)) return FolderOrigin::kNew;
    }
    if (folder.Contains(install) && programFiles.Contains(folder)) return FolderOrigin::kNew;
    return FolderOrigin::kUnknown;
}

}  // namespace setupproj
