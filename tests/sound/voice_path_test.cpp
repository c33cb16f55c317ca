#include "shell/sound/voice_path.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/client.h"

namespace slvn {
namespace {

// Voice codes come from packet text: only letters and digits name a file.
TEST(VoicePath, CodesOfLettersAndDigitsOnly) {
  Client client;
  client.sound.VoiceFolder = "mj/";
  struct Case {
    const char* dialect;
    const char* voice;
    const char* path;
  } cases[] = {
      {"sc", "a", "mj/vsca12x.wav"},
      {"GD", "07", "mj/vGD0712x.wav"},
      {"", "", "mj/v12x.wav"},
      {"..", "a", ""},
      {"sc", "../../etc/x", ""},
      {"s/c", "a", ""},
      {"s c", "a", ""},
      {"\xce\xd2", "a", ""},
      {"sc", "a\\b", ""},
  };
  for (const Case& c : cases) {
    client.Detail[2].dialect = c.dialect;
    client.Detail[2].voice = c.voice;
    client.Detail[2].sex = 1;
    client.Detail[2].voiceKind = 2;
    EXPECT_EQ(VoicePath(client, 2, "x.wav"), c.path) << c.dialect << " " << c.voice;
  }
  EXPECT_EQ(VoicePath(client, -1, "x.wav"), "");
  EXPECT_EQ(VoicePath(client, 4, "x.wav"), "");
}

}  // namespace
}  // namespace slvn
