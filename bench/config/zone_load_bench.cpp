// Loads a generated carrier data file of 10,000 zones and prints how long it takes.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>


#include "app/form_main.h"
#include "config/zone_file.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/os.h"
#include "platform/ini_file.h"
#include "platform/random.h"

namespace {

constexpr int ZoneCount = 10'000;
constexpr int Rounds = 5;

std::string generateDataFile() {
  std::string text = "; generated for the load benchmark\r\n";
  char buf[640];
  for (int n = 1; n <= ZoneCount; ++n) {
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

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("corvane_zone_bench_" + std::to_string(platform::currentProcessId()));
  fs::create_directories(dir);
  const std::string folder = dir.string() + "/";
  const std::string text = generateDataFile();
  std::ofstream(folder + "Corvane.dat", std::ios::binary) << text;

  platform::VirtualClock clock;
  platform::EventLoop loop(clock);
  platform::Random random;
  TFormMain form(TFormServices{&loop, &random, {}, folder, {}});
  form.ProgramFolder = folder;
  form.PrepareCatchZoneList();
  form.lstboxDatFiles.setDirectory(folder);
  form.FillDatFileList();
  form.cmbDatFile.setItemIndex(0);

  std::printf("data file: %d zones, %zu bytes\n", ZoneCount, text.size());
  double best = 1e9, bestParse = 1e9;
  for (int round = 0; round < Rounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    const platform::IniFile parsed(folder + "Corvane.dat");
    bestParse = std::min(bestParse, secondsSince(start));

    start = std::chrono::steady_clock::now();
    const bool ok = form.LoadCatchZones();
    const double s = secondsSince(start);
    best = std::min(best, s);
    if (!ok || form.CatchZones->size() != static_cast<size_t>(ZoneCount)) {
      std::printf("load failed: %s\n", form.lblConnectionInfo.text().c_str());
      fs::remove_all(dir);
      return 1;
    }
    std::printf("round %d: LoadCatchZones %.1f ms (%s)\n", round + 1, s * 1e3,
                form.lblNumOfCarriersLoaded.text().c_str());
  }
  std::printf("best: read and parse %.1f ms; LoadCatchZones %.1f ms = %.0f zones per second\n",
              bestParse * 1e3, best * 1e3, ZoneCount / best);
  fs::remove_all(dir);
  return 0;
}
