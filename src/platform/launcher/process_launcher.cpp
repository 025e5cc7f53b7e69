#include "platform/launcher/process_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QMimeDatabase>
#include <QProcess>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/launcher/desktop_entry.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"

extern char** environ;

namespace koru {

namespace {

std::string MimeTypeOf(const std::string& path) {
  return QMimeDatabase().mimeTypeForFile(QString::fromStdString(path)).name().toStdString();
}

// xdg-open hands the file on and ends, or ends with a status and a message of its own when
// nothing can open it; that is seen only by waiting for it, on a thread of its own so the
// action goes on. The user is told the file, the reason and what to install or set.
void ReportWhenOpenFails(pid_t pid, int error_pipe, const std::string& path) {
  // Found here: Qt's state for a thread of its own would outlive the detached waiter.
  const std::string type = MimeTypeOf(path);
  std::thread([pid, error_pipe, path, type] {
    std::string said;
    char buffer[512];
    for (;;) {
      const ssize_t got = read(error_pipe, buffer, sizeof buffer);
      if (got > 0) {
        said.append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        break;
      }
    }
    close(error_pipe);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
    while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.pop_back();
    AnyAlert("Cannot open '" + path + "' (" + type + ")" +
                 (said.empty() ? std::string(".") : ": " + said) + "\nInstall an application for " +
                 type + " files, or choose one with: xdg-mime default APPLICATION.desktop " + type,
             false);
  }).detach();
}

}  // namespace

status_t ProcessLauncher::Spawn(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return kBadValue;
  QStringList arguments;
  for (size_t i = 1; i < argv.size(); ++i) arguments << QString::fromStdString(argv[i]);
  if (!QProcess::startDetached(QString::fromStdString(argv[0]), arguments)) {
    Trace("launcher: cannot start %s\n", argv[0].c_str());
    return kEntryNotFound;
  }
  return kOk;
}

status_t ProcessLauncher::OpenWithPreferredApp(const std::string& path) {
  int error_pipe[2];
  if (pipe2(error_pipe, O_CLOEXEC) != 0) return Spawn({"xdg-open", path});
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, error_pipe[1], STDERR_FILENO);
  char program[] = "xdg-open";
  std::string argument = path;
  char* argv[] = {program, argument.data(), nullptr};
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(error_pipe[1]);
  if (failed != 0) {
    close(error_pipe[0]);
    AnyAlert("Cannot open '" + path + "': xdg-open cannot be started (" + std::strerror(failed) +
                 ").\nInstall xdg-utils.",
             false);
    return kEntryNotFound;
  }
  ReportWhenOpenFails(pid, error_pipe[0], path);
  return kOk;
}

status_t ProcessLauncher::StartExecutable(const std::string& path) {
  return Spawn({path});
}

status_t ProcessLauncher::OpenUrl(const std::string& url) {
  QProcess query;
  query.start("xdg-mime", {"query", "default", "text/html"});
  if (!query.waitForStarted(2000)) {
    AnyAlert("Cannot open '" + url + "': xdg-mime cannot be started.\nInstall xdg-utils.", false);
    return kEntryNotFound;
  }
  if (!query.waitForFinished(2000)) {
    query.kill();
    query.waitForFinished(500);
    return kTimedOut;
  }
  std::string id = QString::fromUtf8(query.readAllStandardOutput()).trimmed().toStdString();
  // xdg-mime may name several ids separated by ';'.
  if (size_t semicolon = id.find(';'); semicolon != std::string::npos) id.resize(semicolon);
  if (id.empty()) {
    AnyAlert("Cannot open '" + url +
                 "': no web browser is set for text/html.\nInstall a web browser, or choose one "
                 "with: xdg-settings set default-web-browser APPLICATION.desktop",
             false);
    return kEntryNotFound;
  }
  const status_t status = StartDesktopEntry(id, {url});
  if (status != kOk) {
    AnyAlert("Cannot open '" + url + "': the web browser '" + id +
                 "' cannot be started.\nInstall it again, or choose another one with: "
                 "xdg-settings set default-web-browser APPLICATION.desktop",
             false);
  }
  return status;
}

status_t ProcessLauncher::StartDesktopEntry(const std::string& desktop_id) {
  return StartDesktopEntry(desktop_id, {});
}

status_t ProcessLauncher::StartDesktopEntry(const std::string& desktop_id,
                                            const std::vector<std::string>& files) {
  auto file = FindDesktopEntry(desktop_id);
  if (!file) return kEntryNotFound;
  auto exec = ReadDesktopExec(*file);
  if (!exec) return kEntryNotFound;
  std::vector<std::string> argv = ExpandDesktopExec(*exec, files);
  if (argv.empty()) {
    Trace("launcher: cannot read the Exec line of %s\n", file->c_str());
    return kBadValue;
  }
  return Spawn(argv);
}

}  // namespace koru
