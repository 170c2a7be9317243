// The operations of a measure set through FSetupOperazioni on the scripted host.
#include "setup/FSetupOperazioni.h"

#include "profile/ProfiloZem.h"
#include "ui/CommandButton.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <functional>

namespace zem {
namespace {

ProfiloZem Misura2(std::int16_t operazioni, bool fasi)
{
    ProfiloZem p;
    p.SetNomeMisura(2, "PICCO");
    p.SetTipoMisura(2, 2);
    p.SetOperazioniSelezionabili(2, operazioni);
    p.SetConFasi(2, fasi);
    return p;
}

// Shows the dialog on measure 2; `act` plays the technician, then OK (and Cancel if still open).
bool Mostra(ui::ScriptedHost& host, ProfiloZem& p, std::function<void(FSetupOperazioni&)> act)
{
    host.OnForm("FSetupOperazioni", [act](ui::Form& f) {
        auto& d = dynamic_cast<FSetupOperazioni&>(f);
        act(d);
        d.cmdOK.UserClick();
        if (d.Loaded()) d.cmdCancel.UserClick();
    });
    return FSetupOperazioni(host).ShowForm(2, p);
}

TEST(FSetupOperazioni, LoadsTheOptionTheCountAndTheCaptionOfTheMeasure)
{
    for (const auto& [operazioni, fasi, opzione, testo, etichetta] :
         {std::tuple{0, true, 0, "", "Number of &selectionable operations:"},
          {3, true, 1, "3", "Number of &selectionable phases:"},
          {4, false, 2, "4", "Number of &selectionable works:"}}) {
        ui::ScriptedHost host;
        ProfiloZem p = Misura2(static_cast<std::int16_t>(operazioni), fasi);
        Mostra(host, p, [&](FSetupOperazioni& d) {
            EXPECT_EQ(d.Caption(), "PICCO - Operation setup");
            EXPECT_TRUE(d.opAutoSel[opzione].Value());
            EXPECT_EQ(d.txtOperazioni.Text(), testo);
            EXPECT_EQ(d.lblOperazioni.Caption(), etichetta);
            EXPECT_EQ(d.txtOperazioni.Enabled(), opzione != 0);
            EXPECT_EQ(d.chkSelOnStart.Enabled(), opzione != 0);
        });
        EXPECT_EQ(p.OperazioniSelezionabili(2), operazioni) << "OK without a change stores nothing";
        EXPECT_FALSE(p.Modificato);
    }
}

TEST(FSetupOperazioni, TheCountIsJudgedBeforeAnythingIsStored)
{
    struct Caso {
        int opzione;
        const char* testo;
        const char* messaggio;  // nullptr: accepted
        std::int16_t operazioni;
        bool fasi;
    };
    for (const Caso& c : {Caso{2, "", "Please, insert the number of operations selectable.", 3, true},
                          Caso{2, "1", "Number of operations must be greatest than one.", 3, true},
                          Caso{1, "-4", "Please, insert the number of operations selectable.", 3, true},
                          Caso{2, "40000", "The value is too large.", 3, true},
                          Caso{2, "2", nullptr, 2, false},
                          Caso{1, "5.5abc", nullptr, 6, true},
                          Caso{0, "7", nullptr, 0, false}}) {
        SCOPED_TRACE(c.testo);
        ui::ScriptedHost host;
        ProfiloZem p = Misura2(3, true);
        const bool ok = Mostra(host, p, [&](FSetupOperazioni& d) {
            d.chkSelOnStart.UserClick();
            d.opAutoSel[c.opzione].UserClick();
            d.txtOperazioni.UserType(c.testo);
        });
        EXPECT_EQ(ok, c.messaggio == nullptr);
        EXPECT_EQ(host.MessageTexts(), c.messaggio ? std::vector<std::string>{c.messaggio} : std::vector<std::string>{});
        EXPECT_EQ(p.OperazioniSelezionabili(2), c.operazioni);
        EXPECT_EQ(p.ConFasi(2), c.fasi);
        EXPECT_EQ(p.SelOpOnStart(2), ok);
        EXPECT_EQ(p.Modificato, ok);
    }
}

TEST(FSetupOperazioni, ChoosingAnOptionAloneIsAChange)
{
    ui::ScriptedHost host;
    ProfiloZem p = Misura2(3, true);
    EXPECT_TRUE(Mostra(host, p, [](FSetupOperazioni& d) { d.opAutoSel[2].UserClick(); }));
    EXPECT_FALSE(p.ConFasi(2));
    EXPECT_TRUE(p.Modificato);
}

} // namespace
} // namespace zem
