#!/usr/bin/env python3
"""Tsukio against its yardsticks, every figure beside a baseline measured in the same run.

Usage: bench/bench.py BUILD_DIR

The tray is measured in Xvfb, as an XEmbed client without a session bus: wake-ups,
resident and private memory docked in trayer (each program in an X server of its own),
start-up with a notification area that only listens (dock-timer). tsukio-cal is held to `cal`; the lookups and the refresh come from
tsukio-bench (Google Benchmark). Timings are medians of repeated runs: the machine may be
shared.
"""
import json
import os
import resource
import signal
import statistics
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
TSUKIO = os.path.join(BUILD, "app/tsukio/tsukio")
BASELINE = os.path.join(BUILD, "bench/tray-baseline")
DOCK_TIMER = os.path.join(BUILD, "bench/dock-timer")
TSUKIO_CAL = os.path.join(BUILD, "app/tsukio-cal/tsukio-cal")
TSUKIO_BENCH = os.path.join(BUILD, "bench/tsukio-bench")
EVERYTHING = "[Pageleaf]\nMonth=1\nWeek=1\nTime=1\nNumber=1\nEtc=1\n"
DAY_ONLY = "[Pageleaf]\n"
WINDOW = 120  # seconds over which wake-ups are counted

work = tempfile.mkdtemp(prefix="tsukio-bench-")
children = []


def spawn(args, env=None, **kw):
    p = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
    children.append(p)
    return p


def stop(p):
    if p.poll() is None:
        p.send_signal(signal.SIGTERM)
        try:
            p.wait(5)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()


def x_server():
    """An Xvfb of our own on a free display from :50 to :59."""
    for n in range(50, 60):
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        spawn(["Xvfb", f":{n}", "-screen", "0", "800x600x24", "-nolisten", "tcp"])
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                return f":{n}"
            time.sleep(0.1)
    sys.exit("no free X display among :50-:59")


def tray_session():
    """An X server with trayer in it: each program measured at rest gets its own, so that one
    program's icons coming and going do not wake another."""
    global display
    display = x_server()
    spawn(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"],
          env=session("trayer" + display, DAY_ONLY))
    return display


display = None


def session(name, ini):
    """An environment of its own: settings, cache, lock folder and lock name, no session bus."""
    home = os.path.join(work, name)
    runtime = os.path.join(home, "runtime")
    config = os.path.join(home, "config", "Quorv", "Tsukio")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "tsukio.ini"), "w") as f:
        f.write(ini)
    env = {k: v for k, v in os.environ.items()
           if k not in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_CACHE_HOME=os.path.join(home, "cache"),
               TSUKIO_INSTANCE=f"bench-{os.getpid()}-{name}", QT_QPA_PLATFORM="xcb",
               DISPLAY=display)
    return env


def threads_status(pid):
    """Each thread's voluntary context switches (each a sleep after a wake-up), by thread id,
    the resident memory and the private memory (USS: pages no other process maps) in KiB."""
    switches = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches"):
                        switches[task] = int(line.split()[1])
        except FileNotFoundError:
            pass
    with open(f"/proc/{pid}/status") as f:
        rss = next(int(l.split()[1]) for l in f if l.startswith("VmRSS"))
    with open(f"/proc/{pid}/smaps_rollup") as f:
        uss = sum(int(l.split()[1]) for l in f if l.startswith(("Private_Clean:", "Private_Dirty:")))
    return switches, rss, uss


def woken(before, after):
    """Wake-ups between two counts: a thread that ended in between (Qt's pooled threads end
    after 30 s idle) takes its count with it, so only the threads still there are compared,
    and one that began in between counts from nothing."""
    return sum(count - before.get(tid, 0) for tid, count in after.items())


def dock_time(program, env):
    out = subprocess.run([DOCK_TIMER, program], env=env, capture_output=True, text=True, timeout=30)
    if out.returncode != 0:
        sys.exit(f"{program} did not dock (exit {out.returncode}): {out.stdout}{out.stderr}")
    wall, cpu = out.stdout.split()
    return float(wall), float(cpu)


