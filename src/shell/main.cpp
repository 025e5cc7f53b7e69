// The program entry: options, the application object, its message loop.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QPointer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "koru_version.h"
#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/files/data_folder.h"
#include "platform/files/paths.h"
#include "platform/lines/replay_line.h"
#include "platform/lines/system_receiver_devices.h"
#include "platform/messaging/qt_looper.h"
#include "platform/messaging/quit_signals.h"
#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "settings/prefs.h"
#include "shell/fake_desktop_hook.h"
#include "shell/koru_application.h"
#include "shell/main_window.h"
#include "shell/session_shell.h"
#include "shell/single_instance.h"
#include "toolkit/after_first_turn.h"
#include "toolkit/deferred_icon_style.h"
#include "toolkit/view_utilities.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

namespace {

void PrintHelp() {
  std::printf(
      "Usage: koru [OPTION]...\n"
      "Turns an infrared remote into an input device for the desktop.\n\n"
      "  --home DIR            program folder (remotes, presets, translations) for this run;\n"
      "                        one KORU runs per program folder, a second start brings the\n"
      "                        running one to the front\n"
      "  --port NAME           receiver for this run only (serial1..4, usb0..3, lirc0.., or\n"
      "                        replay:FILE to play a mode2 recording, replay:demo.mode2 the\n"
      "                        shipped demo); not stored\n"
      "  --exit-after-replay   with a replay: port, quit once the recording has played and\n"
      "                        the last action has run\n"
      "  --dry-run             recognise and route keys as usual, but only trace what each\n"
      "                        action would do (\"would ...\") instead of doing it\n"
      "  --lircd-socket PATH   serve LIRC clients (irw, irexec, Kodi) on this socket for this\n"
      "                        run; the settings page's switch uses\n"
      "                        $XDG_RUNTIME_DIR/koru/lircd\n"
      "  --open NAME           open a window at start-up: virtual-remote, preset-editor,\n"
      "                        media-list\n"
      "  --version             print the version and quit\n"
      "  --help                print this help and quit\n");
}

// The windows --open can show at start-up, by the message that opens each.
uint32_t OpenRequest(const std::string& name) {
  if (name == "virtual-remote") return kOpenVirtualRemote;
  if (name == "preset-editor") return kOpenPresetEditor;
  if (name == "media-list") return kOpenMediaList;
  return 0;
}

}  // namespace

}  // namespace koru

using namespace koru;

