"""The browser edition's page in headless Chromium, driven as a user drives it.

Every test loads the built page from the disk (file://), as a user opens the
folder; one serves it over http as well. The desktop program's own code
(web-reference, brelloc-export) gives what the page must show and write.
"""

import base64
import functools
import http.server
import json
import math
import os
import shutil
import struct
import subprocess
import tempfile
import threading
import time
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

SITE = Path(os.environ["BRELLOC_WEB_SITE"])
EXPORTER = os.environ["BRELLOC_EXPORT"]
REFERENCE = os.environ["BRELLOC_WEB_REFERENCE"]
CHROMIUM = os.environ.get("BRELLOC_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("BRELLOC_CHROMEDRIVER", "/usr/bin/chromedriver")

LABELS = ["H/L", "N/k", "Xmax/L", "Number of squares"]
START_TEXTS = ["       0.200", "       0.500", "       3.000", "    10"]
BUTTONS = {
    "SpeedButtonCalc": "Calculate",
    "SpeedButtonPrint": "Print Output",
    "SpeedButtonTex": "Make PicTeX file",
    "SpeedButtonSvg": "Save the figure as SVG",
    "SpeedButtonPng": "Save the figure as PNG",
    "SpeedButtonHelp": "Help",
    "GeneralHelp": "Help",
}


def reference(*args):
    return subprocess.run([REFERENCE, *args], check=True, capture_output=True).stdout


def native_counts(texts):
    """Segments of each family that the desktop's tracer emits."""
    args = [a for row, text in enumerate(texts) for a in ("set", str(row), text)]
    lines = reference(*args, "counts").decode().splitlines()[len(texts):]
    counts = dict(line.split(" ", 1) for line in lines)
    return int(counts["potential"]), int(counts["stream"])


def native_pictex(hl="0.2", nk="0.5", xmax="3", squares="10"):
    return subprocess.run([EXPORTER, "--hl", hl, "--nk", nk, "--xmax", xmax, "--squares", squares,
                           "--pictex", "-"], check=True, capture_output=True).stdout


class PageTest(unittest.TestCase):
    """One Chromium for the tests of a class; the page is loaded anew for each test."""

    scale = 1
    url = None

    @classmethod
    def setUpClass(cls):
        cls.downloads = Path(tempfile.mkdtemp(prefix="brelloc-web-"))
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                         "--disable-dev-shm-usage", "--window-size=700,800",
                         f"--force-device-scale-factor={cls.scale}"):
            options.add_argument(argument)
        options.add_experimental_option("prefs", {
            "download.default_directory": str(cls.downloads),
            "download.prompt_for_download": False,
        })
        cls.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        cls.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                   {"behavior": "allow", "downloadPath": str(cls.downloads)})

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        shutil.rmtree(cls.downloads, ignore_errors=True)

    def setUp(self):
        for old in self.downloads.iterdir():
            old.unlink()
        self.driver.get(self.url or (SITE / "index.html").as_uri())
        deadline = time.monotonic() + 20
        while self.driver.execute_script("return document.documentElement.dataset.ready") != "true":
            self.assertLess(time.monotonic(), deadline, "the page never became ready: " +
                            self.by_id("Status").text)
            time.sleep(0.02)

    # Helpers ----------------------------------------------------------------

    def by_id(self, name):
        return self.driver.find_element(By.ID, name)

    def cell(self, row):
        return self.by_id(f"RowValue{row}")

    def cell_texts(self):
        return [self.cell(row).get_attribute("value") for row in range(4)]

    def active_id(self):
        return self.driver.switch_to.active_element.get_attribute("id")

    def type_keys(self, *keys):
        self.driver.switch_to.active_element.send_keys(*keys)

    def click(self, name):
        """A mouse click, which takes no focus from the grid."""
        ActionChains(self.driver).move_to_element(self.by_id(name)).click().perform()

    def figure_counts(self):
        """Segments drawn in the page's figure, counted from the path data."""
        svg = self.driver.find_elements(By.CSS_SELECTOR, "#Plot svg")
        if not svg:
            return None
        counts = []
        for part in ("potential", "stream"):
            d = svg[0].find_element(By.CSS_SELECTOR, f'path[data-part="{part}"]').get_attribute("d")
            counts.append(d.count("M"))
        return tuple(counts)

    def figure_shown(self):
        return (self.driver.execute_script("return !document.getElementById('Plot').hidden")
                and self.figure_counts() is not None)

    def downloaded(self, name, timeout=20):
        path = self.downloads / name
        deadline = time.monotonic() + timeout
        while not path.exists() or any(p.suffix == ".crdownload" for p in self.downloads.iterdir()):
            self.assertLess(time.monotonic(), deadline, f"{name} was not downloaded")
            time.sleep(0.05)
        return path.read_bytes()


