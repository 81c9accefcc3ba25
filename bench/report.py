#!/usr/bin/env python3
"""Turns the raw results of scripts/bench (one folder) into one Markdown table: metric, ours,
the reference, ratio, target, and whether the target is met. Medians decide; min and max are
shown beside them."""

import argparse
import csv
import glob
import json
import os
import platform
import statistics
import subprocess
import sys


def stats(values):
    values = sorted(values)
    return statistics.median(values), values[0], values[-1]


def fmt(values, unit, scale=1.0, digits=1):
    med, lo, hi = stats([v * scale for v in values])
    return f"{med:.{digits}f} {unit} ({lo:.{digits}f}–{hi:.{digits}f})"


def runs(values):
    return f"{len(values)} run" + ("" if len(values) == 1 else "s")


def verdict(ok):
    return "pass" if ok else "**falls short**"


# The start-up comparisons: the settings-window copy is held to the target (what any Qt window
# with this program's kind of content pays); the floor, one label, shows what the content costs.
STARTUP_REFS = (("settings_copy", "copy", "ref: the settings-window copy", 1.10),
                ("floor", "floor", "ref: the one-label floor", None))


def startup_rows(out):
    rows = []
    for platform_name, label in (("offscreen", "offscreen"), ("xcb", "Xvfb, session bus")):
        times = {}
        for path in sorted(glob.glob(os.path.join(out, f"startup-{platform_name}-*.json"))):
            with open(path) as f:
                for result in json.load(f)["results"]:
                    times.setdefault(result["command"], []).extend(result["times"])
        instructions = {}
        path = os.path.join(out, f"instructions-{platform_name}.txt")
        if os.path.exists(path):
            with open(path) as f:
                for line in f:
                    words = line.split()
                    if len(words) == 2:
                        instructions.setdefault(words[0], []).append(int(words[1]))
        for timed, counted, ref_label, target in STARTUP_REFS:
            ours, ref = times.get("ours"), times.get(timed)
            if ours and ref:
                ratio = statistics.median(ours) / statistics.median(ref)
                rows.append([f"start-up to first paint, {label} ({runs(ours)} each; "
                             f"{ref_label})", fmt(ours, "ms", 1000), fmt(ref, "ms", 1000),
                             f"{ratio:.2f}", f"≤ {target:.2f}" if target else "—",
                             verdict(ratio <= target) if target else "—"])
            ours, ref = instructions.get("ours"), instructions.get(counted)
            if ours and ref:
                ratio = statistics.median(ours) / statistics.median(ref)
                rows.append([f"instructions to first paint (callgrind), {label} ({runs(ours)} "
                             f"each; {ref_label})", fmt(ours, "M", 1e-6), fmt(ref, "M", 1e-6),
                             f"{ratio:.2f}", f"≤ {target:.2f}" if target else "—",
                             verdict(ratio <= target) if target else "—"])
    return rows


def memory_rows(out):
    rows = []
    for platform_name, label in (("offscreen", "offscreen"), ("xcb", "Xvfb, session bus")):
        path = os.path.join(out, f"memory-{platform_name}.txt")
        if not os.path.exists(path):
            continue
        kib = {}
        with open(path) as f:
            for line in f:
                who, when, value = line.split()
                kib.setdefault((who, when), []).append(int(value))
        settled = ""
        settled_path = os.path.join(out, f"settled-{platform_name}.txt")
        if os.path.exists(settled_path):
            with open(settled_path) as f:
                settled = "; " + f.read().strip().splitlines()[-1]
        # The settings-window copy is the reference at the first paint; once the media graph is
        # built the fair one is the copy that also builds and prerolls the same pipeline, and the
        # ratio against the plain copy is shown for comparison only.
        for key, when, target in (
                ("0", "at first paint (ref: the settings-window copy)", 1.15),
                ("500", f"0.5 s after it{settled} (ref: the settings-window copy)", None),
                ("track", "0.5 s after it, a 30 s track prerolled "
                          "(ref: the settings-window copy that builds and prerolls the same "
                          "pipeline)", 1.10)):
            ours, ref = kib.get(("ours", key)), kib.get(("ref", key))
            if not ours or not ref:
                continue
            ratio = statistics.median(ours) / statistics.median(ref)
            rows.append([f"peak memory (max RSS), {label}, {when}", fmt(ours, "MiB", 1 / 1024),
                         fmt(ref, "MiB", 1 / 1024), f"{ratio:.2f}",
                         f"≤ {target:.2f}" if target else "—",
                         verdict(ratio <= target) if target else "—"])
    return rows


