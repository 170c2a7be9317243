#include "gui/smoke/SmokeTest.h"

#include "discovery/FSceltaStrumento.h"
#include "gui/smoke/DialogTour.h"
#include "gui/smoke/DiagnosisTour.h"
#include "gui/FormMainWindow.h"
#include "main/FMainZEMSETUP.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace zem::gui {

namespace {

constexpr int kStepDelayMs = 50;
constexpr int kWatchdogMs = 45000;

// Key presses, so the line edit reports the text as typed by the technician.
void TypeInto(QWidget& widget, const QString& text)
{
    widget.setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&widget, &press);
        QCoreApplication::sendEvent(&widget, &release);
    }
}

QString Title() { return QApplication::applicationName(); }

} // namespace

SmokeTest::SmokeTest(FormMainWindow& mainWindow, const FMainZEMSETUP& mainForm, QString pictureFolder,
                     std::optional<LinkPlatform> simulated)
    : main_(mainWindow), form_(mainForm), pictureFolder_(std::move(pictureFolder)), simulated_(std::move(simulated))
{
}

int SmokeTest::Run()
{
    QTimer::singleShot(kWatchdogMs, this, [this] {
        Check(false, QStringLiteral("the session finished in time"));
        QCoreApplication::exit(2);
    });
    QTimer::singleShot(0, this, &SmokeTest::OnMainWindow);
    main_.show();
    const int code = QApplication::exec();
    Check(openDialogSeen_, QStringLiteral("the open dialog was shown"));
    Check(menuSeen_, QStringLiteral("the File menu dropped down"));
    Check(dialogSeen_, QStringLiteral("the change-password window was shown"));
    Check(messageSeen_, QStringLiteral("the wrong old password was reported"));
    if (simulated_) {
        Check(selectionSeen_, QStringLiteral("the selection window listed the simulated instruments"));
        Check(setupSeen_, QStringLiteral("the Ethernet setup window read the module's address"));
        Check(curvesSeen_, QStringLiteral("the curve window drew the simulated press's pieces"));
        Check(importSeen_, QStringLiteral("the import listed the fields it could not read back"));
    }
    Check(!main_.isVisible(), QStringLiteral("the main window closed"));
    for (const QString& failure : failures_) std::fprintf(stderr, "smoke test: failed: %s\n", qPrintable(failure));
    if (failures_.isEmpty()) std::printf("smoke test: passed\n");
    return code != 0 ? code : (failures_.isEmpty() ? 0 : 1);
}

void SmokeTest::OnMainWindow()
{
    Check(main_.isVisible(), QStringLiteral("the main window is shown"));
    Check(main_.windowTitle() == Title(), QStringLiteral("the caption is the application title"));
    auto* version = main_.findChild<QLabel*>(QStringLiteral("lblVersione"));
    Check(version != nullptr && version->text().startsWith(QStringLiteral("ZEM AUTOMATION Setup version ")),
          QStringLiteral("the version label is shown"));
    auto* save = main_.findChild<QAction*>(QStringLiteral("mnuSalva"));
    auto* send = main_.findChild<QAction*>(QStringLiteral("mnuFormat"));
    Check(save != nullptr && !save->isEnabled(), QStringLiteral("nothing to save before a profile is open"));
    Check(send != nullptr && send->isVisible() && !send->isEnabled(),
          QStringLiteral("sending is shown but not offered yet"));
    auto* open = main_.findChild<QAction*>(QStringLiteral("mnuApri"));
    Check(open != nullptr && open->isEnabled(), QStringLiteral("the open item is in the menu"));
    if (open == nullptr) {
        main_.close();
        return;
    }
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnOpenDialog);
    open->trigger();  // returns once the dialog has closed and the profile is open
    Check(main_.windowTitle() == Title() + QStringLiteral(" - Default"), QStringLiteral("the caption names the profile"));
    Check(form_.FileCorrente() == form_.TemplatePath(), QStringLiteral("the template is the open profile"));
    Check(save != nullptr && save->isEnabled(), QStringLiteral("an open profile can be saved"));

    auto* fileMenu = main_.findChild<QMenu*>(QStringLiteral("mnuFile"));
    Check(fileMenu != nullptr, QStringLiteral("the File menu is in the menu bar"));
    if (fileMenu == nullptr) {
        main_.close();
        return;
    }
    main_.menuBar()->setActiveAction(fileMenu->menuAction());
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnFileMenu);
}

