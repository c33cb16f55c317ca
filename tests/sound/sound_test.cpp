#include "shell/sound/sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/client.h"
#include "support/temp_dir.h"
#include "support/wav_bytes.h"

namespace slvn {
namespace {

using Calls = std::vector<std::string>;

struct SoundFixture : ::testing::Test {
  SoundFixture() {
    test::WriteFileBytes(a, test::WavBytes(100));
    test::WriteFileBytes(b, test::WavBytes(50));
    test::WriteFileBytes(bad, "RIFF\x10\0\0\0WAVEjunkjunk");
    auto owned = std::make_unique<RecordingSoundDevice>();
    device = owned.get();
    client.sound.device = std::move(owned);
  }
  // The calls since the last look.
  Calls Take() {
    Calls c = device->calls;
    device->calls.clear();
    return c;
  }

  test::TempDir dir;
  std::string a = dir.File("a.wav"), b = dir.File("b.wav"), bad = dir.File("bad.wav");
  std::string missing = dir.File("missing.wav");
  Client client;
  RecordingSoundDevice* device;
};

TEST_F(SoundFixture, PlaysLoopsStopsAndSetsVolume) {
  InitSound(client);
  EXPECT_EQ(client.sound.SoundOn, -1);
  StopSound(client);  // nothing to stop yet
  SetSoundVolume(client, 3000);
  EXPECT_EQ(Take(), (Calls{"open"}));

  PlaySoundFile(client, a, true);
  SetSoundVolume(client, 3000);
  SetSoundVolume(client, 0);
  SetSoundVolume(client, 3001);
  SetSoundVolume(client, -1);
  StopSound(client);
  EXPECT_EQ(Take(),
            (Calls{"create " + a, "play loop", "volume 0", "volume -3000", "stop", "position 0"}));

  // An effect ends the background loop for good.
  PlaySoundFile(client, b, false);
  EXPECT_EQ(Take(), (Calls{"stop", "release", "create " + b, "play once"}));
}

TEST_F(SoundFixture, MissingOrBadFileStopsTheOldSoundAndPlaysNothing) {
  InitSound(client);
  for (const std::string& path : {missing, bad}) {
    PlaySoundFile(client, a, true);
    Take();
    PlaySoundFile(client, path, false);
    EXPECT_EQ(Take(), (Calls{"stop", "release", "create " + path}));
    StopSound(client);
    SetSoundVolume(client, 3000);
    EXPECT_EQ(Take(), Calls{});
    EXPECT_EQ(client.sound.SoundOn, -1);
  }
}

TEST_F(SoundFixture, DeviceFailureSwitchesSoundOffAndStaysSafe) {
  device->fail_open = true;
  InitSound(client);
  EXPECT_EQ(client.sound.SoundOn, 0);
  PlaySoundFile(client, a, false);
  StopSound(client);
  SetSoundVolume(client, 3000);
  EXPECT_EQ(Take(), (Calls{"open", "create " + a}));
  EXPECT_FALSE(client.sound.buffer);
}

TEST(SoundTest, SoundFilesLieBesideTheProgramFolder) {
  Client client;
  client.sound.program_folder = "/opt/game/bin";
  InitSoundFiles(client);
  const SoundState& s = client.sound;
  EXPECT_EQ(s.SoundBank[1], "/opt/game/bin/../common/music/majiang.wav");
  EXPECT_EQ(s.SoundBank[6], "/opt/game/bin/../common/music/tishi.wav");
  EXPECT_EQ(s.SoundBank[8], "/opt/game/bin/../common/music/lianlai.wav");
  EXPECT_EQ(s.SoundBank[7], "");
  EXPECT_EQ(s.SoundBank[0], "");
  EXPECT_EQ(s.SoundBank[100], "");
  EXPECT_EQ(s.VoiceFolder, "/opt/game/bin/../common/mj/");
}

TEST(SoundTest, WavDecodingConvertsAndRejectsJunk) {
  std::string wav = test::WavBytes(2205);  // 0.1 s mono at 22050
  auto sound = DecodeWav({reinterpret_cast<const uint8_t*>(wav.data()), wav.size()});
  ASSERT_TRUE(sound);
  EXPECT_NEAR(static_cast<double>(sound->samples.size()), kSoundRate / 10 * 2, 16);
  std::string empty = test::WavBytes(0);
  EXPECT_FALSE(DecodeWav({reinterpret_cast<const uint8_t*>(empty.data()), empty.size()}));
  for (size_t cut : {size_t{0}, size_t{12}, size_t{40}}) {
    auto truncated = DecodeWav({reinterpret_cast<const uint8_t*>(wav.data()), cut});
    EXPECT_FALSE(truncated) << cut;
  }
}

// The real output with SDL's dummy driver (tests run with SDL_AUDIODRIVER=dummy).
TEST(SoundTest, SdlDevicePlaysWithoutFailing) {
  test::TempDir dir;
  std::string path = dir.File("s.wav");
  test::WriteFileBytes(path, test::WavBytes(4000));
  Client client;
  InitSound(client);
  if (client.sound.SoundOn == 0) GTEST_SKIP() << "no audio output here";
  PlaySoundFile(client, path, true);
  ASSERT_TRUE(client.sound.buffer);
  SetSoundVolume(client, 1500);
  StopSound(client);
  PlaySoundFile(client, dir.File("none.wav"), false);
  EXPECT_FALSE(client.sound.buffer);
}

}  // namespace
}  // namespace slvn
