// The main settings (also from the main window), messages-window and operations dialogs on the scripted host.
#include "setup/FSetupMsgWindow.h"
#include "setup/FSetupOperazioni.h"
#include "setup/FSetupStrumento.h"

#include "profile/ProfiloZem.h"
#include "tests/main/MainWindowSession.h"
#include "tests/setup/MeasureDialogSession.h"
#include "ui/ScriptedHost.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace zem {
namespace {

using Testi = std::vector<std::string>;
using test::Click;

ProfiloZem Modello()
{
    ProfiloZem p;
    EXPECT_TRUE(p.ApriFile(std::string(ZEM_SOURCE_DIR) + "/profile/templates/Default.ZemP"));
    p.SetNomeMisura(2, "PICCO");
    p.SetOperazioniSelezionabili(2, 3);  // three phases
    p.SetConFasi(2, true);
    return p;
}

// Shows dialog D on `p`; `act` plays the technician, then OK, then Cancel when OK left it open.
template <class D, class... Misura>
std::pair<bool, Testi> Mostra(ProfiloZem& p, std::function<void(D&)> act, Misura... m)
{
    ui::ScriptedHost host;
    D d(host);
    host.OnForm(d.Name(), [&](ui::Form&) {
        act(d);
        d.cmdOK.UserClick();
        if (d.Loaded()) d.cmdCancel.UserClick();
    });
    const bool ok = d.ShowForm(m..., p);
    return {ok, host.MessageTexts()};
}

TEST(FSetupStrumento, LoadsTheRowsCancelKeepsTheProfileOKStoresBeforeCheckingTransducers)
{
    ProfiloZem p = Modello();
    p.SetTipoMisura(3, 1);
    const ProfiloZem prima = p;
    const auto [ok, messaggi] = Mostra<FSetupStrumento>(p, [](FSetupStrumento& d) {
        EXPECT_EQ(d.txtNome.Text() + "/" + d.txtAddressRS.Text() + "/" + d.txtNomeMisura[1].Text(), "ZEM AUTOMATION/1/PICCO");
        EXPECT_EQ(d.lstTipoMisura[1].List(1) + "/" + d.lstTipoMisura[2].Text(), "Press force-position/Reserved");
        const bool nome[] = {true, false, true, false, false, false}, setup[] = {true, false, false, false, false, false};
        for (int i = 0; i < 6; ++i) EXPECT_TRUE(d.txtNomeMisura[i].Enabled() == nome[i] && d.cmdSetup[i].Enabled() == setup[i]) << i;
        d.txtNome.UserType("ALTRO");
        d.cmdCancel.UserClick();
    });
    EXPECT_TRUE(!ok && p == prima && !p.Modificato);
    EXPECT_TRUE(Mostra<FSetupStrumento>(p, [](FSetupStrumento&) {}).first && !p.Modificato) << "OK without a change";
    ui::ScriptedHost host;
    host.OnForm("FSetupStrumento", [](ui::Form& f) { Click(f, "cmdSetup(0)"), Click(f, "cmdCancel"); });
    host.OnForm("FSetupMisuraPressa", [](ui::Form& f) { Click(f, "cmdCancel"); });
    FSetupStrumento(host).ShowForm(p);
    EXPECT_TRUE(p == prima && !p.Modificato) << "a measure's setup opened and cancelled changes nothing";
    // A measure typed by a mouse choice alone is stored, then refused until its transducers are set.
    p.SetTipoMisura(3, 0);
    const auto [ok2, messaggi2] = Mostra<FSetupStrumento>(p, [](FSetupStrumento& d) { d.lstTipoMisura[1].UserChoose(2); });
    EXPECT_EQ(messaggi2, Testi{"It did not select the transducer for all measurements."});
    EXPECT_TRUE(!ok2 && p.TipoMisura(2) == 2 && p.Modificato);
}

TEST(FSetupStrumento, TheMainWindowsProfileMenuOpensThemOnTheOpenProfileOnly)
{
    test::MainWindowSession s;
    EXPECT_FALSE(s.window->mnuSetupMachine.UserClick()) << "no profile open yet";
    s.Open(s.Example());
    s.host.OnForm("FSetupStrumento", [](ui::Form& f) {
        f.Get<ui::TextBox>("txtNome").UserType("PRESSA 7");
        f.Get<ui::CommandButton>("cmdOK").UserClick();
    });
    EXPECT_TRUE(s.window->mnuSetupMachine.UserClick() && s.window->Profilo().Nome == "PRESSA 7" && s.window->Profilo().Modificato);
}

TEST(FSetupStrumento, ARefusedSaveStoresNothingAndTheAddressIsJudgedAsStored)
{
    struct Caso { const char* indirizzo; std::function<void(FSetupStrumento&)> righe; const char* messaggio; std::int16_t atteso; };
    const auto nessuna = [](FSetupStrumento&) {};
    const Caso casi[] = {
        {"249", nessuna, nullptr, 249}, {"12abc", nessuna, nullptr, 12}, {"", nessuna, nullptr, 0},
        {"250", nessuna, "The address must be less than 250.", 1},
        {"249.5", nessuna, "The address must be less than 250.", 1},
        {"-1", nessuna, "The address must be positive.", 1},
        {"5", [](FSetupStrumento& d) { d.lstTipoMisura[0].UserChoose(2); d.lstTipoMisura[1].UserChoose(1); d.txtNomeMisura[1].UserType("B"); },
         "The \"press\" type most be selected on the first.", 1},
        {"5", [](FSetupStrumento& d) { d.txtNomeMisura[4].UserType("E"); d.lstTipoMisura[4].UserChoose(1); },
         "The \"reseved\" type is not selectable.", 1},
        {"5", [](FSetupStrumento& d) { d.lstTipoMisura[3].UserChoose(3); }, "Insert name for all measure selected.", 1},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.messaggio ? c.messaggio : c.indirizzo);
        ProfiloZem p = Modello();
        const ProfiloZem prima = p;
        const auto [ok, messaggi] = Mostra<FSetupStrumento>(p, [&](FSetupStrumento& d) {
            d.txtNome.UserType(" LINEA 2 ");
            d.txtAddressRS.UserType(c.indirizzo);
            c.righe(d);
        });
        EXPECT_TRUE(ok == (c.messaggio == nullptr) && messaggi == (c.messaggio ? Testi{c.messaggio} : Testi{}));
        EXPECT_EQ(p.IndirizzoRS485, c.atteso);
        EXPECT_TRUE(c.messaggio ? p == prima && !p.Modificato : p.Nome == "LINEA 2" && p.BaudrateCOMM == 9600);
    }
}

