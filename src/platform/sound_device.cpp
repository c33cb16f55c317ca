#include "platform/sound_device.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>

namespace slvn {

namespace {
// Larger files are not taken: the background loop is a few megabytes.
constexpr size_t kMaxWavBytes = 64u << 20;

uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// True when every chunk of a RIFF WAVE file lies inside the bytes. SDL's reader
// allocates what a chunk header claims before it reads, so a lying header
// would cost gigabytes.
bool ChunksFit(std::span<const uint8_t> bytes) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return false;
  for (size_t pos = 12; pos + 8 <= bytes.size();) {
    uint32_t length = Le32(bytes.data() + pos + 4);
    if (length > bytes.size() - pos - 8) return false;
    pos += 8 + static_cast<size_t>(length) + (length & 1);
  }
  return true;
}

// Converts a loaded WAV to the device format; `rw` is closed here.
std::optional<WavSound> Convert(SDL_RWops* rw) {
  if (!rw) return std::nullopt;
  SDL_AudioSpec wav_format;
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &wav_format, &data, &length)) return std::nullopt;
  SDL_AudioCVT cvt;
  std::optional<WavSound> sound;
  if (SDL_BuildAudioCVT(&cvt, wav_format.format, wav_format.channels, wav_format.freq, AUDIO_S16SYS,
                        2, kSoundRate) >= 0 &&
      length > 0 && length <= static_cast<Uint32>(INT_MAX / std::max(1, cvt.len_mult))) {
    std::vector<uint8_t> work(static_cast<size_t>(length) * std::max(1, cvt.len_mult));
    std::memcpy(work.data(), data, length);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length);
    // A sound shorter than one frame is no sound.
    if (SDL_ConvertAudio(&cvt) == 0 && cvt.len_cvt >= 4) {
      sound.emplace();
      sound->samples.resize(static_cast<size_t>(cvt.len_cvt) / 4 * 2);
      std::memcpy(sound->samples.data(), work.data(), sound->samples.size() * 2);
    }
  }
  SDL_FreeWAV(data);
  return sound;
}

class SdlSoundDevice;

class SdlSoundBuffer : public SoundBuffer {
 public:
  SdlSoundBuffer(SdlSoundDevice& device, WavSound sound);
  ~SdlSoundBuffer() override;
  void Play(bool looping) override;
  void Stop() override;
  void SetCurrentPosition(int position) override;
  void SetVolume(int32_t hundredths_db) override;

  // Called on the audio thread with the device locked.
  void MixInto(int16_t* out, size_t count);

 private:
  SdlSoundDevice& device_;
  WavSound sound_;
  size_t position_ = 0;
  bool playing_ = false;
  bool looping_ = false;
  float gain_ = 1;
};

class SdlSoundDevice : public SoundDevice {
 public:
  ~SdlSoundDevice() override {
    if (id_) SDL_CloseAudioDevice(id_);
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool Open() override {
    if (id_) return true;
    if (!subsystem_) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
      subsystem_ = true;
    }
    SDL_AudioSpec want{};
    want.freq = kSoundRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlSoundDevice::Callback;
    want.userdata = this;
    id_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (!id_) return false;
    SDL_PauseAudioDevice(id_, 0);
    return true;
  }

  std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(const std::string& path) override {
    if (!id_) return nullptr;
    std::optional<WavSound> sound = LoadWavFile(path);
    if (!sound) return nullptr;
    return std::make_unique<SdlSoundBuffer>(*this, std::move(*sound));
  }

  // Changes that the audio thread sees happen under this lock.
  template <class Change>
  void Locked(Change change) {
    SDL_LockAudioDevice(id_);
    change();
    SDL_UnlockAudioDevice(id_);
  }

