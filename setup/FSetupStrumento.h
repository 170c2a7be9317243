#pragma once

#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/ControlArray.h"
#include "ui/Form.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

namespace zem {

class ProfiloZem;

// The instrument's main settings: its name, its serial-line address, the messages window, and for
// each of the six measures a name and a type, with the button that opens the measure's setup.
class FSetupStrumento final : public ui::Form {
public:
    explicit FSetupStrumento(ui::Host& host);

    // Edits `profilo` in place; true when closed with OK.
    bool ShowForm(ProfiloZem& profilo);

    ui::Frame Frame1;
    ui::Label lblNome;
    ui::TextBox txtNome;
    ui::Label lblAddressRS;
    ui::TextBox txtAddressRS;
    ui::CheckBox Check1;
    ui::CommandButton cmdSetupMsg;
    ui::Label lblColonnaNome;
    ui::Label lblColonnaTipo;
    ui::ControlArray<ui::Label> lblMisura;
    ui::ControlArray<ui::TextBox> txtNomeMisura;
    ui::ControlArray<ui::ComboBox> lstTipoMisura;
    ui::ControlArray<ui::CommandButton> cmdSetup;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

protected:
    void Form_Load() override;

private:
    void lstTipoMisura_Click();
    void Check1_Click();
    void cmdSetup_Click(int index);
    void cmdSetupMsg_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The type chosen in row `index` (0..5); the stored one while the list shows none.
    int Tipo(int index) const;
    void AggiornaRighe();
    // The saving steps; the transducer checks only with `conTrasduttori`.
    bool Salva(bool conTrasduttori);
    bool Rifiuta(const char* messaggio);

    ProfiloZem* profilo_ = nullptr;
    bool cambiato_ = false;
    // The messages window's inputs and output were chosen in its own dialog during this session.
    bool msgScelti_ = false;
};

} // namespace zem
