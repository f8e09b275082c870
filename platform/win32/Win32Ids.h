#pragma once
// How another process finds our windows: shared by the win32 backend and the
// end-to-end driver. Plain constants only (no <windows.h> needed here).

namespace plat::win32ids {

// Every HWND that mirrors a widget carries a window property of this name
// whose value is a global atom holding the widget's Name (GlobalAddAtomA).
// The atom is deleted when the window goes. Read it from any process with
// GetPropA(hwnd, kWidgetNameProp) and GlobalGetAtomNameA.
constexpr const char* kWidgetNameProp = "OrvaneName";

// Window class of our forms (dialog-framed and borderless alike).
constexpr const char* kFormClass = "OrvaneForm";

// Message dialog: the control IDs of the dialog template. The buttons use
// the answers' IDs: IDOK 1, IDYES 6, IDNO 7.
constexpr int kMsgIconId = 20;
constexpr int kMsgTextId = 0xFFFF;

// Folder dialog: the control IDs of the dialog template.
constexpr int kFolderPathEditId = 1152;
constexpr int kFolderPathLabelId = 1090;
constexpr int kFolderListId = 1121;
constexpr int kFolderListLabelId = 1093;
constexpr int kFolderFileListId = 1120;
constexpr int kFolderFileLabelId = 1094;
constexpr int kFolderDriveListId = 1137;
constexpr int kFolderDriveLabelId = 1091;
constexpr int kFolderCurrentId = 1088;  // the current folder's path, above the lists
constexpr int kFolderNetworkId = 1037;
// OK is IDOK (1), キャンセル is IDCANCEL (2).

}  // namespace plat::win32ids
