#include "setup/ListaIngressiUscite.h"

#include "ui/ListControl.h"

#include <string>

namespace zem::lista_io {

void Riempi(ui::ListControl& lista, std::int16_t valore)
{
    lista.Clear();
    lista.AddItem("None");
    for (int n = 0; n < 8; ++n) lista.AddItem(std::to_string(n));
    lista.SetListIndex(valore);
}

std::int16_t Scelta(const ui::ListControl& lista, std::int16_t valore)
{
    return lista.ListIndex() >= 0 ? static_cast<std::int16_t>(lista.ListIndex()) : valore;
}

} // namespace zem::lista_io
