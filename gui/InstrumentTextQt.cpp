#include "gui/InstrumentTextQt.h"

#include "profile/InstrumentText.h"

#include <QStringDecoder>

namespace zem::gui {

QString Shown(const std::string& instrumentText) { return QString::fromStdString(InstrumentText(instrumentText).Utf8()); }

QString ShownCaption(const std::string& text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? Shown(text) : decoded;
}

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
