#!/usr/bin/env python3
"""Reads the lists the gui tests exported back with other programs' readers
and compares what they make of them with the cells the tests expected.
    check_export.py csv FOLDER    every NAME.csv, through Python's csv module
    check_export.py html FOLDER   every NAME.htm, in headless Chromium
    check_export.py jsonl FOLDER  every NAME.jsonl, through Python's json module
Each NAME.expected.json holds {"header": [...], "rows": [[...], ...]}.
Exit code 77 when no Chromium is installed (html) or nothing was exported."""
import csv
import datetime
import glob
import html.parser
import json
import os
import shutil
import subprocess
import sys
import tempfile


TIMESKETCH_FIELDS = ["message", "datetime", "timestamp_desc", "timestamp", "category", "item", "details"]


def check_timesketch_record(record, want, failures):
    # The time twice: ISO 8601 with its offset, and microseconds since 1970;
    # both must be the instant the list holds.
    moment = datetime.datetime.fromisoformat(record["datetime"])
    micros = int(record["timestamp"])
    epoch = datetime.datetime(1970, 1, 1, tzinfo=datetime.timezone.utc)
    if (moment - epoch) // datetime.timedelta(microseconds=1) != micros or micros != want[1]:
        failures.append("time %r / %r is not %r" % (record["datetime"], record["timestamp"], want[1]))
    got = [record["message"], record["timestamp_desc"], record["category"], record["item"], record["details"]]
    if got != [want[0]] + want[2:]:
        failures.append("fields differ:\n  got  %r\n  want %r" % (got, [want[0]] + want[2:]))


def check_timesketch(records, expected, failures):
    if len(records) != len(expected["rows"]):
        failures.append("%d records for %d rows" % (len(records), len(expected["rows"])))
    for record, want in zip(records, expected["rows"]):
        check_timesketch_record(record, want, failures)


def general_date_text(iso):
    # The list's text of a UTC time under US settings: M/D/YYYY h:mm:ss AM,
    # the date alone at midnight.
    moment = datetime.datetime.fromisoformat(iso[:-1] + "+00:00")
    date = "%d/%d/%d" % (moment.month, moment.day, moment.year)
    if (moment.hour, moment.minute, moment.second) == (0, 0, 0):
        return date
    hour = moment.hour % 12 or 12
    return "%s %d:%02d:%02d %s" % (date, hour, moment.minute, moment.second, "AM" if moment.hour < 12 else "PM")


def shown_text(value, is_time):
    if value is None or value == "":
        return ""
    if is_time and isinstance(value, str):
        return general_date_text(value)
    if isinstance(value, bool):
        return str(value).lower()
    if isinstance(value, int):
        return str(value)
    return value


def check_csv(path, expected):
    failures = []
    if expected.get("cli"):
        with open(path, encoding="utf-8-sig", newline="") as f:
            records = list(csv.reader(f, strict=True))
        if records != [expected["header"]] + expected["rows"]:
            failures.append("records differ:\n  got  %r\n  want %r" % (records[:3], ([expected["header"]] + expected["rows"])[:3]))
        return failures
    if expected.get("timesketch"):
        with open(path, encoding="utf-8", newline="") as f:
            records = list(csv.DictReader(f, strict=True))
        with open(path, encoding="utf-8", newline="") as f:
            if next(csv.reader(f)) != TIMESKETCH_FIELDS:
                failures.append("the header is not the timeline server's")
        check_timesketch(records, expected, failures)
        return failures
    with open(path, "rb") as f:
        raw = f.read()
    if not raw.startswith(b"\xef\xbb\xbf"):
        failures.append("no UTF-8 byte-order mark")
    if not raw.endswith(b"\r\n"):
        failures.append("the last line does not end in CR LF")
    with open(path, encoding="utf-8-sig", newline="") as f:
        records = list(csv.reader(f, strict=True))
    want = [expected["header"]] + [row + [""] * (len(expected["header"]) - len(row)) for row in expected["rows"]]
    if records != want:
        failures.append("records differ:\n  got  %r\n  want %r" % (records, want))
    return failures


