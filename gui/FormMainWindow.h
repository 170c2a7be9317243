#pragma once

#include <QMainWindow>

#include <memory>

namespace zem::ui {
class Form;
}

namespace zem::gui {

class FormRenderer;

// The program's main window showing one (loaded) form with its menu bar. Closing it asks the
// form; the window closes once the form has unloaded.
class FormMainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit FormMainWindow(ui::Form& form);
    ~FormMainWindow() override;

    FormRenderer& Renderer() const { return *renderer_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FollowForm();

    ui::Form& form_;
    QWidget* client_;
    std::unique_ptr<FormRenderer> renderer_;
    bool closing_ = false;
};

} // namespace zem::gui
