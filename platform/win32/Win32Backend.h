#pragma once
// What the win32 window backend shares with the dialogs of the same backend.
#include <windows.h>

#include "platform/win32/Handles.h"

#include <string>
#include <vector>

namespace plat {
class Form;
class Widget;
}

namespace plat::win32 {

// Text of the ANSI code page in UTF-16 with its terminating zero (just the
// zero when it is empty or does not convert). A vector, not a wide string, so
// that Setup.exe links none of the wide string library code.
std::vector<wchar_t> AnsiToWideZ(const std::string& text);

// The screen's logical pixels per inch (LOGPIXELSY), read once; the process
// is made DPI aware before that.
int ScreenDpi();
// A design measure at 96 pixels per inch, in device pixels.
int Scale(int designPixels);

// The window of a form, realized on demand; nullptr for a destroyed form.
HWND FormWindow(Form& form);
// The owner for a modal dialog: the given form's window, else the active
// window when it is one of our forms, else the form that ends the program.
HWND DialogOwner(Form* form);
// The font of the program's main form (the wizard's font), or nullptr.
HFONT MainFont();

// Puts a widget name on a window for the end-to-end driver, and takes it off.
void TagWindow(HWND hwnd, const std::string& name);
void UntagWindow(HWND hwnd);

// A regular font of that face and character set, heightDesign pixels high at
// 96 pixels per inch, scaled to the screen.
FontHandle MakeFont(const std::string& face, int charset, int heightDesign);

}  // namespace plat::win32
