#include "profile/ProfiloZem.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace zem {
namespace {

using test::TempFolder;

// The template "New" starts from: one press force-position measure on channel 1, ready to send.
ProfiloZem Modello()
{
    ProfiloZem p;
    p.Nome = "ZEM AUTOMATION";
    p.IndirizzoRS485 = 1;
    p.BaudrateCOMM = 9600;
    p.SetNomeMisura(1, "Press");
    p.SetTipoMisura(1, 1);
    p.SetDurataCurve(1, 2);
    p.SetAquireSpeed(1, 1000);
    p.SetTrasduttoreX(1, 1);
    p.SetTrasduttoreY(1, 3);
    p.SetnInput(1, 1, 1);   // start measure: input 0
    p.SetnInput(1, 7, 4);   // top dead course: input 3
    p.SetnOutput(1, 1, 1);  // go: output 0
    p.SetnOutput(1, 3, 2);  // good: output 1
    p.SetnOutput(1, 4, 3);  // rejected: output 2
    return p;
}

// A line with a press, a cylinder test and a simplex measure with phases.
ProfiloZem Esempio()
{
    ProfiloZem p = Modello();
    p.Nome = "Press line 3";
    p.IndirizzoRS485 = 12;
    p.SetNomeMisura(1, "Riveting press");
    p.SetDurataCurve(1, 1.5f);
    p.SetOperazioniSelezionabili(1, 4);
    p.SetSelOpOnStart(1, true);
    p.SetForzaMassimaAssoluta(1, 25000);
    p.SetnInput(1, 3, 2);  // operation select A and B: inputs 1 and 2
    p.SetnInput(1, 4, 3);
    p.SetNumeroMessaggi(1, 2);
    p.SetMessaggio(1, 1, "Load the part");
    p.SetMessaggio(1, 2, "Close the guard");

    p.SetNomeMisura(2, "Cylinder test");
    p.SetTipoMisura(2, 4);
    p.SetDurataCurve(2, 3);
    p.SetAquireSpeed(2, 1000);
    p.SetTrasduttoreX(2, 4);
    p.SetTrasduttoreY(2, 6);
    p.SetPresetPositionTrasd(2, -1200);
    p.SetnInput(2, 1, 7);
    p.SetnInput(2, 11, 8);
    p.SetnOutput(2, 10, 7);

    p.SetNomeMisura(3, "Clamp force");
    p.SetTipoMisura(3, 3);
    p.SetDurataCurve(3, 0.25f);
    p.SetConFasi(3, true);
    p.SetOperazioniSelezionabili(3, 3);
    p.SetTrasduttoreY(3, 2);
    p.SetNomeValore(3, "Force");
    p.SetnInput(3, 1, 1);   // shares the press's start input
    p.SetnInput(3, 12, 5);
    return p;
}

struct FileProfilo {
    const char* percorso;  // from the top of the source tree
    ProfiloZem (*profilo)();
};

const FileProfilo kFile[] = {
    {"profile/templates/Default.ZemP", Modello},
    {"profile/examples/PressLine3.zemp", Esempio},
};

// The committed files are written by this code and so pin the whole file layout;
// ZEM_WRITE_PROFILE_FILES=1 writes them anew.
TEST(ProfileFiles, CommittedFilesAreWhatTheProfileWriterProducesAndOpenReadyToSend)
{
    TempFolder dir;
    const bool riscrivi = std::getenv("ZEM_WRITE_PROFILE_FILES") != nullptr;
    for (const auto& f : kFile) {
        const std::string prodotto = dir / "p.zemp";
        std::remove(prodotto.c_str());
        ASSERT_TRUE(f.profilo().SalvaFile(prodotto));
        const std::string committato = std::string(ZEM_SOURCE_DIR) + "/" + f.percorso;
        if (riscrivi) std::ofstream(committato, std::ios::binary) << TempFolder::Read(prodotto);
        EXPECT_EQ(TempFolder::Read(committato), TempFolder::Read(prodotto)) << f.percorso;

        ProfiloZem p;
        ASSERT_TRUE(p.ApriFile(committato)) << f.percorso;
        EXPECT_TRUE(p == f.profilo());
        for (int n = 0; n < 8; ++n) {
            EXPECT_NE(p.TipoIngresso(n), -1) << f.percorso << " input " << n;
            EXPECT_NE(p.TipoUscita(n), -1) << f.percorso << " output " << n;
        }
    }
}

} // namespace
} // namespace zem
