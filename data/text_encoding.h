#pragma once
// Text in the single-byte Windows code pages of the help files and notes, turned into UTF-8.

#include <string>
#include <string_view>

namespace vm::data {

// One byte of Windows-1250 (Central European) or Windows-1252 (Western) as a code point. The few
// bytes a code page leaves unassigned keep their own value, as the C1 control of that number.
char32_t windows1250CodePoint(unsigned char byte);
char32_t windows1252CodePoint(unsigned char byte);

// Appends the code point as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

std::string windows1250ToUtf8(std::string_view bytes);
std::string windows1252ToUtf8(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// A text file whose encoding is not stated: UTF-8 when the bytes are valid UTF-8 (a leading
// byte-order mark is dropped), otherwise Windows-1250, in which the program's notes are written.
std::string decodeTextFile(std::string_view bytes);

} // namespace vm::data
