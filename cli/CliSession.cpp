#include "cli/CliSession.h"

#include "session/TrasferimentoSingoloByte.h"
#include "ui/Application.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/TextBox.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace zem::cli {

std::unique_ptr<CliSession> CliSession::Open(const CliOptions& options, std::string& error)
{
    app::ProgramPlatform::Refusal why{};
    auto platform = app::ProgramPlatform::Open(options.simulate, options.broadcast, why);
    if (!platform) {
        error = app::ProgramPlatform::Explain(why);
        return nullptr;
    }
    return std::unique_ptr<CliSession>(new CliSession(options, std::move(platform)));
}

CliSession::CliSession(const CliOptions& options, std::unique_ptr<app::ProgramPlatform> platform)
    : platform_(std::move(platform)),
      host_(ui::kApplicationTitle, &platform_->WindowPump(), options.yes, options.quiet),
      gate_(host_, settings_),
      passwordFile_(options.passwordFile)
{
    host_.OnForm("FPassword", [this](ui::Form& form) { TypePassword(form); });
    singoloByte_ = options.compat || TrasferimentoSingoloByte(settings_, ui::kApplicationTitle);
}

LinkPlatform CliSession::Platform()
{
    LinkPlatform platform = platform_->Platform();
    platform.singoloByte = singoloByte_;
    return platform;
}

void CliSession::TypePassword(ui::Form& form)
{
    std::optional<std::string> password;
    if (passwordFile_) {
        std::ifstream file(*passwordFile_);
        std::string line;
        if (std::getline(file, line)) password = line.substr(0, line.find('\r'));
    } else if (const char* environment = std::getenv("ZEMSETUP_PASSWORD")) {
        password = environment;
    } else {
        password = TerminalHost::Ask("Password: ", true);
    }
    if (!password) {
        std::cerr << "zemcli: no password given and no terminal to ask it on" << std::endl;
        host_.Refuse();
        form.Get<ui::CommandButton>("cmdCancel").UserClick();
        return;
    }
    form.Get<ui::TextBox>("txtPassword").UserType(*password);
    form.Get<ui::CommandButton>("cmdOK").UserClick();
}

int CliSession::Run(const CommandRun& command)
{
    host_.StartCommand();
    const int code = command(*this);
    host_.EndCommand();
    return code;
}

int CliSession::ExitCode(bool done) const
{
    if (host_.Failed()) return kExitFailed;
    if (host_.Refused() || !done) return kExitRefused;
    return kExitDone;
}

} // namespace zem::cli
