#include "ui/system_sound.h"

#include <gtest/gtest.h>

using namespace vm::ui;

namespace {

TEST(SystemSound, AliasesMapToTheSoundThemesDialogEvents) {
    EXPECT_EQ(soundThemeEventFor("SystemAsterisk"), "dialog-information");
    EXPECT_EQ(soundThemeEventFor("SystemHand"), "dialog-error");
    EXPECT_EQ(soundThemeEventFor("SystemExclamation"), "");
}

TEST(SystemSound, AnUnknownAliasFallsBackToTheBeep) {
    int beeps = 0;
    SystemSoundPlayer player([&] { ++beeps; });
    EXPECT_FALSE(player.play("NoSuchSound"));
    EXPECT_EQ(beeps, 1);
}

} // namespace
