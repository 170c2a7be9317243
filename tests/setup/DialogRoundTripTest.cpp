// A profile made only through the dialogs, saved, reopened and sent into a blank simulated
// instrument reads back from the instrument with the names, types and transducers chosen.
#include "ui/Form.h"  // before the session helpers, which use it
#include "tests/setup/MeasureDialogSession.h"

#include "main/DatiStrumento.h"
#include "main/ImmagineMemoria.h"
#include "setup/FSetupStrumento.h"
#include "ui/OptionButton.h"
#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

TEST(DialogRoundTrip, WhatTheDialogsStoreIsWhatTheInstrumentReadsBack)
{
    ui::ScriptedHost host;
    host.OnForm("FSetupStrumento", [](ui::Form& f) {
        auto& d = dynamic_cast<FSetupStrumento&>(f);
        d.txtNome.UserType("LINEA 9");
        d.lstTipoMisura[1].UserChoose(2);  // peak to peak
        d.txtNomeMisura[1].UserType("PICCO");
        d.lstTipoMisura[2].UserChoose(4);  // test cylinders
        d.txtNomeMisura[2].UserType("CILINDRO");
        for (int i = 0; i < 3; ++i) d.cmdSetup[i].UserClick();
        d.cmdOK.UserClick();
    });
    // Press: 0-10V #1B and 2mV/V #2A; peak to peak: 0-10V #2B in three jobs; test cylinders: encoder #2E.
    host.OnForm("FSetupMisuraPressa", [](ui::Form& f) { Choose(f, "lstTrasdX", 1); Choose(f, "lstTrasdY", 2); Click(f, "cmdOK"); });
    host.OnForm("FSetupMisuraPkPk", [](ui::Form& f) {
        Choose(f, "lstTrasduttoreMisura", 4);
        Type(f, "txtNomeValore", " CORSA ");
        Click(f, "cmdSetupOperazioni");
        Click(f, "cmdOK");
    });
    host.OnForm("FSetupOperazioni", [](ui::Form& f) {
        f.Get<ui::OptionButton>("opAutoSel(2)").UserClick();
        Type(f, "txtOperazioni", "3");
        Click(f, "cmdOK");
    });
    host.OnForm("FSetupMisuraTestCyl", [](ui::Form& f) { Choose(f, "lstTrasdX", 2); Click(f, "cmdOK"); });
    ProfiloZem p;
    ASSERT_TRUE(p.ApriFile(std::string(ZEM_SOURCE_DIR) + "/profile/templates/Default.ZemP"));
    ASSERT_TRUE(FSetupStrumento(host).ShowForm(p));
    EXPECT_TRUE(host.PendingAnswers() == 0 && host.Messages().empty());

    TempFolder cartella;
    ProfiloZem q;
    ASSERT_TRUE(p.SalvaFile(cartella / "linea9.zemp") && q.ApriFile(cartella / "linea9.zemp"));
    // Into a blank instrument (it waits in update mode), as a send writes it, then read back.
    sim::SimulatedLink s;
    sim::SimulatedMemory memory(s.instrument);
    memory.SetUpdateMode(true);
    ASSERT_TRUE(s.link.ApriComunicazioneETH(s.kHost, s.kPort));
    const auto immagine = ImmagineMemoria::Costruisci(q, LeggiDatiStrumento(s.link, q), false);
    ASSERT_TRUE(immagine);
    for (const ScritturaImmagine& w : immagine->scritture)
        ASSERT_TRUE(s.link.WriteConfigBytes(w.indirizzo, std::span<const std::uint8_t>(&w.valore, 1)));
    EXPECT_EQ(memory.Configurazione()[4], 0x83);  // the image keeps the instrument in update mode
    ASSERT_TRUE(s.link.SetUpdateMode(false));
    s.link.ChiudiComunicazione();
    ASSERT_TRUE(s.link.ApriComunicazioneETH(s.kHost, s.kPort));

    const UCZEM2& l = s.link;
    EXPECT_TRUE(l.Nome() == "LINEA 9" && l.NumeroMisure() == 3);
    // Name, type, X and Y; test cylinders on measure 3 take the load cell of their encoder's channel.
    const std::tuple<std::string, int, int, int> misure[] = {{"Press", 1, 2, 6}, {"PICCO", 2, 0, 5}, {"CILINDRO", 4, 4, 6}};
    for (int m = 1; m <= 3; ++m)
        EXPECT_EQ(std::tuple(l.NomeMisura(m), l.TipoMisura(m), l.Misura(m).NumeroTrasduttoreX, l.Misura(m).NumeroTrasduttoreY), misure[m - 1]);
    // The blank instrument reported no version: the image was laid out for the default sizes, the
    // records after 360 bytes and 6 kept for each of the three measures (none in phases). Input 3 is
    // the template's top dead course.
    EXPECT_TRUE(l.Misura(1).indirizzoRecord == 360u + 3 * 6 && l.FunzioneIngresso(3) == 7);
    EXPECT_TRUE(l.Misura(2).NomeValoreMisura == "CORSA" && l.Misura(2).numeroLavori == 3 && !l.GestioneFasi(2));
}

} // namespace
} // namespace zem::test
