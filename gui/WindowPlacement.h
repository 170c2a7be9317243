#pragma once

#include <string>

class QWidget;

namespace zem {
class SettingsStore;
}

namespace zem::gui {

// The main window's size and position, kept per user under "Main"/"Finestra" as
// "left,top,width,height", so the program opens where the technician left it.
void RestorePlacement(QWidget& window, SettingsStore& settings, const std::string& application);
void SavePlacement(const QWidget& window, SettingsStore& settings, const std::string& application);

} // namespace zem::gui
