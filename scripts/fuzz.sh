#!/usr/bin/env bash
# Builds one fuzz target with clang's libFuzzer (plus AddressSanitizer and UBSan) and runs it
# for some minutes on a copy of its saved corpus. New crashers land in tests/fuzz/corpus/TARGET
# under crash-*: keep each one there once it is mended, so that CTest replays it.
#   scripts/fuzz.sh TARGET MINUTES        (targets: ls tests/fuzz/*_fuzzer.cpp; 0 minutes: build only)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ne 2 ]]; then
  echo "usage: $0 TARGET MINUTES" >&2
  echo "targets: $(ls tests/fuzz/*_fuzzer.cpp | xargs -n1 basename | sed 's/_fuzzer.cpp//' | xargs)" >&2
  exit 2
fi
target=$1
minutes=$2
if [[ ! -f tests/fuzz/${target}_fuzzer.cpp ]]; then
  echo "no fuzz target '$target'" >&2
  exit 2
fi

# libFuzzer ships with clang's runtime libraries (Debian: clang and libclang-rt-*-dev, or
# libclang-common-*-dev on older releases).
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
  echo "clang with libFuzzer is needed: apt-get install clang libclang-rt-14-dev (or the version of your clang)" >&2
  exit 1
fi

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORU_FUZZ=ON -DKORU_WERROR=OFF -DKORU_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j2 --target "fuzz_${target}"
[[ $minutes -gt 0 ]] || exit 0

corpus=tests/fuzz/corpus/${target}
work=$build/corpus/${target}
mkdir -p "$work"
cp -n "$corpus"/* "$work"/ 2>/dev/null || true
# Findings go into the saved corpus; the growing work corpus stays in the build folder.
"$build/tests/fuzz/fuzz_${target}" "$work" "$corpus" -max_total_time=$((minutes * 60)) \
  -max_len=4096 -rss_limit_mb=2048 -artifact_prefix="$corpus/" -print_final_stats=1
