#pragma once

#include <QDialog>

#include <memory>

class QMenuBar;

namespace zem::ui {
class Form;
}

namespace zem::gui {

class FormRenderer;

// A modal window showing one form. Closing it asks the form (which may refuse); it goes away
// once the form has unloaded. Esc presses the form's Cancel button, Enter its Default button.
class FormDialog final : public QDialog {
    Q_OBJECT

public:
    FormDialog(ui::Form& form, QWidget* parent);
    ~FormDialog() override;

    FormRenderer& Renderer() const { return *renderer_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    void FollowForm();

    ui::Form& form_;
    QWidget* client_;
    QMenuBar* menuBar_ = nullptr;
    std::unique_ptr<FormRenderer> renderer_;
    bool closing_ = false;
};

} // namespace zem::gui
