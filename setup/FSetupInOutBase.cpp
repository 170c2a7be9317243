#include "setup/FSetupInOutBase.h"

namespace zem {

namespace {

constexpr InOutForm::Riga kIngressi[] = {
    {"&Start input:", 1},
    {"Select &A input:", 3},
    {"Select &B input:", 4},
    {"Select &C input:", 5},
    {"Select &D input:", 6},
    {"&Idle input:", 8},
    {"E&nable input:", 2},
    {"&Reset input:", 9},
    {"&Hold input:", 12},
    {"Increment serial n&umber input:", 13},
};

constexpr InOutForm::Riga kUscite[] = {
    {"&Go output:", 1},
    {"&Protection output:", 2},
    {"G&ood output:", 3},
    {"Re&jected output:", 4},
};

} // namespace

FSetupInOutBase::FSetupInOutBase(ui::Host& host) : InOutForm(host, "FSetupInOutBase", kIngressi, kUscite) {}

std::span<const InOutForm::Riga> FSetupInOutBase::Ingressi() { return kIngressi; }
std::span<const InOutForm::Riga> FSetupInOutBase::Uscite() { return kUscite; }

} // namespace zem
