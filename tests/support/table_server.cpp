#include "support/table_server.h"

#include <sys/wait.h>

namespace slvn::test {

TableServer::TableServer(const TempDir& dir, const std::string& script)
    : record_(dir.File("record.txt")) {
  WriteFileBytes(dir.File("script.txt"), script);
  std::string command = std::string(SLVN_TABLE_SERVER) + " --port 0 --script " +
                        dir.File("script.txt") + " --record " + record_;
  pipe_ = popen(command.c_str(), "r");
  if (pipe_ && std::fscanf(pipe_, "%d", &port_) != 1) port_ = 0;
}

int TableServer::Finish() {
  if (pipe_) status_ = pclose(pipe_);
  pipe_ = nullptr;
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

}  // namespace slvn::test
