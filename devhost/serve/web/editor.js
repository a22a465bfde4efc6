// The layout editor of the live page: in edit mode a layer over each window
// takes the mouse (the gauges keep running under it). Gauges are selected,
// dragged, sized from their corners with guides snapping to the edges and
// centres of their neighbours and of the window, nudged with the arrow
// keys, moved to another window, removed and added; windows are set up.
// Every edit goes to the server on drop (a nudge a moment after the last
// key), which writes it into the panel file's text, has the running panel
// follow, and tells every page to lay the panel out again.
import { $, onRelayout, pageStarted, post, say, state } from "./app.js";

const SnapPixels = 6;           // a guide takes an edge this close (screen pixels)
const ShapeSnap = 0.04;         // a size this close to the gauge's own proportions takes them
const NudgeSendMs = 250;        // arrow keys: the edit goes once the keys rest this long

const edit = {
  on: false,
  layout: null,        // as /api/layout describes it
  selected: null,      // {window, key}
  windowNumber: 0,     // the window the side pane sets up
  nudge: null,         // {box, timer} while arrow keys move the selection
  drag: null,
};

function editSay(text, action) {
  const message = $("edit-message");
  message.textContent = text || "";
  if (action) {
    const button = document.createElement("button");
    button.type = "button";
    button.textContent = action.label;
    button.onclick = action.run;
    message.append(button);
  }
}

function windowOf(number) { return edit.layout.windows.find((w) => w.number === number); }
function gaugeOf(sel) {
  const w = sel && windowOf(sel.window);
  return w && w.gauges.find((g) => g.key === sel.key);
}
function nameOf(g) { return g.ours ? g.gauge : `${g.module}!${g.gauge}`; }

// ------------------------------------------------------------ talking to the server

async function sendEdit(body) {
  const before = new Set(edit.layout.windows.flatMap((w) => w.gauges.map((g) => `${w.number}:${g.key}`)));
  try {
    const layout = await post("api/edit", body, true);
    editSay("");
    // A gauge that came with this edit (added, or moved to another window) is selected.
    const fresh = layout.windows.flatMap((w) => w.gauges.map((g) => ({ window: w.number, key: g.key })))
      .filter((s) => !before.has(`${s.window}:${s.key}`));
    if (fresh.length === 1) edit.selected = fresh[0];
    showLayout(layout);
  } catch (error) {
    editSay(error.message);
    showLayout(edit.layout);   // the boxes and tiles back where the file has them
    for (const tile of state.tiles) place(tile.canvas, { x: tile.box[0], y: tile.box[1], width: tile.box[2], height: tile.box[3] });
  }
}

async function save(force = false, as = null) {
  try {
    showLayout(await post("api/save", as ? { as } : force ? { force: true } : {}, true));
    editSay("");
    $("edit-state").textContent = "saved";
  } catch (error) {
    const changed = error.message.includes("changed on disk");
    editSay(error.message, changed ? { label: "Save anyway", run: () => save(true) } : null);
  }
}

async function loadLayout() {
  const response = await fetch("api/layout");
  showLayout(await response.json());
}

// The panel was laid out anew (an edit here or in another page): the
// layers as this page knows the layout, until the server's comes.
onRelayout(async () => {
  drawLayers();
  if (edit.on || edit.layout) await loadLayout();
});

// ------------------------------------------------------------ the layers over the windows

function showLayout(layout) {
  edit.layout = layout;
  $("edit-file").textContent = layout.can_save ? `writes ${layout.file}` : "built-in panel: Save as a new file";
  $("edit-save").disabled = !layout.can_save;
  $("edit-undo").disabled = layout.undo === 0;
  $("edit-redo").disabled = layout.redo === 0;
  $("edit-state").textContent = layout.unsaved ? "unsaved changes" : "";
  if (edit.selected && !gaugeOf(edit.selected)) edit.selected = null;
  if (!windowOf(edit.windowNumber)) edit.windowNumber = layout.windows[0]?.number ?? 0;
  drawLayers();
  showGaugePane();
  showWindowPane();
  showChecks();
}

