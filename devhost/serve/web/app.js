// The live panel page: lays out the panel's windows from one tile per
// placed gauge, paints the pieces the change feed sends, and turns the
// user's mouse and controls into requests. No libraries; the layout
// editor (editor.js) builds on what this module exports.

export const $ = (id) => document.getElementById(id);
const HoverEveryMs = 80;        // how often the pointer's tooltip and cursor are asked for
const RepeatAfterMs = 350;      // a repeating area held this long starts repeating,
const RepeatEveryMs = 110;      // at this rate
const TrendLength = 180;        // points in a watched variable's plot (ten seconds of frames)
const MaxEventRows = 400;
const LensEveryMs = 100;        // the lens is drawn again at most this often
const SlideEveryMs = 80;        // a dragged slider's value is sent at most this often

export const state = {
  panel: null,
  tiles: [],          // per gauge: {canvas, context, box}
  windows: new Map(), // window number -> {element, backing}
  wholeFrame: -1,     // frame of the last whole picture; older pieces are stale
  variables: {},
  watches: new Map(), // name -> {values, canvas, label}
  events: [],         // collapsed rows, each with its list item
  controls: new Map(), // variable name -> {row, field, slider, message}
  playing: false,
  light: 1,
  recording: false,
  flightError: "",
  lens: null,         // {gauge, canvas, context, size, refresh}
  audio: null,        // the AudioContext, made at the user's first click
  clips: new Map(),   // clip number -> Promise of its AudioBuffer
  muted: localStorage.getItem("vardex-muted") === "true",
};

export function say(text) { $("status").textContent = text || state.flightError; }

// A request that changes or asks something. `quiet`: its outcome is not
// told in the status line (hovers, sent many times a second, would wipe it).
export async function post(path, body, quiet = false) {
  const response = await fetch(path, { method: "POST", headers: { "Content-Type": "application/json" },
                                       body: typeof body === "string" ? body : JSON.stringify(body) });
  const text = await response.text();
  if (!response.ok) {
    if (!quiet) say(text.trim());
    throw new Error(text.trim());
  }
  if (!quiet) say("");
  return text ? (text[0] === "{" ? JSON.parse(text) : text) : null;
}

// Hands send the latest value given, one at a time: the next goes once the
// one before is answered (send returns a promise) and everyMs has passed,
// and the values given meanwhile give way to the last of them. The server
// so takes them in order, the last one last.
function throttle(send, everyMs) {
  let latest, waiting = false, busy = false;
  const next = () => {
    if (busy || !waiting) return;
    waiting = false;
    busy = true;
    Promise.resolve(send(latest)).finally(() => setTimeout(() => { busy = false; next(); }, everyMs));
  };
  return (value) => { latest = value; waiting = true; next(); };
}

// ------------------------------------------------------------ the panel's windows

function layOut(panel) {
  const screen = $("screen");
  let width = 0, height = 0;
  for (const w of panel.windows) {
    const element = document.createElement("div");
    element.className = "window";
    element.dataset.window = w.number;
    element.style.left = w.x + "px";
    element.style.top = w.y + "px";
    element.style.width = w.width + "px";
    element.style.height = w.height + "px";
    if (w.number !== 0) {
      const title = document.createElement("div");
      title.className = "title";
      title.innerHTML = "<span></span><button type='button' aria-label='Close'>×</button>";
      title.firstChild.textContent = w.title;
      title.lastChild.onclick = () => post("api/window", { window: w.number, action: "close" }).catch(() => {});
      element.append(title);
    }
    const backing = document.createElement("img");
    backing.className = "backing";
    backing.alt = "";
    element.append(backing);
    screen.append(element);
    state.windows.set(w.number, { element, backing });
    width = Math.max(width, w.x + w.width);
    height = Math.max(height, w.y + w.height);

    const button = document.createElement("button");
    button.type = "button";
    button.textContent = w.title;
    button.dataset.window = w.number;
    button.onclick = () => post("api/window", { window: w.number, action: "toggle" }).catch(() => {});
    $("window-buttons").append(button);
  }
  for (const g of panel.gauges) {
    const [x, y, w, h] = g.tile;
    const canvas = document.createElement("canvas");
    canvas.width = Math.max(1, w);
    canvas.height = Math.max(1, h);
    canvas.style.left = x + "px";
    canvas.style.top = y + "px";
    canvas.dataset.gauge = g.index;
    canvas.title = "";
    canvas.setAttribute("aria-label", g.name);
    state.windows.get(g.window).element.append(canvas);
    state.tiles.push({ canvas, context: canvas.getContext("2d"), box: g.tile, gauge: g });
    attachMouse(canvas, g);
  }
  screen.style.width = width + "px";
  screen.style.height = height + "px";
  const fit = () => {
    const frame = $("screen-frame");
    const scale = Math.min(1, frame.clientWidth / width);
    screen.style.transform = `scale(${scale})`;
    frame.style.height = height * scale + "px";
  };
  window.removeEventListener("resize", state.fit);   // laid out again after a layout edit
  window.addEventListener("resize", state.fit = fit);
  fit();
}

