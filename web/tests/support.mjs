// What the package's tests share: where run-web-tests put the package, the
// native command and the playbills, and a playbill built by the command.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const need = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the tests through scripts/run-web-tests`);
  return value;
};

export const packageDir = need('LEDVIEW_WEB_PACKAGE');
export const work = need('LEDVIEW_WEB_WORK');
export const command = need('LEDVIEW_COMMAND');
export const latinFont = fs.readFileSync(need('LEDVIEW_TEST_FONT'));
export const cjkFont = fs.readFileSync(need('LEDVIEW_TEST_CJK_FONT'));
export const ledview = createRequire(import.meta.url)(path.join(packageDir, 'index.js'));

// The playbill of a description (an object), built by the native command.
let built = 0;
export function buildBill(description) {
  const name = `t${process.pid}-${built++}`;
  const json = path.join(work, `${name}.json`);
  const bill = path.join(work, `${name}.bill`);
  fs.writeFileSync(json, JSON.stringify(description));
  execFileSync(command, ['build', json, '-o', bill], { stdio: 'pipe' });
  return new Uint8Array(fs.readFileSync(bill));
}

// One string element on a 64 x 16 single-colour sign.
export function stringShow(text, extra = {}) {
  return {
    sign: { width: 64, height: 16, mode: 1 },
    pages: [{ areas: [{ components: [{ elements: [
      { type: 'string', text, size: 16, entry: 'Instant', stay: 5, ...extra }] }] }] }],
  };
}

export function play(sign, ticks) {
  for (let t = 0; t < ticks; t++) sign.tick();
  return sign.frame();
}

export const lit = (frame) => frame.reduce((n, b) => n + (b !== 0 ? 1 : 0), 0);
