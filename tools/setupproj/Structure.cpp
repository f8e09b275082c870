#include "tools/setupproj/Structure.h"

#include <algorithm>
#include <map>
#include <set>

#include "project/ProjectProperty_unit.h"
#include "tools/setupproj/Keywords.h"
#include "tools/setupproj/ProjectText.h"

namespace setupproj {

namespace {

struct Node {
    WinPath path;
    std::string parent;  // key; empty for a root
    std::set<std::string> children;
    bool folder = true;
    bool present = false;
    bool created = false;  // made by the installation
    ItemRef madeBy;
    std::vector<int> listed;  // folder records that name it
    bool listedForRemoval = false;
    bool keep = false;
    ItemRef keepRef;
    bool installFolder = false;
    bool installParent = false;
    // A file: the item that made it, and what left it on the uninstallation.
    ItemRef file;
    bool kept = false;
    LeftCause keptCause = LeftCause::kDeleteModeKeep;
    ItemRef keptBy;
    std::string blockedBy;  // the child that kept a folder at its removal
};

class Simulation {
public:
    Simulation(const TProjectProperty& project, const StructureSetup& setup) : p_(project), setup_(setup) {}
    StructureReport Run();

private:
    ExpandedPath Expand(const std::string& path) const { return ExpandKeyword(path, setup_.keywordFolders); }
    Node& Get(const WinPath& path);
    Node* Find(const WinPath& path);
    Node* EnsureFolder(const WinPath& path, ItemRef by, Node** blocking);
    bool PlaceIn(const WinPath& item, ItemRef ref);
    void AddFile(const WinPath& path, ItemRef ref, bool isLink);
    void Install();
    void CheckTargets();
    void Uninstall();
    bool RemoveIfEmpty(Node& folder);
    bool Intended(const std::string& key);
    void CollectLeftovers();

