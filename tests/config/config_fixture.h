#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>


#include "app/form_main.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/os.h"
#include "platform/random.h"

namespace configtest {

/// Values of a valid zone; a test overrides or removes single keys.
using ZoneKeys = std::map<std::string, std::optional<std::string>>;

inline ZoneKeys validZoneKeys() {
  return {{"CarrierIdent", "CVN-99 Test"},       {"FrontRightCornerLat", "36.95012"},
          {"FrontRightCornerLon", "-76.29900"},  {"FrontLeftCornerLat", "36.95025"},
          {"FrontLeftCornerLon", "-76.29900"},   {"BackLeftCornerLat", "36.95025"},
          {"BackLeftCornerLon", "-76.30020"},    {"BackRightCornerLat", "36.95012"},
          {"BackRightCornerLon", "-76.30020"},   {"DeckAltInFeet", "60"},
          {"CableCatchZoneHeightInFeet", "4.5"}, {"RunwayHeadingInDegreesMag", "90"}};
}

/// One zone section; a key whose value is nullopt is left out.
inline std::string zoneSection(const std::string& name, const ZoneKeys& overrides = {}) {
  ZoneKeys keys = validZoneKeys();
  for (const auto& [k, v] : overrides) keys[k] = v;
  std::string s = "[" + name + "]\r\n";
  for (const auto& [k, v] : keys)
    if (v) s += k + "=" + *v + "\r\n";
  return s;
}

/// A main window on a virtual clock with its own temporary program folder and no server:
/// the link stays closed, so nothing but the configuration code does anything.
class ConfigTest : public ::testing::Test {
 protected:
  ConfigTest() {
    static int counter = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("corvane_config_" + std::to_string(platform::currentProcessId()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
    folder = dir_.string() + "/";
    TFormServices services{
        &loop, &random, {}, folder, [this](const std::string& t) { errorBoxes.push_back(t); }};
    form = std::make_unique<TFormMain>(std::move(services));
    form->SetCaptions();
    form->ProgramFolder = folder;
    form->carrierData.PrepareCatchZoneList();
  }
  ~ConfigTest() override {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  void writeFile(const std::string& name, const std::string& content) const {
    std::ofstream(folder + name, std::ios::binary) << content;
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(folder + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool fileExists(const std::string& name) const { return std::filesystem::exists(folder + name); }

  /// Lists the folder's data files into the combo box, as the start sequence does.
  bool listDatFiles() {
    form->lstboxDatFiles.setDirectory(folder);
    return form->carrierData.FillDatFileList();
  }
  /// Writes a data file, selects it and loads it.
  bool loadDat(const std::string& content, const std::string& name = "Corvane.dat") {
    writeFile(name, content);
    listDatFiles();
    for (size_t i = 0; i < form->cmbDatFile.items().size(); ++i)
      if (form->cmbDatFile.items()[i] == name) form->cmbDatFile.setItemIndex(static_cast<int>(i));
    return form->carrierData.LoadCatchZones();
  }
  size_t zoneCount() const { return form->carrierData.CatchZones ? form->carrierData.CatchZones->size() : 0; }

  platform::VirtualClock clock{1'000'000};
  platform::EventLoop loop{clock};
  platform::Random random;
  std::vector<std::string> errorBoxes;
  std::string folder;
  std::unique_ptr<TFormMain> form;

 private:
  std::filesystem::path dir_;
};

}  // namespace configtest
