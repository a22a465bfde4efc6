// The live panel page in Debian's chromium, driven by Playwright as a user
// would: `devhost serve` on a free port, the page opened, gauges clicked
// where their mouse areas are. A failing test leaves a screenshot in the
// folder named by VARDEX_BROWSER_FAILURES.
//
//   DEVHOST=build/devhost/devhost CHROMIUM=/usr/bin/chromium node --test panel.test.mjs
import { test, before, after, afterEach } from "node:test";
import assert from "node:assert/strict";
import { mkdtempSync, mkdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";
import { startDevhost } from "./devhost_server.mjs";

const require = createRequire(process.env.VARDEX_NODE_MODULES + "/");
const { chromium } = require("playwright-core");

const failures = process.env.VARDEX_BROWSER_FAILURES || "browser_failures";
let server, address, context, page, profile;

before(async () => {
  const started = startDevhost([]);
  server = started.server;
  address = await started.address;
  profile = mkdtempSync(join(tmpdir(), "vardex-chromium-"));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    viewport: { width: 1400, height: 900 },
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
  page = context.pages()[0] || await context.newPage();
  page.on("pageerror", (error) => console.error("page error:", error.message));
  await page.goto(address);
  await page.waitForFunction(() => Number(document.body.dataset.frame) > 0);
});

afterEach(async (t) => {
  if (t.passed === false || t.error) {
    mkdirSync(failures, { recursive: true });
    await page.screenshot({ path: join(failures, t.name.replace(/\W+/g, "_") + ".png"), fullPage: true });
  }
});

after(async () => {
  await context?.close();
  server?.kill();
  if (profile) rmSync(profile, { recursive: true, force: true });
});

// The panel as the page lays it out (its scripts keep it to themselves).
const panelShown = () => page.evaluate(() => fetch("api/panel").then((r) => r.json()));

// The page point of a point in a gauge's own pixels, on its tile or in the lens.
async function pagePoint(gauge, x, y, lens = false) {
  const panel = await panelShown();
  return page.evaluate(([name, x, y, lens, panel]) => {
    const canvas = document.querySelector(lens ? "#lens-view canvas" : `canvas[aria-label="${name}"]`);
    const g = panel.gauges[Number(canvas.dataset.gauge ?? canvas.dataset.lens)];
    const rect = canvas.getBoundingClientRect();
    const [tx, ty, tw, th] = g.tile;
    const px = (x + 0.5) * g.width / g.pixels[0] - (tx - g.x), py = (y + 0.5) * g.height / g.pixels[1] - (ty - g.y);
    return { x: rect.left + px * rect.width / tw, y: rect.top + py * rect.height / th };
  }, [gauge, x, y, lens, panel]);
}

async function clickGauge(gauge, x, y, button = "left", lens = false) {
  const at = await pagePoint(gauge, x, y, lens);
  const frame = await currentFrame();
  await page.mouse.click(at.x, at.y, { button });
  await page.waitForFunction((f) => Number(document.body.dataset.frame) > f + 1, frame);
}

async function hoverGauge(gauge, x, y) {
  const at = await pagePoint(gauge, x, y);
  await page.mouse.move(at.x - 3, at.y);
  await page.mouse.move(at.x, at.y);
  await page.waitForFunction(() => !document.getElementById("tooltip").hidden);
  await page.waitForTimeout(200);
  return page.textContent("#tooltip");
}

const currentFrame = () => page.evaluate(() => Number(document.body.dataset.frame));
const tilePixels = (gauge) => page.evaluate((name) => document.querySelector(`canvas[aria-label="${name}"]`).toDataURL(), gauge);
// A tile as it stays: a change can reach the page over more than one frame
// (a face hidden in one, the other face's needle drawn in the next).
async function settledPixels(gauge) {
  let last = await tilePixels(gauge);
  for (let tries = 0; tries < 50; ++tries) {
    await page.waitForTimeout(300);
    const now = await tilePixels(gauge);
    if (now === last) return now;
    last = now;
  }
  return last;
}
const reading = async (gauge) => {
  const index = (await panelShown()).gauges.findIndex((g) => g.name === gauge);
  return page.evaluate((i) => document.querySelector(`#readings [data-gauge="${i}"]`)?.textContent || "", index);
};
const windowShown = (number) => page.evaluate((n) => !document.querySelector(`.window[data-window="${n}"]`).hidden, number);

async function until(what, condition, timeout = 5000) {
  for (const end = Date.now() + timeout; Date.now() < end; await page.waitForTimeout(100))
    if (await condition()) return;
  assert.fail(`waited in vain for ${what}`);
}

test("the page shows every placed gauge as a tile", async () => {
  const tiles = await page.locator("canvas[data-gauge]").count();
  const gauges = (await panelShown()).gauges.length;
  assert.equal(tiles, gauges);
  assert.ok(gauges >= 41);
});

test("the radio stack opens and closes with its panel button", async () => {
  assert.equal(await windowShown(1), false);
  await clickGauge("Radios_Toggle", 9, 9);
  await until("the radio stack to open", () => windowShown(1));
  await clickGauge("Radios_Toggle", 9, 9);
  await until("the radio stack to close", async () => !(await windowShown(1)));
});

test("the COM radio switched on and tuned by clicks shows its new frequency", async () => {
  await clickGauge("Radios_Toggle", 9, 9);
  await until("the radio stack to open", () => windowShown(1));
  assert.match(await hoverGauge("Radio_COM_SK10", 45, 46), /COM1 main switch \(off\)/i);
  await clickGauge("Radio_COM_SK10", 45, 46);
  assert.match(await hoverGauge("Radio_COM_SK10", 45, 46), /COM1 main switch \(on\)/i);
  assert.match(await hoverGauge("Radio_COM_SK10", 150, 40), /118\.000 MHz/);
  await clickGauge("Radio_COM_SK10", 218, 250);
  await clickGauge("Radio_COM_SK10", 218, 250);
  assert.match(await hoverGauge("Radio_COM_SK10", 150, 40), /118\.050 MHz/);
  await until("the reading of 118.050 MHz", async () => /118\.050/.test(await reading("Radio_COM_SK10")));
});

test("the units switch changes the airspeed face", async () => {
  const before = await tilePixels("Airspeed");
  await clickGauge("Metric_Switch", 48, 22);
  await until("the airspeed face to change", async () => (await tilePixels("Airspeed")) !== before);
});

test("a slider moves a needle", async () => {
  const before = await tilePixels("Altimeter");
  await page.locator('#controls [data-variable="altitude"] input[type="range"]').fill("3000");
  await until("the altimeter needle to move", async () => (await tilePixels("Altimeter")) !== before);
  await until("the altitude told in feet", async () =>
    (await page.inputValue('#controls input[name="altitude"]')) === "3000 ft");
});

test("a dragged slider's values go one at a time, the last one last", async () => {
  let sent = 0;
  const count = (request) => { if (request.url().endsWith("/api/set")) ++sent; };
  page.on("request", count);
  await page.evaluate(() => {
    const slider = document.querySelector('#controls [data-variable="altitude"] input[type="range"]');
    for (let feet = 1000; feet <= 9000; feet += 100) {
      slider.value = feet;
      slider.dispatchEvent(new Event("input"));
    }
  });
  const altitude = () => page.inputValue('#controls input[name="altitude"]');
  await until("the altitude of the last step", async () => (await altitude()) === "9000 ft");
  await page.waitForTimeout(500);
  page.off("request", count);
  assert.equal(await altitude(), "9000 ft");
  assert.ok(sent < 10, `81 steps sent as ${sent} requests`);
});

test("the demo flight plays", async () => {
  await page.click("#play");
  await page.waitForTimeout(3000);
  const time = await page.evaluate(() => Number(document.getElementById("seek").value));
  assert.ok(time >= 1, `the flight stands at ${time} s`);
  await page.click("#play");
  await until("the flight to pause", async () => (await page.textContent("#play")) === "Play");
});

test("a switch's click sounds in the page with the module's own clip", async () => {
  const played = () => page.evaluate(() => Number(document.body.dataset.soundsPlayed || 0));
  const before = await played();
  await clickGauge("Metric_Switch", 48, 22);
  await until("the clip to play", async () => (await played()) > before);
  assert.equal(await page.evaluate(() => document.body.dataset.lastSound), "30");
  assert.ok(await page.evaluate(() => performance.getEntriesByType("resource").some((e) => e.name.endsWith("/api/clip/30"))));
  await clickGauge("Metric_Switch", 48, 22);
});

test("a click in the lens tunes the radio", async () => {
  if (!(await windowShown(1))) await clickGauge("Radios_Toggle", 9, 9);
  await until("the radio stack to open", () => windowShown(1));
  // The demo flight switches the radio as it plays: on, it tunes.
  if (/\(off\)/.test(await hoverGauge("Radio_COM_SK10", 45, 46))) await clickGauge("Radio_COM_SK10", 45, 46);
  await page.selectOption("#lens-gauge", { label: "Radio_COM_SK10" });
  await page.selectOption("#lens-scale", "3");
  // Drawn by the server at three times the placed size, not the tile enlarged.
  await page.waitForFunction(() => document.querySelector("#lens-view canvas")?.dataset.drawn);
  const lens = await page.evaluate(() => document.querySelector("#lens-view canvas").width);
  const placed = (await panelShown()).gauges.find((g) => g.name === "Radio_COM_SK10").width;
  assert.equal(lens, 3 * placed);
  // The tuning knob's point brought into the lens's view.
  await page.evaluate(() => {
    const view = document.getElementById("lens-view");
    view.scrollTo(view.scrollWidth, view.scrollHeight);
  });
  const before = await hoverGauge("Radio_COM_SK10", 150, 40);
  await clickGauge("Radio_COM_SK10", 218, 250, "left", true);
  assert.notEqual(await hoverGauge("Radio_COM_SK10", 150, 40), before);
  await page.click("#lens-view button");
  assert.equal(await page.locator("#lens-view canvas").count(), 0);
});

test("a value the server refuses is marked at its field until it is changed", async () => {
  await page.fill("#control-filter", "airspeed");
  const row = page.locator('#controls .control[data-variable="airspeed"]');
  await row.locator('input[type="text"]').fill("fast");
  await row.locator('input[type="text"]').press("Enter");
  await until("the field to be marked", async () => (await row.getAttribute("class")).includes("rejected"));
  assert.match(await row.locator(".rejection").textContent(), /"fast" is not a number/);
  await row.locator('input[type="text"]').fill("0");
  assert.ok(!(await row.getAttribute("class")).includes("rejected"));
  await row.locator('input[type="text"]').press("Enter");
  await page.fill("#control-filter", "");
});

test("a recording loaded as a flight replays what was done", async () => {
  // A replay starts from the module as loaded, its units lever at metric:
  // so does the recording, whatever the cases before left the lever at.
  if (/units British/.test(await reading("Metric_Switch"))) {
    await clickGauge("Metric_Switch", 48, 22);
    await until("the units back at metric", async () => /units metric/.test(await reading("Metric_Switch")));
  }
  const before = await settledPixels("Airspeed");
  await page.click("#record");
  await until("recording", async () => (await page.getAttribute("#record", "aria-pressed")) === "true");
  await clickGauge("Metric_Switch", 48, 22);
  await until("the airspeed face to change", async () => (await tilePixels("Airspeed")) !== before);
  const switched = await settledPixels("Airspeed");
  await page.click("#record");
  await until("recording stopped", async () => (await page.getAttribute("#record", "aria-pressed")) === "false");
  const recorded = await page.evaluate(() => fetch("api/recording").then((response) => response.text()));
  await clickGauge("Metric_Switch", 48, 22);
  await until("the face as before", async () => (await tilePixels("Airspeed")) === before);

  await page.setInputFiles("#flight-file", { name: "recorded.json", mimeType: "application/json", buffer: Buffer.from(recorded) });
  await until("the recording loaded", async () => /Recorded in devhost serve/.test(await page.textContent("#flight-name")));
  await page.selectOption("#speed", "8");
  await page.click("#play");
  await until("the replay to end with the switch clicked", async () =>
    (await page.textContent("#play")) === "Play" && (await tilePixels("Airspeed")) === switched, 60000);
});

test("night lights the panel", async () => {
  const day = await tilePixels("Airspeed");
  await page.click("#night");
  await until("the night picture", async () => (await tilePixels("Airspeed")) !== day);
  assert.equal(await page.getAttribute("#night", "aria-pressed"), "true");
});

test("Record can expect what a gauge shows now", async () => {
  await page.click("#record");
  await until("recording", async () => (await page.getAttribute("#record", "aria-pressed")) === "true");
  await page.selectOption("#expect-gauge", { label: "Airspeed" });
  await page.click("#expect");
  await until("the expectation added", async () => /expecting \d+ reading/.test(await page.textContent("#status")));
  await page.click("#record");
  await until("recording stopped", async () => (await page.getAttribute("#record", "aria-pressed")) === "false");
  const recorded = await page.evaluate(() => fetch("api/recording").then((response) => response.json()));
  assert.ok(recorded.checkpoints.some((c) => typeof c.expect.Airspeed === "string"), JSON.stringify(recorded.checkpoints));
});
