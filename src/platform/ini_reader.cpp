#include "platform/ini_reader.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/ini_syntax.h"

namespace platform {

namespace {

/// The whole content of a regular file, read into a string of its exact size; nothing when
/// it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::nullopt;
  std::string text;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec) text.resize(static_cast<std::size_t>(size));
  std::size_t got = std::fread(text.data(), 1, text.size(), f);
  if (got == text.size()) {  // a file that grew since its size was taken is read to its end
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    got = text.size();
  }
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) return std::nullopt;
  text.resize(got);
  return text;
}

/// FNV-1a of the name in lower case.
uint64_t hashName(std::string_view name) {
  uint64_t h = 14695981039346656037ull;
  for (char c : name) {
    h ^= static_cast<unsigned char>(ini::asciiLower(c));
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

IniReader::IniReader(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (ec && ec != std::errc::no_such_file_or_directory) {
    readable_ = false;
  } else if (std::filesystem::exists(st)) {
    std::optional<std::string> text;
    if (std::filesystem::is_regular_file(st)) text = readWholeFile(path);
    if (text)
      text_ = std::move(*text);
    else
      readable_ = false;
  }
  index();
}

IniReader IniReader::fromText(std::string text) {
  IniReader r;
  r.text_ = std::move(text);
  r.index();
  return r;
}

void IniReader::index() {
  const std::string_view text = text_;
  Section* current = nullptr;
  for (std::size_t pos = 0; pos < text.size();) {
    const ini::RawLine raw = ini::lineAt(text, pos);
    const ini::LineMeaning meaning = ini::classifyLine(raw.text, pos == 0);
    if (meaning.kind == ini::LineMeaning::Section) {
      if (current) current->end = pos;
      sections_.push_back(Section{meaning.name, raw.next, text.size(), hashName(meaning.name)});
      current = &sections_.back();
    } else if (current && meaning.kind == ini::LineMeaning::Key) {
      current->hasKeys = true;
    }
    pos = raw.next;
  }
  buildTable();
}

void IniReader::buildTable() {
  std::size_t slots = 16;
  while (slots < 2 * sections_.size()) slots *= 2;
  table_.assign(slots, 0);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const Section& s = sections_[i];
    for (std::size_t slot = s.hash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
      if (table_[slot] == 0) {
        table_[slot] = static_cast<uint32_t>(i + 1);
        break;
      }
      const Section& other = sections_[table_[slot] - 1];
      if (other.hash == s.hash && ini::equalIgnoringCase(other.name, s.name)) break;  // first wins
    }
  }
}

const IniReader::Section* IniReader::findSection(std::string_view name) const {
  name = ini::trim(name);
  const uint64_t hash = hashName(name);
  const std::size_t mask = table_.size() - 1;
  for (std::size_t slot = hash & mask; table_[slot] != 0; slot = (slot + 1) & mask) {
    const Section& s = sections_[table_[slot] - 1];
    if (s.hash == hash && ini::equalIgnoringCase(s.name, name)) return &s;
  }
  return nullptr;
}

bool IniReader::sectionHasKeys(std::string_view section) const {
  const Section* s = findSection(section);
  return s && s->hasKeys;
}

std::optional<std::string_view> IniReader::readValue(std::string_view section,
                                                     std::string_view key) const {
  std::optional<std::string_view> value;
  readValues(section, std::span(&key, 1), std::span(&value, 1));
  return value;
}

bool IniReader::readValues(std::string_view section, std::span<const std::string_view> keys,
                           std::span<std::optional<std::string_view>> values) const {
  for (auto& v : values) v.reset();
  const Section* s = findSection(section);
  if (!s || !s->hasKeys) return false;
  const std::string_view text = std::string_view(text_).substr(0, s->end);
  std::size_t missing = keys.size();
  std::size_t next = 0;  // keys usually come in the order asked for: try the next one first
  for (std::size_t pos = s->begin; pos < text.size() && missing > 0;) {
    const ini::RawLine raw = ini::lineAt(text, pos);
    pos = raw.next;
    const ini::LineMeaning meaning = ini::classifyLine(raw.text, false);
    if (meaning.kind != ini::LineMeaning::Key) continue;
    for (std::size_t tried = 0; tried < keys.size(); ++tried) {
      const std::size_t i = (next + tried) % keys.size();
      if (ini::equalIgnoringCase(meaning.name, ini::trim(keys[i]))) {
        if (!values[i]) {  // the first key of a name wins
          values[i] = meaning.value;
          --missing;
        }
        next = i + 1;
        break;
      }
    }
  }
  return true;
}

}  // namespace platform