void SmokeTest::OnOpenDialog()
{
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return Again(&SmokeTest::OnOpenDialog);
    openDialogSeen_ = true;
    Check(dialog->windowTitle() == QStringLiteral("Profile"), QStringLiteral("the open dialog's title"));
    Check(dialog->fileMode() == QFileDialog::ExistingFile, QStringLiteral("one existing file is chosen"));
    // The technician types the path into the name box, which has the focus, and presses Open.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    Check(name != nullptr, QStringLiteral("the open dialog has a name box"));
    if (name != nullptr) name->setText(QString::fromStdString(form_.TemplatePath()));
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, as its Open button does
}

void SmokeTest::OnFileMenu()
{
    auto* fileMenu = main_.findChild<QMenu*>(QStringLiteral("mnuFile"));
    if (fileMenu != nullptr && !fileMenu->isVisible()) return Again(&SmokeTest::OnFileMenu);
    menuSeen_ = fileMenu != nullptr;
    if (menuSeen_) PictureWithMenu(*fileMenu, QStringLiteral("main-window.png"));
    if (fileMenu != nullptr) fileMenu->hide();
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnChangePassword);
}

void SmokeTest::OnChangePassword()
{
    auto* change = main_.findChild<QAction*>(QStringLiteral("mnuSetPassword"));
    Check(change != nullptr && change->isEnabled() && change->isVisible(),
          QStringLiteral("the change-password item is in the menu"));
    if (change != nullptr) {
        QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnPasswordWindow);
        change->trigger();  // returns once the modal window has closed
    }
    Check(QApplication::activeModalWidget() == nullptr, QStringLiteral("no modal window is left open"));
    // The diagnosis is offered only while the profile is unchanged, before the setup dialogs.
    if (simulated_) OnDiagnosis();
    OnSetupDialogs();
    if (simulated_) {
        QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnInstruments);
        return;
    }
    CloseMain();
}

void SmokeTest::CloseMain()
{
    if (form_.Profilo().Modificato) QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnSaveQuestion);
    main_.close();
}

void SmokeTest::OnInstruments()
{
    // The list as the workflows that need an instrument show it, then a module's address setup.
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnSelectionWindow);
    FSceltaStrumento selection(form_.GetHost(), *simulated_);
    const auto key = selection.LoadForm("List of instruments", false, false);
    Check(key && key->starts_with("USB: "), QStringLiteral("a USB instrument was chosen"));
    auto* eth = main_.findChild<QAction*>(QStringLiteral("mnuEthSetup"));
    Check(eth != nullptr && eth->isEnabled(), QStringLiteral("the Ethernet setup item is offered"));
    if (eth != nullptr) {
        QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnModuleChoice);
        eth->trigger();
    }
    auto* curves = main_.findChild<QAction*>(QStringLiteral("mnuCurve"));
    Check(curves != nullptr && curves->isEnabled(), QStringLiteral("the curves item is offered"));
    if (curves != nullptr) {
        QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnCurveChoice);
        curves->trigger();
    }
    OnImport();
    Check(QApplication::activeModalWidget() == nullptr, QStringLiteral("no modal window is left open"));
    CloseMain();
}

void SmokeTest::OnDiagnosis()
{
    auto* diagnosis = main_.findChild<QAction*>(QStringLiteral("mnuDiagnosi"));
    Check(diagnosis != nullptr && diagnosis->isEnabled(), QStringLiteral("the diagnosis item is offered"));
    if (diagnosis == nullptr) return;
    DiagnosisTour tour([this](QWidget& window, const QString& name) { Picture(window, name); });
    tour.Start();
    diagnosis->trigger();  // returns once the diagnosis window has closed
    Check(tour.Finished(), QStringLiteral("the diagnosis window showed the simulated instrument"));
    failures_ << tour.Failures();
    Check(QApplication::activeModalWidget() == nullptr, QStringLiteral("no modal window is left open"));
}

QDialog* SmokeTest::FormWindow(const char* name)
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    return dialog != nullptr && dialog->objectName() == QLatin1String(name) ? dialog : nullptr;
}

QDialog* SmokeTest::SelectionDone()
{
    QDialog* dialog = FormWindow("FSceltaStrumento");
    auto* hourglass = dialog ? dialog->findChild<QWidget*>(QStringLiteral("imgHourglass")) : nullptr;
    return hourglass != nullptr && hourglass->isHidden() ? dialog : nullptr;
}

void SmokeTest::OnSelectionWindow()
{
    QDialog* dialog = SelectionDone();
    if (dialog == nullptr) return Again(&SmokeTest::OnSelectionWindow);
    auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    selectionSeen_ = list != nullptr && ok != nullptr && list->topLevelItemCount() == 6;
    if (list == nullptr || ok == nullptr || list->topLevelItemCount() == 0) return;
    list->setCurrentItem(list->topLevelItem(0));
    // The picture once the screen shows the choice.
    QTimer::singleShot(kStepDelayMs, this, [this, dialog, ok] {
        Picture(*dialog, QStringLiteral("instrument-selection.png"));
        ok->click();
    });
}

