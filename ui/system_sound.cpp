#include "ui/system_sound.h"

#include <canberra.h>

namespace vm::ui {

struct SystemSoundPlayer::Context {
    ca_context* ca = nullptr;
};

std::string soundThemeEventFor(const std::string& alias) {
    if (alias == "SystemAsterisk")
        return "dialog-information";
    if (alias == "SystemHand")
        return "dialog-error";
    return {};
}

SystemSoundPlayer::SystemSoundPlayer(std::function<void()> fallbackBeep)
    : fallbackBeep_(std::move(fallbackBeep)) {
    ca_context* ca = nullptr;
    if (ca_context_create(&ca) == CA_SUCCESS) {
        context_ = new Context{ca};
        ca_context_change_props(ca, CA_PROP_APPLICATION_NAME, "Velta Morvane", nullptr);
    }
}

SystemSoundPlayer::~SystemSoundPlayer() {
    if (context_) {
        ca_context_destroy(context_->ca);
        delete context_;
    }
}

bool SystemSoundPlayer::play(const std::string& alias) {
    const std::string event = soundThemeEventFor(alias);
    if (context_ && !event.empty() &&
        ca_context_play(context_->ca, 0, CA_PROP_EVENT_ID, event.c_str(), nullptr) == CA_SUCCESS)
        return true;
    if (fallbackBeep_)
        fallbackBeep_();
    return false;
}

} // namespace vm::ui
