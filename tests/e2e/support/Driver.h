#pragma once
// The end-to-end driver library: starts a Windows program of ours in its own
// process under Wine, finds its windows and controls, works them the way a
// person would, and takes PNG screenshots. Every wait takes a timeout in
// milliseconds and gives up when it has passed: nothing here can hang.
//
// Finding controls. Every window that mirrors a widget of the window layer
// (forms, pages, labels, buttons, edits, memos, frames, progress bars) has the
// window property "OrvaneName" (plat::win32ids::kWidgetNameProp) holding a
// global atom with the widget's Name ("NextButton", "LocationEdit",
// "CopyProcessSheet", "SetupMainForm", ...). FindControl(top, "NextButton")
// searches all descendants of top for it; WidgetName(hwnd) reads it back.
// Forms are top-level windows of class "OrvaneForm" (plat::win32ids::kFormClass).
//
// Dialogs. Message dialogs and the folder dialog are dialog windows (class
// "#32770") owned by the active form. A message dialog holds an SS_ICON static
// (ID 20), its text in a static (ID 0xFFFF), and the buttons "OK" (IDOK) or
// "はい(&Y)" (IDYES, the default button) and "いいえ(&N)" (IDNO). The folder
// dialog's controls carry the IDs of plat::win32ids (kFolderPathEditId, ...)
// and the names "PathEdit", "FolderList", "FileList", "DriveList",
// "OkButton", "CancelButton", "NetworkButton" as above.
//
// Paths. The drivers run under Wine: ORVANE_BINARY_DIR (a Unix path) is
// reached as Z:\... ; BuildPath() makes such a path.
//
// Main. The drivers link gtest without gtest_main: each driver ends with
//   int main(int argc, char** argv) { return e2e::RunAllTests(argc, argv); }
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Ids.h"

namespace e2e {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();  // kills the process if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // CreateProcessA(exe, "\"exe\" args") with workDir as its current folder,
    // and with its standard output and error in outputFile when one is named
    // (made anew). False (with error set) when the process could not be started.
    bool Start(const std::string& exe, const std::string& workDir,
               const std::string& args = "", std::string* error = nullptr, const std::string& outputFile = "");
    bool Running() const;
    DWORD Id() const { return pid_; }
    HANDLE Handle() const { return process_; }
    // Waits up to timeoutMs for the process to end: true with its exit code.
    // On timeout it kills the process and answers false.
    bool WaitExit(DWORD timeoutMs, DWORD& exitCode);
    void Kill();
    // Stops and restarts the program's main thread (the one that runs the
    // wizard and its runs), e.g. to photograph a page in the middle of a run.
    bool Suspend();
    bool Resume();

private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD pid_ = 0;
};

// Polls cond every pollMs until it answers true (true) or timeoutMs passes (false).
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = 20);

// Top-level windows of a process (EnumWindows + GetWindowThreadProcessId),
// visible ones only unless visibleOnly is false.
std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly = true);
// The first visible top-level window of pid whose class and caption match
// (an empty className or caption matches any; nullptr for the caption too).
HWND FindTopWindow(DWORD pid, const std::string& className, const char* caption = nullptr);
HWND WaitForTopWindow(DWORD pid, const std::string& className, const char* caption,
                      DWORD timeoutMs);
// A visible top-level form of ours ("OrvaneForm") with that widget name.
HWND WaitForForm(DWORD pid, const std::string& formName, DWORD timeoutMs);

// Descendant of top with the widget name, or nullptr.
HWND FindControl(HWND top, const std::string& widgetName);
HWND WaitForControl(HWND top, const std::string& widgetName, DWORD timeoutMs);
// Descendant of top whose window text equals caption (and class, when given).
HWND FindControlByCaption(HWND top, const std::string& caption, const char* className = nullptr);
HWND FindControlById(HWND top, int id);
std::string WidgetName(HWND hwnd);  // "" when the window carries none
std::string ClassOf(HWND hwnd);

