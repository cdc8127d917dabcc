// Frames from the module equal to the native library's, byte for byte, for
// every show run-web-tests lists (LEDVIEW_WEB_SHOWS: NAME:WIDTH:HEIGHT:MODE
// ...), played as tests/windows/frames_host.c plays them: the clock pinned
// at 1700000000, a second every 100 ticks. The native frames are
// WORK/NAME.TZTAG.native; the zone is the process's TZ on both sides.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { ledview, work, cjkFont } from './support.mjs';

const ticks = Number(process.env.LEDVIEW_WEB_TICKS || 3000);
const zone = (process.env.TZ || 'UTC').replace(/[^A-Za-z0-9]/g, '-');
const shows = (process.env.LEDVIEW_WEB_SHOWS || '').split(/\s+/).filter(Boolean);

test('there are shows to compare', () => assert.ok(shows.length > 0));

for (const show of shows) {
  const [name, width, height, mode] = show.split(':');
  test(`${name} (${process.env.TZ || 'UTC'}): ${ticks} frames as the native library's`, async () => {
    const native = fs.readFileSync(path.join(work, `${name}.${zone}.native`));
    const size = Number(width) * Number(height);
    assert.equal(native.length, size * ticks);
    const sign = await ledview.createSign({ width: +width, height: +height, mode: +mode, font: cjkFont });
    sign.setTime(1700000000 * 1000);
    sign.load(fs.readFileSync(path.join(work, `${name}.bill`)));
    let changes = 0;
    let last = null;
    for (let t = 1; t <= ticks; t++) {
      if (t % 100 === 0) sign.second();
      sign.tick();
      const frame = sign.frame();
      const expected = native.subarray((t - 1) * size, t * size);
      if (!Buffer.from(frame.buffer, frame.byteOffset, size).equals(expected)) {
        let at = 0;
        while (frame[at] === expected[at]) at++;
        assert.fail(`tick ${t}: LED ${at % width},${Math.floor(at / width)} is ${frame[at]}, natively ${expected[at]}`);
      }
      if (last !== null && !Buffer.from(last).equals(Buffer.from(frame))) changes++;
      last = frame;
    }
    sign.release();
    assert.ok(changes > 0, 'the show moves');
  });
}
