#!/usr/bin/env python3
"""Seeded-fault sample: how many realistic faults the test suite catches.

Each fault of the list (scripts/fault_sample.txt by default) is one small mistake in the
program's sources. For each, this script puts the fault into the tree, rebuilds the build folder
incrementally, runs every test ctest runs, and puts the file back exactly as it was:

  caught   some test failed, or the tests did not end in time
  missed   every test passed: the tests do not notice this fault
  invalid  the build failed: the fault does not count
  stale    the text to replace is not in the file exactly once (the source moved on): not counted

One line is printed per fault, then a summary: caught of valid, and the missed faults. Results
go to a results file in the build folder as they come, so a run can be stopped and resumed.

  scripts/fault_sample.py                       the whole sample on this tree
  scripts/fault_sample.py --only S01,D04        some faults
  scripts/fault_sample.py --resume              go on where a stopped run ended
  scripts/fault_sample.py --tree /other/tree --build /other/tree/build-mut
                                                the same sample on another tree (a newer main)
  scripts/fault_sample.py --check               only check that every fault applies

The build folder is configured with -DCMAKE_BUILD_TYPE=Release when it has no CMakeCache.txt:
the fastest rebuild plus test run measured here. Before the first fault, the unchanged tree is
built and tested once; a failing suite stops the run, as no fault could be judged against it.
The tree must not have uncommitted changes in the files the faults touch. The file being
changed is put back on any exit, Ctrl+C included; a run killed outright is repaired at the next
start from the copy it keeps in the build folder.
"""

import argparse
import json
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

SCRIPT_DIR = Path(__file__).resolve().parent
RESULTS_NAME = "fault_sample_results.tsv"
PENDING_NAME = "fault_sample_pending.json"
ORIGINAL_NAME = "fault_sample_original.bak"
LOGS_NAME = "fault_sample_logs"


class Fault:
    def __init__(self, fault_id, room, line):
        self.id = fault_id
        self.room = room
        self.line = line  # where its block starts in the list
        self.what = ""
        self.file = ""
        self.find = None
        self.replace = None


def parse_faults(path):
    """Reads the fault list; raises ValueError with the line of a mistake."""
    faults = []
    current = None
    part = None  # "find" or "replace" while their "| " lines are read
    lines = {"find": [], "replace": []}

    def close():
        if current is None:
            return
        current.find = "\n".join(lines["find"])
        current.replace = "\n".join(lines["replace"])
        for name in ("what", "file"):
            if not getattr(current, name):
                raise ValueError(f"{path}:{current.line}: [{current.id}] has no {name}:")
        if not current.find:
            raise ValueError(f"{path}:{current.line}: [{current.id}] has no find: text")
        if current.find == current.replace:
            raise ValueError(f"{path}:{current.line}: [{current.id}] replaces nothing")
        faults.append(current)

    header = re.compile(r"^\[([A-Za-z0-9_-]+)\]\s*(.*)$")
    for number, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if part is not None and (raw == "|" or raw.startswith("| ")):
            lines[part].append(raw[2:])
            continue
        stripped = raw.strip()
        if not stripped or stripped.startswith("#"):
            continue
        match = header.match(stripped)
        if match:
            close()
            current = Fault(match.group(1), match.group(2).strip(), number)
            part = None
            lines = {"find": [], "replace": []}
            continue
        if current is None:
            raise ValueError(f"{path}:{number}: text before the first [ID]")
        if stripped in ("find:", "replace:"):
            part = stripped[:-1]
            continue
        key, sep, value = stripped.partition(":")
        if sep and key in ("what", "file"):
            setattr(current, key, value.strip())
            part = None
            continue
        raise ValueError(f"{path}:{number}: cannot read: {raw}")
    close()
    seen = set()
    for fault in faults:
        if fault.id in seen:
            raise ValueError(f"{path}:{fault.line}: [{fault.id}] appears twice")
        seen.add(fault.id)
    return faults


def applicable(tree, fault):
    """The file's bytes and the faulty bytes, or None and why not."""
    path = tree / fault.file
    if not path.is_file():
        return None, None, f"{fault.file} does not exist"
    original = path.read_bytes()
    find = fault.find.encode("utf-8")
    count = original.count(find)
    if count != 1:
        return None, None, f"the text to replace occurs {count} times in {fault.file}"
    return original, original.replace(find, fault.replace.encode("utf-8"), 1), ""


