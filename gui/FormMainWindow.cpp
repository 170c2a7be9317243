#include "gui/FormMainWindow.h"

#include "gui/FormRenderer.h"
#include "gui/FormWindows.h"
#include "ui/Form.h"

#include <QMenuBar>

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
