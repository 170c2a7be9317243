#pragma once

#include <QStringList>

class QMessageBox;
class QWidget;

namespace zem::gui {

// What a technician would find wrong with a window as it stands on the screen: a label, button,
// check box, option box, frame title or list column whose text is wider (or, wrapped, taller)
// than its control, two visible controls of one container lying over each other, and two shown
// controls of the window under one access key. Each fault
// names the window and the control ("FSetupMisuraPkPk: lblInc cuts "Increment serial number
// input:"").
QStringList LayoutFaults(const QWidget& window);

// A message box too narrow for its title, as the title bar would show it.
QStringList MessageBoxFaults(const QMessageBox& box);

} // namespace zem::gui
