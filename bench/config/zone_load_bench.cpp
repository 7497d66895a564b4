// Load time and peak memory of carrier data files of 1,000, 10,000 and 100,000 generated
// zones, and the time of one nearest-carrier search over them. Each size is loaded in a fresh
// child process (this program run with --load), so its peak memory is the load's alone.
// Prints figures only; the last lines ("figure: ...") are gathered by scripts/bench.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "activity/activity.h"
#include "arrest/arrest.h"
#include "config/carrier_data.h"
#include "config/memory_use.h"
#include "config/zone_file.h"
#include "cues/cues.h"
#include "fuel/fuel_transfer_unit.h"
#include "handshake_server.h"
#include "logbook/trap_log.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/ipc_loopback.h"
#include "platform/os.h"
#include "simlink/sim_link.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLoadRounds = 3;
constexpr int kSearchRounds = 51;
constexpr const char* kResultName = "result.txt";

std::string generateDataFile(int zoneCount) {
  std::string text = "; generated for the load benchmark\r\n";
  char buf[640];
  for (int n = 1; n <= zoneCount; ++n) {
    const double lat = -60.0 + (n % 1200) * 0.1;
    const double lon = -170.0 + (n % 3400) * 0.1;
    std::snprintf(buf, sizeof buf,
                  "[%s]\r\nCarrierIdent=CVN-%d Generated\r\n"
                  "FrontRightCornerLat=%.5f\r\nFrontRightCornerLon=%.5f\r\n"
                  "FrontLeftCornerLat=%.5f\r\nFrontLeftCornerLon=%.5f\r\n"
                  "BackLeftCornerLat=%.5f\r\nBackLeftCornerLon=%.5f\r\n"
                  "BackRightCornerLat=%.5f\r\nBackRightCornerLon=%.5f\r\n"
                  "DeckAltInFeet=60\r\nCableCatchZoneHeightInFeet=4.5\r\n"
                  "RunwayHeadingInDegreesMag=%d\r\n\r\n",
                  ZoneSectionName(n).c_str(), n, lat, lon + 0.0012, lat + 0.00013, lon + 0.0012,
                  lat + 0.00013, lon, lat, lon, n % 360);
    text += buf;
  }
  return text;
}

double msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

/// The carrier data and the arrest alone, with the controls, timers and neighbours their views
/// name, on a virtual clock and a link to a server that answers the handshake only.
struct Subsystems {
  explicit Subsystems(const std::string& folder)
      : ProgramFolder(folder), transport(bench::handshakeOnlyServer) {}

  std::string ProgramFolder;
  platform::VirtualClock clock;
  platform::EventLoop loop{clock};
  platform::LoopbackTransport transport;
  simlink::Link link{&transport, &clock};
  platform::ComboBox cmbDatFile{"cmbDatFile"};
  platform::FileListBox lstboxDatFiles{"lstboxDatFiles"};
  platform::Label lblNumOfCarriersLoaded{"lblNumOfCarriersLoaded"}, lblConnectionInfo{"c"},
      lblFlightStatus{"f"}, lblCableCatchStatus{"s"}, lblActivelyCheckingStatus{"a"},
      lblNearestCarrier{"n"}, lblCurrentMagVar{"m"}, lblOtherStatus{"o"}, lblFuel{"u"};
  platform::Screen Screen;
  platform::CheckBox unchecked{"x"};
  platform::SpeedButton btnManualDisable{"btnManualDisable"};
  platform::RadioGroup rate{"rdgrpFuelTransferRate"};
  platform::Timer gate{loop, "tmrIsCatchCheckNeeded", 1000, false},
      find{loop, "tmrFindNearest", 15000, false}, check{loop, "tmrCheckForCatch", 50, false},
      decel{loop, "tmrDecel", 10, false}, accel{loop, "tmrAccel", 5, false},
      keys{loop, "tmrKeystroke", 250, false}, launchCheck{loop, "tmrLaunchCheck", 7, false};
  TActivity activity{{check, decel, accel, launchCheck}};
  TCues cues{{unchecked, unchecked, unchecked, lblOtherStatus, ProgramFolder, link}, {}};
  TTrapLog trapLog{{unchecked, lblOtherStatus, cues, clock, ProgramFolder}};
  fuel::FuelTransferUnit fuel{
      {rate, lblFuel, btnManualDisable, link, [](const std::string&, int16_t) {}}};
  TOptionValues optionValues;
  TCarrierData carrierData{{link, cmbDatFile, lstboxDatFiles, lblNumOfCarriersLoaded,
                            lblConnectionInfo, Screen, activity, gate, find, keys, clock,
                            ProgramFolder, [] {}, [](bool) {}, [] {}, [] {}}};
  TArrest arrest{{link,
                  lblFlightStatus,
                  lblCableCatchStatus,
                  lblActivelyCheckingStatus,
                  lblNearestCarrier,
                  lblCurrentMagVar,
                  unchecked,
                  unchecked,
                  unchecked,
                  unchecked,
                  unchecked,
                  btnManualDisable,
                  gate,
                  find,
                  keys,
                  activity,
                  cues,
                  trapLog,
                  fuel,
                  clock,
                  [this] { return carrierData.CatchZones.get(); },
                  optionValues,
                  [] { return int64_t{0}; },
                  [](bool) {},
                  [] {},
                  [] {},
                  [](const std::string&) {},
                  [] {}}};
};

