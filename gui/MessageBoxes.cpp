#include "gui/MessageBoxes.h"

#include "gui/InstrumentTextQt.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace zem::gui {

namespace {

// The icon and the title bar's own boxes beside the title.
constexpr int kTitleBarExtra = 140;

QMessageBox::StandardButton Standard(ui::MsgAnswer answer)
{
    switch (answer) {
    case ui::MsgAnswer::OK: return QMessageBox::Ok;
    case ui::MsgAnswer::Cancel: return QMessageBox::Cancel;
    case ui::MsgAnswer::Yes: return QMessageBox::Yes;
    case ui::MsgAnswer::No: return QMessageBox::No;
    case ui::MsgAnswer::Retry: return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(ui::MsgIcon icon)
{
    switch (icon) {
    case ui::MsgIcon::None: return QMessageBox::NoIcon;
    case ui::MsgIcon::Critical: return QMessageBox::Critical;
    case ui::MsgIcon::Question: return QMessageBox::Question;
    case ui::MsgIcon::Exclamation: return QMessageBox::Warning;
    case ui::MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// Esc and the close box answer Cancel, or No on a box without Cancel.
ui::MsgAnswer EscapeOf(const std::vector<ui::MsgAnswer>& answers)
{
    ui::MsgAnswer escape = answers.back();
    for (const auto answer : answers)
        if (answer == ui::MsgAnswer::Cancel || answer == ui::MsgAnswer::No) escape = answer;
    return escape;
}

} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const ui::MessageBoxRequest& request, QWidget* parent)
{
    const auto answers = ui::ButtonsOf(request.buttons);
    auto box = std::make_unique<QMessageBox>(
        IconOf(request.icon), ShownCaption(request.title),
        ShownCaption(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
        QMessageBox::NoButton, parent);
    if (!request.details.empty())
        box->setDetailedText(ShownCaption(request.details).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    for (const auto answer : answers) box->addButton(Standard(answer));
    box->setDefaultButton(Standard(request.defaultButton));
    box->setEscapeButton(Standard(EscapeOf(answers)));
    // A short text would leave the box narrower than its title; QMessageBox sizes itself from its
    // grid, so the grid gets a strut as wide as the title needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int width = QFontMetrics(box->font()).horizontalAdvance(box->windowTitle()) + kTitleBarExtra;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box;
}

ui::MsgAnswer AnswerOf(const QMessageBox& box, const ui::MessageBoxRequest& request)
{
    const auto answers = ui::ButtonsOf(request.buttons);
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto answer : answers)
        if (Standard(answer) == clicked) return answer;
    return EscapeOf(answers);
}

} // namespace zem::gui
