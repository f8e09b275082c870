#pragma once
// What each backend provides to the window layer (not for the product's code).
#include "platform/Window.h"

namespace plat::backend {

void WidgetChanged(Widget& widget, Change change);
void WidgetReleased(Widget& widget);  // the object is going away
void ShowForm(Form& form);
void DestroyForm(Form& form);
void PostToForm(Form& form, unsigned message);
void RepaintForm(Form& form);
void InvalidateForm(Form& form);
void FocusWidget(Form& form, Widget& widget);
void RunLoop();
void QuitLoop();
void ApplicationTitleChanged(const std::string& title);

}  // namespace plat::backend
