#pragma once

namespace zem::ui {

// The questions the workflows ask, by what they decide rather than by their words: a host that
// cannot ask the technician answers by these (a flag, a policy of the command), and two questions
// with the same words stay two questions.
enum class Question {
    None,                       // a message that asks nothing a script could answer
    ConfirmSend,                // "Send profile settings to instrument?"
    ContinueWithoutUpdateMode,  // the update-mode switch failed: go on anyway?
    ClearOldFormatMemory,       // a memory in an older layout: clear it to send?
    KeepWorks,                  // the works in the instrument match the profile's: keep them?
    ClearWorks,                 // the works are to be cleared: sure?
    ClearInstrumentMemory,      // the memory test erases the configuration
    ConfirmRestore,             // "Restore memory backup to instrument?"
    ProgramEeprom,              // a new instrument's USB bridge is to be programmed
    SaveChangedProfile,         // the open profile has changes: save them first?
    RetryIpAddress,             // a module did not answer with its address in time
    ForcingOutputsCaution,      // the diagnosis window can force outputs
    SendDiagnosisChanges,       // write the calibration changes into the instrument?
    ExitWithoutSending,         // leave the diagnosis with changes not sent?
    ReplaceFile,                // a file of that name exists: replace it?
};

} // namespace zem::ui
