#pragma once

#include "profile/ProfiloZem.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/CommandButton.h"
#include "ui/ScriptedHost.h"
#include "ui/TextBox.h"

#include <functional>
#include <string>

namespace zem::test {

using Opener = bool (*)(ui::ScriptedHost&, ProfiloZem&, int, std::function<void(ui::Form&)>);

// Opens dialog D for measure m of the profile on a scripted host; `script` plays the technician
// and must close the dialog.
template <class D>
bool Open(ui::ScriptedHost& host, ProfiloZem& profilo, int m, std::function<void(ui::Form&)> script)
{
    D dialog(host);
    host.OnForm(dialog.Name(), std::move(script));
    return dialog.ShowForm(m, profilo);
}

inline void Click(ui::Form& f, const std::string& key) { f.Get<ui::CommandButton>(key).UserClick(); }
inline void Choose(ui::Form& f, const std::string& key, int i) { f.Get<ui::ComboBox>(key).UserChoose(i); }
inline void Type(ui::Form& f, const std::string& key, std::string text) { f.Get<ui::TextBox>(key).UserType(std::move(text)); }
inline void Tick(ui::Form& f, const std::string& key) { f.Get<ui::CheckBox>(key).UserClick(); }
// An edit that changes nothing the test looks at, then OK.
inline void TickAndOK(ui::Form& f)
{
    Tick(f, "chkSlave");
    Click(f, "cmdOK");
}
inline ui::ComboBox& List(ui::Form& f, const std::string& key) { return f.Get<ui::ComboBox>(key); }

} // namespace zem::test
