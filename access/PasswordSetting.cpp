#include "access/PasswordSetting.h"

#include "profile/SettingsStore.h"

namespace zem::password {

std::string Normalise(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    std::string out(text.substr(first, last - first + 1));
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::optional<std::string> Stored(SettingsStore& settings, const std::string& applicationTitle, std::string& error)
{
    if (const auto why = settings.Unreadable(applicationTitle)) {
        error = "The access password cannot be read: access is refused.\r\n" + *why;
        return std::nullopt;
    }
    return Normalise(settings.GetSetting(applicationTitle, kSection, kKey, kDefault));
}

} // namespace zem::password
