#include "sim/DefaultInstrument.h"

#include "sim/ConfigurationImages.h"

#include <vector>

namespace zem::sim {

DefaultInstrument::DefaultInstrument()
{
    ImageSpec profilo;
    profilo.name = kNome;
    profilo.measures = {MeasureSpec{.type = 1, .name = "PRESS FIT"},
                        MeasureSpec{.type = 3, .name = "HEIGHT", .transducerY = 2, .valueName = "HEIGHT"}};
    profilo.inputFunctions = {1, 2, 0, 0, 0, 0, 0, 0};
    profilo.outputFunctions = {3, 4, 0, 0, 0, 0, 0, 0};
    memory_.CaricaConfigurazione(BuildConfigurationImage(profilo));
    // Command 4, piece status of measures 1 and 2: no piece being worked.
    instrument_.SetCommand(4, [](std::span<const std::uint8_t>) {
        return std::optional<std::vector<std::uint8_t>>{{0, 0}};
    });
}

} // namespace zem::sim
