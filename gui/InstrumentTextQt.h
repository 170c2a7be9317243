#pragma once

#include <QString>

#include <optional>
#include <string>

namespace zem::gui {

// Where the forms' data texts cross into Qt: the forms keep them as the instrument and the
// profile files do (Windows-1252), the widgets show and take Unicode.
QString Shown(const std::string& instrumentText);
// Nothing when `typed` holds a character Windows-1252 has no code for; `refusal` then says which.
std::optional<std::string> Typed(const QString& typed, QString* refusal = nullptr);

} // namespace zem::gui
