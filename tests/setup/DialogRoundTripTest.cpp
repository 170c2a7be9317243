// A profile made only through the dialogs, saved, reopened and sent into the simulated instrument
// reads back from the instrument with the names, types, transducers and I/O chosen.
#include "ui/Form.h"  // before the session helpers, which use it
#include "tests/setup/MeasureDialogSession.h"

#include "main/DatiStrumento.h"
#include "main/ImmagineMemoria.h"
#include "setup/FSetupOperazioni.h"
#include "setup/FSetupStrumento.h"
#include "sim/ConfigurationImages.h"
#include "sim/SimulatedLink.h"
#include "sim/SimulatedMemory.h"
#include "tests/profile/TempFolder.h"

#include <gtest/gtest.h>

namespace zem::test {
namespace {

// The technician's session on the template: the press on measure 1 gets its transducers and two
// inputs, measure 2 becomes a peak to peak measure with three works, measure 3 test cylinders.
void ImpostaDaiDialoghi(ui::ScriptedHost& host)
{
    host.OnForm("FSetupStrumento", [](ui::Form& f) {
        auto& d = dynamic_cast<FSetupStrumento&>(f);
        d.txtNome.UserType("LINEA 9");
        d.txtAddressRS.UserType("5");
        d.lstTipoMisura[1].UserChoose(2);
        d.txtNomeMisura[1].UserType("PICCO");
        d.lstTipoMisura[2].UserChoose(4);
        d.txtNomeMisura[2].UserType("CILINDRO");
        for (int i = 0; i < 3; ++i) d.cmdSetup[i].UserClick();
        d.cmdOK.UserClick();
    });
    host.OnForm("FSetupMisuraPressa", [](ui::Form& f) {
        Choose(f, "lstTrasdX", 1);  // 0-10V #1B
        Choose(f, "lstTrasdY", 2);  // 2mV/V #2A
        Click(f, "cmdSetupInOut");
        Click(f, "cmdOK");
    });
    host.OnForm("FSetupInOutPressa", [](ui::Form& f) {
        Choose(f, "lstInput(0)", 1);  // start on input 0
        Choose(f, "lstInput(1)", 4);  // top dead course on input 3
        Choose(f, "lstOutput(3)", 5); // rejected on output 4
        Click(f, "cmdOK");
    });
    host.OnForm("FSetupMisuraPkPk", [](ui::Form& f) {
        Choose(f, "lstTrasduttoreMisura", 4);  // 0-10V #2B
        Type(f, "txtNomeValore", " CORSA ");
        Click(f, "cmdSetupOperazioni");
        Click(f, "cmdSetupInOut");
        Click(f, "cmdOK");
    });
    host.OnForm("FSetupOperazioni", [](ui::Form& f) {
        auto& d = dynamic_cast<FSetupOperazioni&>(f);
        d.opAutoSel[2].UserClick();
        d.txtOperazioni.UserType("3");
        d.cmdOK.UserClick();
    });
    host.OnForm("FSetupInOutBase", [](ui::Form& f) {
        Choose(f, "lstInput(0)", 1);  // the same start input: one function, no conflict
        Choose(f, "lstOutput(2)", 6); // good on output 5
        Click(f, "cmdOK");
    });
    host.OnForm("FSetupMisuraTestCyl", [](ui::Form& f) {
        Choose(f, "lstTrasdX", 2);  // encoder #2E
        Click(f, "cmdOK");
    });
}

TEST(DialogRoundTrip, WhatTheDialogsStoreIsWhatTheInstrumentReadsBack)
{
    ui::ScriptedHost host;
    ProfiloZem p;
    ASSERT_TRUE(p.ApriFile(std::string(ZEM_SOURCE_DIR) + "/profile/templates/Default.ZemP"));
    ImpostaDaiDialoghi(host);
    ASSERT_TRUE(FSetupStrumento(host).ShowForm(p));
    EXPECT_EQ(host.PendingAnswers(), 0u);
    EXPECT_TRUE(host.Messages().empty());

    TempFolder cartella;
    ASSERT_TRUE(p.SalvaFile(cartella / "linea9.zemp"));
    ProfiloZem riaperto;
    ASSERT_TRUE(riaperto.ApriFile(cartella / "linea9.zemp"));
    EXPECT_TRUE(riaperto == p);

    // Into an instrument in service, as a send writes it, then read by a new connection.
    sim::SimulatedLink s;
    sim::SimulatedMemory memory(s.instrument);
    sim::ImageSpec prima;
    prima.measures = {sim::MeasureSpec{}};
    memory.CaricaConfigurazione(sim::BuildConfigurationImage(prima));
    ASSERT_TRUE(s.link.ApriComunicazioneETH(s.kHost, s.kPort));
    ASSERT_TRUE(s.link.SetUpdateMode(true));
    const auto immagine = ImmagineMemoria::Costruisci(riaperto, LeggiDatiStrumento(s.link, riaperto), false);
    ASSERT_TRUE(immagine);
    for (const ScritturaImmagine& w : immagine->scritture)
        ASSERT_TRUE(s.link.WriteConfigBytes(w.indirizzo, std::span<const std::uint8_t>(&w.valore, 1)));
    ASSERT_TRUE(s.link.SetUpdateMode(false));
    s.link.ChiudiComunicazione();
    ASSERT_TRUE(s.link.ApriComunicazioneETH(s.kHost, s.kPort));

    const UCZEM2& l = s.link;
    EXPECT_EQ(l.Nome(), "LINEA 9");
    EXPECT_EQ(l.NumeroMisure(), 3);
    const char* nomi[] = {"Press", "PICCO", "CILINDRO"};
    const int tipi[] = {1, 2, 4};
    const int x[] = {2, 0, 4};
    const int y[] = {6, 5, 6};  // test cylinders on measure 3: the load cell of its encoder's channel
    for (int m = 1; m <= 3; ++m) {
        SCOPED_TRACE(m);
        EXPECT_EQ(l.NomeMisura(m), nomi[m - 1]);
        EXPECT_EQ(l.TipoMisura(m), tipi[m - 1]);
        if (x[m - 1] != 0) {
            EXPECT_EQ(l.Misura(m).NumeroTrasduttoreX, x[m - 1]);
        }
        EXPECT_EQ(l.Misura(m).NumeroTrasduttoreY, y[m - 1]);
    }
    EXPECT_EQ(l.Misura(2).NomeValoreMisura, "CORSA");
    EXPECT_EQ(l.Misura(2).numeroLavori, 3);
    EXPECT_FALSE(l.GestioneFasi(2));
    const int ingressi[] = {1, 0, 0, 7, 0, 0, 0, 0};
    const int uscite[] = {1, 3, 0, 0, 4, 3, 0, 0};  // go and good kept from the template
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(l.FunzioneIngresso(n), ingressi[n]) << n;
        EXPECT_EQ(l.FunzioneUscita(n), uscite[n]) << n;
    }
}

} // namespace
} // namespace zem::test
