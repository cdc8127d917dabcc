// The package's own behaviour: arguments, the engine's codes as errors,
// GB2312 conversion of live strings, the simulated clock, release.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { ledview, latinFont, cjkFont, buildBill, stringShow, play, lit } from './support.mjs';

const { createSign, LedviewError } = ledview;
const small = { width: 64, height: 16, mode: 1, font: latinFont };

test('createSign checks its arguments before making an engine', async () => {
  await assert.rejects(createSign({ ...small, width: 0 }), RangeError);
  await assert.rejects(createSign({ ...small, height: 1.5 }), RangeError);
  await assert.rejects(createSign({ width: 64, height: 16 }), TypeError);
  await assert.rejects(createSign({ ...small, font: 'DejaVu Sans' }), TypeError);
});

test('bytes that are no font are refused with the engine\'s code', async () => {
  await assert.rejects(createSign({ ...small, font: new Uint8Array(100) }), (e) => {
    assert.ok(e instanceof LedviewError);
    assert.equal(e.call, 'SetFontPathname');
    assert.equal(e.code, -1);
    return true;
  });
});

test('test() gives the validation code and load() throws it as -2', async () => {
  const sign = await createSign(small);
  const bill = buildBill(stringShow('Hi'));
  assert.equal(sign.test(bill), 0);
  assert.equal(sign.test(new Uint8Array(8)), -1);
  // A playbill cut short: its objects' lengths no longer add up, a fault
  // with a positive code.
  const wide = bill.slice(0, bill.length - 4);
  const code = sign.test(wide);
  assert.ok(code > 0, `code ${code}`);
  assert.throws(() => sign.load(wide), (e) => {
    assert.equal(e.code, -2);
    assert.equal(e.call, 'SetPlayBill');
    assert.match(e.message, new RegExp(`validation code ${code}\\b`));
    assert.ok(e.details.length > 0, 'the engine\'s printed lines come along');
    return true;
  });
  // Still ready: a good playbill loads after the refusal.
  sign.load(bill);
  assert.ok(lit(play(sign, 300)) > 0);
  sign.release();
});

test('frames are width x height bytes that follow the show', async () => {
  const sign = await createSign(small);
  assert.equal(lit(play(sign, 5)), 0, 'nothing before a playbill');
  sign.load(buildBill(stringShow('Hi')));
  const frame = play(sign, 300);
  assert.equal(frame.length, 64 * 16);
  assert.ok(lit(frame) > 10);
  frame.fill(0);
  assert.ok(lit(sign.frame()) > 10, 'frame() is a copy');
  // Loading again starts the show afresh: the same frames.
  sign.load(buildBill(stringShow('Hi')));
  assert.deepEqual(play(sign, 300), sign.frame());
  sign.release();
});

test('setString shows the new text, as a playbill with that text would', async () => {
  const live = await createSign(small);
  live.load(buildBill(stringShow('AB', { id: 7 })));
  const before = play(live, 300);
  assert.ok(lit(before) > 0);
  assert.equal(live.setString(7, 'XY'), 2);
  const changed = play(live, 1);
  assert.notDeepEqual(changed, before);
  const fixed = await createSign(small);
  fixed.load(buildBill(stringShow('XY')));
  assert.deepEqual(changed, play(fixed, 300));
  assert.equal(live.setString(7, 'AB'), 3);
  assert.deepEqual(play(live, 1), before);
  live.release();
  fixed.release();
});

test('setString converts to GB2312 as the command does', async () => {
  // Texts that fit the sign, so that no scrolling phase tells them apart.
  for (const text of ['中文12', '·—‖', '价格 é']) {
    const live = await createSign({ ...small, font: cjkFont });
    live.load(buildBill(stringShow('x', { id: 1 })));
    play(live, 300);
    live.setString(1, text);
    const fixed = await createSign({ ...small, font: cjkFont });
    fixed.load(buildBill(stringShow(text)));
    const frame = play(fixed, 300);
    assert.ok(lit(frame) > 20, text);
    assert.deepEqual(play(live, 1), frame, text);
    live.release();
    fixed.release();
  }
});