// Window pixels per file unit (a virtual cockpit's gauges are placed in its own units).
function unitScale(w) { return { x: w.scale[0], y: w.scale[1] }; }

function drawLayers() {
  for (const shown of state.windows.values()) shown.element.querySelector(".edit-layer")?.remove();
  document.body.classList.toggle("editing", edit.on);
  if (!edit.on || !edit.layout) return;
  const marked = new Map();
  for (const c of edit.layout.checks) {
    const key = `${c.window}:${c.line}`;
    marked.set(key, [...(marked.get(key) || []), c.message]);
  }
  for (const w of edit.layout.windows) {
    const shown = state.windows.get(w.number);
    if (!shown) continue;
    const layer = document.createElement("div");
    layer.className = "edit-layer";
    layer.dataset.window = w.number;
    const windowMarks = marked.get(`${w.number}:${w.line}`);
    if (windowMarks) {
      layer.classList.add("warn");
      layer.title = windowMarks.join("\n");
    }
    const s = unitScale(w);
    for (const g of w.gauges) {
      const box = document.createElement("div");
      box.className = "edit-box";
      box.dataset.window = w.number;
      box.dataset.key = g.key;
      box.setAttribute("aria-label", `${nameOf(g)} (${g.label})`);
      place(box, { x: g.x * s.x, y: g.y * s.y, width: g.width * s.x, height: g.height * s.y });
      const name = document.createElement("span");
      name.className = "name";
      name.textContent = `${nameOf(g)} ${g.x},${g.y} ${g.width}×${g.height}`;
      box.append(name);
      const marks = marked.get(`${w.number}:${g.line}`);
      if (marks) {
        box.classList.add("warn");
        const mark = document.createElement("span");
        mark.className = "mark";
        mark.textContent = "!";
        mark.title = marks.join("\n");
        box.append(mark);
      }
      for (const corner of ["nw", "ne", "sw", "se"]) {
        const handle = document.createElement("div");
        handle.className = `handle ${corner}`;
        handle.dataset.corner = corner;
        box.append(handle);
      }
      if (edit.selected && edit.selected.window === w.number && edit.selected.key === g.key) box.classList.add("selected");
      box.addEventListener("pointerdown", (event) => startDrag(event, w, g, box));
      layer.append(box);
    }
    layer.addEventListener("pointerdown", (event) => {
      if (event.target === layer) select(null);
    });
    shown.element.append(layer);
  }
}

function place(element, r) {
  element.style.left = r.x + "px";
  element.style.top = r.y + "px";
  element.style.width = Math.max(1, r.width) + "px";
  element.style.height = Math.max(1, r.height) + "px";
}

// The running gauge's tile goes along with its box until the server has it there.
function followTile(w, g, r) {
  const s = unitScale(w);
  const tile = state.tiles.find((t) => t.gauge.window === w.number && t.gauge.name === g.gauge &&
                                       t.gauge.x === Math.round(g.x * s.x) && t.gauge.y === Math.round(g.y * s.y));
  if (!tile) return;
  const kx = r.width / tile.gauge.width, ky = r.height / tile.gauge.height;
  place(tile.canvas, { x: r.x + (tile.box[0] - tile.gauge.x) * kx, y: r.y + (tile.box[1] - tile.gauge.y) * ky,
                       width: tile.box[2] * kx, height: tile.box[3] * ky });
}

function select(sel) {
  edit.selected = sel;
  if (sel) edit.windowNumber = sel.window;
  for (const box of document.querySelectorAll(".edit-box"))
    box.classList.toggle("selected", Boolean(sel) && Number(box.dataset.window) === sel.window && Number(box.dataset.key) === sel.key);
  showGaugePane();
  showWindowPane();
}

// ------------------------------------------------------------ dragging, sizing and guides

// Screen pixels per window pixel: the panel is shown scaled to fit.
function screenScale() {
  const screen = $("screen");
  return screen.getBoundingClientRect().width / (parseInt(screen.style.width, 10) || 1);
}

