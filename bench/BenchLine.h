#pragma once
// What the send benchmarks and the emulated bridge's tests share: a six-measure profile, a host
// that answers as a production line would.
#include "profile/ProfiloZem.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Host.h"
#include "ui/TextBox.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zem::bench {

inline ProfiloZem SeiMisure()
{
    ProfiloZem p;
    p.Vuoto = false;
    p.Nome = "BENCH";
    const int tipi[] = {1, 1, 2, 3, 4, 3};
    for (int m = 1; m <= 6; ++m) {
        const int tipo = tipi[m - 1];
        p.SetTipoMisura(m, static_cast<std::int16_t>(tipo));
        p.SetNomeMisura(m, "MEASURE " + std::to_string(m));
        p.SetDurataCurve(m, 1.0f);
        p.SetOperazioniSelezionabili(m, 2);
        p.SetTrasduttoreX(m, tipo == 1 || tipo == 4 ? 1 : 0);
        p.SetTrasduttoreY(m, tipo == 1 || tipo == 4 ? 3 : 2);
        if (tipo == 2 || tipo == 3) p.SetNomeValore(m, "VALUE");
    }
    return p;
}

// Says Yes to everything but keeping the works, unless told to keep them; types the password.
class LineHost final : public ui::Host {
public:
    LineHost() : Host("ZEM Setup") {}
    ui::FileDialogResult ShowFileDialog(const ui::FileDialogRequest&) override { return {}; }
    void ShowModal(ui::Form& f) override
    {
        f.Get<ui::TextBox>("txtPassword").UserType("6150");
        f.Get<ui::CommandButton>("cmdOK").UserClick();
    }
    void DoEvents() override {}
    void SetBusy(bool) override {}
    bool keep = false;
    std::string last;

protected:
    ui::MsgAnswer ShowMessage(const ui::MessageBoxRequest& r) override
    {
        last = r.text;
        if (r.buttons == ui::MsgButtons::OK) return ui::MsgAnswer::OK;
        return r.text == "Keep the works settings?" && !keep ? ui::MsgAnswer::No : ui::MsgAnswer::Yes;
    }
    std::optional<std::string> ShowInputBox(const ui::InputBoxRequest&) override { return {}; }
};

} // namespace zem::bench
