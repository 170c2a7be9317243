#include "setup/FSetupInOutPressa.h"

namespace zem {

namespace {

constexpr InOutForm::Riga kIngressi[] = {
    {"&Start input:", 1},
    {"&T.D.C. input:", 7},
    {"Select &A input:", 3},
    {"Select &B input:", 4},
    {"Select &C input:", 5},
    {"Select &D input:", 6},
    {"&Idle input:", 8},
    {"E&nable input:", 2},
    {"&Reset input:", 9},
    {"Re&mote control input:", 16},
    {"&Preset position input:", 15},
    {"Au&x input 1:", 14},
};

constexpr InOutForm::Riga kUscite[] = {
    {"&Go output:", 1},
    {"R&etracted output:", 11},
    {"G&ood output:", 3},
    {"Re&jected output:", 4},
    {"Bra&ke output:", 5},
    {"Check Point &1:", 6},
    {"Check Point &2:", 7},
    {"Check Point &3:", 8},
    {"Check Point &4:", 9},
    {"Protection o&utput:", 2},
    {"Aux output 1:", 12},
};

} // namespace

FSetupInOutPressa::FSetupInOutPressa(ui::Host& host)
    : InOutForm(host, "FSetupInOutPressa", kIngressi, kUscite)
{
}

std::span<const InOutForm::Riga> FSetupInOutPressa::Ingressi() { return kIngressi; }
std::span<const InOutForm::Riga> FSetupInOutPressa::Uscite() { return kUscite; }

} // namespace zem
