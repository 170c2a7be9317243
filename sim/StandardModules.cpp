#include "sim/StandardModules.h"

#include <array>
#include <utility>

namespace zem::sim {

void AddStandardModules(SimulatedModules& modules, std::uint32_t dataPort)
{
    modules.Add({kModuleMac1, "127.0.0.11", dataPort, {"1", "0", "0"}, "ZEM-ETH-1"});
    modules.Add({kModuleMac2, "127.0.0.12", dataPort, {"1", "0", "0"}, "ZEM-ETH-2"});
}

std::optional<ModuleCommand> ModuleCommandNamed(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, ModuleCommand>, 7> kNames{{
        {"discover", ModuleCommand::Discover},
        {"select", ModuleCommand::Select},
        {"login", ModuleCommand::Login},
        {"getip", ModuleCommand::GetIP},
        {"logout", ModuleCommand::Logout},
        {"assign", ModuleCommand::AssignIP},
        {"setting", ModuleCommand::Setting},
    }};
    for (const auto& [text, command] : kNames)
        if (text == name) return command;
    return std::nullopt;
}

} // namespace zem::sim
