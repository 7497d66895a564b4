// settings_kill_check [KILLS]: kills a process with SIGKILL at random moments while it saves
// the settings file over and over, KILLS times (default 1000). After every kill the file must
// be, byte for byte, the complete file of one save or the one before: never empty, never cut
// short, comments and unknown sections still there. Prints the outcome; exit code 0 when every
// kill left a whole file.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/ini_file.h"

namespace {

namespace fs = std::filesystem;

const char* const kOriginal =
    "; Corvane settings of a long-time user\r\n"
    "[General]\r\n"
    "LastDatFileUsed=Corvane.dat\r\n"
    "MyNote=keep this\r\n"
    "LastLeft=300\r\n"
    "\r\n"
    "[Squadron]\r\n"
    "Callsign=Ghost\r\n"
    "\r\n"
    "[CableOps]\r\n"
    "; harder traps\r\n"
    "CableCatchAccelFactor=-900\r\n";

// One save as the program makes it: read the file, set every value, replace the file.
bool save(const std::string& path, int variant) {
  platform::IniFile settings(path);
  settings.setInteger("General", "LastLeft", variant == 0 ? 300 : 1234);
  settings.setInteger("General", "LastTop", variant == 0 ? 200 : 876);
  settings.setFloat("CableOps", "CableCatchAccelFactor", variant == 0 ? -900.0 : -712.5);
  settings.setInteger("CatapultOps", "CatapultSpeedCutoffKnots", variant == 0 ? 120 : 150);
  settings.setInteger("FuelOps", "TransferRateIndex", variant);
  return settings.save();
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  const int kills = argc > 1 ? std::atoi(argv[1]) : 1000;
  const fs::path dir = fs::temp_directory_path() / ("corvane_kill_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "Corvane.INI").string();
  std::ofstream(path, std::ios::binary) << kOriginal;
  // The files a save can leave: the original, and the file of each variant.
  if (!save(path, 0)) return 2;
  const std::string first = readAll(path);
  if (!save(path, 1)) return 2;
  const std::string second = readAll(path);
  std::ofstream(path, std::ios::binary) << kOriginal;

  const unsigned seed = static_cast<unsigned>(
      std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFFF);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delayUs(0, 4000);
  int whole = 0, broken = 0, unchanged = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kills; ++i) {
    const pid_t child = fork();
    if (child == 0) {
      for (int variant = i % 2;; variant ^= 1) save(path, variant);
    }
    usleep(static_cast<useconds_t>(delayUs(random)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string now = readAll(path);
    if (now == kOriginal) {
      ++unchanged;
    } else if (now == first || now == second) {
      ++whole;
    } else {
      ++broken;
      std::fprintf(stderr, "kill %d left a broken file of %zu bytes:\n%s\n", i + 1, now.size(),
                   now.c_str());
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Killed saves leave their temporary files; the next save removes those a minute old.
  auto leftovers = [&dir] {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().filename() != "Corvane.INI") ++n;
    return n;
  };
  const int left = leftovers();
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename() != "Corvane.INI")
      fs::last_write_time(entry.path(),
                          fs::last_write_time(entry.path()) - std::chrono::minutes(2));
  save(path, 0);
  const int leftAfterNextSave = leftovers();
  std::printf(
      "settings_kill_check: %d kills in %.1f s (seed %u): %d whole files (%d still the "
      "original), %d broken; %d temporary files left by killed saves, %d after the next save "
      "a minute later\n",
      kills, seconds, seed, whole + unchanged, unchanged, broken, left, leftAfterNextSave);
  fs::remove_all(dir);
  return broken == 0 && leftAfterNextSave == 0 ? 0 : 1;
}
