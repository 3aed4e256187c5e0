#!/usr/bin/env bash
# Installs what is missing, builds the launcher, starts the platform simulator on loopback and
# runs the launcher against it. Without a display it runs under Xvfb for a short while and writes
# screenshots to build/demo/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/demo"
dist="$build/dist"

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQRV_TESTS=OFF -DQRV_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

mkdir -p "$dist/data" "$build/screenshots"
# The demo starts as a fresh installation: no remembered account, no cookies of an earlier run.
rm -f "$dist/data/systemset.ini" "$dist/data/cookies.txt"
log="$build/sim-requests.jsonl"
"$build/sim/qrv_sim" --data "$root/sim/data/platform.json" --log "$log" --port 0 \
  --deploy-out "$dist/data/deploy.ini" >"$build/sim.out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do grep -q listening "$build/sim.out" 2>/dev/null && break; sleep 0.1; done
echo "simulator: $(cat "$build/sim.out")"

if [[ ! -x "$dist/zelto_qrv" ]]; then
  echo "the launcher is not built yet; the simulator runs until Ctrl+C"
  wait "$sim_pid"
  exit 0
fi

cd "$dist"
if [[ -n "${DISPLAY:-}" ]]; then
  ./zelto_qrv
else
  xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" bash "$root/scripts/demo-headless.sh" "$dist" "$build/screenshots"
fi
