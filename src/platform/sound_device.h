#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace slvn {

// One loaded sound. Play returns at once while the sound goes on.
class SoundBuffer {
 public:
  virtual ~SoundBuffer() = default;
  virtual void Play(bool looping) = 0;
  virtual void Stop() = 0;
  virtual void SetCurrentPosition(int position) = 0;
  // Hundredths of a decibel: 0 full volume, negative softer.
  virtual void SetVolume(int32_t hundredths_db) = 0;
};

// The sound output: opened once, then makes one buffer per file.
class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  // False when there is no usable output.
  virtual bool Open() = 0;
  // The whole WAV file in a buffer; null when the file is missing or not a
  // WAV sound, or the device is not open.
  virtual std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(const std::string& path) = 0;
};

// Samples as the device plays them: 16-bit, two channels, kSoundRate a second.
constexpr int kSoundRate = 44100;
struct WavSound {
  std::vector<int16_t> samples;  // interleaved left, right
};
// Reads and converts WAV bytes; nullopt for anything that is not a WAV sound.
std::optional<WavSound> DecodeWav(std::span<const uint8_t> bytes);
std::optional<WavSound> LoadWavFile(const std::string& path);

// The SDL audio output.
std::unique_ptr<SoundDevice> MakeSdlSoundDevice();

// A silent device for tests: it plays nothing and writes each call to `calls`
// ("open", "create <path>", "play once", "play loop", "stop", "position 0",
// "volume -3000", "release" when a buffer goes).
class RecordingSoundDevice : public SoundDevice {
 public:
  bool fail_open = false;
  std::vector<std::string> calls;

  bool Open() override;
  std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(const std::string& path) override;

 private:
  bool open_ = false;
};

}  // namespace slvn