class StartupTest(PageTest):
    def test_window_title_labels_and_start_up_values(self):
        self.assertEqual(self.driver.title, "Groundwater Divide")
        self.assertEqual(self.driver.find_element(By.TAG_NAME, "h1").text, "Groundwater Divide")
        self.assertEqual(self.by_id("GeneralLabel").text, "General Data")
        self.assertEqual([self.by_id(f"RowLabel{row}").text for row in range(4)], LABELS)
        self.assertEqual(self.cell_texts(), START_TEXTS)
        self.assertEqual(self.active_id(), "RowValue0")
        self.assertFalse(self.figure_shown())

    def test_window_colours_come_from_the_style_sheet(self):
        colour = lambda element, prop: element.value_of_css_property(prop)
        self.assertEqual(colour(self.by_id("PanelMain"), "background-color"), "rgba(0, 255, 0, 1)")
        self.assertEqual(colour(self.by_id("GeneralPanel"), "background-color"), "rgba(0, 255, 0, 1)")
        self.assertEqual(colour(self.by_id("RowLabel0"), "background-color"), "rgba(255, 255, 0, 1)")
        self.click("SpeedButtonCalc")
        rect = self.driver.find_element(By.CSS_SELECTOR, "#Plot svg rect")
        self.assertEqual(rect.get_attribute("fill"), "#00ffff")

    def test_every_control_has_a_name(self):
        for name, label in BUTTONS.items():
            button = self.by_id(name)
            self.assertEqual(button.get_attribute("aria-label") if name != "GeneralHelp"
                             else "Help", label)
            self.assertEqual(button.get_attribute("title"), label)
            self.assertTrue(button.is_enabled())
        for row in range(4):
            labelled_by = self.cell(row).get_attribute("aria-labelledby")
            self.assertEqual(self.by_id(labelled_by).text, LABELS[row])


