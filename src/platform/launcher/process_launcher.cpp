#include "platform/launcher/process_launcher.h"

#include <QProcess>
#include <QStringList>

#include "platform/desktop/desktop_entry.h"
#include "platform/messaging/trace.h"

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
  return Spawn({"xdg-open", path});
}

status_t ProcessLauncher::StartExecutable(const std::string& path) {
  return Spawn({path});
}

status_t ProcessLauncher::OpenUrl(const std::string& url) {
  QProcess query;
  query.start("xdg-mime", {"query", "default", "text/html"});
  if (!query.waitForFinished(2000)) {
    query.kill();
    query.waitForFinished(500);
    return kTimedOut;
  }
  std::string id = QString::fromUtf8(query.readAllStandardOutput()).trimmed().toStdString();
  // xdg-mime may name several ids separated by ';'.
  if (size_t semicolon = id.find(';'); semicolon != std::string::npos) id.resize(semicolon);
  if (id.empty()) {
    Trace("launcher: no web browser is set for text/html\n");
    return kEntryNotFound;
  }
  return StartDesktopEntry(id, {url});
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
