// The case commands' JSON strings: the library's texts are free UTF-8, so quotes, backslashes and
// control characters are escaped and everything else is kept as written.

#include "cli/case_commands.h"

#include <gtest/gtest.h>

using vm::cli::jsonString;

TEST(CaseCommands, JsonStringsEscapeWhatJsonReservesAndKeepUtf8) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString("\n\x01\x1f"), "\"\\u000a\\u0001\\u001f\"");
    EXPECT_EQ(jsonString("Zwężenie „tchawicy” −0,48"), "\"Zwężenie „tchawicy” −0,48\"");
}
