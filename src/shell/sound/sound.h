#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sound_device.h"

namespace slvn {

struct Client;

// The sound files, the switches and the one sound buffer: every new sound
// ends the one before it, the background loop included.
struct SoundState {
  // Sound files by number, filled by InitSoundFiles; most stay empty.
  std::array<std::string, 101> SoundBank;
  // Folder of the recorded voices, ending in '/'.
  std::string VoiceFolder;
  int16_t SoundOn = -1;        // -1 on; 0 when the device failed or the player switched sound off
  int16_t MusicOn = -1;        // -1 while the background loop is wanted
  int16_t SystemSoundOn = -1;  // the settings' system-sound switch; nothing else reads it
  // The folders of music and voices lie beside this one.
  std::string program_folder;
  // Made by InitSound unless a test put one here first.
  std::unique_ptr<SoundDevice> device;
  std::unique_ptr<SoundBuffer> buffer;  // declared after the device: goes first
};

void InitSoundFiles(Client& client);
// Opens the sound output; when there is none, sound is switched off.
void InitSound(Client& client);
// Ends the current sound and plays the WAV file once or looping; a missing or
// unreadable file plays nothing and leaves no sound behind.
void PlaySoundFile(Client& client, const std::string& path, bool looping);
// Stops the current sound and rewinds it.
void StopSound(Client& client);
// 0..3000, 3000 full volume and 0 thirty decibels softer; other values are ignored.
void SetSoundVolume(Client& client, int32_t volume);
// There is never a music player, so there is nothing to stop.
void StopMusic(Client& client);

}  // namespace slvn
