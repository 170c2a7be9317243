// Whatever an instrument's memory holds, the decoder refuses it with a reason or gives a profile:
// a valid memory with bytes changed at random, decoded under the sanitizers in CI.
#include "tests/image/Profili.h"

#include "main/DecodificaProfilo.h"
#include "sim/SimulatedLink.h"

#include <gtest/gtest.h>

#include <random>

namespace zem::test {
namespace {

TEST(DecodificaCasuale, AnyMemoryIsRefusedWithAReasonOrDecoded)
{
    sim::SimulatedLink s;
    ASSERT_TRUE(s.OpenEth());
    const auto immagine = ImmagineMemoria::Costruisci(ProfiloMisto(), LeggiDatiStrumento(s.link, ProfiloMisto()), false);
    ASSERT_TRUE(immagine);
    std::vector<std::uint8_t> valida(0x10000);
    for (const ScritturaImmagine& w : immagine->scritture) valida[w.indirizzo] = w.valore;
    const std::uint32_t base = immagine->indirizzi.baseMisure;
    std::mt19937 caso(7);
    int decodificate = 0;
    for (int giro = 0; giro < 300; ++giro) {
        auto m = valida;
        // Few changes keep most of the layout, so the decoding goes deep; many make garbage.
        for (int k = std::uniform_int_distribution<int>(1, giro % 2 ? 4 : 400)(caso); k > 0; --k)
            m[std::uniform_int_distribution<std::uint32_t>(0, base + 400)(caso)] = static_cast<std::uint8_t>(caso());
        const auto esito = DecodificaProfilo::Decodifica(std::span(m).first(DecodificaProfilo::kFineGenerale), base,
                                                         std::span(m).subspan(base, 400), s.link, ProfiloZem{});
        EXPECT_NE(esito.profilo.has_value(), !esito.errore.empty()) << giro;
        decodificate += esito.profilo.has_value();
    }
    EXPECT_GT(decodificate, 30);
}

} // namespace
} // namespace zem::test
