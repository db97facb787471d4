// The settings no visible track bar shows, as the notice names them after a teaching case is
// opened, and the command that sets them all back.

#include "session/hidden_settings.h"

#include <gtest/gtest.h>

using namespace vm::record;
using namespace vm::session;

namespace {

TEST(HiddenSettings, EachCaseOpenedNamesWhatNoTrackBarShowsUntilRestored) {
    const struct {
        const char* file;
        const char* named; // in the notice of the opened file's newest result
    } cases[] = {
        {"zwezenie_prawego_oskrzela", "prawe płuco – opór oskrzela głównego 2000 %"},
        {"rozedma_pluc", "oba płuca – zapadalność ścian dróg pośrednich (Stiff) 300 %"},
        {"slaby_wysilek", "siła wydechu 30 %; szybkość narastania wysiłku wydechowego 20 %"},
        {"niepelny_wdech", "siła wdechu 50 %"},
        {"przedwczesne_zakonczenie", "próg przepływu kończący badanie 2000 %"},
    };
    for (const auto& [file, named] : cases) {
        SCOPED_TRACE(file);
        Session session{ProgramFolder{VM_RUNTIME_DIR}};
        ASSERT_FALSE(
            session
                .OpenSimulationFile(std::string(VM_RUNTIME_DIR) + "/simulations/" + file + ".spi")
                .message);
        session.SelectResultRow(1);
        const std::string notice = hiddenSettingsNotice(findHiddenSettings(session));
        EXPECT_NE(notice.find(std::string("Następny START i wybrany wynik (wiersz 1): ") + named),
                  std::string::npos)
            << notice;

        const ViewChanges restored = RestoreAllSettings(session);
        EXPECT_TRUE(restored.controlsToDefaults);
        const HiddenSettings left = findHiddenSettings(session);
        EXPECT_TRUE(left.current.empty());
        EXPECT_FALSE(left.selected.empty()) << "the result keeps what it was made with";
        EXPECT_EQ(hiddenSettingsNotice(left).find("Przywróć"), std::string::npos);
    }
    Session standard{ProgramFolder{VM_RUNTIME_DIR}};
    ASSERT_FALSE(standard.LoadStandardRecord().message);
    EXPECT_EQ(hiddenSettingsNotice(findHiddenSettings(standard)), "");
}

} // namespace
