#pragma once

#include <string>
#include <string_view>
#include <vector>

// Names of the settings file, its sections and keys, and the default data file.

inline constexpr const char* SettingsFileName = "Corvane.INI";
inline constexpr const char* DefaultDatFileName = "Corvane.dat";

inline constexpr const char* SectionGeneral = "General";
inline constexpr const char* SectionCableOps = "CableOps";
inline constexpr const char* SectionCatapultOps = "CatapultOps";
inline constexpr const char* SectionFuelOps = "FuelOps";

inline constexpr const char* KeyLastDatFileUsed = "LastDatFileUsed";
inline constexpr const char* KeyLastLeft = "LastLeft";
inline constexpr const char* KeyLastTop = "LastTop";
inline constexpr const char* KeyShowRemindersWhenDisabled = "ShowRemindersWhenDisabled";
inline constexpr const char* KeySpecialSoundHandling = "SpecialSoundHandling";
inline constexpr const char* KeyPlayBattleDamageSounds = "PlayBattleDamageSounds";
inline constexpr const char* KeyTimingResolutionFactor = "TimingResolutionFactor";
inline constexpr const char* KeyKeystrokeCompatibilityOption = "KeystrokeCompatibilityOption";
inline constexpr const char* KeyVerticalToolbarLeft = "VerticalToolbarLeft";
inline constexpr const char* KeyVerticalToolbarTop = "VerticalToolbarTop";
inline constexpr const char* KeyCableCatchAccelFactor = "CableCatchAccelFactor";
inline constexpr const char* KeyShowCablesActiveMsg = "ShowCablesActiveMsg";
inline constexpr const char* KeyDetectTrapsIfTailhookExtended = "DetectTrapsIfTailhookExtended";
inline constexpr const char* KeyTrapLog = "TrapLog";
inline constexpr const char* KeyLsoCalls = "LsoCalls";
inline constexpr const char* KeyRealisticGear = "RealisticGear";
inline constexpr const char* KeyCatapultAccelFactor = "CatapultAccelFactor";
inline constexpr const char* KeyCatapultSpeedCutoffKnots = "CatapultSpeedCutoffKnots";
inline constexpr const char* KeyCatapultHoldFactor = "CatapultHoldFactor";
inline constexpr const char* KeyUseAircraftSmoke = "UseAircraftSmoke";
inline constexpr const char* KeyTransferRateIndex = "TransferRateIndex";

/// Index of the first entry equal to text without regard to (ASCII) case, -1 when none.
int IndexOfTextIgnoringCase(const std::vector<std::string>& items, std::string_view text);
