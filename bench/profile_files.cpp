// Load and save times of the files the technician waits on: the template that "New" opens and a
// very large settings file.
#include "profile/IniFile.h"
#include "profile/ProfiloZem.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::filesystem::path kCartella = std::filesystem::path(ZEM_BINARY_DIR) / "bench-profile";

std::string Prepara(const std::string& nome, const std::string& contenuto)
{
    std::filesystem::create_directories(kCartella);
    const auto file = kCartella / nome;
    std::ofstream(file, std::ios::binary) << contenuto;
    return file.string();
}

void BM_TemplateLoadSave(benchmark::State& state)
{
    const auto modello = std::filesystem::path(__FILE__).parent_path().parent_path() / "profile/templates/Default.ZemP";
    std::ifstream in(modello, std::ios::binary);
    const std::string file = Prepara("Default.ZemP", std::string(std::istreambuf_iterator<char>(in), {}));
    for (auto _ : state) {
        zem::ProfiloZem profilo;
        if (!profilo.ApriFile(file) || !profilo.SalvaFile(file)) state.SkipWithError("template load or save failed");
    }
}
BENCHMARK(BM_TemplateLoadSave)->Unit(benchmark::kMicrosecond);

// 1,000 sections of 99 keys: 100,000 lines. Each round loads it, changes one key in the middle
// and saves it whole.
void BM_SettingsFile100kLines(benchmark::State& state)
{
    std::string contenuto;
    for (int s = 0; s < 1000; ++s) {
        contenuto += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 99; ++k) contenuto += "Key" + std::to_string(k) + "= " + std::to_string(s * k) + "\r\n";
    }
    const std::string file = Prepara("large.ini", contenuto);
    std::int32_t giro = 0;
    for (auto _ : state) {
        zem::IniFile ini;
        ini.SetFile(file);
        ini.SetOpenFile(true);
        ini.SetChiave("Section500");
        ini.SetTarget("Key50");
        ini.SetValue(++giro);
        if (ini.Count() != 100000 || !ini.Salva()) state.SkipWithError("large file load or save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(contenuto.size()));
}
BENCHMARK(BM_SettingsFile100kLines)->Unit(benchmark::kMillisecond);

} // namespace
