#include "data/jpeg_error_manager.h"

#include <cstring>

namespace vm::data {

namespace {

[[noreturn]] void exitWithMessage(j_common_ptr codec) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(codec->err);
    (*codec->err->format_message)(codec, manager->message);
    std::longjmp(manager->escape, 1);
}

void stopOnWarning(j_common_ptr codec, int level) {
    if (level < 0)
        exitWithMessage(codec);
}

} // namespace

jpeg_error_mgr* installJpegErrorManager(JpegErrorManager& manager) {
    jpeg_error_mgr* err = jpeg_std_error(&manager.pub);
    err->error_exit = exitWithMessage;
    err->emit_message = stopOnWarning;
    manager.message[0] = '\0';
    return err;
}

void copyJpegMessage(char* to, const char* from) {
    const std::size_t length = strnlen(from, JMSG_LENGTH_MAX - 1);
    std::memcpy(to, from, length);
    to[length] = '\0';
}

} // namespace vm::data
