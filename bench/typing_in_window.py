#!/usr/bin/python3
"""Times keys typed into the real window's search box with Search While Typing ticked: from
just before the key is sent through the X server (xdotool) until the status bar, read over
AT-SPI, counts the rows the new text finds. Run by typing_in_window.sh, which starts the X
server, the window manager, the accessibility bus and the program.

    typing_in_window.py <data file> <text typed>

Prints one "key SECONDS ROWS TEXT" line a key whose rows differ from the key's before (a key
that leaves the count as it was cannot be told done from the window), and the cost of starting
xdotool alone and of one AT-SPI read, which the figures include.
"""
import re
import statistics
import subprocess
import sys
import time

import pyatspi

data_file, typed = sys.argv[1], sys.argv[2]


def records_of(path):
    """The records of a data file as the program joins them: lines that begin with "-----"
    continue the record above."""
    records = []
    with open(path, encoding="utf-8", newline="") as f:
        for line in f.read().split("\r\n"):
            if line.startswith("-----") and records:
                records[-1] += line
            else:
                records.append(line)
    if records and records[-1] == "":
        records.pop()
    return records


def app():
    for _ in range(100):
        for a in pyatspi.Registry.getDesktop(0):
            if a is not None and a.name == "Trovix":
                return a
        time.sleep(0.2)
    raise SystemExit("the program did not show up over AT-SPI")


def find(root, test, what):
    """The first accessible below root that passes test, never looking into the lists, whose
    rows are a million accessibles."""
    pending = [root]
    while pending:
        node = pending.pop(0)
        if node is not root and test(node):
            return node
        if node.getRoleName() != "list":
            pending.extend(node.getChildAtIndex(i) for i in range(node.childCount))
    raise SystemExit(f"no {what} in the window")


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True, stdout=subprocess.DEVNULL)


window = app()
panel_pattern = re.compile(r"phone_numbers\.txt\s+\((\d+)\)")
panel = find(window, lambda a: a.name is not None and panel_pattern.fullmatch(a.name),
             "status bar panel of list 1")
search_text = find(find(window, lambda a: a.getRoleName() == "combo box" and
                        a.name == "Search text", "search box"),
                   lambda a: a.getRoleName() == "text", "search text")


def rows_shown():
    return int(panel_pattern.fullmatch(panel.name).group(1))


# Rows before any search: every non-blank record, and the file name row when it is shown.
texts = [r.lower() for r in records_of(data_file)]
extra = rows_shown() - sum(1 for r in texts if r.strip(" "))

# Search While Typing, through the Options menu.
ext = search_text.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
xdo("mousemove", str(ext.x + 5), str(ext.y + ext.height // 2), "click", "1")
time.sleep(0.5)
xdo("key", "--clearmodifiers", "alt+o")
time.sleep(0.5)
xdo("key", "--clearmodifiers", "s")
time.sleep(0.5)

keys = {" ": "space"}
candidates = texts
last_rows = rows_shown()
for k in range(1, len(typed) + 1):
    terms = [t for t in typed[:k].lower().strip(" ").split(" ") if t]
    candidates = [r for r in candidates if all(t in r for t in terms)] if terms else candidates
    rows = (len(candidates) or 1) + extra if terms else last_rows
    key = keys.get(typed[k - 1], typed[k - 1])
    # The clock starts before xdotool does, and the window is read while it still runs: the
    # figure holds xdotool's start (printed below) but not its wait after the key.
    start = time.perf_counter()
    sender = subprocess.Popen(["xdotool", "key", "--delay", "0", key])
    if rows == last_rows:
        sender.wait()
        time.sleep(1)
        continue
    while rows_shown() != rows:
        if time.perf_counter() - start > 20:
            raise SystemExit(f"after {typed[:k]!r} the window never showed {rows} rows")
    print(f"key {time.perf_counter() - start:.4f} {rows} {typed[:k]!r}", flush=True)
    sender.wait()
    last_rows = rows
    time.sleep(1)

starts, reads = [], []
for _ in range(20):
    t = time.perf_counter()
    xdo("getmouselocation")
    starts.append(time.perf_counter() - t)
    t = time.perf_counter()
    rows_shown()
    reads.append(time.perf_counter() - t)
print(f"xdotool_start {statistics.median(starts):.4f}")
print(f"atspi_read {statistics.median(reads):.4f}")