def track_rows(out):
    path = os.path.join(out, "tracks.json")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration" or b.get("error_occurred"):
            continue
        name = b["run_name"].split("/min_warmup_time")[0]
        # Times in milliseconds, one value per repetition.
        runs.setdefault(name, []).append(b["real_time"])
    rows = []
    base = runs.get("NextTrack/3")
    ref = runs.get("ReferencePreroll")
    if base and ref:
        ratio = statistics.median(base) / statistics.median(ref)
        rows.append(["track change: NextTrack to PLAYING, 3 files (ref: bare pipeline preroll)",
                     fmt(base, "ms", digits=2), fmt(ref, "ms", digits=2), f"{ratio:.2f}",
                     "≤ 1.5", verdict(ratio <= 1.5)])
    for count in (100, 1000, 10000):
        values = runs.get(f"NextTrack/{count}")
        if not values or not base:
            continue
        ratio = statistics.median(values) / statistics.median(base)
        rows.append([f"track change, {count:,} files (ref: the same with 3 files)",
                     fmt(values, "ms", digits=2), fmt(base, "ms", digits=2), f"{ratio:.2f}",
                     "(growth)", "—"])
    # Every press reads the folder: a large folder may cost that reading and little more.
    large, listing = runs.get("NextTrack/10000"), runs.get("BareListing/10000")
    if large and listing and base:
        floor = statistics.median(listing) + statistics.median(base)
        ratio = statistics.median(large) / floor
        rows.append(["track change, 10,000 files (ref: one bare listing of the folder plus the "
                     "press with 3 files)", fmt(large, "ms", digits=2),
                     f"{floor:.2f} ms (listing {fmt(listing, 'ms', digits=2)})", f"{ratio:.2f}",
                     "≤ 1.3", verdict(ratio <= 1.3)])
    hour, short = runs.get("PlayFile/1h"), runs.get("PlayFile/30s")
    if hour and short:
        ratio = statistics.median(hour) / statistics.median(short)
        rows.append(["opening a one-hour 320 kbit/s file: play press to PLAYING (ref: a 30 s file)",
                     fmt(hour, "ms", digits=2), fmt(short, "ms", digits=2), f"{ratio:.2f}", "≤ 3",
                     verdict(ratio <= 3)])
    return rows


def read_json(out, name, last_line=False):
    """The JSON of one result file (or of its last line), or None when the run made none."""
    path = os.path.join(out, name)
    if not os.path.exists(path) or os.path.getsize(path) == 0:
        return None
    with open(path) as f:
        text = f.read()
    return json.loads(text.strip().splitlines()[-1] if last_line else text)


def file_memory_rows(out):
    data = read_json(out, "file-memory.json")
    if data is None:
        return []
    readings = {r["file"]: r for r in data}

    def growth(r):
        return r["peak_kib"] - r["rss_before_kib"]

    hour, short = readings.get("memory-1h"), readings.get("memory-30s")
    if not hour or not short:
        return []
    ok = hour["played"] and hour["still_playing"] and hour["peak_reset"]
    kib = growth(hour)
    seconds = hour["playing_after_ms"] / 1000
    return [[f"opening a one-hour file: peak resident memory growth from the press until it has "
             f"played {seconds:g} s (ref: a 30 s file)", f"{kib:+d} KiB",
             f"{growth(short):+d} KiB", "—", "≤ 2 MiB", verdict(ok and kib <= 2048)]]


def press_rows(out):
    presses = read_json(out, "presses.json", last_line=True)
    if presses is None:
        return []
    rows = []
    for kind, label in (("good", "good files"), ("no_audio", "a picture named .mp3"),
                        ("held", "a file whose reads are held back")):
        times = presses["press_ms"].get(kind)
        if not times:
            continue
        med, _, hi = stats(times)
        rows.append([f"transport press on the window's thread, {label} ({len(times)} presses)",
                     fmt(times, "ms", digits=2), "—", "—", "median ≤ 2 ms, max ≤ 16 ms",
                     verdict(med <= 2 and hi <= 16)])
    gap = presses["largest_tick_gap_ms"]
    rows.append([f"while a preroll is held back ({presses['holds']} × "
                 f"{presses['hold_ms'] / 1000:g} s): largest gap between the MP3 options "
                 f"window's {presses['tick_ms']} ms ticks; repaints",
                 f"{gap:.1f} ms; {presses['paints']} paints for {presses['ticks']} ticks", "—",
                 "—", "≤ 16 ms", verdict(gap <= 16 and presses["paints"] > 0)])
    return rows


