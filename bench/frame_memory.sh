#!/usr/bin/env bash
# Memory benchmark of the main frame: under Xvfb, the memory of all the program's processes (the
# launcher and WebKit's web and network processes) while the main frame shows the simulator's game
# page, against a bare WebKitGTK window showing the same page. Prints, for every process and for
# the sum, medians of several runs of the resident set (RSS) and of the proportional set size
# (PSS, which counts a page shared by several processes once in all), and the ratios.
# Usage: bench/frame_memory.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
runs=${1:-5}

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQRV_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target zelto_qrv qrv_webkit qrv_sim skin >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog/data" "$work/prog/skin" "$work/home/Desktop"
cp "$build/dist/zelto_qrv" "$build/dist/libqrv_webkit.so" "$build/dist/portable.txt" "$work/prog/"
cp "$build/dist/skin/box.bk" "$work/prog/skin/"

# The bare window: one WebKit view in one GTK window, nothing else.
cat >"$work/bare_webkit.c" <<'C'
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
int main(int argc, char **argv) {
  gtk_init(&argc, &argv);
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 1600, 960);
  GtkWidget *view = webkit_web_view_new();
  gtk_container_add(GTK_CONTAINER(window), view);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
C
cc -O2 -o "$work/bare_webkit" "$work/bare_webkit.c" $(pkg-config --cflags --libs webkit2gtk-4.1 gtk+-3.0)

# -noreset: the server would otherwise reset each time the last program of a run leaves it, and a
# program starting then could find the display closed to it (seen a few times in a hundred runs under load).
exec xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" python3 - "$build" "$work" "$root" "$runs" <<'PY'
import json, os, socket, statistics, subprocess, sys, time

build, work, root, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
sys.path.insert(0, os.path.join(root, "bench"))
from process_memory import tree_memory_kib


def game_page_requests(log):
    try:
        with open(log) as f:
            return sum(1 for line in f if "/joinGame/code/" in line)
    except OSError:
        return 0

def wait_for(done, seconds):
    until = time.monotonic() + seconds
    while time.monotonic() < until:
        if done():
            return True
        time.sleep(0.1)
    return False

def automation(path, request):
    with socket.socket(socket.AF_UNIX) as s:
        s.settimeout(5)
        s.connect(path)
        s.sendall((json.dumps(request) + "\n").encode())
        answer = b""
        while not answer.endswith(b"\n"):
            chunk = s.recv(65536)
            if not chunk:
                break
            answer += chunk
        return json.loads(answer or b"{}")

def stop(proc):
    proc.terminate()
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()

def launcher_run(env, log):
    sock = f"{work}/automation.sock"
    before = game_page_requests(log)
    proc = subprocess.Popen([f"{work}/prog/zelto_qrv"], cwd=f"{work}/prog", env=dict(env, QRV_AUTOMATION=sock),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        def recommended_shown():
            try:
                return automation(sock, {"cmd": "control", "class": "UILogIn", "name": "bntuijian"}).get("visible")
            except OSError:
                return False
        if not wait_for(recommended_shown, 30):
            raise SystemExit("the login window never showed the recommended server")
        automation(sock, {"cmd": "click", "class": "UILogIn", "name": "bntuijian"})
        if not wait_for(lambda: game_page_requests(log) > before, 30):
            raise SystemExit("the main frame never asked for the game page")
        time.sleep(3.0)  # the page settles
        return tree_memory_kib(proc.pid)
    finally:
        stop(proc)

def bare_run(env, url, log):
    before = game_page_requests(log)
    proc = subprocess.Popen([f"{work}/bare_webkit", url], cwd=work, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not wait_for(lambda: game_page_requests(log) > before, 30):
            raise SystemExit("the bare window never asked for the game page")
        time.sleep(3.0)
        return tree_memory_kib(proc.pid)
    finally:
        stop(proc)

log = f"{work}/sim.log"
sim = subprocess.Popen([f"{build}/sim/qrv_sim", "--data", f"{root}/sim/data/platform.json", "--log", log,
                        "--deploy-out", f"{work}/prog/data/deploy.ini"], stdout=subprocess.PIPE, text=True)
port = sim.stdout.readline().strip().rsplit(":", 1)[1]
try:
    with open(f"{work}/prog/data/systemset.ini", "wb") as f:
        # Remembered credentials log in by themselves (each byte stored plus 32).
        scramble = lambda t: bytes(b + 32 for b in t.encode())
        f.write(b"[ShellLink]\nhas=2\n[Runset]\nautologin=1\nautorun=0\n[Update]\nnote=1\nversion="
                + scramble("qrvtest") + b"\ncheckcode=" + scramble("abc123456") + b"\n")
    env = dict(os.environ, HOME=f"{work}/home", XDG_CONFIG_HOME=f"{work}/home/.config")
    url = f"http://127.0.0.1:{port}/joinGame/code/qrv44/gamebarhide/1/"
    launcher, bare = [], []
    for _ in range(runs):
        launcher.append(launcher_run(env, log))
        bare.append(bare_run(env, url, log))
finally:
    stop(sim)

def summary(runs_of_tree):
    """Per process name and for the whole tree: median RSS and PSS in MiB."""
    names = sorted({name for tree in runs_of_tree for name, _, _ in tree})
    rows = {}
    for name in names:
        rows[name] = tuple(statistics.median(sum(m[i] for m in tree if m[0] == name) for tree in runs_of_tree) / 1024.0
                           for i in (1, 2))
    rows["all processes"] = tuple(statistics.median(sum(m[i] for m in tree) for tree in runs_of_tree) / 1024.0
                                  for i in (1, 2))
    return rows


print(f"runs: {runs} of each, medians (MiB)")
for title, rows in (("main frame", summary(launcher)), ("bare WebKitGTK window", summary(bare))):
    print(title)
    for name, (rss, pss) in rows.items():
        print(f"  {name:24} RSS {rss:8.1f}   PSS {pss:8.1f}")
(lr, lp), (br, bp) = summary(launcher)["all processes"], summary(bare)["all processes"]
print(f"ratio, all processes: RSS {lr / br:.2f}   PSS {lp / bp:.2f}")
PY
