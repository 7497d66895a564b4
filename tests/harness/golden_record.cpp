#include "harness/golden_record.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "cli/command_line.h"
#include "config/config_names.h"
#include "harness/golden_controls.h"
#include "harness/harness.h"
#include "sim/sim_server.h"

namespace golden {

namespace fs = std::filesystem;

namespace {

constexpr const char* kScenarioFolder = "samples/scenarios";
constexpr const char* kSessionFolder = "tests/golden/sessions";
/// Longest flight of a scenario, virtual milliseconds.
constexpr int64_t kScenarioMaxMs = 600000;
/// What the program folder is called in a record, wherever the run put it.
constexpr const char* kFolderMark = "<folder>/";

std::string readSourceFile(const std::string& relative) {
  std::ifstream in(fs::path(CORVANE_SOURCE_DIR) / relative, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + relative + " of the source tree");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

/// One line of a record holds any text: backslash, control characters and bytes outside
/// printable ASCII are escaped.
std::string escape(std::string_view s) {
  std::string out;
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 32 || c >= 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

std::string hex(const uint8_t* data, size_t size) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < size; ++i) {
    s.push_back(digits[data[i] >> 4]);
    s.push_back(digits[data[i] & 15]);
  }
  return s;
}

/// A written value: quoted text when it is a zero-terminated string of at least three
/// printable characters padded with zeros (a message), else its bytes in hex, in memory order.
std::string writtenValue(const uint8_t* data, size_t size) {
  size_t n = 0;
  while (n < size && data[n] >= 32 && data[n] < 127) ++n;
  const bool text =
      n >= 3 && n < size && std::all_of(data + n, data + size, [](uint8_t b) { return b == 0; });
  if (text) return "\"" + escape(std::string_view(reinterpret_cast<const char*>(data), n)) + "\"";
  return hex(data, size);
}

/// Regular files of the program folder by name, with their bytes.
std::map<std::string, std::string> folderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    files[e.path().filename().string()] = s.str();
  }
  return files;
}

/// Hears everything the program does in one harness and writes it as lines "TIME EVENT",
/// TIME in virtual milliseconds since the recorder started.
class Recorder {
 public:
  explicit Recorder(harness::Harness& h) : h_(h), startMs_(h.clock.nowMs()) {
    h_.server->onBlock = [this](const uint8_t* block, size_t size) { onBlock(block, size); };
    h_.onSound = [this](const platform::SoundEvent& e) {
      add("sound " + e.player + " " + e.what + (e.file.empty() ? "" : " " + e.file));
    };
    h_.onErrorBox = [this](const std::string& text) { add("error-box " + text); };
    h_.beforeCreate = [this](TFormMain& form) { bind(form); };
    startFiles_ = folderFiles(h_.folder);
  }
  ~Recorder() {
    h_.server->onBlock = nullptr;
    h_.onSound = nullptr;
    h_.onErrorBox = nullptr;
    if (h_.started()) {
      for (const TControlEntry& e : h_.form().controls()) e.control->onChange = nullptr;
      h_.form().Screen.onChange = nullptr;
    }
  }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  /// One event at the current virtual time.
  void add(const std::string& event) {
    text_ += std::to_string(h_.clock.nowMs() - startMs_) + " " + escape(clean(event)) + "\n";
  }
  /// A line without time (headings, file contents).
  void note(const std::string& line) { text_ += escape(clean(line)) + "\n"; }

  /// The state of every control and timer, under a heading.
  void snapshot(const char* heading) {
    note(std::string("# ") + heading);
    for (const TControlEntry& e : h_.form().controls()) note(nameOf(e) + StateOf(*e.control));
    note("Screen cursor=" + std::string(CursorName(h_.form().Screen.cursor())));
    for (platform::Timer* t : h_.form().timers())
      note(t->name() + " interval=" + std::to_string(t->interval()) +
           " enabled=" + (t->enabled() ? "1" : "0"));
  }

  /// Every file of the program folder that the run created, changed or removed, in full.
  void files() {
    note("# files");
    const std::map<std::string, std::string> now = folderFiles(h_.folder);
    std::map<std::string, bool> names;
    for (const auto& [name, content] : startFiles_) names[name] = true;
    for (const auto& [name, content] : now) names[name] = true;
    for (const auto& [name, unused] : names) {
      const auto before = startFiles_.find(name);
      const auto after = now.find(name);
      if (after == now.end()) {
        note("file " + name + " removed");
        continue;
      }
      const bool unchanged = before != startFiles_.end() && before->second == after->second;
      // The settings file is shown even when the program wrote back what it read.
      if (unchanged && name != SettingsFileName) {
        note("file " + name + " unchanged");
        continue;
      }
      note("file " + name +
           (unchanged                     ? " unchanged"
            : before == startFiles_.end() ? " created"
                                          : " changed"));
      const std::string& content = after->second;
      size_t from = 0;
      while (from < content.size()) {
        size_t nl = content.find('\n', from);
        if (nl == std::string::npos) {
          note("| " + content.substr(from));
          note("# no line end at the end of " + name);
          break;
        }
        note("| " + content.substr(from, nl - from));
        from = nl + 1;
      }
    }
  }

