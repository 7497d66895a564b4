#pragma once

#include <string_view>

/// One LSO call and the sound file it is spoken from, a bare name looked for in the program
/// folder.
struct TLsoCallSound {
  const char* callText;
  const char* fileName;
};

/// Every call the LSO makes and its sound file. The build speaks each call text into its file
/// (it reads the lines of this table, one entry a line, as written here), so a new call needs
/// only its line.
inline constexpr TLsoCallSound LsoCallSounds[] = {
    {"Roger ball", "LSO_RogerBall.wav"},
    {"You're high", "LSO_YoureHigh.wav"},
    {"You're low", "LSO_YoureLow.wav"},
    {"Power", "LSO_Power.wav"},
    {"Right for lineup", "LSO_RightForLineup.wav"},
    {"Come left", "LSO_ComeLeft.wav"},
    {"Wave off, wave off", "LSO_WaveOff.wav"},
    {"Bolter, bolter", "LSO_Bolter.wav"},
};

/// The sound file of a call text, or null for a text that is no call.
constexpr const char* LsoCallFileName(std::string_view callText) {
  for (const TLsoCallSound& c : LsoCallSounds)
    if (callText == c.callText) return c.fileName;
  return nullptr;
}