def cpu_rates(path):
    """CPU milliseconds per wall second for each full interval of `perf stat -I -x,`."""
    rates = []
    previous = 0.0
    with open(path) as f:
        for row in csv.reader(line for line in f if line.strip() and not line.startswith("#")):
            if len(row) < 4 or row[3] != "task-clock":
                continue
            # "<not counted>": no thread of the process ran in that interval.
            stamp = float(row[0])
            value = 0.0 if row[1] in ("", "<not counted>") else float(row[1])
            span = stamp - previous
            previous = stamp
            if span > 0.5 * (rates and rates[0][1] or span):
                rates.append((value / span, span))
    return [r for r, _ in rates]


def round_rate(path):
    """CPU milliseconds per wall second over all full intervals of one measurement."""
    rates = cpu_rates(path)
    return statistics.mean(rates) if rates else None


def cpu_rows(out, window):
    rows = []
    # Playback: one rate per round for ours and for gst-launch, each measured alone.
    ours = [round_rate(p) for p in sorted(glob.glob(os.path.join(out, "cpu-play-*.csv")))]
    ref = [round_rate(p) for p in sorted(glob.glob(os.path.join(out, "cpu-gst_launch-*.csv")))]
    ours, ref = [r for r in ours if r is not None], [r for r in ref if r is not None]
    if ours and ref:
        ratio = statistics.median(ours) / statistics.median(ref)
        rows.append([f"playback CPU per minute, MP3 options window open (median of {len(ours)} "
                     f"rounds of {window} s, each alone, scaled)",
                     fmt(ours, "ms", 60), fmt(ref, "ms", 60), f"{ratio:.2f}", "≤ 1.10",
                     verdict(ratio <= 1.10)])
    for name, label in (("idle_settings", "idle settings window"),
                        ("idle_mp3", "idle MP3 options window")):
        path = os.path.join(out, f"cpu-{name}.csv")
        rates = cpu_rates(path) if os.path.exists(path) else []
        if not rates:
            continue
        # ms per second / 1000 ms * 100 % = percent of one core
        med = statistics.median(rates) / 10
        rows.append([f"{label}, CPU ({window} s)", fmt(rates, "% of a core", 0.1, 3), "—",
                     "—", "≤ 0.1 %", verdict(med <= 0.1)])
    return rows


def soak_rows(out):
    soak = read_json(out, "soak.json", last_line=True)
    if soak is None:
        return []
    warm, end = soak["after_warm_up"], soak["end"]
    growth = end["rss_kib"] - warm["rss_kib"]
    peak_growth = max(soak["rss_samples_kib"]) - warm["rss_kib"]
    n = soak["changes"]
    rows = [[f"soak, {n:,} track changes: resident memory growth after {soak['warm_up']} warm-up "
             f"changes (largest on the way)", f"{growth:+d} KiB ({peak_growth:+d} KiB)",
             f"{warm['rss_kib'] / 1024:.1f} MiB after warm-up", "—", "< 1 MiB",
             verdict(growth < 1024 and peak_growth < 1024)]]
    for key, label in (("files", "open files"), ("threads", "threads")):
        rows.append([f"soak: {label} after warm-up → end (before the first change; stopped)",
                     f"{warm[key]} → {end[key]}",
                     f"{soak['before'][key]}; {soak['stopped'][key]}", "—", "back to start",
                     verdict(end[key] <= warm[key])])
    return rows


def machine():
    model = "unknown"
    try:
        text = subprocess.run(["lscpu"], capture_output=True, text=True).stdout
        for line in text.splitlines():
            if line.startswith("Model name:"):
                model = line.split(":", 1)[1].strip()
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores, {platform.system()} {platform.release()}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--cpu-window", default="25")
    args = parser.parse_args()
    rows = (startup_rows(args.out) + memory_rows(args.out) + track_rows(args.out) +
            file_memory_rows(args.out) + press_rows(args.out) + cpu_rows(args.out, args.cpu_window) +
            soak_rows(args.out))
    header = ["metric", "ours: median (min–max)", "reference", "ratio", "target", "result"]
    print(f"Machine: {machine()}")
    print()
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for row in rows:
        print("| " + " | ".join(row) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