function startDrag(event, w, g, box) {
  if (event.button !== 0) return;
  event.preventDefault();
  event.stopPropagation();
  select({ window: w.number, key: g.key });
  const s = unitScale(w);
  const start = { x: g.x * s.x, y: g.y * s.y, width: g.width * s.x, height: g.height * s.y };
  edit.drag = { w, g, box, corner: event.target.dataset.corner || null, start, from: { x: event.clientX, y: event.clientY },
                now: { ...start }, moved: false };
  box.setPointerCapture(event.pointerId);
  const move = (e) => dragTo(e);
  const end = (e) => {
    box.removeEventListener("pointermove", move);
    box.removeEventListener("pointerup", end);
    box.removeEventListener("pointercancel", end);
    clearGuides();
    const drag = edit.drag;
    edit.drag = null;
    if (e.type === "pointerup" && drag.moved) commitBox(drag.w, drag.g, drag.now, Boolean(drag.corner));
  };
  box.addEventListener("pointermove", move);
  box.addEventListener("pointerup", end);
  box.addEventListener("pointercancel", end);
}

// The edges and centres a moving box snaps to: the window's and the other gauges' of its window.
function guideLines(w, except) {
  const s = unitScale(w);
  const xs = [0, w.width / 2, w.width], ys = [0, w.height / 2, w.height];
  for (const g of w.gauges) {
    if (g === except) continue;
    const x = g.x * s.x, y = g.y * s.y, width = g.width * s.x, height = g.height * s.y;
    xs.push(x, x + width / 2, x + width);
    ys.push(y, y + height / 2, y + height);
  }
  return { xs, ys };
}

// The nearest guide to any of `points` (offsets of the box's edges and
// centre) within reach: the shift that snaps, and the line to show.
function snap(points, lines, reach) {
  let best = null;
  for (const p of points)
    for (const line of lines) {
      const d = line - p;
      if (Math.abs(d) <= reach && (!best || Math.abs(d) < Math.abs(best.shift))) best = { shift: d, line };
    }
  return best;
}

function dragTo(event) {
  const drag = edit.drag;
  if (!drag) return;
  const k = screenScale();
  const dx = (event.clientX - drag.from.x) / k, dy = (event.clientY - drag.from.y) / k;
  if (!drag.moved && Math.abs(dx) < 2 && Math.abs(dy) < 2) return;
  drag.moved = true;
  const { start, w, g } = drag;
  const lines = guideLines(w, g);
  const reach = SnapPixels / k;
  let r = { ...start };
  const guides = [];
  if (!drag.corner) {
    r.x = Math.round(start.x + dx);
    r.y = Math.round(start.y + dy);
    if (!event.altKey) {
      const sx = snap([r.x, r.x + r.width / 2, r.x + r.width], lines.xs, reach);
      const sy = snap([r.y, r.y + r.height / 2, r.y + r.height], lines.ys, reach);
      if (sx) { r.x = Math.round(r.x + sx.shift); guides.push(["v", sx.line]); }
      if (sy) { r.y = Math.round(r.y + sy.shift); guides.push(["h", sy.line]); }
    }
  } else {
    const west = drag.corner.includes("w"), north = drag.corner.includes("n");
    let width = Math.max(1, Math.round(start.width + (west ? -dx : dx)));
    let height = Math.max(1, Math.round(start.height + (north ? -dy : dy)));
    // The moving edges snap to guides; Shift keeps the proportions the box had.
    if (!event.altKey) {
      const edgeX = west ? start.x + start.width - width : start.x + width;
      const edgeY = north ? start.y + start.height - height : start.y + height;
      const sx = snap([edgeX], lines.xs, reach), sy = snap([edgeY], lines.ys, reach);
      if (sx) { width += west ? -sx.shift : sx.shift; guides.push(["v", sx.line]); }
      if (sy && !event.shiftKey) { height += north ? -sy.shift : sy.shift; guides.push(["h", sy.line]); }
    }
    if (event.shiftKey) {
      height = Math.max(1, Math.round(width * start.height / start.width));
    } else if (g.own) {
      // The gauge's own proportions are offered as a snap.
      const own = Math.round(width * g.own[1] / g.own[0]);
      if (Math.abs(own - height) <= Math.max(2, own * ShapeSnap)) height = own;
    }
    r = { x: west ? start.x + start.width - width : start.x, y: north ? start.y + start.height - height : start.y, width, height };
  }
  drag.now = r;
  place(drag.box, r);
  followTile(w, g, r);
  drag.box.querySelector(".name").textContent = `${nameOf(g)} ${Math.round(r.x / unitScale(w).x)},${Math.round(r.y / unitScale(w).y)} ` +
    `${Math.round(r.width / unitScale(w).x)}×${Math.round(r.height / unitScale(w).y)}`;
  showGuides(w, guides);
  showFields(r, w);
}

