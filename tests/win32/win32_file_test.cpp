// Settings replace on Windows: a replace that Windows refuses keeps the old file whole.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/ini_file.h"
#include "platform/os.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Win32Settings, RefusedReplaceKeepsTheOldFileAndNoTemporary) {
  const fs::path dir =
      fs::temp_directory_path() / ("corvane_win32_" + std::to_string(platform::currentProcessId()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path path = dir / "Corvane.INI";
  std::ofstream(path, std::ios::binary) << "[General]\r\nLastLeft=1\r\n";

  platform::IniFile ini(path.string());
  ini.setInteger("General", "LastLeft", 2);
  // Another program holds the file open without sharing deletion: Windows refuses the replace.
  const HANDLE held = CreateFileA(path.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ini.save());
  CloseHandle(held);
  EXPECT_EQ(readFile(path), "[General]\r\nLastLeft=1\r\n");

  ASSERT_TRUE(ini.save());
  EXPECT_EQ(readFile(path), "[General]\r\nLastLeft=2\r\n");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1) << "temporary file left behind";
  fs::remove_all(dir);
}

}  // namespace
