#include "setup/FSetupInOutTestCyl.h"

namespace zem {

namespace {

constexpr InOutForm::Riga kIngressi[] = {
    {"&Start input:", 1},
    {"Direc&tion input", 11},
    {"Select &A input:", 3},
    {"Select &B input:", 4},
    {"Select &C input:", 5},
    {"Select &D input:", 6},
    {"&Idle input:", 8},
    {"E&nable input:", 2},
    {"&Reset input:", 9},
    {"Bas&ket input:", 10},
    {"Increment serial n&umber input:", 13},
};

constexpr InOutForm::Riga kUscite[] = {
    {"&Go output:", 1},
    {"&Protection output:", 2},
    {"G&ood output:", 3},
    {"Re&jected output:", 4},
    {"Brak&e output:", 5},
    {"&Main valve", 10},
};

} // namespace

FSetupInOutTestCyl::FSetupInOutTestCyl(ui::Host& host)
    : InOutForm(host, "FSetupInOutTestCyl", kIngressi, kUscite)
{
}

std::span<const InOutForm::Riga> FSetupInOutTestCyl::Ingressi() { return kIngressi; }
std::span<const InOutForm::Riga> FSetupInOutTestCyl::Uscite() { return kUscite; }

} // namespace zem
