#pragma once

#include <cstdint>
#include <string>

/// Turns a scrambled name back into text: each character (at most 255) is shifted down by the
/// next value of a fixed six-step cycle, modulo 256.
std::string Unscramble(const std::string& scrambled);

/// The FSUIPC version as the user reads it: "3.630", with a letter appended when the low 16
/// bits are set ("b" for 2).
std::string VersionText(uint32_t versionWord);

/// True when the server is FSUIPC 2.83 or later.
bool VersionAtLeast283(uint32_t versionWord);