  /// A file the session put into (or took out of) the program folder is input, not output.
  void inputChanged(const std::string& name) {
    const std::map<std::string, std::string> now = folderFiles(h_.folder);
    if (const auto it = now.find(name); it != now.end())
      startFiles_[name] = it->second;
    else
      startFiles_.erase(name);
  }

  std::string text() const { return text_; }
  bool hasForm() const { return h_.started(); }

 private:
  static std::string nameOf(const TControlEntry& e) {
    return std::string_view(e.window) == "frmToolbar" ? "frmToolbar." + e.control->name()
                                                      : e.control->name();
  }

  /// The program folder is named by its mark: runs put it in different places.
  std::string clean(std::string s) const {
    for (size_t at = s.find(h_.folder); at != std::string::npos; at = s.find(h_.folder, at))
      s.replace(at, h_.folder.size(), kFolderMark);
    return s;
  }

  void bind(TFormMain& form) {
    snapshot("controls and timers before creation");
    for (const TControlEntry& e : form.controls()) {
      const std::string name = nameOf(e);
      e.control->onChange = [this, name](platform::Control& c, platform::Change what) {
        add(name + " " + ChangeName(what) + "=" + ValueOf(c, what));
      };
    }
    form.Screen.onChange = [this](platform::Cursor c) {
      add(std::string("Screen cursor=") + CursorName(c));
    };
  }

  void onBlock(const uint8_t* block, size_t size) {
    std::vector<sim::RequestRecord> records;
    if (!sim::parseRequestBlock(block, size, records)) {
      add("block malformed " + hex(block, size));
      return;
    }
    std::string line = "block";
    char head[32];
    for (const sim::RequestRecord& r : records) {
      std::snprintf(head, sizeof head, " %c%04X:%u", r.write ? 'W' : 'R', r.offset, r.size);
      line += head;
      if (r.write) line += "=" + writtenValue(block + r.dataPos, r.size);
    }
    add(line);
  }

  harness::Harness& h_;
  int64_t startMs_;
  std::string text_;
  std::map<std::string, std::string> startFiles_;
};

/// The options a recorded flight runs with: the sample settings, with the trap log and the
/// special sound handling turned on, which only add to what the program does in flight (the
/// battle damage sounds stay off: they replace the damage messages the scenarios expect).
std::string scenarioSettings(std::string ini) {
  for (const char* key : {"SpecialSoundHandling", "TrapLog"}) {
    const std::string off = std::string(key) + "=0";
    if (const size_t at = ini.find(off); at != std::string::npos)
      ini.replace(at, off.size(), std::string(key) + "=1");
  }
  return ini;
}

void copySounds(harness::Harness& h) {
  for (const char* name : {"CableCatch.wav", "Catapult.wav"})
    h.writeFile(name, readSourceFile(std::string("samples/") + name));
}

std::string header(const GoldenCase& c) {
  return std::string("# Corvane golden record, edition ") +
         (IsFS2004Edition ? "FS2004" : "FS2002") + ", " + (c.session ? "session " : "scenario ") +
         c.source + "\n# Written by scripts/golden --update; lines are TIME(ms) EVENT.\n";
}

std::string recordScenario(const GoldenCase& c) {
  harness::Harness h(harness::Options::flying());
  copySounds(h);
  h.writeFile("Corvane.INI", scenarioSettings(h.readFile("Corvane.INI")));
  Recorder rec(h);
  std::string summary;
  const int result = h.flyScenario(c.source, kScenarioMaxMs, summary);
  rec.add("scenario exit " + std::to_string(result));
  std::istringstream lines(summary);
  for (std::string line; std::getline(lines, line);) rec.note("# summary: " + line);
  if (h.started()) {
    rec.add("quit");
    h.form().FormClose();
    rec.snapshot("controls and timers at the end");
  }
  rec.files();
  return header(c) + rec.text();
}

