#pragma once

namespace zem::ui {

// The application title: main window caption, message box title, settings application name.
inline constexpr const char* kApplicationTitle = "ZEM Setup";

} // namespace zem::ui
