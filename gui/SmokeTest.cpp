#include "gui/SmokeTest.h"

#include "gui/FormMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace zem::gui {

namespace {

constexpr int kStepDelayMs = 50;
constexpr int kWatchdogMs = 20000;

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

} // namespace

SmokeTest::SmokeTest(FormMainWindow& mainWindow, QString pictureFolder)
    : main_(mainWindow), pictureFolder_(std::move(pictureFolder))
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
    Check(dialogSeen_, QStringLiteral("the change-password window was shown"));
    Check(messageSeen_, QStringLiteral("the wrong old password was reported"));
    Check(!main_.isVisible(), QStringLiteral("the main window closed"));
    for (const QString& failure : failures_) std::fprintf(stderr, "smoke test: failed: %s\n", qPrintable(failure));
    if (failures_.isEmpty()) std::printf("smoke test: passed\n");
    return code != 0 ? code : (failures_.isEmpty() ? 0 : 1);
}

void SmokeTest::OnMainWindow()
{
    Check(main_.isVisible(), QStringLiteral("the main window is shown"));
    auto* version = main_.findChild<QLabel*>(QStringLiteral("lblVersione"));
    Check(version != nullptr && version->text().startsWith(QStringLiteral("ZEM AUTOMATION Setup version ")),
          QStringLiteral("the version label is shown"));
    Picture(main_, QStringLiteral("main-window.png"));
    auto* change = main_.findChild<QAction*>(QStringLiteral("mnuSetPassword"));
    Check(change != nullptr && change->isEnabled() && change->isVisible(),
          QStringLiteral("the change-password item is in the menu"));
    if (change != nullptr) {
        QTimer::singleShot(kStepDelayMs, this, &SmokeTest::OnPasswordWindow);
        change->trigger();  // returns once the modal window has closed
    }
    Check(QApplication::activeModalWidget() == nullptr, QStringLiteral("no modal window is left open"));
    main_.close();
}

void SmokeTest::OnPasswordWindow()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    dialogSeen_ = dialog != nullptr && dialog->objectName() == QStringLiteral("FSetPassword");
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
    messageSeen_ = box != nullptr && box->text() == QStringLiteral("The old password is wrong");
    if (box == nullptr) return;
    Check(box->windowTitle() == QApplication::applicationName(), QStringLiteral("the message box title"));
    Picture(*box, QStringLiteral("message-box.png"));
    box->button(QMessageBox::Ok)->click();
}

void SmokeTest::Check(bool condition, const QString& what)
{
    if (!condition) failures_ << what;
}

void SmokeTest::Picture(QWidget& window, const QString& name)
{
    if (pictureFolder_.isEmpty()) return;
    QDir().mkpath(pictureFolder_);
    Check(window.grab().save(QDir(pictureFolder_).filePath(name)), QStringLiteral("saving ") + name);
}

} // namespace zem::gui