function showGuides(w, guides) {
  clearGuides();
  const layer = state.windows.get(w.number).element.querySelector(".edit-layer");
  for (const [kind, at] of guides) {
    const line = document.createElement("div");
    line.className = `guide ${kind}`;
    if (kind === "v") line.style.left = at + "px";
    else line.style.top = at + "px";
    layer.append(line);
  }
}

function clearGuides() { for (const line of document.querySelectorAll(".guide")) line.remove(); }

// A box as placed in window pixels, written to the gauge's line.
function commitBox(w, g, r, sized) {
  const s = unitScale(w);
  const body = { op: "move", window: w.number, gauge: g.key, x: Math.round(r.x / s.x), y: Math.round(r.y / s.y) };
  if (sized || g.size_given) {
    body.width = Math.max(1, Math.round(r.width / s.x));
    body.height = Math.max(1, Math.round(r.height / s.y));
  }
  return sendEdit(body);
}

// ------------------------------------------------------------ keys

function typing(event) {
  const t = event.target;
  return t instanceof HTMLInputElement && t.type !== "checkbox" && t.type !== "range" || t instanceof HTMLTextAreaElement ||
    t instanceof HTMLSelectElement;
}

function onKey(event) {
  if (!edit.on || typing(event)) return;
  const ctrl = event.ctrlKey || event.metaKey;
  if (ctrl && (event.key === "z" || event.key === "Z")) {
    event.preventDefault();
    return sendEdit({ op: event.shiftKey ? "redo" : "undo" });
  }
  if (ctrl && (event.key === "y" || event.key === "Y")) {
    event.preventDefault();
    return sendEdit({ op: "redo" });
  }
  const g = gaugeOf(edit.selected);
  if (!g) return;
  if (event.key === "Delete" || event.key === "Backspace") {
    event.preventDefault();
    return sendEdit({ op: "remove", window: edit.selected.window, gauge: g.key });
  }
  const steps = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] }[event.key];
  if (!steps) return;
  event.preventDefault();
  const w = windowOf(edit.selected.window), s = unitScale(w), by = event.shiftKey ? 10 : 1;
  const box = document.querySelector(`.edit-box[data-window="${w.number}"][data-key="${g.key}"]`);
  if (!edit.nudge) edit.nudge = { r: { x: g.x * s.x, y: g.y * s.y, width: g.width * s.x, height: g.height * s.y } };
  const nudge = edit.nudge;
  nudge.r.x += steps[0] * by * s.x;
  nudge.r.y += steps[1] * by * s.y;
  place(box, nudge.r);
  followTile(w, g, nudge.r);
  showFields(nudge.r, w);
  clearTimeout(nudge.timer);
  nudge.timer = setTimeout(() => {
    edit.nudge = null;
    commitBox(w, g, nudge.r, false);
  }, NudgeSendMs);
}

// ------------------------------------------------------------ the side pane

function showFields(r, w) {
  const s = unitScale(w);
  $("edit-x").value = Math.round(r.x / s.x);
  $("edit-y").value = Math.round(r.y / s.y);
  $("edit-w").value = Math.round(r.width / s.x);
  $("edit-h").value = Math.round(r.height / s.y);
}

