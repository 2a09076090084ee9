#!/usr/bin/env python3
"""The real console against the floor reference, on a virtual X display and
a pseudo-terminal each: reply-to-screen latency, idle cost, cost under a
steady reply every 100 ms, resident memory and the time to the window being
mapped. Every figure of the console is printed beside the floor's and as a
ratio to it. Run by scripts/bench:

    qt_bench.py CONSOLE FLOOR [SECONDS]

Both programs trace with RM460_TRACE (toolkit/qt/trace.h): the moment the
window is first exposed and every line of the result pane, on
CLOCK_MONOTONIC, which this driver reads as well.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

CONSOLE, FLOOR = sys.argv[1], sys.argv[2]
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0
TICK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")


def reply(code, b4, b5, b6, b7):
    f = [0x02, ord("0"), ord("0"), ord(code), b4, b5, b6, b7]
    return bytes(f + [sum(f) % 256, 0x03])


TOTAL_COUNT = reply("c", ord("0"), ord("1"), ord("2"), ord("3"))  # ">> Total Count = 123"


class Run:
    """One program on its own pseudo-terminal, with its trace file."""

    def __init__(self, kind, work):
        self.kind = kind
        self.master, slave = os.openpty()
        path = os.ttyname(slave)
        os.close(slave)  # the program is to be the slave's only user
        self.trace = os.path.join(work, f"{kind}-{time.monotonic_ns()}.trace")
        env = dict(os.environ, RM460_TRACE=self.trace)
        if kind == "console":
            prefix = os.path.join(work, "prefix")
            os.makedirs(os.path.join(prefix, "dosdevices"), exist_ok=True)
            link = os.path.join(prefix, "dosdevices", "com1")
            if os.path.lexists(link):
                os.unlink(link)
            os.symlink(path, link)
            env["RM460_PREFIX"] = prefix
            args = [CONSOLE, "--start-protocol"]
        else:
            args = [FLOOR, path]
        self.started = time.monotonic_ns()
        self.proc = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.read_at = 0

    def events(self):
        """Trace lines not seen yet: (ns, text)."""
        try:
            with open(self.trace) as f:
                f.seek(self.read_at)
                data = f.read()
        except FileNotFoundError:
            return []
        end = data.rfind("\n") + 1
        self.read_at += len(data[:end].encode())
        out = []
        for line in data[:end].splitlines():
            ns, _, text = line.partition(" ")
            out.append((int(ns), text))
        return out

    def wait_for(self, predicate, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for ev in self.events():
                if predicate(ev):
                    return ev
            time.sleep(0.002)
        raise RuntimeError(f"{self.kind}: no trace event in {timeout} s")

    def drain_line(self, limit_s=2.0):
        """Reads the pty's output (the console's Status frame) so it never fills."""
        import select
        while select.select([self.master], [], [], 0)[0]:
            try:
                os.read(self.master, 4096)
            except OSError:
                return

    def cpu_ticks(self):
        with open(f"/proc/{self.proc.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime + stime

    def voluntary_switches(self):
        total = 0
        for tid in os.listdir(f"/proc/{self.proc.pid}/task"):
            try:
                with open(f"/proc/{self.proc.pid}/task/{tid}/status") as f:
                    for line in f:
                        if line.startswith("voluntary_ctxt_switches"):
                            total += int(line.split()[1])
            except FileNotFoundError:
                pass
        return total

    def rss_kib(self):
        with open(f"/proc/{self.proc.pid}/statm") as f:
            return int(f.read().split()[1]) * PAGE // 1024

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        os.close(self.master)


def measure(kind, work, steady):
    """Idle (steady=False) or a reply every 100 ms: CPU %, wake-ups/s, RSS,
    and for steady the latency of every reply in ms."""
    run = Run(kind, work)
    try:
        run.wait_for(lambda ev: ev[1] == "shown")
        time.sleep(2.0)  # start-up settles; the console's Status frame goes out
        run.drain_line()
        run.events()
        cpu0, sw0, t0 = run.cpu_ticks(), run.voluntary_switches(), time.monotonic()
        latencies = []
        if steady:
            next_at = time.monotonic()
            while time.monotonic() - t0 < SECONDS:
                next_at += 0.1
                os.write(run.master, TOTAL_COUNT)
                written = time.monotonic_ns()
                ev = run.wait_for(lambda ev: ev[1].startswith("line "), timeout=5)
                latencies.append((ev[0] - written) / 1e6)
                run.drain_line()
                time.sleep(max(0.0, next_at - time.monotonic()))
        else:
            time.sleep(SECONDS)
        elapsed = time.monotonic() - t0
        cpu = (run.cpu_ticks() - cpu0) / TICK / elapsed * 100.0
        wakeups = (run.voluntary_switches() - sw0) / elapsed
        return {"cpu": cpu, "wakeups": wakeups, "rss": run.rss_kib(), "latency": latencies}
    finally:
        run.stop()


def start_time(kind, work):
    run = Run(kind, work)
    try:
        ev = run.wait_for(lambda ev: ev[1] == "shown")
        return (ev[0] - run.started) / 1e6
    finally:
        run.stop()


def p99(values):
    s = sorted(values)
    return s[min(len(s) - 1, int(round(0.99 * (len(s) - 1))))]


def row(name, console, floor, target, unit, fmt="{:.2f}"):
    ratio = console / floor if floor > 0 else float("inf")
    verdict = "met" if ratio <= target else "MISSED"
    print(f"{name:34} {fmt.format(console):>10} {fmt.format(floor):>10} {unit:6} "
          f"{ratio:7.2f}x  target <= {target}x  {verdict}")


def main():
    with tempfile.TemporaryDirectory(prefix="rm460-bench-") as work:
        results = {}
        for scenario in ("idle", "steady"):
            for kind in ("floor", "console"):
                print(f"  {kind}: {scenario} for {SECONDS:.0f} s ...", flush=True)
                results[(kind, scenario)] = measure(kind, work, scenario == "steady")
        starts = {"floor": [], "console": []}
        for _ in range(5):
            for kind in ("floor", "console"):
                starts[kind].append(start_time(kind, work))

    c_idle, f_idle = results[("console", "idle")], results[("floor", "idle")]
    c_st, f_st = results[("console", "steady")], results[("floor", "steady")]
    print()
    print(f"{'figure':34} {'console':>10} {'floor':>10} {'unit':6} {'ratio':>8}")
    row("latency, median", statistics.median(c_st["latency"]),
        statistics.median(f_st["latency"]), 1.1, "ms")
    row("latency, 99th percentile", p99(c_st["latency"]), p99(f_st["latency"]), 1.1, "ms")
    print(f"{'  replies timed':34} {len(c_st['latency']):>10} {len(f_st['latency']):>10}")
    row("idle CPU (one core)", c_idle["cpu"], f_idle["cpu"], 1.1, "%")
    row("idle wake-ups", c_idle["wakeups"], f_idle["wakeups"], 1.1, "/s", "{:.1f}")
    row("idle resident memory", c_idle["rss"], f_idle["rss"], 1.3, "KiB", "{:.0f}")
    row("CPU, a reply every 100 ms", c_st["cpu"], f_st["cpu"], 1.1, "%")
    row("wake-ups, a reply every 100 ms", c_st["wakeups"], f_st["wakeups"], 1.1, "/s", "{:.1f}")
    row("resident memory, replies", c_st["rss"], f_st["rss"], 1.3, "KiB", "{:.0f}")
    row("start to window mapped, median", statistics.median(starts["console"]),
        statistics.median(starts["floor"]), 1.5, "ms")


if __name__ == "__main__":
    main()
