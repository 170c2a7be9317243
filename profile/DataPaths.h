#pragma once

#include <filesystem>

namespace zem {

// Where the programs find what ships with them and where they keep what the user's work makes.
// Nothing is ever written beside the programs: an installed program's folder is not the user's.
namespace DataPaths {

// The folder of the running program.
std::filesystem::path ProgramFolder();

// The shipped files (the template Default.ZemP, the example profiles): <prefix>/share/zemsetup
// for a program installed in <prefix>/bin, so a relocated install works; else the program's own
// folder, where the build puts them.
std::filesystem::path DataFolder(const std::filesystem::path& programFolder);
inline std::filesystem::path DataFolder() { return DataFolder(ProgramFolder()); }

// $HOME when that is an absolute path, else the user's home in the password database; empty when
// neither is known.
std::filesystem::path HomeFolder();

// The user's files (the serial-number register): $XDG_DATA_HOME/zemsetup when that is an absolute
// path, else <home>/.local/share/zemsetup; empty when no home is known.
std::filesystem::path UserDataFolder();

// What the programs learn and keep for the next run (the memory layouts of the instruments heard):
// $XDG_STATE_HOME/zemsetup when that is an absolute path, else <home>/.local/state/zemsetup.
std::filesystem::path UserStateFolder();

} // namespace DataPaths

} // namespace zem
