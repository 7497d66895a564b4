#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

/// Reads whole lines from the standard input without blocking the event loop.
class StdinLines {
 public:
  /// False once the input has ended (or was never to be read).
  bool open = true;
  /// Returns the complete lines that have arrived since the last call; does not block.
  std::vector<std::string> poll();
  /// Where the system's reads block (a Windows console), a thread of its own reads the input
  /// and hands the text over through this.
  struct Reader;

 private:
  /// Appends whatever can be read now to pending_; false at the end of the input.
  bool readAvailable();
  std::string pending_;
  std::shared_ptr<Reader> reader_;
};

}  // namespace platform