class Tree:
    """Puts a fault into a file and always takes it out again."""

    def __init__(self, tree, build):
        self.tree = tree
        self.pending = build / PENDING_NAME
        self.backup = build / ORIGINAL_NAME
        self.changed = None  # (path, original bytes) while a fault is in

    def repair_after_kill(self):
        if not self.pending.exists():
            return
        record = json.loads(self.pending.read_text())
        path = Path(record["path"])
        original = self.backup.read_bytes()
        if path.read_bytes() != original:
            self.write(path, original)
            print(f"put back {path}, left changed by a run that was killed", flush=True)
        self.pending.unlink()
        self.backup.unlink(missing_ok=True)

    @staticmethod
    def write(path, data):
        before = path.stat().st_mtime_ns
        path.write_bytes(data)
        # Newer than before, however coarse the clock: the build must see the change.
        now = max(time.time_ns(), before + 1)
        os.utime(path, ns=(now, now))

    def put_in(self, path, original, faulty):
        self.backup.write_bytes(original)
        self.pending.write_text(json.dumps({"path": str(path)}))
        self.changed = (path, original)
        self.write(path, faulty)

    def take_out(self):
        if self.changed is None:
            return
        path, original = self.changed
        if path.read_bytes() != original:
            self.write(path, original)
        if path.read_bytes() != original:
            raise RuntimeError(f"{path} could not be put back; its content is in {self.backup}")
        self.changed = None
        self.pending.unlink(missing_ok=True)
        self.backup.unlink(missing_ok=True)


def run_logged(command, log, timeout, cwd=None):
    """Runs a command in a process group of its own, its output appended to `log`. Returns its
    exit code, or None when it ran past `timeout` (and was ended, with all it started)."""
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(str(c) for c in command) + "\n").encode())
        out.flush()
        process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT, cwd=cwd,
                                   start_new_session=True)
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        finally:
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                process.wait()


def failed_tests(build):
    """The tests the last ctest run failed, as ctest lists them."""
    log = build / "Testing" / "Temporary" / "LastTestsFailed.log"
    if not log.exists():
        return []
    return [line.split(":", 1)[-1].strip() for line in log.read_text().splitlines()
            if line.strip()]


class Runner:
    def __init__(self, args):
        self.tree = args.tree
        self.build = args.build
        self.jobs = args.jobs
        self.test_timeout = args.test_timeout
        self.build_timeout = args.build_timeout
        self.stop_on_failure = not args.all_tests
        self.logs = self.build / LOGS_NAME
        self.suite_timeout = args.suite_timeout

    def configure(self):
        if (self.build / "CMakeCache.txt").exists():
            return True
        self.build.mkdir(parents=True, exist_ok=True)
        self.logs.mkdir(exist_ok=True)
        code = run_logged(["cmake", "-S", self.tree, "-B", self.build,
                           "-DCMAKE_BUILD_TYPE=Release"], self.logs / "configure.log", 600)
        return code == 0

    def compile(self, log):
        code = run_logged(["cmake", "--build", self.build, "-j", str(self.jobs)], log,
                          self.build_timeout)
        return code == 0

    def test(self, log, timeout):
        """'passed', 'failed' or 'timeout', and the tests that failed."""
        failed_log = self.build / "Testing" / "Temporary" / "LastTestsFailed.log"
        failed_log.unlink(missing_ok=True)
        command = ["ctest", "--test-dir", self.build, "-j", str(self.jobs),
                   "--timeout", str(self.test_timeout), "--output-on-failure"]
        if self.stop_on_failure:
            command.append("--stop-on-failure")
        code = run_logged(command, log, timeout)
        if code is None:
            return "timeout", []
        return ("passed" if code == 0 else "failed"), failed_tests(self.build)


def read_results(path):
    results = {}
    if path.exists():
        for line in path.read_text().splitlines():
            fields = line.split("\t")
            if len(fields) >= 3 and not line.startswith("#"):
                results[fields[0]] = fields
    return results


