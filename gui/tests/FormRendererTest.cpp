#include "tests/EveryControlForm.h"

#include "gui/FormDialog.h"
#include "gui/FormMainWindow.h"
#include "gui/FormRenderer.h"
#include "gui/WindowPlacement.h"
#include "profile/SettingsStore.h"
#include "ui/ScriptedHost.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QTreeWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zem::gui {
namespace {

using test::EveryControlForm;
using ::testing::ElementsAre;

class Rendered : public ::testing::Test {
protected:
    Rendered()
    {
        form.LoadWindow();
        form.log.clear();
        window = std::make_unique<FormMainWindow>(form);
        window->show();
        QCoreApplication::processEvents();
    }
    ~Rendered() override
    {
        window.reset();
        form.SetObserver(nullptr);
    }
    template <class W>
    W* Widget(const char* key) const
    {
        return window->findChild<W*>(QString::fromLatin1(key));
    }
    QAction* Action(const char* key) const { return window->findChild<QAction*>(QString::fromLatin1(key)); }

    ui::ScriptedHost host;
    EveryControlForm form{host};
    std::unique_ptr<FormMainWindow> window;
};

TEST_F(Rendered, EveryControlGetsItsWidgetNamedAfterItInsideItsFrame)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Every control"));
    for (QWidget* w : std::initializer_list<QWidget*>{Widget<QComboBox>("lstTipo"), Widget<QListWidget>("lstUM"),
                                                      Widget<QTreeWidget>("ListView1"), Widget<QTabBar>("TabStrip1"),
                                                      Widget<QProgressBar>("ProgressBar1"), Widget<QLabel>("imgHourglass")})
        EXPECT_NE(w, nullptr);
    EXPECT_NE(qobject_cast<QTimer*>(window->Renderer().ObjectFor(form.Timer1)), nullptr);
    auto* frame = Widget<QGroupBox>("fraSettings");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QStringLiteral("Settings"));
    EXPECT_EQ(Widget<QCheckBox>("chkSlave")->parentWidget(), frame);
    EXPECT_EQ(Widget<QRadioButton>("opA")->parentWidget(), frame);
    // Twips: 15 to the pixel, relative to the container.
    EXPECT_EQ(Widget<QCheckBox>("chkSlave")->geometry(), QRect(8, 20, 240, 17));
    EXPECT_EQ(Widget<QLineEdit>("txtNome")->geometry(), QRect(176, 6, 200, 21));
    EXPECT_EQ(Widget<QLabel>("lblNome")->buddy(), Widget<QLineEdit>("txtNome"))
        << "the label's access key leads to the next control";
    EXPECT_TRUE(Widget<QPushButton>("cmdOK")->isDefault());
}

TEST_F(Rendered, WhatHandlersChangeComesBackToTheWidgets)
{
    form.txtNome.SetText("Press line 2");
    form.txtNome.SetPasswordChar('*');
    form.opB.SetValue(true);
    form.lstTipo.SetListIndex(2);
    form.lstUM.AddItem("mV");
    const int item = form.ListView1.AddItem("ZEM 1 (Press)");
    form.ListView1.SetCell(item, "SN", "USB: MR400012");
    form.ListView1.SetSelectedIndex(item);
    form.TabStrip1.SetTabCaption(1, "0-10V #1B");
    form.ProgressBar1.SetMax(8960);
    form.ProgressBar1.SetValue(4480);
    form.cmdOK.SetEnabled(false);
    form.fraSettings.SetVisible(false);
    form.lblNome.SetCaption("Name:\r\nline two");

    EXPECT_EQ(Widget<QLineEdit>("txtNome")->text(), QStringLiteral("Press line 2"));
    EXPECT_EQ(Widget<QLineEdit>("txtNome")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Widget<QRadioButton>("opB")->isChecked());
    EXPECT_EQ(Widget<QComboBox>("lstTipo")->currentText(), QStringLiteral("Peak to peak measure"));
    EXPECT_EQ(Widget<QListWidget>("lstUM")->count(), 4);
    auto* view = Widget<QTreeWidget>("ListView1");
    EXPECT_EQ(view->headerItem()->text(1), QStringLiteral("SN"));
    EXPECT_EQ(view->columnWidth(0), 253);
    ASSERT_EQ(view->topLevelItemCount(), 1);
    EXPECT_EQ(view->topLevelItem(0)->text(1), QStringLiteral("USB: MR400012"));
    EXPECT_EQ(view->currentItem(), view->topLevelItem(0));
    EXPECT_EQ(Widget<QTabBar>("TabStrip1")->tabText(1), QStringLiteral("0-10V #1B"));
    EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 4480);
    EXPECT_FALSE(Widget<QPushButton>("cmdOK")->isEnabled());
    EXPECT_FALSE(Widget<QGroupBox>("fraSettings")->isVisible());
    EXPECT_FALSE(Widget<QCheckBox>("chkSlave")->isVisible()) << "hidden with its frame";
    EXPECT_EQ(Widget<QLabel>("lblNome")->text(), QStringLiteral("Name:\nline two"));
    form.ListView1.ClearItems();
    EXPECT_EQ(view->topLevelItemCount(), 0);
}

