#include "gui/FormWindows.h"

#include "gui/FormRenderer.h"
#include "ui/Form.h"

#include <QCloseEvent>
#include <QScreen>
#include <QWidget>

namespace zem::gui {

void PlaceWindow(QWidget& window, QWidget& client, const ui::Form& form)
{
    window.setWindowTitle(QString::fromStdString(form.Caption()));
    const QSize design(FormRenderer::Pixels(form.Width()), FormRenderer::Pixels(form.Height()));
    if (form.Sizable()) {
        // A caption changed on a shown window keeps the size the technician gave it.
        client.setMinimumSize(design);
        if (!window.isVisible()) window.adjustSize();
        return;
    }
    client.setFixedSize(design);
    window.adjustSize();
}

void CentreWhenAsked(QWidget& window, const ui::Form& form)
{
    if (!form.Centred()) return;
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

void CloseThroughForm(QCloseEvent& event, ui::Form& form, bool formUnloaded)
{
    if (formUnloaded) {
        event.accept();
        return;
    }
    event.ignore();
    form.RequestClose();
}

} // namespace zem::gui
