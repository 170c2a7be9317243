// The message that refuses an instrument this tool does not know reads the same on any desktop.
#include "tests/send/SendSite.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace zem::test {
namespace {

const auto kMadeLocales = std::filesystem::temp_directory_path() / ("zem-locale-" + std::to_string(::getpid()));

// A German locale, made in kMadeLocales when the machine has none installed; false when neither works.
bool UseGermanLocale()
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return true;
    const auto& folder = kMadeLocales;
    std::filesystem::create_directories(folder);
    const std::string make = "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return false;
    ::setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

std::vector<std::string> RefusedRelease13()
{
    SendSite s;
    s.InService();
    s.bench.memory.Opzioni().estensioni = 13;
    s.bench.memory.Opzioni().versioneCPU = 310;
    s.Send(ProfiloMisto(), "USB: MR4B0001", {});
    return s.host.MessageTexts();
}

TEST(SupportMessage, GivesTheFirmwareVersionWithTwoDecimalsUnderAGermanLocaleAsUnderC)
{
    const auto underC = RefusedRelease13();
    ASSERT_FALSE(underC.empty());
    EXPECT_EQ(underC.back(), "The instrument is not supported\r\nVersion: 3.10");
    if (!UseGermanLocale()) GTEST_SKIP() << "no German locale can be made on this machine";
    char decimal[16];
    std::snprintf(decimal, sizeof decimal, "%.2f", 3.1);
    const auto underGerman = RefusedRelease13();
    std::setlocale(LC_ALL, "C");
    std::filesystem::remove_all(kMadeLocales);
    EXPECT_STREQ(decimal, "3,10");  // the locale really writes a comma
    EXPECT_EQ(underGerman, underC);
}

} // namespace
} // namespace zem::test
