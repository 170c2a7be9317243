#include "gui/QtHost.h"

#include "gui/FormDialog.h"
#include "gui/FormRenderer.h"
#include "gui/MessageBoxes.h"
#include "gui/PlotWidget.h"
#include "gui/SocketWatcher.h"
#include "ui/FileFilter.h"
#include "ui/Form.h"
#include "ui/Plot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>

namespace zem::gui {

namespace {

QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

} // namespace

QtHost::QtHost(std::string applicationTitle) : Host(std::move(applicationTitle)) {}

QtHost::~QtHost() { SetBusy(false); }

ui::MsgAnswer QtHost::ShowMessage(const ui::MessageBoxRequest& request)
{
    const auto box = BuildMessageBox(request, DialogParent());
    box->exec();
    box->hide();
    Refresh();  // the answered box leaves the screen before the workflow goes on
    return AnswerOf(*box, request);
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
    dialog.hide();
    Refresh();
}

// The picture is drawn at the size the plot has on screen.
bool QtHost::SavePlotPicture(const ui::Plot& plot, const std::string& path)
{
    return PlotWidget::SavePng(plot, path, FormRenderer::Pixels(plot.Width()), FormRenderer::Pixels(plot.Height()));
}

void QtHost::WatchSockets(WinSockEsclusivo& pump) { sockets_ = std::make_unique<SocketWatcher>(pump); }

void QtHost::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtHost::Refresh()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->repaint();
}

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
