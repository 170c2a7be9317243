#include "app/ProgramPlatform.h"

#include "link/LayoutRicordati.h"
#include "link/usb/MachineUsbDriver.h"
#include "profile/DataPaths.h"

#include <string>
#include <unistd.h>

namespace zem::app {

std::unique_ptr<ProgramPlatform> ProgramPlatform::Open(bool simulate, const std::optional<std::string>& broadcast,
                                                       Refusal& why)
{
    std::unique_ptr<sim::SimulatedSite> site;
    std::unique_ptr<D2xx> machineUsb;
    std::optional<BroadcastTarget> target;
    if (simulate) {
        site = std::make_unique<sim::SimulatedSite>();
        if (!site->Start()) {
            why = Refusal::SiteNotServed;
            return nullptr;
        }
        // The simulated modules are reached on loopback unless the broadcast is aimed elsewhere.
        target = broadcast ? ParseBroadcastTarget(*broadcast) : site->Broadcast();
    } else {
        machineUsb = MachineUsbDriver();
        target = ChooseBroadcastTarget(broadcast);
        // Real instruments are the same from one run to the next; simulated ones are born anew.
        if (const auto stato = DataPaths::UserStateFolder(); !stato.empty())
            LayoutDelProgramma().ConservaIn(stato / "layouts");
    }
    if (!target) {
        why = Refusal::BadBroadcast;
        return nullptr;
    }
    return std::unique_ptr<ProgramPlatform>(new ProgramPlatform(std::move(site), std::move(machineUsb), *target));
}

std::string ProgramPlatform::Explain(Refusal why)
{
    switch (why) {
    case Refusal::SiteNotServed: return "the simulated instruments cannot be served on 127.0.0.1";
    case Refusal::BadBroadcast: break;
    }
    return "the broadcast target is not HOST or HOST:PORT (port 1-65535)";
}

ProgramPlatform::ProgramPlatform(std::unique_ptr<sim::SimulatedSite> site, std::unique_ptr<D2xx> machineUsb,
                                 BroadcastTarget broadcast)
    : site_(std::move(site)),
      machineUsb_(std::move(machineUsb)),
      system_(site_ ? site_->UsbDriver() : *machineUsb_, std::move(broadcast))
{
}

ProgramPlatform::~ProgramPlatform() = default;

LinkPlatform ProgramPlatform::Platform()
{
    LinkPlatform platform = system_.Platform();
    // Simulated instruments live in this process: claims on them are this process's own, so two
    // simulated runs never hold each other's instruments.
    if (site_) platform.claimScope = "simulated-" + std::to_string(::getpid()) + "-";
    return platform;
}

std::optional<std::uint32_t> ProgramPlatform::SimulatedModulesPort() const
{
    if (!site_) return std::nullopt;
    return site_->Broadcast().port;
}

} // namespace zem::app
