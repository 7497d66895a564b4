#pragma once

#include <iosfwd>
#include <map>
#include <string>

class TFormMain;

/// Remembers the state of the window's buttons, check boxes, radio groups, edit fields and
/// windows, and prints what changed since the last look ("btnManualDisable: down").
class ControlSnapshot {
 public:
  explicit ControlSnapshot(TFormMain& form) : form_(form) { last_ = take(); }
  /// Prints one line per control whose state changed, then remembers the new state.
  void printChanges(std::ostream& out);

 private:
  std::map<std::string, std::string> take();
  TFormMain& form_;
  std::map<std::string, std::string> last_;
};