TEST(FSetupStrumento, TheMessagesWindowTakesItsDefaultsOnlyWhenNewlyUsed)
{
    for (const auto& [tipo, scelti, dopo] : {std::tuple{0, false, std::array{1, 1, 2, 1}}, {1, false, std::array{1, 4, 5, 6}},
                                             {0, true, std::array{1, 0, 1, 8}}}) {
        ProfiloZem p = Modello();
        p.TipoSinottico = static_cast<std::int16_t>(tipo);
        std::tie(p.nInputClock, p.nInputDato, p.nOutputClear) = std::tuple<std::int16_t, std::int16_t, std::int16_t>{4, 5, 6};
        EXPECT_TRUE((Mostra<FSetupStrumento>(p, [&](FSetupStrumento& d) {
            if (tipo == 0) d.Check1.UserClick();
            d.txtNome.UserType("X");
            if (!scelti) return;
            static_cast<ui::ScriptedHost&>(d.GetHost()).OnForm("FSetupMsgWindow", [](ui::Form& f) {
                auto& m = dynamic_cast<FSetupMsgWindow&>(f);  // "None", "0" and "7"
                m.lstInput[0].UserChoose(0), m.lstInput[1].UserChoose(1), m.lstOutput[0].UserChoose(8), m.cmdOK.UserClick();
            });
            d.cmdSetupMsg.UserClick();
        }).first));
        EXPECT_EQ((std::array<int, 4>{p.TipoSinottico, p.nInputClock, p.nInputDato, p.nOutputClear}), dopo) << tipo << scelti;
    }
}

TEST(FSetupOperazioni, TheCountIsJudgedBeforeAnythingIsStored)
{
    struct Caso { int opzione; const char* testo; const char* messaggio; std::int16_t operazioni; };
    for (const Caso& c : {Caso{2, "", "Please, insert the number of operations selectable.", 3},
                          Caso{2, "1", "Number of operations must be greatest than one.", 3},
                          Caso{2, "40000", "The value is too large.", 3}, Caso{2, "2", nullptr, 2},
                          Caso{1, "5.5abc", nullptr, 6}, Caso{0, "7", nullptr, 0}, Caso{2, "3", nullptr, 3}}) {
        ProfiloZem p = Modello();
        const auto [ok, messaggi] = Mostra<FSetupOperazioni>(p, [&](FSetupOperazioni& d) {
            EXPECT_EQ(d.Caption() + d.txtOperazioni.Text(), "PICCO - Operation setup3");
            d.chkSelOnStart.UserClick();
            d.opAutoSel[c.opzione].UserClick();  // "3" again changes no text: the option alone is a change
            d.txtOperazioni.UserType(c.testo);
        }, 2);
        EXPECT_EQ(messaggi, c.messaggio ? Testi{c.messaggio} : Testi{}) << c.testo;
        EXPECT_EQ(p.OperazioniSelezionabili(2), c.operazioni) << c.testo;
        EXPECT_EQ(p.ConFasi(2), c.messaggio ? true : c.opzione == 1) << c.testo;
        EXPECT_TRUE(ok == (c.messaggio == nullptr) && p.SelOpOnStart(2) == ok && p.Modificato == ok) << c.testo;
    }
}

} // namespace
} // namespace zem
