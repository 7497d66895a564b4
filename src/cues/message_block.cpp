#include "cues/message_block.h"

#include <algorithm>

std::array<uint8_t, kSimMessageBlockSize> BuildSimMessageBlock(std::string_view text) {
  std::array<uint8_t, kSimMessageBlockSize> block{};
  const size_t n = std::min(text.size(), kSimMessageMaxChars);
  for (size_t i = 0; i < n; ++i) block[i] = static_cast<uint8_t>(text[i]);
  return block;
}

const char* DamageSoundFileName(uint8_t kind) {
  switch (kind) {
    case 0:
      return "DamageFarExplosion.wav";
    case 1:
      return "DamageNearExplosion.wav";
    case 2:
      return "DamageRadio.wav";
    case 3:
      return "DamageElectricalSystem.wav";
    default:
      return nullptr;
  }
}

std::string SoundFilesStatusText(const std::string& programFolder, bool catchMissing,
                                 bool catapultMissing) {
  std::string text;
  if (catchMissing) text = "   (" + programFolder + "CableCatch.wav" + " " + "not found" + ")";
  if (catapultMissing) text += "   (" + programFolder + "Catapult.wav" + " " + "not found" + ")";
  if (text.empty()) text = "Sound files found";
  return text;
}
