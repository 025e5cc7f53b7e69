// The single instance's lock and socket in a test folder, in this process: what it refuses to
// trust, and one request a connection.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files/private_folder.h"
#include "platform/messaging/trace.h"
#include "shell/single_instance.h"
#include "temp_dir.h"

namespace koru {

namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& path) {
  return QString::fromStdString(path.string());
}

TEST(SingleInstanceClaim, ALinkAtTheLockPathRefusesTheStart) {
  TempDir dir;
  SingleInstance probe("program", Q(dir.Path()));
  const fs::path target = dir.Path() / "elsewhere";
  fs::create_symlink(target, probe.LockPath().toStdString());
  SingleInstance instance("program", Q(dir.Path()));
  EXPECT_EQ(instance.Claim(), SingleInstance::kRefused);
  EXPECT_TRUE(instance.Refusal().contains("is a symbolic link")) << qPrintable(instance.Refusal());
  EXPECT_FALSE(fs::exists(target));
}

TEST(SingleInstanceClaim, WhatAnotherUserOwnsIsNeverTrusted) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
  constexpr uid_t kOther = 65534;
  TempDir dir;
  // A folder of another user's: it could hold a lock and answer "ok" in our name.
  const fs::path theirs = dir.Path() / "theirs";
  fs::create_directory(theirs);
  ASSERT_EQ(chown(theirs.c_str(), kOther, kOther), 0);
  std::string error;
  EXPECT_FALSE(MakePrivateFolder(theirs, &error));
  EXPECT_NE(error.find("not a folder of this user's own"), std::string::npos) << error;
  {
    TraceCapture trace;
    SingleInstance instance("program", Q(theirs));
    EXPECT_EQ(instance.Claim(), SingleInstance::kFirst);
    EXPECT_TRUE(trace.Contains("may be changed by other users; KORU runs without it"))
        << trace.Text();
  }
  // Their lock file in a folder of ours.
  SingleInstance probe("program", Q(dir.Path()));
  const std::string lock = probe.LockPath().toStdString();
  close(open(lock.c_str(), O_CREAT | O_WRONLY, 0644));
  ASSERT_EQ(chown(lock.c_str(), kOther, kOther), 0);
  TraceCapture trace;
  SingleInstance instance("program", Q(dir.Path()));
  EXPECT_EQ(instance.Claim(), SingleInstance::kFirst);
  EXPECT_TRUE(trace.Contains("belongs to another user and is not trusted")) << trace.Text();
}

TEST(SingleInstanceClaim, EachConnectionBringsTheWindowUpOnceAtMost) {
  TempDir dir;
  SingleInstance instance("program", Q(dir.Path()));
  ASSERT_EQ(instance.Claim(), SingleInstance::kFirst);
  std::vector<std::string> shown;
  instance.SetShowRequest([&shown](const std::string& token) { shown.push_back(token); });
  instance.Serve();
  const std::string lock = instance.LockPath().toStdString();
  const std::string socket_path = lock.substr(0, lock.size() - 5) + ".socket";

  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  // The first request carries the later start's activation token.
  std::string requests = "show kwin-1:9/a+b=\n";
  for (int i = 0; i < 2000; ++i) requests += "show\n";
  ASSERT_EQ(send(fd, requests.data(), requests.size(), MSG_NOSIGNAL), ssize_t(requests.size()));
  std::string answers;
  char chunk[4096];
  for (ssize_t n; (n = recv(fd, chunk, sizeof chunk, 0)) > 0;) answers.append(chunk, size_t(n));
  close(fd);
  EXPECT_EQ(answers, "ok\n");
  QCoreApplication::processEvents();
  EXPECT_EQ(shown, std::vector<std::string>{"kwin-1:9/a+b="});
}

}  // namespace

}  // namespace koru
