#pragma once
// The settings no visible track bar shows: every lung part but both lungs, the airway wall
// stiffness and the global items the model reads. A simulation file or a teaching case can set
// them and "reset" leaves them alone, so the window says in plain words which of them are away
// from 100 %, and one command sets them all back.

#include "session/case_library.h"
#include "session/session.h"

#include <string>
#include <vector>

namespace vm::session {

struct HiddenSettings {
    std::vector<CaseSetting> current; // what the next START takes
    int selectedRow = -1;
    std::vector<CaseSetting> selected; // what the selected result was made with
    std::vector<CaseSetting> reference;
    bool empty() const { return current.empty() && selected.empty() && reference.empty(); }
};

// A setting without a visible control: changed only by a file, a case or the runner.
bool isHiddenSetting(const CaseSetting& setting);

// Every hidden setting the model reads that differs from 100 %, in the current settings, the
// selected result and the reference. Nothing while the unknown patient's settings are hidden:
// the notice would give the answer away.
HiddenSettings findHiddenSettings(const Session& session);

// "prawe płuco – opór oskrzela głównego 2000 %", and without the value.
std::string settingText(const CaseSetting& setting);
std::string settingWords(const CaseSetting& setting);
// The notice under the row grid, in plain Polish; empty when nothing is hidden.
std::string hiddenSettingsNotice(const HiddenSettings& hidden);

// "Przywróć wszystkie nastawy": every part and every global item of the current settings back to
// 100 % and the track bars to their defaults, a fresh start without restarting. The results and
// the reference stay as they are.
ViewChanges RestoreAllSettings(Session& session);

} // namespace vm::session
