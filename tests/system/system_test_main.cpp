// main() of the system tests: the fake services are Qt processes, and the tests only make sense
// on the private stack that run_system_tests.sh starts.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  if (!std::getenv("KORU_SYSTEM_WORK")) {
    std::fprintf(stderr, "%s: run it through run_system_tests.sh\n", argv[0]);
    return 1;
  }
  return RUN_ALL_TESTS();
}
