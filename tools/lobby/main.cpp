// The stand-in lobby: owns a window on the message bus, starts the client
// with a launch line, prints every message it receives and delivers the
// messages it reads on standard input to the client's main window.
//
//   slvn-lobby [--title TITLE] [--client PATH] --line 'LAUNCH LINE'
//
// Out: "recv 0xMSG WPARAM LPARAM" per message received, "answer 0xRESULT"
// per send. In: "post MSG [WPARAM LPARAM]" and "send MSG [WPARAM LPARAM]",
// each number decimal or hexadecimal after 0x ("post 0x112 0xF120 0"); a
// line that does not convert is refused, naming the word.
// Ends when the client ends, with the client's exit status.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "lobby_command.h"
#include "platform/event_loop.h"
#include "platform/timer.h"
#include "platform/window_bus.h"

namespace {

struct Options {
  std::string title = "Corvald山庄";
  std::string client;
  std::string line;
  bool line_given = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) return false;
    if (a == "--title") {
      o.title = argv[++i];
    } else if (a == "--client") {
      o.client = argv[++i];
    } else if (a == "--line") {
      o.line = argv[++i];
      o.line_given = true;
    } else {
      return false;
    }
  }
  if (o.client.empty()) o.client = (std::filesystem::path(argv[0]).parent_path() / "slvn").string();
  return o.line_given;
}

pid_t StartClient(const Options& o) {
  pid_t pid = fork();
  if (pid == 0) {
    execl(o.client.c_str(), o.client.c_str(), o.line.c_str(), static_cast<char*>(nullptr));
    std::perror("slvn-lobby: cannot start the client");
    _exit(127);
  }
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: slvn-lobby [--title TITLE] [--client PATH] --line 'LAUNCH LINE'\n");
    return 2;
  }
  slvn::SteadyClock clock;
  slvn::EventLoop loop(clock);
  slvn::WindowBus bus(slvn::WindowBus::NamespaceFromEnvironment());
  slvn::BusWindow window(loop, bus, options.title, [&](const slvn::WindowMessage& m) {
    std::printf("recv 0x%X %lld %lld\n", m.msg, static_cast<long long>(m.wparam),
                static_cast<long long>(m.lparam));
    std::fflush(stdout);
    return int64_t{0};
  });
  if (!window.Listening()) {
    std::fprintf(stderr, "slvn-lobby: a window titled \"%s\" exists already\n",
                 options.title.c_str());
    return 2;
  }

  pid_t child = StartClient(options);
  if (child < 0) return 2;
  const std::string client_title = slvn::ClientWindowTitle(child);

  std::string pending_input;
  slvn::EventLoop::WatchId stdin_watch = 0;
  stdin_watch = loop.Watch(STDIN_FILENO, POLLIN, [&](short) {
    char buf[512];
    ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
      loop.Unwatch(stdin_watch);  // end of input: keep running until the client ends
      return;
    }
    pending_input.append(buf, static_cast<size_t>(n));
    for (size_t eol; (eol = pending_input.find('\n')) != std::string::npos;) {
      std::string line = pending_input.substr(0, eol);
      pending_input.erase(0, eol + 1);
      slvn::LobbyCommand command;
      std::string error;
      if (!slvn::ParseLobbyCommand(line, command, error)) {
        std::fprintf(stderr, "slvn-lobby: \"%s\" refused: %s\n", line.c_str(), error.c_str());
        continue;
      }
      const std::string& verb = command.verb;
      const slvn::WindowMessage& m = command.message;
      slvn::WindowHandle h = bus.FindWindow(client_title);
      if (!h) {
        std::fprintf(stderr, "slvn-lobby: the client has no window\n");
      } else if (verb == "post") {
        bus.PostMessage(h, m);
      } else if (auto answer = bus.SendMessage(h, m)) {
        std::printf("answer 0x%llX\n", static_cast<unsigned long long>(*answer));
        std::fflush(stdout);
      } else {
        std::fprintf(stderr, "slvn-lobby: the client did not answer\n");
      }
    }
  });

  int exit_status = 0;
  slvn::Timer reaper(loop, [&] {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) != child) return;
    exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    loop.Quit();
  });
  reaper.SetInterval(50);
  reaper.SetEnabled(true);
  loop.Run();
  return exit_status;
}
