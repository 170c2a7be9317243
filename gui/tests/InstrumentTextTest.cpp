// Instrument texts where they meet the widgets: from a file through an instrument to the screen, and typed.
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

// The most characters a name may have, five outside ASCII: as shown, and as the instrument keeps them.
const QString kShown = QString::fromUtf8("Größenprüfung Nr. 1€");
const std::string kKept = "Gr\xF6\xDF" "enpr\xFC" "fung Nr. 1\x80";

std::string Read(const std::filesystem::path& file) { return (std::ostringstream() << std::ifstream(file, std::ios::binary).rdbuf()).str(); }

TEST(InstrumentText, ANameWithUmlautsGoesFromFileToInstrumentToJsonToTheScreenAndIsTypedAsTheInstrumentKeepsIt)
{
    const auto folder = std::filesystem::temp_directory_path() / ("zem-text-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::string profile = Read(std::string(ZEM_BINARY_DIR) + "/Default.ZemP");
    std::ofstream(folder / "sent.zemp", std::ios::binary) << profile.replace(profile.find("ZEM AUTOMATION"), 14, kKept);
    const auto run = test::RunZemcli({"--simulate", "--yes", "send", (folder / "sent.zemp").string(), "--to", "USB: MR4A1001",
                                      "--works", "clear", "then", "send", (folder / "sent.zemp").string(), "--to", "USB: MR4A1001",
                                      "--works", "keep", "then", "list", "--usb-only", "--json", "then", "read", "--to",
                                      "USB: MR4A1001", (folder / "back.zemp").string()},
                                     {"XDG_CONFIG_HOME=" + folder.string(), "ZEMSETUP_PASSWORD=6150"});
    ASSERT_EQ(run.code, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("Old instrument name: Größenprüfung"), std::string::npos) << "the terminal shows UTF-8: " << run.err;
    const std::size_t at = run.out.find('[');
    EXPECT_EQ(nlohmann::json::parse(run.out.substr(at, run.out.find('\n', at) - at))[0]["name"], "Größenprüfung N (Press)")
        << "the identity reply carries fifteen characters";
    EXPECT_NE(Read(folder / "back.zemp").find("\nNome=" + kKept + "\r\n"), std::string::npos) << "the file keeps the bytes";
    ProfiloZem back;
    ASSERT_TRUE(back.ApriFile((folder / "back.zemp").string()));
    std::filesystem::remove_all(folder);

    ui::ScriptedHost host;
    host.OnForm("FSetupStrumento", [&](ui::Form& form) {
        auto& window = static_cast<FSetupStrumento&>(form);
        auto dialog = std::make_unique<FormDialog>(form, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("txtNome"));
        EXPECT_EQ(name->text(), kShown);
        for (const QString& typed : {kShown + QStringLiteral("!"), QStringLiteral("Ω")}) {
            name->selectAll();
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(name, &key);
            EXPECT_EQ(window.txtNome.Text(), kKept) << "cut to twenty characters, then the Omega refused";
            EXPECT_EQ(name->text(), kShown);
        }
        EXPECT_EQ(QToolTip::text(), QStringLiteral("The instrument cannot hold the character \"Ω\"."));
        dialog.reset();
        form.SetObserver(nullptr);
        window.cmdCancel.UserClick();
    });
    FSetupStrumento(host).ShowForm(back);
}

} // namespace
} // namespace zem::gui
