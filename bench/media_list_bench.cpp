// The media list window with long lists: opening it (read the file, folder pictures, one entry
// view per file), removing one entry (the strip is rebuilt), a drop of 50 files and the save
// on closing. Usage: media_list_bench   (offscreen; prints milliseconds per list length)
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "media_list/media_list_window.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/files/memory_node.h"
#include "platform/messaging/qt_looper.h"
#include "settings/prefs.h"

namespace koru {

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

}  // namespace koru

using namespace koru;

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  char home[] = "/tmp/koru-medialist-XXXXXX";
  if (mkdtemp(home) == nullptr) return 1;
  const std::filesystem::path folder(home);
  QApplication qt(argc, argv);
  QtLooper looper;
  SetDefaultLooper(&looper);
  Prefs prefs(std::make_shared<MemoryNode>());

  std::printf("%8s %10s %10s %10s %10s\n", "entries", "open ms", "remove ms", "drop50 ms",
              "close ms");
  for (int entries : {100, 1000, 5000}) {
    const std::filesystem::path list = folder / ("list" + std::to_string(entries));
    {
      std::ofstream out(list);
      for (int i = 0; i < entries; ++i) {
        out << folder.string() << "/album" << i / 10 << "/track" << i << ".ogg\n";
      }
    }
    auto start = std::chrono::steady_clock::now();
    auto* window = new MediaListWindow(
        &prefs, [](ActionThread::Action) {}, list);
    window->show();
    QApplication::processEvents();
    const double open = MillisecondsSince(start);

    start = std::chrono::steady_clock::now();
    window->DoWithMediaFiles(MediaFileList::kDeleteEntry, "--", entries / 2);
    QApplication::processEvents();
    const double remove = MillisecondsSince(start);

    Message drop(kDroppedData);
    for (int i = 0; i < 50; ++i) {
      drop.AddString("refs", folder.string() + "/dropped/song" + std::to_string(i) + ".ogg");
    }
    start = std::chrono::steady_clock::now();
    window->MessageReceived(&drop);
    QApplication::processEvents();
    const double dropped = MillisecondsSince(start);

    start = std::chrono::steady_clock::now();
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double closed = MillisecondsSince(start);
    std::printf("%8d %10.1f %10.1f %10.1f %10.1f\n", entries, open, remove, dropped, closed);
  }
  SetDefaultLooper(nullptr);
  std::filesystem::remove_all(folder);
  return 0;
}
