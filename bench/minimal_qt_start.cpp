// The yardstick of bench/startup_and_idle.py: the least a Qt Widgets program does before it can
// answer, one label shown and the first turn of the event loop. It prints the line KORU prints
// when its window is built, so both are timed the same way.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label("KORU");
  label.show();
  QTimer::singleShot(0, &app, [] {
    std::printf("-- StartUp --\n");
    std::fflush(stdout);
    QApplication::quit();
  });
  return QApplication::exec();
}
