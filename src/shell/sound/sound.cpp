#include "shell/sound/sound.h"

#include "platform/program_folder.h"
#include "shell/client.h"

namespace slvn {

void InitSoundFiles(Client& client) {
  SoundState& s = client.sound;
  if (s.program_folder.empty()) s.program_folder = ProgramFolder();
  const std::string music = s.program_folder + "/../common/music/";
  s.SoundBank[1] = music + "majiang.wav";
  s.SoundBank[2] = music + "dapai.wav";
  s.SoundBank[3] = music + "qupai.wav";
  s.SoundBank[4] = music + "xipai.wav";
  s.SoundBank[5] = music + "zhise.wav";
  s.SoundBank[6] = music + "tishi.wav";
  s.SoundBank[8] = music + "lianlai.wav";
  s.VoiceFolder = s.program_folder + "/../common/mj/";
}

void InitSound(Client& client) {
  SoundState& s = client.sound;
  if (!s.device) s.device = MakeSdlSoundDevice();
  if (!s.device->Open()) s.SoundOn = 0;
}

void PlaySoundFile(Client& client, const std::string& path, bool looping) {
  SoundState& s = client.sound;
  if (s.buffer) {
    s.buffer->Stop();
    s.buffer.reset();
  }
  if (!s.device) return;
  s.buffer = s.device->CreateSoundBufferFromFile(path);
  if (s.buffer) s.buffer->Play(looping);
}

void StopSound(Client& client) {
  SoundState& s = client.sound;
  if (!s.buffer) return;
  s.buffer->Stop();
  s.buffer->SetCurrentPosition(0);
}

void SetSoundVolume(Client& client, int32_t volume) {
  SoundState& s = client.sound;
  if (s.buffer && volume >= 0 && volume <= 3000) s.buffer->SetVolume(volume - 3000);
}

void StopMusic(Client&) {}

}  // namespace slvn
