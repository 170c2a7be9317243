#include "profile/FileSettingsStore.h"

#include "profile/DataPaths.h"
#include "profile/IniFile.h"

#include <cstdlib>
#include <system_error>

namespace zem {

FileSettingsStore::FileSettingsStore() : folder_(UserFolder()) {}

FileSettingsStore::FileSettingsStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path FileSettingsStore::UserFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::filesystem::path(xdg) / "zemsetup";
    const auto home = DataPaths::HomeFolder();
    return home.empty() ? home : home / ".config" / "zemsetup";
}

std::filesystem::path FileSettingsStore::FilePath(const std::string& application) const
{
    if (folder_.empty()) return {};
    // The application name becomes a file name: nothing in it may leave the folder.
    std::string nome = application;
    for (char& c : nome) {
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    }
    if (nome.empty() || nome.front() == '.') nome = "_" + nome;
    return folder_ / (nome + ".ini");
}

std::string FileSettingsStore::GetSetting(const std::string& application, const std::string& section,
                                          const std::string& key, const std::string& defaultValue)
{
    const auto path = FilePath(application);
    std::error_code errore;
    if (path.empty() || !std::filesystem::is_regular_file(path, errore)) return defaultValue;
    IniFile ini;
    ini.SetFile(path.string());
    if (!ini.SetOpenFile(true)) return defaultValue;
    ini.SetChiave(section);
    ini.SetTarget(key);
    return ini.TargetTrovato() ? ini.ValString() : defaultValue;
}

std::optional<std::string> FileSettingsStore::Unreadable(const std::string& application)
{
    const auto path = FilePath(application);
    std::error_code errore;
    if (path.empty() || !std::filesystem::exists(std::filesystem::symlink_status(path, errore))) return std::nullopt;
    IniFile ini;
    ini.SetFile(path.string());
    if (!ini.SetOpenFile(true)) return ini.LastError();
    if (ini.Troncato())
        return "The settings file " + path.string() + " has more than " + std::to_string(IniFile::kMassimoRighe) +
               " lines: it was only partly read.";
    return std::nullopt;
}

bool FileSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                    const std::string& key, const std::string& value)
{
    const auto path = FilePath(application);
    const auto fineRiga = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
    if (path.empty() || fineRiga(section) || fineRiga(key) || fineRiga(value) ||
        section.find(']') != std::string::npos || key.find('=') != std::string::npos ||
        key.find_first_not_of(' ') == std::string::npos || key[key.find_first_not_of(' ')] == '[') {
        return false;
    }
    std::error_code errore;
    // Created for this user alone: it keeps the access password.
    if (std::filesystem::create_directories(folder_, errore)) {
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, errore);
    }
    IniFile ini;
    ini.SetFile(path.string());
    if (!ini.SetOpenFile(true)) return false;
    ini.SetChiave(section);
    ini.SetTarget(key);
    ini.SetValue(std::string_view(value));
    return ini.Salva();
}

} // namespace zem
