#include "gui/LayoutAudit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTreeWidget>

namespace zem::gui {

namespace {

// Room the title bar keeps beside its text: the icon and the close, minimise and maximise boxes.
constexpr int kTitleBarExtra = 120;
// A list cell draws its text inside a margin on either side.
constexpr int kCellMargin = 12;

QString Where(const QWidget& window, const QWidget& control)
{
    return window.objectName() + QStringLiteral(": ") + control.objectName();
}

QString Plain(QString text) { return text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&')).replace(QLatin1Char('\x01'), QLatin1Char('&')); }

void CheckLabel(const QWidget& window, const QLabel& label, QStringList& faults)
{
    if (label.text().isEmpty() || label.width() <= 0) return;
    const QString text = label.buddy() != nullptr ? Plain(label.text()) : label.text();
    const QFontMetrics metrics(label.font());
    const QRect room = label.contentsRect();
    const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), 100000),
                                              int(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0), text);
    bool cut = needed.height() > room.height();
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        cut = cut || metrics.horizontalAdvance(word) > room.width();
    if (cut) faults << Where(window, label) + QStringLiteral(" cuts \"") + text + QLatin1Char('"');
}

void CheckButton(const QWidget& window, const QAbstractButton& button, QStringList& faults)
{
    if (button.text().isEmpty()) return;
    // A push button's size hint keeps a style minimum wider than its text; only the text counts.
    int needed = button.sizeHint().width();
    if (qobject_cast<const QPushButton*>(&button) != nullptr)
        needed = QFontMetrics(button.font()).horizontalAdvance(Plain(button.text()))
                 + 2 * (button.style()->pixelMetric(QStyle::PM_ButtonMargin) + button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    if (needed > button.width())
        faults << Where(window, button) + QStringLiteral(" cuts \"") + Plain(button.text()) + QLatin1Char('"');
}

void CheckFrame(const QWidget& window, const QGroupBox& frame, QStringList& faults)
{
    if (frame.title().isEmpty()) return;
    if (QFontMetrics(frame.font()).horizontalAdvance(Plain(frame.title())) + kCellMargin > frame.width())
        faults << Where(window, frame) + QStringLiteral(" cuts its title \"") + frame.title() + QLatin1Char('"');
}

void CheckList(const QWidget& window, const QTreeWidget& list, QStringList& faults)
{
    const QFontMetrics metrics(list.font());
    const QFontMetrics header(list.header()->font());
    for (int c = 0; c < list.columnCount(); ++c) {
        const int width = list.columnWidth(c);
        const QString title = list.headerItem()->text(c);
        if (!list.isHeaderHidden() && header.horizontalAdvance(title) + kCellMargin > width)
            faults << Where(window, list) + QStringLiteral(" cuts the column title \"") + title + QLatin1Char('"');
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            const QString text = list.topLevelItem(i)->text(c);
            if (metrics.horizontalAdvance(text) + kCellMargin > width)
                faults << Where(window, list) + QStringLiteral(" cuts \"") + text + QStringLiteral("\" in column \"")
                              + title + QLatin1Char('"');
        }
    }
}

bool Shown(const QWidget& widget) { return widget.isVisibleTo(widget.window()) && !widget.geometry().isEmpty(); }

// The controls the renderer built (each named after its control) inside one container.
void CheckOverlaps(const QWidget& window, const QWidget& container, QStringList& faults)
{
    QList<const QWidget*> children;
    for (const QObject* child : container.children())
        if (const auto* widget = qobject_cast<const QWidget*>(child);
            widget != nullptr && !widget->isWindow() && !widget->objectName().isEmpty() && Shown(*widget))
            children << widget;
    for (qsizetype i = 0; i < children.size(); ++i)
        for (qsizetype j = i + 1; j < children.size(); ++j)
            if (children[i]->geometry().intersects(children[j]->geometry()))
                faults << Where(window, *children[i]) + QStringLiteral(" overlaps ") + children[j]->objectName();
}

// The letter after a single '&', lower-cased; none when the text has no access key.
QChar AccessKey(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// Alt and a letter reaches only one control: two shown in one window may not share it.
void CheckAccessKeys(const QWidget& window, QStringList& faults)
{
    QMap<QChar, QString> taken;
    for (const QWidget* widget : window.findChildren<const QWidget*>()) {
        if (!Shown(*widget) || widget->objectName().isEmpty()) continue;
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(widget); label != nullptr && label->buddy() != nullptr)
            text = label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            text = button->text();
        else if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
            text = frame->title();
        const QChar key = AccessKey(text);
        if (key.isNull()) continue;
        if (taken.contains(key))
            faults << window.objectName() + QStringLiteral(": access key ") + key + QStringLiteral(" of both \"")
                          + Plain(taken.value(key)) + QStringLiteral("\" and \"") + Plain(text) + QLatin1Char('"');
        else
            taken.insert(key, text);
    }
}

} // namespace

QStringList LayoutFaults(const QWidget& window)
{
    QStringList faults;
    CheckAccessKeys(window, faults);
    for (const QWidget* widget : window.findChildren<const QWidget*>()) {
        if (widget->objectName() == QLatin1String("client") || qobject_cast<const QGroupBox*>(widget))
            CheckOverlaps(window, *widget, faults);
        if (!Shown(*widget) || widget->objectName().isEmpty()) continue;
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (label->pixmap().isNull()) CheckLabel(window, *label, faults);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            if (qobject_cast<const QPushButton*>(button) || qobject_cast<const QCheckBox*>(button)
                || qobject_cast<const QRadioButton*>(button))
                CheckButton(window, *button, faults);
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
            CheckFrame(window, *frame, faults);
        } else if (const auto* list = qobject_cast<const QTreeWidget*>(widget)) {
            CheckList(window, *list, faults);
        }
    }
    return faults;
}

QStringList MessageBoxFaults(const QMessageBox& box)
{
    QStringList faults;
    const int title = QFontMetrics(box.font()).horizontalAdvance(box.windowTitle());
    if (title + kTitleBarExtra > box.width())
        faults << QStringLiteral("the box \"") + box.text().left(40) + QStringLiteral("\" is too narrow for its title");
    return faults;
}

} // namespace zem::gui
