#include <string>

#include "pending/pending.h"
#include "shell/client.h"
#include "shell/launch_line.h"

int main(int argc, char** argv) {
  slvn::Client client;
  slvn::SetStartValues(client.data);
  const std::string launch_line = slvn::JoinLaunchArguments(argc, argv);
  (void)launch_line;
  slvn::Form_Load(client);
  return 0;
}
