#pragma once

#include <cstddef>

// The two editions of the program, for FS2004 and for FS2002, differ only in the constants
// below. The edition is chosen when the program is built (CORVANE_EDITION); code that differs
// reads these constants with `if constexpr`, never a run-time switch.

enum class TSimEdition { FS2004, FS2002 };

#if defined(CORVANE_EDITION_FS2002)
inline constexpr TSimEdition SimEdition = TSimEdition::FS2002;
#else
inline constexpr TSimEdition SimEdition = TSimEdition::FS2004;
#endif

inline constexpr bool IsFS2004Edition = SimEdition == TSimEdition::FS2004;

namespace edition {

/// Program version shown to the user.
inline constexpr const char* ProgramVersion = IsFS2004Edition ? "2.5.3" : "2.5.0";
/// Main window caption.
inline constexpr const char* MainCaption =
    IsFS2004Edition ? "Corvane v2.53Ostrel for FS2004" : "Corvane v2.5Ostrel for FS2002";
/// The caption is set once at creation (FS2004) or at every reset of the program state (FS2002).
inline constexpr bool CaptionSetAtEveryReset = !IsFS2004Edition;
/// Name of the one simulator this edition works with, kept scrambled (see Unscramble).
/// "FS2004" and "FS2002" shifted by the cycle 3, 1, 4, 1, 5, 9.
inline constexpr const char* AcceptedSimScrambled = IsFS2004Edition ? "IT615=" : "IT615;";
/// Number of entries of the simulator-name table: indexes 0..7 (FS2004) or 0..6 (FS2002).
inline constexpr std::size_t SimNamesCount = IsFS2004Edition ? 8 : 7;
/// Refusal when the running simulator is another one.
inline constexpr const char* WrongSimulatorMessage =
    IsFS2004Edition ? "Program only works with FS2004 -- Connection Aborted"
                    : "Program only works with FS2002 -- Connection Aborted";
/// Whether the option "Detect Traps only if Tailhook is extended" exists.
inline constexpr bool HasTailhookOption = IsFS2004Edition;
/// Failure-log line for a rejected zone: prefix + zone number as in its section name + ".".
inline constexpr const char* ZoneFailedLogPrefix =
    IsFS2004Edition ? "  -- Failed to load Zone #" : "  -- Failed to load Zone";
/// In-simulator announcement of a new nearest carrier begins with this.
inline constexpr const char* NearestCablesAnnouncement =
    IsFS2004Edition ? "Nearest cables: (rwy hdg " : "NEAREST CABLES: (rwy hdg ";
/// Nearest-carrier item of the status message, before the heading.
inline constexpr const char* StatusNearestCablesItem =
    IsFS2004Edition ? ", Nearest cables rwy hdg " : ", NEAREST CABLES RWY HDG ";
/// Manual override that also disarms a running catapult launch.
inline constexpr const char* ManualDisableCatapultMessage =
    IsFS2004Edition ? "Corvane has been manually disabled - Catapult disarmed"
                    : "Corvane has been manually disabled - catapult disarmed";
/// Key-item messages of the three battle-damage levels.
inline constexpr const char* BattleDamage1KeyMessage =
    IsFS2004Edition ? "Battle Damage to TRANSPONDER -- NO ID ON RADAR"
                    : "Battle damage to TRANSPONDER -- NO ID ON RADAR";
inline constexpr const char* BattleDamage2KeyMessage =
    IsFS2004Edition ? "Battle Damage to COMM radio -- NO COMMS"
                    : "Battle damage to COMM radio -- NO COMMS";
inline constexpr const char* BattleDamage3KeyMessage =
    IsFS2004Edition ? "Battle Damage to Cockpit -- Mag Compass broken, PILOT WOUNDED"
                    : "Battle damage to Cockpit -- Mag Compass broken, PILOT WOUNDED";
/// Caption of the main window's toolbar button (FS2002 has the Alt+V accelerator).
inline constexpr const char* ToolbarButtonCaption =
    IsFS2004Edition ? "Vertical Toolbar" : "&Vertical Toolbar";
/// Whether the cut-off label and the key-combination group show their captions as hints.
inline constexpr bool OptionCaptionHints = IsFS2004Edition;

}  // namespace edition
