#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The line grammar of private-profile files, shared by the read-write IniFile and the
// read-only IniReader so that both see the same sections, keys and values.
namespace platform::ini {

char asciiLower(char c);
std::string lowerCase(std::string_view s);
/// True when a and b are equal without regard to ASCII case.
bool equalIgnoringCase(std::string_view a, std::string_view b);
bool isBlank(char c);
/// s without leading and trailing blanks and tabs.
std::string_view trim(std::string_view s);
bool isQuote(char c);
/// s without one pair of enclosing single or double quotes.
std::string_view unquote(std::string_view s);

/// One line of a text: its content without the line end ("\r\n", "\r" or "\n"), the line end,
/// and where the next line starts.
struct RawLine {
  std::string_view text;
  std::string_view eol;
  std::size_t next = 0;
};
/// The line that starts at pos (pos < text.size()).
RawLine lineAt(std::string_view text, std::size_t pos);

/// What a line means: a section header (name trimmed, case kept), a key with its value (key
/// trimmed; value trimmed and unquoted), or nothing. A key line counts only inside a section;
/// lines starting with ";" or "#" are comments.
struct LineMeaning {
  enum Kind { Other, Section, Key } kind = Other;
  std::string_view name;
  std::string_view value;
};
/// The meaning of a line's text; firstLine drops a UTF-8 byte-order mark before it.
LineMeaning classifyLine(std::string_view text, bool firstLine);

}  // namespace platform::ini
