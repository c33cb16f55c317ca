// Arbitrary bytes as the hand-history file: loading any hand from it must
// leave the score board's lists within their bounds and never hang.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "settlement/hand_record.h"
#include "settlement/record_boards.h"
#include "shell/client.h"

namespace {

slvn::Client& FuzzClient() {
  static slvn::Client client{std::make_unique<slvn::ManualClock>()};
  static bool ready = false;
  if (!ready) {
    const auto folder = std::filesystem::temp_directory_path() / "slvn_fuzz_hand_record";
    std::filesystem::create_directories(folder);
    client.sound.program_folder = folder.string();
    ready = true;
  }
  return client;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  slvn::Client& client = FuzzClient();
  {
    std::ofstream out(slvn::HandRecordFile(client), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  slvn::LoadHandRecord(client, static_cast<int16_t>(data[0] % 4));
  if (!client.Score) return 0;  // hand 0 loads nothing
  const slvn::ScoreForm& score = *client.Score;
  for (int i = 0; i < 8; ++i)
    if (score.State[i].ListCount() > 1000) {
      std::fprintf(stderr, "fuzz_hand_record: a list past its bound\n");
      std::abort();
    }
  return 0;
}
