#pragma once

#include <string>
#include <vector>

namespace zem {

class ProfiloZem;

// A field of a profile as the technician knows it: named by the caption of the setup dialog that
// edits it ("Measure 2 - Maximum force"), its value written as that dialog shows it.
struct CampoProfilo {
    enum class Tipo {
        Nome, IndirizzoRS485, BaudrateCOMM, TipoSinottico, nInputClock, nInputDato, nInputLoad, nOutputClear,
        NomeMisura, TipoMisura, RequireComputer, ExternalStop, QuotaInizioOnStart, AspettaQuotaZero, AutoOffset,
        TrasduttoreX, TrasduttoreY, PresetPositionTrasd, ForzaMassimaAssoluta, AquireSpeed, NomeValore, CoeffA,
        CoeffB, EncoderResetMode, DurataCurve, ConFasi, OperazioniSelezionabili, SelOpOnStart, nInput, nOutput,
        Messaggi, Messaggio,
        Misura,  // every setting of a measure but its name and type: what a measure not in use keeps
    };

    Tipo tipo;
    int misura = 0;  // 1..6 for the fields of a measure
    int indice = 0;  // the function of nInput and nOutput, the message number of Messaggio

    // The caption; `tipoMisura` chooses between the captions the measure types give one field.
    std::string Nome(int tipoMisura = 0) const;
    std::string Valore(const ProfiloZem& p) const;
    // Whether this field takes `altro` in: a whole measure its settings, the messages each message.
    bool Comprende(const CampoProfilo& altro) const;

    friend bool operator==(const CampoProfilo&, const CampoProfilo&) = default;
};

// Every field of a profile in the order of the dialogs, the general ones first; the messages up
// to the larger count of `a` and `b`, so that a message one profile lacks still shows.
std::vector<CampoProfilo> CampiProfilo(const ProfiloZem& a, const ProfiloZem& b);

// The fields as lines to read: a general field a line, each measure's fields on one line.
std::string ElencoCampi(std::vector<CampoProfilo> campi);

} // namespace zem
