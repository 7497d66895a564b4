#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "arrest/form_fixture.h"
#include "cues/cues.h"
#include "cues/lso_call_sounds.h"
#include "lso/groove.h"
#include "platform/os.h"

namespace {

class Cues : public FormFixture {
 protected:
  void touch(const std::string& name) { std::ofstream(folder / name) << "RIFF"; }
  std::string path(const std::string& name) const { return form->ProgramFolder + name; }
};

TEST_F(Cues, ShowSimMessageWritesTextThenSecondsInOneExchange) {
  ASSERT_TRUE(opened);
  const int batches = transport.batchCount();
  form->cues.ShowSimMessage(std::string(101, 'x'), 3);
  EXPECT_EQ(transport.batchCount(), batches + 1);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].offset, 0x3380u);
  ASSERT_EQ(writes[0].data.size(), 128u);
  EXPECT_EQ(writes[0].data[99], 'x');
  EXPECT_EQ(writes[0].data[100], 0);
  EXPECT_EQ(writes[1].offset, 0x32FAu);
  EXPECT_EQ(server.space().get<int16_t>(0x32FA), 3);
  EXPECT_EQ(server.space().text(0x3380, 128), std::string(100, 'x'));
}

TEST_F(Cues, ShowSimMessageWithLinkClosedIsSilent) {
  link.SimLinkClose();
  form->cues.ShowSimMessage("Corvane enabled", 3);
  EXPECT_TRUE(writes.empty());
}

TEST_F(Cues, CheckSoundFilesBothMissing) {
  form->cues.CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "   (" + path("CableCatch.wav") + " not found)   (" +
                                             path("Catapult.wav") + " not found)");
  // The cues are then skipped without a word.
  form->cues.PlayCatchSound();
  form->cues.PlayCatapultSound();
  EXPECT_TRUE(soundsOf("mplyrCatchSound").empty());
  EXPECT_FALSE(form->cues.catapultSoundPlayed);
}

TEST_F(Cues, CheckSoundFilesOpensOnceAndKeepsPlayersOpen) {
  touch("CableCatch.wav");
  touch("Catapult.wav");
  form->cues.CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "Sound files found");
  // A later check leaves the opened players alone, even when the file has gone meanwhile.
  std::filesystem::remove(folder / "Catapult.wav");
  form->cues.CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "Sound files found");
  EXPECT_EQ(soundsOf("mplyrCatchSound"),
            (std::vector<std::string>{"file:" + path("CableCatch.wav"),
                                      "open:" + path("CableCatch.wav")}));
  form->cues.PlayCatchSound();
  EXPECT_EQ(soundsOf("mplyrCatchSound").back(), "play:" + path("CableCatch.wav"));
  EXPECT_EQ(form->lblOtherStatus.text(), "Cable catch sound played");
}

TEST_F(Cues, UnopenableSoundFileCountsAsMissing) {
  touch("CableCatch.wav");
  players[0]->failing = true;  // mplyrCatchSound
  form->cues.CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "   (" + path("CableCatch.wav") + " not found)   (" +
                                             path("Catapult.wav") + " not found)");
  form->cues.PlayCatchSound();
  EXPECT_NE(soundsOf("mplyrCatchSound").back().rfind("play", 0), 0u);
}

TEST_F(Cues, CatchSoundFailureLeavesLabel) {
  touch("CableCatch.wav");
  touch("Catapult.wav");
  form->cues.CheckSoundFiles();
  players[0]->failing = true;
  form->cues.PlayCatchSound();
  EXPECT_EQ(form->lblOtherStatus.text(), "Sound files found");
}

TEST_F(Cues, CatapultSoundOncePerArmingSmokeEveryTime) {
  touch("CableCatch.wav");
  touch("Catapult.wav");
  form->cues.CheckSoundFiles();
  form->chkbxCatSmoke.setChecked(true);
  form->cues.PlayCatapultSound();
  form->cues.PlayCatapultSound();
  int plays = 0;
  for (const auto& e : soundsOf("mplyrCatapultSound")) plays += e.rfind("play", 0) == 0;
  EXPECT_EQ(plays, 1);
  EXPECT_TRUE(form->cues.catapultSoundPlayed);
  EXPECT_EQ(form->lblOtherStatus.text(), "Catapult sound played");
  form->cues.catapultSoundPlayed = false;  // a new arming
  form->cues.PlayCatapultSound();
  plays = 0;
  for (const auto& e : soundsOf("mplyrCatapultSound")) plays += e.rfind("play", 0) == 0;
  EXPECT_EQ(plays, 2);
}