int main(int argc, char** argv) {
  std::vector<uint32_t> open_requests;
  std::string port;
  std::string lircd_socket;
  bool exit_after_replay = false;
  bool dry_run = false;
  std::vector<std::string> autostart_arguments;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintHelp();
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("KORU %s\n", KORU_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--home") == 0 && i + 1 < argc) {
      SetProgramFolder(argv[++i]);
      // Started at login, KORU uses the program folder of the run that asked for it.
      autostart_arguments = {"--home",
                             std::filesystem::absolute(argv[i]).lexically_normal().string()};
    } else if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
      port = argv[++i];
    } else if (std::strcmp(argv[i], "--lircd-socket") == 0 && i + 1 < argc) {
      lircd_socket = argv[++i];
    } else if (std::strcmp(argv[i], "--open") == 0 && i + 1 < argc) {
      const uint32_t request = OpenRequest(argv[++i]);
      if (request == 0) {
        std::fprintf(stderr, "koru: no window named '%s' (see koru --help)\n", argv[i]);
        return 2;
      }
      open_requests.push_back(request);
    } else if (std::strcmp(argv[i], "--exit-after-replay") == 0) {
      exit_after_replay = true;
    } else if (std::strcmp(argv[i], "--dry-run") == 0) {
      dry_run = true;
    } else {
      std::fprintf(stderr, "koru: unknown option '%s' (see koru --help)\n", argv[i]);
      return 2;
    }
  }
  const bool headless =
      std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
  if (exit_after_replay && port.rfind("replay:", 0) != 0) {
    std::fprintf(stderr, "koru: --exit-after-replay needs --port replay:FILE\n");
    return 2;
  }
  // A name KORU does not know would open nothing and leave the user guessing.
  if (!port.empty() && port.rfind("replay:", 0) != 0 &&
      SystemReceiverDevices().NodeFor(port).empty()) {
    std::fprintf(stderr,
                 "koru: no receiver port named '%s'; valid names: serial1..serial4, usb0..usb3, "
                 "lirc0.. (lirc0, lirc1, ...), replay:FILE\n",
                 port.c_str());
    return 2;
  }
  if (port.rfind("replay:", 0) == 0) {
    // "replay:demo.mode2" finds the shipped recording wherever KORU is installed.
    port = "replay:" + FindDataFile(port.substr(7)).string();
    // A recording that cannot be played is reported before anything starts; a pipe or FIFO
    // gives its contents only once, so it is read from now on, while the window shows.
    std::string error;
    if (ReplayLine::Keep(port.substr(7), &error) != kOk) {
      std::fprintf(stderr, "koru: %s\n", error.c_str());
      return 1;
    }
    // A recording is offered as a receiver device only when it is named this way.
    setenv("KORU_REPLAY", port.c_str() + 7, 1);
  }
  WindowSetup setup;
  setup.remote_folder = ProgramFolder() / "_Remotes_";
  setup.port = port;
  setup.exit_after_replay = exit_after_replay;
  setup.lircd_socket = lircd_socket;
  setup.dry_run = dry_run;
  if (headless) setenv("QT_QPA_PLATFORM", "offscreen", 0);

  std::printf("-KORU begin-\n");
  std::fflush(stdout);
  QApplication qt(argc, argv);
  QGuiApplication::setDesktopFileName(kDesktopId);
  QApplication::setStyle(new DeferredIconStyle(QApplication::style()->name()));
  // The trace is buffered: what was traced goes out before the GUI thread waits for events.
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                   [] { FlushTrace(); });
  // One KORU per program folder: a later start brings the running one's window to the front.
  SingleInstance instance(QString::fromStdString(
      std::filesystem::absolute(ProgramFolder()).lexically_normal().string()));
  if (const SingleInstance::Role role = instance.Claim(); role != SingleInstance::kFirst) {
    if (role == SingleInstance::kAnswered)
      std::printf("KORU runs already: its window comes to the front\n");
    else if (role == SingleInstance::kRefused)
      std::printf("KORU cannot start: %s\n", qPrintable(instance.Refusal()));
    else
      std::printf("KORU runs already but does not answer (lock %s)\n",
                  qPrintable(instance.LockPath()));
    std::printf("\n-KORU end-\n");
    return role == SingleInstance::kAnswered ? 0 : 1;
  }
  if (headless) Trace("no display: running on the offscreen platform\n");
  if (const char* fake = std::getenv("KORU_FAKE_DESKTOP"); fake != nullptr && *fake == '1') {
    UseFakeDesktop(&setup);
  }
  QtLooper looper;
  SetDefaultLooper(&looper);
  InstallAlertPresenter();
  int result = 0;
  // Opened after the single-instance check: a second start must not write it back.
  std::unique_ptr<Prefs> settings = Prefs::OpenSettingsFile();
  setup.settings = settings.get();
  {
    KoruApplication app(std::move(setup));
    SessionShell session(&app, QSystemTrayIcon::isSystemTrayAvailable(),
                         QCoreApplication::applicationFilePath().toStdString(),
                         autostart_arguments);
    instance.SetShowRequest(
        [&session](const std::string& token) { session.ShowMainWindow(token); });
    // What went wrong is also kept in the main window's log, where the user looks.
    QPointer<MainWindow> main_window = app.GetMainWindow();
    InstallAlertPresenter([main_window](const std::string& text) {
      if (main_window) main_window->AddToLog(text + "\n");
    });
    // A later start meanwhile waits for the answer (it asks again for seconds).
    AfterFirstTurn(&qt, [&instance] { instance.Serve(); });
    InstallQuitSignals([] { AppMessenger().SendMessage(kQuitRequested); });
    for (const uint32_t request : open_requests) {
      // The media list goes through the main window, as its "Open" item does, so that the
      // remote's keys go to the list.
      if (request == kOpenMediaList) {
        app.GetMainWindow()->GetMessenger().SendMessage(request);
      } else {
        AppMessenger().SendMessage(request);
      }
    }
    result = qt.exec();
    InstallAlertPresenter();
  }
  settings.reset();  // writes every setting back, after the windows have stored theirs
  std::printf("\n-KORU end-\n");
  return result;
}
