#pragma once

#include <QString>

#include <optional>
#include <string>

namespace zem::gui {

// Where the forms' data texts cross into Qt: the forms keep them as the instrument and the
// profile files do (Windows-1252), the widgets show and take Unicode.
QString Shown(const std::string& instrumentText);
// A caption may join the program's words, a file path (UTF-8) and an instrument's name: shown as
// UTF-8 when it is UTF-8, else as the instrument's characters.
QString ShownCaption(const std::string& text);
// Nothing when `typed` holds a character Windows-1252 has no code for; `refusal` then says which.
std::optional<std::string> Typed(const QString& typed, QString* refusal = nullptr);

} // namespace zem::gui