    const TProjectProperty& p_;
    const StructureSetup& setup_;
    std::map<std::string, Node> nodes_;
    WinPath install_;
    StructureReport report_;
    std::map<std::string, bool> intended_;
};

Node& Simulation::Get(const WinPath& path) {
    const std::string key = path.Key();
    auto found = nodes_.find(key);
    if (found != nodes_.end()) return found->second;
    Node& node = nodes_[key];
    node.path = path;
    if (!path.IsRoot()) {
        Node& parent = Get(path.Parent());
        node.parent = path.Parent().Key();
        parent.children.insert(key);
    }
    return nodes_[key];
}

Node* Simulation::Find(const WinPath& path) {
    auto found = nodes_.find(path.Key());
    return found == nodes_.end() ? nullptr : &found->second;
}

// Creates the folder with its missing parents, as the folder-chain creation
// does. A file in the way stops it (*blocking names it).
Node* Simulation::EnsureFolder(const WinPath& path, ItemRef by, Node** blocking) {
    WinPath prefix = path;
    prefix.parts.clear();
    Node* node = nullptr;
    for (size_t i = 0; i <= path.parts.size(); ++i) {
        if (i > 0) prefix.parts.push_back(path.parts[i - 1]);
        node = &Get(prefix);
        if (node->present) {
            if (!node->folder) {
                if (blocking) *blocking = node;
                return nullptr;
            }
            continue;
        }
        node->present = true;
        node->folder = true;
        FolderOrigin origin = setup_.originOf ? setup_.originOf(prefix) : FolderOrigin::kUnknown;
        if (origin == FolderOrigin::kNew) {
            node->created = true;
            node->madeBy = by;
        }
    }
    return node;
}

// Whether the folder of a file or link is there when it is made; reports it
// when not. An unknown folder is assumed to be there after the report.
bool Simulation::PlaceIn(const WinPath& item, ItemRef ref) {
    const WinPath folder = item.Parent();
    Node* node = Find(folder);
    if (node && node->present) {
        if (node->folder) return true;
        MissingFolder missing{ref, folder, true, node->file};
        missing.occupied = true;
        report_.missing.push_back(missing);
        return false;
    }
    FolderOrigin origin = setup_.originOf ? setup_.originOf(folder) : FolderOrigin::kUnknown;
    if (origin == FolderOrigin::kNew) {
        report_.missing.push_back(MissingFolder{ref, folder, true, ItemRef{}});
        return false;
    }
    Node* blocking = nullptr;
    if (origin == FolderOrigin::kUnknown) {
        // Below an unknown folder only the parts that exist for certain can be
        // told apart; the rest may or may not be there.
        report_.missing.push_back(MissingFolder{ref, folder, false, ItemRef{}});
    }
    return EnsureFolder(folder, ref, &blocking) != nullptr;
}

void Simulation::AddFile(const WinPath& path, ItemRef ref, bool isLink) {
    Node& node = Get(path);
    if (node.present && node.folder) {
        report_.collisions.push_back(Collision{node.listed.empty() ? node.madeBy : ItemRef{ItemKind::kFolder, node.listed[0]},
                                               ref, path, true});
        return;
    }
    if (node.present) {
        // The program's own copies are made after every file and replace it.
        bool fatal = ref.kind == ItemKind::kProgramCopy || ref.kind == ItemKind::kProjectCopy;
        report_.collisions.push_back(Collision{node.file, ref, path, fatal});
        if (!fatal && !isLink) return;  // the same file, copied again
    }
    node.present = true;
    node.folder = false;
    node.created = true;
    node.file = ref;
}

void Simulation::Install() {
    const ExpandedPath install = Expand("[Install Folder]");
    install_ = install.full;
    if (install_.valid) {
        Node* folder = EnsureFolder(install_, ItemRef{ItemKind::kInstallFolder, -1}, nullptr);
        if (folder) folder->installFolder = true;
        for (WinPath up = install_.Parent(); !up.IsRoot(); up = up.Parent()) Get(up).installParent = true;
    }
    for (int i = 0; i < p_.Folders.Count(); ++i) {
        const TMakeFolder& item = p_.Folders.Items(i);
        const ExpandedPath path = Expand(item.FolderPath);
        if (!path.full.valid) continue;
        const ItemRef ref{ItemKind::kFolder, i};
        Node* blocking = nullptr;
        Node* folder = EnsureFolder(path.full, ref, &blocking);
        if (!folder) continue;
        if (!folder->listed.empty()) {
            report_.collisions.push_back(Collision{ItemRef{ItemKind::kFolder, folder->listed.back()}, ref, path.full, false});
        }
        folder->listed.push_back(i);
        if (item.KeepOnUninstall != 0) {
            folder->keep = true;
            folder->keepRef = ref;
        } else if (!path.keywordFolder) {
            folder->listedForRemoval = true;
        }
    }
    for (int i = 0; i < p_.Files.Count(); ++i) {
        const ExpandedPath dest = Expand(p_.Files.Items(i).DestFile);
        if (!dest.full.valid || dest.full.IsRoot()) continue;
        const ItemRef ref{ItemKind::kFile, i};
        if (PlaceIn(dest.full, ref)) AddFile(dest.full, ref, false);
    }
    if (install_.valid && !setup_.programFileName.empty()) {
        AddFile(install_.Child(setup_.programFileName), ItemRef{ItemKind::kProgramCopy, -1}, false);
        AddFile(install_.Child(ProjectNameOf(setup_.programFileName)), ItemRef{ItemKind::kProjectCopy, -1}, false);
    }
    for (int i = 0; i < p_.Shortcuts.Count(); ++i) {
        const ExpandedPath link = Expand(p_.Shortcuts.Items(i).LinkFile + ".lnk");
        if (!link.full.valid || link.full.IsRoot()) continue;
        const ItemRef ref{ItemKind::kShortcut, i};
        if (PlaceIn(link.full, ref)) AddFile(link.full, ref, true);
    }
}

void Simulation::CheckTargets() {
    for (int i = 0; i < p_.Shortcuts.Count(); ++i) {
        const std::string& target = p_.Shortcuts.Items(i).TargetFile;
        if (target.empty()) {
            report_.badTargets.push_back(BadTarget{i, TargetProblem::kEmpty});
            continue;
        }
        const ExpandedPath path = Expand(target);
        if (!path.full.valid) {
            report_.badTargets.push_back(BadTarget{i, TargetProblem::kRelative});
            continue;
        }
        // Outside the installation folder a target belongs to the system,
        // which the project need not install.
        if (!install_.Contains(path.full)) continue;
        Node* node = Find(path.full);
        if (!node || !node->present) report_.badTargets.push_back(BadTarget{i, TargetProblem::kNotInstalled});
    }
}

bool Simulation::RemoveIfEmpty(Node& folder) {
    for (const std::string& child : folder.children) {
        if (nodes_[child].present) {
            folder.blockedBy = child;
            return false;
        }
    }
    folder.present = false;
    return true;
}

void Simulation::Uninstall() {
    for (int i = 0; i < p_.Shortcuts.Count(); ++i) {
        const ExpandedPath link = Expand(p_.Shortcuts.Items(i).LinkFile + ".lnk");
        Node* node = link.full.valid ? Find(link.full) : nullptr;
        if (node && node->present && !node->folder) node->present = false;
    }
    for (int i = 0; i < p_.Files.Count(); ++i) {
        const TCopyFile& item = p_.Files.Items(i);
        const ExpandedPath dest = Expand(item.DestFile);
        Node* node = dest.full.valid ? Find(dest.full) : nullptr;
        if (!node || !node->present || node->folder) continue;
        const ItemRef ref{ItemKind::kFile, i};
        if (item.DeleteMode == 1 || (item.DeleteMode == 2 && setup_.keepAnsweredFiles)) {
            if (!node->kept) {
                node->kept = true;
                node->keptCause = item.DeleteMode == 1 ? LeftCause::kDeleteModeKeep : LeftCause::kAnsweredNo;
                node->keptBy = ref;
            }
            continue;
        }
        node->present = false;
    }
    for (int i = p_.Folders.Count() - 1; i >= 0; --i) {
        const TMakeFolder& item = p_.Folders.Items(i);
        if (item.KeepOnUninstall != 0) continue;
        const ExpandedPath path = Expand(item.FolderPath);
        if (!path.full.valid || path.keywordFolder) continue;
        Node* node = Find(path.full);
        // Only what the installation made is known to be empty or not.
        if (!node || !node->present || !node->folder || !node->created) continue;
        RemoveIfEmpty(*node);
    }
    // The self-removal, once the program has ended: its own copies, then the
    // installation folder when it is empty.
    if (install_.valid && !setup_.programFileName.empty()) {
        for (const WinPath& own : {install_.Child(setup_.programFileName),
                                   install_.Child(ProjectNameOf(setup_.programFileName))}) {
            Node* node = Find(own);
            if (node && !node->folder) node->present = false;
        }
        Node* folder = Find(install_);
        if (folder && folder->present && folder->created) RemoveIfEmpty(*folder);
    }
}

bool Simulation::Intended(const std::string& key) {
    auto known = intended_.find(key);
    if (known != intended_.end()) return known->second;
    Node& node = nodes_[key];
    bool result = !node.folder || node.keep;
    for (const std::string& child : node.children) {
        if (result) break;
        if (nodes_[child].present && Intended(child)) result = true;
    }
    intended_[key] = result;
    return result;
}

void Simulation::CollectLeftovers() {
    for (auto& entry : nodes_) {
        Node& node = entry.second;
        if (!node.present || !node.created) continue;
        Leftover left;
        left.path = node.path;
        left.folder = node.folder;
        left.listedForRemoval = node.listedForRemoval;
        left.intended = Intended(entry.first);
        if (!node.folder) {
            left.item = node.kept ? node.keptBy : node.file;
            left.cause = node.keptCause;
            report_.leftovers.push_back(left);
            continue;
        }
        left.item = node.listed.empty() ? node.madeBy : ItemRef{ItemKind::kFolder, node.listed.back()};
        // The child that explains it best: one the project keeps, else any.
        const Node* held = nullptr;
        for (const std::string& child : node.children) {
            const Node& c = nodes_[child];
            if (!c.present) continue;
            if (!held || (Intended(child) && !Intended(held->path.Key()))) held = &c;
        }
        auto heldRef = [this](const Node& c) {
            if (!c.folder) return c.kept ? c.keptBy : c.file;
            if (c.keep) return c.keepRef;
            return c.listed.empty() ? c.madeBy : ItemRef{ItemKind::kFolder, c.listed.back()};
        };
        const bool listed = !node.listed.empty();
        if (node.keep) {
            left.cause = LeftCause::kMarkedKeep;
            left.item = node.keepRef;
        } else if (held && (listed || node.installFolder || left.intended)) {
            left.cause = LeftCause::kHolds;
            left.other = heldRef(*held);
            left.otherPath = held->path;
        } else if (listed && !node.blockedBy.empty()) {
            left.cause = LeftCause::kListedAfterSubfolder;
            const Node& blocker = nodes_[node.blockedBy];
            left.other = heldRef(blocker);
            left.otherPath = blocker.path;
        } else if (node.installParent) {
            left.cause = LeftCause::kParentOfInstallFolder;
        } else {
            left.cause = LeftCause::kOnlyAParent;
        }
        report_.leftovers.push_back(left);
    }
}

StructureReport Simulation::Run() {
    Install();
    CheckTargets();
    Uninstall();
    CollectLeftovers();
    return std::move(report_);
}

}  // namespace

const Leftover* StructureReport::LeftoverAt(const WinPath& path) const {
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

std::string ProjectNameOf(const std::string& programFileName) {
    size_t dot = programFileName.rfind('.');
    return (dot == std::string::npos ? programFileName : programFileName.substr(0, dot)) + ".ini";
}

StructureReport AnalyzeStructure(const TProjectProperty& project, const StructureSetup& setup) {
    return Simulation(project, setup).Run();
}

}  // namespace setupproj
