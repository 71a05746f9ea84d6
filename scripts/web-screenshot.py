#!/usr/bin/env python3
"""Screenshot of the browser edition for the README: the built page (default
build/web) in headless Chromium after typing 0.3 and 0.4 into the grid and
clicking Calculate.

    /usr/bin/python3 scripts/web-screenshot.py OUT.png [--scale 2] [--site DIR]
"""

import argparse
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = Path(__file__).resolve().parents[1]

parser = argparse.ArgumentParser()
parser.add_argument("out")
parser.add_argument("--scale", default="1")
parser.add_argument("--site", default=str(ROOT / "build" / "web"))
args = parser.parse_args()

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                 f"--force-device-scale-factor={args.scale}"):
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    width, height = 720, 660
    driver.set_window_rect(width=width, height=height)
    # The viewport, not the window, is what the picture shows.
    inner = driver.execute_script("return [innerWidth, innerHeight]")
    driver.set_window_rect(width=2 * width - inner[0], height=2 * height - inner[1])
    driver.get((Path(args.site).resolve() / "index.html").as_uri())
    while driver.execute_script("return document.documentElement.dataset.ready") != "true":
        time.sleep(0.02)
    driver.switch_to.active_element.send_keys("0.3", Keys.ENTER, "0.4", Keys.ENTER)
    driver.find_element(By.ID, "SpeedButtonCalc").click()
    # The pointer over the net, so the probe line shows.
    ActionChains(driver).move_to_element_with_offset(
        driver.find_element(By.CSS_SELECTOR, "#Plot svg"), 40, 30).perform()
    time.sleep(0.2)
    driver.save_screenshot(args.out)
finally:
    driver.quit()