/// A scripted session, one step a line:
///   wait MS                 run the program's timers for MS virtual milliseconds
///   file NAME SOURCE        copy a file of the source tree into the program folder as NAME
///   remove NAME             delete a file of the program folder
///   server absent|present   whether the program finds the server when it connects
///   server sim-index N|right-sim   the simulator the server reports: index N, or this edition's
///   start                   create the window (any other step starts it when needed)
///   quit                    close the window (settings saved, link closed)
///   anything else           a line for the command reader, as typed on corvane-cli
std::string recordSession(const GoldenCase& c) {
  harness::Harness h;
  copySounds(h);
  Recorder rec(h);
  std::istringstream script(readSourceFile(c.source));
  auto start = [&] {
    if (h.started()) return;
    rec.add("start");
    h.start();
  };
  bool closed = false;
  int lineNumber = 0;
  for (std::string line; std::getline(script, line);) {
    ++lineNumber;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string verb, a, b;
    words >> verb >> a >> b;
    if (verb.empty()) continue;
    if (verb == "file") {
      h.writeFile(a, readSourceFile(b));
      rec.add("file " + a + " from " + b);
      rec.inputChanged(a);
    } else if (verb == "remove") {
      std::error_code ec;
      fs::remove(h.folder + a, ec);
      rec.add("remove " + a);
      rec.inputChanged(a);
    } else if (verb == "server") {
      using Server = platform::LoopbackTransport::Server;
      if (a == "absent" || a == "present") {
        h.transport->setServer(a == "absent" ? Server::None : Server::Fsuipc);
      } else if (a == "sim-index" || a == "right-sim") {
        // The index of the simulator this edition works with, or any other.
        sim::ServerOptions o = h.server->options();
        o.simIndex = static_cast<uint16_t>(a == "sim-index"  ? std::stoi(b)
                                           : IsFS2004Edition ? 7
                                                             : 6);
        h.server->setOptions(o);
      } else {
        throw std::runtime_error(c.source + ":" + std::to_string(lineNumber) +
                                 ": unknown server state " + a);
      }
      rec.add("server " + a + (b.empty() ? "" : " " + b));
    } else if (verb == "wait") {
      start();
      h.runFor(std::stoll(a));
    } else if (verb == "start") {
      start();
    } else if (verb == "quit") {
      start();
      rec.add("quit");
      h.form().FormClose();
      closed = true;
    } else {
      start();
      const size_t first = line.find_first_not_of(" \t");
      const size_t last = line.find_last_not_of(" \t\r");
      const std::string command = line.substr(first, last - first + 1);
      rec.add("command " + command);
      std::string error;
      bool ok = true;
      h.loop.guard([&] { ok = RunCommandLine(h.form(), command, error); });
      if (!ok) rec.add("command refused: " + error);
    }
  }
  start();
  if (!closed) {
    rec.add("quit (end of session)");
    h.form().FormClose();
  }
  rec.snapshot("controls and timers at the end");
  rec.files();
  return header(c) + rec.text();
}

std::vector<std::string> sortedFiles(const std::string& relativeFolder, const std::string& ext) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& e :
       fs::directory_iterator(fs::path(CORVANE_SOURCE_DIR) / relativeFolder, ec))
    if (e.is_regular_file() && e.path().extension() == ext)
      names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::vector<GoldenCase> GoldenCases() {
  std::vector<GoldenCase> cases;
  for (const std::string& name : sortedFiles(kScenarioFolder, ".scn"))
    cases.push_back({"scenario-" + fs::path(name).stem().string() + ".txt",
                     std::string(kScenarioFolder) + "/" + name, false});
  for (const std::string& name : sortedFiles(kSessionFolder, ".session"))
    cases.push_back({"session-" + fs::path(name).stem().string() + ".txt",
                     std::string(kSessionFolder) + "/" + name, true});
  return cases;
}

std::string EditionRecordFolder() {
  return IsFS2004Edition ? "tests/golden/fs2004" : "tests/golden/fs2002";
}

std::string MakeRecord(const GoldenCase& c) {
  return c.session ? recordSession(c) : recordScenario(c);
}

std::string FirstDifference(const std::string& name, const std::string& expected,
                            const std::string& got) {
  if (expected == got) return {};
  std::istringstream e(expected), g(got);
  std::string le, lg;
  for (int line = 1;; ++line) {
    const bool he = static_cast<bool>(std::getline(e, le));
    const bool hg = static_cast<bool>(std::getline(g, lg));
    if (!he && !hg) break;
    if (he && hg && le == lg) continue;
    return name + ":" + std::to_string(line) +
           ": differs\n  expected: " + (he ? le : std::string("(end of record)")) +
           "\n  got:      " + (hg ? lg : std::string("(end of record)")) + "\n";
  }
  // Same lines: only the last line end differs.
  return name + ": differs in the line end of its last line\n";
}

}  // namespace golden