void SmokeTest::OnModuleChoice()
{
    QDialog* dialog = SelectionDone();
    if (dialog == nullptr) return Again(&SmokeTest::OnModuleChoice);
    auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    if (list == nullptr || ok == nullptr || list->topLevelItemCount() == 0) return;
    list->setCurrentItem(list->topLevelItem(0));
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnModulePassword);
    ok->click();
}

void SmokeTest::OnModulePassword()
{
    QDialog* dialog = FormWindow("FPassword");
    if (dialog == nullptr) return Again(&SmokeTest::OnModulePassword);
    auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    if (password == nullptr || ok == nullptr) return;
    TypeInto(*password, QStringLiteral("6150"));
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnEthernetSetup);
    ok->click();
}

void SmokeTest::OnEthernetSetup()
{
    QDialog* dialog = FormWindow("FSetupEth");
    auto* address = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("txtIP")) : nullptr;
    auto* cancel = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("cmdAnnulla")) : nullptr;
    if (address == nullptr || cancel == nullptr || !address->isEnabled()) return Again(&SmokeTest::OnEthernetSetup);
    setupSeen_ = address->text() == QStringLiteral("127.0.0.11");
    Picture(*dialog, QStringLiteral("ethernet-setup.png"));
    cancel->click();
}

bool SmokeTest::ChooseFirst(void (SmokeTest::*next)())
{
    QDialog* dialog = SelectionDone();
    auto* list = dialog ? dialog->findChild<QTreeWidget*>(QStringLiteral("ListView1")) : nullptr;
    auto* ok = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")) : nullptr;
    if (list == nullptr || ok == nullptr || list->topLevelItemCount() == 0) return false;
    list->setCurrentItem(list->topLevelItem(0));
    QTimer::singleShot(kStepDelayMs, this, next);
    ok->click();
    return true;
}

void SmokeTest::OnCurveChoice()
{
    if (!ChooseFirst(&SmokeTest::OnCurveWindow)) Again(&SmokeTest::OnCurveChoice);
}

// The changed profile is not saved; the first instrument's configuration becomes the profile.
void SmokeTest::OnImport()
{
    auto* import = main_.findChild<QAction*>(QStringLiteral("mnuImport"));
    Check(import != nullptr && import->isEnabled(), QStringLiteral("the import item is offered"));
    if (import == nullptr) return;
    if (form_.Profilo().Modificato) QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnSaveQuestion);
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnImportChoice);
    import->trigger();
    Check(form_.FileCorrente().empty() && form_.Profilo().Modificato,
          QStringLiteral("the instrument's profile is open, without a file"));
}

void SmokeTest::OnImportChoice()
{
    if (!ChooseFirst(&SmokeTest::OnImportMessage)) Again(&SmokeTest::OnImportChoice);
}

void SmokeTest::OnImportMessage()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->text().startsWith(QStringLiteral("The instrument's configuration was read into a new profile.")))
        return Again(&SmokeTest::OnImportMessage);
    importSeen_ = box->detailedText().contains(QStringLiteral("Measure 1: ")) && box->detailedText().contains(QStringLiteral("Curve duration"));
    // The picture with the list of fields open, as the technician reads it, once it is drawn.
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
    QTimer::singleShot(kStepDelayMs, this, [this, box] {
        Picture(*box, QStringLiteral("import.png"));
        box->button(QMessageBox::Ok)->click();
    });
}

// The press strokes every two seconds: the picture once four pieces are drawn.
void SmokeTest::OnCurveWindow()
{
    QDialog* dialog = FormWindow("FCurve");
    auto* results = dialog ? dialog->findChild<QLabel*>(QStringLiteral("lblRisultati")) : nullptr;
    auto* close = dialog ? dialog->findChild<QPushButton*>(QStringLiteral("cmdChiudi")) : nullptr;
    if (results == nullptr || close == nullptr || !results->text().startsWith(QStringLiteral("Piece 4:")))
        return Again(&SmokeTest::OnCurveWindow);
    curvesSeen_ = true;
    Picture(*dialog, QStringLiteral("curves.png"));
    close->click();
}