// What is laid over the windows (the editor's layers) is made again
// through these once the panel has been laid out anew.
const relayoutListeners = [];
export function onRelayout(listener) { relayoutListeners.push(listener); }

// The panel was laid out anew (an edit here or in another page): the
// windows and tiles are made again, and the lists of gauges.
async function relayoutPage() {
  const response = await fetch("api/panel");
  state.panel = await response.json();
  $("screen").replaceChildren();
  $("window-buttons").replaceChildren();
  $("readings").replaceChildren();
  state.tiles = [];
  state.windows.clear();
  layOut(state.panel);
  for (const id of ["lens-gauge", "expect-gauge"]) {
    const list = $(id);
    const kept = id === "lens-gauge" ? 1 : 0;
    while (list.options.length > kept) list.remove(kept);
    for (const g of state.panel.gauges) list.append(new Option(g.name, g.index));
  }
  if (state.lens) { $("lens-gauge").value = "-1"; openLens(); }
  for (const listener of relayoutListeners) await listener();
}

// ------------------------------------------------------------ the mouse

// The point in the gauge's own pixel grid, the one its mouse areas use.
function gaugePoint(event, canvas, gauge) {
  const rect = canvas.getBoundingClientRect();
  const [tx, ty, tw, th] = gauge.tile;
  const px = tx - gauge.x + (event.clientX - rect.left) / rect.width * tw;   // placed pixels within the gauge
  const py = ty - gauge.y + (event.clientY - rect.top) / rect.height * th;
  const x = Math.floor(px * gauge.pixels[0] / gauge.width), y = Math.floor(py * gauge.pixels[1] / gauge.height);
  return { x: Math.min(gauge.pixels[0] - 1, Math.max(0, x)), y: Math.min(gauge.pixels[1] - 1, Math.max(0, y)) };
}

function attachMouse(canvas, gauge) {
  let area = { repeat: false, cursor: "default" };
  let lastHover = 0, pending = null, repeat = null, held = false, asked = 0;
  const tooltip = $("tooltip");

  const hover = async (event) => {
    const at = gaugePoint(event, canvas, gauge);
    const mine = ++asked;
    let answer;
    try {
      answer = await post("api/hover", { gauge: gauge.index, ...at }, true);
    } catch { return; }
    if (mine !== asked) return;   // a later hover was sent meanwhile: this answer is stale
    area = answer;
    canvas.style.cursor = area.cursor;
    tooltip.hidden = !area.tooltip;
    tooltip.textContent = area.tooltip;
    tooltip.style.left = event.clientX + 14 + "px";
    tooltip.style.top = event.clientY + 18 + "px";
  };
  canvas.addEventListener("pointermove", (event) => {
    const now = performance.now();
    clearTimeout(pending);
    if (now - lastHover >= HoverEveryMs) { lastHover = now; hover(event); }
    else pending = setTimeout(() => { lastHover = performance.now(); hover(event); }, HoverEveryMs);
  });
  const stop = () => { held = false; clearTimeout(repeat); clearInterval(repeat); repeat = null; };
  canvas.addEventListener("pointerleave", () => { ++asked; tooltip.hidden = true; clearTimeout(pending); stop(); });
  canvas.addEventListener("pointerup", stop);
  canvas.addEventListener("contextmenu", (event) => event.preventDefault());
  canvas.addEventListener("pointerdown", (event) => {
    if (event.button !== 0 && event.button !== 2) return;
    event.preventDefault();
    const request = { gauge: gauge.index, ...gaugePoint(event, canvas, gauge), button: event.button === 2 ? "right" : "left" };
    held = true;
    post("api/click", request).then((result) => {
      if (!result.hit || !area.repeat || repeat || !held) return;
      repeat = setTimeout(() => {
        if (held) repeat = setInterval(() => post("api/click", request).catch(stop), RepeatEveryMs);
      }, RepeatAfterMs);
    }).catch(() => {});
  });
}