class GridTest(PageTest):
    def test_enter_commits_and_moves_to_the_next_row_selected(self):
        self.type_keys("0.4", Keys.ENTER)
        self.assertEqual(self.active_id(), "RowValue1")
        selection = self.driver.execute_script(
            "const e = document.activeElement; return [e.selectionStart, e.selectionEnd, e.value.length]")
        self.assertEqual(selection[:2], [0, selection[2]], "the whole N/k value is selected")
        self.assertEqual(self.cell_texts(), ["       0.400"] + START_TEXTS[1:])
        # Typing replaces the selected value.
        self.type_keys("2", Keys.ENTER)
        self.assertEqual(self.cell_texts()[1], "       2.000")
        self.assertEqual(self.active_id(), "RowValue2")

    def test_enter_in_the_last_row_commits_it_and_wraps_to_the_first(self):
        self.cell(3).click()
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("25", Keys.ENTER)
        self.assertEqual(self.active_id(), "RowValue0")
        self.assertEqual(self.cell_texts()[3], "    20")

    def test_texts_are_read_as_the_desktop_reads_them(self):
        cases = [(0, "0,5"), (0, "  0.35e1xyz"), (1, "-0.5"), (2, "0.5"), (3, "7.9"), (3, "abc"),
                 (0, "1e300"), (2, "1e999")]
        for row, text in cases:
            with self.subTest(row=row, text=text):
                expected = reference("set", str(row), text, "none").decode().rstrip("\n")
                self.cell(row).click()
                self.type_keys(Keys.CONTROL, "a")
                self.type_keys(text, Keys.ENTER)
                self.assertEqual(self.cell_texts()[row], expected)

    def test_leaving_a_row_by_tab_arrow_or_click_commits_it(self):
        self.type_keys("0.25", Keys.TAB)
        self.assertEqual(self.cell_texts()[0], "       0.250")
        self.assertEqual(self.active_id(), "RowValue1")
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("0.75", Keys.ARROW_DOWN)
        self.assertEqual(self.cell_texts()[1], "       0.750")
        self.assertEqual(self.active_id(), "RowValue2")
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("4")
        self.cell(0).click()
        self.assertEqual(self.cell_texts()[2], "       4.000")
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("9", Keys.ARROW_UP)  # nowhere to go: nothing is committed
        self.assertEqual(self.cell_texts()[0], "9")
        self.assertEqual(self.active_id(), "RowValue0")

    def test_row_left_after_a_click_on_the_background_is_committed_by_the_next_cell(self):
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("0.6")
        self.driver.find_element(By.TAG_NAME, "h1").click()
        self.assertEqual(self.cell_texts()[0], "0.6")
        self.cell(2).click()
        self.assertEqual(self.cell_texts()[0], "       0.600")
        self.assertEqual(self.active_id(), "RowValue2")

    def test_clicking_a_label_commits_nothing(self):
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("0.9")
        self.by_id("RowLabel2").click()
        self.assertEqual(self.cell_texts()[0], "0.9")

    def test_a_value_being_typed_is_not_used_by_the_outputs(self):
        self.type_keys("0.4", Keys.ENTER)
        self.cell(0).click()
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("0.9")
        self.click("SpeedButtonTex")
        self.assertEqual(self.downloaded("Brelloc.tex"), native_pictex(hl="0.4"))
        self.assertEqual(self.cell_texts()[0], "0.9")
        self.assertEqual(self.active_id(), "RowValue0")


class FigureTest(PageTest):
    def test_calculate_draws_the_native_net_and_a_commit_clears_it(self):
        self.type_keys("0.4", Keys.ENTER)
        self.click("SpeedButtonCalc")
        self.assertTrue(self.figure_shown())
        self.assertEqual(self.figure_counts(), native_counts(["0.4", "0.5", "3", "10"]))
        labels = [t.text for t in self.driver.find_elements(By.CSS_SELECTOR, "#Plot svg text")]
        self.assertEqual(labels, ["x", "y"])
        # The typed value is still only typed: the figure stays.
        self.type_keys("1.5")
        self.assertTrue(self.figure_shown())
        self.type_keys(Keys.ENTER)
        self.assertFalse(self.figure_shown())
        self.click("SpeedButtonCalc")
        self.assertEqual(self.figure_counts(), native_counts(["0.4", "1.5", "3", "10"]))
        # A commit of an unchanged row clears it as well.
        self.type_keys(Keys.TAB)
        self.assertFalse(self.figure_shown())

    def test_largest_net_and_empty_window(self):
        for texts in (["0.2", "0.5", "40", "20"], ["0", "0", "1", "2"]):
            with self.subTest(texts=texts):
                self.cell(0).click()
                for text in texts:
                    self.type_keys(Keys.CONTROL, "a")
                    self.type_keys(text, Keys.ENTER)
                self.click("SpeedButtonCalc")
                self.assertEqual(self.figure_counts(), native_counts(texts))

    def test_figure_is_a_square_below_the_grid(self):
        self.click("SpeedButtonCalc")
        svg = self.driver.find_element(By.CSS_SELECTOR, "#Plot svg")
        grid = self.by_id("MainGrid")
        self.assertEqual(svg.size["width"], svg.size["height"])
        self.assertGreater(svg.size["width"], 300)
        self.assertGreaterEqual(svg.location["y"], grid.location["y"] + grid.size["height"])


