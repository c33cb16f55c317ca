#include "video/relay_protocol.h"

#include <algorithm>

namespace slvn {

namespace {

void PutU16(std::vector<uint8_t>& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u >> 8));
  out.push_back(static_cast<uint8_t>(u));
}

int16_t GetI16(std::span<const uint8_t> p, size_t at) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[at] << 8 | p[at + 1]));
}

}  // namespace

size_t EncodedRelaySize(const RelayMessage& m) {
  switch (m.type) {
    case RelayType::kLogin:
      return 5 + m.name.size();
    case RelayType::kLoginState:
      return 7;
    case RelayType::kConnect:
      return 6 + m.name.size();
    case RelayType::kDrop:
      return 6;
    case RelayType::kUserState:
    case RelayType::kParam:
      return 8;
    case RelayType::kFormat:
    case RelayType::kFrame:
      return 6 + m.bytes.size();
    case RelayType::kLogout:
    case RelayType::kKeepAlive:
      return 5;
  }
  return 5;
}

void AppendRelayMessage(const RelayMessage& m, std::vector<uint8_t>& out) {
  // The length goes in front once the body is written: frames are copied once.
  const size_t at = out.size();
  out.resize(at + 4);
  out.push_back(static_cast<uint8_t>(m.type));
  switch (m.type) {
    case RelayType::kLogin:
      out.insert(out.end(), m.name.begin(), m.name.end());
      break;
    case RelayType::kLoginState:
      PutU16(out, m.value);
      break;
    case RelayType::kConnect:
      out.push_back(m.slot);
      out.insert(out.end(), m.name.begin(), m.name.end());
      break;
    case RelayType::kDrop:
      out.push_back(m.slot);
      break;
    case RelayType::kUserState:
    case RelayType::kParam:
      out.push_back(m.slot);
      PutU16(out, m.value);
      break;
    case RelayType::kFormat:
    case RelayType::kFrame:
      out.push_back(m.slot);
      out.insert(out.end(), m.bytes.begin(), m.bytes.end());
      break;
    case RelayType::kLogout:
    case RelayType::kKeepAlive:
      break;
  }
  const auto n = static_cast<uint32_t>(out.size() - at - 4);
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(n >> (24 - 8 * i));
}

std::vector<uint8_t> EncodeRelayMessage(const RelayMessage& m) {
  std::vector<uint8_t> body;
  body.reserve(EncodedRelaySize(m));
  AppendRelayMessage(m, body);
  return body;
}

std::optional<RelayMessage> DecodeRelayPayload(uint8_t type, std::span<const uint8_t> p) {
  RelayMessage m;
  m.type = static_cast<RelayType>(type);
  switch (m.type) {
    case RelayType::kLogin:
      if (p.empty() || p.size() > kMaxRelayName) return std::nullopt;
      m.name.assign(p.begin(), p.end());
      return m;
    case RelayType::kLoginState:
      if (p.size() != 2) return std::nullopt;
      m.value = GetI16(p, 0);
      return m;
    case RelayType::kConnect:
      if (p.empty() || p.size() > 1 + kMaxRelayName) return std::nullopt;
      m.slot = p[0];
      m.name.assign(p.begin() + 1, p.end());
      return m;
    case RelayType::kDrop:
      if (p.size() != 1) return std::nullopt;
      m.slot = p[0];
      return m;
    case RelayType::kUserState:
    case RelayType::kParam:
      if (p.size() != 3) return std::nullopt;
      m.slot = p[0];
      m.value = GetI16(p, 1);
      return m;
    case RelayType::kFormat:
    case RelayType::kFrame:
      if (p.empty()) return std::nullopt;
      m.slot = p[0];
      m.bytes.assign(p.begin() + 1, p.end());
      return m;
    case RelayType::kLogout:
    case RelayType::kKeepAlive:
      if (!p.empty()) return std::nullopt;
      return m;
  }
  return std::nullopt;
}

void RelayReader::Feed(std::span<const uint8_t> bytes) {
  const std::span<uint8_t> space = Space(bytes.size());
  if (space.size() < bytes.size()) return;  // broken
  std::copy(bytes.begin(), bytes.end(), space.begin());
  Filled(bytes.size());
}

std::span<uint8_t> RelayReader::Space(size_t want) {
  if (broken_) return {};
  if (start_ == end_) start_ = end_ = 0;
  // Drop what was read before growing the buffer.
  if (buffer_.size() - end_ < want && start_ > 0) {
    std::copy(buffer_.begin() + static_cast<ptrdiff_t>(start_),
              buffer_.begin() + static_cast<ptrdiff_t>(end_), buffer_.begin());
    end_ -= start_;
    start_ = 0;
  }
  // Doubling stops at the largest message, so that a connection's buffer
  // stays near what one message and one read need. A message whose length
  // is known gets its room at once: a stream of large ones starting is not
  // grown to step by step, each step fresh memory to fault in.
  if (buffer_.size() - end_ < want) {
    size_t size = std::max(end_ + want, std::min(2 * buffer_.size(), kMaxRelayMessage + 4));
    if (const size_t n = NextLength(); n > 0 && n <= kMaxRelayMessage)
      size = std::max(size, start_ + 4 + n + want);
    std::vector<uint8_t> grown(size);
    std::copy(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(end_), grown.begin());
    buffer_.swap(grown);
  }
  return std::span<uint8_t>(buffer_).subspan(end_);
}

void RelayReader::Filled(size_t n) {
  if (!broken_) end_ = std::min(buffer_.size(), end_ + n);
  used_ = std::max(used_, end_);
}

void RelayReader::Shrink() {
  if (Buffered() == 0 && buffer_.size() > kKeptReaderBuffer && used_ <= kKeptReaderBuffer) {
    std::vector<uint8_t>().swap(buffer_);
    start_ = end_ = 0;
  }
  used_ = Buffered() > 0 ? end_ : 0;
}

size_t RelayReader::NextLength() const {
  if (Buffered() < 4) return 0;
  const uint8_t* at = buffer_.data() + start_;
  return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
         static_cast<uint32_t>(at[2]) << 8 | at[3];
}

std::optional<RelayView> RelayReader::NextView() {
  if (broken_ || Buffered() < 4) return std::nullopt;
  const uint8_t* at = buffer_.data() + start_;
  const size_t n = NextLength();
  if (n == 0 || n > kMaxRelayMessage) {
    broken_ = true;
    std::vector<uint8_t>().swap(buffer_);
    start_ = end_ = 0;
    return std::nullopt;
  }
  if (Buffered() - 4 < n) return std::nullopt;
  start_ += 4 + n;
  return RelayView{at[4], {at + 5, n - 1}, {at, n + 4}};
}

std::optional<RelayMessage> RelayReader::Next() {
  while (auto view = NextView())
    if (auto m = DecodeRelayPayload(view->type, view->payload)) return m;
  return std::nullopt;
}

}  // namespace slvn
