#!/usr/bin/env python3
"""Throughput and memory of quirexdesk's worker processes.

    bench/workers-bench.py [--today OLD_BUILD] [--files 200] [--long 2000] [--rounds 5]

Converts FILES two-page documents with `quirexdesk /inlist LIST /outdir DIR`
with /jobs 1 and with /jobs N (the processors this process may use), and with
OLD_BUILD's quirexdesk (a build that converts in its own process) for
comparison; then LONG documents with /jobs N while sampling the resident
memory of the whole process tree (the program and its workers) every 50 ms,
and compares the peak over the first 200 documents with the peak over the
last 200. The throughput runs are repeated ROUNDS times, the order of the
programs turning each round, and their medians compared. Runs in a temporary folder with a registry, config and log folder
of its own.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.join(os.path.dirname(HERE), "build")
PAGE = 4096


def two_pages(index):
    text = "Lorem ipsum dolor sit amet, consectetur adipiscing. " * 6
    parts = ["<html><body>"]
    for page in (1, 2):
        brk = "always" if page == 1 else "auto"
        parts.append("<div style='page-break-after:%s'><h1>Document %d, page %d</h1>" %
                     (brk, index, page))
        parts.extend("<p>%s</p>" % text for _ in range(6))
        parts.append("</div>")
    parts.append("</body></html>")
    return "".join(parts)


def register(build, env):
    for library in ("quirex.so", "pdfdocument.so"):
        subprocess.run([os.path.join(build, "bin", "regsvr"), "-s",
                        os.path.join(build, "bin", library)],
                       env=env, check=True, stdout=subprocess.DEVNULL)


def tree_rss(root):
    """Resident bytes of `root` and every process below it."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                text = stat.read()
        except OSError:
            continue
        ppid = int(text[text.rindex(")") + 2:].split()[1])
        children.setdefault(ppid, []).append(int(entry))
    total, todo = 0, [root]
    while todo:
        pid = todo.pop()
        try:
            with open("/proc/%d/statm" % pid) as statm:
                total += int(statm.read().split()[1]) * PAGE
        except OSError:
            pass
        todo.extend(children.get(pid, []))
    return total


def run(build, work, files, jobs, env, sample=False):
    out = os.path.join(work, "out-%s" % jobs)
    os.makedirs(out, exist_ok=True)
    for name in os.listdir(out):
        os.remove(os.path.join(out, name))
    arguments = [os.path.join(build, "bin", "quirexdesk"), "/inlist",
                 os.path.join(work, "list-%d.txt" % files), "/outdir", out, "/quiet"]
    if jobs:
        arguments += ["/jobs", str(jobs)]
    start = time.monotonic()
    process = subprocess.Popen(arguments, env=env, stderr=subprocess.PIPE)
    samples = []  # (documents finished, tree RSS)
    while sample and process.poll() is None:
        done = sum(1 for name in os.listdir(out) if not name.startswith("."))
        samples.append((done, tree_rss(process.pid)))
        time.sleep(0.05)
    # Unsampled runs are timed to their end, not to the next poll.
    process.wait()
    seconds = time.monotonic() - start
    if process.returncode != 0:
        sys.exit("%s failed (%d): %s" % (" ".join(arguments), process.returncode,
                                          process.stderr.read()))
    return seconds, samples


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--today", help="a build folder that converts in its own process")
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--long", type=int, default=2000)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    cores = len(os.sched_getaffinity(0))
    with tempfile.TemporaryDirectory(prefix="quirex-workers-bench-") as work:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                   QUIREX_REGISTRY=os.path.join(work, "registry.ini"),
                   XDG_CONFIG_HOME=os.path.join(work, "config"),
                   QUIREX_LOG_DIR=os.path.join(work, "nolog"))
        for count in {args.files, args.long}:
            with open(os.path.join(work, "list-%d.txt" % count), "w") as listing:
                for i in range(count):
                    path = os.path.join(work, "doc-%05d.html" % i)
                    if not os.path.exists(path):
                        with open(path, "w") as document:
                            document.write(two_pages(i))
                    listing.write(path + "\n")
        programs = []  # (row name, build, jobs, environment)
        if args.today:
            today_env = dict(env, QUIREX_REGISTRY=os.path.join(work, "registry-today.ini"))
            register(args.today, today_env)
            programs.append(("today, in its own process", args.today, 0, today_env))
        register(BUILD, env)
        programs.append(("/jobs 1", BUILD, 1, env))
        programs.append(("/jobs %d" % cores, BUILD, cores, env))
        times = {name: [] for name, _, _, _ in programs}
        for round_ in range(max(1, args.rounds)):
            shift = round_ % len(programs)
            for name, build, jobs, program_env in programs[shift:] + programs[:shift]:
                times[name].append(run(build, work, args.files, jobs, program_env)[0])
        rows = [(name, statistics.median(times[name])) for name, _, _, _ in programs]
        one = rows[-2][1]
        many = rows[-1][1]
        print("%d two-page files, median of %d rounds:" % (args.files, max(1, args.rounds)))
        for name, seconds in rows:
            print("  %-28s %7.2f s  %6.1f files/s" % (name, seconds, args.files / seconds))
        print("  /jobs %d against /jobs 1: %.2fx" % (cores, one / many))
        if args.today:
            print("  /jobs 1 against today: %.2fx" % (rows[0][1] / one))

        if not args.long:
            return
        seconds, samples = run(BUILD, work, args.long, cores, env, sample=True)
        first = max((rss for done, rss in samples if done < 200), default=0)
        last = max((rss for done, rss in samples if done >= args.long - 200), default=0)
        print("%d files with /jobs %d: %.1f s; peak RSS of the process tree: first 200 %.1f MiB, "
              "last 200 %.1f MiB (%+.1f %%)" %
              (args.long, cores, seconds, first / 2**20, last / 2**20,
               100.0 * (last - first) / first if first else 0))


if __name__ == "__main__":
    main()
