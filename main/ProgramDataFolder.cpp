#include "main/ProgramDataFolder.h"

#include "main/FMainZEMSETUP.h"

#include <system_error>

namespace zem {

std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFolder)
{
    const auto installed = (programFolder / ".." / "share" / "zemsetup").lexically_normal();
    std::error_code error;
    if (std::filesystem::is_regular_file(installed / FMainZEMSETUP::kTemplateName, error)) return installed;
    return programFolder;
}

} // namespace zem