// ------------------------------------------------------------ the change feed

// The feed is a stream of frames: two 32-bit big-endian lengths (the
// JSON's, then its pictures'), the JSON, then the pictures' PNG bytes as
// they are, which the JSON names as "png": [offset, length]. Two zero
// lengths are a keep-alive.
const FrameLengths = 8;
const FeedRetryMs = 3000;

function picture(pictures, [at, length]) {
  return new Blob([pictures.subarray(at, at + length)], { type: "image/png" });
}

async function apply(message, pictures) {
  if (message.type === "sound") return sound(message.clip);
  // The layout was edited: pieces of the old one are passed over until the whole new picture comes.
  if (message.type === "layout") { state.wholeFrame = Infinity; return relayoutPage(); }
  const whole = message.type === "whole";
  // A page that fetched the layout just before an edit missed the message above.
  if (whole && message.layout !== state.panel.layout) await relayoutPage();
  if (!whole && message.frame <= state.wholeFrame) return;
  if (whole) state.wholeFrame = message.frame;
  const pieces = await Promise.all((message.tiles || []).map((t) =>
    createImageBitmap(picture(pictures, t.png)).then((image) => ({ t, image }))));
  for (const { t, image } of pieces) {
    const tile = state.tiles[t.g];
    tile.context.drawImage(image, t.x - tile.box[0], t.y - tile.box[1]);
    image.close();
  }
  if (state.lens && (whole || pieces.some(({ t }) => t.g === state.lens.gauge.index))) refreshLens();
  if (message.backings)
    for (const [number, backing] of Object.entries(message.backings)) {
      const shown = state.windows.get(Number(number)).backing;
      const before = shown.src;
      shown.src = URL.createObjectURL(picture(pictures, backing.png));
      if (before.startsWith("blob:")) URL.revokeObjectURL(before);
    }
  if (message.windows)
    for (const [number, shown] of Object.entries(message.windows)) {
      state.windows.get(Number(number)).element.hidden = !shown;
      const button = document.querySelector(`#window-buttons [data-window="${number}"]`);
      if (button) button.setAttribute("aria-pressed", String(shown));
    }
  if (message.variables) showVariables(message.variables);
  if (message.readings) showReadings(message.readings);
  if (message.events) addEvents(message.events, whole);
  showPlayback(message);
  document.body.dataset.frame = message.frame;
}

// Hands each whole frame of the feed to `take` as it arrives; returns when the feed ends.
async function readFeed(take) {
  const response = await fetch("api/feed", { cache: "no-store" });
  if (!response.ok) throw new Error((await response.text()).trim());
  say("");
  const reader = response.body.getReader();
  const text = new TextDecoder();
  let pending = new Uint8Array(0);
  for (;;) {
    const { value, done } = await reader.read();
    if (done) return;
    if (pending.length === 0) pending = value;
    else {
      const joined = new Uint8Array(pending.length + value.length);
      joined.set(pending);
      joined.set(value, pending.length);
      pending = joined;
    }
    let at = 0;
    while (pending.length - at >= FrameLengths) {
      const lengths = new DataView(pending.buffer, pending.byteOffset + at, FrameLengths);
      const jsonLength = lengths.getUint32(0), picturesAt = at + FrameLengths + jsonLength;
      const end = picturesAt + lengths.getUint32(4);
      if (end > pending.length) break;
      if (jsonLength > 0)
        take(JSON.parse(text.decode(pending.subarray(at + FrameLengths, picturesAt))), pending.subarray(picturesAt, end));
      at = end;
    }
    pending = pending.subarray(at);
  }
}

