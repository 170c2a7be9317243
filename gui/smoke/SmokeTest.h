#pragma once

#include "link/LinkPlatform.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QMenu;
class QWidget;

namespace zem {
class FMainZEMSETUP;
}

namespace zem::gui {

class FormMainWindow;

// Plays a short session on the real widgets, for the offscreen smoke test: shows the main window,
// opens the profile template through the Open dialog, drops the File menu down, opens the
// change-password window, types a wrong old password, dismisses the message box that answers
// it, cancels the window, walks through the profile's setup dialogs (opening a measure's setup
// stores the main settings, so the closing question is answered No) and closes the main window.
// On the simulated instruments it also lists them in the selection window, opens the Ethernet
// setup of a module through its menu item and the diagnosis window on the first instrument, and
// watches the curves of the simulated press, then imports the first instrument's profile. With a folder, it saves a picture of each window there.
class SmokeTest final : public QObject {
    Q_OBJECT

public:
    // `simulated`: the platform on which the simulated instruments are served, if they are.
    SmokeTest(FormMainWindow& mainWindow, const FMainZEMSETUP& mainForm, QString pictureFolder,
              std::optional<LinkPlatform> simulated = std::nullopt);

    // Runs the session in the application's event loop; 0 when every check passed.
    int Run();

private:
    void OnMainWindow();
    void OnOpenDialog();
    void OnFileMenu();
    void OnChangePassword();
    void OnPasswordWindow();
    void OnMessageBox();
    // Main settings, the press measure's setup, its inputs and outputs and its operations.
    void OnSetupDialogs();
    void OnSaveQuestion();
    void OnInstruments();
    // Closes the main window, answering No to the closing question when it comes.
    void CloseMain();
    void OnSelectionWindow();
    void OnModuleChoice();
    void OnModulePassword();
    void OnEthernetSetup();
    // The diagnosis of the first simulated instrument, through its menu item.
    void OnDiagnosis();
    void OnCurveChoice();
    void OnCurveWindow();
    // "Import profile from instrument..." on the first simulated instrument.
    void OnImport();
    void OnImportChoice();
    void OnImportMessage();
    // Picks the first instrument once the selection's search has ended and presses OK, with
    // `next` to run after; false while the window is not ready.
    bool ChooseFirst(void (SmokeTest::*next)());
    // The modal form window of that name, once it is up; nullptr before.
    QDialog* FormWindow(const char* name);
    // The selection window once its search has ended, nullptr before.
    QDialog* SelectionDone();
    // The window a step waits for is not up yet: that step runs again a little later.
    void Again(void (SmokeTest::*step)());
    void Check(bool condition, const QString& what);
    void Picture(QWidget& window, const QString& name);
    // The main window with a menu dropped down over it, as the screen shows them.
    void PictureWithMenu(QMenu& menu, const QString& name);
    QPixmap Shot(const QList<QWidget*>& windows);
    void Save(const QPixmap& picture, const QString& name);

    FormMainWindow& main_;
    const FMainZEMSETUP& form_;
    QString pictureFolder_;
    std::optional<LinkPlatform> simulated_;
    QStringList failures_;
    bool openDialogSeen_ = false;
    bool menuSeen_ = false;
    bool dialogSeen_ = false;
    bool messageSeen_ = false;
    bool selectionSeen_ = false;
    bool setupSeen_ = false;
    bool curvesSeen_ = false;
    bool importSeen_ = false;
};

} // namespace zem::gui
