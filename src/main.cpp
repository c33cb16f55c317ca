#include <string>

#include "pending/pending.h"
#include "shell/client.h"

int main(int argc, char** argv) {
  slvn::Client client;
  slvn::SetStartValues(client.data);
  // The launch line is the program's arguments joined by single blanks.
  std::string launch_line;
  for (int i = 1; i < argc; ++i) launch_line += (i > 1 ? " " : "") + std::string(argv[i]);
  (void)launch_line;
  slvn::Form_Load(client);
  return 0;
}
