#include "session/TrasferimentoSingoloByte.h"

#include "profile/SettingsStore.h"

namespace zem {

bool TrasferimentoSingoloByte(SettingsStore& settings, const std::string& applicazione)
{
    return settings.GetSetting(applicazione, "Main", "SingleByteTransfers", "0") == "1";
}

} // namespace zem
