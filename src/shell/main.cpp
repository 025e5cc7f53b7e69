#include <cstdio>
#include <cstring>

#include "koru_version.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("Usage: koru [--version] [--help]\n");
      return 0;
    }
  }
  std::printf("KORU %s\n", KORU_VERSION);
  return 0;
}
