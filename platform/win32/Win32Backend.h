#pragma once
// What the win32 window backend shares with the dialogs of the same backend.
#include <windows.h>

#include <string>

namespace plat {
class Form;
class Widget;
}

namespace plat::win32 {

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

// A font that is deleted when it goes.
class FontHandle {
public:
    FontHandle() = default;
    explicit FontHandle(HFONT font) : font_(font) {}
    ~FontHandle() { Reset(); }
    FontHandle(const FontHandle&) = delete;
    FontHandle& operator=(const FontHandle&) = delete;
    FontHandle(FontHandle&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    FontHandle& operator=(FontHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            font_ = other.font_;
            other.font_ = nullptr;
        }
        return *this;
    }
    HFONT Get() const { return font_; }
    void Reset() {
        if (font_) DeleteObject(font_);
        font_ = nullptr;
    }

private:
    HFONT font_ = nullptr;
};

// A regular font of that face and character set, heightDesign pixels high at
// 96 pixels per inch, scaled to the screen.
FontHandle MakeFont(const std::string& face, int charset, int heightDesign);

}  // namespace plat::win32
