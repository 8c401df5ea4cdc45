#!/usr/bin/env python3
"""Prints the figures of an orvanel-bench run and the table of its targets.

Usage: scripts/bench_table.py BENCH.json [--time real|cpu] [--tolerance T]

BENCH.json is Google Benchmark's JSON output (--benchmark_out=... --benchmark_out_format=json).
Each figure is the median of the run's repetitions (or of its plain runs when it had none),
so every ratio compares medians taken in the same run, on the same machine, at the same load.
A benchmark's size is its numeric argument (the number of contacts); one without an argument
counts as a log of a million contacts.

Exit status: 0 when every target that could be measured holds, 1 when one fails, 2 when the
file cannot be read. A target whose benchmarks were filtered out is shown as not measured.
"""
import argparse
import json
import statistics
import sys

BIG = 1000000
SMALL = 10000
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def parse_name(run_name):
    """'BM_LeerLibro/1000000/real_time' -> ('BM_LeerLibro', 1000000)."""
    parts = run_name.split("/")
    size = next((int(p) for p in parts[1:] if p.isdigit()), None)
    return parts[0], size


class Figures:
    """Median time (ms) and counters of each benchmark at each size."""

    def __init__(self, data):
        groups = {}
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                continue
            run = b.get("run_name", b["name"])
            kind = b.get("run_type", "iteration")
            if kind == "aggregate" and b.get("aggregate_name") != "median":
                continue
            groups.setdefault(run, {"median": [], "iteration": []})
            groups[run]["median" if kind == "aggregate" else "iteration"].append(b)
        self.rows = {}
        self.order = []
        for run, g in groups.items():
            entries = g["median"] or g["iteration"]
            if not entries:
                continue
            unit = TO_MS[entries[0].get("time_unit", "ns")]
            real = statistics.median(e["real_time"] * unit for e in entries)
            cpu = statistics.median(e["cpu_time"] * unit for e in entries)
            counters = {}
            for key in entries[0]:
                if key.endswith("_MB") or key in ("bytes_per_second", "items_per_second"):
                    values = [e[key] for e in entries if key in e]
                    counters[key] = statistics.median(values)
            key = parse_name(run)
            if key not in self.rows:
                self.order.append(key)
            self.rows[key] = {"run": run, "real": real, "cpu": cpu, "counters": counters}

    def get(self, name, size):
        row = self.rows.get((name, size))
        if row is None and size == BIG:
            row = self.rows.get((name, None))
        return row


def fmt_ms(ms):
    if ms >= 100:
        return f"{ms:.0f} ms"
    if ms >= 1:
        return f"{ms:.2f} ms"
    if ms >= 0.001:
        return f"{ms * 1e3:.2f} us"
    return f"{ms * 1e6:.0f} ns"


