// A save of the settings that the disk cannot hold leaves the old file whole and tells the
// user. A file-size limit below the new file's size stands in for a full disk: the writes fail
// part way through (EFBIG), as they would with ENOSPC.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "config/config_fixture.h"

namespace {

class FullDisk : public configtest::ConfigTest {};

TEST_F(FullDisk, SaveLeavesTheOldFileAndTellsTheUser) {
  writeFile("Corvane.dat", "");
  listDatFiles();
  writeFile("Corvane.INI", "; kept\r\n[General]\r\nLastLeft=1\r\n");
  ASSERT_TRUE(form->options.LoadSettings());
  form->cmbDatFile.setEnabled(true);
  const std::string before = readFile("Corvane.INI");
  // The save runs in a child process, the only one the limit applies to.
  const pid_t child = fork();
  if (child == 0) {
    const rlimit limit{64, 64};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    form->options.SaveSettings();
    const bool told =
        errorBoxes == std::vector<std::string>{"Unable to write to " + folder + "Corvane.INI"};
    _exit(told ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the user was not told";
  EXPECT_EQ(readFile("Corvane.INI"), before);
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
        << "a partial temporary file was left beside the settings";
}

}  // namespace
