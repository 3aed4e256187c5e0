#!/usr/bin/env bash
# Start-up benchmark: under Xvfb, the time from start to the login window's first painted frame
# and the memory of the login phase (resident set of all the program's processes), against a bare
# GTK window of the same size. Prints medians of several runs and both ratios (goal: at most 1.5).
# Usage: bench/startup.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
runs=${1:-7}

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQRV_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target zelto_qrv qrv_sim bare_gtk_window skin >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog/data" "$work/prog/skin" "$work/home/Desktop"
cp "$build/dist/zelto_qrv" "$work/prog/"
cp "$build/dist/skin/box.bk" "$work/prog/skin/"

exec xvfb-run -a -s "-screen 0 1600x1000x24" python3 - "$build" "$work" "$root" "$runs" <<'PY'
import os, statistics, subprocess, sys, time

build, work, root, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
sys.path.insert(0, os.path.join(root, "bench"))
from process_memory import tree_rss_kib


def measure(argv, cwd, env):
    start = time.monotonic()
    proc = subprocess.Popen(argv, cwd=cwd, env=env, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True)
    first = None
    for line in proc.stderr:
        if line.startswith("first-frame "):
            first = int(line.split()[1]) / 1e6
            break
    if first is None:
        proc.kill()
        raise SystemExit(f"{argv[0]} painted no frame")
    time.sleep(1.0)  # the login phase settles: news fetched, window shown
    rss = tree_rss_kib(proc.pid)
    proc.terminate()
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
    return (first - start) * 1000.0, rss / 1024.0

sim = subprocess.Popen([f"{build}/sim/qrv_sim", "--data", f"{root}/sim/data/platform.json", "--log", f"{work}/sim.log",
                        "--deploy-out", f"{work}/prog/data/deploy.ini"], stdout=subprocess.PIPE, text=True)
sim.stdout.readline()
try:
    env = dict(os.environ, HOME=f"{work}/home", XDG_CONFIG_HOME=f"{work}/home/.config", QRV_TRACE_FIRST_FRAME="1")
    launcher, bare = [], []
    for _ in range(runs):
        launcher.append(measure([f"{work}/prog/zelto_qrv"], f"{work}/prog", env))
        bare.append(measure([f"{build}/bench/bare_gtk_window", "640", "420"], work, env))
finally:
    sim.terminate()
    sim.wait()

def med(values, i):
    return statistics.median(v[i] for v in values)

lt, lm, bt, bm = med(launcher, 0), med(launcher, 1), med(bare, 0), med(bare, 1)
print(f"runs: {runs} of each, medians")
print(f"first frame  launcher {lt:8.1f} ms   bare GTK window {bt:8.1f} ms   ratio {lt / bt:.2f}")
print(f"memory (RSS) launcher {lm:8.1f} MiB  bare GTK window {bm:8.1f} MiB  ratio {lm / bm:.2f}")
PY
