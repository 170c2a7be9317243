#include "sim/DefaultInstrument.h"

#include "sim/ConfigurationImages.h"

#include <vector>

namespace zem::sim {

DefaultInstrument::DefaultInstrument()
{
    ImageSpec profilo;
    profilo.name = kNome;
    MeasureSpec pressa;
    pressa.type = 1;
    pressa.name = "PRESS FIT";
    MeasureSpec altezza;
    altezza.type = 3;
    altezza.name = "HEIGHT";
    altezza.transducerY = 2;
    altezza.valueName = "HEIGHT";
    profilo.measures = {pressa, altezza};
    profilo.inputFunctions = {1, 2, 0, 0, 0, 0, 0, 0};
    profilo.outputFunctions = {3, 4, 0, 0, 0, 0, 0, 0};
    memory_.CaricaConfigurazione(BuildConfigurationImage(profilo));
    // Command 4, piece status of measures 1 and 2: no piece being worked.
    instrument_.SetCommand(4, [](std::span<const std::uint8_t>) {
        return std::optional<std::vector<std::uint8_t>>{{0, 0}};
    });
}

} // namespace zem::sim
