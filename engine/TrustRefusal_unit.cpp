#include "engine/TrustRefusal_unit.h"

namespace {

// Why, as the middle of "次の<what>は<why>、<what it cannot be>。".
const char* ReasonOf(plat::TrustProblem problem) {
    switch (problem) {
        case plat::TrustProblem::None: return "";
        case plat::TrustProblem::NotFullPath: return "完全なパスではないため";
        case plat::TrustProblem::Missing: return "見つからないため";
        case plat::TrustProblem::Unreadable:
        case plat::TrustProblem::UnknownRules: return "アクセス権を確認できないため";
        // The user can do nothing about it but choose another drive.
        case plat::TrustProblem::NoAccessRules: return "アクセス権のないドライブ（FAT など）にあるため";
        case plat::TrustProblem::NotAFolder: return "フォルダではないため";
        case plat::TrustProblem::ReparsePoint: return "別の場所へのリンク（ジャンクションなど）のため";
        case plat::TrustProblem::UntrustedOwner: return "他のユーザーが所有していて変更できるため";
        case plat::TrustProblem::NullDacl:
        case plat::TrustProblem::WritableByOthers: return "他のユーザーが変更できるため";
    }
    return "安全でないため";
}

}  // namespace

std::string TrustRefusalText(const plat::TrustVerdict& verdict, TTrustUse use, bool isFile) {
    if (verdict.Trusted()) return std::string();
    const bool pathOnly =
        verdict.problem == plat::TrustProblem::NotFullPath || verdict.problem == plat::TrustProblem::NotAFolder;
    const char* what = pathOnly ? "次の場所は" : isFile ? "次のファイルは" : "次のフォルダは";
    const char* refused = use == tuInstallLocation ? "インストール先にできません。" : "アンインストールを実行できません。";
    return std::string(what) + ReasonOf(verdict.problem) + "、" + refused + "\n\n" + verdict.path;
}
