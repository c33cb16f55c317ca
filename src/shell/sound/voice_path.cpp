#include "shell/sound/voice_path.h"

#include <algorithm>

#include "shell/client.h"

namespace slvn {

namespace {

bool IsVoiceCode(const std::string& code) {
  return std::all_of(code.begin(), code.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

}  // namespace

std::string VoicePath(const Client& client, int seat, std::string_view ending) {
  if (seat < 0 || seat >= kSeatCount) return "";
  const UserDetail& who = client.Detail[seat];
  if (!IsVoiceCode(who.dialect) || !IsVoiceCode(who.voice)) return "";
  return client.sound.VoiceFolder + "v" + who.dialect + who.voice + std::to_string(who.sex) +
         std::to_string(who.voiceKind) + std::string(ending);
}

void PlayVoice(Client& client, const std::string& path) {
  if (path.empty() || client.sound.SoundOn == 0) return;
  PlaySoundFile(client, path, false);
  SetSoundVolume(client, 3000);
}

}  // namespace slvn
