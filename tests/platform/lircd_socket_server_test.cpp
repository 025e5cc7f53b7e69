// The lircd socket for real, in a temporary folder: clients that read, one that never reads,
// one that hangs up, and the command replies.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/lircd/lircd_socket_server.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"

namespace koru {

namespace {

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  return address;
}

// A blocking client that gives up after ten seconds of silence (a broken server fails the test
// instead of hanging it).
class Client {
 public:
  explicit Client(const std::string& path) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = AddressOf(path);
    EXPECT_EQ(connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    timeval limit{10, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  ~Client() { close(fd_); }
  void EndSending() { shutdown(fd_, SHUT_WR); }
  void Send(const std::string& text) {
    ASSERT_EQ(send(fd_, text.data(), text.size(), MSG_NOSIGNAL), ssize_t(text.size()));
  }
  // Reads until `end` has arrived; what came (empty on silence or end of stream).
  std::string ReadUntil(const std::string& end) {
    while (buffered_.find(end) == std::string::npos) {
      char chunk[65536];
      const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
      if (n <= 0) return {};
      buffered_.append(chunk, static_cast<size_t>(n));
    }
    const size_t at = buffered_.find(end) + end.size();
    std::string text = buffered_.substr(0, at);
    buffered_.erase(0, at);
    return text;
  }
  // True once the server has closed the connection (all that was sent before is read first;
  // a server that closes with commands unread resets the connection).
  bool ReadsToEnd() {
    char chunk[65536];
    for (;;) {
      const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
      if (n == 0) return true;
      if (n < 0) return errno == ECONNRESET;
    }
  }
  // Waits for the reply to a command: the server has accepted this client by then.
  std::string Ask(const std::string& command) {
    Send(command + "\n");
    return ReadUntil("END\n");
  }

 private:
  int fd_ = -1;
  std::string buffered_;
};

std::string Echo(std::string_view line) {
  return "BEGIN\n" + std::string(line) + "\nSUCCESS\nEND\n";
}

// A fresh folder for the socket of each test.
class LircdSocket : public ::testing::Test {
 protected:
  TempDir dir_;
  const std::string path_ = (dir_.Path() / "lircd").string();
};

std::string Line(int i) {
  char text[64];
  std::snprintf(text, sizeof text, "%016x 00 N%d REMOTE_%06d\n", i, i % 10, i);
  return text;
}

}  // namespace

TEST_F(LircdSocket, EveryClientGetsEveryLineAndRepliesToItsOwnCommands) {
  const std::string path = (dir_.Path() / "run" / "koru" / "lircd").string();
  std::string error;
  auto server = LircdSocketServer::Listen(path, Echo, &error);
  ASSERT_NE(server, nullptr) << error;
  struct stat folder {};
  ASSERT_EQ(stat((dir_.Path() / "run" / "koru").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  Client a(path), b(path), c(path);
  EXPECT_EQ(a.Ask("VERSION"), "BEGIN\nVERSION\nSUCCESS\nEND\n");
  // A command may arrive in pieces, and two in one piece.
  b.Send("LI");
  b.Send("ST\nLIST X\n");
  EXPECT_EQ(b.ReadUntil("END\n"), "BEGIN\nLIST\nSUCCESS\nEND\n");
  EXPECT_EQ(b.ReadUntil("END\n"), "BEGIN\nLIST X\nSUCCESS\nEND\n");
  EXPECT_EQ(c.Ask("SEND_ONCE r k"), "BEGIN\nSEND_ONCE r k\nSUCCESS\nEND\n");

  std::string all;
  for (int i = 0; i < 3; ++i) {
    server->Broadcast(Line(i));
    all += Line(i);
  }
  for (Client* client : {&a, &b, &c}) EXPECT_EQ(client->ReadUntil(Line(2)), all);

  server.reset();  // the socket goes with the server
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(a.ReadsToEnd());
}

TEST_F(LircdSocket, AClientThatNeverReadsIsDroppedAndTheOthersGoOn) {
  auto server = LircdSocketServer::Listen(path_, Echo, nullptr, {.buffer = 16 * 1024});
  ASSERT_NE(server, nullptr);
  Client reader(path_), sleeper(path_);
  ASSERT_FALSE(reader.Ask("VERSION").empty());
  ASSERT_FALSE(sleeper.Ask("VERSION").empty());

  // In chunks the reader takes in full before the next: the reader is never behind by more
  // than one chunk, the sleeper fills the kernel's buffer and then its own.
  int sent = 0;
  while (server->DroppedCount() == 0 && sent < 100000) {
    std::string chunk;
    for (int i = 0; i < 100; ++i, ++sent) {
      server->Broadcast(Line(sent));
      chunk += Line(sent);
    }
    ASSERT_EQ(reader.ReadUntil(Line(sent - 1)), chunk) << "after line " << sent;
  }
  EXPECT_EQ(server->DroppedCount(), 1u);
  EXPECT_TRUE(sleeper.ReadsToEnd());
  server->Broadcast("after\n");
  EXPECT_EQ(reader.ReadUntil("after\n"), "after\n");
}

TEST_F(LircdSocket, AStaleSocketIsReplacedButOneInUseAnotherFileOrAnOpenFolderIsNot) {
  namespace fs = std::filesystem;
  auto first = LircdSocketServer::Listen(path_, Echo, nullptr);
  ASSERT_NE(first, nullptr);
  // A socket file nobody listens on, as a killed run leaves it.
  const fs::path dir = dir_.Path(), stale = dir / "stale", file = dir / "notes";
  const int unused = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = AddressOf(stale.string());
  ASSERT_EQ(bind(unused, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(unused);
  std::ofstream(file) << "keep me";
  // Any folder on the way that others may change refuses the path, the folder named: there
  // they could swap the folder below it for their own. A sticky one lets them rename only
  // their own files.
  const fs::path shared = dir / "shared", sticky = dir / "sticky";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms::all);  // 0777, not sticky
  fs::create_directory(sticky);
  fs::permissions(sticky, fs::perms::all | fs::perms::sticky_bit);
  fs::create_directory_symlink(shared, dir / "link");
  const auto open = [](const fs::path& folder) {
    return "'" + folder.string() + "' may be changed by other users";
  };
  const struct {
    fs::path socket;
    std::string refused;  // a part of the error; empty: served
  } cases[] = {
      {path_, "is in use"},
      {stale, ""},
      {file, "not a socket"},
      {shared / "lircd", open(shared)},
      {shared / "v" / "w" / "lircd", open(shared)},
      {dir / "link" / "v" / "lircd", open(dir / "link")},
      {sticky / "v" / "lircd", ""},
      {"/" + std::string(200, 'x'), "longer than"},
  };
  for (const auto& c : cases) {
    std::string error;
    auto server = LircdSocketServer::Listen(c.socket.string(), Echo, &error);
    EXPECT_EQ(server == nullptr, !c.refused.empty()) << c.socket << ": " << error;
    EXPECT_NE(error.find(c.refused), std::string::npos) << c.socket << ": " << error;
    if (server) {
      EXPECT_FALSE(Client(c.socket.string()).Ask("VERSION").empty()) << c.socket;
    }
  }
  EXPECT_FALSE(Client(path_).Ask("VERSION").empty());  // the first one still serves
  EXPECT_TRUE(fs::exists(file));
}

TEST_F(LircdSocket, RepliesReachEveryClientThatReads) {
  // A reply of its own far over the limit, a burst of commands whose replies together are, and
  // a client that closes its sending half (socat, nc -N) and keeps listening.
  const std::string big(200 * 1024, 'x');
  auto server = LircdSocketServer::Listen(
      path_, [&big](std::string_view line) { return line == "BIG" ? big + "\nEND\n" : Echo(line); },
      nullptr);
  ASSERT_NE(server, nullptr);

  Client reader(path_);
  EXPECT_EQ(reader.Ask("BIG"), big + "\nEND\n");

  Client burst(path_);
  std::string commands, replies;
  for (int i = 0; i < 3000; ++i) {
    commands += "LIST " + std::to_string(i) + "\n";
    replies += Echo("LIST " + std::to_string(i));
  }
  burst.Send(commands);
  EXPECT_EQ(burst.ReadUntil(Echo("LIST 2999")), replies);

  Client half(path_);
  half.Send("VERSION\n");
  half.EndSending();
  EXPECT_EQ(half.ReadUntil("END\n"), Echo("VERSION"));
  server->Broadcast(Line(7));
  EXPECT_EQ(half.ReadUntil(Line(7)), Line(7));
  EXPECT_EQ(server->DroppedCount(), 0u);
}

TEST_F(LircdSocket, AFloodingClientDelaysNoOneElsesKeys) {
  // The server's thread is held inside one answer while a client queues 20,000 commands and a
  // key is broadcast: where the key lands among that client's replies shows how many of its
  // commands were answered before the key went out.
  std::promise<void> holding, released;
  std::shared_future<void> release = released.get_future().share();
  auto server = LircdSocketServer::Listen(
      path_,
      [&](std::string_view line) -> std::string {
        if (line != "HOLD") return "r\n";
        holding.set_value();
        release.wait();
        return "held\n";
      },
      nullptr);
  ASSERT_NE(server, nullptr);
  Client flooder(path_), holder(path_);
  flooder.Send("x\n");
  ASSERT_EQ(flooder.ReadUntil("r\n"), "r\n");
  holder.Send("HOLD\n");
  holding.get_future().wait();
  std::string flood;
  for (int i = 0; i < 20000; ++i) flood += "x\n";
  flooder.Send(flood);
  server->Broadcast("KEY\n");
  released.set_value();
  const std::string before_key = flooder.ReadUntil("KEY\n");
  ASSERT_FALSE(before_key.empty());
  EXPECT_LT(before_key.size() / 2, 2 * LircdSocketServer::kCommandsPerTurn);
}

TEST_F(LircdSocket, ClientsOverTheLimitAreRefusedAndAClientThatHangsUpIsRemoved) {
  TraceCapture trace;
  auto server = LircdSocketServer::Listen(path_, Echo, nullptr, {.clients = 3});
  ASSERT_NE(server, nullptr);
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < 5; ++i) clients.push_back(std::make_unique<Client>(path_));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(clients[i]->Ask("VERSION"), Echo("VERSION")) << i;
  for (int i = 3; i < 5; ++i) EXPECT_TRUE(clients[i]->ReadsToEnd()) << i;
  EXPECT_EQ(server->RefusedCount(), 2u);
  EXPECT_TRUE(trace.Contains("lircd socket: a client was refused: 3 clients are connected already"))
      << trace.Text();
  // A client that hangs up, a reply to it unread, is removed (not dropped) and its place is
  // taken again; the others go on. The hang-up is seen in a poll round of its own; each reply
  // ends a round.
  clients[0]->Send("VERSION\n");
  clients[0].reset();
  server->Broadcast(Line(1));
  for (int i = 1; i < 3; ++i) EXPECT_EQ(clients[i]->ReadUntil(Line(1)), Line(1));
  for (int round = 0; round < 1000 && server->ClientCount() != 2; ++round) clients[1]->Ask("V");
  EXPECT_EQ(server->ClientCount(), 2u);
  EXPECT_EQ(server->DroppedCount(), 0u);
  EXPECT_EQ(Client(path_).Ask("VERSION"), Echo("VERSION"));
}

TEST_F(LircdSocket, WithoutDescriptorsAcceptingPausesInsteadOfSpinning) {
  auto server = LircdSocketServer::Listen(path_, Echo, nullptr);
  ASSERT_NE(server, nullptr);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit low = saved;
  low.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  // Every descriptor taken but the one the client needs: the server cannot accept it.
  std::vector<int> taken;
  for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) taken.push_back(fd);
  close(taken.back());
  taken.pop_back();
  {
    Client waiting(path_);
    for (int i = 0; i < 100 && server->AcceptFailures() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // A spinning thread fails thousands of times in half a second, a pausing one twice or so.
    EXPECT_GE(server->AcceptFailures(), 1u);
    EXPECT_LE(server->AcceptFailures(), 10u);
    for (int fd : taken) close(fd);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(waiting.Ask("VERSION"), Echo("VERSION"));
  }
}

TEST_F(LircdSocket, OneRequestEachAnswersTheFirstLineOnlyAndCloses) {
  std::atomic<int> answers{0};
  auto server = LircdSocketServer::Listen(path_,
                                          [&answers](std::string_view line) {
                                            ++answers;
                                            return Echo(line);
                                          },
                                          nullptr, {.one_request = true});
  ASSERT_NE(server, nullptr);
  Client client(path_);
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "show\n";
  client.Send(many);
  EXPECT_EQ(client.ReadUntil("END\n"), Echo("show"));
  EXPECT_TRUE(client.ReadsToEnd());
  EXPECT_EQ(answers.load(), 1);
}

}  // namespace koru
