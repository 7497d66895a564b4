#include "platform/ini_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace {

std::optional<std::string> owned(std::optional<std::string_view> v) {
  return v ? std::optional<std::string>(*v) : std::nullopt;
}

}  // namespace

// The reader of large data files must see exactly what the settings reader sees.
TEST(IniReader, ReadsEveryValueAsIniFileDoes) {
  const char* texts[] = {
      "\xEF\xBB\xBF[Zone01]\r\nCarrierIdent=A\r\n[Zone02]\r\n; k=comment\r\n\r\n[Zone03]\r\nk=\r\n",
      "k=before any section\n[A]\nk=1\nK=2\n[B]\nk=3\n[a]\nk=4\nj=5\n",
      "[ Spaced ] trailing text\r  k =  \"  quoted  \"  \r#k=hash\rEq=a=b=c\r=novalue\r",
      "[S]\nk='single'\nm=\"half'\n[k=notsection\n[T]\nnoequals\n[]\nk=empty name\n",
      "[A]\nk=1\r\n\r\n[A]\nk=2\nj=3",
  };
  const char* sections[] = {"Zone01", "zone02", "ZONE03", "Zone04", "A", "b",
                            "Spaced", "S",      "T",      "",       "[k"};
  const char* keys[] = {"CarrierIdent", "k", "K", "j", "Eq", "m", "#k", "[k"};
  for (const char* text : texts) {
    const platform::IniFile file = platform::IniFile::fromText("x.ini", text);
    const platform::IniReader reader = platform::IniReader::fromText(text);
    for (const char* section : sections) {
      EXPECT_EQ(reader.sectionHasKeys(section), file.sectionHasKeys(section))
          << text << " [" << section << "]";
      for (const char* key : keys)
        EXPECT_EQ(owned(reader.readValue(section, key)), file.readValue(section, key))
            << text << " [" << section << "] " << key;
    }
  }
}

TEST(IniReader, ReadsSeveralKeysInOnePassFirstKeyWinning) {
  const platform::IniReader reader =
      platform::IniReader::fromText("[Z]\nb=1\nA=2\nB=3\n[Y]\nc=4\n");
  const std::array<std::string_view, 3> keys = {"a", "B", "c"};
  std::array<std::optional<std::string_view>, 3> values;
  EXPECT_TRUE(reader.readValues("z", keys, values));
  EXPECT_EQ(values[0], "2");
  EXPECT_EQ(values[1], "1");
  EXPECT_EQ(values[2], std::nullopt);  // a key of the next section is not this one's
  EXPECT_FALSE(reader.readValues("X", keys, values));
}

TEST(IniReader, MissingFileIsEmptyAndAFolderIsUnreadable) {
  const auto folder = std::filesystem::temp_directory_path();
  const platform::IniReader missing((folder / "corvane_no_such_file.dat").string());
  EXPECT_TRUE(missing.readable());
  EXPECT_FALSE(missing.sectionHasKeys("Zone01"));
  EXPECT_FALSE(platform::IniReader(folder.string()).readable());
}
