"""The measuring half of measure-footprint.sh (run that script, not this file):
starts the empty window, a small game and the demo under the current X
server and reports their settled resident memory."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

SETTLE_SECONDS = 3.0
SAMPLES = 5
SAMPLE_GAP = 0.4
KIB_PER_MIB = 1024.0

# The small game: the window, one picture, music, a font and a message window
# that types a page and waits at its end.
GAME_SCRIPT = """{
  InitWindow(800, 600)
  ChgCaption("footprint game", "footprint game")
  background = CreateLayer(LoadTexImage("sky.png"))
  LayerAddFront(background)
  theme = CreateMusic("theme.wav")
  PlaySoundData(theme, -1)
  font = CreateNewFont("VL-PGothic-Regular.ttf", 22)
  ruby = CreateNewFont("VL-PGothic-Regular.ttf", 11)
  page = CreateScenarioLayer(708, 164, font, ruby)
  OffsetLayer(page, 46, 428)
  LayerAddFront(page)
  ChgMesWait(page, 5)
  EnableScenarioLayer(page)
}
The quick brown fox jumps over the lazy dog, and the dog sleeps on.
Pictures, music and text: everything a page of a story needs is here.
これは日本語の文章です。漢字と仮名を少し書きます。
{print("footprint: waiting")}


The second page is never shown.
"""


def rss_kib(pid):
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith("Rss:"):
                return int(line.split()[1])
    raise RuntimeError(f"no Rss in /proc/{pid}/smaps_rollup")


def settled_rss(pid):
    time.sleep(SETTLE_SECONDS)
    samples = []
    for _ in range(SAMPLES):
        samples.append(rss_kib(pid))
        time.sleep(SAMPLE_GAP)
    return statistics.median(samples)


def rss_by_mapping(pid):
    """Resident KiB of each mapped file (by name) and of anonymous memory."""
    totals = {}
    name = "[anonymous]"
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            fields = line.split()
            if not fields:
                continue
            if "-" in fields[0] and len(fields) >= 5 and not fields[0].endswith(":"):
                name = os.path.basename(fields[5]) if len(fields) > 5 else "[anonymous]"
                if len(fields) > 5 and fields[5].startswith("["):
                    name = fields[5]
            elif fields[0] == "Rss:":
                totals[name] = totals.get(name, 0) + int(fields[1])
    return totals


class Running:
    """A started process whose standard output is read on a thread, so that
    it never blocks on a full pipe and a line can be waited for."""

    def __init__(self, command, cwd=None):
        self.proc = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.lines = []
        self.seen = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            with self.seen:
                self.lines.append(line)
                self.seen.notify_all()
        with self.seen:
            self.lines.append(None)
            self.seen.notify_all()

    def wait_for(self, needle, seconds=60):
        end = time.monotonic() + seconds
        with self.seen:
            while True:
                if any(line is not None and needle in line for line in self.lines):
                    return
                if None in self.lines or time.monotonic() > end:
                    tail = "".join(line for line in self.lines[-15:] if line)
                    raise SystemExit(f"{self.proc.args[0]} never said {needle!r}:\n{tail}")
                self.seen.wait(0.5)

    def stop(self):
        self.proc.kill()
        self.proc.wait()


def make_game(folder, build, source):
    stage = os.path.join(build, "demo_stage")
    shutil.copy(os.path.join(stage, "pic", "sky.png"), folder)
    shutil.copy(os.path.join(stage, "bgm", "theme.wav"), folder)
    shutil.copy(os.path.join(source, "demo", "game", "funcdef.tsl"), folder)
    with open(os.path.join(folder, "main.tsl"), "wb") as f:
        f.write(b"\xff\xfe" + GAME_SCRIPT.encode("utf-16-le"))


def measure(command, cwd, needle):
    run = Running(command, cwd)
    try:
        run.wait_for(needle)
        rss = settled_rss(run.proc.pid)
        return rss, rss_by_mapping(run.proc.pid)
    finally:
        run.stop()


def print_detail(game, bare):
    libraries = sum(v for k, v in game.items() if k not in bare and not k.startswith("["))
    anonymous = sum(game.get(k, 0) - bare.get(k, 0) for k in ("[anonymous]", "[heap]"))
    print("\nWhere the small game's memory above the empty window is:")
    print(f"  {anonymous / KIB_PER_MIB:+8.1f} MiB  heap and other anonymous memory")
    print(f"  {libraries / KIB_PER_MIB:+8.1f} MiB  libraries the empty window does not load")
    print("Mappings that differ by 256 KiB or more:")
    rows = []
    for name in set(game) | set(bare):
        difference = game.get(name, 0) - bare.get(name, 0)
        if abs(difference) >= 256:
            rows.append((difference, name))
    for difference, name in sorted(rows, reverse=True):
        print(f"  {difference / KIB_PER_MIB:+8.1f} MiB  {name}")


def print_report(bare_rss, rows):
    software = os.environ.get("LIBGL_ALWAYS_SOFTWARE") == "1"
    print(f"Idle resident memory (RSS): GL {'software' if software else 'default driver'}, "
          f"audio driver {os.environ.get('SDL_AUDIODRIVER', 'default')}")
    print(f"  {'empty 800x600 window':34s} {bare_rss / KIB_PER_MIB:7.1f} MiB")
    for name, rss in rows:
        print(f"  {name:34s} {rss / KIB_PER_MIB:7.1f} MiB  ({(rss - bare_rss) / KIB_PER_MIB:+.1f} MiB)")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--detail", type=int, default=0)
    parser.add_argument("--limit", type=float, default=0)
    options = parser.parse_args()
    tessel = os.path.join(options.build, "src", "tessel")
    window = os.path.join(options.build, "tools", "tessel-footprint-window")

    bare = Running([window])
    try:
        bare.wait_for("ready")
        bare_rss = settled_rss(bare.proc.pid)
        bare_maps = rss_by_mapping(bare.proc.pid)
        picture_rss, _ = measure([window, "--picture"], None, "ready")
        with tempfile.TemporaryDirectory() as folder:
            make_game(folder, options.build, options.source)
            game_rss, game_maps = measure([tessel, "main.tsl"], folder, "footprint: waiting")
        demo_rss, _ = measure([tessel, "main.tsl"], os.path.join(options.build, "demo"),
                              "[demo] choose a language")
        # The empty window once more, after the others, in case it grew.
        bare_rss = max(bare_rss, settled_rss(bare.proc.pid))
    finally:
        bare.stop()

    print_report(bare_rss, [("window drawing an 800x600 picture", picture_rss),
                            ("small 800x600 game", game_rss),
                            ("demo at its first choice", demo_rss)])
    if options.detail:
        print_detail(game_maps, bare_maps)
    above = (game_rss - bare_rss) / KIB_PER_MIB
    if options.limit and above > options.limit:
        print(f"The game takes {above:.1f} MiB above the empty window; the limit is "
              f"{options.limit:g} MiB.", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