TEST_F(Cues, DamageSoundKinds) {
  form->cues.PlayDamageSound(1);
  EXPECT_TRUE(soundsOf("mplyrBattleDamage").empty()) << "option off";
  form->chkbxDamageSounds.setChecked(true);
  form->cues.PlayDamageSound(4);
  EXPECT_TRUE(soundsOf("mplyrBattleDamage").empty()) << "kind 4 does not even close";
  form->cues.PlayDamageSound(1);
  EXPECT_EQ(
      soundsOf("mplyrBattleDamage"),
      (std::vector<std::string>{"close:", "file:DamageNearExplosion.wav",
                                "open:DamageNearExplosion.wav", "play:DamageNearExplosion.wav"}));
  players[2]->failing = true;
  form->cues.PlayDamageSound(3);
  EXPECT_EQ(soundsOf("mplyrBattleDamage").back(), "open:DamageElectricalSystem.wav");
}

TEST_F(Cues, SpecialSoundHandling) {
  form->cues.SwitchSimSound(true);
  form->cues.SwitchSimSound(false);
  EXPECT_TRUE(writesTo(0x0B20).empty());
  form->chkbxSpecialSoundHandling.setChecked(true);
  form->cues.SwitchSimSound(true);
  ASSERT_EQ(writesTo(0x0B20).size(), 1u);
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 0);
  // Unchecked between the start and the end of a trap: the end writes nothing.
  form->chkbxSpecialSoundHandling.setChecked(false);
  form->cues.SwitchSimSound(false);
  EXPECT_EQ(writesTo(0x0B20).size(), 1u);
  form->chkbxSpecialSoundHandling.setChecked(true);
  form->cues.SwitchSimSound(false);
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 1);
}

// Every call the groove makes has its own sound file, and only those calls.
TEST(LsoCallSounds, EveryCallOfTheGrooveHasItsOwnFile) {
  const char* calls[] = {CallRogerBall,      CallHigh,     CallLow,     CallPower,
                         CallRightForLineup, CallComeLeft, CallWaveOff, CallBolter};
  std::set<std::string> files;
  for (const char* call : calls) {
    const char* file = LsoCallFileName(call);
    ASSERT_NE(file, nullptr) << call;
    const std::string name = file;
    EXPECT_TRUE(name.starts_with("LSO_") && name.ends_with(".wav")) << name;
    files.insert(name);
  }
  EXPECT_EQ(files.size(), std::size(calls));
  EXPECT_EQ(std::size(LsoCallSounds), std::size(calls));
  EXPECT_EQ(LsoCallFileName("Roger"), nullptr);
  EXPECT_EQ(LsoCallFileName(""), nullptr);
}

#ifdef CORVANE_LSO_CALL_SOUNDS
// The build speaks every call of the table into a wave file beside the programs.
TEST(LsoCallSounds, TheBuildMadeAWaveFileOfEveryCall) {
  for (const TLsoCallSound& c : LsoCallSounds) {
    std::ifstream in(platform::executableFolder() + c.fileName, std::ios::binary);
    ASSERT_TRUE(in) << c.fileName;
    std::string head(12, '\0');
    in.read(head.data(), 12);
    EXPECT_TRUE(head.starts_with("RIFF") && head.ends_with("WAVE")) << c.fileName;
    in.seekg(0, std::ios::end);
    EXPECT_GT(in.tellg(), 4000) << c.fileName << " holds no speech";
  }
}
#endif

TEST_F(Cues, LsoCallSpeaksOnlyWhenCheckedAndItsFileIsThere) {
  auto lsoEvents = [this] { return soundsOf("mplyrLsoCall"); };
  touch("LSO_YoureHigh.wav");
  form->cues.PlayLsoCall(CallHigh);
  EXPECT_TRUE(lsoEvents().empty()) << "option off";
  form->chkbxLsoCalls.setChecked(true);
  form->cues.PlayLsoCall(CallLow);  // its file is missing
  form->cues.PlayLsoCall("Nice pass");
  EXPECT_TRUE(lsoEvents().empty()) << "missing file or no call";
  form->cues.PlayLsoCall(CallHigh);
  const std::string high = path("LSO_YoureHigh.wav");
  EXPECT_EQ(lsoEvents(),
            (std::vector<std::string>{"close:", "file:" + high, "open:" + high, "play:" + high}));
  // A file that will not open stays silent; the other players are untouched.
  players[3]->failing = true;
  form->cues.PlayLsoCall(CallHigh);
  EXPECT_EQ(lsoEvents().back(), "open:" + high);
  for (const char* other : {"mplyrCatchSound", "mplyrCatapultSound", "mplyrBattleDamage"})
    EXPECT_TRUE(soundsOf(other).empty()) << other;
}

