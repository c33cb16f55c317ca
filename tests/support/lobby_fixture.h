#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "shell/client.h"
#include "support/fake_lobby.h"
#include "support/temp_dir.h"

namespace slvn::test {

constexpr const char* kLobbyTitle = "Corvald山庄";

// A manual-clock client with a bus, a program folder and a silent sound
// device of the test's own, and the lobby's window on its own thread.
class LobbyFixture : public ::testing::Test {
 protected:
  LobbyFixture();
  // Gives another client the same bus, folder and a silent device.
  void Prepare(Client& other);
  bool LobbyGot(uint32_t msg, int64_t wparam = 0);

  TempDir dir;
  Client client{std::make_unique<ManualClock>()};
  std::unique_ptr<FakeLobby> lobby;
};

}  // namespace slvn::test