  void Attach(SdlSoundBuffer* b) {
    Locked([&] { buffers_.push_back(b); });
  }
  void Detach(SdlSoundBuffer* b) {
    Locked(
        [&] { buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), b), buffers_.end()); });
  }

 private:
  static void Callback(void* self, Uint8* stream, int len) {
    std::memset(stream, 0, static_cast<size_t>(len));
    auto* out = reinterpret_cast<int16_t*>(stream);
    for (SdlSoundBuffer* b : static_cast<SdlSoundDevice*>(self)->buffers_)
      b->MixInto(out, static_cast<size_t>(len) / 2);
  }

  SDL_AudioDeviceID id_ = 0;
  bool subsystem_ = false;
  std::vector<SdlSoundBuffer*> buffers_;
};

SdlSoundBuffer::SdlSoundBuffer(SdlSoundDevice& device, WavSound sound)
    : device_(device), sound_(std::move(sound)) {
  device_.Attach(this);
}
SdlSoundBuffer::~SdlSoundBuffer() {
  device_.Detach(this);
}

void SdlSoundBuffer::Play(bool looping) {
  device_.Locked([&] { playing_ = true, looping_ = looping; });
}
void SdlSoundBuffer::Stop() {
  device_.Locked([&] { playing_ = false; });
}
void SdlSoundBuffer::SetCurrentPosition(int position) {
  device_.Locked([&] {
    position_ = std::min(static_cast<size_t>(std::max(position, 0)) * 2, sound_.samples.size());
  });
}
void SdlSoundBuffer::SetVolume(int32_t hundredths_db) {
  float gain = std::pow(10.0f, static_cast<float>(std::min(hundredths_db, 0)) / 2000.0f);
  device_.Locked([&] { gain_ = gain; });
}

void SdlSoundBuffer::MixInto(int16_t* out, size_t count) {
  const std::vector<int16_t>& s = sound_.samples;
  for (size_t i = 0; i < count && playing_; ++i) {
    if (position_ >= s.size()) {
      // A finished sound stays where it ended until it is rewound.
      if (!looping_ || s.empty()) {
        playing_ = false;
        break;
      }
      position_ = 0;
    }
    int mixed = out[i] + static_cast<int>(std::lround(s[position_++] * gain_));
    out[i] = static_cast<int16_t>(std::clamp(mixed, -32768, 32767));
  }
}

class RecordingBuffer : public SoundBuffer {
 public:
  explicit RecordingBuffer(std::vector<std::string>& calls) : calls_(calls) {}
  ~RecordingBuffer() override { calls_.push_back("release"); }
  void Play(bool looping) override { calls_.push_back(looping ? "play loop" : "play once"); }
  void Stop() override { calls_.push_back("stop"); }
  void SetCurrentPosition(int position) override {
    calls_.push_back("position " + std::to_string(position));
  }
  void SetVolume(int32_t v) override { calls_.push_back("volume " + std::to_string(v)); }

 private:
  std::vector<std::string>& calls_;
};
}  // namespace

std::optional<WavSound> DecodeWav(std::span<const uint8_t> bytes) {
  if (bytes.size() > kMaxWavBytes || !ChunksFit(bytes)) return std::nullopt;
  return Convert(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())));
}

std::optional<WavSound> LoadWavFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes;
  char chunk[65536];
  while (file && bytes.size() <= kMaxWavBytes) {
    file.read(chunk, sizeof chunk);
    bytes.insert(bytes.end(), chunk, chunk + file.gcount());
  }
  return DecodeWav(bytes);
}

std::unique_ptr<SoundDevice> MakeSdlSoundDevice() {
  return std::make_unique<SdlSoundDevice>();
}

bool RecordingSoundDevice::Open() {
  calls.push_back("open");
  open_ = !fail_open;
  return open_;
}

std::unique_ptr<SoundBuffer> RecordingSoundDevice::CreateSoundBufferFromFile(
    const std::string& path) {
  calls.push_back("create " + path);
  if (!open_ || !LoadWavFile(path)) return nullptr;
  return std::make_unique<RecordingBuffer>(calls);
}

}  // namespace slvn
