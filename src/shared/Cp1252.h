#pragma once

#include <string>
#include <string_view>

namespace vdx {

// Text inside the core is code page 1252 bytes: one byte, one character. These
// convert at the boundaries (Qt, UTF-8 files and terminals, Access UCS-2).

// The Unicode character of a code page 1252 byte. The five bytes the code page
// leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 controls of the
// same value, as Windows does, so every byte round-trips.
char32_t UnicodeDaCp1252(unsigned char byte);

// The code page 1252 byte of a Unicode character, or -1 when it has none.
int Cp1252DaUnicode(char32_t character);

// Whole texts. Characters with no code page 1252 byte become "?" (one byte,
// never a control byte). Malformed UTF-8 bytes also become "?".
std::string Utf8DaCp1252(std::string_view bytes);
std::string Cp1252DaUtf8(std::string_view utf8);
std::u16string Utf16DaCp1252(std::string_view bytes);
std::string Cp1252DaUtf16(std::u16string_view testo);

// A message for a UTF-8 terminal: kept as it is when it is valid UTF-8 (file
// paths are), else read as code page 1252 (names from the data files).
std::string TestoPerTerminale(std::string_view testo);

// Upper and lower case by the code page's own rules: a-z, the accented
// letters, š œ ž -> Š Œ Ž, ÿ -> Ÿ; ß and µ have no capital and stay.
unsigned char MaiuscolaCp1252(unsigned char byte);
unsigned char MinuscolaCp1252(unsigned char byte);
std::string MaiuscoleCp1252(std::string_view bytes);

// Case-insensitive equality of two code page 1252 texts.
bool UgualiSenzaMaiuscole(std::string_view a, std::string_view b);

} // namespace vdx
