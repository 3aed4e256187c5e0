#!/usr/bin/env bash
# The ThreadSanitizer run: builds, with clang and -fsanitize=thread, only the libraries whose code
# starts or shares threads (the web client and its lanes, the statistics beacon, the platform's
# interface with its exit notice, the login window that uses them, the tools with the cache
# cleaner's worker, the browser's cookie mirror over the shared cookie store, the skinned toolkit's
# threads that prepare the first window ahead) and their tests, and runs those tests. Any report
# fails the run: the sanitizer ends the test at its first report.
# tests/tsan.supp silences only races wholly inside system libraries that are not instrumented.
# Usage: scripts/tsan.sh [BUILD_DIR]   (the test command calls it; it needs a display or Xvfb)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/tsan}
start=$(date +%s)

# Light optimisation and line tables only: enough for the reports' stacks, and quick to build.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
  -DQRV_TSAN=ON -DQRV_SANITIZE=OFF -DQRV_FUZZ=OFF -DQRV_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target test_net test_webapi test_tools test_login test_browser test_ui_ahead

export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$root/tests/tsan.supp"
run() {
  if [[ -z "${DISPLAY:-}" ]]; then
    xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" "$@"
  else
    "$@"
  fi
}
ctest_command=(ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300)
run "${ctest_command[@]}" -L '^(test_net|test_webapi|test_login|test_tools|test_ui_ahead)$'
# Of the browser's tests, those of the cookie mirror between the cookie store and WebKit, and of the
# conversion; the view's own tests load pages and add nothing the mirror's do not.
run "${ctest_command[@]}" -L '^test_browser$' -R '^BrowserCookie|^BrowserSimTest[.]Cookie'
echo "ThreadSanitizer run: $(($(date +%s) - start)) s"
