#include "video/relay_protocol.h"

#include <gtest/gtest.h>

namespace slvn {
namespace {

RelayMessage Msg(RelayType type, uint8_t slot = 0, int16_t value = 0,
                 std::vector<uint8_t> bytes = {}) {
  RelayMessage m;
  m.type = type;
  m.slot = slot;
  m.value = value;
  m.bytes = std::move(bytes);
  return m;
}

std::vector<uint8_t> Raw(uint8_t type, std::vector<uint8_t> payload) {
  const auto n = static_cast<uint32_t>(payload.size() + 1);
  std::vector<uint8_t> out = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                              static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n), type};
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

TEST(RelayReaderTest, ReadsMessagesSplitAnywhereAndSkipsMalformedOnes) {
  RelayMessage frame = Msg(RelayType::kFrame, 2, 0, {1, 2, 3});
  RelayMessage state = Msg(RelayType::kUserState, 3, 15);
  std::vector<uint8_t> stream = EncodeRelayMessage(frame);
  for (auto bad :
       {Raw(4, {}), Raw(5, {1, 0}), Raw(99, {1}), Raw(1, {}),
        Raw(1, std::vector<uint8_t>(kMaxRelayName + 1, 'a')), Raw(9, {0}), Raw(10, {0})}) {
    stream.insert(stream.end(), bad.begin(), bad.end());
  }
  const std::vector<uint8_t> tail = EncodeRelayMessage(state);
  stream.insert(stream.end(), tail.begin(), tail.end());
  for (size_t cut = 0; cut <= stream.size(); cut += 3) {
    RelayReader reader;
    std::vector<RelayMessage> got;
    reader.Feed({stream.data(), cut});
    while (auto m = reader.Next()) got.push_back(*m);
    reader.Feed({stream.data() + cut, stream.size() - cut});
    while (auto m = reader.Next()) got.push_back(*m);
    ASSERT_EQ(got.size(), 2u) << cut;
    EXPECT_EQ(got[0].type, RelayType::kFrame);
    EXPECT_EQ(got[0].slot, 2);
    EXPECT_EQ(got[0].bytes, frame.bytes);
    EXPECT_EQ(got[1].type, RelayType::kUserState);
    EXPECT_EQ(got[1].value, 15);
    EXPECT_FALSE(reader.Broken());
    EXPECT_EQ(reader.Buffered(), 0u);
  }
}

TEST(RelayReaderTest, AnOversizeOrEmptyLengthBreaksTheStream) {
  for (uint32_t n : {0u, static_cast<uint32_t>(kMaxRelayMessage + 1), 0xFFFFFFFFu}) {
    RelayReader reader;
    std::vector<uint8_t> b = {static_cast<uint8_t>(n >> 24),
                              static_cast<uint8_t>(n >> 16),
                              static_cast<uint8_t>(n >> 8),
                              static_cast<uint8_t>(n),
                              8,
                              1};
    reader.Feed(b);
    EXPECT_FALSE(reader.Next()) << n;
    EXPECT_TRUE(reader.Broken()) << n;
    reader.Feed(EncodeRelayMessage(Msg(RelayType::kLogout)));
    EXPECT_FALSE(reader.Next()) << n;
  }
  // The largest frame still fits.
  RelayReader reader;
  reader.Feed(EncodeRelayMessage(Msg(RelayType::kFrame, 1, 0, std::vector<uint8_t>(1 << 20, 7))));
  auto m = reader.Next();
  ASSERT_TRUE(m);
  EXPECT_EQ(m->bytes.size(), 1u << 20);
}

// A stream of large frames keeps its buffer from one Shrink to the next, so
// it is not freed and faulted in again; a buffer not needed since the last
// Shrink goes.
TEST(RelayReaderTest, ShrinkLetsGoOnlyOfABufferNotUsedSinceTheLastOne) {
  const std::vector<uint8_t> frame =
      EncodeRelayMessage(Msg(RelayType::kFrame, 1, 0, std::vector<uint8_t>(200 * 1024, 7)));
  const std::vector<uint8_t> small = EncodeRelayMessage(Msg(RelayType::kKeepAlive));
  RelayReader reader;
  for (int period = 0; period < 3; ++period) {
    reader.Feed(frame);
    ASSERT_TRUE(reader.Next()) << period;
    reader.Shrink();
    EXPECT_GE(reader.Capacity(), frame.size()) << period;
  }
  reader.Feed(small);
  ASSERT_TRUE(reader.Next());
  reader.Shrink();
  EXPECT_LE(reader.Capacity(), kKeptReaderBuffer);
  reader.Feed(frame);  // and it still reads
  EXPECT_TRUE(reader.Next());
}

// Read straight from a socket a piece at a time, a large message gets its
// room in one step once its length is in, not by doubling step after step.
TEST(RelayReaderTest, ALargeMessageGetsItsRoomOnceItsLengthIsIn) {
  constexpr size_t kPiece = 16 * 1024;
  const std::vector<uint8_t> frame =
      EncodeRelayMessage(Msg(RelayType::kFrame, 1, 0, std::vector<uint8_t>(200 * 1024, 7)));
  RelayReader reader;
  size_t at = 0, grown = 0;
  while (at < frame.size()) {
    const size_t capacity = reader.Capacity();
    const std::span<uint8_t> space = reader.Space(kPiece);
    grown += reader.Capacity() != capacity;
    const size_t n = std::min({space.size(), kPiece, frame.size() - at});
    std::copy_n(frame.begin() + static_cast<ptrdiff_t>(at), n, space.begin());
    reader.Filled(n);
    at += n;
    if (at < frame.size()) {
      EXPECT_FALSE(reader.Next());
    }
  }
  EXPECT_LE(grown, 2u);  // the first read's room, then the message's
  auto m = reader.Next();
  ASSERT_TRUE(m);
  EXPECT_EQ(m->bytes, std::vector<uint8_t>(200 * 1024, 7));
}

}  // namespace
}  // namespace slvn
