#pragma once

class QCloseEvent;
class QWidget;

namespace zem::ui {
class Form;
}

namespace zem::gui {

// What the dialog and the main window showing a form have in common.

// Gives a window the form's caption and client size.
void PlaceWindow(QWidget& window, QWidget& client, const ui::Form& form);
// Centres the window on its screen when the form asks for that.
void CentreWhenAsked(QWidget& window, const ui::Form& form);
// A close request on the window: let it through once the form has unloaded, otherwise ask the
// form, which closes the window itself when it does unload.
void CloseThroughForm(QCloseEvent& event, ui::Form& form, bool formUnloaded);

} // namespace zem::gui