function listen() {
  let queue = Promise.resolve();
  const take = (message, pictures) => {
    // Sounds are played at once; pictures in the order they came.
    if (message.type === "sound") return sound(message.clip);
    queue = queue.then(() => apply(message, pictures)).catch((error) => say(String(error)));
  };
  const connect = () => readFeed(take)
    .catch((error) => error.message)
    .then((why) => {
      say(`the connection to devhost serve is lost${why ? ` (${why})` : ""}; retrying…`);
      setTimeout(connect, FeedRetryMs);
    });
  connect();
}

// ------------------------------------------------------------ playback, light, recording

function showPlayback(message) {
  const p = message.playback;
  state.playing = p.playing;
  $("play").textContent = p.playing ? "Pause" : "Play";
  $("play").setAttribute("aria-pressed", String(p.playing));
  $("seek").max = p.duration;
  if (document.activeElement !== $("seek")) $("seek").value = p.time;
  $("clock").textContent = `${p.time.toFixed(1)} / ${p.duration} s`;
  $("flight-name").textContent = p.name;
  if (document.activeElement !== $("speed")) $("speed").value = String(p.speed);
  state.light = message.light;
  $("night").setAttribute("aria-pressed", String(message.light === 0));
  if (document.activeElement !== $("light")) $("light").value = message.light;
  state.recording = message.recording;
  $("record").setAttribute("aria-pressed", String(message.recording));
  $("record").textContent = message.recording ? "Stop recording" : "Record";
  $("record-note").textContent = message.recording_stopped || "";
  $("expect").disabled = $("expect-gauge").disabled = !message.recording;
  const error = p.error ? `the flight stopped: ${p.error}` : "";
  if (error !== state.flightError) {
    state.flightError = error;
    $("status").textContent = error;
  }
}

function wirePlayback() {
  const fail = () => {};
  $("play").onclick = () => post("api/playback", { play: !state.playing }).catch(fail);
  $("speed").onchange = () => post("api/playback", { speed: Number($("speed").value) }).catch(fail);
  $("seek").onchange = () => post("api/playback", { seek: Number($("seek").value) }).catch(fail);
  $("night").onclick = () => post("api/light", { level: state.light === 0 ? 1 : 0 }).catch(fail);
  $("light").onchange = () => post("api/light", { level: Number($("light").value) }).catch(fail);
  $("record").onclick = () => post("api/record", { on: !state.recording }).catch(fail);
  for (const g of state.panel.gauges) $("expect-gauge").append(new Option(g.name, g.index));
  $("expect").onclick = () => post("api/expect", { gauge: Number($("expect-gauge").value) }).then((added) =>
    say(`expecting ${added.expectations} reading${added.expectations === 1 ? "" : "s"} of ${added.gauge} at ${added.time.toFixed(1)} s`)).catch(fail);
  $("flight-file").onchange = async () => {
    const file = $("flight-file").files[0];
    if (file) await post("api/flight", await file.text()).catch(fail);
    $("flight-file").value = "";
  };
}

// ------------------------------------------------------------ controls and watches

