#pragma once
// Plays the system sounds that tell a run's outcome, asynchronously, through the desktop's sound
// theme. Where that fails the fallback beeps; where no sound server runs nothing is heard.

#include <functional>
#include <string>

namespace vm::ui {

class SystemSoundPlayer {
  public:
    explicit SystemSoundPlayer(std::function<void()> fallbackBeep);
    ~SystemSoundPlayer();
    SystemSoundPlayer(const SystemSoundPlayer&) = delete;
    SystemSoundPlayer& operator=(const SystemSoundPlayer&) = delete;

    // alias: "SystemAsterisk" or "SystemHand". Returns true when the sound theme took the request.
    bool play(const std::string& alias);

  private:
    struct Context;
    Context* context_ = nullptr;
    std::function<void()> fallbackBeep_;
};

// The sound-theme event that stands for a system alias; empty for an unknown alias.
std::string soundThemeEventFor(const std::string& alias);

} // namespace vm::ui