class DownloadsTest(PageTest):
    def test_pictex_file_is_the_desktop_programs(self):
        self.click("SpeedButtonTex")
        self.assertEqual(self.downloaded("Brelloc.tex"), native_pictex())
        self.cell(0).click()
        for text in ("0.37", "2", "1.5", "12"):
            self.type_keys(Keys.CONTROL, "a")
            self.type_keys(text, Keys.ENTER)
        for old in self.downloads.iterdir():
            old.unlink()
        self.click("SpeedButtonTex")
        self.assertEqual(self.downloaded("Brelloc.tex"), native_pictex("0.37", "2", "1.5", "12"))

    def test_svg_file_holds_the_net(self):
        self.click("SpeedButtonSvg")
        root = ElementTree.fromstring(self.downloaded("Brelloc.svg"))
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")
        self.assertEqual((root.get("width"), root.get("height")), ("800", "800"))
        paths = {p.get("data-part"): p.get("d") for p in root.iter("{http://www.w3.org/2000/svg}path")}
        self.assertEqual((paths["potential"].count("M"), paths["stream"].count("M")),
                         native_counts(["0.2", "0.5", "3", "10"]))
        self.assertEqual(root.find("{http://www.w3.org/2000/svg}rect").get("fill"), "#00ffff")

    def test_png_file_is_the_figure(self):
        self.click("SpeedButtonPng")
        png = self.downloaded("Brelloc.png")
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        width, height = struct.unpack(">II", png[16:24])
        self.assertEqual((width, height), (800, 800))
        # Read back in the browser: aqua inside the square, black lines on it.
        colours = self.driver.execute_async_script("""
            const [bytes, done] = arguments;
            const image = new Image();
            image.onload = () => {
              const canvas = document.createElement('canvas');
              canvas.width = canvas.height = 800;
              const context = canvas.getContext('2d');
              context.drawImage(image, 0, 0);
              const data = context.getImageData(0, 0, 800, 800).data;
              let aqua = 0, black = 0;
              for (let i = 0; i < data.length; i += 4) {
                if (data[i] < 40 && data[i + 1] > 220 && data[i + 2] > 220) ++aqua;
                if (data[i] < 90 && data[i + 1] < 90 && data[i + 2] < 90) ++black;
              }
              done([aqua, black]);
            };
            image.src = 'data:image/png;base64,' + bytes;
        """, base64.b64encode(png).decode())
        self.assertGreater(colours[0], 800 * 800 * 0.8)
        self.assertGreater(colours[1], 5000)


class ReportTest(PageTest):
    def test_print_output_is_one_page_with_title_data_and_figure(self):
        self.type_keys("0.3", Keys.ENTER, "0.4", Keys.ENTER)
        # The print dialog itself is the browser's; record that it was asked for.
        self.driver.execute_script("window.print = () => { window.printed = (window.printed || 0) + 1; }")
        self.click("SpeedButtonPrint")
        self.assertEqual(self.driver.execute_script("return window.printed"), 1)
        pdf = self.driver.execute_cdp_cmd("Page.printToPDF", {"paperWidth": 8.27, "paperHeight": 11.69})
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "report.pdf"
            path.write_bytes(base64.b64decode(pdf["data"]))
            if os.environ.get("BRELLOC_KEEP_REPORT"):
                shutil.copy(path, os.environ["BRELLOC_KEEP_REPORT"])
            info = subprocess.run(["pdfinfo", str(path)], check=True, capture_output=True, text=True).stdout
            text = subprocess.run(["pdftotext", "-layout", str(path), "-"], check=True,
                                  capture_output=True, text=True).stdout
        self.assertRegex(info, r"(?m)^Pages:\s+1$")
        for line in (r"Brelloc - Groundwater Divide\s+Page 1", r"General Data", r"H/L =\s+0\.300",
                     r"N/k =\s+0\.400", r"Results", r"Divide: x/L = 0\.\d{3}, y/L = 0\.\d{3}",
                     r"Right drain takes Q/kL = 0\.\d{3}", r"Potential lines and stream lines"):
            self.assertRegex(text, line)
        self.assertNotIn("Number of squares", text, "the window itself is not printed")
        svg = self.driver.find_element(By.CSS_SELECTOR, "#Report svg")
        counts = tuple(svg.find_element(By.CSS_SELECTOR, f'path[data-part="{p}"]')
                       .get_attribute("d").count("M") for p in ("potential", "stream"))
        self.assertEqual(counts, native_counts(["0.3", "0.4", "3", "10"]))


