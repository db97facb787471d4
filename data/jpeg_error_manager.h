#pragma once
// libjpeg's default error handler ends the process. This one jumps back to the function that
// started the work, with the library's own message kept as text.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace vm::data {

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

// Installs the handler on `manager` and returns the pointer to store in the codec's `err`.
// Corrupt-data warnings count as errors: a damaged picture is refused rather than shown grey.
jpeg_error_mgr* installJpegErrorManager(JpegErrorManager& manager);

// Copies a message into a buffer of JMSG_LENGTH_MAX characters, always terminated.
void copyJpegMessage(char* to, const char* from);

} // namespace vm::data
