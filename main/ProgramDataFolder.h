#pragma once

#include <filesystem>

namespace zem {

// Where the shipped files (the template Default.ZemP) are: ../share/zemsetup from the program's
// own folder once installed, so a relocated install works; else the program's folder, where the
// build puts them. Found relative to the program, never written to.
std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFolder);

} // namespace zem