// Built once: a group per kind of variable (each can be folded), a row
// per variable. Updates change the rows in place.
function controlsFor(panel) {
  const groups = new Map();
  for (const v of panel.variables) {
    const group = v.group || "variables";
    if (!groups.has(group)) {
      const details = document.createElement("details");
      details.className = "group";
      details.open = true;
      details.innerHTML = "<summary></summary>";
      details.firstChild.textContent = group;
      $("controls").append(details);
      groups.set(group, details);
    }
    const row = document.createElement("div");
    row.className = "control";
    row.dataset.variable = v.name;
    const label = document.createElement("label");
    label.textContent = v.name;
    label.title = v.description;
    const field = document.createElement("input");
    field.type = "text";
    field.name = v.name;
    field.setAttribute("aria-label", v.name);
    field.title = v.description;
    const message = document.createElement("span");
    message.className = "rejection";
    message.setAttribute("role", "alert");
    // Only the answer to the latest value marks the field: an earlier one may come after it.
    let asked = 0;
    const send = (value) => {
      const mine = ++asked;
      return post("api/set", { name: v.name, value })
        .then(() => "", (error) => error.message)
        .then((text) => { if (mine === asked) reject(v.name, text); });
    };
    field.onchange = () => send(field.value);
    field.oninput = () => reject(v.name, "");   // the mark stays until the value is changed
    row.append(label);
    let slider = null;
    if (v.slider) {
      slider = document.createElement("input");
      slider.type = "range";
      slider.min = v.slider.min;
      slider.max = v.slider.max;
      slider.step = v.slider.step;
      slider.setAttribute("aria-label", v.name + " slider");
      const slide = throttle(send, SlideEveryMs);
      slider.oninput = () => {
        field.value = slider.value + v.slider.unit;
        slide(field.value);
      };
      row.append(slider);
    } else {
      row.append(document.createElement("span"));
    }
    row.append(field);
    const unit = document.createElement("span");
    unit.className = "unit";
    unit.textContent = v.accepts ? `${v.accepts}; host: ${v.unit}` : `host: ${v.unit}`;
    row.append(unit, message);
    groups.get(group).append(row);
    state.controls.set(v.name, { row, field, slider, message });

    const option = document.createElement("option");
    option.value = option.textContent = v.name;
    $("watch-choice").append(option);
  }
  $("watch-add").onclick = () => watch($("watch-choice").value);
  $("control-filter").oninput = () => {
    const words = $("control-filter").value.trim().toLowerCase();
    for (const [name, c] of state.controls) c.row.hidden = words !== "" && !name.toLowerCase().includes(words);
    for (const details of groups.values()) {
      const shown = [...details.querySelectorAll(".control")].some((row) => !row.hidden);
      details.hidden = !shown;
      details.open = words ? shown : true;
    }
  };
}

// A value the server refused is marked at its field with the server's
// words, until the value is changed.
function reject(name, text) {
  const c = state.controls.get(name);
  if (!c) return;
  c.row.classList.toggle("rejected", Boolean(text));
  c.field.setAttribute("aria-invalid", String(Boolean(text)));
  c.message.textContent = text;
  if (text) say("");
}

// Each variable comes as the host's number and as the catalogue tells it
// ("463 kt", "122.800 MHz", "on"); fields show the latter, plots the former.
function showVariables(values) {
  Object.assign(state.variables, values);
  for (const [name, v] of Object.entries(values)) {
    const c = state.controls.get(name);
    if (!c) continue;
    if (document.activeElement !== c.field && !c.row.classList.contains("rejected")) {
      c.field.value = v.told;
      c.field.size = Math.max(8, v.told.length + 1);   // the whole value, never cut
    }
    if (c.slider && document.activeElement !== c.slider) {
      const told = parseFloat(v.told);
      if (Number.isFinite(told)) c.slider.value = told;
    }
  }
  for (const [name, w] of state.watches) {
    w.values.push(state.variables[name].value);
    if (w.values.length > TrendLength) w.values.shift();
    w.label.textContent = state.variables[name].told;
    plot(w);
  }
}

function watch(name) {
  if (!name || state.watches.has(name)) return;
  const row = document.createElement("div");
  row.className = "watch";
  row.innerHTML = "<span></span><b></b><canvas width='300' height='40'></canvas>";
  row.firstChild.textContent = name;
  row.firstChild.title = "click to stop watching";
  row.firstChild.onclick = () => { state.watches.delete(name); row.remove(); };
  $("watches").append(row);
  state.watches.set(name, { values: [state.variables[name].value], canvas: row.lastChild, label: row.children[1] });
}

function plot(w) {
  const c = w.canvas.getContext("2d");
  const values = w.values.filter((v) => v !== null && v !== undefined);
  c.clearRect(0, 0, w.canvas.width, w.canvas.height);
  if (values.length < 2) return;
  const low = Math.min(...values), high = Math.max(...values), span = high - low || 1;
  c.strokeStyle = "#e0a030";
  c.beginPath();
  values.forEach((v, i) => {
    const x = i / (TrendLength - 1) * w.canvas.width, y = w.canvas.height - 2 - (v - low) / span * (w.canvas.height - 4);
    i ? c.lineTo(x, y) : c.moveTo(x, y);
  });
  c.stroke();
}

