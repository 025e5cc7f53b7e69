// The lircd socket for real, in a temporary folder: clients that read, one that never reads,
// one that hangs up, and the command replies.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "lircd/lircd_key_feed.h"
#include "platform/lircd/lircd_socket_server.h"
#include "temp_dir.h"

namespace {

// A blocking client that gives up after ten seconds of silence (a broken server fails the test
// instead of hanging it).
class Client {
 public:
  explicit Client(const std::string& path) {
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    timeval limit{10, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }
  ~Client() { Close(); }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  bool Connected() const { return connected_; }
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
  // True once the server has closed the connection (all that was sent before is read first).
  bool ReadsToEnd() {
    char chunk[65536];
    for (;;) {
      const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
      if (n == 0) return true;
      if (n < 0) return false;
    }
  }
  // Waits for the reply to a command: the server has accepted this client by then.
  std::string Ask(const std::string& command) {
    Send(command + "\n");
    return ReadUntil("END\n");
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
  std::string buffered_;
};

std::string Echo(std::string_view line) {
  return "BEGIN\n" + std::string(line) + "\nSUCCESS\nEND\n";
}

std::string Line(int i) {
  char text[64];
  std::snprintf(text, sizeof text, "%016x 00 N%d REMOTE_%06d\n", i, i % 10, i);
  return text;
}

}  // namespace

TEST(LircdSocketServer, EveryClientGetsEveryLineAndRepliesToItsOwnCommands) {
  TempDir dir;
  const std::string path = (dir.Path() / "run" / "koru" / "lircd").string();
  std::string error;
  auto server = LircdSocketServer::Listen(path, Echo, &error);
  ASSERT_NE(server, nullptr) << error;
  struct stat folder {};
  ASSERT_EQ(stat((dir.Path() / "run" / "koru").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  Client a(path), b(path), c(path);
  ASSERT_TRUE(a.Connected() && b.Connected() && c.Connected());
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

TEST(LircdSocketServer, AClientThatNeverReadsIsDroppedAndTheOthersGoOn) {
  TempDir dir;
  const std::string path = (dir.Path() / "lircd").string();
  auto server = LircdSocketServer::Listen(path, Echo, nullptr, 16 * 1024);
  ASSERT_NE(server, nullptr);
  Client reader(path), sleeper(path);
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

TEST(LircdSocketServer, AClientThatHangsUpIsRemoved) {
  TempDir dir;
  const std::string path = (dir.Path() / "lircd").string();
  auto server = LircdSocketServer::Listen(path, Echo, nullptr);
  ASSERT_NE(server, nullptr);
  Client stays(path);
  {
    Client leaves(path);
    ASSERT_FALSE(leaves.Ask("VERSION").empty());
    leaves.Send("VERSION\n");  // a reply no one reads any more
  }
  server->Broadcast(Line(1));
  EXPECT_EQ(stays.ReadUntil(Line(1)), Line(1));
  // The hang-up is seen in a poll round of its own; each reply ends a round.
  for (int round = 0; round < 1000 && server->ClientCount() != 1; ++round) stays.Ask("VERSION");
  EXPECT_EQ(server->ClientCount(), 1u);
  EXPECT_EQ(server->DroppedCount(), 0u);
}

TEST(LircdSocketServer, AStaleSocketIsReplacedButOneInUseAnotherFileOrAnOpenFolderIsNot) {
  TempDir dir;
  const std::string path = (dir.Path() / "lircd").string();
  std::string error;
  {
    auto first = LircdSocketServer::Listen(path, Echo, &error);
    ASSERT_NE(first, nullptr) << error;
    EXPECT_EQ(LircdSocketServer::Listen(path, Echo, &error), nullptr);
    EXPECT_NE(error.find("is in use"), std::string::npos) << error;
    Client client(path);  // the first one still serves
    EXPECT_FALSE(client.Ask("VERSION").empty());
  }
  {
    // A socket file nobody listens on, as a killed run leaves it.
    const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(stale);
    auto second = LircdSocketServer::Listen(path, Echo, &error);
    ASSERT_NE(second, nullptr) << error;
    Client client(path);
    EXPECT_FALSE(client.Ask("VERSION").empty());
  }
  const std::string file = (dir.Path() / "notes").string();
  std::ofstream(file) << "keep me";
  EXPECT_EQ(LircdSocketServer::Listen(file, Echo, &error), nullptr);
  EXPECT_NE(error.find("not a socket"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::exists(file));
  const std::filesystem::path shared = dir.Path() / "shared";
  std::filesystem::create_directory(shared);
  std::filesystem::permissions(shared, std::filesystem::perms::all);  // 0777, not sticky
  EXPECT_EQ(LircdSocketServer::Listen((shared / "lircd").string(), Echo, &error), nullptr);
  EXPECT_NE(error.find("may be changed by other users"), std::string::npos) << error;
  EXPECT_EQ(LircdSocketServer::Listen("/" + std::string(200, 'x'), Echo, &error), nullptr);
  EXPECT_NE(error.find("longer than"), std::string::npos) << error;
}

TEST(LircdSocketServer, AnExactRemoteIsListedAndBroadcastWithTheSameCodes) {
  TempDir dir;
  const std::string path = (dir.Path() / "lircd").string();
  LircdKeyFeed feed("1.0");
  auto server = LircdSocketServer::Listen(
      path, [&feed](std::string_view line) { return feed.Answer(line); }, nullptr);
  ASSERT_NE(server, nullptr);
  feed.SetBroadcast([&server](std::string line) { server->Broadcast(std::move(line)); });
  RemoteList remotes;
  remotes.push_back(std::make_unique<RemoteCL>());
  RemoteCL& remote = *remotes.back();
  remote.fName = "Hi Fi";
  remote.SetExactHead({ExactProtocol::kRc5, 0x14, 0, 11});
  remote.SetExactKey(52, {ExactProtocol::kRc5, 0x14, 0x01, 11});     // N1
  remote.SetExactKey(65, {ExactProtocol::kRc5, 0x10, 0x10, 11});     // Vol+: another address
  remote.SetExactKey(91, {ExactProtocol::kHash, 0, 0xDEADBEEF, 0});  // |<<
  feed.RemotesChanged(remotes);

  Client client(path);
  ASSERT_TRUE(client.Connected());
  EXPECT_EQ(client.Ask("LIST Hi_Fi"),
            "BEGIN\nLIST Hi_Fi\nSUCCESS\nDATA\n3\n0000001400000001 N1\n"
            "0000001000000010 Vol+\n00000000deadbeef |<<\nEND\n");
  Message report(FourCC("irCE"));
  report.AddString("_exact", "RC-5:0x10:0x10");
  feed.KeyRecognised(remote, 65, report);
  EXPECT_EQ(client.ReadUntil("Hi_Fi\n"), "0000001000000010 00 Vol+ Hi_Fi\n");
}
