#include "video/relay_protocol.h"

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

std::vector<uint8_t> EncodeRelayMessage(const RelayMessage& m) {
  // The length goes in front once the body is written: frames are copied once.
  std::vector<uint8_t> body(4);
  body.reserve(4 + 3 + m.name.size() + m.bytes.size());
  body.push_back(static_cast<uint8_t>(m.type));
  switch (m.type) {
    case RelayType::kLogin:
      body.insert(body.end(), m.name.begin(), m.name.end());
      break;
    case RelayType::kLoginState:
      PutU16(body, m.value);
      break;
    case RelayType::kConnect:
      body.push_back(m.slot);
      body.insert(body.end(), m.name.begin(), m.name.end());
      break;
    case RelayType::kDrop:
      body.push_back(m.slot);
      break;
    case RelayType::kUserState:
    case RelayType::kParam:
      body.push_back(m.slot);
      PutU16(body, m.value);
      break;
    case RelayType::kFormat:
    case RelayType::kFrame:
      body.push_back(m.slot);
      body.insert(body.end(), m.bytes.begin(), m.bytes.end());
      break;
    case RelayType::kLogout:
    case RelayType::kKeepAlive:
      break;
  }
  const auto n = static_cast<uint32_t>(body.size() - 4);
  for (int i = 0; i < 4; ++i)
    body[static_cast<size_t>(i)] = static_cast<uint8_t>(n >> (24 - 8 * i));
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
  if (broken_) return;
  // Drop what was read before growing the buffer.
  if (start_ > 0 && start_ * 2 >= buffer_.size()) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(start_));
    start_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<RelayMessage> RelayReader::Next() {
  while (!broken_ && Buffered() >= 4) {
    const uint8_t* at = buffer_.data() + start_;
    const uint32_t n = static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 |
                       static_cast<uint32_t>(at[2]) << 8 | at[3];
    if (n == 0 || n > kMaxRelayMessage) {
      broken_ = true;
      buffer_.clear();
      start_ = 0;
      return std::nullopt;
    }
    if (Buffered() - 4 < n) return std::nullopt;
    std::span<const uint8_t> payload(at + 5, n - 1);
    const uint8_t type = at[4];
    start_ += 4 + n;
    if (auto m = DecodeRelayPayload(type, payload)) return m;
  }
  return std::nullopt;
}

}  // namespace slvn
