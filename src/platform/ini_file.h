#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

/// Parses a real written with "." as the decimal separator, an optional sign and an optional
/// exponent; the whole text must be the number ("1,5", "inf", "" and "1.5x" are not numbers).
std::optional<double> parseFloat(std::string_view text);
/// Parses a 32-bit integer in decimal, or in hexadecimal after "0x" (optional sign before it);
/// anything else, or a value outside 32 bits, is not a number.
std::optional<int32_t> parseInteger(std::string_view text);
/// Shortest general decimal form with up to 15 significant digits, "." as separator ("-700").
std::string formatFloat(double value);

/// Replaces the file at path with content: writes a temporary file beside it, then renames it
/// over the old one, so a failure leaves the old file as it was. Blocks on the disk.
bool writeFileAtomically(const std::string& path, std::string_view content);

/// A settings or data file with private-profile semantics. The file is parsed once when the
/// object is made; section and key names match without regard to case; a value is the text
/// after the first "=", blanks trimmed, one pair of enclosing quotes removed. Changes are kept
/// in memory until save(), which rewrites the file atomically and keeps every other line
/// (comments, unknown keys and sections, order, line endings) exactly as it was.
class IniFile {
 public:
  /// Reads and parses path; a missing file is an empty one. Blocks on the disk.
  explicit IniFile(std::string path);
  /// Parses text as the content of a file at path (nothing is read from disk).
  static IniFile fromText(std::string path, std::string_view text);

  const std::string& path() const { return path_; }
  /// False when the file exists but could not be read (no permission, a folder, ...).
  bool readable() const { return readable_; }
  /// Whether the file existed when it was read.
  bool existed() const { return existed_; }

  /// Whether the section exists and holds at least one key.
  bool sectionHasKeys(std::string_view section) const;
  /// The value of a key; nothing when the section or key is missing.
  std::optional<std::string> readValue(std::string_view section, std::string_view key) const;
  /// The value of a key, or def when it is missing.
  std::string readString(std::string_view section, std::string_view key,
                         const std::string& def) const;
  /// An integer value (decimal or "0x" hexadecimal), or def when missing or not an integer.
  int32_t readInteger(std::string_view section, std::string_view key, int32_t def) const;
  /// A real value, or def when missing, empty or not a number.
  double readFloat(std::string_view section, std::string_view key, double def) const;
  /// A boolean stored as an integer (non-zero is true), or def when missing or not an integer.
  bool readBool(std::string_view section, std::string_view key, bool def) const;

  /// Sets a value in memory, adding the key or the section when missing.
  void setString(std::string_view section, std::string_view key, std::string_view value);
  void setInteger(std::string_view section, std::string_view key, int64_t value);
  void setFloat(std::string_view section, std::string_view key, double value);
  void setBool(std::string_view section, std::string_view key, bool value);
  /// Sets one value and saves the file at once (a private-profile write). Blocks on the disk.
  bool writeString(std::string_view section, std::string_view key, std::string_view value);

  /// Writes the whole file atomically; false (old file intact) when that fails. Blocks.
  bool save();
  /// The file's content as it would be saved.
  std::string text() const;

 private:
  struct Line {
    std::string text;
    std::string eol;
  };
  struct Entry {
    std::size_t line = 0;  // index into the section's lines
    std::string value;
  };
  struct Section {
    std::optional<Line> header;  // none for the lines before the first section
    std::vector<Line> lines;
    std::unordered_map<std::string, Entry> keys;  // lower-case name; the first one counts
  };

  IniFile() = default;
  void parse(std::string_view text);
  const Section* findSection(std::string_view name) const;
  const std::string& newLineEnding() const;

  std::string path_;
  bool readable_ = true;
  bool existed_ = false;
  std::string defaultEol_ = "\r\n";
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name
};

}  // namespace platform