TEST_F(Cues, LsoCallNeverOverTheCatchSound) {
  touch("CableCatch.wav");
  touch("LSO_Bolter.wav");
  form->cues.CheckSoundFiles();
  form->chkbxLsoCalls.setChecked(true);
  form->cues.PlayCatchSound();
  players[0]->stillPlaying = true;  // mplyrCatchSound
  form->cues.PlayLsoCall(CallBolter);
  EXPECT_TRUE(soundsOf("mplyrLsoCall").empty()) << "dropped, not kept for later";
  players[0]->stillPlaying = false;
  form->cues.PlayLsoCall(CallBolter);
  EXPECT_EQ(soundsOf("mplyrLsoCall").back(), "play:" + path("LSO_Bolter.wav"));
}

/// The cues alone, with only their view: two check boxes, the status label and a folder.
class CuesAlone : public ::testing::Test {
 public:
  CuesAlone()
      : server(clock),
        transport([this](uint8_t* block, size_t size) { return server.handleBlock(block, size); }) {
    transport.setClock(&clock);
    uint32_t result = 0;
    opened = link.SimLinkOpen(0, result);
  }

  platform::VirtualClock clock;
  sim::SimServer server;
  platform::LoopbackTransport transport;
  simlink::Link link{&transport, &clock};
  platform::CheckBox chkbxDamageSounds{"chkbxDamageSounds"};
  platform::CheckBox chkbxSpecialSoundHandling{"chkbxSpecialSoundHandling"};
  platform::CheckBox chkbxLsoCalls{"chkbxLsoCalls"};
  platform::Label lblOtherStatus{"lblOtherStatus"};
  std::string folder = "/nonexistent/";
  std::vector<platform::SoundEvent> sounds;
  TCues cues{
      {chkbxDamageSounds, chkbxSpecialSoundHandling, chkbxLsoCalls, lblOtherStatus, folder, link},
      [this](const std::string& name) {
        return std::make_unique<platform::RecordingSoundPlayer>(name, &sounds);
      }};
  bool opened = false;
};

TEST_F(CuesAlone, SimSoundStaysSilencedUntilTheEndWordIsWritten) {
  ASSERT_TRUE(opened);
  chkbxSpecialSoundHandling.setChecked(true);
  cues.SoundControlEndWord = 7;
  cues.SwitchSimSound(true);
  EXPECT_TRUE(cues.SimSoundSilenced);
  // The end of a trap while the link is down leaves the simulator silenced, to be undone at
  // the next connection.
  link.SimLinkClose();
  cues.SwitchSimSound(false);
  EXPECT_TRUE(cues.SimSoundSilenced);
  uint32_t result = 0;
  ASSERT_TRUE(link.SimLinkOpen(0, result));
  cues.SwitchSimSound(false);
  EXPECT_FALSE(cues.SimSoundSilenced);
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 7);
  // Unchecked, the option neither writes nor forgets.
  cues.SwitchSimSound(true);
  chkbxSpecialSoundHandling.setChecked(false);
  cues.SwitchSimSound(false);
  EXPECT_TRUE(cues.SimSoundSilenced);
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 0);
}

TEST_F(CuesAlone, StatusLineNamesTheViewsFolder) {
  cues.CheckSoundFiles();
  EXPECT_EQ(lblOtherStatus.text(),
            "   (/nonexistent/CableCatch.wav not found)   (/nonexistent/Catapult.wav not found)");
  folder = "/elsewhere/";  // the folder is read at each check, not copied at creation
  cues.CheckSoundFiles();
  EXPECT_EQ(lblOtherStatus.text(),
            "   (/elsewhere/CableCatch.wav not found)   (/elsewhere/Catapult.wav not found)");
  ASSERT_EQ(sounds.size(), 0u);
}

}  // namespace
