#pragma once

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace slvn::test {

// Runs the table server with a script; the port is its first line of output.
class TableServer {
 public:
  TableServer(const TempDir& dir, const std::string& script);
  ~TableServer() { Finish(); }
  TableServer(const TableServer&) = delete;
  TableServer& operator=(const TableServer&) = delete;

  int port() const { return port_; }
  // Waits for the server to end; its exit status.
  int Finish();
  std::string Record() const { return ReadFileBytes(record_); }

 private:
  std::string record_;
  FILE* pipe_ = nullptr;
  int port_ = 0;
  int status_ = -1;
};

}  // namespace slvn::test
