#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/os.h"

namespace fs = std::filesystem;
using platform::IniFile;

namespace {

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() /
            ("corvane_ini_" + std::to_string(platform::currentProcessId()) + "_" + std::to_string(counter_++));
    fs::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(ParseFloat, AcceptsDecimalPointNumbersOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"36.95012", true, 36.95012},
      {"-76.3", true, -76.3},
      {"+4.5", true, 4.5},
      {"60", true, 60},
      {"1e3", true, 1000},
      {"2.5E-1", true, 0.25},
      {".5", true, 0.5},
      {"-0", true, 0},
      {"36,95", false, 0},
      {"", false, 0},
      {"abc", false, 0},
      {"1.5x", false, 0},
      {"inf", false, 0},
      {"nan", false, 0},
      {"+-1", false, 0},
      {"1e999", false, 0},
      {"0x10", false, 0},
      {" 1", false, 0},
      {"1 000", false, 0},
      {"--1", false, 0},
  };
  for (const Case& c : cases) {
    const auto v = platform::parseFloat(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok && v) {
      EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(ParseInteger, DecimalAndHexWithin32Bits) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"-712", true, -712},
      {"+20", true, 20},
      {"0x1F", true, 31},
      {"0XfF", true, 255},
      {"-0x10", true, -16},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, static_cast<int32_t>(-2147483647 - 1)},
      {"2147483648", false, 0},
      {"0x80000000", false, 0},
      {"1.0", false, 0},
      {"12abc", false, 0},
      {"0x", false, 0},
      {"", false, 0},
      {"--1", false, 0},
      {"0xG", false, 0},
  };
  for (const Case& c : cases) {
    const auto v = platform::parseInteger(c.text);
    EXPECT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok && v) {
      EXPECT_EQ(*v, c.value) << c.text;
    }
  }
}

TEST(FormatFloat, ShortestFormWithPoint) {
  EXPECT_EQ(platform::formatFloat(-700.0), "-700");
  EXPECT_EQ(platform::formatFloat(-712.5), "-712.5");
  EXPECT_EQ(platform::formatFloat(0.1 + 0.2), "0.3");
  EXPECT_EQ(platform::formatFloat(1234.56789012345678), "1234.56789012346");
  for (double v : {-1500.0, 350.25, 1e-7, 123456789012.5})
    EXPECT_DOUBLE_EQ(platform::parseFloat(platform::formatFloat(v)).value(), v);
}

TEST(IniRead, NamesIgnoreCaseValuesTrimmedAndUnquoted) {
  const IniFile ini = IniFile::fromText("x.ini",
                                        "; comment = not a key\r\n"
                                        "[General]\r\n"
                                        "  LastLeft =  120  \r\n"
                                        "Name=\"  spaced  \"\r\n"
                                        "Single='quoted'\r\n"
                                        "Mixed=\"half'\r\n"
                                        "Eq=a=b=c\r\n"
                                        "Empty=\r\n"
                                        "noequals line\r\n"
                                        "[ cableops ]\r\n"
                                        "Factor=-712.5\r\n");
  EXPECT_EQ(ini.readValue("general", "LASTLEFT"), "120");
  EXPECT_EQ(ini.readInteger("GENERAL", "lastleft", 0), 120);
  EXPECT_EQ(ini.readValue("General", "Name"), "  spaced  ");
  EXPECT_EQ(ini.readValue("General", "Single"), "quoted");
  EXPECT_EQ(ini.readValue("General", "Mixed"), "\"half'");
  EXPECT_EQ(ini.readValue("General", "Eq"), "a=b=c");
  EXPECT_EQ(ini.readValue("General", "Empty"), "");
  EXPECT_DOUBLE_EQ(ini.readFloat("CableOps", "factor", 0), -712.5);
  EXPECT_FALSE(ini.readValue("General", "; comment"));
  EXPECT_FALSE(ini.readValue("General", "Missing"));
  EXPECT_FALSE(ini.readValue("Nowhere", "LastLeft"));
  EXPECT_DOUBLE_EQ(ini.readFloat("General", "Empty", 666.0), 666.0);
}

TEST(IniRead, FirstSectionAndFirstKeyWin) {
  const IniFile ini = IniFile::fromText("x.ini", "[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nj=5\n");
  EXPECT_EQ(ini.readInteger("A", "k", 0), 1);
  EXPECT_EQ(ini.readInteger("b", "K", 0), 3);
  EXPECT_FALSE(ini.readValue("A", "j"));
}

