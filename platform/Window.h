#pragma once
// The window layer. The wizard's logic speaks to its controls as these plain
// objects; the win32 backend mirrors them onto real windows and routes their
// events back, the sim backend keeps them headless. Positions and sizes are
// design measures at 96 pixels per inch; the win32 backend scales them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plat {

class Canvas;
class Form;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};
struct Size {
    int cx = 0, cy = 0;
};

enum class WidgetKind { Form, PageControl, Page, Label, Button, Edit, Memo, Bevel, ProgressBar };
enum class Change { Caption, Enabled, Visible, Bounds, Lines, Progress, ActivePage, Hint, Focus };

constexpr unsigned kWmUser = 1024;  // WM_USER
constexpr int kShiftJisCharset = 128;

struct FontSpec {
    std::string face;
    int charset = 0;
    int height = 0;  // character height in pixels at 96 pixels per inch
};

class Widget {
public:
    Widget(WidgetKind kind, Widget* parent, const std::string& name);
    virtual ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    WidgetKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    Widget* Parent() const { return parent_; }
    const std::vector<Widget*>& Children() const { return children_; }
    Form* OwnerForm();

    // The caption of a label or button, the text of an edit, the title of a form.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const Rect& Bounds() const { return bounds_; }
    void SetBounds(const Rect& bounds);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    // Tab order among the siblings (0 first); -1 when the control takes no focus.
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }

    // Labels: sized to the text, or fixed and word-wrapped.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on) { autoSize_ = on; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on) { wordWrap_ = on; }

    // Multi-line text (memo).
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(const std::vector<std::string>& lines);

    // Progress bar: the position stays inside the range, as the control keeps it.
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetRange(int min, int max);
    void SetPosition(int position);

    // Page control: the pages in their order (Page widgets that are children).
    int PageTotal() const { return static_cast<int>(pages_.size()); }
    Widget* PageAt(int index) const;
    int IndexOfPage(const Widget* page) const;
    void MovePage(Widget* page, int index);
    Widget* ActivePage() const { return activePage_; }
    void SetActivePage(Widget* page);

    // Buttons.
    std::function<void()> OnClick;
    // Edits: the backend reports text that the user typed (no echo back).
    void TextFromUser(const std::string& text) { caption_ = text; }
    // A click from the user or a test: runs OnClick when enabled and visible.
    void Click();

    void* native = nullptr;  // the backend's peer

protected:
    void Notify(Change change);

private:
    WidgetKind kind_;
    Widget* parent_;
    std::string name_;
    std::vector<Widget*> children_;
    std::string caption_, hint_;
    bool enabled_ = true, visible_ = true;
    Rect bounds_;
    int tabOrder_ = -1;
    bool autoSize_ = false, wordWrap_ = false;
    std::vector<std::string> lines_;
    int min_ = 0, max_ = 100, position_ = 0;
    std::vector<Widget*> pages_;
    Widget* activePage_ = nullptr;
};

enum class FormFrame {
    Dialog,      // single border, title bar with system menu and close box only, fixed size
    Borderless,  // no caption bar, no frame
};

class Form : public Widget {
public:
    explicit Form(const std::string& name);
    ~Form() override;

    FormFrame frame = FormFrame::Dialog;
    bool centred = true;     // centred on the screen when shown
    FontSpec font;           // font of the window and all its controls
    bool takesInput = true;  // false: disabled, never activated, never takes the focus
    bool endsProgram = false;  // its destruction ends the message loop
    // A page of a page control, and its controls, get their windows when the
    // page is first shown rather than with the form: a wizard's later pages
    // then cost nothing at start-up. Until then they only keep their state.
    bool pagesOnDemand = false;

    std::function<bool()> OnCloseQuery;  // may the close go ahead?
    std::function<void()> OnClose;       // the close was allowed
    std::function<void()> OnDestroy;     // the window is being destroyed
    std::function<void(unsigned)> OnUserMessage;  // a posted kWmUser + n message
    std::function<void(Canvas&)> OnPaint;         // forms that paint themselves

    void Show();
    bool Shown() const { return shown_; }
    // Every close passes the close rule: OnCloseQuery, then OnClose and destruction.
    void Close();
    void Destroy();
    bool Destroyed() const { return destroyed_; }
    // PostMessageA(handle, message, 0, 0).
    void PostUserMessage(unsigned message);
    // Paint at once (UpdateWindow), since a run keeps the message loop busy.
    void Repaint();
    void Invalidate();
    void FocusControl(Widget* control);
    Widget* Focused() const { return focused_; }

    void DeliverUserMessage(unsigned message);  // called by the backend's message loop

private:
    bool shown_ = false, destroyed_ = false, closing_ = false;
    Widget* focused_ = nullptr;
};

// The application title: taskbar entry and caption of the unexpected-error box.
void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();
// Runs an event handler; an error that escapes it is shown in an error box
// captioned with the application title, and the program goes on.
void RunHandler(const std::function<void()>& handler);
// The message loop, until a form with endsProgram is destroyed.
void RunMessageLoop();

}  // namespace plat
