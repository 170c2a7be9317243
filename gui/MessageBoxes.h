#pragma once

#include "ui/Dialogs.h"

#include <QMessageBox>

#include <memory>

namespace zem::gui {

// The Qt box for a window's message: its icon, text, buttons, default and Esc button, and wide
// enough that the title bar shows the whole application title.
std::unique_ptr<QMessageBox> BuildMessageBox(const ui::MessageBoxRequest& request, QWidget* parent);

// The answer the box was closed with: the button pressed, else its Esc button's.
ui::MsgAnswer AnswerOf(const QMessageBox& box, const ui::MessageBoxRequest& request);

} // namespace zem::gui
