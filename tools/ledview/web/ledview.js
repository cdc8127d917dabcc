// The page of `ledview serve` and of the folders `ledview export-web`
// writes: draws the sign in the LED look of the GIF output, with controls.
// Its frames come from one of two sources: the server's events, with the
// controls sent back to it, or, when show.js describes a show
// (ledviewShow), the engine as a WebAssembly module in the page.
'use strict';

const canvas = document.getElementById('sign');
const context = canvas.getContext('2d');
const statusLine = document.getElementById('status');
const errorBox = document.getElementById('error');
const warningsBox = document.getElementById('warnings');
const lostBox = document.getElementById('lost');
const playButton = document.getElementById('play');
const speedInput = document.getElementById('speed');
const speedShown = document.getElementById('speedshown');

let show = null;      // width, height, palette, dot, strings, name
let leds = null;      // the LEDs last drawn
let picture = null;   // ImageData of the canvas
let pixels = null;    // its pixels as 32-bit words
let scale = 0;
let dot = null;       // the pixels of one LED's cell that its dot covers
let colours = null;   // palette as ImageData words
let state = {playing: true, speed: 1, t: 0, page: -1};
let connected = false;
let arrivals = [];    // receipt times of the last second's frames
let stream = null;
let retry = 500;      // the wait before the next reconnection, in ms
let showWarnings = []; // the show's warnings
let stringWarning = ''; // what the last live string's answer said
// The engine in the page, when it is the frame source.
const local = {sign: null, bill: null, nextSecond: 1000, due: 0};
// The moment the first frame was drawn (performance.now()), for tests.
window.ledviewFirstFrame = null;

function post(path, body) {
  const options = {method: 'POST'};
  if (body !== undefined) {
    options.headers = {'Content-Type': 'application/json'};
    options.body = JSON.stringify(body);
  }
  return fetch(path, options).then(async (r) => {
    const text = (await r.text()).trim();
    if (!r.ok) showError(text);
    else if (path === 'string') setStringWarning(text);
  }).catch(() => {});
}

function renderWarnings() {
  const lines = showWarnings.concat(stringWarning !== '' ? [stringWarning] : []);
  warningsBox.textContent = lines.join('\n');
  warningsBox.hidden = lines.length === 0;
}

function setStringWarning(text) {
  stringWarning = text;
  renderWarnings();
}

function showError(text) {
  errorBox.textContent = text;
  errorBox.hidden = text === '';
}

// Decodes the run bytes: colour value in the low three bits, run length less
// one in the high five.
function decodeLeds(text, count) {
  const bytes = atob(text);
  const out = new Uint8Array(count);
  let k = 0;
  for (let i = 0; i < bytes.length && k < count; ++i) {
    const b = bytes.charCodeAt(i);
    const v = b & 7;
    for (let n = (b >> 3) + 1; n > 0 && k < count; --n) out[k++] = v;
  }
  return out;
}

function word(rgb) {
  // ImageData words are little-endian RGBA.
  return (0xff000000 | (rgb & 0xff) << 16 | (rgb & 0xff00) | (rgb >> 16 & 0xff)) >>> 0;
}

// The largest whole number of pixels a LED that fits the stage, as the
// GIF output draws it at that scale: a dot from 3 pixels up, else squares.
function layout() {
  if (!show) return;
  const stage = document.getElementById('stage');
  const room = stage.getBoundingClientRect();
  const fit = Math.floor(Math.min((room.width - 24) / show.width, (room.height - 24) / show.height));
  const s = Math.max(1, fit);
  if (s === scale && canvas.width === show.width * s && canvas.height === show.height * s) return;
  scale = s;
  canvas.width = show.width * s;
  canvas.height = show.height * s;
  picture = context.createImageData(canvas.width, canvas.height);
  pixels = new Uint32Array(picture.data.buffer);
  dot = new Uint8Array(s * s).fill(1);
  if (s >= 3) {
    const centre = (s - 1) / 2;
    const radius = s * show.dot;
    for (let y = 0; y < s; ++y) {
      for (let x = 0; x < s; ++x) {
        const dx = x - centre, dy = y - centre;
        dot[y * s + x] = dx * dx + dy * dy <= radius * radius ? 1 : 0;
      }
    }
  }
  pixels.fill(word(show.palette[0]));
  const previous = leds;
  leds = null;
  if (previous) draw(previous);
}

