#pragma once

#include "setup/ListaTrasduttori.h"
#include "setup/MeasureDialog.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zem {

// The setup shared by the peak to peak and the simplex measure: slave mode, the one transducer
// measured (kept as the measure's Y transducer), the name of the measured value and the speed.
class ValueMeasureDialog : public MeasureDialog {
public:
    ui::CheckBox chkSlave;
    ui::Label lblTrasduttoreMisura;
    ui::ComboBox lstTrasduttoreMisura;
    ui::Label lblNomeValore;
    ui::TextBox txtNomeValore;
    ui::Label lblSpeedAcq;
    ui::TextBox txtSpeedAcq;
    ui::CommandButton cmdSetupInOut;
    ui::CommandButton cmdSetupOperazioni;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

    // The six transducers in code order, as each dialog names them.
    using Trasduttori = std::array<VoceTrasduttore, 6>;

protected:
    ValueMeasureDialog(ui::Host& host, std::string name, std::string caption, std::string suffisso,
                       const Trasduttori& trasduttori);

    // The acquisition speed to store; nullopt (the technician told) when it does not fit.
    virtual std::optional<std::int16_t> Velocita() = 0;

private:
    void Carica() override;
    bool Salva() override;
    void cmdSetupInOut_Click();

    const Trasduttori& trasduttori_;
};

} // namespace zem