function showGaugePane() {
  const list = $("edit-gauge");
  list.replaceChildren(new Option("(choose a gauge, or click one)", ""));
  for (const w of edit.layout.windows)
    for (const g of w.gauges)
      list.append(new Option(`${w.title || "Window " + w.number} · ${g.label} · ${nameOf(g)}`, `${w.number}:${g.key}`));
  const g = gaugeOf(edit.selected);
  list.value = g ? `${edit.selected.window}:${g.key}` : "";
  const to = $("edit-to-window");
  to.replaceChildren(...edit.layout.windows.map((w) => new Option(w.title || `Window ${w.number}`, w.number)));
  for (const id of ["edit-x", "edit-y", "edit-w", "edit-h", "edit-to-window", "edit-own-shape", "edit-remove"])
    $(id).disabled = !g;
  if (!g) {
    for (const id of ["edit-x", "edit-y", "edit-w", "edit-h"]) $(id).value = "";
    return;
  }
  to.value = edit.selected.window;
  $("edit-own-shape").disabled = !g.own;
  showFields({ x: g.x, y: g.y, width: g.width, height: g.height }, { scale: [1, 1] });
}

function typedPlace() {
  const g = gaugeOf(edit.selected);
  const number = (id) => Math.round(Number($(id).value));
  return { op: "move", window: edit.selected.window, gauge: g.key, x: number("edit-x"), y: number("edit-y"),
           width: Math.max(1, number("edit-w")), height: Math.max(1, number("edit-h")) };
}

function showWindowPane() {
  const list = $("edit-window");
  list.replaceChildren(...edit.layout.windows.map((w) => new Option(`${w.title || "Window " + w.number} (${w.number})`, w.number)));
  list.value = edit.windowNumber;
  const w = windowOf(edit.windowNumber);
  if (!w) return;
  if (document.activeElement !== $("edit-title")) $("edit-title").value = w.title;
  $("edit-window-w").value = w.width;
  $("edit-window-h").value = w.height;
  $("edit-position").value = w.position ?? "";
  $("edit-visible").checked = w.visible;
  // No background_color=: the panel's own ground shows, which no one colour is.
  $("edit-colour").value = w.background_color || "#000000";
  $("edit-colour-none").hidden = Boolean(w.background_color);
  const bitmap = $("edit-bitmap");
  bitmap.replaceChildren(new Option(w.bitmap ? w.bitmap : "(none)", w.bitmap || ""),
                         ...edit.layout.bitmaps.filter((b) => b !== w.bitmap).map((b) => new Option(b, b)));
  bitmap.disabled = edit.layout.bitmaps.length === 0;
  bitmap.title = edit.layout.bitmaps.length ? "" : "no .bmp files in the panel's folder";
}

function showChecks() {
  const list = $("edit-checks");
  list.replaceChildren();
  for (const c of edit.layout.checks) {
    const item = document.createElement("li");
    item.textContent = `line ${c.line}: ${c.message}`;
    const w = windowOf(c.window);
    const g = w && w.gauges.find((x) => x.line === c.line);
    if (g) item.onclick = () => select({ window: w.number, key: g.key });
    list.append(item);
  }
}

function showGallery() {
  const gallery = $("edit-gallery");
  gallery.replaceChildren();
  for (const entry of edit.layout.gauge_list) {
    const button = document.createElement("button");
    button.type = "button";
    button.setAttribute("role", "listitem");
    button.dataset.gauge = entry.name;
    button.title = `Add ${entry.name} to the window (its own size, ${entry.width}×${entry.height})`;
    const picture = document.createElement("img");
    picture.loading = "lazy";
    picture.alt = "";
    picture.src = `api/gauge-picture?name=${encodeURIComponent(entry.name)}`;
    const name = document.createElement("span");
    name.textContent = entry.name.replace(/_/g, " ");
    const size = document.createElement("small");
    size.textContent = `${entry.width}×${entry.height}`;
    button.append(picture, name, size);
    button.onclick = () => addGauge(entry.name, entry.width, entry.height);
    gallery.append(button);
  }
}

// A new gauge goes in the middle of the window being set up (or the selected gauge's).
function addGauge(name, width, height) {
  const w = windowOf(edit.windowNumber) || edit.layout.windows[0];
  const s = unitScale(w);
  const ww = w.width / s.x, wh = w.height / s.y;
  const x = Math.max(0, Math.round((ww - (width || 100)) / 2)), y = Math.max(0, Math.round((wh - (height || 100)) / 2));
  return sendEdit({ op: "add", window: w.number, name, x, y });
}

