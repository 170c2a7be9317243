#include "setup/ListaTrasduttori.h"

#include "ui/ListControl.h"

namespace zem {

void RiempiTrasduttori(ui::ListControl& lista, std::span<const VoceTrasduttore> voci)
{
    lista.Clear();
    for (const VoceTrasduttore& voce : voci) {
        lista.AddItem(voce.testo);
        lista.SetItemData(lista.ListCount() - 1, voce.codice);
    }
}

bool SelezionaTrasduttore(ui::ListControl& lista, std::int16_t codice)
{
    for (int i = 0; i < lista.ListCount(); ++i) {
        if (lista.ItemData(i) == codice) return lista.SetListIndex(i);
    }
    return false;
}

std::int16_t TrasduttoreScelto(const ui::ListControl& lista, std::int16_t nessuno)
{
    return lista.ListIndex() < 0 ? nessuno : static_cast<std::int16_t>(lista.ItemData(lista.ListIndex()));
}

std::int16_t TrasduttoreDelCanale(int misura, int tipo)
{
    return misura <= 2 ? static_cast<std::int16_t>(3 * (misura - 1) + tipo) : std::int16_t{0};
}

} // namespace zem
