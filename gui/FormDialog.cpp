#include "gui/FormDialog.h"

#include "gui/FormRenderer.h"
#include "gui/FormWindows.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"

#include <QMenuBar>
#include <QVBoxLayout>

namespace zem::gui {

FormDialog::FormDialog(ui::Form& form, QWidget* parent)
    : QDialog(parent), form_(form), client_(new QWidget(this))
{
    setObjectName(QString::fromStdString(form.Name()));
    client_->setObjectName(QStringLiteral("client"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(form.Sizable() ? QLayout::SetMinimumSize : QLayout::SetFixedSize);
    if (FormRenderer::HasMenus(form)) {
        menuBar_ = new QMenuBar(this);
        layout->setMenuBar(menuBar_);
    }
    layout->addWidget(client_);
    renderer_ = std::make_unique<FormRenderer>(form, client_, menuBar_);
    connect(renderer_.get(), &FormRenderer::formChanged, this, &FormDialog::FollowForm);
    connect(renderer_.get(), &FormRenderer::formClosed, this, [this] {
        closing_ = true;
        done(QDialog::Accepted);
    });
    FollowForm();
}

FormDialog::~FormDialog() = default;

void FormDialog::FollowForm() { PlaceWindow(*this, *client_, form_); }

void FormDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    CentreWhenAsked(*this, form_);
}

void FormDialog::closeEvent(QCloseEvent* event) { CloseThroughForm(*event, form_, closing_); }

void FormDialog::reject()
{
    // Esc: the Cancel button, when the form has one the technician can press.
    for (ui::Control* control : form_.Controls()) {
        if (control->Kind() != ui::ControlKind::CommandButton) continue;
        auto* button = static_cast<ui::CommandButton*>(control);
        if (button->Cancel()) {
            button->UserClick();
            return;
        }
    }
}

} // namespace zem::gui
