#!/usr/bin/env python3
"""Opens a report in headless Chromium and checks what the browser made of
it: every index link reaches its section, and every section table holds
exactly the rows and cells its entries give (no data text became markup).
    check_report_in_browser.py FOLDER   (report.htm and expected.txt)
Exit code 77 when no Chromium is installed."""
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.names, self.links = set(), []
        self.scripts = 0
        self.sections = {}  # anchor -> list of cell counts of data rows
        self.table_depth = 0
        self.current = None
        self.row_cells = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "script":
            self.scripts += 1
        if tag == "a" and "name" in a:
            self.names.add(a["name"])
            if self.table_depth and self.current is None and a["name"] != "top":
                self.current = a["name"]
                self.sections[self.current] = []
        if tag == "a" and a.get("href", "").startswith("#"):
            self.links.append(a["href"][1:])
        if tag == "table":
            self.table_depth += 1
            self.current = None
        if tag == "tr":
            self.finish_row()
            self.row_cells = 0
        if tag == "td" and self.row_cells is not None and a.get("class") in ("style5", "style7"):
            self.row_cells += 1

    def finish_row(self):
        if self.current is not None and self.row_cells:
            self.sections[self.current].append(self.row_cells)
        self.row_cells = None

    def handle_endtag(self, tag):
        if tag == "tr":
            self.finish_row()
        if tag == "table":
            self.finish_row()
            self.table_depth -= 1
            self.current = None


def main():
    folder = os.path.abspath(sys.argv[1])
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if not browser:
        print("no chromium: check skipped")
        return 77
    with tempfile.TemporaryDirectory() as profile:
        dom = subprocess.run(
            [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--dump-dom", "file://" + os.path.join(folder, "report.htm")],
            capture_output=True, text=True, timeout=120).stdout
    page = Page()
    page.feed(dom)
    failures = []
    if "Tracemere Report" not in dom:
        failures.append("the page did not load")
    if page.scripts:
        failures.append("%d script elements in the page" % page.scripts)
    for link in page.links:
        if link not in page.names:
            failures.append("link #%s reaches no section" % link)
    with open(os.path.join(folder, "expected.txt"), encoding="utf-8") as f:
        for line in f:
            anchor, rows, cells = line.rstrip("\n").split("\t")
            got = page.sections.get(anchor)
            if got is None:
                failures.append("section %s missing" % anchor)
                continue
            want = [int(cells)] * int(rows)
            if got != want:
                failures.append("section %s: rows of %s cells, expected %s" % (anchor, got, want))
    for f in failures:
        print("FAIL:", f)
    print("sections checked: %d, links: %d" % (len(page.sections), len(page.links)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
