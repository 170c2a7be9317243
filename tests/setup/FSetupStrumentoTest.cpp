// The main settings and the messages-window dialogs on the scripted host, from the profile template.
#include "setup/FSetupMsgWindow.h"
#include "setup/FSetupStrumento.h"

#include "profile/ProfiloZem.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace zem {
namespace {

ProfiloZem Modello()
{
    ProfiloZem p;
    EXPECT_TRUE(p.ApriFile(std::string(ZEM_SOURCE_DIR) + "/profile/templates/Default.ZemP"));
    return p;
}

struct Esito {
    bool ok;
    bool apertoDopoOK;  // still open after OK: the save was refused
    std::vector<std::string> messaggi;
};

// Shows the dialog; `act` plays the technician, then OK, then Cancel when OK left it open.
Esito Mostra(ProfiloZem& p, std::function<void(FSetupStrumento&)> act,
             std::function<void(ui::ScriptedHost&)> poi = {})
{
    ui::ScriptedHost host;
    bool aperto = false;
    host.OnForm("FSetupStrumento", [&](ui::Form& f) {
        auto& d = dynamic_cast<FSetupStrumento&>(f);
        act(d);
        d.cmdOK.UserClick();
        aperto = d.Loaded();
        if (aperto) d.cmdCancel.UserClick();
    });
    if (poi) poi(host);
    const bool ok = FSetupStrumento(host).ShowForm(p);
    return {ok, aperto, host.MessageTexts()};
}

TEST(FSetupStrumento, LoadsTheProfileIntoItsRows)
{
    ProfiloZem p = Modello();
    p.SetNomeMisura(3, "  ALTEZZA ");
    p.SetTipoMisura(3, 1);
    Mostra(p, [](FSetupStrumento& d) {
        EXPECT_EQ(d.txtNome.Text(), "ZEM AUTOMATION");
        EXPECT_EQ(d.txtNome.MaxLength(), 20);
        EXPECT_EQ(d.txtAddressRS.Text(), "1");
        EXPECT_FALSE(d.Check1.Checked());
        EXPECT_FALSE(d.cmdSetupMsg.Enabled());
        EXPECT_EQ(d.lstTipoMisura[1].List(1), "Press force-position");
        EXPECT_EQ(d.lstTipoMisura[2].List(1), "Reserved");
        EXPECT_EQ(d.lstTipoMisura[5].List(4), "Test cylinders");
        EXPECT_EQ(d.txtNomeMisura[2].Text(), "ALTEZZA");
        EXPECT_EQ(d.txtNomeMisura[2].MaxLength(), 23);
        const bool nome[] = {true, false, true, false, false, false};
        const bool setup[] = {true, false, false, false, false, false};  // "Reserved" cannot be set up
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(d.txtNomeMisura[i].Enabled(), nome[i]) << i;
            EXPECT_EQ(d.cmdSetup[i].Enabled(), setup[i]) << i;
        }
        d.cmdCancel.UserClick();
    });
}

TEST(FSetupStrumento, TheAddressIsJudgedAsItWillBeStored)
{
    struct Caso {
        const char* digitato;
        const char* messaggio;  // nullptr: stored
        std::int16_t indirizzo;
    };
    for (const Caso& c : {Caso{"249", nullptr, 249}, Caso{"12abc", nullptr, 12}, Caso{"", nullptr, 0},
                          Caso{"-0.5", nullptr, 0}, Caso{"250", "The address must be less than 250.", 1},
                          Caso{"249.5", "The address must be less than 250.", 1},
                          Caso{"99999", "The address must be less than 250.", 1},
                          Caso{"-1", "The address must be positive.", 1}}) {
        SCOPED_TRACE(c.digitato);
        ProfiloZem p = Modello();
        const ProfiloZem prima = p;
        const Esito e = Mostra(p, [&](FSetupStrumento& d) {
            d.txtNome.UserType(" LINEA 2  ");
            d.txtAddressRS.UserType(c.digitato);
        });
        EXPECT_EQ(e.ok, c.messaggio == nullptr);
        EXPECT_EQ(e.messaggi, c.messaggio ? std::vector<std::string>{c.messaggio} : std::vector<std::string>{});
        EXPECT_EQ(p.IndirizzoRS485, c.indirizzo);
        if (c.messaggio) {
            EXPECT_TRUE(p == prima && !p.Modificato) << "a refused save stores nothing";
        } else {
            EXPECT_EQ(p.Nome, "LINEA 2");
            EXPECT_EQ(p.BaudrateCOMM, 9600);
        }
    }
}

