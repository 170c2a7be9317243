#pragma once

#include "main/ImmagineMemoria.h"

#include <cstdint>
#include <span>
#include <string>

namespace zem {

namespace ui {
class Host;
}
class CollegamentoStrumento;
class TransferProgress;
class UCZEM2;

// Writing an image into an instrument's configuration memory, as a send and a restore do: the
// programming itself (header cleared, body in blocks, read back, header last), the restarts into
// and out of update mode around it; each failure with its message.
class ScritturaMemoria {
public:
    ScritturaMemoria(ui::Host& host, TransferProgress& progress) : host_(host), progress_(progress) {}

    // `scritture` opens with the four zero bytes of the header and ends with its four bytes.
    bool Programma(UCZEM2& link, std::span<const ScritturaImmagine> scritture, int massimo);
    // The update-mode switch, with "Restarting the instrument..." shown while it waits.
    bool Commuta(UCZEM2& link, bool entra);
    // After a programming that went through: out of update mode, and a new connection to prove
    // it; `successo` is shown when the instrument came back out of update mode, without a memory
    // error and with its measures.
    bool Concludi(CollegamentoStrumento& c, const std::string& successo);
    // An end before anything was written: an instrument this run put into update mode leaves it.
    // False, after its message, when it could not.
    bool Interrompi(CollegamentoStrumento& c);

private:
    void Messaggio(const std::string& testo);

    ui::Host& host_;
    TransferProgress& progress_;
};

} // namespace zem