test('characters outside GB2312 are refused, naming them', async () => {
  const sign = await createSign(small);
  sign.load(buildBill(stringShow('AB', { id: 1 })));
  for (const [text, index, ch] of [['ab€', 2, '€'], ['中😀', 1, '😀'], ['\u00ff', 0, '\u00ff']]) {
    assert.throws(() => sign.setString(1, text), (e) => {
      assert.ok(e instanceof RangeError);
      assert.equal(e.index, index);
      assert.equal(e.character, ch);
      assert.match(e.message, /not in GB2312/);
      return true;
    });
  }
  assert.throws(() => sign.setString(1, 'a\u0000b'), /NUL/);
  assert.throws(() => sign.setString(1, 42), TypeError);
  sign.release();
});

test('setString refusals carry the engine\'s code', async () => {
  const sign = await createSign(small);
  assert.throws(() => sign.setString(1, 'AB'), (e) => e instanceof LedviewError && e.code === -1);
  sign.load(buildBill(stringShow('AB', { id: 1 })));
  assert.throws(() => sign.setString(1, ''), (e) => e instanceof LedviewError && e.code === -1);
  assert.throws(() => sign.setString(-1, 'AB'), RangeError);
  // 127 live strings fit on a page; the next new id is refused.
  for (let id = 2; id <= 127; id++) sign.setString(id, 'x');
  assert.throws(() => sign.setString(500, 'x'), (e) => e.code === -1 && /slot/.test(e.message));
  assert.equal(sign.setString(1, 'y'), 2, 'existing ids still update');
  sign.release();
});

test('encode gives the bytes setString sends, cut to 255 between characters', async () => {
  const sign = await createSign(small);
  assert.deepEqual([...sign.encode('A中·')], [0x41, 0xd6, 0xd0, 0xa1, 0xa4]);
  // 'ab' then 200 two-byte characters: 255 bytes would end in half a
  // character; 'ab' and 126 of them are kept.
  const cut = sign.encode('ab' + '中'.repeat(200));
  assert.equal(cut.length, 254);
  assert.deepEqual(cut, sign.encode('ab' + '中'.repeat(126)));
  assert.equal(sign.encode('a'.repeat(300)).length, 255);
  assert.throws(() => sign.encode('€'), RangeError);
  sign.release();
});

test('setTime pins the clock that clocks read, and second() moves it on', async () => {
  const clock = {
    sign: { width: 64, height: 16, mode: 1 },
    pages: [{ areas: [{ components: [{ elements: [
      { type: 'timer', direction: 'down', target: '2030-01-01 00:00:00', format: 'hms',
        digits: { font: 'DejaVu Sans Mono', size: 11, colour: 'red' } }] }] }] }],
  };
  const bill = buildBill(clock);
  const shot = async (when, seconds) => {
    const sign = await createSign(small);
    sign.setTime(when);
    sign.load(bill);
    play(sign, 300);
    for (let s = 0; s < seconds; s++) { sign.second(); sign.tick(); }
    const frame = sign.frame();
    sign.release();
    return frame;
  };
  const a = await shot(new Date(1700000000000), 0);
  assert.deepEqual(await shot(1700000000000, 0), a, 'a Date and milliseconds alike');
  assert.notDeepEqual(await shot(1700000005000, 0), a);
  // Seconds move the pinned clock on: the timer's picture changes. (That it
  // changes exactly as the native library's does is frames.test.mjs's.)
  assert.notDeepEqual(await shot(1700000000000, 3), a, 'three seconds later');
  assert.deepEqual(await shot(1700000000000, 3), await shot(1700000000000, 3));
});

test('a released sign refuses every call and engines are independent', async () => {
  const one = await createSign(small);
  const two = await createSign(small);
  one.load(buildBill(stringShow('One')));
  two.load(buildBill(stringShow('Two')));
  const a = play(one, 300), b = play(two, 300);
  assert.notDeepEqual(a, b);
  one.release();
  one.release();
  for (const call of [() => one.tick(), () => one.frame(), () => one.load(new Uint8Array(4)), () => one.second()]) {
    assert.throws(call, (e) => e instanceof LedviewError && e.code === -4);
  }
  two.tick();
  assert.deepEqual(two.frame(), b, 'the other engine plays on');
  two.release();
});
