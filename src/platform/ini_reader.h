#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// A read-only private-profile file for large data files: the text is kept once, in one
/// buffer, with an index of its sections; values are found when asked for and returned as
/// views into the text. Reads exactly as IniFile does: names without regard to case, the first
/// section of a name and the first key of a name win, a value is the text after the first "="
/// with blanks trimmed and one pair of enclosing quotes removed.
class IniReader {
 public:
  /// Reads and indexes path; a missing file is an empty one. Blocks on the disk.
  explicit IniReader(const std::string& path);
  /// Indexes text as the content of a file (nothing is read from disk).
  static IniReader fromText(std::string text);

  /// False when the file exists but could not be read (no permission, a folder, ...).
  bool readable() const { return readable_; }

  /// Whether the section exists and holds at least one key.
  bool sectionHasKeys(std::string_view section) const;
  /// The value of a key; nothing when the section or key is missing. Valid while the reader
  /// lives.
  std::optional<std::string_view> readValue(std::string_view section, std::string_view key) const;
  /// Looks up several keys (distinct names) of one section in one pass over it: values[i]
  /// becomes the value of keys[i], or nothing when it is missing. False (every value nothing) when
  /// the section is missing or holds no key.
  bool readValues(std::string_view section, std::span<const std::string_view> keys,
                  std::span<std::optional<std::string_view>> values) const;

 private:
  struct Section {
    std::string_view name;           // as written in the header, into text_
    std::size_t begin = 0, end = 0;  // the lines after the header, as offsets into text_
    uint64_t hash = 0;               // of the lower-case name
    bool hasKeys = false;
  };

  IniReader() = default;
  void index();
  void buildTable();
  const Section* findSection(std::string_view name) const;

  std::string text_;
  bool readable_ = true;
  std::vector<Section> sections_;
  // Open addressing by name hash: each slot holds a section's index + 1 (0 = empty); only the
  // first section of a name is entered. Far smaller and faster than a node-based map for the
  // hundred thousand sections of a large carrier file.
  std::vector<uint32_t> table_;
};

}  // namespace platform
