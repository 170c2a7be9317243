#pragma once

#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/Label.h"
#include "ui/RichTextBox.h"
#include "ui/TextBox.h"

#include <cstdint>
#include <string>

namespace zem {

class SettingsStore;

// The serial-number register window: shows the register for editing and, for a program code
// other than 0, proposes the next serial number and the instrument name to program. The
// programming's line and the counter are committed by Registra once the EEPROM took them.
class FListaSN final : public ui::Form {
public:
    // The name proposed for every program code.
    static constexpr const char* kUtenteFabbrica = "Magazzino Verolux";

    FListaSN(ui::Host& host, SettingsStore& settings, std::string programFolder);

    // Shows the window modally for `codice` (0: the register only). True when a programming was
    // requested; `descrizione` and `seriale` then hold the instrument name and serial number.
    bool Load(std::uint16_t codice, std::string& descrizione, std::string& seriale);
    // After the EEPROM was programmed: appends the register line, saves the register and stores
    // the number as the code's last one. False, with a message, when the register cannot be saved.
    bool Registra();
    // Keeps the technician's edits when nothing was programmed; false, with a message, on failure.
    bool SalvaRegistro();

    // "MR", the code and the number as five digits at least; the number is decimal digits only.
    static std::string Seriale(std::uint16_t codice, const std::string& numero);

    ui::Label lblRegistro;
    ui::RichTextBox RichTextBox1;
    ui::Label lblSN;
    ui::TextBox txtSN;
    ui::Label lblName;
    ui::TextBox txtName;
    ui::Label lblUser;
    ui::TextBox txtUser;
    ui::CommandButton cmdProg;
    ui::CommandButton cmdOK;

protected:
    void Form_Load() override;

private:
    void cmdProg_Click();
    void cmdOK_Click();
    void Avviso(const std::string& testo);
    std::string Chiave() const { return "LastSerialNumber" + std::to_string(codice_); }

    SettingsStore& settings_;
    std::string programFolder_;
    std::string percorso_;
    bool leggibile_ = true;  // an unreadable register is never written over
    std::uint16_t codice_ = 0;
    std::string numero_;
    std::string nome_;
    std::string seriale_;
};

} // namespace zem
