#!/usr/bin/env python3
"""Times qvhelp-remove against the same steps done by coreutils and against GNU sed, interleaved.

For each catalogue size: the program's median time over several runs, next to the steps of a
durable replacement done by coreutils (cp to the backup name, cp to a new file, sync of that
file, mv over the catalogue, rm of the backup) and sed removing the same block in place
followed by sync of its file; the ratios; the program's peak resident memory. Then the
registry lookup alone on large hives, and a real prefix: the system.reg that Wine's wineboot
makes, with the key added by Wine's reg in the 32-bit view, as the IDE's installer does, and a
230 KiB catalogue, against sed -i + sync on that catalogue alone. With --bound-io, also the file operations a run is
bound to with nothing else (bench/bound_io.cpp): the lowest cost the design allows. Every
command runs under GNU time (package `time`), which reports its peak memory. Prints a
Markdown table; --plot also draws time against size with gnuplot.

  bench.py --program PATH [--bound-io PATH] [--dir DIR] [--sizes MB,...] [--runs N]
           [--hive-sizes MB,...] [--line-ends crlf|lf] [--real-runs N] [--plot PNG]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
MIB = 1 << 20


def generate(*args):
    subprocess.run([sys.executable, os.path.join(HERE, "generate.py"), *map(str, args)],
                   check=True)


WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
TIME = "/usr/bin/time"  # GNU time: forked from a small process, its peak memory is the child's


def timed(argv, env=None, rusage_file=None):
    """Runs argv under GNU time; returns (seconds, peak resident bytes, exit status)."""
    rusage_file = rusage_file or os.path.join(os.environ.get("TMPDIR", "/tmp"), "qvhelp-bench.rss")
    command = [TIME, "-f", "%M", "-o", rusage_file, *argv]
    start = time.perf_counter()
    status = subprocess.run(command, env=env).returncode
    elapsed = time.perf_counter() - start
    with open(rusage_file) as f:
        peak = int(f.read().split()[-1]) * 1024
    os.remove(rusage_file)
    return elapsed, peak, status


def make_prefix(root, hive_size=None):
    prefix = os.path.join(root, "prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(os.path.join(prefix, "dosdevices"))
    os.makedirs(os.path.join(prefix, "drive_c", "BDS", "Help", "Common"))
    os.symlink("../drive_c", os.path.join(prefix, "dosdevices", "c:"))
    generate("hive", hive_size or 0, os.path.join(prefix, "system.reg"))
    return prefix


def bench_catalogues(args, root):
    prefix = make_prefix(root)
    env = dict(os.environ, WINEPREFIX=prefix)
    catalogue = os.path.join(prefix, "drive_c", "BDS", "Help", "Common", "bds3.HxT")
    source = os.path.join(root, "source.HxT")
    # The coreutils steps work on a catalogue of their own, beside its backup and new file.
    steps_catalogue = os.path.join(root, "steps.HxT")
    steps_backup = os.path.join(root, "steps.~HxT")
    steps_new = os.path.join(root, "steps.HxT.new")
    sed_file = os.path.join(root, "sed.HxT")
    cp, mv, rm, sync, sed = (shutil.which(tool) for tool in ("cp", "mv", "rm", "sync", "sed"))
    rows = []
    for size_mb in args.sizes:
        generate("catalogue", int(size_mb * MIB), args.line_ends, source)
        size = os.path.getsize(source)
        program_times, floor_times, sed_times, bound_times, peaks = [], [], [], [], []
        for _ in range(args.runs):
            shutil.copyfile(source, catalogue)
            seconds, peak, status = timed([args.program], env)
            if status != 0:
                sys.exit(f"qvhelp-remove ended with status {status}")
            program_times.append(seconds)
            peaks.append(peak)
            shutil.copyfile(source, steps_catalogue)
            floor_times.append(sum(timed(step)[0] for step in (
                [cp, steps_catalogue, steps_backup], [cp, steps_catalogue, steps_new],
                [sync, steps_new], [mv, steps_new, steps_catalogue], [rm, steps_backup])))
            if args.bound_io:
                # A fresh catalogue and no backup yet, as the program had.
                shutil.copyfile(source, steps_catalogue)
                bound_times.append(timed([args.bound_io, steps_catalogue, steps_backup])[0])
            shutil.copyfile(source, sed_file)
            sed_times.append(timed([sed, "-i", "/Quorvane Components/{N;N;d}", sed_file])[0] +
                             timed([sync, sed_file])[0])
            for path in (steps_catalogue, sed_file):
                if os.path.exists(path):
                    os.remove(path)
        program, floor, sed_time = map(statistics.median, (program_times, floor_times, sed_times))
        rows.append({"size": size, "program": program, "floor": floor, "sed": sed_time,
                     "peak": max(peaks),
                     "bound": statistics.median(bound_times) if bound_times else None})
    if os.path.exists(source):
        os.remove(source)
    return rows


def make_wine_prefix(root):
    """A prefix that Wine made, kept under root for the next run; the IDE's key added by reg."""
    prefix = os.path.join(root, "wine-prefix")
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        subprocess.run([WINE64, "wineboot", "-i"], env=env, check=True, **quiet)
        subprocess.run([WINE64, "reg", "add", r"HKLM\Software\Borland\BDS\3.0", "/v", "RootDir",
                        "/t", "REG_SZ", "/d", r"C:\BDS", "/f", "/reg:32"], env=env, check=True, **quiet)
        # wineserver writes the registry to system.reg when it exits.
        subprocess.run([WINESERVER, "-w"], env=env, check=True)
    os.makedirs(os.path.join(prefix, "drive_c", "BDS", "Help", "Common"), exist_ok=True)
    return prefix


