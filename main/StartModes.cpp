#include "main/StartModes.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zem {

namespace {

std::string Upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

} // namespace

StartModes StartModes::FromCommandLine(std::string_view commandLine)
{
    // The shell hands the arguments over without the blanks before them.
    const auto first = commandLine.find_first_not_of(" \t");
    const std::string line = first == std::string_view::npos ? std::string() : Upper(commandLine.substr(first));
    StartModes modes;
    modes.advanced = line.starts_with("/ADV") || line.starts_with("--ADV");
    modes.configuration = modes.advanced || line.find("/CFG") != std::string::npos
                          || line.find("--CFG") != std::string::npos;
    return modes;
}

} // namespace zem
