// The package's performance against the native library, in one run: the
// 16-text board's simulated seconds per wall second in node and natively
// (build/reference/ledview_perf), the module's size raw and gzipped (the
// wasm inside it decoded from its base64), and the time from page load to
// the first frame of an exported show in headless Chromium when the
// export-web test wrote it (LEDVIEW_WEB_FIRST_FRAME_MS).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { ledview, work, cjkFont, packageDir } from './support.mjs';

// Other work on the machine slows either side at random: the two are
// measured in turn, a few rounds, and the best of each kept.
const ticks = 100000;
const rounds = 3;
const sign = await ledview.createSign({ width: 256, height: 64, mode: 4, font: cjkFont });
const bill = fs.readFileSync(path.join(work, 'board.bill'));
function playInNode() {
  sign.load(bill);
  for (let t = 1; t <= 500; t++) sign.tick();  // warm up
  const started = process.hrtime.bigint();
  for (let t = 1; t <= ticks; t++) {
    if (t % 100 === 0) sign.second();
    sign.tick();
  }
  return ticks / 100 / (Number(process.hrtime.bigint() - started) / 1e9);
}
// The engine's own diagnostics come first; the figure is the last line.
const playNatively = () => Number(execFileSync(path.join(process.env.LEDVIEW_WEB_NATIVE_PERF), [
  path.join(work, 'board.bill'), '256', '64', '4', process.env.LEDVIEW_TEST_CJK_FONT, String(ticks)]).toString().trim().split('\n').pop());
let web = 0, native = 0;
for (let r = 0; r < rounds; r++) {
  web = Math.max(web, playInNode());
  native = Math.max(native, playNatively());
}
sign.release();

const engine = fs.readFileSync(path.join(packageDir, 'ledview-engine.js'));
const base64 = /data:application\/octet-stream;base64,([A-Za-z0-9+/=]+)/.exec(engine.toString('latin1'));
const wasm = base64 ? Buffer.from(base64[1], 'base64') : Buffer.alloc(0);
const glue = base64 ? Buffer.from(engine.toString('latin1').replace(base64[1], ''), 'latin1') : engine;
const kb = (n) => `${(n / 1024).toFixed(0)} KB`;
const gz = (b) => zlib.gzipSync(b, { level: 9 }).length;

console.log(`16-text board, ${ticks} ticks, best of ${rounds}: node ${web.toFixed(1)} simulated s per wall s, ` +
  `native ${native.toFixed(1)}; ratio ${(web / native).toFixed(2)} (goal at least 0.5)`);
console.log(`ledview-engine.js (one file): ${kb(engine.length)} raw, ${kb(gz(engine))} gzip; ` +
  `the wasm in it ${kb(wasm.length)} raw, ${kb(gz(wasm))} gzip; ` +
  `the JavaScript around it ${kb(glue.length)} raw, ${kb(gz(glue))} gzip`);
const wrapper = fs.readFileSync(path.join(packageDir, 'index.js'));
console.log(`index.js: ${kb(wrapper.length)} raw, ${kb(gz(wrapper))} gzip`);
if (process.env.LEDVIEW_WEB_FIRST_FRAME_MS) {
  console.log(`page load to first frame in headless Chromium: ${process.env.LEDVIEW_WEB_FIRST_FRAME_MS} ms`);
}
