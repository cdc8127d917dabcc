// Opens folders `ledview export-web` wrote in headless Chromium, served by a
// plain static server on loopback (python3 -m http.server), and compares
// the centre of every LED in a screenshot with the native render at the
// same simulated time: hello.json at two moments, and a show whose live
// string is typed into the page's box. Also that the page shows the show's
// warnings, and plays when opened from the file system. Prints the time
// from page load to the first frame.
//   node --experimental-websocket export_page.mjs WORK_FOLDER
// with LEDVIEW_COMMAND naming the native command.
import {spawn, execFileSync} from 'node:child_process';
import {openTab} from '../../tests/support/devtools.mjs';
import {mkdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {inflateSync} from 'node:zlib';
import {join, resolve} from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';

const work = resolve(process.argv[2]);
const ledview = process.env.LEDVIEW_COMMAND;
const root = resolve(fileURLToPath(import.meta.url), '../../..');
const children = [];
function fail(why) {
  console.error(`export_page: ${why}`);
  for (const c of children) c.kill('SIGKILL');
  process.exit(1);
}
setTimeout(() => fail('timed out'), 90000);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The command, as a user runs it.
rmSync(work, {recursive: true, force: true});
mkdirSync(work, {recursive: true});
const run = (...args) => execFileSync(ledview, args, {stdio: ['ignore', 'ignore', 'pipe']});
const hello = join(root, 'tools/ledview/examples/hello.json');
const live = join(root, 'web/tests/live.json');
run('export-web', hello, '-o', join(work, 'hello'));
// A narrower sign than the description's: the area reaches outside it, a warning.
run('export-web', live, '--size', '48x16', '-o', join(work, 'live'));
const references = {
  hello013: ['render', hello, '--at', '0.13'],
  hello15: ['render', hello, '--at', '1.5'],
  live: ['render', live, '--size', '48x16', '--at', '2', '--string', '1=Gate 7@1.01'],
};
for (const [name, args] of Object.entries(references)) {
  run(...args, '--look', 'plain', '--scale', '1', '-q', '-o', join(work, name + '.png'));
}

// 8-bit RGB or RGBA PNGs without interlace: what the command and Chromium write.
function readPng(bytes) {
  let at = 8, width = 0, height = 0, type = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const kind = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      type = body[9];
      if (body[8] !== 8 || (type !== 2 && type !== 6) || body[12] !== 0) fail(`a PNG this test cannot read (${body.toString('hex')})`);
    } else if (kind === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const bpp = type === 6 ? 4 : 3, stride = width * bpp;
  const out = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const v = raw[y * (stride + 1) + 1 + x];
      const a = x >= bpp ? out[y * stride + x - bpp] : 0;
      const b = y > 0 ? out[(y - 1) * stride + x] : 0;
      const c = x >= bpp && y > 0 ? out[(y - 1) * stride + x - bpp] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      out[y * stride + x] = (v + predicted) & 255;
    }
  }
  return {width, height, rgb: (x, y) => {
    const i = y * stride + x * bpp;
    return (out[i] << 16) | (out[i + 1] << 8) | out[i + 2];
  }};
}

// A static server for the work folder.
const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '-d', work, '0'],
                     {stdio: ['ignore', 'pipe', 'ignore']});
children.push(server);
const port = await new Promise((resolve) => {
  let text = '';
  server.stdout.on('data', (d) => {
    text += d;
    const m = text.match(/port (\d+)/);
    if (m) resolve(m[1]);
  });
});

const tab = await openTab('about:blank', join(work, 'profile'), fail, {
  tries: 150,
  explain: "document.getElementById('status').textContent + '\", its error box \"' + " +
           "document.getElementById('error').textContent",
});
children.push(tab.chromium);
const {send, evaluate, until} = tab;
await send('Emulation.setDeviceMetricsOverride', {width: 1000, height: 700, deviceScaleFactor: 1, mobile: false});
async function open(url) {
  await send('Page.navigate', {url});
  await until(`location.href === ${JSON.stringify(url)} && window.ledviewFirstFrame > 0`, `a first frame at ${url}`);
}

