// The pilot's guide (docs/guide.md) lists the hot keys and the options in two tables. These
// tests read both tables and hold them against the program's own: the action table and the
// option rows, so that the guide cannot drift from what the program does.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/action_table.h"
#include "catapult/plain_form.h"
#include "config/options.h"

namespace {

using Cells = std::vector<std::string>;

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

Cells splitRow(const std::string& line) {
  std::string body = trim(line);
  if (!body.empty() && body.front() == '|') body.erase(0, 1);
  if (!body.empty() && body.back() == '|') body.pop_back();
  Cells cells;
  std::stringstream in(body);
  std::string cell;
  while (std::getline(in, cell, '|')) cells.push_back(trim(cell));
  return cells;
}

/// The body rows of the first Markdown table of text whose header row has a cell equal to
/// headerCell; empty when there is none.
std::vector<Cells> tableWithHeader(const std::string& text, const std::string& headerCell) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (trim(lines[i]).rfind('|', 0) != 0) continue;
    const Cells header = splitRow(lines[i]);
    bool found = false;
    for (const std::string& c : header) found = found || c == headerCell;
    if (!found) continue;
    std::vector<Cells> rows;
    for (size_t j = i + 2; j < lines.size() && trim(lines[j]).rfind('|', 0) == 0; ++j)
      rows.push_back(splitRow(lines[j]));
    return rows;
  }
  return {};
}

std::string readGuide() {
  std::ifstream in(CORVANE_GUIDE_FILE, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

/// Compares the rows the program expects with the guide's, both keyed, and lists every row
/// missing from the guide, every extra one and every one that differs.
std::string differences(const std::map<std::string, Cells>& expected,
                        const std::map<std::string, Cells>& guide) {
  const auto joined = [](const Cells& c) {
    std::string s;
    for (const std::string& x : c) s += "| " + x + " ";
    return s + "|";
  };
  std::string out;
  for (const auto& [key, cells] : expected) {
    const auto it = guide.find(key);
    if (it == guide.end())
      out += "missing in the guide: " + joined(cells) + "\n";
    else if (it->second != cells)
      out += "guide has " + joined(it->second) + "\n   program " + joined(cells) + "\n";
  }
  for (const auto& [key, cells] : guide)
    if (!expected.count(key)) out += "extra in the guide: " + joined(cells) + "\n";
  return out;
}

/// Hot keys: the SHIFT key, the SHIFT+CTRL key, the Keystrokes page text and the toolbar
/// button's caption of every action with a key, keyed by the SHIFT key.
TEST(Guide, HotKeyTableMatchesTheActionTable) {
  const std::vector<Cells> rows = tableWithHeader(readGuide(), "With SHIFT");
  ASSERT_FALSE(rows.empty()) << "no hot-key table in " << CORVANE_GUIDE_FILE;

  std::map<std::string, Cells> expected, guide;
  for (const TActionRow& row : ActionTable()) {
    if (!row.HotKey.Key) continue;
    const std::string key = row.HotKey.Key;
    expected["SHIFT+" + key] = {"SHIFT+" + key, "SHIFT+CTRL+" + key,
                                row.KeyLabel.Text ? row.KeyLabel.Text : "",
                                trim(row.ToolbarButton.Caption ? row.ToolbarButton.Caption : "")};
  }
  for (const Cells& c : rows) {
    ASSERT_GE(c.size(), 4u);
    EXPECT_FALSE(guide.count(c[0])) << "twice in the guide: " << c[0];
    guide[c[0]] = Cells(c.begin(), c.begin() + 4);
  }
  EXPECT_EQ(differences(expected, guide), "");
}

/// Options: the caption, the settings key with its section, the range and the default of every
/// option row, keyed by section and key. A number's range is "low to high, steps of n", a
/// check box's "off or on", a radio group's its items by index.
TEST(Guide, OptionTableMatchesTheOptionRows) {
  const std::vector<Cells> rows = tableWithHeader(readGuide(), "Settings key");
  ASSERT_FALSE(rows.empty()) << "no option table in " << CORVANE_GUIDE_FILE;

  catapult_test::PlainForm plain;
  TFormMain& form = *plain.form;
  form.SetCaptions();
  std::map<std::string, Cells> expected, guide;
  for (const TOptionRow& r : form.options.rows()) {
    std::string caption, range, fallback;
    switch (r.kind) {
      case TOptionKind::Real:
      case TOptionKind::Integer: {
        caption = r.caption->text();
        const int lo = std::min(r.updown->minimum(), r.updown->maximum());
        const int hi = std::max(r.updown->minimum(), r.updown->maximum());
        range = std::to_string(lo) + " to " + std::to_string(hi) + ", steps of " +
                std::to_string(r.updown->increment());
        fallback = std::to_string(static_cast<int>(r.defaultValue));
        EXPECT_EQ(static_cast<int>(r.defaultValue), r.defaultValue) << r.key;
        break;
      }
      case TOptionKind::Check:
        caption = r.check->caption();
        range = "off or on";
        fallback = r.defaultValue != 0 ? "on" : "off";
        break;
      case TOptionKind::Choice: {
        caption = r.choice->caption();
        const std::vector<std::string>& items = r.choice->items();
        for (size_t i = 0; i < items.size(); ++i)
          range += (i ? ", " : "") + std::to_string(i) + " = `" + items[i] + "`";
        fallback = std::to_string(static_cast<int>(r.defaultValue));
        break;
      }
    }
    const std::string id = std::string(r.section) + " " + r.key;
    // A control this edition hides has no caption: the guide keeps the other edition's.
    expected[id] = {trim(caption), "`" + std::string(r.key) + "` in `[" + r.section + "]`", range,
                    fallback};
  }

  const std::regex keyCell("`(\\w+)` in `\\[(\\w+)\\]`");
  for (const Cells& c : rows) {
    ASSERT_GE(c.size(), 5u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(c[2], m, keyCell)) << "settings key cell: " << c[2];
    const std::string id = m[2].str() + " " + m[1].str();
    EXPECT_FALSE(guide.count(id)) << "twice in the guide: " << id;
    Cells cells{c[0], c[2], c[3], c[4]};
    const auto it = expected.find(id);
    if (it != expected.end() && it->second[0].empty()) cells[0] = "";
    guide[id] = cells;
  }
  EXPECT_EQ(differences(expected, guide), "");
}

}  // namespace
