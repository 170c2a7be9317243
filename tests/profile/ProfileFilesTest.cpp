#include "profile/ProfiloZem.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace zem {
namespace {

using test::TempFolder;

// The committed template and example pin the whole file layout: each must open ready to send and
// come out of the writer byte for byte; ZEM_WRITE_PROFILE_FILES=1 writes them anew.
TEST(ProfileFiles, CommittedFilesOpenReadyToSendAndTheWriterGivesThemBackByteForByte)
{
    TempFolder dir;
    const bool riscrivi = std::getenv("ZEM_WRITE_PROFILE_FILES") != nullptr;
    for (const char* percorso : {"profile/templates/Default.ZemP", "profile/examples/PressLine3.zemp"}) {
        SCOPED_TRACE(percorso);
        const std::string committato = std::string(ZEM_SOURCE_DIR) + "/" + percorso;
        ProfiloZem p;
        ASSERT_TRUE(p.ApriFile(committato));
        for (int n = 0; n < 8; ++n) EXPECT_TRUE(p.TipoIngresso(n) != -1 && p.TipoUscita(n) != -1) << "no conflict on " << n;
        const std::string prodotto = dir / "p.zemp";
        std::remove(prodotto.c_str());
        ASSERT_TRUE(p.SalvaFile(prodotto));
        if (riscrivi) std::ofstream(committato, std::ios::binary) << TempFolder::Read(prodotto);
        EXPECT_EQ(TempFolder::Read(committato), TempFolder::Read(prodotto));
    }
}

} // namespace
} // namespace zem
