#include "gui/FormMainWindow.h"

#include "gui/FormRenderer.h"
#include "gui/FormWindows.h"
#include "ui/Form.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace zem::gui {

FormMainWindow::FormMainWindow(ui::Form& form) : form_(form), client_(new QWidget(this))
{
    setObjectName(QString::fromStdString(form.Name()));
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    renderer_ = std::make_unique<FormRenderer>(form, client_, FormRenderer::HasMenus(form) ? menuBar() : nullptr);
    connect(renderer_.get(), &FormRenderer::formChanged, this, &FormMainWindow::FollowForm);
    connect(renderer_.get(), &FormRenderer::formClosed, this, [this] {
        closing_ = true;
        // Closed from the event loop, never from inside the close request that caused it.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    FollowForm();
    setAcceptDrops(true);
}

namespace {

QString DroppedFile(const QMimeData* data)
{
    const auto urls = data != nullptr ? data->urls() : QList<QUrl>{};
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

void FormMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void FormMainWindow::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (!path.isEmpty() && form_.DropFile(path.toStdString())) event->acceptProposedAction();
}

FormMainWindow::~FormMainWindow() = default;

void FormMainWindow::FollowForm() { PlaceWindow(*this, *client_, form_); }

void FormMainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    CentreWhenAsked(*this, form_);
}

void FormMainWindow::closeEvent(QCloseEvent* event) { CloseThroughForm(*event, form_, closing_); }

} // namespace zem::gui
