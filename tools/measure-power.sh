#!/usr/bin/env bash
# Measures what --power-save changes, on the same machine in the same run:
#   1. CPU use over 10 s while the demo rests at its first stop (the
#      language choice), and at its first key wait in English (the marker
#      turning), default frame wait against --power-save;
#   2. the time to type 200 characters at a message speed of 20 ms in both
#      modes (they should agree within a few percent), and the CPU use at
#      the key wait that follows, with the message window on screen.
# Usage: tools/measure-power.sh [build-dir]   (default build/release; the
# tessel and demo_game targets must be built). Starts Xvfb when DISPLAY is unset.
set -euo pipefail
build_dir=${1:-build/release}
root=$(cd "$(dirname "$0")/.." && pwd)
[ -d "$build_dir" ] || build_dir="$root/$build_dir"
build_dir=$(cd "$build_dir" && pwd)
tessel="$build_dir/src/tessel"
demo="$build_dir/demo"
[ -x "$tessel" ] || { echo "no $tessel: build the tessel target" >&2; exit 2; }
[ -f "$demo/main.dat" ] || { echo "no $demo/main.dat: build the demo_game target" >&2; exit 2; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$build_dir"
fi
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

exec python3 - "$tessel" "$demo" "$root/tools/gen_command_reference.py" <<'PY'
import os, subprocess, sys, tempfile, time

tessel, demo, names_tool = sys.argv[1:4]
ticks = os.sysconf("SC_CLK_TCK")

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime

def cpu_percent_over_10s(pid):
    start, wall = cpu_seconds(pid), time.monotonic()
    time.sleep(10)
    used = cpu_seconds(pid) - start
    return 100.0 * used / (time.monotonic() - wall)

def rest_cpu(folder, extra):
    proc = subprocess.Popen([tessel, *extra, "main.tsl"], cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(7)  # the window opens and the first page is typed
        return cpu_percent_over_10s(proc.pid)
    finally:
        proc.kill()
        proc.wait()

def wait_for(proc, needle, seconds=60):
    end = time.monotonic() + seconds
    for line in proc.stdout:
        if needle in line:
            return
        if time.monotonic() > end:
            break
    raise SystemExit(f"the demo never said {needle!r}")

def key_wait_cpu(extra):
    # Picks English with the pointer (the choice's line in the demo's
    # window), then measures at the first key wait.
    proc = subprocess.Popen([tessel, *extra, "main.tsl"], cwd=demo, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, bufsize=1)
    try:
        wait_for(proc, "[demo] choose a language")
        time.sleep(3)  # the title's fades
        window = subprocess.run(["xdotool", "search", "--sync", "--name", "Tessel demo"],
                                check=True, capture_output=True, text=True).stdout.split()[0]
        for x, y in ((80, 480), (82, 484)):
            subprocess.run(["xdotool", "mousemove", "--window", window, str(x), str(y)],
                           check=True)
            time.sleep(0.3)
        subprocess.run(["xdotool", "click", "1"], check=True)
        wait_for(proc, "[demo] key wait 1")
        time.sleep(1)
        return cpu_percent_over_10s(proc.pid)
    finally:
        proc.kill()
        proc.wait()

def typing_game(folder):
    # Every command under its own name, as the engine's binding files spell them.
    names = subprocess.run([sys.executable, names_tool, "--names"], check=True,
                           capture_output=True, text=True).stdout.split()
    with open(os.path.join(folder, "funcdef.tsl"), "w") as f:
        f.writelines(f"{n} {n}\n" for n in names)
    text = ("The quick brown fox jumps over the lazy dog. " * 5)[:200]
    story = ("{InitWindow(640, 200)\n"
             "font = CreateNewFont('DejaVuSans.ttf', 12)\n"
             "page = CreateScenarioLayer(620, 180, font, font) LayerAddFront(page)\n"
             "EnableScenarioLayer(page) ChgMesWait(page, 20)}\n"
             "{print('typing starts')}" + text + "{print('typing ends')}\n\n")
    with open(os.path.join(folder, "main.tsl"), "wb") as f:
        f.write(b"\xff\xfe" + story.encode("utf-16-le"))

def typing_time(folder, extra):
    proc = subprocess.Popen([tessel, *extra, "main.tsl"], cwd=folder, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, bufsize=1)
    start = None
    try:
        for line in proc.stdout:
            if "typing starts" in line:
                start = time.monotonic()
            elif "typing ends" in line and start is not None:
                return time.monotonic() - start
    finally:
        proc.kill()
        proc.wait()
    raise SystemExit("the typing game did not run")

modes = {"default": [], "--power-save": ["--power-save"]}
print("CPU use at the demo's first stop, over 10 s (100 % = one core):")
for name, extra in modes.items():
    print(f"  {name:13s} {rest_cpu(demo, extra):6.1f} %", flush=True)

print("CPU use at the demo's first key wait (English), over 10 s:")
for name, extra in modes.items():
    print(f"  {name:13s} {key_wait_cpu(extra):6.1f} %", flush=True)

print("Typing 200 characters at 20 ms each (median of 3 runs):")
with tempfile.TemporaryDirectory() as folder:
    typing_game(folder)
    medians = {}
    for name, extra in modes.items():
        runs = sorted(typing_time(folder, extra) for _ in range(3))
        medians[name] = runs[1]
        print(f"  {name:13s} {runs[1] * 1000:7.0f} ms  (runs: "
              + ", ".join(f"{r * 1000:.0f}" for r in runs) + ")", flush=True)
    a, b = medians["default"], medians["--power-save"]
    print(f"  difference    {100.0 * abs(a - b) / a:6.2f} %")
    # The same game rests at the key wait after its text, with the message
    # window on screen.
    print("CPU use at the key wait after that text, over 10 s:")
    for name, extra in modes.items():
        print(f"  {name:13s} {rest_cpu(folder, extra):6.1f} %", flush=True)
PY
