#include "gui/QtHost.h"

#include "gui/FormDialog.h"
#include "gui/FormRenderer.h"
#include "gui/PlotWidget.h"
#include "gui/SocketWatcher.h"
#include "ui/FileFilter.h"
#include "ui/Form.h"
#include "ui/Plot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace zem::gui {

namespace {

QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

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

} // namespace

QtHost::QtHost(std::string applicationTitle) : Host(std::move(applicationTitle)) {}

QtHost::~QtHost() { SetBusy(false); }

ui::MsgAnswer QtHost::ShowMessage(const ui::MessageBoxRequest& request)
{
    const auto answers = ui::ButtonsOf(request.buttons);
    QMessageBox box(IconOf(request.icon), QString::fromStdString(request.title),
                    QString::fromStdString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::NoButton, DialogParent());
    if (!request.details.empty())
        box.setDetailedText(QString::fromStdString(request.details).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    for (const auto answer : answers) box.addButton(Standard(answer));
    box.setDefaultButton(Standard(request.defaultButton));
    // Esc and the close box answer Cancel, or No on a box without Cancel.
    ui::MsgAnswer escape = answers.back();
    for (const auto answer : answers)
        if (answer == ui::MsgAnswer::Cancel || answer == ui::MsgAnswer::No) escape = answer;
    box.setEscapeButton(Standard(escape));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto answer : answers)
        if (Standard(answer) == clicked) return answer;
    return escape;
}

std::optional<std::string> QtHost::ShowInputBox(const ui::InputBoxRequest& request)
{
    QInputDialog dialog(DialogParent());
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setLabelText(QString::fromStdString(request.prompt));
    dialog.setTextValue(QString::fromStdString(request.defaultText));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

ui::FileDialogResult QtHost::ShowFileDialog(const ui::FileDialogRequest& request)
{
    QFileDialog dialog(DialogParent(), QString::fromStdString(request.title),
                       QString::fromStdString(request.initialFolder));
    const bool open = request.kind == ui::FileDialogKind::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open && request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return {ui::FileDialogOutcome::Cancelled, {}, {}};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return {ui::FileDialogOutcome::Failed, {}, "No file was chosen."};
    return {ui::FileDialogOutcome::Chosen, files.first().toStdString(), {}};
}

void QtHost::ShowModal(ui::Form& form)
{
    FormDialog dialog(form, DialogParent());
    dialog.exec();
}

// The picture is drawn at the size the plot has on screen.
bool QtHost::SavePlotPicture(const ui::Plot& plot, const std::string& path)
{
    return PlotWidget::SavePng(plot, path, FormRenderer::Pixels(plot.Width()), FormRenderer::Pixels(plot.Height()));
}

void QtHost::WatchSockets(WinSockEsclusivo& pump) { sockets_ = std::make_unique<SocketWatcher>(pump); }

void QtHost::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtHost::SetBusy(bool busy)
{
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

QStringList QtNameFilters(const std::string& filter)
{
    QStringList filters;
    for (const auto& entry : ui::ParseFileFilter(filter)) {
        QStringList patterns;
        for (const auto& pattern : entry.patterns)
            patterns << (pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern));
        // Qt reads the patterns from the last brackets, so the description's own "(*.*)" goes.
        QString description = QString::fromStdString(entry.description);
        const qsizetype bracket = description.lastIndexOf(QLatin1Char('('));
        if (bracket > 0 && description.endsWith(QLatin1Char(')'))
            && description.indexOf(QLatin1Char('*'), bracket) > 0)
            description = description.left(bracket).trimmed();
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

} // namespace zem::gui