// Every LED centre of the page's sign against the native picture (one pixel
// per LED, black for an unlit LED, which the page draws dark grey); and the
// corner of every LED's cell black, as the LED look draws it.
async function compare(reference, what) {
  await until("document.getElementById('status').textContent.includes('paused')", `${what} paused`);
  await sleep(100);
  const box = await evaluate(`(() => { const r = canvas.getBoundingClientRect();
    return {x: Math.round(r.left), y: Math.round(r.top), scale, width: show.width, height: show.height}; })()`);
  const png = Buffer.from((await send('Page.captureScreenshot', {format: 'png'})).result.data, 'base64');
  writeFileSync(join(work, reference + '.page.png'), png);  // to look at
  const shot = readPng(png);
  const native = readPng(readFileSync(join(work, reference + '.png')));
  if (native.width !== box.width || native.height !== box.height) fail(`${what}: the page's sign is ${box.width}x${box.height}`);
  if (box.scale < 5) fail(`${what}: LEDs of ${box.scale} pixels are too small to tell centres from gaps`);
  let lit = 0, wrong = [];
  for (let y = 0; y < box.height; ++y) {
    for (let x = 0; x < box.width; ++x) {
      const expected = native.rgb(x, y) === 0 ? 0x2a2a2a : native.rgb(x, y);
      const half = Math.floor(box.scale / 2);
      const centre = shot.rgb(box.x + x * box.scale + half, box.y + y * box.scale + half);
      const corner = shot.rgb(box.x + x * box.scale, box.y + y * box.scale);
      if (expected !== 0x2a2a2a) ++lit;
      if (centre !== expected || corner !== 0) wrong.push(`(${x},${y}) ${centre.toString(16)}/${corner.toString(16)} not ${expected.toString(16)}/0`);
    }
  }
  if (lit === 0) fail(`${what}: the native picture has no lit LED to compare`);
  if (wrong.length > 0) fail(`${what}: ${wrong.length} LEDs differ from the native render, e.g. ${wrong.slice(0, 4).join(', ')}`);
  console.log(`export_page: ${what}: ${box.width * box.height} LEDs (${lit} lit) as the native render`);
}

const base = `http://127.0.0.1:${port}`;
await open(`${base}/hello/index.html?at=0.13&pause`);
const firstFrame = await evaluate('window.ledviewFirstFrame');
await compare('hello013', 'hello.json at 0.13 s, mid-wipe');
// The page's own seek control, forward to the second element.
await evaluate("document.getElementById('second').value = '1.5'; document.getElementById('seek').requestSubmit()");
await until('state.t === 1500', 'the jump to 1.5 s');
await compare('hello15', 'hello.json at 1.5 s');
if (!(await evaluate("document.getElementById('warnings').hidden"))) fail('hello.json: a warnings box, with no warnings');

// The live string typed at 1 s, applied before the next tick, as the
// native render applies it at 1.01 s.
await open(`${base}/live/index.html?at=1&pause`);
await until('state.t === 1000', 'the jump to 1 s');
const warned = await evaluate("document.getElementById('warnings').hidden ? '' : document.getElementById('warnings').textContent");
if (!/warning: .*outside the 48x16 sign/.test(warned || '')) fail(`the live show's warning is not shown (box: "${warned}")`);
await evaluate("document.querySelector('#strings input').focus()");
await send('Input.insertText', {text: 'Gate 7'});
for (const type of ['keyDown', 'keyUp']) {
  await send('Input.dispatchKeyEvent', {type, key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13});
}
await evaluate("document.getElementById('second').value = '2'; document.getElementById('seek').requestSubmit()");
await until('state.t === 2000', 'the jump to 2 s');
await compare('live', 'live string typed into the page, at 2 s');

// From the file system, where Chromium lets a page load scripts beside it.
await open(pathToFileURL(join(work, 'hello/index.html')).href);
await until('state.t > 0 && state.playing', 'the show playing from the file system');
console.log('export_page: plays from the file system too');
console.log(`first frame: ${firstFrame.toFixed(0)} ms after page load (headless Chromium, static server)`);
for (const c of children) c.kill();
process.exit(0);
