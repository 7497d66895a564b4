#pragma once

#include <array>
#include <cstdint>

#include "app/form_main.h"
#include "simlink/offsets.h"

// The ten function keys registered in the simulator interface's hot-key slots, and the slot
// protocol they use. One table serves registration, polling and the Keystrokes page.

/// Slots that end before the message-time word (which lies below the change counter): the scan
/// never goes further, whatever count the server reports, so no in-simulator message can
/// overwrite a key's registration.
inline constexpr uint32_t kHotKeyMaxSlots =
    (simlink::kMessageTime.offset - simlink::kHotKeySlot0.offset) / 4;

/// Registration value with SHIFT and the flags byte set (bytes 1 and 2 both 1).
inline constexpr uint32_t kHotKeyShiftBase = 0x00010100;
/// Added to the registration value for SHIFT+CTRL (shift state 3 instead of 1).
inline constexpr uint32_t kHotKeyCtrlModifier = 512;

/// One hot key: its key, what it runs and its line on the Keystrokes page.
struct THotKey {
  /// Key name as shown on the Keystrokes page.
  const char* Key;
  /// Virtual-key code (F1 = 0x70 ... F12 = 0x7B).
  uint8_t Code;
  /// The action run when the key is pressed.
  platform::Action TFormMain::*Action;
  /// F12: toggles both manual-override buttons before its action runs.
  bool TogglesOverride;
  /// Label on the Keystrokes page.
  platform::Label TFormMain::*Label;
  /// Label text after the key-combination prefix.
  const char* LabelText;
};

/// Key indexes into HotKeyTable (and TFormMain::HotKeySlots).
enum THotKeyIndex : int { hkF1, hkF2, hkF3, hkF5, hkF6, hkF7, hkF8, hkF9, hkF11, hkF12 };

/// Number of hot keys.
inline constexpr int kHotKeyCount = 10;

/// The ten keys; F4 and F10 are not used.
inline constexpr std::array<THotKey, kHotKeyCount> HotKeyTable{{
    {"F1", 0x70, &TFormMain::actBattleDamage1, false, &TFormMain::lblBattleDamage1Key,
     "F1   Battle Damage Level 1"},
    {"F2", 0x71, &TFormMain::actBattleDamage2, false, &TFormMain::lblBattleDamage2Key,
     "F2   Battle Damage Level 2"},
    {"F3", 0x72, &TFormMain::actBattleDamage3, false, &TFormMain::lblBattleDamage3Key,
     "F3   Battle Damage Level 3"},
    {"F5", 0x74, &TFormMain::actFuelLoad, false, &TFormMain::lblFuelLoadKey,
     "F5   Fuel LOAD On/Off"},
    {"F6", 0x75, &TFormMain::actFuelOFFload, false, &TFormMain::lblFuelOffloadKey,
     "F6   Fuel OFFload On/Off"},
    {"F7", 0x76, &TFormMain::actFuelRateToggle, false, &TFormMain::lblFuelTransferRateKey,
     "F7   Toggle Transfer Rate"},
    {"F8", 0x77, &TFormMain::actShowStatus, false, &TFormMain::lblStatusKey,
     "F8   Show Status Message"},
    {"F9", 0x78, &TFormMain::actCatapultArm, false, &TFormMain::lblCatapultKey,
     "F9   Arm/Disarm Catapult"},
    {"F11", 0x7A, &TFormMain::actResetProgram, false, &TFormMain::lblResetKey,
     "F11   Reset Program"},
    {"F12", 0x7B, &TFormMain::actManualOverride, true, &TFormMain::lblManualOverrideKey,
     "F12   Program Disable/Enable"},
}};

/// Order in which the keys are given slots: the most important first, so a crowded slot table
/// still leaves them working.
inline constexpr std::array<int, kHotKeyCount> HotKeyAllocationOrder{
    hkF12, hkF9, hkF11, hkF8, hkF5, hkF6, hkF1, hkF2, hkF3, hkF7};
/// Order in which slots are freed and in which pressed keys are served.
inline constexpr std::array<int, kHotKeyCount> HotKeyPollOrder{hkF9, hkF12, hkF11, hkF8, hkF5,
                                                               hkF6, hkF1,  hkF2,  hkF3, hkF7};
/// Order in which the Keystrokes page labels are written.
inline constexpr std::array<int, kHotKeyCount> HotKeyLabelOrder{hkF5,  hkF6,  hkF7, hkF8, hkF9,
                                                                hkF12, hkF11, hkF1, hkF2, hkF3};

/// The value registered in a slot for key code with the modifier (0 or kHotKeyCtrlModifier).
constexpr uint32_t HotKeyRegistrationValue(uint8_t code, uint32_t modifier) {
  return kHotKeyShiftBase + code + modifier;
}

/// True when the slot value says its key has been pressed (byte 3 equals 1).
constexpr bool IsHotKeyPressed(uint32_t slotValue) { return (slotValue >> 24) == 1; }
