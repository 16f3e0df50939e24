#!/usr/bin/env python3
"""Runs the benchmark binary and prints its results as one markdown table.

Usage: bench_table.py [--doc FILE] BINARY [benchmark arguments...]

Every benchmark is named "family|operation|input|implementation|kind|scale"
(see bench/BenchSupport.h). One table row is one operation on one input: our
time, every other implementation's time, our time divided by the best peer's
(bounds such as memcpy are shown but are no peer), and our time on eight
times the input divided by our time on the input (a linear operation gives
about 8; the best peer's figure stands beside it for comparison).

With --doc, the part of FILE between the two marker lines below is replaced
by the table and a description of the machine it ran on, unless the run was
filtered (--benchmark_filter) and so shows only part of the table.
"""

import json
import os
import platform
import re
import subprocess
import sys
import time

BEGIN = "<!-- bench-table:begin -->"
END = "<!-- bench-table:end -->"

# Each benchmark runs until it has used 0.1 s, three times; the table shows
# the fastest of the three, the figure least disturbed by other work.
DEFAULT_ARGS = [
    "--benchmark_repetitions=3",
    "--benchmark_report_aggregates_only=true",
    "--benchmark_min_time=0.1",
]

FAMILY_ORDER = ["storage", "search", "replace", "case", "encodings", "paths"]

# Flags: slower than twice the best peer; an 8x input that costs clearly
# more than 8x, than the best peer's growth and than memcpy's growth on
# inputs of the same size, which show what the caches alone do to a linear
# operation (a quadratic one would give about 64).
SLOW_RATIO = 2.0
STEEP_FACTOR = 1.5


def to_ns(value, unit):
    return value * {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[unit]


def show_time(ns):
    if ns is None:
        return "–"
    for limit, unit, scale in ((1e3, "ns", 1.0), (1e6, "µs", 1e3), (1e9, "ms", 1e6)):
        if ns < limit:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns / 1e9:.3g} s"


def cpu_model():
    try:
        out = subprocess.run(["lscpu"], capture_output=True, text=True, check=True).stdout
        for line in out.splitlines():
            if line.startswith("Model name:"):
                return line.split(":", 1)[1].strip()
    except (OSError, subprocess.CalledProcessError):
        pass
    return platform.processor() or "unknown"


def load_average():
    try:
        with open("/proc/loadavg") as f:
            return float(f.read().split()[0])
    except OSError:
        return None


def run(binary, extra):
    cmd = [binary, "--benchmark_format=json"] + DEFAULT_ARGS + extra
    print(f"bench: running {os.path.basename(binary)} (a few minutes; the table follows)",
          file=sys.stderr, flush=True)
    result = subprocess.run(cmd, stdout=subprocess.PIPE, check=False)
    if result.returncode != 0:
        sys.exit(f"bench: {binary} failed with exit code {result.returncode}")
    return json.loads(result.stdout)


def collect(data):
    """{(family, operation, input): {"impls": {(name, kind): {scale: ns}}, "note": str}}"""
    rows = {}
    order = []
    have_aggregates = any(b.get("run_type") == "aggregate" for b in data["benchmarks"])
    for b in data["benchmarks"]:
        if have_aggregates:
            if b.get("run_type") != "aggregate" or b.get("aggregate_name") != "min":
                continue
        elif b.get("run_type") == "aggregate":
            continue
        parts = b.get("run_name", b["name"]).split("|")
        if len(parts) != 6:
            continue
        family, operation, input_, impl, kind, scale = parts
        key = (family, operation, input_)
        if key not in rows:
            rows[key] = {"impls": {}, "note": ""}
            order.append(key)
        ns = to_ns(b["cpu_time"], b.get("time_unit", "ns"))
        times = rows[key]["impls"].setdefault((impl, kind), {})
        scale = int(scale)
        times[scale] = min(ns, times.get(scale, ns))
        if b.get("label"):
            rows[key]["note"] = b["label"]
    # Families in a fixed order, rows within one in the order registered.
    rank = {f: i for i, f in enumerate(FAMILY_ORDER)}
    order.sort(key=lambda k: rank.get(k[0], len(rank)))
    return [(key, rows[key]) for key in order]


def scaling_of(times):
    return times[8] / times[1] if times.get(1) and times.get(8) else None