void SmokeTest::OnSetupDialogs()
{
    auto* mainSettings = main_.findChild<QAction*>(QStringLiteral("mnuSetupMachine"));
    Check(mainSettings != nullptr && mainSettings->isEnabled(), QStringLiteral("the main settings item is in the menu"));
    if (mainSettings == nullptr) return;
    DialogTour tour({{QStringLiteral("FSetupStrumento"), QStringLiteral("main-settings.png"), QStringLiteral("cmdSetup(0)")},
                     {QStringLiteral("FSetupMisuraPressa"), QStringLiteral("measure-setup.png"), QStringLiteral("cmdSetupInOut")},
                     {QStringLiteral("FSetupInOutPressa"), QStringLiteral("inputs-outputs.png"), QStringLiteral("cmdCancel")},
                     {QStringLiteral("FSetupMisuraPressa"), {}, QStringLiteral("cmdSetupOperazioni")},
                     {QStringLiteral("FSetupOperazioni"), QStringLiteral("operations.png"), QStringLiteral("cmdCancel")},
                     {QStringLiteral("FSetupMisuraPressa"), {}, QStringLiteral("cmdCancel")},
                     {QStringLiteral("FSetupStrumento"), {}, QStringLiteral("cmdCancel")}},
                    [this](QWidget& window, const QString& name) { Picture(window, name); });
    tour.Start();
    mainSettings->trigger();  // returns once the main settings have closed
    Check(tour.Finished(), QStringLiteral("the setup dialogs were shown in turn"));
    failures_ << tour.Failures();
}

void SmokeTest::OnSaveQuestion()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return Again(&SmokeTest::OnSaveQuestion);
    Check(box->text() == QStringLiteral("Profile has been changed.\nSave changes?"), QStringLiteral("the closing question"));
    box->button(QMessageBox::No)->click();
}

void SmokeTest::OnPasswordWindow()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return Again(&SmokeTest::OnPasswordWindow);
    dialogSeen_ = dialog->objectName() == QStringLiteral("FSetPassword");
    if (!dialogSeen_) return;
    Check(dialog->windowTitle() == QStringLiteral("Modify password"), QStringLiteral("the window caption"));
    auto* oldPassword = dialog->findChild<QLineEdit*>(QStringLiteral("txtPasswordVecchia"));
    auto* newPassword = dialog->findChild<QLineEdit*>(QStringLiteral("txtPasswordNuova"));
    auto* confirm = dialog->findChild<QLineEdit*>(QStringLiteral("txtPasswordConferma"));
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    Check(oldPassword && newPassword && confirm && ok && cancel, QStringLiteral("the window has its controls"));
    if (!(oldPassword && newPassword && confirm && ok && cancel)) return;
    TypeInto(*oldPassword, QStringLiteral("0000"));
    TypeInto(*newPassword, QStringLiteral("line2"));
    TypeInto(*confirm, QStringLiteral("line2"));
    Check(oldPassword->echoMode() == QLineEdit::Password, QStringLiteral("passwords are masked"));
    Picture(*dialog, QStringLiteral("change-password.png"));
    QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnMessageBox);
    ok->click();  // answered by a message box
    Check(dialog->isVisible(), QStringLiteral("the window stays open after a wrong old password"));
    cancel->click();
}

void SmokeTest::OnMessageBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return Again(&SmokeTest::OnMessageBox);
    messageSeen_ = box->text() == QStringLiteral("The old password is wrong");
    Check(box->windowTitle() == Title(), QStringLiteral("the message box title"));
    Picture(*box, QStringLiteral("message-box.png"));
    box->button(QMessageBox::Ok)->click();
}

void SmokeTest::Again(void (SmokeTest::*step)())
{
    QTimer::singleShot(kStepDelayMs, this, step);
}

void SmokeTest::Check(bool condition, const QString& what)
{
    if (!condition) failures_ << what;
}

void SmokeTest::Picture(QWidget& window, const QString& name)
{
    if (!pictureFolder_.isEmpty()) Save(Shot({&window}), name);
}

void SmokeTest::PictureWithMenu(QMenu& menu, const QString& name)
{
    if (!pictureFolder_.isEmpty()) Save(Shot({&main_, &menu}), name);
}

QPixmap SmokeTest::Shot(const QList<QWidget*>& windows)
{
    QRect area;
    for (QWidget* window : windows) area = area.united(window->frameGeometry());
    // On a display server the screen itself is taken, with the window manager's frames; offscreen
    // there is no screen to take, so the windows are drawn where they stand, one over the other.
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        if (QScreen* screen = windows.front()->screen()) {
            QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
            if (!picture.isNull()) return picture;
        }
    }
    QPixmap canvas(area.size());
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    for (QWidget* window : windows) painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    return canvas;
}

void SmokeTest::Save(const QPixmap& picture, const QString& name)
{
    QDir().mkpath(pictureFolder_);
    Check(picture.save(QDir(pictureFolder_).filePath(name)), QStringLiteral("saving ") + name);
}

} // namespace zem::gui
