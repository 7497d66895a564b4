#pragma once

#include <iosfwd>
#include <string>

class TFormMain;

/// Runs one line typed on the headless front end's standard input against the main window, as
/// a user's click or entry would: an action name ("actFuelLoad"), a button ("btnManualDisable",
/// "btnCatapultArm" on the toolbar), a check box ("chkbxCatSmoke 1"), a radio group
/// ("rdgrpCtrlKeys 1"), an edit field ("edtDecelFactor -800"), an up-down arrow
/// ("updwnDecelFactor up"), the data-file list ("cmbDatFile Other.dat") or "help".
/// "addZone "<CarrierIdent>" [length_m width_m]" adds a carrier zone where the aircraft stands;
/// its result goes to reply (when given), a refusal to error.
/// Returns false, with a message in error, when the line names nothing the window has.
bool RunCommandLine(TFormMain& form, const std::string& line, std::string& error,
                    std::string* reply = nullptr);

/// The names RunCommandLine understands, grouped by kind of control.
std::string CommandHelp(TFormMain& form);
