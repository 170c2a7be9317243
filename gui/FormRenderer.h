#pragma once

#include "ui/FormObserver.h"

#include <QObject>
#include <QRect>

#include <map>

class QAction;
class QMenuBar;
class QTimer;
class QWidget;

namespace zem::ui {
class Control;
class Form;
class Menu;
} // namespace zem::ui

namespace zem::gui {

// Builds Qt widgets for any form of the UI layer and keeps them in step with it: what the
// technician does on a widget goes to the control (and so to the form's handler), and every
// property a handler changes comes back to the widget. Each widget, action and timer is named
// after its control's key. The form's timers run on QTimers while the renderer lives.
class FormRenderer final : public QObject, private ui::FormObserver {
    Q_OBJECT

public:
    // The controls go into `client`, the menus into `menuBar` (which may be null for a form
    // without menus).
    FormRenderer(ui::Form& form, QWidget* client, QMenuBar* menuBar);
    ~FormRenderer() override;

    static bool HasMenus(const ui::Form& form);
    static int Pixels(int twips);

    ui::Form& GetForm() const { return form_; }
    // The widget, QAction or QTimer standing for the control; null when there is none.
    QObject* ObjectFor(const ui::Control& control) const;

signals:
    void formChanged();
    void formClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ControlChanged(ui::Control& control) override;
    void FormChanged(ui::Form& form) override;
    void FormClosed(ui::Form& form) override;

    // Where a control of the form's own area stands once the window is `extra_` larger than
    // its design size.
    QRect Stretched(const ui::Control& control, QRect rect) const;
    QWidget* Build(ui::Control& control);
    QWidget* Create(ui::Control& control, QWidget* parent);
    void BuildMenu(ui::Menu& menu, QWidget* parent);
    void LinkBuddies();
    void Apply(ui::Control& control);
    void ApplyMenu(ui::Menu& menu);
    void ApplyWidget(ui::Control& control, QWidget* widget);

    ui::Form& form_;
    QWidget* client_;
    std::map<const ui::Control*, QObject*> objects_;
    std::map<const QObject*, ui::Control*> controls_;
    bool attached_ = true;
    QSize extra_;
};

} // namespace zem::gui
