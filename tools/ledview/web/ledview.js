// The live page of `ledview serve`: draws the frames the server sends in the
// LED look of the GIF output and sends the controls back.
'use strict';

const canvas = document.getElementById('sign');
const context = canvas.getContext('2d');
const statusLine = document.getElementById('status');
const errorBox = document.getElementById('error');
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

function post(path, body) {
  const options = {method: 'POST'};
  if (body !== undefined) {
    options.headers = {'Content-Type': 'application/json'};
    options.body = JSON.stringify(body);
  }
  return fetch(path, options).then(async (r) => {
    if (!r.ok) showError((await r.text()).trim());
  }).catch(() => {});
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
}

function setShow(data) {
  show = JSON.parse(data);
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
      if (e.key === 'Enter') post('string', {id: id, text: input.value});
    });
    const set = document.createElement('button');
    set.type = 'button';
    set.textContent = 'Set';
    set.addEventListener('click', () => post('string', {id: id, text: input.value}));
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
  const page = state.page >= 0 ? 'page ' + (state.page + 1) : 'no page yet';
  statusLine.textContent = page + ' \u00b7 ' + (state.t / 1000).toFixed(2) + ' s \u00b7 ' +
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
    setShow(e.data);
    showError('');
  });
  stream.addEventListener('reload', (e) => {
    setShow(e.data);
    showError('');
  });
  stream.addEventListener('error', (e) => {
    if (typeof e.data === 'string') showError(e.data);
  });
  stream.addEventListener('state', (e) => {
    state = JSON.parse(e.data);
    playButton.textContent = state.playing ? 'Pause' : 'Play';
    speedInput.value = Math.round(Math.log2(state.speed));
    speedShown.textContent = speedText(state.speed);
    updateStatus();
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

playButton.addEventListener('click', () => post(state.playing ? 'pause' : 'play'));
document.getElementById('step').addEventListener('click', () => post('step'));
document.getElementById('restart').addEventListener('click', () => post('restart'));
speedInput.addEventListener('input', () => {
  const speed = Math.pow(2, Number(speedInput.value));
  speedShown.textContent = speedText(speed);
  post('speed', {speed: speed});
});
document.getElementById('seek').addEventListener('submit', (e) => {
  e.preventDefault();
  post('seek', {second: Number(document.getElementById('second').value)});
});
window.addEventListener('resize', layout);
setInterval(updateStatus, 250);
connect();
