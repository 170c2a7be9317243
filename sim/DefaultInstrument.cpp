#include "sim/DefaultInstrument.h"

#include "sim/ConfigurationImages.h"

#include <vector>

namespace zem::sim {

DefaultInstrument::DefaultInstrument(Clock& clock) : press_(clock)
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
    profilo.calibration[0].unit = 1;  // the press's encoder, calibrated in mm as on a real press
    memory_.CaricaConfigurazione(BuildConfigurationImage(profilo));
}

} // namespace zem::sim