function wireEditor() {
  $("edit-mode").onclick = () => setEditing(!edit.on);
  $("edit-save").onclick = () => save();
  $("edit-save-as").onclick = () => save(false, $("edit-save-as-name").value.trim());
  $("edit-undo").onclick = () => sendEdit({ op: "undo" });
  $("edit-redo").onclick = () => sendEdit({ op: "redo" });
  $("edit-gauge").onchange = () => {
    const [window, key] = $("edit-gauge").value.split(":").map(Number);
    select($("edit-gauge").value ? { window, key } : null);
  };
  for (const id of ["edit-x", "edit-y", "edit-w", "edit-h"]) $(id).onchange = () => sendEdit(typedPlace());
  $("edit-to-window").onchange = () => {
    const to = Number($("edit-to-window").value);
    const body = typedPlace();
    sendEdit({ ...body, to_window: to, x: 0, y: 0 });
    post("api/window", { window: to, action: "open" }, true).catch(() => {});
  };
  $("edit-own-shape").onclick = () => {
    const g = gaugeOf(edit.selected);
    sendEdit({ ...typedPlace(), height: Math.max(1, Math.round(Number($("edit-w").value) * g.own[1] / g.own[0])) });
  };
  $("edit-remove").onclick = () => {
    const g = gaugeOf(edit.selected);
    if (g) sendEdit({ op: "remove", window: edit.selected.window, gauge: g.key });
  };
  $("edit-add-typed").onclick = () => {
    const typed = $("edit-typed").value.trim();
    if (!typed.includes("!")) return editSay("give another module's gauge as Module!Gauge (this module's are in the list above)");
    addGauge(typed, 100, 100).then(() => { if (!$("edit-message").textContent) $("edit-typed").value = ""; });
  };
  $("edit-window").onchange = () => {
    edit.windowNumber = Number($("edit-window").value);
    post("api/window", { window: edit.windowNumber, action: "open" }, true).catch(() => {});
    showWindowPane();
  };
  const setWindow = (fields) => sendEdit({ op: "window", window: edit.windowNumber, ...fields });
  $("edit-title").onchange = () => setWindow({ title: $("edit-title").value });
  $("edit-window-w").onchange = $("edit-window-h").onchange = () =>
    setWindow({ width: Math.round(Number($("edit-window-w").value)), height: Math.round(Number($("edit-window-h").value)) });
  $("edit-position").onchange = () => { if ($("edit-position").value !== "") setWindow({ position: Number($("edit-position").value) }); };
  $("edit-visible").onchange = () => setWindow({ visible: $("edit-visible").checked });
  $("edit-colour").onchange = () => setWindow({ background_color: $("edit-colour").value });
  $("edit-bitmap").onchange = () => { if ($("edit-bitmap").value) setWindow({ bitmap: $("edit-bitmap").value }); };
  $("edit-add-window").onclick = async () => {
    const known = new Set(edit.layout.windows.map((w) => w.number));
    await sendEdit({ op: "add_window", width: 400, height: 300 });
    const added = edit.layout.windows.find((w) => !known.has(w.number));
    if (added) {
      edit.windowNumber = added.number;
      showWindowPane();
    }
  };
  document.addEventListener("keydown", onKey);
}

async function setEditing(on) {
  edit.on = on;
  $("edit-mode").setAttribute("aria-pressed", String(on));
  $("edit-mode").textContent = on ? "Editing layout" : "Edit layout";
  $("editor").hidden = !on;
  if (on) {
    await loadLayout();
    if (!$("edit-gallery").children.length) showGallery();
  } else {
    edit.selected = null;
    drawLayers();
  }
}

async function startEditor() {
  await pageStarted;
  wireEditor();
  const response = await fetch("api/layout");
  const layout = await response.json();
  edit.layout = layout;
  $("edit-file").textContent = layout.can_save ? `writes ${layout.file}` : "built-in panel: Save as a new file";
  if (layout.start_editing) await setEditing(true);
}

startEditor().catch((error) => say(String(error)));
