#include "gui/DesktopSession.h"

#include "gui/WindowPlacement.h"
#include "record/SqlitePieceStore.h"
#include "ui/Application.h"

#include <cstdio>

namespace zem::gui {

std::unique_ptr<DesktopSession> DesktopSession::Open(const ProgramOptions& options, SettingsStore& settings,
                                                     FMainZEMSETUP::Options mainOptions, int& exitCode)
{
    const auto broadcast = options.broadcast.isEmpty() ? std::nullopt : std::optional(options.broadcast.toStdString());
    app::ProgramPlatform::Refusal why{};
    auto platform = app::ProgramPlatform::Open(options.simulate, broadcast, why);
    if (!platform) {
        std::fprintf(stderr, "zemsetup: %s\n", app::ProgramPlatform::Explain(why).c_str());
        exitCode = why == app::ProgramPlatform::Refusal::BadBroadcast ? 2 : 1;
        return nullptr;
    }
    if (const auto port = platform->SimulatedModulesPort()) {
        std::printf("zemsetup: simulated USB bridges; simulated Ethernet modules at 127.0.0.1:%u (UDP)\n", *port);
        std::fflush(stdout);
    }
    return std::unique_ptr<DesktopSession>(new DesktopSession(std::move(platform), settings, std::move(mainOptions)));
}

namespace {

FMainZEMSETUP::Options WithRecords(FMainZEMSETUP::Options options, CurveRecording& recording, StatisticsSource& statistics)
{
    options.curveRecording = &recording;
    options.statistics = &statistics;
    return options;
}

} // namespace

DesktopSession::DesktopSession(std::unique_ptr<app::ProgramPlatform> platform, SettingsStore& settings,
                               FMainZEMSETUP::Options mainOptions)
    : platform_(std::move(platform)),
      settings_(settings),
      host_(ui::kApplicationTitle),
      recording_([](const std::string& file, std::string& error) -> std::unique_ptr<PieceStore> {
          return SqlitePieceStore::Open(file, error);
      }),
      statistics_(Recorder::SystemTimeMs),
      mainForm_(host_, settings, platform_->Platform(), WithRecords(std::move(mainOptions), recording_, statistics_)),
      // The window renders the form as loaded.
      window_((mainForm_.LoadWindow(), mainForm_))
{
    host_.WatchSockets(platform_->WindowPump());
    RestorePlacement(window_, settings_, host_.ApplicationTitle());
}

DesktopSession::~DesktopSession() { SavePlacement(window_, settings_, host_.ApplicationTitle()); }

std::optional<LinkPlatform> DesktopSession::Simulated()
{
    if (!platform_->Simulated()) return std::nullopt;
    return platform_->Platform();
}

} // namespace zem::gui