def summary(faults, results):
    chosen = [f for f in faults if f.id in results]
    status = {f.id: results[f.id][1] for f in chosen}
    caught = [f for f in chosen if status[f.id] == "caught"]
    missed = [f for f in chosen if status[f.id] == "missed"]
    invalid = [f for f in chosen if status[f.id] == "invalid"]
    stale = [f for f in chosen if status[f.id] == "stale"]
    valid = len(caught) + len(missed)
    print()
    print(f"Faults run: {len(chosen)} of {len(faults)}")
    share = f" ({100 * len(caught) / valid:.0f} %)" if valid else ""
    print(f"Caught: {len(caught)} of {valid} valid{share}")
    print(f"Missed: {len(missed)}")
    for fault in missed:
        print(f"  {fault.id:5} {fault.room}: {fault.what}")
    if invalid:
        print(f"Invalid (the build failed; not counted): {len(invalid)}")
        for fault in invalid:
            print(f"  {fault.id:5} {fault.room}: {fault.what}")
    if stale:
        print(f"Stale (the text to replace is not there once; not counted): {len(stale)}")
        for fault in stale:
            print(f"  {fault.id:5} {fault.file}: {results[fault.id][3]}")
    return 0


def main():
    parser = argparse.ArgumentParser(
        description="Seeds each fault of a list into the sources, rebuilds, runs ctest and "
                    "tells which faults the tests catch.",
        formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__)
    parser.add_argument("--tree", type=Path, default=SCRIPT_DIR.parent,
                        help="the source tree (default: the one this script is in)")
    parser.add_argument("--build", type=Path,
                        help="the build folder (default: TREE/build-mut); configured as Release "
                             "when it has no CMakeCache.txt")
    parser.add_argument("--faults", type=Path, default=SCRIPT_DIR / "fault_sample.txt",
                        help="the fault list (default: fault_sample.txt beside this script)")
    parser.add_argument("--only", help="the faults to run, by id, separated by commas")
    parser.add_argument("--resume", action="store_true",
                        help="skip the faults the results file already has")
    parser.add_argument("--results", type=Path,
                        help=f"the results file (default: BUILD/{RESULTS_NAME})")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--test-timeout", type=int, default=300,
                        help="seconds a test without a timeout of its own may run (default 300)")
    parser.add_argument("--suite-timeout", type=int, default=0,
                        help="seconds the whole ctest run of one fault may take before the "
                             "fault counts as caught by a time-out (default: four times the "
                             "unchanged run, at least 180)")
    parser.add_argument("--build-timeout", type=int, default=3600,
                        help="seconds one rebuild may take (default 3600)")
    parser.add_argument("--all-tests", action="store_true",
                        help="run every test even after one failed (slower; names every test "
                             "that catches a fault)")
    parser.add_argument("--skip-baseline", action="store_true",
                        help="do not build and test the unchanged tree first")
    parser.add_argument("--check", action="store_true",
                        help="only check that every fault applies to the tree")
    parser.add_argument("--summary", action="store_true",
                        help="only print the summary of the results file")
    args = parser.parse_args()
    args.tree = args.tree.resolve()
    args.build = (args.build or args.tree / "build-mut").resolve()
    results_path = (args.results or args.build / RESULTS_NAME).resolve()

    try:
        faults = parse_faults(args.faults)
    except ValueError as error:
        print(error, file=sys.stderr)
        return 2
    if args.only:
        wanted = [i.strip() for i in args.only.split(",") if i.strip()]
        unknown = [i for i in wanted if i not in {f.id for f in faults}]
        if unknown:
            print("unknown fault ids: " + ", ".join(unknown), file=sys.stderr)
            return 2
        faults = [f for f in faults if f.id in wanted]

    if args.summary:
        return summary(faults, read_results(results_path))

    if args.check:
        if (args.build / PENDING_NAME).exists():
            Tree(args.tree, args.build).repair_after_kill()
        bad = 0
        for fault in faults:
            original, _, why = applicable(args.tree, fault)
            if original is None:
                bad += 1
                print(f"{fault.id:5} stale    {why}")
        print(f"{len(faults) - bad} of {len(faults)} faults apply to {args.tree}")
        return 1 if bad else 0

    # Ends the run as Ctrl+C does, so the file is put back.
    def stop(signum, _frame):
        raise KeyboardInterrupt(f"signal {signum}")
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)

    runner = Runner(args)
    args.build.mkdir(parents=True, exist_ok=True)
    runner.logs.mkdir(exist_ok=True)
    tree = Tree(args.tree, args.build)
    tree.repair_after_kill()

    touched = sorted({f.file for f in faults})
    dirty = subprocess.run(["git", "-C", args.tree, "status", "--porcelain", "--"] + touched,
                           capture_output=True, text=True)
    if dirty.returncode == 0 and dirty.stdout.strip():
        print("These files have uncommitted changes; commit or put them back first:\n" +
              dirty.stdout, file=sys.stderr)
        return 2

    results = read_results(results_path) if args.resume else {}
    if not args.resume or not results_path.exists():
        results_path.write_text("# id\tstatus\tseconds\tdetail\n")
    todo = [f for f in faults if f.id not in results]

    print(f"tree {args.tree}", flush=True)
    commit = subprocess.run(["git", "-C", args.tree, "rev-parse", "HEAD"], capture_output=True,
                            text=True).stdout.strip()
    print(f"commit {commit or 'unknown'}; build {args.build}; {len(todo)} faults to run",
          flush=True)
    if not runner.configure():
        print(f"cmake could not configure {args.build}; see {runner.logs}/configure.log",
              file=sys.stderr)
        return 2

    started = time.monotonic()
    try:
        suite_timeout = args.suite_timeout
        if not args.skip_baseline and todo:
            log = runner.logs / "baseline.log"
            log.unlink(missing_ok=True)
            begin = time.monotonic()
            if not runner.compile(log):
                print(f"the unchanged tree does not build; see {log}", file=sys.stderr)
                return 2
            built = time.monotonic()
            outcome, failed = runner.test(log, None)
            tested = time.monotonic()
            if outcome != "passed":
                print(f"the unchanged tree fails {', '.join(failed) or 'its tests'}; see {log}",
                      file=sys.stderr)
                return 2
            print(f"baseline: built in {built - begin:.0f} s, tests passed in "
                  f"{tested - built:.0f} s", flush=True)
            if not suite_timeout:
                suite_timeout = max(180, int(4 * (tested - built)))
        if not suite_timeout:
            suite_timeout = 600

        for number, fault in enumerate(todo, 1):
            begin = time.monotonic()
            log = runner.logs / f"{fault.id}.log"
            log.unlink(missing_ok=True)
            original, faulty, why = applicable(args.tree, fault)
            detail = ""
            if original is None:
                status, detail = "stale", why
            else:
                tree.put_in(args.tree / fault.file, original, faulty)
                try:
                    if not runner.compile(log):
                        status, detail = "invalid", "the build failed"
                    else:
                        outcome, failed = runner.test(log, suite_timeout)
                        if outcome == "passed":
                            status = "missed"
                        elif outcome == "timeout":
                            status, detail = "caught", f"the tests ran past {suite_timeout} s"
                        else:
                            status, detail = "caught", ",".join(failed) or "ctest failed"
                finally:
                    tree.take_out()
            seconds = time.monotonic() - begin
            with open(results_path, "a") as out:
                out.write(f"{fault.id}\t{status}\t{seconds:.0f}\t{detail}\n")
            results[fault.id] = [fault.id, status, f"{seconds:.0f}", detail]
            print(f"[{number}/{len(todo)}] {fault.id:5} {status:8} {seconds:4.0f} s  "
                  f"{fault.room}: {fault.what}" + (f"  ({detail})" if detail else ""),
                  flush=True)
    except KeyboardInterrupt:
        tree.take_out()
        print("\nstopped; the tree is as it was. Go on with --resume.", flush=True)
        return 130
    finally:
        tree.take_out()

    # The build folder is left built from the unchanged tree.
    if todo and not runner.compile(runner.logs / "final.log"):
        print(f"the final rebuild of the unchanged tree failed; see {runner.logs}/final.log",
              file=sys.stderr)
    print(f"\nran {len(todo)} faults in {(time.monotonic() - started) / 60:.1f} min", flush=True)
    all_faults = parse_faults(args.faults)
    return summary([f for f in all_faults if f.id in {g.id for g in faults}], results)


if __name__ == "__main__":
    sys.exit(main())
