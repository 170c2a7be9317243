#include "gui/InstrumentTextQt.h"

#include "profile/InstrumentText.h"


namespace zem::gui {

QString Shown(const std::string& instrumentText) { return QString::fromStdString(InstrumentText(instrumentText).Utf8()); }

QString ShownCaption(const std::string& text) { return QString::fromStdString(InstrumentText::Readable(text)); }

std::optional<std::string> Typed(const QString& typed, QString* refusal)
{
    std::string refused;
    const auto text = InstrumentText::FromUtf8(typed.toStdString(), &refused);
    if (!text) {
        if (refusal) *refusal = QString::fromStdString(InstrumentText::RefusalMessage(refused));
        return std::nullopt;
    }
    return text->Bytes();
}

} // namespace zem::gui