def table(rows):
    # What the caches do to a copy of each input size, from the memcpy bounds.
    copy_growth = {}
    for (_, _, input_), row in rows:
        for (name, kind), times in row["impls"].items():
            growth = scaling_of(times)
            if kind == "bound" and growth is not None:
                copy_growth[input_] = max(growth, copy_growth.get(input_, 0.0))
    lines = [
        "| family | operation | input | ours | peers (bounds in italics) | ours ÷ best peer "
        "| 8× input: ours (best peer) | notes |",
        "|---|---|---|---:|---|---:|---:|---|",
    ]
    slow, steep = [], []
    for (family, operation, input_), row in rows:
        impls = row["impls"]
        ours = next((t for (name, kind), t in impls.items() if kind == "ours"), {})
        peers = [(name, t) for (name, kind), t in impls.items() if kind == "peer"]
        bounds = [(name, t) for (name, kind), t in impls.items() if kind == "bound"]
        cells = [f"{name} {show_time(t.get(1))}" for name, t in peers]
        cells += [f"*{name} {show_time(t.get(1))}*" for name, t in bounds]

        best = min(peers, key=lambda p: p[1].get(1, float("inf")), default=None)
        ratio = None
        if best is not None and ours.get(1) and best[1].get(1):
            ratio = ours[1] / best[1][1]
        scaling = ours[8] / ours[1] if ours.get(1) and ours.get(8) else None
        peer_scaling = None
        if best is not None and best[1].get(1) and best[1].get(8):
            peer_scaling = best[1][8] / best[1][1]

        ratio_cell = "–" if ratio is None else f"{ratio:.2f}"
        if ratio is not None and ratio > SLOW_RATIO:
            ratio_cell = f"**{ratio_cell}**"
            slow.append(f"{operation} ({input_})")
        scaling_cell = "–"
        if scaling is not None:
            scaling_cell = f"{scaling:.1f}"
            if peer_scaling is not None:
                scaling_cell += f" ({peer_scaling:.1f})"
            reference = max(8.0, peer_scaling or 0.0, copy_growth.get(input_, 0.0))
            if scaling > STEEP_FACTOR * reference:
                scaling_cell = f"**{scaling_cell}**"
                steep.append(f"{operation} ({input_})")
        note = row["note"]
        lines.append(
            f"| {family} | {operation} | {input_} | {show_time(ours.get(1))} | "
            f"{'; '.join(cells)} | {ratio_cell} | {scaling_cell} | {note} |")
    return "\n".join(lines), slow, steep


def machine(data, load_before, load_after):
    context = data.get("context", {})
    cores = context.get("num_cpus") or os.cpu_count()
    lines = [
        f"- Machine: {cpu_model()}, {cores} cores; {platform.system()} {platform.release()}; "
        f"run of {context.get('date', time.strftime('%Y-%m-%d %H:%M'))}.",
    ]
    if load_before is not None and load_after is not None:
        busy = max(load_before, load_after) >= 0.5
        lines.append(
            f"- Load average: {load_before:.2f} when the run started, {load_after:.2f} when it "
            f"ended" + (" — the machine was shared with other work, so the figures are noisy."
                        if busy else " — a quiet machine."))
    return "\n".join(lines)


def write_doc(path, text):
    with open(path, encoding="utf-8") as f:
        doc = f.read()
    pattern = re.compile(re.escape(BEGIN) + ".*?" + re.escape(END), re.S)
    if not pattern.search(doc):
        sys.exit(f"bench: {path} has no {BEGIN} ... {END} section")
    doc = pattern.sub(lambda _: f"{BEGIN}\n{text}\n{END}", doc)
    with open(path, "w", encoding="utf-8") as f:
        f.write(doc)


def main(argv):
    doc = None
    if len(argv) >= 2 and argv[0] == "--doc":
        doc, argv = argv[1], argv[2:]
    if not argv:
        sys.exit(__doc__)
    binary, extra = argv[0], argv[1:]
    load_before = load_average()
    data = run(binary, extra)
    load_after = load_average()
    body, slow, steep = table(collect(data))
    summary = [
        "- More than twice the best peer: " + (", ".join(slow) if slow else "none") + ".",
        "- Growing clearly faster than the input: " + (", ".join(steep) if steep else "none") + ".",
    ]
    text = "\n\n".join([machine(data, load_before, load_after), body, "\n".join(summary)])
    print(text)
    if doc is not None:
        # A filtered run shows part of the table: it must not replace the whole.
        if any(arg.startswith("--benchmark_filter") for arg in extra):
            print(f"\nbench: filtered run, {doc} left as it was", file=sys.stderr)
        else:
            write_doc(doc, text)
            print(f"\nbench: table written to {doc}", file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1:])