/// The child: loads folder/Corvane.dat kLoadRounds times and searches it; writes
/// "zones loadMs peakAddedKb searchUs" to folder/result.txt.
int loadAndSearch(const std::string& folder) {
  Subsystems s(folder);
  uint32_t result = 0;
  if (!s.link.SimLinkOpen(0, result)) return 2;
  s.carrierData.PrepareCatchZoneList();
  s.lstboxDatFiles.setDirectory(folder);
  s.carrierData.FillDatFileList();
  s.cmbDatFile.setItemIndex(0);

  const MemoryUse before = memoryUse();
  double bestMs = 1e9;
  for (int round = 0; round < kLoadRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = s.carrierData.LoadCatchZones();
    bestMs = std::min(bestMs, msSince(start));
    if (!ok) return 3;
    // The first search must not find the link closed.
    if (round == 0) s.link.SimLinkOpen(0, result);
  }
  const MemoryUse after = memoryUse();

  std::vector<double> searchUs;
  for (int i = 0; i < kSearchRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    s.arrest.FindNearestCarrier();
    searchUs.push_back(msSince(start) * 1000.0);
  }
  std::sort(searchUs.begin(), searchUs.end());
  s.link.SimLinkClose();
  if (s.arrest.NearestZoneIndex < 0) return 4;
  std::ofstream(folder + kResultName)
      << s.carrierData.CatchZones->size() << ' ' << bestMs << ' '
      << (after.peakKb - before.currentKb) << ' ' << searchUs[searchUs.size() / 2] << '\n';
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--load") return loadAndSearch(argv[2]);

  const fs::path dir = fs::temp_directory_path() /
                       ("corvane_zone_bench_" + std::to_string(platform::currentProcessId()));
  std::printf("Carrier data files, each loaded in a fresh process (best of %d loads)\n",
              kLoadRounds);
  std::printf("%8s %10s %10s %14s %14s %12s\n", "zones", "file MB", "load ms", "peak added MB",
              "peak / file", "search us");
  struct Row {
    int zones;
    double fileMb, loadMs, peakMb, searchUs;
  };
  std::vector<Row> rows;
  for (int zones : {1'000, 10'000, 100'000}) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string folder = dir.string() + "/";
    double fileMb = 0;
    {
      const std::string text = generateDataFile(zones);
      std::ofstream(folder + "Corvane.dat", std::ios::binary) << text;
      fileMb = static_cast<double>(text.size()) / (1024.0 * 1024.0);
    }
    platform::ChildProcess child(argv[0], {"--load", folder});
    const int code = child.wait(120'000);
    Row row{zones, fileMb, 0, 0, 0};
    int loaded = 0;
    double peakKb = 0;
    std::ifstream in(folder + kResultName);
    if (code != 0 || !(in >> loaded >> row.loadMs >> peakKb >> row.searchUs) || loaded != zones) {
      std::printf("%8d load failed (exit code %d)\n", zones, code);
      fs::remove_all(dir);
      return 1;
    }
    row.peakMb = peakKb / 1024.0;
    std::printf("%8d %10.1f %10.1f %14.1f %14.2f %12.1f\n", zones, fileMb, row.loadMs, row.peakMb,
                row.peakMb / fileMb, row.searchUs);
    rows.push_back(row);
  }
  fs::remove_all(dir);

  const Row& big = rows.back();
  auto verdict = [](bool ok) { return ok ? "met" : "NOT MET"; };
  std::printf(
      "figure: zone load, 1k / 10k / 100k zones | %.1f / %.1f / %.1f ms | <= 300 ms at "
      "100k | growth x%.1f from 10k to 100k | %s\n",
      rows[0].loadMs, rows[1].loadMs, big.loadMs, big.loadMs / rows[1].loadMs,
      verdict(big.loadMs <= 300));
  std::printf(
      "figure: zone load peak memory, 1k / 10k / 100k | %.1f / %.1f / %.1f MB | <= 2x "
      "file (%.1f MB) at 100k | %.2fx the file | %s\n",
      rows[0].peakMb, rows[1].peakMb, big.peakMb, 2 * big.fileMb, big.peakMb / big.fileMb,
      verdict(big.peakMb <= 2 * big.fileMb));
  std::printf(
      "figure: nearest-carrier search, 1k / 10k / 100k | %.1f / %.1f / %.1f us | <= "
      "1000 us at 100k | one exchange included | %s\n",
      rows[0].searchUs, rows[1].searchUs, big.searchUs, verdict(big.searchUs <= 1000));
  return 0;
}