def check_jsonl(path, expected):
    failures = []
    with open(path, "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xef\xbb\xbf"):
        failures.append("a byte-order mark")
    lines = raw.decode("utf-8").split("\n")
    if lines[-1] != "":
        failures.append("the last line does not end in LF")
    if expected.get("cli"):
        header, times = expected["header"], set(expected["times"])
        records = []
        for line in lines[:-1]:
            record = json.loads(line)
            if list(record) != header:
                failures.append("keys %r are not the header" % list(record))
            records.append([shown_text(record.get(name), i in times) for i, name in enumerate(header)])
        if records != expected["rows"]:
            failures.append("records differ:\n  got  %r\n  want %r" % (records[:3], expected["rows"][:3]))
        return failures
    if expected.get("timesketch"):
        records = [json.loads(line) for line in lines[:-1]]
        for record in records:
            if list(record) != TIMESKETCH_FIELDS or not isinstance(record["timestamp"], int):
                failures.append("keys or timestamp of %r" % record)
        check_timesketch(records, expected, failures)
        return failures
    header = expected["header"]
    records = []
    for line in lines[:-1]:
        record = json.loads(line)
        if list(record) != header:
            failures.append("keys %r are not the header" % list(record))
        records.append([record.get(name) for name in header])
    if expected.get("typed"):
        want = expected["rows"]
        for row in records:
            for value in row:
                # Times must be ISO 8601 in UTC that a standard parser reads.
                if isinstance(value, str) and value.endswith("Z") and value[:4].isdigit():
                    datetime.datetime.fromisoformat(value[:-1] + "+00:00")
    else:
        # Texts as the list shows them: up to a NUL, every cell a string.
        want = [[c.split("\0")[0] for c in row + [""] * (len(header) - len(row))] for row in expected["rows"]]
    if records != want:
        failures.append("records differ:\n  got  %r\n  want %r" % (records, want))
    return failures


class Table(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.rows, self.cell, self.scripts, self.handlers = [], None, 0, 0

    def handle_starttag(self, tag, attrs):
        if tag == "script":
            self.scripts += 1
        self.handlers += sum(1 for name, _ in attrs if name.startswith("on"))
        if tag == "tr":
            self.rows.append([])
        if tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def as_browser_reads(text):
    # An HTML parser turns CR LF and a lone CR into LF before anything else.
    return text.replace("\r\n", "\n").replace("\r", "\n")


def check_html(path, expected, browser):
    with tempfile.TemporaryDirectory() as profile:
        dom = subprocess.run(
            [browser, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--dump-dom", "file://" + path],
            capture_output=True, text=True, timeout=120).stdout
    page = Table()
    page.feed(dom)
    failures = []
    if page.scripts or page.handlers:
        failures.append("%d script elements, %d event handlers" % (page.scripts, page.handlers))
    header = expected["header"]
    want = [header] + [[as_browser_reads(c) for c in row + [""] * (len(header) - len(row))]
                       for row in expected["rows"]]
    if page.rows != want:
        failures.append("table differs:\n  got  %r\n  want %r" % (page.rows, want))
    return failures


def main():
    mode, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if mode == "html" and not browser:
        print("no chromium: check skipped")
        return 77
    checked, failures = 0, []
    for expectation in sorted(glob.glob(os.path.join(folder, "**", "*.expected.json"), recursive=True)):
        name = expectation[:-len(".expected.json")]
        with open(expectation, encoding="utf-8") as f:
            expected = json.load(f)
        path = name + {"csv": ".csv", "html": ".htm", "jsonl": ".jsonl"}[mode]
        if not os.path.exists(path):
            continue
        checked += 1
        if mode == "csv":
            found = check_csv(path, expected)
        elif mode == "jsonl":
            found = check_jsonl(path, expected)
        else:
            found = check_html(path, expected, browser)
        failures += ["%s: %s" % (os.path.basename(path), f) for f in found]
    for f in failures:
        print("FAIL:", f)
    print("%s exports checked: %d" % (mode, checked))
    if not checked:
        return 77
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
