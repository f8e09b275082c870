#include "platform/Security.h"

#include "platform/Error.h"
#include "platform/FileSystem.h"

namespace plat {

// P: protected from the parent's rules. FA: full access. OICI: inherited by
// files and folders made inside. FRFX: read and run. SY: SYSTEM,
// BA: Administrators, BU: Users. O:BA: owned by Administrators, which an
// elevated administrator may give (the group is the token's default owner).
const char kPrivateFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
const char kProgramFileAccess[] = "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;BU)";
const char kInstallFolderAccess[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

namespace {

constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorAlreadyExists = 183;

// The facts of every entry of the path's chain; below the first missing one
// nothing is asked.
std::vector<SecurityFacts> ReadChain(const std::vector<std::string>& paths) {
    std::vector<SecurityFacts> chain;
    bool missing = false;
    for (const std::string& p : paths) {
        if (missing) {
            SecurityFacts f;
            f.path = p;
            chain.push_back(f);
            continue;
        }
        chain.push_back(ReadSecurityFacts(p));
        missing = !chain.back().exists;
    }
    return chain;
}

TrustVerdict JudgePath(const std::string& path, bool file) {
    const std::vector<std::string> paths = ChainPaths(path);
    if (paths.empty()) {
        TrustVerdict v;
        v.problem = TrustProblem::NotFullPath;
        v.path = path;
        return v;
    }
    return JudgeChain(ReadChain(paths), CurrentIdentity(), file);
}

bool IsFolder(const SecurityFacts& f) { return f.exists && (f.attributes & kAttrDirectory); }

}  // namespace

TrustVerdict JudgeFolderChain(const std::string& folder) { return JudgePath(folder, false); }
TrustVerdict JudgeFileChain(const std::string& file) { return JudgePath(file, true); }

bool MakeInstallFolder(const std::string& path, std::vector<ChainFolder>& chain) {
    chain.clear();
    if (path.empty()) throw ESetupError("フォルダを作成できません");
    const std::vector<std::string> paths = ChainPaths(path);
    if (paths.empty()) {
        KeepError(kErrorInvalidName);
        return false;
    }
    const TrustIdentity identity = CurrentIdentity();
    std::vector<SecurityFacts> facts;
    for (const std::string& p : paths) {
        SecurityFacts f = ReadSecurityFacts(p);
        FolderOrigin origin = FolderOrigin::Existed;
        if (!f.exists) {
            if (facts.empty()) {  // no such volume
                KeepError(kErrorPathNotFound);
                return false;
            }
            // What the folder would be with plain inheritance.
            SecurityFacts inherited = f;
            inherited.exists = true;
            inherited.readable = true;
            inherited.keepsAccessRules = facts.back().keepsAccessRules;
            inherited.attributes = kAttrDirectory;
            inherited.owner = identity.creatorOwner;
            inherited.dacl = InheritedDacl(facts.back().dacl, true, identity.creatorOwner);
            std::vector<SecurityFacts> would = facts;
            would.push_back(inherited);
            const bool inherit = JudgeChain(would, identity, false).Trusted();
            if (inherit ? MakeDirectory(p) : MakeFolderWithAccess(p, kInstallFolderAccess)) {
                origin = inherit ? FolderOrigin::Inherited : FolderOrigin::WithRules;
            }
            // Made by someone else in the meantime, it counts as one that existed.
            const uint32_t refused = LastError();
            f = ReadSecurityFacts(p);
            if (!f.exists) {
                KeepError(refused);
                return false;
            }
        }
        // One whose attributes cannot be read is left to the run's judgement.
        if (f.readable && !IsFolder(f)) {
            KeepError(kErrorAlreadyExists);
            return false;
        }
        chain.push_back({p, origin});
        facts.push_back(f);
    }
    return true;
}

}  // namespace plat
