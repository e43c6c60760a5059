#!/usr/bin/env python3
"""The live page in a real browser (Debian's chromium, driven by chromedriver through selenium), against a station
with the page on (the livestation program of the tests) on 127.0.0.1.

    test_livepage.py LIVESTATION OUTDIR

Opens the page at a phone's width: the starter in the ring is shown; the official moves a starter and marks one
not started, and both are on the page within two seconds; a rider types a back number and reads how many ride
before; the page at a TV's size; the office's file gone, the page says since when the order is not up to date. A screenshot of each size goes to OUTDIR (live-telefoon.png, live-tv.png). Then
the station stops and the page says it has lost the ring. Exits non-zero at the first thing that does not hold.
"""
import os
import re
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.support.ui import WebDriverWait

UPDATE_SECONDS = 2.0


class Station:
    def __init__(self, program, home):
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"))
        self.process = subprocess.Popen([program, "0"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env,
                                        text=True, bufsize=1)
        line = self.process.stdout.readline().strip()
        if not line.startswith("poort "):
            raise SystemExit("livestation did not start: %r" % line)
        self.port = int(line.split()[1])

    def command(self, text):
        self.process.stdin.write(text + "\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().strip()
        if answer != "ok":
            raise SystemExit("livestation: %s: %r" % (text, answer))

    def stop(self):
        if self.process.poll() is None:
            try:
                self.command("stop")
            except (BrokenPipeError, SystemExit):
                pass
            self.process.wait(timeout=10)


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                 "--user-data-dir=" + profile, "--no-first-run", "--no-default-browser-check",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-default-apps", "--disable-extensions", "--disable-client-side-phishing-detection",
                 "--disable-domain-reliability", "--metrics-recording-only", "--password-store=basic",
                 "--disable-features=Translate,MediaRouter,OptimizationHints,AutofillServerCommunication",
                 # Nothing but the station on this machine: every other name resolves to nowhere.
                 "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1"):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def text(driver, css):
    return driver.find_element(By.CSS_SELECTOR, css).text


def wait_for(driver, what, condition, seconds):
    started = time.monotonic()
    try:
        # The page rebuilds its list at each new order: an element read a moment ago may be gone.
        WebDriverWait(driver, seconds, poll_frequency=0.05, ignored_exceptions=[StaleElementReferenceException]).until(
            lambda d: condition(d))
    except Exception:
        raise SystemExit("FAIL: %s: not within %.1f s" % (what, seconds))
    took = time.monotonic() - started
    print("ok: %s (%.2f s)" % (what, took))
    return took


def row_numbers(driver):
    return [td.text for td in driver.find_elements(By.CSS_SELECTOR, "#lijst td.nr")]


def main():
    program, outdir = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as home:
        station = Station(program, home)
        driver = browser(os.path.join(home, "profile"))
        try:
            url = "http://127.0.0.1:%d/" % station.port
            driver.set_window_size(360, 780)
            driver.get(url)
            wait_for(driver, "the starter in the ring", lambda d: text(d, "#inRing .nr") == "101", 5)
            wait_for(driver, "x van y gereden", lambda d: text(d, "#voortgang") == "1 van 20 gereden", 2)

            # The official moves 107 above 106 and marks 102 not started.
            station.command("omhoog 107")
            station.command("ng 102")
            wait_for(driver, "the move and the mark on the page",
                     lambda d: row_numbers(d)[5:7] == ["107", "106"]
                     and "ng" in d.find_elements(By.CSS_SELECTOR, "#lijst tr")[1].get_attribute("class")
                     and text(d, "#klaar .nr") == "103", UPDATE_SECONDS)

            # A rider types a back number: 101 in the ring, then 103 105 107 106 108 109 ride before 110.
            field = driver.find_element(By.ID, "nummer")
            field.send_keys("110")
            wait_for(driver, "how many before the rider", lambda d: text(d, "#voorU").startswith("Nog 7 starters voor u"), 2)
            station.command("volgende")
            wait_for(driver, "one fewer after the next starter",
                     lambda d: text(d, "#voorU").startswith("Nog 6 starters voor u")
                     and text(d, "#voortgang") == "3 van 20 gereden", UPDATE_SECONDS)
            # The number is kept on the phone.
            driver.refresh()
            wait_for(driver, "the number kept after a reload", lambda d: text(d, "#voorU").startswith("Nog 6 starters voor u"), 5)
            driver.execute_script("window.scrollTo(0, 0)")
            driver.save_screenshot(os.path.join(outdir, "live-telefoon.png"))

            driver.set_window_size(1920, 1080)
            driver.get(url + "tv")
            wait_for(driver, "the TV page", lambda d: text(d, "#inRing .nr") == "103"
                     and not d.find_element(By.ID, "nummer").is_displayed(), 5)
            driver.save_screenshot(os.path.join(outdir, "live-tv.png"))

            # The office's file is gone: the page keeps the order, greyed, and says since when.
            station.command("weg")
            wait_for(driver, "the stale list", lambda d: re.fullmatch(
                r"niet bijgewerkt sinds \d\d:\d\d:\d\d", text(d, "#melding"))
                and "grijs" in d.find_element(By.TAG_NAME, "body").get_attribute("class"), UPDATE_SECONDS)

            station.stop()
            wait_for(driver, "the lost connection", lambda d: text(d, "#melding").startswith(
                "geen verbinding met de ring sinds ") and text(d, "#inRing .nr") == "103", 8)
        finally:
            driver.quit()
            station.stop()
    print("PASS")


if __name__ == "__main__":
    main()
