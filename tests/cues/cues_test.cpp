#include <gtest/gtest.h>

#include <fstream>

#include "arrest/form_fixture.h"

namespace {

class Cues : public FormFixture {
 protected:
  void touch(const std::string& name) { std::ofstream(folder / name) << "RIFF"; }
  std::string path(const std::string& name) const { return form->ProgramFolder + name; }
};

TEST_F(Cues, ShowSimMessageWritesTextThenSecondsInOneExchange) {
  ASSERT_TRUE(opened);
  const int batches = transport.batchCount();
  form->ShowSimMessage(std::string(101, 'x'), 3);
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
  SimLinkClose();
  form->ShowSimMessage("Corvane enabled", 3);
  EXPECT_TRUE(writes.empty());
}

TEST_F(Cues, CheckSoundFilesBothMissing) {
  form->CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "   (" + path("CableCatch.wav") + " not found)   (" +
                                             path("Catapult.wav") + " not found)");
  // The cues are then skipped without a word.
  form->PlayCatchSound();
  form->PlayCatapultSound();
  EXPECT_TRUE(soundsOf("mplyrCatchSound").empty());
  EXPECT_FALSE(form->catapultSoundPlayed);
}

TEST_F(Cues, CheckSoundFilesOpensOnceAndKeepsPlayersOpen) {
  touch("CableCatch.wav");
  touch("Catapult.wav");
  form->CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "Sound files found");
  // A later check leaves the opened players alone, even when the file has gone meanwhile.
  std::filesystem::remove(folder / "Catapult.wav");
  form->CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "Sound files found");
  EXPECT_EQ(soundsOf("mplyrCatchSound"),
            (std::vector<std::string>{"file:" + path("CableCatch.wav"),
                                      "open:" + path("CableCatch.wav")}));
  form->PlayCatchSound();
  EXPECT_EQ(soundsOf("mplyrCatchSound").back(), "play:" + path("CableCatch.wav"));
  EXPECT_EQ(form->lblOtherStatus.text(), "Cable catch sound played");
}

TEST_F(Cues, UnopenableSoundFileCountsAsMissing) {
  touch("CableCatch.wav");
  players[0]->failing = true;  // mplyrCatchSound
  form->CheckSoundFiles();
  EXPECT_EQ(form->lblOtherStatus.text(), "   (" + path("CableCatch.wav") + " not found)   (" +
                                             path("Catapult.wav") + " not found)");
  form->PlayCatchSound();
  EXPECT_NE(soundsOf("mplyrCatchSound").back().rfind("play", 0), 0u);
}

TEST_F(Cues, CatchSoundFailureLeavesLabel) {
  touch("CableCatch.wav");
  touch("Catapult.wav");
  form->CheckSoundFiles();
  players[0]->failing = true;
  form->PlayCatchSound();
  EXPECT_EQ(form->lblOtherStatus.text(), "Sound files found");
}

TEST_F(Cues, CatapultSoundOncePerArmingSmokeEveryTime) {
  touch("CableCatch.wav");
  touch("Catapult.wav");
  form->CheckSoundFiles();
  form->chkbxCatSmoke.setChecked(true);
  form->PlayCatapultSound();
  form->PlayCatapultSound();
  int plays = 0;
  for (const auto& e : soundsOf("mplyrCatapultSound")) plays += e.rfind("play", 0) == 0;
  EXPECT_EQ(plays, 1);
  EXPECT_TRUE(form->catapultSoundPlayed);
  EXPECT_EQ(form->lblOtherStatus.text(), "Catapult sound played");
  form->catapultSoundPlayed = false;  // a new arming
  form->PlayCatapultSound();
  plays = 0;
  for (const auto& e : soundsOf("mplyrCatapultSound")) plays += e.rfind("play", 0) == 0;
  EXPECT_EQ(plays, 2);
}

TEST_F(Cues, DamageSoundKinds) {
  form->PlayDamageSound(1);
  EXPECT_TRUE(soundsOf("mplyrBattleDamage").empty()) << "option off";
  form->chkbxDamageSounds.setChecked(true);
  form->PlayDamageSound(4);
  EXPECT_TRUE(soundsOf("mplyrBattleDamage").empty()) << "kind 4 does not even close";
  form->PlayDamageSound(1);
  EXPECT_EQ(
      soundsOf("mplyrBattleDamage"),
      (std::vector<std::string>{"close:", "file:DamageNearExplosion.wav",
                                "open:DamageNearExplosion.wav", "play:DamageNearExplosion.wav"}));
  players[2]->failing = true;
  form->PlayDamageSound(3);
  EXPECT_EQ(soundsOf("mplyrBattleDamage").back(), "open:DamageElectricalSystem.wav");
}

TEST_F(Cues, SpecialSoundHandling) {
  form->SwitchSimSound(true);
  form->SwitchSimSound(false);
  EXPECT_TRUE(writesTo(0x0B20).empty());
  form->chkbxSpecialSoundHandling.setChecked(true);
  form->SwitchSimSound(true);
  ASSERT_EQ(writesTo(0x0B20).size(), 1u);
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 0);
  // Unchecked between the start and the end of a trap: the end writes nothing.
  form->chkbxSpecialSoundHandling.setChecked(false);
  form->SwitchSimSound(false);
  EXPECT_EQ(writesTo(0x0B20).size(), 1u);
  form->chkbxSpecialSoundHandling.setChecked(true);
  form->SwitchSimSound(false);
  EXPECT_EQ(server.space().get<uint16_t>(0x0B20), 1);
}

}  // namespace
