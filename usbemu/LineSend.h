#pragma once

#include "access/PasswordGate.h"
#include "bench/BenchLine.h"
#include "link/LinkPlatform.h"
#include "main/BackupMemoria.h"
#include "main/InvioProfilo.h"
#include "main/TransferProgress.h"
#include "profile/ProfiloZem.h"
#include "profile/SettingsStore.h"

#include <string>

namespace zem::usbemu {

// The send workflow in this process, for the emulated bridge's tests and benchmark, answered as
// `zemcli --yes send ... --works clear` answers it: send, clear the works, the default password.
// Also the memory backup into a given file.
class LineSend final {
public:
    SendOutcome Send(const LinkPlatform& platform, const std::string& profile, const std::string& key)
    {
        ProfiloZem p;
        if (!p.ApriFile(profile)) return SendOutcome::Failed;
        return InvioProfilo(host_, platform, gate_, progress_).Invia(p, key);
    }
    bool Backup(const LinkPlatform& platform, const std::string& key, const std::string& file)
    {
        return BackupMemoria(host_, platform, progress_).Esporta(key, file, "") == BackupMemoria::Esito::Completato;
    }
    // The last message shown.
    const std::string& Last() const { return host_.last; }

private:
    bench::LineHost host_;
    TransferProgress& progress_ = SenzaProgresso();
    MemorySettingsStore settings_;
    PasswordGate gate_{host_, settings_};
};

} // namespace zem::usbemu