def cpu_per_run(args, runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    for _ in range(runs):
        subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    used = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return used / runs * 1000.0  # ms


def google_benchmark(names):
    pattern = "|".join(f"^{n}$" for n in names)
    out = subprocess.run([TSUKIO_BENCH, f"--benchmark_filter={pattern}", "--benchmark_repetitions=5",
                          "--benchmark_format=json"], capture_output=True, text=True, check=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    figures = {}
    for b in json.loads(out.stdout)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            unit = {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
            figures[b["run_name"]] = b["cpu_time"] * unit
    return figures


rows = []


def row(what, value, base, unit, goal=None, base_name=""):
    rows.append((what, value, base, unit, goal, base_name))


try:
    display = x_server()

    # Start to the first icon, every icon shown, alternating with the baseline; after one
    # full start, which leaves the fonts remembered as every start but the first finds them.
    starts, base_starts = [], []
    everything = session("start", EVERYTHING)
    first_start = spawn([TSUKIO], env=everything)
    time.sleep(4)
    stop(first_start)
    if not os.path.exists(os.path.join(work, "start", "cache", "Quorv", "Tsukio", "fonts")):
        sys.exit("the first start left no fonts remembered")
    for _ in range(9):
        starts.append(dock_time(TSUKIO, everything))
        base_starts.append(dock_time(BASELINE, everything))

    # Docked in a real tray, each in its own: memory, then wake-ups at rest. With the clock
    # shown the first turn of the minute still rebuilds the row (part of starting), so the
    # count begins a few seconds after it.
    programs = []
    for name, program, ini in (("clock", TSUKIO, EVERYTHING), ("day", TSUKIO, DAY_ONLY),
                               ("bare", BASELINE, DAY_ONLY)):
        tray_session()
        time.sleep(1)
        programs.append(spawn([program], env=session(name, ini)))
    clock, day, bare = programs
    # At rest: past the first turn of the minute and past Qt's own start-up, whose pooled
    # threads end 30 s after their last work.
    time.sleep(40)
    time.sleep(60 - time.time() % 60 + 5)
    first = {p.pid: threads_status(p.pid) for p in (clock, day, bare)}
    time.sleep(WINDOW)
    last = {p.pid: threads_status(p.pid) for p in (clock, day, bare)}
    wakeups = {p.pid: woken(first[p.pid][0], last[p.pid][0]) for p in (clock, day, bare)}
    for p in (clock, day, bare):
        if p.poll() is not None:
            sys.exit("a tray program ended during the measurement")

    # tsukio-cal month against cal, in alternating batches.
    cal, tool = [], []
    for _ in range(5):
        tool.append(cpu_per_run([TSUKIO_CAL, "month"], 40))
        cal.append(cpu_per_run(["cal"], 40))

    bench = google_benchmark(["BM_AlmanacTextAllYears", "BM_LookUpKoyomiAllYears",
                              "BM_RefreshTrayIconsDrawn", "BM_PlainRowDraws"])

    row(f"wake-ups / {WINDOW} s, clock shown", wakeups[clock.pid], wakeups[bare.pid], "", "≤ 8",
        "bare Qt tray")
    row(f"wake-ups / {WINDOW} s, day only", wakeups[day.pid], wakeups[bare.pid], "", "≤ 4",
        "bare Qt tray")
    row("resident memory, all icons", first[clock.pid][1] / 1024, first[bare.pid][1] / 1024, "MiB",
        "≤ 1.2×", "bare Qt tray")
    row("  private (USS), all icons", first[clock.pid][2] / 1024, first[bare.pid][2] / 1024, "MiB",
        "", "bare Qt tray")
    row("  private (USS), day only", first[day.pid][2] / 1024, first[bare.pid][2] / 1024, "MiB",
        "", "bare Qt tray")
    row("start to first icon", statistics.median(s[0] for s in starts),
        statistics.median(s[0] for s in base_starts), "ms", "≤ 1.2×", "bare Qt tray")
    row("  CPU used by then, all threads", statistics.median(s[1] for s in starts),
        statistics.median(s[1] for s in base_starts), "ms", "", "bare Qt tray")
    row("tsukio-cal month, CPU", statistics.median(tool), statistics.median(cal), "ms", "≤ 2×", "cal")
    row("AlmanacText, 1900-2100", bench["BM_AlmanacTextAllYears"], 100.0, "ns", "≤ 100 ns",
        "the goal")
    row("LookUpKoyomi, 1900-2100", bench["BM_LookUpKoyomiAllYears"], 100.0, "ns", "≤ 100 ns",
        "the goal")
    row("full refresh, all icons", bench["BM_RefreshTrayIconsDrawn"] / 1000,
        bench["BM_PlainRowDraws"] / 1000, "µs", "", "6 plain QPainter draws")
finally:
    for p in reversed(children):
        stop(p)
    subprocess.run(["rm", "-rf", work])

print(f"| {'measure':<34} | {'tsukio':>10} | {'baseline':>10} | {'ratio':>6} | {'goal':<8} | baseline is")
print(f"|{'-' * 36}|{'-' * 12}|{'-' * 12}|{'-' * 8}|{'-' * 10}|{'-' * 24}")
for what, value, base, unit, goal, base_name in rows:
    ratio = f"{value / base:.2f}" if base else "—"
    fmt = (lambda v: f"{v:.0f}") if unit == "" else (lambda v: f"{v:.1f} {unit}")
    print(f"| {what:<34} | {fmt(value):>10} | {fmt(base):>10} | {ratio:>6} | {goal or '':<8} | {base_name}")
