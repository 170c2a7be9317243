#pragma once

#include "access/PasswordGate.h"
#include "session/CollegamentoStrumento.h"
#include "main/InvioProfilo.h"
#include "main/TransferProgress.h"
#include "profile/SettingsStore.h"
#include "sim/BenchInstrument.h"
#include "sim/ConfigurationImages.h"
#include "tests/image/Profili.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/ScriptedHost.h"
#include "ui/TextBox.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zem::test {

// ProfiloMisto read back: the name, then each measure's type and name, cut to 15 characters.
inline const std::vector<std::string> kMisto{"LINEA 4 PRESSE", "1 CALETTAMENTO CU", "2 PICCO", "3 ALTEZZA", "4 CILINDRO"};

// One instrument on the simulated bench, the scripted host, the password, the send's progress.
struct SendSite final : TransferProgress {
    explicit SendSite(bool mailbox = false) : bench(platform, mailbox) {}

    // An instrument in service, holding another profile in header format `format`.
    void InService(char format = '5')
    {
        sim::ImageSpec old;
        old.format = format, old.name = "OLD", old.option61 = 5, old.calibration[2].gain = 12345, old.measures.resize(1);
        bench.memory.CaricaConfigurazione(sim::BuildConfigurationImage(old));
    }

    // `answers` in turn; the password is typed after a first Yes while it has not been given.
    SendOutcome Send(const ProfiloZem& p, const std::string& key, const std::vector<ui::MsgAnswer>& answers)
    {
        for (std::size_t i = 0; i < answers.size(); ++i) {
            host.Answer(answers[i]);
            if (i == 0 && answers[0] == ui::MsgAnswer::Yes && !gate.Accepted()) TypePassword();
        }
        LinkPlatform links = platform.Platform();
        links.singoloByte = compat;
        return InvioProfilo(host, links, gate, *this).Invia(p, key);
    }

    void TypePassword()
    {
        host.OnForm("FPassword", [this](ui::Form& f) {
            f.Get<ui::TextBox>("txtPassword").UserType(password);
            f.Get<ui::CommandButton>("cmdOK").UserClick();
        });
    }

    // Nothing when the instrument cannot be opened or stays in update mode.
    std::vector<std::string> ReadBack(const std::string& key)
    {
        CollegamentoStrumento c(platform.Platform());
        if (!c.Apri(key, CollegamentoStrumento::Uso::Lettura) || c.Link().UpdateMode()) return {};
        std::vector<std::string> found{c.Link().Nome()};
        for (int m = 1; m <= 6; ++m)
            if (c.Link().TipoMisura(m) != 0) found.push_back(std::to_string(c.Link().TipoMisura(m)) + " " + c.Link().NomeMisura(m));
        return found;
    }

    std::string Header() { return {bench.memory.Configurazione().begin(), bench.memory.Configurazione().begin() + 4}; }

    void ShowProgress(const std::string&, int max) override { maximum = max, value = 0; }
    void Advance() override { ++value; }
    void SetBusy(bool) override {}  // the main window's own test looks at the busy indication
    void HideProgress() override {}
    bool Closing() const override { return stop; }
    void ShowStatus(const std::string& text) override
    {
        statuses.push_back(text);
        // The restart out of update mode, once the header is written.
        stop = stop || (stopWhenWritten && text == "Restarting the instrument..." && std::ranges::count(statuses, "Writing header"));
    }

    sim::SimulatedPlatform platform;
    sim::BenchInstrument bench;
    ui::ScriptedHost host;
    MemorySettingsStore settings;
    PasswordGate gate{host, settings};
    std::string password = "6150";
    bool compat = false;  // the loader's single-byte path, as `zemcli --compat`
    int maximum = 0, value = 0;
    bool stop = false, stopWhenWritten = false;  // a stop asked for (a signal), now or once the image is written
    std::vector<std::string> statuses;
};

} // namespace zem::test