TEST(IniRead, SectionHasKeysOnlyWithAKey) {
  const IniFile ini =
      IniFile::fromText("x.dat",
                        "\xEF\xBB\xBF[Zone01]\nCarrierIdent=A\n[Zone02]\n; nothing\n\n"
                        "[Zone03]\nx=\n");
  EXPECT_TRUE(ini.sectionHasKeys("zone01"));  // byte-order mark before the first header
  EXPECT_FALSE(ini.sectionHasKeys("Zone02"));
  EXPECT_TRUE(ini.sectionHasKeys("Zone03"));
  EXPECT_FALSE(ini.sectionHasKeys("Zone04"));
}

TEST(IniRead, TypedValuesFallBackToDefaults) {
  const IniFile ini = IniFile::fromText("x.ini",
                                        "[S]\nint=0x10\nbad=12abc\nb0=0\nb7=7\nbx=yes\n"
                                        "comma=4,5\nexp=4.5e1\n");
  EXPECT_EQ(ini.readInteger("S", "int", 0), 16);
  EXPECT_EQ(ini.readInteger("S", "bad", 42), 42);
  EXPECT_FALSE(ini.readBool("S", "b0", true));
  EXPECT_TRUE(ini.readBool("S", "b7", false));
  EXPECT_TRUE(ini.readBool("S", "bx", true));
  EXPECT_FALSE(ini.readBool("S", "bx", false));
  EXPECT_DOUBLE_EQ(ini.readFloat("S", "comma", 666.0), 666.0);
  EXPECT_DOUBLE_EQ(ini.readFloat("S", "exp", 0), 45.0);
}

TEST(IniWrite, ChangesOnlyTheWrittenLines) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"replace keeps comments and CRLF",
       "; my settings\r\n[General]\r\nLastLeft=1\r\nUnknown=keep\r\n\r\n[Mine]\r\nx=y\r\n",
       "; my settings\r\n[General]\r\nLastLeft=640\r\nUnknown=keep\r\n\r\n[Mine]\r\nx=y\r\n"},
      {"new key after the last key, before blank lines",
       "[General]\r\nA=1\r\n\r\n[Other]\r\nB=2\r\n",
       "[General]\r\nA=1\r\nLastLeft=640\r\n\r\n[Other]\r\nB=2\r\n"},
      {"LF file stays LF", "[General]\nlastleft=5\n", "[General]\nlastleft=640\n"},
      {"missing section appended", "[Other]\nB=2\n", "[Other]\nB=2\n\n[General]\nLastLeft=640\n"},
      {"last line without line end", "[General]\r\nA=1", "[General]\r\nA=1\r\nLastLeft=640\r\n"},
      {"header without line end", "[General]", "[General]\r\nLastLeft=640\r\n"},
      {"empty file", "", "[General]\r\nLastLeft=640\r\n"},
      {"key spelled as in the file", "[GENERAL]\r\n  LASTLEFT = 3 \r\n",
       "[GENERAL]\r\nLASTLEFT=640\r\n"},
  };
  for (const Case& c : cases) {
    IniFile ini = IniFile::fromText("x.ini", c.before);
    ini.setInteger("General", "LastLeft", 640);
    EXPECT_EQ(ini.text(), c.after) << c.name;
    EXPECT_EQ(ini.readInteger("general", "lastleft", 0), 640) << c.name;
  }
}

TEST(IniWrite, InsertedKeysKeepLaterKeysReadable) {
  IniFile ini = IniFile::fromText("x.ini", "[S]\nA=1\n\nB=2\n");
  ini.setString("S", "C", "3");
  ini.setString("S", "A", "10");
  ini.setString("S", "B", "20");
  EXPECT_EQ(ini.text(), "[S]\nA=10\n\nB=20\nC=3\n");
}

TEST(IniWrite, AwkwardValuesReadBackUnchanged) {
  IniFile ini = IniFile::fromText("x.ini", "");
  for (const std::string v : {" lead", "trail ", "'q'", "\"dq\"", "a=b", "", "my carrier.dat"}) {
    ini.setString("S", "k", v);
    const IniFile again = IniFile::fromText("x.ini", ini.text());
    EXPECT_EQ(again.readValue("S", "k"), v) << v;
  }
  ini.setString("S", "k", "two\r\nlines=bad");
  const IniFile again = IniFile::fromText("x.ini", ini.text());
  EXPECT_EQ(again.readValue("S", "k"), "two  lines=bad");
  EXPECT_FALSE(again.readValue("S", "lines"));
}

