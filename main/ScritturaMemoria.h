#pragma once

#include "main/ImmagineMemoria.h"

#include <cstdint>
#include <optional>
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
// header cleared first, the bytes one by one with the progress bar, the header written last; the
// restarts into and out of update mode around it; each failure with its message.
class ScritturaMemoria {
public:
    ScritturaMemoria(ui::Host& host, TransferProgress& progress) : host_(host), progress_(progress) {}

    // `scritture` opens with the four zero bytes of the header and ends with its four bytes. With
    // `rileggi` the bytes are read back before the header, which a difference leaves cleared.
    bool Programma(UCZEM2& link, std::span<const ScritturaImmagine> scritture, int massimo, bool rileggi = false);
    // The update-mode switch, with "Restarting the instrument..." shown while it waits.
    bool Commuta(UCZEM2& link, bool entra);
    // After a programming that went through: out of update mode, and a new connection to prove
    // it; `successo` is shown when the instrument came back out of update mode.
    bool Concludi(CollegamentoStrumento& c, const std::string& successo);
    // An end before anything was written: an instrument this run put into update mode leaves it.
    // False, after its message, when it could not.
    bool Interrompi(CollegamentoStrumento& c);

private:
    bool CancellaIntestazione(UCZEM2& link, std::span<const std::uint8_t> zeri);
    bool ScriviIntestazione(UCZEM2& link, std::span<const std::uint8_t> firma);
    bool ScriviByte(UCZEM2& link, std::uint32_t indirizzo, std::uint8_t valore);
    // Nothing when the memory holds the last value written to each address, else why not.
    std::optional<std::string> Rileggi(UCZEM2& link, std::span<const ScritturaImmagine> scritture);
    void Messaggio(const std::string& testo);

    ui::Host& host_;
    TransferProgress& progress_;
};

} // namespace zem
