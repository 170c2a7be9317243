#pragma once

class QWidget;

namespace zem::ui {
class Form;
}

namespace zem::gui {

// Gives a window the form's caption and client size, and centres it on its screen when the form
// asks for that.
void PlaceWindow(QWidget& window, QWidget& client, const ui::Form& form);
void CentreWhenAsked(QWidget& window, const ui::Form& form);

} // namespace zem::gui
