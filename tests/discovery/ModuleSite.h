#pragma once

#include "discovery/FSetupEth.h"
#include "sim/ModulesEndpoint.h"
#include "sim/SimulatedPlatform.h"
#include "sim/StandardModules.h"
#include "ui/ScriptedHost.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zem::test {

// The two standard modules on the in-process network, the module commands aimed at them, and
// the scripted host letting their replies arrive as time passes.
struct ModuleSite {
    explicit ModuleSite(double timeOfDay = 36000.0) : machine(timeOfDay)
    {
        sim::AddStandardModules(modules, 7000);
        endpoint = std::make_unique<sim::ModulesEndpoint>(machine.network, modules, machine.broadcast.host,
                                                          machine.broadcast.port);
        host.OnClockAdvance([this](double seconds) { machine.network.PassTime(seconds); });
    }

    // The platform, noting the window socket so that a test can slip datagrams into it.
    LinkPlatform Platform()
    {
        LinkPlatform platform = machine.Platform();
        platform.createWindowSocket = [this] {
            auto socket = machine.network.CreateWindowSocket();
            windowSocket = socket.get();
            return socket;
        };
        return platform;
    }

    // A datagram reaching the window's socket now, as if from the first module.
    void Arrive(const std::string& text)
    {
        machine.network.Deliver(*windowSocket, {text.begin(), text.end()}, 0.0, "127.0.0.11", 65535);
    }

    // Shows `form` for the first module with `script` playing the technician; the script ends
    // with the window closed (Cancel when nothing else closed it).
    void Run(FSetupEth& form, std::function<void()> script)
    {
        host.OnForm("FSetupEth", [&form, script](ui::Form&) {
            script();
            if (form.Loaded()) form.cmdAnnulla.UserClick();
        });
        form.LoadForm(sim::kModuleMac1);
    }

    const std::vector<std::string>& Wire() const { return modules.Received(); }
    sim::SimulatedModule& Module() { return modules[0]; }

    sim::SimulatedPlatform machine;
    sim::SimulatedModules modules{machine.clock};
    std::unique_ptr<sim::ModulesEndpoint> endpoint;
    ui::ScriptedHost host;
    sim::SimulatedSocket* windowSocket = nullptr;
};

} // namespace zem::test