def native_results(texts, probes=()):
    hl, nk, xmax, squares = texts
    args = [EXPORTER, "--hl", hl, "--nk", nk, "--xmax", xmax, "--squares", squares, "--results", "-"]
    for x, y in probes:
        args += ["--probe", f"{x!r},{y!r}"]
    return json.loads(subprocess.run(args, check=True, capture_output=True).stdout)


class ResultsTest(PageTest):
    def results_block(self):
        rows = self.driver.find_elements(By.CSS_SELECTOR, "#ResultsGrid tr")
        return [(r.find_element(By.TAG_NAME, "th").text, r.find_element(By.TAG_NAME, "td").text)
                for r in rows]

    def expected_block(self, texts):
        results = native_results(texts)
        three = lambda value: "none" if value is None else "%.3f" % value
        point = lambda key, axis: three(results[key][axis] if results[key] else None)
        return [("Divide x/L", point("divide", "x")), ("Divide y/L", point("divide", "y")),
                ("Stagnation point x/L", point("stagnation_point", "x")),
                ("Water-table top x/L", point("water_table_top", "x")),
                ("Water-table top y/L", point("water_table_top", "y")),
                ("Infiltration to the left drain", three(results["infiltration_to_left_drain"])),
                ("Infiltration to the right drain", three(results["infiltration_to_right_drain"]))]

    def test_results_follow_every_commit(self):
        self.assertEqual(self.results_block(), self.expected_block(["0.2", "0.5", "3", "10"]))
        self.type_keys("0.3", Keys.ENTER, "0.4", Keys.ENTER)
        self.assertEqual(self.results_block(), self.expected_block(["0.3", "0.4", "3", "10"]))
        self.cell(0).click()
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("2", Keys.ENTER)  # no stagnation point, no divide
        block = self.results_block()
        self.assertEqual(block, self.expected_block(["2", "0.4", "3", "10"]))
        self.assertEqual([value for _, value in block[:3]], ["none"] * 3)

    def test_probe_under_the_pointer(self):
        self.type_keys("0.3", Keys.ENTER, "0.4", Keys.ENTER)
        self.click("SpeedButtonCalc")
        svg = self.driver.find_element(By.CSS_SELECTOR, "#Plot svg")
        side = svg.size["width"]
        probe = self.by_id("Probe")
        # Below the water table, a little right of the origin: inside.
        ActionChains(self.driver).move_to_element_with_offset(svg, side // 20, side // 12).perform()
        deadline = time.monotonic() + 5
        while not probe.get_attribute("data-x"):
            self.assertLess(time.monotonic(), deadline, "no probe reading")
            time.sleep(0.02)
        x, y = float(probe.get_attribute("data-x")), float(probe.get_attribute("data-y"))
        self.assertGreater(x, 0.0)
        self.assertLess(y, 0.0)
        values = native_results(["0.3", "0.4", "3", "10"], [(x, y)])["probes"][0]
        self.assertIsNotNone(values)
        q = math.hypot(values["specific_discharge"]["x"], values["specific_discharge"]["y"])
        self.assertEqual(probe.text, "x/L %.3f  y/L %.3f  h/L %.3f  (h-y)/L %.3f  psi/kL %.3f  q/k %.3f" % (
            x, y, values["head"], values["pressure_head"], values["stream_function"], q))
        # High above the net: outside.
        ActionChains(self.driver).move_to_element_with_offset(svg, 0, -side // 3).perform()
        deadline = time.monotonic() + 5
        while probe.text != "outside the flow region":
            self.assertLess(time.monotonic(), deadline, probe.text)
            time.sleep(0.02)
        self.assertIsNone(native_results(["0.3", "0.4", "3", "10"], [(
            float(probe.get_attribute("data-x")), float(probe.get_attribute("data-y")))])["probes"][0])
        # A commit takes the figure and the reading away.
        self.type_keys(Keys.ENTER)
        self.assertEqual(probe.text, "")


class HelpTest(PageTest):
    def dialog_text(self):
        return self.driver.execute_script("return document.getElementById('MessageText').textContent")

    def test_help_texts_are_the_desktops_and_change_nothing(self):
        self.type_keys(Keys.CONTROL, "a")
        self.type_keys("0.7")
        for button, action in (("SpeedButtonHelp", "program"), ("GeneralHelp", "general")):
            with self.subTest(button=button):
                self.click(button)
                self.assertTrue(self.by_id("MessageBox").get_attribute("open") is not None)
                self.assertEqual(self.dialog_text(), reference(action).decode())
                self.assertEqual(self.active_id(), "MessageOk")
                self.type_keys(Keys.ENTER)
                self.assertIsNone(self.by_id("MessageBox").get_attribute("open"))
                self.assertEqual(self.active_id(), "RowValue0")
                self.assertEqual(self.cell_texts(), ["0.7"] + START_TEXTS[1:])
        self.type_keys(Keys.ENTER)
        self.assertEqual(self.cell_texts()[0], "       0.700")


class KeyboardTest(PageTest):
    def test_every_control_is_reached_with_tab_and_used_with_enter(self):
        self.type_keys("0.4")
        seen = []
        for _ in range(12):
            self.type_keys(Keys.TAB)
            seen.append(self.active_id())
        for name in list(BUTTONS) + [f"RowValue{row}" for row in range(4)]:
            self.assertIn(name, seen)
        # Tab out of the row committed it.
        self.assertEqual(self.cell_texts()[0], "       0.400")
        self.by_id("SpeedButtonCalc").send_keys(Keys.ENTER)
        self.assertEqual(self.figure_counts(), native_counts(["0.4", "0.5", "3", "10"]))
        self.by_id("SpeedButtonTex").send_keys(Keys.ENTER)
        self.assertEqual(self.downloaded("Brelloc.tex"), native_pictex(hl="0.4"))
        self.by_id("GeneralHelp").send_keys(Keys.ENTER)
        self.assertEqual(self.active_id(), "MessageOk")
        self.type_keys(Keys.ENTER)
        self.assertEqual(self.active_id(), "GeneralHelp")


class ServedTest(PageTest):
    """The same page from a static http server on the loopback address."""

    @classmethod
    def setUpClass(cls):
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=str(SITE))
        handler.log_message = lambda *args: None
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = f"http://127.0.0.1:{cls.server.server_address[1]}/index.html"
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.server.shutdown()
        cls.server.server_close()

    def test_served_page_calculates_and_writes_the_same_file(self):
        self.type_keys("0.4", Keys.ENTER)
        self.click("SpeedButtonCalc")
        self.assertEqual(self.figure_counts(), native_counts(["0.4", "0.5", "3", "10"]))
        self.click("SpeedButtonTex")
        self.assertEqual(self.downloaded("Brelloc.tex"), native_pictex(hl="0.4"))


class HighResolutionTest(PageTest):
    """Device scale factor 2: the figure is vector graphics, sharp at any scale."""

    scale = 2

    def test_figure_fills_its_square_at_scale_two(self):
        self.click("SpeedButtonCalc")
        svg = self.driver.find_element(By.CSS_SELECTOR, "#Plot svg")
        self.assertEqual(svg.size["width"], svg.size["height"])
        self.assertEqual(self.figure_counts(), native_counts(["0.2", "0.5", "3", "10"]))


if __name__ == "__main__":
    unittest.main()
