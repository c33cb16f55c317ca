#include "support/lobby_fixture.h"

#include "platform/sound_device.h"

namespace slvn::test {

LobbyFixture::LobbyFixture() {
  client.bus = WindowBus(TestBusNamespace());
  Prepare(client);
  lobby = std::make_unique<FakeLobby>(client.bus.Namespace(), kLobbyTitle);
}

void LobbyFixture::Prepare(Client& other) {
  other.bus = client.bus;
  other.sound.program_folder = dir.path().string();
  other.sound.device = std::make_unique<RecordingSoundDevice>();
}

bool LobbyFixture::LobbyGot(uint32_t msg, int64_t wparam) {
  for (const auto& m : lobby->Messages())
    if (m.msg == msg && m.wparam == wparam) return true;
  return false;
}

}  // namespace slvn::test
