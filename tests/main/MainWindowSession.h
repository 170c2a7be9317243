#pragma once

#include "main/FMainZEMSETUP.h"
#include "profile/SettingsStore.h"
#include "sim/SimulatedPlatform.h"
#include "ui/CommandButton.h"
#include "ui/ScriptedHost.h"
#include "ui/TextBox.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include <stdlib.h>

namespace zem::test {

inline const std::string kTemplateSource = std::string(ZEM_SOURCE_DIR) + "/profile/templates/Default.ZemP";
inline const std::string kExampleSource = std::string(ZEM_SOURCE_DIR) + "/profile/examples/PressLine3.zemp";

inline std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The main window on the scripted host, in a scratch folder of its own: "program" holds the
// template (unless asked not to), "profiles" a copy of the example profile.
class MainWindowSession {
public:
    struct Setup {
        std::string commandLine;
        bool withTemplate = true;
        int versionMajor = 1;
        int versionMinor = 0;
        bool openExample = false;  // the example profile given on the command line
    };

    MainWindowSession() : MainWindowSession(Setup{}) {}
    explicit MainWindowSession(const Setup& setup)
    {
        std::string model = (std::filesystem::temp_directory_path() / "zemmain-XXXXXX").string();
        if (::mkdtemp(model.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        root_ = model;
        std::filesystem::create_directories(root_ / "program");
        std::filesystem::create_directories(root_ / "profiles");
        if (setup.withTemplate) std::filesystem::copy_file(kTemplateSource, root_ / "program" / "Default.ZemP");
        std::filesystem::copy_file(kExampleSource, root_ / "profiles" / "PressLine3.zemp");
        window = std::make_unique<FMainZEMSETUP>(
            host, settings, platform.Platform(),
            FMainZEMSETUP::Options{(root_ / "program").string(), setup.commandLine, setup.versionMajor,
                                   setup.versionMinor, setup.openExample ? Example() : ""});
        window->LoadWindow();
    }
    ~MainWindowSession()
    {
        window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    MainWindowSession(const MainWindowSession&) = delete;
    MainWindowSession& operator=(const MainWindowSession&) = delete;

    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
    std::string Example() const { return Path("profiles/PressLine3.zemp"); }

    std::string Setting(const std::string& key)
    {
        return settings.GetSetting(host.ApplicationTitle(), "Main", key, "(none)");
    }

    // The technician types `typed` into the password window and presses OK.
    void TypesPassword(const std::string& typed)
    {
        host.OnForm("FPassword", [typed](ui::Form& f) {
            f.Get<ui::TextBox>("txtPassword").UserType(typed);
            f.Get<ui::CommandButton>("cmdOK").UserClick();
        });
    }

    // Opens `path` through the Open dialog.
    void Open(const std::string& path)
    {
        host.ChooseFile(path);
        window->mnuApri.UserClick();
    }

    // New profile; the technician closes the main settings it opens without a change.
    void New()
    {
        host.OnForm("FSetupStrumento", [](ui::Form& f) { f.RequestClose(); });
        window->mnuNuovo.UserClick();
    }

    // The open profile as it would be after a change in a setup dialog.
    void Change(const std::string& name)
    {
        window->Profilo().Nome = name;
        window->Profilo().Modificato = true;
        window->AggiornaMenu();
    }

    ui::ScriptedHost host;
    MemorySettingsStore settings;
    sim::SimulatedPlatform platform;
    std::unique_ptr<FMainZEMSETUP> window;

private:
    std::filesystem::path root_;
};

} // namespace zem::test
