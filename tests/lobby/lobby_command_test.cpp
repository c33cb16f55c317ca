#include "lobby_command.h"

#include <gtest/gtest.h>

namespace slvn {
namespace {

TEST(LobbyCommandTest, NumbersAreDecimalOrHexadecimalAfter0x) {
  const struct {
    const char* line;
    const char* verb;
    uint32_t msg;
    int64_t wparam, lparam;
  } cases[] = {
      {"post 0x112 0xF120 0", "post", 0x112, 0xF120, 0},
      {"post 274 61728 0", "post", 0x112, 61728, 0},
      {"send 0x16", "send", 0x16, 0, 0},
      {"post 0x400 0XfF -1", "post", 0x400, 255, -1},
      {"  post\t16  010 0x0 ", "post", 16, 10, 0},
  };
  for (const auto& c : cases) {
    LobbyCommand command;
    std::string error;
    ASSERT_TRUE(ParseLobbyCommand(c.line, command, error)) << c.line << ": " << error;
    EXPECT_EQ(command.verb, c.verb) << c.line;
    EXPECT_EQ(command.message.msg, c.msg) << c.line;
    EXPECT_EQ(command.message.wparam, c.wparam) << c.line;
    EXPECT_EQ(command.message.lparam, c.lparam) << c.line;
  }
}

// A line that does not convert is refused, and the error names the word.
TEST(LobbyCommandTest, WhatDoesNotConvertIsRefusedByName) {
  const struct {
    const char* line;
    const char* named;
  } cases[] = {
      {"pots 0x112", "pots"},
      {"post", "post"},
      {"post 0x", "0x"},
      {"post 0x112 0xF12G 0", "0xF12G"},
      {"post 0x112 F120", "F120"},
      {"post 0x112 0xF120 1.5", "1.5"},
      {"post 0x112 -0x1", "-0x1"},
      {"post 0x112 0 0 7", "7"},
      {"post 0x100000000", "0x100000000"},
      {"post 0x112 99999999999999999999", "99999999999999999999"},
  };
  for (const auto& c : cases) {
    LobbyCommand command;
    std::string error;
    EXPECT_FALSE(ParseLobbyCommand(c.line, command, error)) << c.line;
    EXPECT_NE(error.find(c.named), std::string::npos) << c.line << ": " << error;
  }
}

}  // namespace
}  // namespace slvn