function draw(next) {
  const w = show.width, s = scale, rowpixels = canvas.width;
  for (let ly = 0; ly < show.height; ++ly) {
    for (let lx = 0; lx < w; ++lx) {
      const i = ly * w + lx;
      const v = next[i];
      if (leds && leds[i] === v) continue;
      const c = colours[v !== 0 ? v : 8];
      const base = ly * s * rowpixels + lx * s;
      for (let y = 0; y < s; ++y) {
        for (let x = 0; x < s; ++x) {
          if (dot[y * s + x]) pixels[base + y * rowpixels + x] = c;
        }
      }
    }
  }
  leds = next;
  context.putImageData(picture, 0, 0);
  if (window.ledviewFirstFrame === null) window.ledviewFirstFrame = performance.now();
}

function setShow(data) {
  show = data;
  showWarnings = Array.isArray(show.warnings) ? show.warnings : [];
  renderWarnings();
  colours = show.palette.map(word);
  document.title = 'ledview: ' + show.name;
  scale = 0;
  leds = null;
  layout();
  const box = document.getElementById('strings');
  box.replaceChildren();
  for (const id of show.strings) {
    const label = document.createElement('label');
    const input = document.createElement('input');
    input.type = 'text';
    input.placeholder = 'live string ' + id;
    input.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') control.string(id, input.value);
    });
    const set = document.createElement('button');
    set.type = 'button';
    set.textContent = 'Set';
    set.addEventListener('click', () => control.string(id, input.value));
    label.append('String ' + id + ' ', input, ' ', set);
    box.append(label);
  }
}

function speedText(speed) {
  return (speed < 1 ? speed.toString().replace(/^0/, '') : speed) + 'x';
}

function updateStatus() {
  const now = performance.now();
  arrivals = arrivals.filter((t) => now - t < 1000);
  if (!connected) return;
  const page = state.page >= 0 ? 'page ' + (state.page + 1) + ' \u00b7 ' : local.sign ? '' : 'no page yet \u00b7 ';
  statusLine.textContent = page + (state.t / 1000).toFixed(2) + ' s \u00b7 ' +
      arrivals.length + ' fps \u00b7 ' + (state.playing ? 'playing' : 'paused') + ' at ' +
      speedText(state.speed) + (show ? ' \u00b7 ' + show.name + ', ' + show.width + 'x' + show.height : '');
}

function setConnected(on, wait) {
  connected = on;
  canvas.classList.toggle('stale', !on);
  lostBox.hidden = on;
  statusLine.classList.toggle('lost', !on);
  if (!on) {
    const text = 'disconnected: the server does not answer; trying again in ' + (wait / 1000).toFixed(1) + ' s';
    lostBox.textContent = 'disconnected';
    statusLine.textContent = text;
  }
}

function connect() {
  stream = new EventSource('events');
  stream.onopen = () => {
    retry = 500;
    setConnected(true);
  };
  stream.onerror = (e) => {
    // The server's own "error" events (build mistakes) come here too.
    if (e.data !== undefined) return;
    // Reconnect ourselves, waiting longer after every failure.
    stream.close();
    setConnected(false, retry);
    setTimeout(connect, retry);
    retry = Math.min(retry * 2, 10000);
  };
  stream.addEventListener('show', (e) => {
    const first = show === null;
    setShow(JSON.parse(e.data));
    showError('');
    if (first) applyAddress();
  });
  stream.addEventListener('reload', (e) => {
    setShow(JSON.parse(e.data));
    showError('');
  });
  stream.addEventListener('error', (e) => {
    if (typeof e.data === 'string') showError(e.data);
  });
  stream.addEventListener('state', (e) => {
    state = JSON.parse(e.data);
    stateShown();
  });
  stream.addEventListener('frame', (e) => {
    const f = JSON.parse(e.data);
    arrivals.push(performance.now());
    if (!show || f.w !== show.width || f.h !== show.height) return;
    state.t = f.t;
    state.page = f.page;
    draw(decodeLeds(f.leds, f.w * f.h));
  });
}

function stateShown() {
  playButton.textContent = state.playing ? 'Pause' : 'Play';
  speedInput.value = Math.round(Math.log2(state.speed));
  speedShown.textContent = speedText(state.speed);
  updateStatus();
}

// The controls, sent to the server.
const server = {
  play: () => post('play'),
  pause: () => post('pause'),
  step: () => post('step'),
  restart: () => post('restart'),
  speed: (speed) => post('speed', {speed: speed}),
  seek: (second) => post('seek', {second: second}),
  string: (id, text) => post('string', {id: id, text: text}),
};

