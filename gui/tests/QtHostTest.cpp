#include "gui/QtHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace zem::gui {
namespace {

TEST(QtNameFilters, TurnsTheWindowsFilterIntoQtFilters)
{
    EXPECT_EQ(QtNameFilters("ZEM profile file|*.zemp|All files (*.*)|*.*"),
              QStringList({QStringLiteral("ZEM profile file (*.zemp)"), QStringLiteral("All files (*)")}));
    EXPECT_EQ(QtNameFilters("Logs (old)|*.log;*.txt"), QStringList({QStringLiteral("Logs (old) (*.log *.txt)")}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

// Presses `button` on the message box as soon as it is up, and notes what it showed.
struct Presser {
    explicit Presser(QMessageBox::StandardButton pressed) : button(pressed) {}
    QMessageBox::StandardButton button;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    int buttons = 0;

    void Arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            defaultButton = box->standardButton(box->defaultButton());
            box->button(button)->click();
        });
    }
};

TEST(QtHost, MessageBoxesShowTheTitleButtonsIconAndDefaultAndAnswerThePressedButton)
{
    QtHost host("ZEM Setup");
    Presser yes(QMessageBox::Yes);
    yes.Arm();
    EXPECT_EQ(host.MsgBox("Profile has been changed.\r\nSave changes?", ui::MsgButtons::YesNoCancel,
                          ui::MsgIcon::Question),
              ui::MsgAnswer::Yes);
    EXPECT_EQ(yes.title, QStringLiteral("ZEM Setup"));
    EXPECT_EQ(yes.text, QStringLiteral("Profile has been changed.\nSave changes?"));
    EXPECT_EQ(yes.icon, QMessageBox::Question);
    EXPECT_EQ(yes.buttons, 3);
    EXPECT_EQ(yes.defaultButton, QMessageBox::Yes);

    Presser no(QMessageBox::No);
    no.Arm();
    EXPECT_EQ(host.MsgBox("Are you sure to clear the works settings?", ui::MsgButtons::YesNo,
                          ui::MsgIcon::Exclamation, ui::MsgAnswer::No),
              ui::MsgAnswer::No);
    EXPECT_EQ(no.defaultButton, QMessageBox::No);
    EXPECT_EQ(no.icon, QMessageBox::Warning);
}

// Six measures' worth of fields would run off a 768-pixel screen: they go to the part that scrolls.
TEST(QtHost, LongDetailsScrollInsideABoxThatFitsTheScreen)
{
    QtHost host("ZEM Setup");
    std::string details;
    for (int i = 0; i < 80; ++i) details += "Measure 1: Name of the value, Acquisition speed\r\n";
    QString text, shown;
    int height = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        shown = box->detailedText();
        height = box->sizeHint().height();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(host.MsgBoxWithDetails("Summary", details, ui::MsgIcon::Information), ui::MsgAnswer::OK);
    EXPECT_EQ(text, QStringLiteral("Summary"));
    EXPECT_EQ(shown.count(QStringLiteral("\n")), 80);
    EXPECT_LT(height, 768);
}

TEST(QtHost, EscapeAnswersCancelOrNo)
{
    QtHost host("ZEM Setup");
    for (const auto buttons : {ui::MsgButtons::YesNo, ui::MsgButtons::OKCancel}) {
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        const auto answer = host.MsgBox("Send change to instrument?", buttons, ui::MsgIcon::Question);
        EXPECT_EQ(answer, buttons == ui::MsgButtons::YesNo ? ui::MsgAnswer::No : ui::MsgAnswer::Cancel);
    }
}

} // namespace
} // namespace zem::gui