def bench_real_prefix(args, root):
    if not os.path.exists(WINE64):
        print(f"No {WINE64}: the real prefix is left out.", file=sys.stderr)
        return None
    prefix = make_wine_prefix(root)
    env = dict(os.environ, WINEPREFIX=prefix)
    catalogue = os.path.join(prefix, "drive_c", "BDS", "Help", "Common", "bds3.HxT")
    source = os.path.join(root, "real.HxT")
    sed_file = os.path.join(root, "real-sed.HxT")
    sed, sync = shutil.which("sed"), shutil.which("sync")
    generate("catalogue", 230 * 1024, "crlf", source)
    size = os.path.getsize(source)
    program_times, sed_times = [], []
    for _ in range(args.real_runs):
        shutil.copyfile(source, catalogue)
        seconds, _, status = timed([args.program], env)
        if status != 0 or b"Quorvane" in open(catalogue, "rb").read():
            sys.exit(f"qvhelp-remove ended with status {status} or left the entry")
        program_times.append(seconds)
        shutil.copyfile(source, sed_file)
        sed_times.append(timed([sed, "-i", "/Quorvane Components/{N;N;d}", sed_file])[0] +
                         timed([sync, sed_file])[0])
    os.remove(source)
    os.remove(sed_file)
    return {"hive": os.path.getsize(os.path.join(prefix, "system.reg")),
            "catalogue": size,
            "program": statistics.median(program_times), "sed": statistics.median(sed_times)}


def bench_hives(args, root):
    rows = []
    for size_mb in args.hive_sizes:
        prefix = make_prefix(root, int(size_mb * MIB))
        hive_size = os.path.getsize(os.path.join(prefix, "system.reg"))
        env = dict(os.environ, WINEPREFIX=prefix)
        # No catalogue: the run is the registry lookup and one presence test.
        times = [timed([args.program], env)[0] for _ in range(args.runs)]
        rows.append({"size": hive_size, "time": statistics.median(times)})
    return rows


