// Arbitrary bytes as a per-user settings file: the store reads it or says why it cannot, never
// takes a default for a key it could not see, and a value it saves reads back as saved.
#include "fuzz/FuzzCheck.h"
#include "profile/FileSettingsStore.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace {

const std::filesystem::path& Cartella()
{
    static const std::filesystem::path cartella = [] {
        std::string modello = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/zemsettings-XXXXXX" : "/tmp/zemsettings-XXXXXX";
        zem::fuzz::Verifica(::mkdtemp(modello.data()) != nullptr);
        return std::filesystem::path(modello);
    }();
    return cartella;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using zem::fuzz::Verifica;
    zem::FileSettingsStore store(Cartella());
    const auto file = store.FilePath("ZEM Setup");
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    const bool leggibile = !store.Unreadable("ZEM Setup");
    (void)store.GetSetting("ZEM Setup", "Main", "Password", "6150");
    (void)store.GetSetting("ZEM Setup", "Main", "PathProfili", "");
    const bool salvato = store.SaveSetting("ZEM Setup", "Main", "Password", "FUZZ 1");
    // A file read only in part is never saved over, or its tail would be lost.
    if (!leggibile) Verifica(!salvato);
    if (salvato) Verifica(store.GetSetting("ZEM Setup", "Main", "Password", "") == "FUZZ 1");
    return 0;
}