TEST_F(Rendered, WhatTheTechnicianDoesReachesTheHandlers)
{
    form.txtNome.SetMaxLength(6);
    form.react = [this](const std::string& handler) {
        if (handler == "cmdOK_Click") form.ProgressBar1.SetValue(50);
    };
    QTest::keyClicks(Widget<QLineEdit>("txtNome"), QStringLiteral("Pressa 1"));
    EXPECT_EQ(form.txtNome.Text(), "Pressa");
    QTest::mouseClick(Widget<QCheckBox>("chkSlave"), Qt::LeftButton);
    EXPECT_TRUE(form.chkSlave.Checked());
    Widget<QRadioButton>("opA")->click();
    Widget<QRadioButton>("opB")->click();
    EXPECT_FALSE(Widget<QRadioButton>("opA")->isChecked()) << "the group is the form's, shown on the widgets";
    EXPECT_TRUE(form.opB.Value());
    Widget<QComboBox>("lstTipo")->activated(1);
    EXPECT_EQ(form.lstTipo.ListIndex(), 1);
    Widget<QListWidget>("lstUM")->setCurrentRow(2);
    EXPECT_EQ(form.lstUM.Text(), "mm");
    form.ListView1.AddItem("ZEM 1");
    form.ListView1.AddItem("ZEM 2");
    auto* view = Widget<QTreeWidget>("ListView1");
    view->setCurrentItem(view->topLevelItem(1));
    view->itemDoubleClicked(view->topLevelItem(1), 0);
    EXPECT_EQ(form.ListView1.SelectedIndex(), 1);
    Widget<QTabBar>("TabStrip1")->setCurrentIndex(1);
    EXPECT_EQ(form.TabStrip1.SelectedIndex(), 1);
    QTest::mouseClick(Widget<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(Widget<QProgressBar>("ProgressBar1")->value(), 50);
    form.cmdOK.SetEnabled(false);
    QTest::mouseClick(Widget<QPushButton>("cmdOK"), Qt::LeftButton);  // a disabled control takes no click

    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "txtNome_Change"), 6);
    const std::vector<std::string> rest(form.log.begin() + 6, form.log.end());
    EXPECT_THAT(rest, ElementsAre("chkSlave_Click", "opA_Click", "opB_Click", "lstTipo_Click", "lstUM_Click",
                                  "ListView1_ItemClick 1", "ListView1_DblClick", "TabStrip1_Click", "cmdOK_Click"));
}

TEST_F(Rendered, ClosingTheWindowAsksTheFormFirstAndWaitsForTheHandler)
{
    form.allowClose = [] { return false; };
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(form.Loaded());

    // Closed from its own handler, the window goes only once the handler returns.
    bool visibleAfterUnload = false;
    form.allowClose = nullptr;
    form.react = [&](const std::string& handler) {
        if (handler != "mnuUscita_Click") return;
        form.Unload();
        QCoreApplication::processEvents();  // a workflow pumping events
        visibleAfterUnload = window->isVisible();
    };
    Action("mnuUscita")->trigger();
    EXPECT_TRUE(visibleAfterUnload);
    EXPECT_FALSE(form.Loaded());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
}

TEST(RenderedDialog, EscPressesCancelAndAnUnloadEndsTheModalLoop)
{
    ui::ScriptedHost host;
    EveryControlForm form(host);
    form.react = [&](const std::string& handler) {
        if (handler == "cmdCancel_Click") form.Unload();
    };
    form.LoadWindow();
    FormDialog dialog(form, nullptr);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("FEvery"));
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("txtNome"))->window(), &dialog);
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    dialog.exec();
    EXPECT_THAT(form.log, ElementsAre("Form_Load", "cmdCancel_Click", "Form_Unload"));
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(dialog.isVisible());
}

TEST(RenderedDialog, ASizableWindowGrowsItsListAndMovesWhatLiesBelowAndRightOfIt)
{
    ui::ScriptedHost host;
    test::EveryControlForm form(host);
    form.SetSizable(true);
    form.LoadWindow();
    FormDialog dialog(form, nullptr);
    dialog.show();
    const auto at = [&dialog](const char* key) { return dialog.findChild<QWidget*>(QLatin1String(key))->geometry(); };
    const QRect list = at("ListView1"), ok = at("cmdOK"), name = at("txtNome");
    dialog.resize(dialog.size() + QSize(100, 60));
    QCoreApplication::processEvents();
    EXPECT_EQ(at("ListView1"), list.adjusted(0, 0, 100, 60));
    EXPECT_EQ(at("cmdOK"), ok.translated(100, 60)) << "below and right of the list";
    EXPECT_EQ(at("txtNome"), name) << "above the list, left half: stays";
    form.SetObserver(nullptr);
}

TEST(WindowPlacement, TheWindowComesBackWhereItWasLeftButNeverOffEveryScreen)
{
    MemorySettingsStore settings;
    QWidget window;
    window.setGeometry(40, 50, 700, 480);
    SavePlacement(window, settings, "ZEM Setup");
    const QRect left(10, 20, 300, 200);
    for (const auto& [kept, expected] : {std::pair{settings.GetSetting("ZEM Setup", "Main", "Finestra", ""), QRect(40, 50, 700, 480)},
                                         {"90000,90000,700,480", left}, {"40,50,wide", left}}) {
        settings.SaveSetting("ZEM Setup", "Main", "Finestra", kept);
        QWidget other;
        other.setGeometry(left);
        RestorePlacement(other, settings, "ZEM Setup");
        EXPECT_EQ(QRect(other.pos(), other.size()), expected) << kept;
    }
}

} // namespace
} // namespace zem::gui
