"""Summarises the start-up timer's runs and the launcher executable's size and imports as a table
on standard output and as JSON, so results from different commits can be compared."""
import argparse
import json
import os
import statistics
import subprocess
import sys

OBJDUMP = "x86_64-w64-mingw32-objdump"


def read_runs(path):
    """The timer's lines "run <n> shown_ms <ms> navigate_ms <ms|->" as two lists of times."""
    shown, navigate = [], []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            fields = line.split()
            if len(fields) != 6 or fields[0] != "run":
                continue
            shown.append(float(fields[3]))
            if fields[5] != "-":
                navigate.append(float(fields[5]))
    return shown, navigate


SIZE_BUDGET_BYTES = 128 * 1024


def summary(times):
    if not times:
        return None
    return {"runs": len(times), "median_ms": statistics.median(times), "min_ms": min(times), "max_ms": max(times)}


def imported_dlls(exe):
    dump = subprocess.run([OBJDUMP, "-p", exe], check=True, capture_output=True, text=True).stdout
    return sorted({line.split(":", 1)[1].strip() for line in dump.splitlines() if "DLL Name:" in line},
                  key=str.lower)


def table_rows(results):
    rows = [("program", "measure", "runs", "median ms", "min ms", "max ms")]
    for program in ("launcher", "floor"):
        for measure in ("window_shown", "navigate"):
            stats = results[program].get(measure)
            if stats:
                rows.append((program, measure, str(stats["runs"]), f"{stats['median_ms']:.1f}",
                             f"{stats['min_ms']:.1f}", f"{stats['max_ms']:.1f}"))
    return rows


def print_report(results):
    rows = table_rows(results)
    widths = [max(len(row[i]) for row in rows) for i in range(len(rows[0]))]
    for row in rows:
        print("  ".join(cell.ljust(width) for cell, width in zip(row, widths)))
    print()
    print(f"window shown, launcher / floor (medians): {results['ratio_window_shown']:.2f}")
    size = results["exe"]["bytes"]
    print(f"executable: {size} bytes ({size / SIZE_BUDGET_BYTES:.0%} of the {SIZE_BUDGET_BYTES} byte budget)")
    print(f"imported DLLs: {', '.join(results['exe']['imported_dlls'])}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--launcher-runs", required=True)
    parser.add_argument("--floor-runs", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--json", required=True)
    args = parser.parse_args()

    launcher_shown, launcher_navigate = read_runs(args.launcher_runs)
    floor_shown, _ = read_runs(args.floor_runs)
    if not launcher_shown or not floor_shown:
        sys.exit("no timed runs to report")
    results = {
        "launcher": {"window_shown": summary(launcher_shown), "navigate": summary(launcher_navigate)},
        "floor": {"window_shown": summary(floor_shown)},
        "ratio_window_shown": statistics.median(launcher_shown) / statistics.median(floor_shown),
        "exe": {"bytes": os.path.getsize(args.exe), "budget_bytes": SIZE_BUDGET_BYTES,
                "imported_dlls": imported_dlls(args.exe)},
    }
    print_report(results)
    with open(args.json, "w", encoding="utf-8") as out:
        json.dump(results, out, indent=2)
        out.write("\n")


if __name__ == "__main__":
    main()