TEST(IniFileOnDisk, MissingFileReadsEmptyAndIsCreatedByAWrite) {
  TempFolder dir;
  const std::string path = dir.file("Corvane.INI");
  IniFile ini(path);
  EXPECT_TRUE(ini.readable());
  EXPECT_FALSE(ini.existed());
  EXPECT_EQ(ini.readInteger("General", "LastLeft", 300), 300);
  ASSERT_TRUE(ini.writeString("General", "LastDatFileUsed", "Corvane.dat"));
  EXPECT_EQ(readFile(path), "[General]\r\nLastDatFileUsed=Corvane.dat\r\n");
  EXPECT_EQ(IniFile(path).readValue("general", "lastdatfileused"), "Corvane.dat");
}

TEST(IniFileOnDisk, RoundTripKeepsEverythingElseByteForByte) {
  TempFolder dir;
  const std::string path = dir.file("Corvane.INI");
  const std::string original =
      "; Corvane settings\r\n"
      "[General]\r\n"
      "LastLeft=10\r\n"
      "; remember: the toolbar sits left\r\n"
      "MyOwnKey = kept as is  \r\n"
      "\r\n"
      "[Unknown Section]\r\n"
      "whatever=1,5\r\n"
      "\r\n"
      "[CableOps]\r\n"
      "CableCatchAccelFactor=-700\r\n";
  writeFile(path, original);
  IniFile ini(path);
  ini.setInteger("General", "LastLeft", 10);
  ini.setFloat("CableOps", "CableCatchAccelFactor", -700.0);
  ASSERT_TRUE(ini.save());
  EXPECT_EQ(readFile(path), original);
  ini.setFloat("CableOps", "CableCatchAccelFactor", -712.5);
  ASSERT_TRUE(ini.save());
  std::string expected = original;
  expected.replace(expected.find("=-700"), 5, "=-712.5");
  EXPECT_EQ(readFile(path), expected);
}

TEST(IniFileOnDisk, FailedWriteLeavesOldFileAndReportsFailure) {
  TempFolder dir;
  const std::string path = dir.file("Corvane.INI");
  writeFile(path, "[General]\nLastLeft=1\n");
  IniFile ini(path);
  ini.setInteger("General", "LastLeft", 2);
  // The temporary file beside it cannot be created: a folder already holds its name.
  const std::string blocker = path + ".tmp" + std::to_string(platform::currentProcessId());
  fs::create_directory(blocker);
  EXPECT_FALSE(ini.save());
  EXPECT_EQ(readFile(path), "[General]\nLastLeft=1\n");
  fs::remove(blocker);
  EXPECT_TRUE(ini.save());
  EXPECT_EQ(readFile(path), "[General]\nLastLeft=2\n");
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename(), "Corvane.INI") << "temporary file left behind";
}

TEST(IniFileOnDisk, WriteIntoMissingFolderFails) {
  TempFolder dir;
  IniFile ini(dir.file("no/such/folder/Corvane.INI"));
  EXPECT_TRUE(ini.readable());
  EXPECT_FALSE(ini.writeString("General", "LastLeft", "1"));
}

TEST(IniFileOnDisk, UnreadableFileIsReported) {
  TempFolder dir;
  fs::create_directory(dir.file("Corvane.INI"));
  const IniFile ini(dir.file("Corvane.INI"));
  EXPECT_FALSE(ini.readable());
  EXPECT_FALSE(ini.readValue("General", "LastLeft"));
}

TEST(IniFileOnDisk, ReplaceKeepsPermissionsAndFollowsLinks) {
  TempFolder dir;
  const std::string real = dir.file("real.ini");
  const std::string link = dir.file("link.ini");
  writeFile(real, "[S]\nk=1\n");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  std::error_code ec;
  fs::create_symlink(real, link, ec);
  if (ec) GTEST_SKIP() << "this system does not let a test create symbolic links";
  IniFile ini(link);
  ASSERT_TRUE(ini.writeString("S", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readFile(real), "[S]\nk=2\n");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}
