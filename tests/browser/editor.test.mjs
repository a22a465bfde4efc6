// The page's layout editor in Debian's chromium, driven as a designer would:
// each case serves its own copy of the built-in panel file with --edit, so
// that no case sees another's edits. A failing case leaves a screenshot in
// the folder named by VARDEX_BROWSER_FAILURES.
import { test, before, after, afterEach } from "node:test";
import assert from "node:assert/strict";
import { mkdtempSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";
import { startDevhost } from "./devhost_server.mjs";

const require = createRequire(process.env.VARDEX_NODE_MODULES + "/");
const { chromium } = require("playwright-core");

const failures = process.env.VARDEX_BROWSER_FAILURES || "browser_failures";
const panelText = readFileSync(new URL("../../examples/default_panel.cfg", import.meta.url), "utf8");
let browser, page, server, folder;

before(async () => {
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
                                    args: ["--no-sandbox", "--disable-gpu", "--no-first-run"] });
});

after(async () => { await browser?.close(); });

afterEach(async (t) => {
  if (page && (t.passed === false || t.error)) {
    mkdirSync(failures, { recursive: true });
    await page.screenshot({ path: join(failures, "editor_" + t.name.replace(/\W+/g, "_") + ".png"), fullPage: true });
  }
  await page?.close();
  server?.kill();
  if (folder) rmSync(folder, { recursive: true, force: true });
  page = server = folder = null;
});

// A fresh copy of the panel file, served in edit mode, the page open on it.
async function openEditor() {
  folder = mkdtempSync(join(tmpdir(), "vardex-edit-"));
  const file = join(folder, "panel.cfg");
  writeFileSync(file, panelText);
  const started = startDevhost(["--panel", file, "--edit"]);
  server = started.server;
  const address = await started.address;
  page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  page.on("pageerror", (error) => console.error("page error:", error.message));
  await page.goto(address);
  await page.waitForFunction(() => Number(document.body.dataset.frame) > 0);
  await page.waitForSelector(".edit-box");
  return file;
}

const box = (name) => page.locator(`.edit-box[aria-label^="${name} ("]`);
const fileLine = (file, name) => readFileSync(file, "utf8").split(/\r?\n/).find((l) => l.includes(`!${name},`));
// Where the running panel has a gauge.
const placed = (name) => page.evaluate((n) => fetch("api/panel").then((r) => r.json()).then((p) => p.gauges.find((g) => g.name === n)), name);

async function drag(from, by, shift = false) {
  await page.mouse.move(from.x, from.y);
  if (shift) await page.keyboard.down("Shift");
  await page.mouse.down();
  await page.mouse.move(from.x + by.x, from.y + by.y, { steps: 6 });
  await page.mouse.up();
  if (shift) await page.keyboard.up("Shift");
}

async function waitForLayout(condition, arg = null) {
  await page.waitForFunction(condition, arg, { timeout: 5000 });
}

async function until(what, condition) {
  for (const end = Date.now() + 5000; !(await condition());) {
    assert.ok(Date.now() < end, `timed out waiting until ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Saves from the page, and waits for the file to be written.
async function saveFrom(file) {
  const before = readFileSync(file, "utf8");
  await page.click("#edit-save");
  await until("the file is written", () => readFileSync(file, "utf8") !== before);
}

test("a gauge dragged and saved changes its one line in the file", async () => {
  const file = await openEditor();
  const before = readFileSync(file, "utf8");
  const b = await box("Airspeed").boundingBox();
  // Alt: no guide snaps, so the drop is where the mouse went.
  await page.keyboard.down("Alt");
  await drag({ x: b.x + b.width / 2, y: b.y + b.height / 2 }, { x: 30, y: -40 });
  await page.keyboard.up("Alt");
  await waitForLayout(() => document.getElementById("edit-state").textContent === "unsaved changes");
  await saveFrom(file);
  const after = readFileSync(file, "utf8").split("\n"), was = before.split("\n");
  const changed = after.map((line, i) => line !== was[i] ? i : -1).filter((i) => i >= 0);
  assert.equal(after.length, was.length);
  assert.equal(changed.length, 1, `changed lines: ${changed.map((i) => after[i]).join(" | ")}`);
  const [x, y] = after[changed[0]].split(",").slice(1, 3).map(Number);
  assert.ok(x > 277 && y < 290, after[changed[0]]);
  assert.equal(readFileSync(file + ".bak", "utf8"), before);
  assert.equal((await placed("Airspeed")).x, x, "the running panel has it where the file does");
});

test("a corner dragged with Shift keeps the gauge's proportions", async () => {
  const file = await openEditor();
  await box("Altimeter").click();
  const handle = await box("Altimeter").locator(".handle.se").boundingBox();
  await drag({ x: handle.x + 5, y: handle.y + 5 }, { x: 45, y: 3 }, true);
  await waitForLayout(() => document.getElementById("edit-state").textContent === "unsaved changes");
  await saveFrom(file);
  const [w, h] = fileLine(file, "Altimeter").split(",").slice(3, 5).map(Number);
  assert.ok(w > 170, `widened: ${w}`);
  assert.ok(Math.abs(h - w * 165 / 150) <= 1, `${w}x${h} keeps 150x165`);
});

test("a gauge added from the list runs on the panel", async () => {
  await openEditor();
  const count = () => page.locator('canvas[aria-label="Junghans_Timer"]').count();
  const before = await count();
  await page.click('#edit-gallery button[data-gauge="Junghans_Timer"]');
  await waitForLayout((n) => document.querySelectorAll('canvas[aria-label="Junghans_Timer"]').length === n, before + 1);
  assert.equal(await count(), before + 1);
  assert.equal(await box("Junghans_Timer").count(), before + 1);
  assert.match(await page.inputValue("#edit-gauge"), /^0:/, "the new gauge is selected");
});

test("undo puts a nudged gauge back", async () => {
  await openEditor();
  const at = await placed("Gunsight");
  await box("Gunsight").click();
  await page.keyboard.press("Shift+ArrowRight");
  await page.keyboard.press("ArrowDown");
  await until("the nudge is sent", async () => (await placed("Gunsight")).x === at.x + 10);
  assert.equal((await placed("Gunsight")).y, at.y + 1);
  await page.keyboard.press("Control+z");
  await until("the nudge is undone", async () => (await placed("Gunsight")).x === at.x);
  assert.equal((await placed("Gunsight")).y, at.y);
  assert.equal(await page.isDisabled("#edit-redo"), false);
});