def print_tables(args, rows, hive_rows, real):
    print(f"Catalogues with {args.line_ends.upper()} line ends, median of {args.runs} runs, "
          f"in {args.dir}:\n")
    bound = args.bound_io is not None
    print("| catalogue | qvhelp-remove | coreutils steps | sed -i + sync | program / coreutils "
          "| program / sed | peak memory | (memory - 8 MiB) / size |"
          + (" bound I/O | bound I/O / coreutils |" if bound else ""))
    print("|---:|---:|---:|---:|---:|---:|---:|---:|" + ("---:|---:|" if bound else ""))
    for row in rows:
        print(f"| {row['size'] / MIB:.1f} MiB | {row['program'] * 1000:.1f} ms "
              f"| {row['floor'] * 1000:.1f} ms | {row['sed'] * 1000:.1f} ms "
              f"| {row['program'] / row['floor']:.2f} | {row['program'] / row['sed']:.2f} "
              f"| {row['peak'] / MIB:.1f} MiB | {(row['peak'] - 8 * MIB) / row['size']:.2f} |"
              + (f" {row['bound'] * 1000:.1f} ms | {row['bound'] / row['floor']:.2f} |"
                 if bound else ""))
    by_size = {round(r["size"] / MIB, 1): r for r in rows}
    for small in by_size:
        large = round(small * 10, 1)
        if large in by_size:
            print(f"\nTen times the size ({small} -> {large} MiB) costs "
                  f"{by_size[large]['program'] / by_size[small]['program']:.2f} times the time.")
    if hive_rows:
        # A run opens the key twice, and each open reads the hive whole.
        print("\n| hive | registry lookup and presence test (whole run) | GB/s a scan |"
              "\n|---:|---:|---:|")
        for row in hive_rows:
            print(f"| {row['size'] / MIB:.1f} MiB | {row['time'] * 1000:.1f} ms "
                  f"| {2 * row['size'] / row['time'] / 1e9:.2f} |")
    if real:
        print(f"\nA prefix made by wineboot, median of {args.real_runs} runs:\n\n"
              "| system.reg | catalogue | qvhelp-remove | sed -i + sync | program / sed |\n"
              "|---:|---:|---:|---:|---:|\n"
              f"| {real['hive'] / MIB:.1f} MiB | {real['catalogue'] / 1024:.0f} KiB "
              f"| {real['program'] * 1000:.1f} ms | {real['sed'] * 1000:.1f} ms "
              f"| {real['program'] / real['sed']:.2f} |")


def plot(rows, path):
    data = path + ".dat"
    bound = rows[0]["bound"] is not None
    with open(data, "w") as out:
        for row in rows:
            out.write(f"{row['size'] / MIB} {row['program']} {row['floor']} {row['sed']} "
                      f"{row['bound'] if bound else 0}\n")
    lines = [f"'{data}' using 1:2 with linespoints title 'qvhelp-remove'",
             f"'{data}' using 1:3 with linespoints title 'coreutils: cp, cp, sync, mv, rm'",
             f"'{data}' using 1:4 with linespoints title 'sed -i + sync'"]
    if bound:
        lines.append(f"'{data}' using 1:5 with linespoints title 'bound I/O'")
    script = f"""
set terminal png size 900,600
set output '{path}'
set logscale xy
set xlabel 'catalogue size (MiB)'
set ylabel 'time (s), median'
set key top left
set grid
plot {", ".join(lines)}
"""
    subprocess.run(["gnuplot"], input=script.encode(), check=True)
    os.remove(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--bound-io")
    parser.add_argument("--dir", default="build/bench")
    parser.add_argument("--sizes", default="0.1,1,10,25.6,256")
    parser.add_argument("--hive-sizes", default="10,100")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--line-ends", choices=["crlf", "lf"], default="crlf")
    parser.add_argument("--real-runs", type=int, default=15,
                        help="runs on the real prefix; 0 leaves it out")
    parser.add_argument("--plot")
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    if args.bound_io:
        args.bound_io = os.path.abspath(args.bound_io)
    args.sizes = [float(s) for s in args.sizes.split(",") if s]
    args.hive_sizes = [float(s) for s in args.hive_sizes.split(",") if s]
    root = os.path.abspath(args.dir)
    os.makedirs(root, exist_ok=True)
    rows = bench_catalogues(args, root)
    hive_rows = bench_hives(args, root)
    shutil.rmtree(os.path.join(root, "prefix"), ignore_errors=True)
    real = bench_real_prefix(args, root) if args.real_runs > 0 else None
    print_tables(args, rows, hive_rows, real)
    if args.plot:
        plot(rows, os.path.abspath(args.plot))


if __name__ == "__main__":
    main()
