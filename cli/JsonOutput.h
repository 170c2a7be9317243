#pragma once

#include "profile/InstrumentText.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <string>

namespace zem::cli {

// An instrument's or a profile's text in JSON: its 8-bit characters as UTF-8.
inline nlohmann::json JsonText(const std::string& bytes) { return InstrumentText(bytes).Utf8(); }

// One JSON document a line, so a stream of them reads as JSON lines.
inline void PrintJson(const nlohmann::json& document) { std::cout << document.dump() << std::endl; }

} // namespace zem::cli
