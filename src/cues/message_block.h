#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Characters of a message the simulator shows; longer texts are cut.
inline constexpr size_t kSimMessageMaxChars = 100;
/// Size of the simulator's message text area.
inline constexpr size_t kSimMessageBlockSize = 128;

/// The message text area: the first 100 characters of text, then zero bytes to the end.
std::array<uint8_t, kSimMessageBlockSize> BuildSimMessageBlock(std::string_view text);

/// Bare file name of a battle-damage sound kind (0..3), or null for any other kind.
const char* DamageSoundFileName(uint8_t kind);

/// Text of the sound-file check for the main window: the not-found notes of the missing
/// files, or "Sound files found" when neither is missing.
std::string SoundFilesStatusText(const std::string& programFolder, bool catchMissing,
                                 bool catapultMissing);