// ------------------------------------------------------------ readings

function showReadings(readings) {
  for (const [index, texts] of Object.entries(readings)) {
    const gauge = state.panel.gauges[Number(index)];
    let item = document.querySelector(`#readings [data-gauge="${index}"]`);
    if (!item) {
      item = document.createElement("li");
      item.dataset.gauge = index;
      item.innerHTML = "<b></b> <span></span>";
      item.firstChild.textContent = gauge.name;
      $("readings").append(item);
    }
    item.lastChild.textContent = texts.join(" · ");
    item.hidden = texts.length === 0;
  }
}

// ------------------------------------------------------------ key events

// A run of one event repeated, or of two alternating, stands as one row.
// Rows are appended as they come and changed in place; the oldest go.
function addEvents(events, whole) {
  if (whole) {
    state.events = [];
    $("events").replaceChildren();
  }
  for (const e of events) {
    const key = e.window_toggle ? `panel window ${e.id} toggled` : `${e.name || "event " + e.id}(${e.value})`;
    const last = state.events[state.events.length - 1];
    const before = state.events[state.events.length - 2];
    if (last && last.pattern[last.next] === key) {
      last.count += e.count;
      last.next = (last.next + 1) % last.pattern.length;
      last.lastFrame = e.last_frame;
      showEvent(last);
    } else if (last && last.pattern.length === 1 && last.count === 1 && before && before.pattern.length === 1 &&
               before.count === 1 && before.pattern[0] === key && e.count === 1) {
      state.events.pop().item.remove();
      before.pattern = [key, last.pattern[0]];
      before.count = 3;
      before.next = 1;
      before.lastFrame = e.last_frame;
      showEvent(before);
    } else {
      const row = { pattern: [key], count: e.count, next: 0, firstFrame: e.frame, lastFrame: e.last_frame,
                    item: document.createElement("li") };
      row.item.innerHTML = "<span class='frames'></span> <span></span> <span class='count'></span>";
      state.events.push(row);
      $("events").append(row.item);
      showEvent(row);
    }
  }
  while (state.events.length > MaxEventRows) state.events.shift().item.remove();
  const list = $("events");
  list.scrollTop = list.scrollHeight;
}

function eventWords() {
  return $("event-filter").value.split(",").map((w) => w.trim().toUpperCase()).filter(Boolean);
}

function showEvent(row, words = eventWords()) {
  const text = row.pattern.join(" / ");
  const item = row.item;
  item.children[0].textContent = row.firstFrame === row.lastFrame ? `${row.firstFrame}` : `${row.firstFrame}–${row.lastFrame}`;
  item.children[1].textContent = text;
  item.children[2].textContent = row.count > 1 ? `×${row.count}` : "";
  item.hidden = words.length > 0 && !words.some((w) => text.toUpperCase().includes(w));
}

function filterEvents() {
  const words = eventWords();
  for (const row of state.events) showEvent(row, words);
}

// ------------------------------------------------------------ sound

// The module's own clip, fetched once and played through Web Audio; the
// browser lets a page sound only after the user's first click.
function sound(clip) {
  document.body.dataset.lastSound = clip;
  if (state.muted || !state.audio) return;
  if (!state.clips.has(clip))
    state.clips.set(clip, fetch(`api/clip/${clip}`).then((r) => r.arrayBuffer()).then((b) => state.audio.decodeAudioData(b)));
  state.clips.get(clip).then((buffer) => {
    const source = state.audio.createBufferSource();
    source.buffer = buffer;
    source.connect(state.audio.destination);
    source.start();
    document.body.dataset.soundsPlayed = Number(document.body.dataset.soundsPlayed || 0) + 1;
  }).catch(() => state.clips.delete(clip));
}

function wireSound() {
  const wake = () => {
    if (!state.audio) state.audio = new AudioContext();
    if (state.audio.state === "suspended") state.audio.resume();
  };
  document.addEventListener("pointerdown", wake, { capture: true });
  document.addEventListener("keydown", wake, { capture: true });
  const mute = $("mute");
  const show = () => {
    mute.setAttribute("aria-pressed", String(state.muted));
    mute.textContent = state.muted ? "Sound off" : "Sound on";
  };
  mute.onclick = () => {
    state.muted = !state.muted;
    localStorage.setItem("vardex-muted", String(state.muted));
    show();
  };
  show();
}