// The engine in the page plays as serve's does: a tick every tickms / speed
// of wall time (one NotifyActtion and RefreshBuffer; a NotifySecond with
// the clock moved on every 1000 simulated ms), ticks missed by more than a
// quarter second dropped rather than caught up.

function base64Bytes(text) {
  const chars = atob(text);
  const bytes = new Uint8Array(chars.length);
  for (let i = 0; i < chars.length; ++i) bytes[i] = chars.charCodeAt(i);
  return bytes;
}

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = src;
    script.onload = resolve;
    script.onerror = () => reject(new Error('cannot load ' + src));
    document.head.append(script);
  });
}

// What the sign's LEDs show of a colour value: no blue on a mode-2 sign,
// every colour in the one colour of a mode-1 sign.
function signColours(frame, mode) {
  for (let i = 0; i < frame.length; ++i) {
    const v = frame[i] & 7;
    frame[i] = mode === 1 ? (v !== 0 ? 1 : 0) : mode === 2 ? v & 3 : v;
  }
  return frame;
}

function localFrame() {
  const next = signColours(local.sign.frame(), show.mode);
  if (leds && leds.length === next.length && leds.every((v, i) => v === next[i])) return;
  arrivals.push(performance.now());
  draw(next);
}

function localTick() {
  state.t += show.tickms;
  while (state.t >= local.nextSecond) {
    local.sign.second();
    local.nextSecond += 1000;
  }
  local.sign.tick();
}

// From the start, the clocks from the machine's time; a new start is a new
// show to the engine too.
function localStart() {
  local.sign.setTime(Date.now());
  local.sign.load(local.bill);
  state.t = 0;
  local.nextSecond = 1000;
  local.due = performance.now();
}

function localPlay() {
  if (state.playing) {
    const now = performance.now();
    const period = show.tickms / state.speed;
    let ticked = false;
    while (local.due <= now) {
      localTick();
      ticked = true;
      local.due += period;
    }
    if (now - local.due > 250) local.due = now + period;
    if (ticked) localFrame();
  }
  setTimeout(localPlay, 8);
}

function localDo(action) {
  try {
    action();
    showError('');
  } catch (e) {
    showError(e.message);
  }
  stateShown();
}

const inPage = {
  play: () => localDo(() => { state.playing = true; local.due = performance.now(); }),
  pause: () => localDo(() => { state.playing = false; }),
  step: () => localDo(() => { state.playing = false; localTick(); localFrame(); }),
  restart: () => localDo(() => { localStart(); localFrame(); }),
  speed: (speed) => localDo(() => { state.speed = speed; }),
  seek: (second) => localDo(() => {
    if (!(second >= 0 && second <= 3600)) throw new RangeError('a second from 0 to 3600, please');
    const target = Math.round(second * 1000);
    if (target < state.t) localStart();
    while (state.t + show.tickms <= target) localTick();
    localFrame();
    local.due = performance.now();
  }),
  string: (id, text) => localDo(() => { local.sign.setString(id, text); }),
};

async function startInPage(data) {
  statusLine.textContent = 'loading the engine';
  try {
    await loadScript('ledview-engine.js');
    await loadScript('ledview-module.js');
    local.bill = base64Bytes(data.bill);
    local.sign = await window.Ledview.createSign({
      width: data.width, height: data.height, mode: data.mode, font: base64Bytes(data.font),
    });
    setShow(data);
    localStart();
  } catch (e) {
    statusLine.textContent = 'the show cannot play in this page';
    showError(e.message);
    return;
  }
  connected = true;
  localFrame();
  stateShown();
  applyAddress();
  localPlay();
}

// ?at=SECONDS starts at that moment, ?pause paused.
function applyAddress() {
  const query = new URLSearchParams(location.search);
  if (query.has('pause')) control.pause();
  if (query.has('at')) control.seek(Number(query.get('at')));
}

const control = typeof window.ledviewShow === 'object' && window.ledviewShow !== null ? inPage : server;
playButton.addEventListener('click', () => (state.playing ? control.pause() : control.play()));
document.getElementById('step').addEventListener('click', () => control.step());
document.getElementById('restart').addEventListener('click', () => control.restart());
speedInput.addEventListener('input', () => {
  const speed = Math.pow(2, Number(speedInput.value));
  speedShown.textContent = speedText(speed);
  control.speed(speed);
});
document.getElementById('seek').addEventListener('submit', (e) => {
  e.preventDefault();
  control.seek(Number(document.getElementById('second').value));
});
window.addEventListener('resize', layout);
setInterval(updateStatus, 250);
if (control === inPage) {
  startInPage(window.ledviewShow);
} else {
  connect();
}
