#include "cli/CliSession.h"

#include "cli/PasswordFile.h"
#include "profile/InstrumentText.h"
#include "session/TrasferimentoSingoloByte.h"
#include "ui/Application.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/TextBox.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

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
      passwordFile_(options.passwordFile),
      log_(std::cerr, platform_->Platform().clock, options.verbose)
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
    std::string why = "no password given and no terminal to ask it on";
    if (passwordFile_) {
        password = ReadPasswordFile(*passwordFile_, why);
    } else if (const char* environment = std::getenv("ZEMSETUP_PASSWORD")) {
        password = environment;
    } else {
        password = TerminalHost::Ask("Password: ", true);
    }
    if (!password) {
        std::cerr << "zemcli: " << why << std::endl;
        host_.Refuse();
        form.Get<ui::CommandButton>("cmdCancel").UserClick();
        return;
    }
    // Typed as the window keeps it: in the 8-bit characters the GUI's password box stores.
    const auto typed = InstrumentText::FromUtf8(*password);
    form.Get<ui::TextBox>("txtPassword").UserType(typed ? typed->Bytes() : *password);
    form.Get<ui::CommandButton>("cmdOK").UserClick();
}

int CliSession::Run(const std::string& name, const CommandRun& command)
{
    host_.StartCommand();
    log_.Start(name);
    const int code = command(*this);
    log_.End();
    host_.EndCommand();
    return code;
}

TerminalProgress CliSession::Progress()
{
    return TerminalProgress(std::cerr, ::isatty(STDERR_FILENO), log_.Verbose() ? &log_ : nullptr);
}

int CliSession::ExitCode(bool done) const
{
    if (host_.Failed()) return kExitFailed;
    if (host_.Refused() || !done) return kExitRefused;
    return kExitDone;
}

} // namespace zem::cli
