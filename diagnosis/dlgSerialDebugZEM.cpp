#include "diagnosis/dlgSerialDebugZEM.h"

#include "link/UCZEM2.h"

#include <algorithm>

namespace zem {

namespace {

constexpr int kEstensioniMinime = 7;   // older instruments have no serial status block
constexpr std::size_t kPrimoByte = 5;  // where the message or buffer bytes begin
constexpr int kMassimoByteMostrati = 10;

// Bits of the flag byte b(2).
constexpr std::uint8_t kMessaggioValido = 1, kIndirizzoVisto = 2, kSospesa = 4, kRispostaInviata = 8;

// A number as the instrument's diagnostics have always shown it: a blank before it when it is
// not negative.
std::string ConSpazio(int n)
{
    return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

} // namespace

dlgSerialDebugZEM::dlgSerialDebugZEM(ui::Form& owner, std::string name, ui::Frame& container)
    : UserControl(owner, std::move(name)),
      Label1(owner, Key("Label1"), kRighe, &container),
      Timer1(owner, Key("Timer1"))
{
    for (int i = 0; i < kRighe; ++i) Label1[i].Move(240, 360 + 270 * i, 6000, 255);
    Timer1.SetEnabled(false);
    Timer1.Elapsed.Connect([this] { Timer1_Timer(); });
}

void dlgSerialDebugZEM::SetValue(UCZEM2& link)
{
    link_ = &link;
    Timer1.SetInterval(400);
    Timer1.SetEnabled(true);
}

void dlgSerialDebugZEM::Abilita(bool abilita)
{
    // Without the link there is nothing to refresh from.
    Timer1.SetEnabled(abilita && link_ != nullptr);
}

void dlgSerialDebugZEM::Timer1_Timer()
{
    std::array<std::string, kRighe> righe;
    if (link_->Estensioni() < kEstensioniMinime) {
        righe[0] = "Questo strumento non supporta la diagnosi della comunicazione seriale";
    } else {
        StatoSeriale b{};
        bool ok = false;
        Raise(GetValue, b, ok);
        if (ok) {
            const int flag = b[2];
            const bool indirizzo = (flag & kIndirizzoVisto) != 0;
            const bool risposta = (flag & kRispostaInviata) != 0;
            righe[0] = "Instrument address: " + std::to_string(b[0]);
            righe[1] = "Status: " + ConSpazio(b[1]) + " FERR:" + ((b[1] & 4) != 0 ? "1" : "0")
                       + " OERR:" + ((b[1] & 2) != 0 ? "1" : "0");
            righe[2] = "Flags: " + ConSpazio(flag) + " ->"
                       + (!indirizzo ? " Wait address"
                          : (flag & kMessaggioValido) != 0 ? " Receive valid message" : " Wait end of message");
            // A count already past the end index leaves nothing to come.
            if (indirizzo) righe[3] = "Byte to end: " + ConSpazio(std::max(b[5] - b[4] + 1, 0));
            if (indirizzo && (flag & kMessaggioValido) != 0 && b[4] != 0)
                righe[4] = "Current check sum:" + ConSpazio(b[3]);
            const int quanti = risposta ? b[5] + 1 : b[4];
            righe[5] = risposta ? "BUFFER: " : "MESSAGE: ";
            for (int k = 0; k < std::min(quanti, kMassimoByteMostrati); ++k) righe[5] += ConSpazio(b[kPrimoByte + k]);
            if (quanti > kMassimoByteMostrati) righe[5] += " ...";
            if ((flag & kSospesa) != 0) righe[6] = "COMUNICAZIONE SOSPESA";
            if (risposta) righe[7] = "MESSAGGIO RICEVUTO / RISPOSTA INVIATA";
        }
    }
    for (int i = 0; i < kRighe; ++i) Label1[i].SetCaption(righe[static_cast<std::size_t>(i)]);
}

} // namespace zem