// WM_GETTEXT through SendMessageTimeout (the target may be busy): "" on timeout.
std::string Text(HWND hwnd);
// The lines of a list box (LB_GETTEXT) or a combo box (CB_GETLBTEXT).
std::vector<std::string> ListItems(HWND hwnd);
bool IsEnabled(HWND hwnd);   // IsWindowEnabled
bool IsVisible(HWND hwnd);   // IsWindowVisible: the window and all its parents
RECT ClientRect(HWND hwnd);  // GetClientRect (device pixels)
RECT ScreenRect(HWND hwnd);  // GetWindowRect
LONG Style(HWND hwnd);
// EM_GETSEL of an edit: the selection's start and end.
void EditSelection(HWND edit, DWORD& start, DWORD& end);
// The window that has the keyboard focus in the thread of hwnd (GetGUIThreadInfo).
HWND FocusedWindow(HWND anyWindowOfThread);

// Presses a button: PostMessage BM_CLICK (works for enabled buttons only,
// as a person's click does).
void Click(HWND button);
// WM_CLOSE, as the close box, the system menu and Alt+F4 send it.
void PostClose(HWND window);
// Types text into an edit: WM_SETTEXT replaces its contents (EN_CHANGE follows).
void SetEditText(HWND edit, const std::string& text);
// A key press on the focused control of the window's thread (WM_KEYDOWN/WM_KEYUP
// posted, so that the dialog manager sees it as it sees a real key).
void PressKey(HWND window, UINT vk);

struct MessageDialog {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;                  // the text static's text
    std::vector<std::string> buttons;  // button captions in child order
    std::string defaultButton;         // caption of the BS_DEFPUSHBUTTON, "" if none
    bool hasIcon = false;              // an SS_ICON static with an icon set
};

// A visible dialog window (#32770) of pid that is not in except, waited for.
HWND WaitForDialog(DWORD pid, DWORD timeoutMs, const std::vector<HWND>& except = {});
bool ReadMessageDialog(HWND dialog, MessageDialog& out);
// Presses the dialog's button with that caption ("はい(&Y)", "いいえ(&N)", "OK"):
// false when there is none.
bool PressDialogButton(HWND dialog, const std::string& caption);
// Esc on the dialog's focused control.
void PressEscape(HWND dialog);
// Waits for the window to be gone (IsWindow false).
bool WaitGone(HWND hwnd, DWORD timeoutMs);

// Writes an 8-bit RGB PNG (stored deflate blocks, CRC-32, Adler-32). rgb holds
// width*height*3 bytes, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
// The screen's pixels under the window (its whole frame), or the whole screen
// for nullptr, into a PNG file. The file's folder is created when missing.
bool SaveScreenshot(HWND window, const std::string& pngPath);
// The smallest rectangle that holds all those windows (e.g. a form and its dialog).
bool SaveScreenshot(const std::vector<HWND>& windows, const std::string& pngPath);
bool SaveScreenRect(const RECT& screenRect, const std::string& pngPath);
// The screen's pixels in screenRect, 8-bit RGB rows top to bottom.
bool CaptureScreenRect(const RECT& screenRect, std::vector<uint8_t>& rgb);
// Waits until the window's thread has handled what was sent to it before (a
// WM_NULL answered): a handler under way has returned. False on timeout.
bool WaitIdle(HWND window, DWORD timeoutMs);
// Waits until the screen under the windows stops changing (two captures 50 ms
// apart agree): what they started to paint is on the screen.
bool WaitSettled(const std::vector<HWND>& windows, DWORD timeoutMs);

// ORVANE_BINARY_DIR joined with rel as a Windows path (Z:\...\build\rel).
std::string BuildPath(const std::string& rel = "");
// Where the drivers put their PNG files: <build>\e2e-screenshots\<file>.
std::string ScreenshotPath(const std::string& file);
// Setup.exe of the build tree.
std::string SetupExePath();
// A fresh empty folder <build>\e2e-work\<tag> (emptied first when it exists).
std::string FreshFolder(const std::string& tag);
bool MakeFolders(const std::string& path);  // the whole chain
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Removes a folder with everything in it (no error when it is missing).
void RemoveTree(const std::string& path);
// A project folder: a fresh folder holding a copy of Setup.exe and that
// Setup.ini text (CP932 bytes as they are). Returns the folder, "" on failure.
std::string MakeProjectFolder(const std::string& tag, const std::string& iniText,
                              const std::string& exeName = "Setup.exe");

// gtest's main for a driver.
int RunAllTests(int argc, char** argv);

}  // namespace e2e
