#include "ui/MessageDlg_unit.h"

namespace {

plat::MsgKind KindOf(TMsgDlgType type) {
    switch (type) {
    case mtWarning: return plat::MsgKind::Warning;
    case mtError: return plat::MsgKind::Error;
    case mtInformation: return plat::MsgKind::Information;
    case mtConfirmation: return plat::MsgKind::Confirmation;
    }
    return plat::MsgKind::Information;
}

}  // namespace

const std::string& MessageDlgCaption(TMsgDlgType type) {
    static const std::string kWarning = "警告";
    static const std::string kError = "エラー";
    static const std::string kInformation = "情報";
    static const std::string kConfirmation = "確認";
    switch (type) {
    case mtWarning: return kWarning;
    case mtError: return kError;
    case mtInformation: return kInformation;
    case mtConfirmation: return kConfirmation;
    }
    return kInformation;
}

plat::MsgAnswer MessageDlg(const std::string& text, TMsgDlgType type, bool yesNo) {
    plat::MsgAnswer answer =
        plat::ShowMessageDialog(nullptr, KindOf(type), MessageDlgCaption(type), text,
                                yesNo ? plat::MsgButtons::YesNo : plat::MsgButtons::Ok);
    if (yesNo && answer != plat::MsgAnswer::Yes) return plat::MsgAnswer::No;
    return answer;
}
