#!/usr/bin/env bash
# Installs what is missing, builds everything with the default compiler (g++, no sanitizers) to
# prove a plain build links, builds everything with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test (under Xvfb when there is no display) and gives
# each fuzz target a short run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/test"

bash "$root/scripts/deps.sh"

# A plain build with the default compiler: every target must build and link with g++ as well.
cmake -S "$root" -B "$root/build/gcc" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/gcc" -j "$(nproc)"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_SANITIZE=ON -DQRV_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp"

# No test meets the machine's session bus or starts one. Without an address, libdbus forks
# dbus-launch from inside GTK's start (the accessibility bridge asks for the bus), and a fork while
# another thread allocates deadlocks AddressSanitizer's allocator in the child. Tests that need a
# bus start a private one and give its address themselves.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$build/no-session-bus"

ctest_command=(ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300)
if [[ -z "${DISPLAY:-}" ]]; then
  xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" "${ctest_command[@]}"
else
  "${ctest_command[@]}"
fi

# The libraries that start or share threads, and their tests, under ThreadSanitizer in a tree of
# their own: any report fails the run.
bash "$root/scripts/tsan.sh" "$root/build/tsan"

bash "$root/scripts/fuzz.sh" "$build" 15

# The Debian package: built from build/gcc, checked with lintian and the validators, unpacked into
# a read-only root and played there as an ordinary user.
bash "$root/scripts/package-test.sh"
