#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace zem {

// The per-user application settings store: a string by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    // False when the value could not be stored.
    virtual bool SaveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // Why the application's settings cannot be read, nullopt when they can: a reader that must not
    // take the default for a value it could not see (the access password) asks this first.
    virtual std::optional<std::string> Unreadable(const std::string& /*application*/) { return std::nullopt; }
};

// Settings kept in memory only: for tests and for runs that must leave the user's files alone.
class MemorySettingsStore final : public SettingsStore {
public:
    std::string GetSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override
    {
        const auto it = values_.find({application, section, key});
        return it == values_.end() ? defaultValue : it->second;
    }
    bool SaveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override
    {
        values_[{application, section, key}] = value;
        return true;
    }

private:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values_;
};

} // namespace zem