TEST(FSetupStrumento, TypesAndNamesAreCheckedBeforeTheProfileIsTouched)
{
    struct Caso {
        const char* nome;
        std::function<void(FSetupStrumento&)> act;
        const char* messaggio;
    };
    const Caso casi[] = {
        {"press second, not first",
         [](FSetupStrumento& d) {
             d.lstTipoMisura[0].UserChoose(2);
             d.lstTipoMisura[1].UserChoose(1);
             d.txtNomeMisura[1].UserType("B");
         },
         "The \"press\" type most be selected on the first."},
        {"reserved", [](FSetupStrumento& d) { d.txtNomeMisura[4].UserType("E"); d.lstTipoMisura[4].UserChoose(1); },
         "The \"reseved\" type is not selectable."},
        {"unnamed", [](FSetupStrumento& d) { d.lstTipoMisura[3].UserChoose(3); },
         "Insert name for all measure selected."},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        ProfiloZem p = Modello();
        const ProfiloZem prima = p;
        const Esito e = Mostra(p, c.act);
        EXPECT_TRUE(e.apertoDopoOK);
        EXPECT_EQ(e.messaggi, std::vector<std::string>{c.messaggio});
        EXPECT_TRUE(p == prima && !p.Modificato);
    }
}

TEST(FSetupStrumento, AMeasureWithoutTransducersIsStoredButRefusedUntilItsSetupIsDone)
{
    ProfiloZem p = Modello();
    const Esito e = Mostra(p, [](FSetupStrumento& d) {
        d.lstTipoMisura[1].UserChoose(2);  // a mouse choice alone marks the dialog changed
        d.txtNomeMisura[1].UserType(" PICCO");
    });
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.messaggi, std::vector<std::string>{"It did not select the transducer for all measurements."});
    EXPECT_EQ(p.TipoMisura(2), 2);
    EXPECT_EQ(p.NomeMisura(2), "PICCO");
    EXPECT_TRUE(p.Modificato);
}

TEST(FSetupStrumento, OKWithoutChangesAndCancelAfterChangesStoreNothing)
{
    ProfiloZem p = Modello();
    const ProfiloZem prima = p;
    EXPECT_TRUE(Mostra(p, [](FSetupStrumento&) {}).ok);
    ui::ScriptedHost host;
    host.OnForm("FSetupStrumento", [](ui::Form& f) {
        auto& d = dynamic_cast<FSetupStrumento&>(f);
        d.txtNome.UserType("ALTRO");
        d.Check1.UserClick();
        d.lstTipoMisura[0].UserChoose(0);
        d.cmdCancel.UserClick();
    });
    EXPECT_FALSE(FSetupStrumento(host).ShowForm(p));
    EXPECT_TRUE(p == prima && !p.Modificato);
}

TEST(FSetupStrumento, TheMessagesWindowTakesItsDefaultsOnlyWhenItIsNewlyUsed)
{
    struct Caso {
        const char* nome;
        std::int16_t tipo;                  // TipoSinottico before
        bool sceltaNelDialogo;              // inputs picked in FSetupMsgWindow first
        std::array<std::int16_t, 3> dopo;   // clock, data, clear
    };
    for (const Caso& c : {Caso{"newly used", 0, false, {1, 2, 1}}, Caso{"already used", 1, false, {4, 5, 6}},
                          Caso{"picked in its dialog", 0, true, {0, 1, 8}}}) {
        SCOPED_TRACE(c.nome);
        ProfiloZem p = Modello();
        p.TipoSinottico = c.tipo;
        p.nInputClock = 4;
        p.nInputDato = 5;
        p.nOutputClear = 6;
        const Esito e = Mostra(
            p,
            [&](FSetupStrumento& d) {
                if (c.tipo == 0) d.Check1.UserClick();
                d.txtNome.UserType("X");
                if (c.sceltaNelDialogo) d.cmdSetupMsg.UserClick();
            },
            [&](ui::ScriptedHost& host) {
                if (!c.sceltaNelDialogo) return;
                host.OnForm("FSetupMsgWindow", [](ui::Form& f) {
                    auto& m = dynamic_cast<FSetupMsgWindow&>(f);
                    EXPECT_EQ(m.lstInput[0].ListIndex(), 4);
                    m.lstInput[0].UserChoose(0);  // "None"
                    m.lstInput[1].UserChoose(1);  // "0"
                    m.lstOutput[0].UserChoose(8); // "7"
                    m.cmdOK.UserClick();
                });
            });
        EXPECT_TRUE(e.ok);
        EXPECT_EQ(p.TipoSinottico, 1);
        EXPECT_EQ((std::array<std::int16_t, 3>{p.nInputClock, p.nInputDato, p.nOutputClear}), c.dopo);
    }
}

} // namespace
} // namespace zem
