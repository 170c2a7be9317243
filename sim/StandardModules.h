#pragma once

#include "sim/SimulatedModules.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zem::sim {

// The Ethernet modules the simulator serves unless told otherwise: two modules with fixed MAC
// texts at 127.0.0.11 and 127.0.0.12, each with the default instrument behind it on `dataPort`
// (0: chosen by the system when served on UDP).
inline constexpr const char* kModuleMac1 = "00-50-C2-5A-10-01";
inline constexpr const char* kModuleMac2 = "00-50-C2-5A-10-02";
void AddStandardModules(SimulatedModules& modules, std::uint32_t dataPort);

// "discover", "select", "login", "getip", "logout", "assign", "setting": the names the
// simulator's options give the module commands.
std::optional<ModuleCommand> ModuleCommandNamed(std::string_view name);

} // namespace zem::sim
