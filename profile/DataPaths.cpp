#include "profile/DataPaths.h"

#include <cstdlib>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace zem::DataPaths {

std::filesystem::path ProgramFolder()
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

std::filesystem::path DataFolder(const std::filesystem::path& programFolder)
{
    if (programFolder.filename() == "bin") return programFolder.parent_path() / "share" / "zemsetup";
    return programFolder;
}

std::filesystem::path HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* utente = ::getpwuid(::getuid());
        home = utente != nullptr ? utente->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return home;
}

namespace {

std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallback)
{
    const char* xdg = std::getenv(variable);
    if (xdg != nullptr && xdg[0] == '/') return std::filesystem::path(xdg) / "zemsetup";
    const auto home = HomeFolder();
    return home.empty() ? home : home / fallback / "zemsetup";
}

} // namespace

std::filesystem::path UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path UserStateFolder() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }

} // namespace zem::DataPaths
