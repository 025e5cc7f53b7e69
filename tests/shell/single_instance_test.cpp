// One KORU per program folder: a second start hands over to the first and ends; a crashed first
// one does not block the next start.
#include <gtest/gtest.h>

#include "koru_process.h"

namespace {

const QString kRecording = QString(KORU_SOURCE_DIR) + "/data/nec_leadtek_key1.mode2";

// A koru on `dir`'s program folder and settings, headless, with the recording as its port.
void Start(QProcess* koru, const TempDir& dir, const QStringList& more = {}) {
  QProcessEnvironment env = KoruEnvironment(dir);
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.Path().string()));
  koru->setProcessEnvironment(env);
  koru->setProcessChannelMode(QProcess::MergedChannels);
  koru->start(KORU_PROGRAM,
              QStringList{"--home", KoruHome(dir), "--port", "replay:" + kRecording} + more);
}

// Reads the output until `text` shows (or the program ends, or a minute passes).
bool WaitFor(QProcess* koru, QByteArray* out, const QByteArray& text) {
  for (int i = 0; i < 600 && !out->contains(text); ++i) {
    if (koru->state() == QProcess::NotRunning) break;
    koru->waitForReadyRead(100);
    *out += koru->readAll();
  }
  *out += koru->readAll();
  return out->contains(text);
}

TEST(SingleInstance, SecondStartBringsTheFirstToTheFrontAndEnds) {
  TempDir dir;
  QProcess first;
  QByteArray first_out;
  Start(&first, dir);
  ASSERT_TRUE(WaitFor(&first, &first_out, "-- StartUp --")) << first_out.toStdString();

  QProcess second;
  Start(&second, dir);
  ASSERT_TRUE(second.waitForFinished(60000));
  const QByteArray second_out = second.readAll();
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << second_out.toStdString();
  EXPECT_TRUE(second_out.contains("KORU runs already: its window comes to the front\n"));
  EXPECT_FALSE(second_out.contains("-- StartUp --")) << "no second window, no second port";

  EXPECT_TRUE(WaitFor(&first, &first_out, "another start of KORU: the window comes to the front"))
      << first_out.toStdString();
  first.terminate();  // SIGTERM ends KORU the ordinary way
  ASSERT_TRUE(first.waitForFinished(60000));
  EXPECT_EQ(first.exitCode(), 0);

  // A program folder of its own is an instance of its own.
  TempDir other;
  QProcess independent;
  Start(&independent, other, {"--exit-after-replay"});
  ASSERT_TRUE(independent.waitForFinished(60000));
  EXPECT_EQ(independent.exitCode(), 0);
  EXPECT_TRUE(independent.readAll().contains("-- StartUp --"));
}

TEST(SingleInstance, ACrashedFirstStartDoesNotBlockTheNext) {
  TempDir dir;
  QProcess crashed;
  QByteArray out;
  Start(&crashed, dir);
  ASSERT_TRUE(WaitFor(&crashed, &out, "-- StartUp --")) << out.toStdString();
  crashed.kill();  // SIGKILL: the lock file and the socket stay behind
  crashed.waitForFinished();

  QProcess next;
  Start(&next, dir, {"--exit-after-replay"});
  ASSERT_TRUE(next.waitForFinished(60000));
  const QByteArray next_out = next.readAll();
  EXPECT_EQ(next.exitCode(), 0) << next_out.toStdString();
  EXPECT_TRUE(next_out.contains("-- StartUp --")) << next_out.toStdString();
  EXPECT_TRUE(next_out.contains("replay finished")) << next_out.toStdString();
}

}  // namespace
