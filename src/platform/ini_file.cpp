#include "platform/ini_file.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

#include "platform/ini_syntax.h"
#include "platform/os.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

using ini::isBlank;
using ini::isQuote;
using ini::lowerCase;
using ini::trim;

/// A value as it must be written so that reading it back gives the same text: line breaks
/// become blanks (they would split the line), and a value with blanks at either end or
/// enclosing quotes of its own is put in double quotes.
std::string encodeValue(std::string_view value) {
  std::string v(value);
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  const bool needsQuotes =
      !v.empty() && (isBlank(v.front()) || isBlank(v.back()) ||
                     (v.size() >= 2 && isQuote(v.front()) && v.front() == v.back()));
  return needsQuotes ? "\"" + v + "\"" : v;
}

std::string cleanName(std::string_view name) {
  std::string n(trim(name));
  for (char& c : n)
    if (c == '\r' || c == '\n') c = ' ';
  return n;
}

bool onlyNumberCharacters(std::string_view s) {
  for (char c : s) {
    const bool ok =
        (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::optional<double> parseFloat(std::string_view text) {
  if (text.empty() || !onlyNumberCharacters(text)) return std::nullopt;
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  }
  double value = 0;
  const char* last = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), last, value, std::chars_format::general);
  if (ec != std::errc{} || ptr != last) return std::nullopt;
  return value;
}

std::optional<int32_t> parseInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
  uint64_t magnitude = 0;
  const char* last = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), last, magnitude, base);
  if (ec != std::errc{} || ptr != last) return std::nullopt;
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (magnitude > limit) return std::nullopt;
  const int64_t signedValue =
      negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return static_cast<int32_t>(signedValue);
}

std::string formatFloat(double value) {
  char buf[64];
  const auto [ptr, ec] =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  if (ec != std::errc{}) return "0";
  return std::string(buf, ptr);
}

