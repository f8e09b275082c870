#include "platform/Window.h"

#include <algorithm>

#include "platform/Dialogs.h"
#include "platform/Error.h"
#include "platform/WindowBackend.h"

namespace plat {

Widget::Widget(WidgetKind kind, Widget* parent, const std::string& name)
    : kind_(kind), parent_(parent), name_(name) {
    if (parent_) {
        parent_->children_.push_back(this);
        if (kind_ == WidgetKind::Page && parent_->kind_ == WidgetKind::PageControl) {
            parent_->pages_.push_back(this);
        }
    }
}

Widget::~Widget() {
    backend::WidgetReleased(*this);
    // Children are owned by whoever declared them; they only unlink here.
    for (Widget* child : children_) child->parent_ = nullptr;
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        auto& pages = parent_->pages_;
        pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
        if (parent_->activePage_ == this) parent_->activePage_ = nullptr;
    }
}

Form* Widget::OwnerForm() {
    Widget* w = this;
    while (w->parent_) w = w->parent_;
    return w->kind_ == WidgetKind::Form ? static_cast<Form*>(w) : nullptr;
}

void Widget::Notify(Change change) { backend::WidgetChanged(*this, change); }

void Widget::SetCaption(const std::string& caption) {
    caption_ = caption;
    Notify(Change::Caption);
}

void Widget::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Notify(Change::Enabled);
}

void Widget::SetVisible(bool visible) {
    visible_ = visible;
    Notify(Change::Visible);
}

void Widget::SetBounds(const Rect& bounds) {
    bounds_ = bounds;
    Notify(Change::Bounds);
}

void Widget::SetHint(const std::string& hint) {
    hint_ = hint;
    Notify(Change::Hint);
}

void Widget::SetLines(const std::vector<std::string>& lines) {
    lines_ = lines;
    Notify(Change::Lines);
}

void Widget::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    position_ = std::clamp(position_, min_, max_);
    Notify(Change::Progress);
}

void Widget::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    Notify(Change::Progress);
}

Widget* Widget::PageAt(int index) const {
    if (index < 0 || index >= PageTotal()) return nullptr;
    return pages_[index];
}

int Widget::IndexOfPage(const Widget* page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == page) return static_cast<int>(i);
    }
    return -1;
}

void Widget::MovePage(Widget* page, int index) {
    int from = IndexOfPage(page);
    if (from < 0) return;
    pages_.erase(pages_.begin() + from);
    index = std::clamp(index, 0, PageTotal());
    pages_.insert(pages_.begin() + index, page);
}

void Widget::SetActivePage(Widget* page) {
    if (page && IndexOfPage(page) < 0) return;
    activePage_ = page;
    Notify(Change::ActivePage);
}

void Widget::Click() {
    if (!enabled_ || !visible_ || !OnClick) return;
    RunHandler(OnClick);
}

Form::Form(const std::string& name) : Widget(WidgetKind::Form, nullptr, name) {}

Form::~Form() {
    if (!destroyed_) {
        destroyed_ = true;
        backend::DestroyForm(*this);
    }
}

void Form::Show() {
    shown_ = true;
    SetVisible(true);
    backend::ShowForm(*this);
}

void Form::Close() {
    if (destroyed_ || closing_) return;
    closing_ = true;
    bool allowed = true;
    if (OnCloseQuery) {
        RunHandler([&] { allowed = OnCloseQuery(); });
    }
    closing_ = false;
    if (!allowed) return;
    if (OnClose) RunHandler(OnClose);
    Destroy();
}

void Form::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (OnDestroy) RunHandler(OnDestroy);
    backend::DestroyForm(*this);
    if (endsProgram) backend::QuitLoop();
}

void Form::PostUserMessage(unsigned message) {
    if (!destroyed_) backend::PostToForm(*this, message);
}

void Form::Repaint() {
    if (!destroyed_) backend::RepaintForm(*this);
}

void Form::Invalidate() {
    if (!destroyed_) backend::InvalidateForm(*this);
}

void Form::FocusControl(Widget* control) {
    focused_ = control;
    if (control) backend::FocusWidget(*this, *control);
}

void Form::DeliverUserMessage(unsigned message) {
    if (destroyed_ || !OnUserMessage) return;
    RunHandler([&] { OnUserMessage(message); });
}

namespace {
std::string& TitleStore() {
    static std::string title;
    return title;
}
}  // namespace

void SetApplicationTitle(const std::string& title) {
    TitleStore() = title;
    backend::ApplicationTitleChanged(title);
}

const std::string& ApplicationTitle() { return TitleStore(); }

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ESetupError& e) {
        ShowMessageDialog(nullptr, MsgKind::Error, ApplicationTitle(), e.Message(), MsgButtons::Ok);
    } catch (const std::exception& e) {
        ShowMessageDialog(nullptr, MsgKind::Error, ApplicationTitle(), e.what(), MsgButtons::Ok);
    }
}

void RunMessageLoop() { backend::RunLoop(); }

}  // namespace plat
