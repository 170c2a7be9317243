#pragma once

#include "profile/SettingsStore.h"

#include <filesystem>
#include <string>

namespace zem {

// The per-user settings, one settings file per application in the user's configuration folder
// ($XDG_CONFIG_HOME/zemsetup, or ~/.config/zemsetup). Every call reads the file afresh and every
// save replaces it whole, so two running programs see each other's settings.
class FileSettingsStore final : public SettingsStore {
public:
    FileSettingsStore();
    explicit FileSettingsStore(std::filesystem::path folder);

    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    // False also for text the file could not give back unchanged: a CR or LF anywhere, a "]"
    // in the section, a "=" in the key, a key that is empty or begins with "[".
    bool SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;
    // A file that exists but cannot be read whole: not a regular file, no permission, or longer
    // than a settings file may be (its tail, and any key there, unseen).
    std::optional<std::string> Unreadable(const std::string& application) override;

    // The file of an application's settings; empty when no configuration folder is known.
    std::filesystem::path FilePath(const std::string& application) const;
    // $XDG_CONFIG_HOME/zemsetup when that is an absolute path, else <home>/.config/zemsetup.
    static std::filesystem::path UserFolder();

private:
    std::filesystem::path folder_;
};

} // namespace zem