namespace {

// Removes the temporary files ("<name>.tmp<process id>") of saves that were cut short by a
// crash or a kill. A save writes its temporary file within moments, so one untouched for a
// minute belongs to no save still running.
void removeAbandonedTemporaries(const fs::path& target) {
  std::error_code ec;
  const std::string prefix = target.filename().string() + ".tmp";
  const auto cutoff = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  fs::directory_iterator it(target.parent_path().empty() ? "." : target.parent_path(), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name.find_first_not_of("0123456789", prefix.size()) != std::string::npos) continue;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc) || fs::last_write_time(it->path(), fileEc) > cutoff || fileEc)
      continue;
    fs::remove(it->path(), fileEc);
  }
}

}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view content) {
  std::error_code ec;
  fs::path target(path);
  if (fs::is_symlink(target, ec)) {
    // Replace the file the link points to, not the link itself.
    const fs::path resolved = fs::canonical(target, ec);
    if (ec) return false;
    target = resolved;
  }
  const fs::path temp = target.string() + ".tmp" + std::to_string(currentProcessId());
  std::FILE* f = std::fopen(temp.string().c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  ok = syncFile(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) {
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
    ok = replaceFile(temp.string(), target.string());
  }
  if (!ok) fs::remove(temp, ec);
  if (ok) removeAbandonedTemporaries(target);
  return ok;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  std::error_code ec;
  const fs::file_status st = fs::status(path_, ec);
  if (ec && ec != std::errc::no_such_file_or_directory) {
    readable_ = false;
  } else if (!fs::exists(st)) {
    existed_ = false;
  } else {
    existed_ = true;
    std::ifstream in(path_, std::ios::binary);
    if (!fs::is_regular_file(st) || !in) {
      readable_ = false;
    } else {
      std::ostringstream content;
      content << in.rdbuf();
      if (in.bad()) readable_ = false;
      parse(content.str());
    }
  }
  if (sections_.empty()) parse({});
}

IniFile IniFile::fromText(std::string path, std::string_view text) {
  IniFile f;
  f.path_ = std::move(path);
  f.existed_ = true;
  f.parse(text);
  return f;
}

void IniFile::parse(std::string_view text) {
  sections_.clear();
  sectionIndex_.clear();
  sections_.emplace_back();  // lines before the first section
  bool eolSeen = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const ini::RawLine raw = ini::lineAt(text, pos);
    if (!eolSeen && !raw.eol.empty()) {
      defaultEol_ = std::string(raw.eol);
      eolSeen = true;
    }
    const ini::LineMeaning meaning = ini::classifyLine(raw.text, pos == 0);
    pos = raw.next;
    Line line{std::string(raw.text), std::string(raw.eol)};
    if (meaning.kind == ini::LineMeaning::Section) {
      Section s;
      s.header = std::move(line);
      sections_.push_back(std::move(s));
      sectionIndex_.emplace(lowerCase(meaning.name), sections_.size() - 1);
      continue;
    }
    Section& current = sections_.back();
    if (current.header && meaning.kind == ini::LineMeaning::Key)
      current.keys.emplace(lowerCase(meaning.name),
                           Entry{current.lines.size(), std::string(meaning.value)});
    current.lines.push_back(std::move(line));
  }
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
  const auto it = sectionIndex_.find(lowerCase(trim(name)));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const std::string& IniFile::newLineEnding() const { return defaultEol_; }

bool IniFile::sectionHasKeys(std::string_view section) const {
  const Section* s = findSection(section);
  return s && !s->keys.empty();
}

std::optional<std::string> IniFile::readValue(std::string_view section,
                                              std::string_view key) const {
  const Section* s = findSection(section);
  if (!s) return std::nullopt;
  const auto it = s->keys.find(lowerCase(trim(key)));
  if (it == s->keys.end()) return std::nullopt;
  return it->second.value;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                const std::string& def) const {
  std::optional<std::string> v = readValue(section, key);
  if (v) return std::move(*v);
  return def;
}

int32_t IniFile::readInteger(std::string_view section, std::string_view key, int32_t def) const {
  const std::optional<std::string> v = readValue(section, key);
  if (!v) return def;
  return parseInteger(*v).value_or(def);
}

double IniFile::readFloat(std::string_view section, std::string_view key, double def) const {
  const std::optional<std::string> v = readValue(section, key);
  if (!v) return def;
  return parseFloat(*v).value_or(def);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool def) const {
  const std::optional<std::string> v = readValue(section, key);
  if (!v) return def;
  const std::optional<int32_t> n = parseInteger(*v);
  return n ? *n != 0 : def;
}

void IniFile::setString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName = cleanName(section);
  const std::string keyName = cleanName(key);
  const std::string encoded = encodeValue(value);
  const std::string& eol = newLineEnding();

  // The last line of the file may lack a line ending; anything added after it needs one.
  auto endLastLine = [this, &eol] {
    Section& last = sections_.back();
    Line* l = !last.lines.empty() ? &last.lines.back() : (last.header ? &*last.header : nullptr);
    if (l && l->eol.empty()) l->eol = eol;
  };

  const std::string lowerSection = lowerCase(sectionName);
  auto sit = sectionIndex_.find(lowerSection);
  if (sit == sectionIndex_.end()) {
    endLastLine();
    // Keep a blank line between the old content and the new section.
    Section& last = sections_.back();
    const bool empty = sections_.size() == 1 && last.lines.empty();
    const Line* tail =
        !last.lines.empty() ? &last.lines.back() : (last.header ? &*last.header : nullptr);
    if (!empty && tail && !trim(tail->text).empty()) last.lines.push_back(Line{"", eol});
    Section s;
    s.header = Line{"[" + sectionName + "]", eol};
    sections_.push_back(std::move(s));
    sit = sectionIndex_.emplace(lowerSection, sections_.size() - 1).first;
  }
  Section& s = sections_[sit->second];
  const std::string lowerKey = lowerCase(keyName);
  const auto kit = s.keys.find(lowerKey);
  if (kit != s.keys.end()) {
    Line& line = s.lines[kit->second.line];
    const std::size_t eq = line.text.find('=');
    const std::string_view written = trim(std::string_view(line.text).substr(0, eq));
    line.text = std::string(written) + "=" + encoded;
    kit->second.value = std::string(value);
    return;
  }
  // A new key goes after the section's last non-blank line.
  std::size_t at = s.lines.size();
  while (at > 0 && trim(s.lines[at - 1].text).empty()) --at;
  if (&s == &sections_.back() && at == s.lines.size()) endLastLine();
  if (at > 0 && s.lines[at - 1].eol.empty()) s.lines[at - 1].eol = eol;
  if (at == 0 && s.header && s.header->eol.empty()) s.header->eol = eol;
  s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at),
                 Line{keyName + "=" + encoded, eol});
  for (auto& [name, entry] : s.keys)
    if (entry.line >= at) ++entry.line;
  s.keys.emplace(lowerKey, Entry{at, std::string(value)});
}

void IniFile::setInteger(std::string_view section, std::string_view key, int64_t value) {
  setString(section, key, std::to_string(value));
}

void IniFile::setFloat(std::string_view section, std::string_view key, double value) {
  setString(section, key, formatFloat(value));
}

void IniFile::setBool(std::string_view section, std::string_view key, bool value) {
  setString(section, key, value ? "1" : "0");
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  setString(section, key, value);
  return save();
}

bool IniFile::save() {
  if (!writeFileAtomically(path_, text())) return false;
  existed_ = true;
  readable_ = true;
  return true;
}

std::string IniFile::text() const {
  std::string out;
  for (const Section& s : sections_) {
    if (s.header) out += s.header->text + s.header->eol;
    for (const Line& l : s.lines) out += l.text + l.eol;
  }
  return out;
}

}  // namespace platform
