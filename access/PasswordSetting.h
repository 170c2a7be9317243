#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zem {

class SettingsStore;

// Where the access password lives in the per-user settings (under the application title), and how
// two passwords are compared: without the blanks around them and ignoring letter case.
namespace password {

inline constexpr const char* kSection = "Main";
inline constexpr const char* kKey = "Password";
inline constexpr const char* kDefault = "6150";

// Blanks at both ends removed, letters upper-cased: the form in which passwords are compared
// and stored.
std::string Normalise(std::string_view text);
// The stored password in that form; the default when none is stored. Nothing when the settings
// cannot be read (a missing password must not become the factory one): `error` then says why.
std::optional<std::string> Stored(SettingsStore& settings, const std::string& applicationTitle, std::string& error);

} // namespace password

} // namespace zem
