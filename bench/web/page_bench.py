#!/usr/bin/env python3
"""Timings of the browser edition in headless Chromium, from the browser's own
performance timeline. Not a test: it prints figures for the README.

    /usr/bin/python3 bench/web/page_bench.py [SITE] [--runs N]

SITE is a built page folder (default build/web, made by scripts/web.sh build).
Reports the median and the range over the runs of
  - interactive: from the start of navigation until the grid takes input
    (the model compiled and instantiated, the grid filled, the buttons on);
  - Calculate of the largest net (20 squares, Xmax/L 40): the click handler
    (trace, SVG built and inserted), and until the next frame has begun,
    so the figure has been laid out and painted;
    and the first click on a fresh page separately, right after loading
    (the browser has not compiled the code for speed yet);
  - the size of the folder.
"""

import argparse
import statistics
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

ROOT = Path(__file__).resolve().parents[2]


def chromium():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=800,900"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def wait_ready(driver):
    deadline = time.monotonic() + 30
    while driver.execute_script("return document.documentElement.dataset.ready") != "true":
        if time.monotonic() > deadline:
            raise RuntimeError("the page never became ready")
        time.sleep(0.005)


# The largest net, committed through the grid's own commit.
COMMIT_LARGEST = """
const grid = Brelloc.page.grid;
grid.inputs[2].value = '40'; grid.open = true; grid.currentRow = 2; grid.leave(2);
grid.inputs[3].value = '20'; grid.open = true; grid.currentRow = 3; grid.leave(3);
"""

CALCULATE = """
const done = arguments[arguments.length - 1];
const start = performance.now();
Brelloc.page.calculate();
const handler = performance.now() - start;
requestAnimationFrame(() => requestAnimationFrame(() => done([handler, performance.now() - start])));
"""


def summary(values):
    return f"{statistics.median(values):7.1f} ms  ({min(values):.1f} to {max(values):.1f})"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site", nargs="?", default=str(ROOT / "build" / "web"))
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    site = Path(args.site).resolve()
    url = (site / "index.html").as_uri()

    driver = chromium()
    try:
        interactive = []
        for _ in range(args.runs):
            driver.get(url)
            wait_ready(driver)
            interactive.append(driver.execute_script(
                "return performance.getEntriesByName('brelloc-interactive')[0].startTime"))

        # The first Calculate of a fresh page, right after loading.
        first = []
        for _ in range(max(3, args.runs // 2)):
            driver.get(url)
            wait_ready(driver)
            driver.execute_script(COMMIT_LARGEST)
            first.append(driver.execute_async_script(CALCULATE))

        driver.execute_script(COMMIT_LARGEST)
        handler, frame = [], []
        for _ in range(args.runs):
            h, f = driver.execute_async_script(CALCULATE)
            handler.append(h)
            frame.append(f)
        segments = driver.execute_script(
            "return [...document.querySelectorAll('#Plot path[data-segments]')]"
            ".reduce((n, p) => n + Number(p.dataset.segments), 0)")
    finally:
        driver.quit()

    size = sum(p.stat().st_size for p in site.rglob("*") if p.is_file())
    model = (site / "brelloc-model.js").stat().st_size
    print(f"Interactive after loading:        {summary(interactive)}")
    print(f"First Calculate, largest net, handler: {summary([h for h, _ in first])}")
    print(f"First Calculate, largest net, painted: {summary([f for _, f in first])}")
    print(f"Calculate, largest net, handler:  {summary(handler)}  [{segments} segments]")
    print(f"Calculate, largest net, painted:  {summary(frame)}")
    print(f"Folder: {size / 1024:.0f} KB, of which the model {model / 1024:.0f} KB")


if __name__ == "__main__":
    main()