// ------------------------------------------------------------ the lens

// A gauge magnified in the side pane, live and clickable as on the panel:
// the server draws it alone at 2 or 3 times its placed size, or at its own
// pixel size, so that small print (the radios' frequency windows) is drawn
// at that size rather than enlarged. Asked again when its tile changes, at
// most every LensEveryMs.
function openLens() {
  const index = Number($("lens-gauge").value);
  $("lens-view").replaceChildren();
  if (!(index >= 0)) { state.lens = null; return; }
  const gauge = state.panel.gauges[index];
  const canvas = document.createElement("canvas");
  canvas.dataset.lens = gauge.index;
  canvas.setAttribute("aria-label", `${gauge.name} magnified`);
  const close = document.createElement("button");
  close.type = "button";
  close.textContent = "×";
  close.setAttribute("aria-label", "Close the lens");
  close.onclick = () => { $("lens-gauge").value = "-1"; openLens(); };
  $("lens-view").append(close, canvas);
  const size = $("lens-scale").value === "full" ? "own" : $("lens-scale").value;
  const lens = { gauge, canvas, context: canvas.getContext("2d"), size };
  lens.refresh = throttle(() => drawLens(lens), LensEveryMs);
  state.lens = lens;
  // The whole gauge is drawn, also where its tile is cut by its window's edge.
  attachMouse(canvas, { ...gauge, tile: [gauge.x, gauge.y, gauge.width, gauge.height] });
  refreshLens();
}

function refreshLens() { state.lens?.refresh(); }

function drawLens(lens) {
  if (state.lens !== lens) return;   // closed meanwhile
  return fetch(`api/lens?gauge=${lens.gauge.index}&size=${lens.size}`)
    .then((r) => r.ok ? r.blob() : r.text().then((text) => Promise.reject(new Error(text.trim()))))
    .then((blob) => createImageBitmap(blob))
    .then((image) => {
      if (state.lens === lens) {
        if (lens.canvas.width !== image.width || lens.canvas.height !== image.height) {
          lens.canvas.width = image.width;
          lens.canvas.height = image.height;
        }
        lens.context.clearRect(0, 0, image.width, image.height);
        lens.context.drawImage(image, 0, 0);
        lens.canvas.dataset.drawn = Number(lens.canvas.dataset.drawn || 0) + 1;
      }
      image.close();
    })
    .catch((error) => say(error.message));
}

function wireLens(panel) {
  for (const g of panel.gauges) {
    const option = document.createElement("option");
    option.value = g.index;
    option.textContent = g.name;
    $("lens-gauge").append(option);
  }
  $("lens-gauge").onchange = openLens;
  $("lens-scale").onchange = openLens;
}

// ------------------------------------------------------------ screenshot

// The panel's windows as shown now, at their own size, saved as a PNG.
function screenshot() {
  const screen = $("screen");
  const canvas = document.createElement("canvas");
  canvas.width = parseInt(screen.style.width, 10);
  canvas.height = parseInt(screen.style.height, 10);
  const context = canvas.getContext("2d");
  for (const w of state.panel.windows) {
    const shown = state.windows.get(w.number);
    if (shown.element.hidden) continue;
    if (shown.backing.complete && shown.backing.naturalWidth) context.drawImage(shown.backing, w.x, w.y);
    for (const tile of state.tiles)
      if (tile.gauge.window === w.number) context.drawImage(tile.canvas, w.x + tile.box[0], w.y + tile.box[1]);
  }
  canvas.toBlob((blob) => {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = `vardex-panel-frame-${document.body.dataset.frame}.png`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }, "image/png");
}

// ------------------------------------------------------------ start

async function start() {
  const response = await fetch("api/panel");
  state.panel = await response.json();
  layOut(state.panel);
  controlsFor(state.panel);
  wirePlayback();
  wireSound();
  wireLens(state.panel);
  $("screenshot").onclick = screenshot;
  $("event-filter").oninput = filterEvents;
  listen();
}

export const pageStarted = start().catch((error) => say(String(error)));
