#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace zem::gui {

class FormMainWindow;

// Plays a short session on the real widgets, for the offscreen smoke test: shows the main window,
// opens the change-password window from its menu, types a wrong old password, dismisses the
// message box that answers it, cancels the window and closes the main window. With a folder, it
// saves a picture of each window there.
class SmokeTest final : public QObject {
    Q_OBJECT

public:
    SmokeTest(FormMainWindow& mainWindow, QString pictureFolder);

    // Runs the session in the application's event loop; 0 when every check passed.
    int Run();

private:
    void OnMainWindow();
    void OnPasswordWindow();
    void OnMessageBox();
    void Check(bool condition, const QString& what);
    void Picture(QWidget& window, const QString& name);

    FormMainWindow& main_;
    QString pictureFolder_;
    QStringList failures_;
    bool dialogSeen_ = false;
    bool messageSeen_ = false;
};

} // namespace zem::gui
