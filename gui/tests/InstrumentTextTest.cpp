// Instrument texts where they meet the widgets: a name with umlauts from a profile file through an
// instrument and back to the screen, and typing counted in the instrument's characters.
#include "tests/cli/ZemcliRun.h"

#include "gui/FormDialog.h"
#include "profile/ProfiloZem.h"
#include "setup/FSetupStrumento.h"
#include "ui/ScriptedHost.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace zem::gui {
namespace {

// Twenty characters, the most a name may have, five of them outside ASCII; as a person reads
// them and as the instrument and the files keep them.
const char* const kShown = "Größenprüfung Nr. 1€";
const std::string kKept = "Gr\xF6\xDF" "enpr\xFC" "fung Nr. 1\x80";

std::string Read(const std::filesystem::path& file)
{
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

void Type(QWidget* box, const QString& text)
{
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(box, &key);
}

// The instrument settings dialog on screen for `profilo`; `look` sees its name box, then the
// dialog is cancelled.
void OnTheScreen(ProfiloZem& profilo, const std::function<void(FSetupStrumento&, QLineEdit*)>& look)
{
    ui::ScriptedHost host;
    host.OnForm("FSetupStrumento", [&](ui::Form& form) {
        auto& window = static_cast<FSetupStrumento&>(form);
        {
            FormDialog dialog(form, nullptr);
            dialog.show();
            look(window, dialog.findChild<QLineEdit*>(QStringLiteral("txtNome")));
        }
        form.SetObserver(nullptr);
        window.cmdCancel.UserClick();
    });
    FSetupStrumento(host).ShowForm(profilo);
}

TEST(InstrumentText, ANameWithUmlautsGoesFromFileToInstrumentToJsonAndBackToTheScreen)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zem-text-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string profile = Read(std::string(ZEM_BINARY_DIR) + "/Default.ZemP");
    profile.replace(profile.find("Nome=ZEM AUTOMATION"), 19, "Nome=" + kKept);
    std::ofstream(folder / "sent.zemp", std::ios::binary) << profile;

    const auto run = test::RunZemcli({"--simulate", "--yes", "send", (folder / "sent.zemp").string(), "--to", "USB: MR4A1001",
                                      "--works", "clear", "then", "list", "--usb-only", "--json", "then", "read", "--to",
                                      "USB: MR4A1001", (folder / "back.zemp").string()},
                                     {"XDG_CONFIG_HOME=" + folder.string(), "ZEMSETUP_PASSWORD=6150"});
    ASSERT_EQ(run.code, 0) << run.out << run.err;
    const std::size_t at = run.out.find('[');
    ASSERT_NE(at, std::string::npos) << run.out;
    const auto list = nlohmann::json::parse(run.out.substr(at, run.out.find('\n', at) - at));
    EXPECT_EQ(list[0]["key"], "USB: MR4A1001");
    // The identity reply the list shows carries the name's first fifteen characters.
    EXPECT_EQ(list[0]["name"], "Größenprüfung N (Press)");
    EXPECT_NE(Read(folder / "back.zemp").find("\nNome=" + kKept + "\r\n"), std::string::npos) << "the file keeps the bytes";

    ProfiloZem back;
    ASSERT_TRUE(back.ApriFile((folder / "back.zemp").string()));
    OnTheScreen(back, [](FSetupStrumento&, QLineEdit* name) { EXPECT_EQ(name->text(), QString::fromUtf8(kShown)); });
    std::filesystem::remove_all(folder);
}

TEST(InstrumentText, TypingCountsTheInstrumentsCharactersAndRefusesOneItCannotHold)
{
    ProfiloZem profilo;
    OnTheScreen(profilo, [](FSetupStrumento& window, QLineEdit* name) {
        name->selectAll();
        Type(name, QString::fromUtf8(kShown) + QStringLiteral("!"));
        EXPECT_EQ(window.txtNome.Text(), kKept) << "twenty characters are the limit, however many bytes in UTF-8";
        EXPECT_EQ(name->text(), QString::fromUtf8(kShown));

        name->selectAll();
        Type(name, QStringLiteral("Ω"));
        EXPECT_EQ(window.txtNome.Text(), kKept) << "refused, the text stays";
        EXPECT_EQ(name->text(), QString::fromUtf8(kShown));
        EXPECT_EQ(QToolTip::text(), QStringLiteral("The instrument cannot hold the character \"Ω\"."));
    });
}

} // namespace
} // namespace zem::gui
