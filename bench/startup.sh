#!/usr/bin/env bash
# Start-up benchmark: under Xvfb, the time from start to the login window's first painted frame
# and the memory of the login phase (resident set of all the program's processes), against a bare
# GTK window of the same size: with GTK's GL probing as it comes, and with GDK_GL=disable (the
# true floor, since the launcher itself runs without GTK's GL). The launcher runs against the
# platform simulator, and once more against a host that accepts connections and never answers.
# Two more reference windows show where the launcher's own share begins: the bare window painting
# the login window's texts in the launcher's font (regular and bold), and the same with one GET
# through libcurl after the first frame (the login phase's requests map the web client's
# libraries).
# Last, the frame rate of a WebGL and canvas page with and without GTK's GL.
# Prints medians of several runs and the ratios (goals, against GDK_GL=disable: first frame at
# most 1.3, memory at most 2.0).
# Usage: bench/startup.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
runs=${1:-7}

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQRV_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target zelto_qrv qrv_sim bare_gtk_window page_frame_rate skin >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for folder in prog hung; do
  mkdir -p "$work/$folder/data" "$work/$folder/skin"
  cp "$build/dist/zelto_qrv" "$build/dist/portable.txt" "$work/$folder/"
  cp "$build/dist/skin/box.bk" "$work/$folder/skin/"
done
mkdir -p "$work/home/Desktop"

# -noreset: the server would otherwise reset each time the last program of a run leaves it, and a
# program starting then could find the display closed to it (seen a few times in a hundred runs under load).
exec xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" python3 - "$build" "$work" "$root" "$runs" <<'PY'
import os, socket, statistics, subprocess, sys, threading, time

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


# A host that accepts connections and never answers: every host of the hung program points here.
hung = socket.socket()
hung.bind(("127.0.0.1", 0))
hung.listen(64)
held = []
threading.Thread(target=lambda: [held.append(hung.accept()) for _ in iter(int, 1)], daemon=True).start()
host = f"127.0.0.1:{hung.getsockname()[1]}"
with open(f"{work}/hung/data/deploy.ini", "w") as deploy:
    deploy.write("[hosts]\n" + "".join(f"{k}={host}\n" for k in
                 ("site", "interface", "game", "stat", "account", "forum", "pay")) +
                 f"domain=127.0.0.1\nservice=http://{host}/service/\n[chat]\nhost=127.0.0.1\nport={hung.getsockname()[1]}\n")

sim = subprocess.Popen([f"{build}/sim/qrv_sim", "--data", f"{root}/sim/data/platform.json", "--log", f"{work}/sim.log",
                        "--deploy-out", f"{work}/prog/data/deploy.ini"], stdout=subprocess.PIPE, text=True)
sim_host = sim.stdout.readline().split()[-1]
# The texts the login window shows when it opens.
login_texts = ("玄岚城登录器 游戏新闻 暂无新闻 官方网站 平台首页 游戏论坛 充值中心 客服中心 新闻公告 通行证登录 注销 "
               "登 录 开始游戏 记住密码 注册账号 适度游戏益脑 · 沉迷游戏伤身 推荐服务器 最近玩过")
try:
    env = dict(os.environ, HOME=f"{work}/home", XDG_CONFIG_HOME=f"{work}/home/.config", QRV_TRACE_FIRST_FRAME="1")
    env.pop("GDK_GL", None)
    no_gl = dict(env, GDK_GL="disable")
    bare_argv = [f"{build}/bench/bare_gtk_window", "640", "420"]
    text_argv = bare_argv + ["--text", login_texts]
    get_argv = text_argv + ["--get", f"http://{sim_host}/"]
    launcher, hung_launcher, bare, bare_no_gl, bare_text, bare_text_get = [], [], [], [], [], []
    for _ in range(runs):
        launcher.append(measure([f"{work}/prog/zelto_qrv"], f"{work}/prog", env))
        hung_launcher.append(measure([f"{work}/hung/zelto_qrv"], f"{work}/hung", env))
        bare.append(measure(bare_argv, work, env))
        bare_no_gl.append(measure(bare_argv, work, no_gl))
        bare_text.append(measure(text_argv, work, no_gl))
        bare_text_get.append(measure(get_argv, work, no_gl))
    rates = {}
    for name, page_env in (("with GTK's GL", env), ("GDK_GL=disable", no_gl)):
        out = subprocess.run([f"{build}/bench/page_frame_rate"], env=page_env, capture_output=True, text=True,
                             timeout=60).stdout.strip()
        rates[name] = out
finally:
    sim.terminate()
    sim.wait()


def med(values, i):
    return statistics.median(v[i] for v in values)


print(f"runs: {runs} of each, medians")
for floor_name, floor in (("bare GTK window", bare), ("bare GTK window, GDK_GL=disable", bare_no_gl)):
    bt, bm = med(floor, 0), med(floor, 1)
    for name, values in (("launcher", launcher), ("launcher, hung host", hung_launcher)):
        lt, lm = med(values, 0), med(values, 1)
        print(f"{name:20} vs {floor_name:32} first frame {lt:7.1f} / {bt:7.1f} ms = {lt / bt:.2f}"
              f"   memory {lm:6.1f} / {bm:6.1f} MiB = {lm / bm:.2f}")
bt, bm = med(bare_no_gl, 0), med(bare_no_gl, 1)
for name, values in (("bare GTK window, GDK_GL=disable, with the login's texts", bare_text),
                     ("  and one request through libcurl", bare_text_get)):
    rt, rm = med(values, 0), med(values, 1)
    print(f"reference: {name:56} first frame {rt:7.1f} ms = {rt / bt:.2f}   memory {rm:6.1f} MiB = {rm / bm:.2f}")
for name, rate in rates.items():
    print(f"WebGL and canvas page, {name:16} {rate}")
PY