def print_figures(figs):
    print("Figures (medians)")
    print(f"  {'benchmark':<44} {'real':>11} {'cpu':>11}  counters")
    for key in figs.order:
        row = figs.rows[key]
        counters = "  ".join(f"{k}={v:.1f}" for k, v in sorted(row["counters"].items()) if k.endswith("_MB"))
        print(f"  {row['run']:<44} {fmt_ms(row['real']):>11} {fmt_ms(row['cpu']):>11}  {counters}")
    print()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("json")
    ap.add_argument("--time", choices=("real", "cpu"), default="real",
                    help="wall-clock time (default) or the process's processor time")
    ap.add_argument("--tolerance", type=float, default=0.5,
                    help="how far above a hundredfold BM_DeleteLine may grow from 1e4 to 1e6 "
                         "contacts and still count as linear (default 0.5: caches are larger than "
                         "the small log, not than the big one)")
    args = ap.parse_args()
    try:
        with open(args.json, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        print(f"bench_table: cannot read {args.json}: {e}", file=sys.stderr)
        return 2
    figs = Figures(data)
    other = "cpu" if args.time == "real" else "real"
    print_figures(figs)

    def timed(label, num, num_size, den, den_size, limit):
        a, b = figs.get(num, num_size), figs.get(den, den_size)
        if a is None or b is None:
            return label, None, "", limit, None
        t = args.time
        return (label, a[t] / b[t], f"{fmt_ms(a[t])} / {fmt_ms(b[t])}", limit, a[other] / b[other])

    def memory(label, counter, limit):
        row = figs.get("BM_OpenLogMemory", BIG)
        if row is None or counter not in row["counters"] or not row["counters"].get("file_MB"):
            return label, None, "", limit, None
        mb, file_mb = row["counters"][counter], row["counters"]["file_MB"]
        return label, mb / file_mb, f"{mb:.1f} MB / {file_mb:.1f} MB file", limit, None

    def counters(label, num, den, counter, limit):
        a, b = figs.get(num, BIG), figs.get(den, BIG)
        if a is None or b is None or not b["counters"].get(counter) or counter not in a["counters"]:
            return label, None, "", limit, None
        x, y = a["counters"][counter], b["counters"][counter]
        return label, x / y, f"{x:.1f} MB / {y:.1f} MB", limit, None

    linear = 100 * (1 + args.tolerance)
    targets = [
        timed("LeerLibro / RawRead", "BM_LeerLibro", BIG, "BM_RawRead", BIG, 3),
        timed("EscribirLibro / RawWrite", "BM_EscribirLibro", BIG, "BM_RawWrite", BIG, 3),
        timed("SortByCall / SortBaseline", "BM_SortByCall", BIG, "BM_SortBaseline", BIG, 0.5),
        timed("FindNextNoMatch / MemmemScan", "BM_FindNextNoMatch", BIG, "BM_MemmemScan", BIG, 3),
        timed("AddContact 1e6 / 1e4", "BM_AddContact", BIG, "BM_AddContact", SMALL, 2),
        timed("UndoNuevo / LeerLibro", "BM_UndoNuevo", BIG, "BM_LeerLibro", BIG, 0.1),
        timed("UndoSort / SortByCall", "BM_UndoSort", BIG, "BM_SortByCall", BIG, 1),
        timed("AddContactJournal / AddContact", "BM_AddContactJournal", BIG, "BM_AddContact", BIG, 2),
        timed("ContentHash / LeerLibro", "BM_ContentHash", BIG, "BM_LeerLibro", BIG, 0.1),
        timed("DeleteLine 1e6 / 1e4 (linear)", "BM_DeleteLine", BIG, "BM_DeleteLine", SMALL, linear),
        timed("ResolveCalls / HashCalls", "BM_ResolveCalls", BIG, "BM_HashCalls", BIG, 3),
        timed("WorkedEntities / SortByCall", "BM_WorkedEntities", BIG, "BM_SortByCall", BIG, 2),
        timed("IndexCalls / LeerLibro", "BM_IndexCalls", BIG, "BM_LeerLibro", BIG, 0.2),
        timed("ExportAdif / RawWriteAdif", "BM_ExportAdif", BIG, "BM_RawWriteAdif", BIG, 3),
        timed("ImportAdif / RawReadAdif", "BM_ImportAdif", BIG, "BM_RawReadAdif", BIG, 4),
        timed("MatchConfirmations / ImportAdif", "BM_MatchConfirmations", 100000,
              "BM_ImportConfirmationsFile", 100000, 2),
        counters("ImportAdif table / LeerLibro", "BM_ImportAdif", "BM_LeerLibro", "table_MB", 1.0),
        memory("Loaded table, resident / file", "rss_growth_MB", 1.0),
        memory("Peak while loading / file", "peak_growth_MB", 1.5),
    ]
    quick = [
        timed("LeerLibro / RawRead", "BM_LeerLibro", SMALL, "BM_RawRead", SMALL, None),
        timed("EscribirLibro / RawWrite", "BM_EscribirLibro", SMALL, "BM_RawWrite", SMALL, None),
        timed("SortByCall / SortBaseline", "BM_SortByCall", SMALL, "BM_SortBaseline", SMALL, None),
        timed("FindNextNoMatch / MemmemScan", "BM_FindNextNoMatch", SMALL, "BM_MemmemScan", SMALL, None),
        timed("ExportAdif / RawWriteAdif", "BM_ExportAdif", SMALL, "BM_RawWriteAdif", SMALL, None),
        timed("ImportAdif / RawReadAdif", "BM_ImportAdif", SMALL, "BM_RawReadAdif", SMALL, None),
    ]

    failed = False
    print(f"Targets ({args.time} time, medians of one run)")
    print(f"  {'ratio':<32} {'measured':<30} {'value':>7} {'limit':>8}  {'result':<6}  ({other} time)")
    for label, value, measured, limit, alt in targets:
        if value is None:
            result, shown = "not measured", "-"
        else:
            ok = value <= limit
            failed = failed or not ok
            result, shown = ("PASS" if ok else "FAIL"), f"{value:.2f}"
        alt_shown = f"({alt:.2f})" if alt is not None else ""
        print(f"  {label:<32} {measured:<30} {shown:>7} {'<= ' + format(limit, 'g'):>8}  {result:<6}  {alt_shown}")
    shown_quick = [(label, value, measured) for label, value, measured, _, _ in quick if value is not None]
    if shown_quick:
        print(f"\nAt {SMALL} contacts, for a quick look (no target)")
        for label, value, measured in shown_quick:
            print(f"  {label:<32} {measured:<30} {value:>7.2f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
