// ledview in JavaScript: the display engine compiled to WebAssembly, one
// engine per sign. Works in node (require or import) and in a browser (a
// classic script after ledview-engine.js: window.Ledview).
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory(require('./ledview-engine.js'));
  } else {
    root.Ledview = factory(root.LedviewEngine);
  }
})(typeof self !== 'undefined' ? self : this, function (LedviewEngine) {
  'use strict';

  // What the engine's codes mean, call by call.
  const MEANINGS = {
    '-1': 'bad argument or failure',
    '-2': 'rejected playbill',
    '-3': 'the font cannot be opened',
    '-4': 'not allowed in the engine\'s current state',
  };

  // A call the engine refused: code is its result (-1 to -4), call the
  // engine function, details the lines it printed meanwhile.
  class LedviewError extends Error {
    constructor(call, code, meaning, details) {
      let message = `${call} failed with ${code}: ${meaning}`;
      if (details && details.length > 0) message += ` (${details.join('; ')})`;
      super(message);
      this.name = 'LedviewError';
      this.call = call;
      this.code = code;
      this.meaning = meaning;
      this.details = details || [];
    }
  }

  // Unicode to GB2312 (EUC): built from the engine's own table once per
  // engine instance's first use, the first code of a character winning.
  let reverse = null;
  const UNASSIGNED = 0x3000;
  function gbReverse(engine) {
    if (reverse !== null) return reverse;
    const count = engine._LvGbTableCount();
    const at = engine._LvGbTable() >> 1;
    const table = engine.HEAPU16.subarray(at, at + count);
    const map = new Map();
    for (let i = 0; i < count; i++) {
      const u = table[i];
      const row = Math.floor(i / 94), col = i % 94;
      if (u === UNASSIGNED && i !== 0) continue;
      if (map.has(u)) continue;
      const lead = row < 9 ? 0xa1 + row : 0xb0 + row - 9;
      map.set(u, (lead << 8) | (0xa1 + col));
    }
    // The middle dot, the em dash and the double vertical line, as text in
    // Chinese writes them; the engine's table reads these codes otherwise.
    map.set(0x00b7, 0xa1a4);
    map.set(0x2014, 0xa1aa);
    map.set(0x2016, 0xa1ac);
    reverse = map;
    return map;
  }

  // The GB2312 bytes of a JavaScript string, or a RangeError naming the
  // first character GB2312 lacks. At most limit bytes, cut between
  // characters.
  function toGb2312(engine, text, limit) {
    if (typeof text !== 'string') throw new TypeError('the text must be a string');
    const map = gbReverse(engine);
    const out = [];
    let index = 0;
    for (const ch of text) {
      const u = ch.codePointAt(0);
      if (u === 0) {
        throw new RangeError(`character ${index} is NUL, which would end the string`);
      }
      let bytes;
      if (u < 0x80) {
        bytes = [u];
      } else {
        const code = map.get(u);
        if (code === undefined) {
          const hex = u.toString(16).toUpperCase().padStart(4, '0');
          const err = new RangeError(`character ${index} "${ch}" (U+${hex}) is not in GB2312`);
          err.character = ch;
          err.index = index;
          throw err;
        }
        bytes = [code >> 8, code & 0xff];
      }
      if (out.length + bytes.length > limit) break;
      out.push(...bytes);
      index += ch.length;
    }
    return Uint8Array.from(out);
  }

  function asBytes(data, what) {
    if (data instanceof Uint8Array) return data;
    if (data instanceof ArrayBuffer) return new Uint8Array(data);
    if (ArrayBuffer.isView(data)) return new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
    throw new TypeError(`${what} must be a Uint8Array, an ArrayBuffer or a typed array`);
  }

  // Engine memory for a call's bytes, freed after it.
  function withBytes(engine, bytes, use) {
    const at = engine._malloc(Math.max(bytes.length, 1));
    if (at === 0) throw new LedviewError('malloc', -1, 'out of memory');
    try {
      engine.HEAPU8.set(bytes, at);
      return use(at, bytes.length);
    } finally {
      engine._free(at);
    }
  }

  const MAX_STRING_BYTES = 255;

  async function createSign(options) {
    const { width, height, mode = 1, font, print } = options || {};
    for (const [name, value] of [['width', width], ['height', height], ['mode', mode]]) {
      if (!Number.isInteger(value) || value < 1) {
        throw new RangeError(`${name} must be a whole number of at least 1, not ${value}`);
      }
    }
    if (font === undefined || font === null) throw new TypeError('font (the bytes of an outline font file) is needed');
    const fontBytes = asBytes(font, 'font');
    if (typeof LedviewEngine !== 'function') throw new Error('ledview-engine.js is not loaded');

    let printed = [];
    const engine = await LedviewEngine({
      print: (line) => { printed.push(line); if (print) print(line); },
      printErr: (line) => { printed.push(line); if (print) print(line); },
    });
    const refuse = (call, code, meaning) => {
      const details = printed;
      printed = [];
      return new LedviewError(call, code, meaning || MEANINGS[code] || 'unknown code', details);
    };
    const check = (call, code) => {
      if (code !== 0) throw refuse(call, code);
      printed = [];
      return code;
    };

    check('InitLedConfigure', engine._InitLedConfigure(width, height, mode));
    const frameSize = width * height;
    const buffer = engine._malloc(frameSize);
    if (buffer === 0) throw refuse('malloc', -1, 'out of memory');
    engine.HEAPU8.fill(0, buffer, buffer + frameSize);
    try {
      check('SetFontPathname', withBytes(engine, fontBytes, (at, n) => engine._LvSetFont(at, n)));
      check('SetBmpBuffer', engine._SetBmpBuffer(width, height, width, buffer));
    } catch (e) {
      engine._ReleasePreview();
      engine._free(buffer);
      throw e;
    }

    let released = false;
    let playing = false;
    let pinned = false;
    const live = (call) => {
      if (released) throw new LedviewError(call, -4, 'the sign has been released');
    };

    const sign = {
      width,
      height,
      mode,

      // The validation code of a playbill: 0 valid, -1 not a playbill, else
      // the first fault's code.
      test(bill) {
        live('TestPlayBillData');
        const code = withBytes(engine, asBytes(bill, 'the playbill'), (at, n) => engine._TestPlayBillData(at, n));
        printed = [];
        return code;
      },

      // Plays a playbill from its start, replacing the one playing.
      load(bill) {
        live('SetPlayBill');
        const bytes = asBytes(bill, 'the playbill');
        if (playing) {
          engine._EndPreview();
          playing = false;
          check('SetBmpBuffer', engine._SetBmpBuffer(width, height, width, buffer));
        }
        engine._LvResetActionCounter();
        const code = withBytes(engine, bytes, (at, n) => engine._SetPlayBill(at, n));
        if (code === -2) {
          const why = withBytes(engine, bytes, (at, n) => engine._TestPlayBillData(at, n));
          throw refuse('SetPlayBill', -2, `rejected playbill (validation code ${why})`);
        }
        if (code === -1 && bytes.length > 3145728) throw refuse('SetPlayBill', -1, 'playbill longer than 3,145,728 bytes');
        if (code === -1) throw refuse('SetPlayBill', -1, 'the playbill could not be loaded');
        check('SetPlayBill', code);
        playing = true;
        engine.HEAPU8.fill(0, buffer, buffer + frameSize);
      },

      // A second has passed: the pinned clock moves on by one.
      second() {
        live('NotifySecond');
        if (pinned) engine._LvAdvanceClock(1);
        engine._NotifySecond();
      },

      // An action tick, and the picture brought up to date.
      tick() {
        live('NotifyActtion');
        engine._NotifyActtion();
        engine._RefreshBuffer();
      },

      // The picture after the last tick: one byte per LED (its colour value,
      // or its two colours' bits), row after row.
      frame() {
        live('RefreshBuffer');
        return engine.HEAPU8.slice(buffer, buffer + frameSize);
      },

      // Replaces a live string's text; the new version.
      setString(id, text) {
        live('UpdateString');
        if (!Number.isInteger(id) || id < 0 || id > 0x7fffffff) {
          throw new RangeError(`the string id must be a whole number from 0, not ${id}`);
        }
        const bytes = toGb2312(engine, text, MAX_STRING_BYTES);
        if (bytes.length === 0) throw refuse('UpdateString', -1, 'the engine refuses an empty text');
        if (!playing) throw refuse('UpdateString', -1, 'no playbill is playing');
        const version = withBytes(engine, bytes, (at, n) => engine._UpdateString(id, at, n));
        if (version < 0) throw refuse('UpdateString', version, 'no free live-string slot on this page');
        printed = [];
        return version;
      },

      // The GB2312 bytes setString would give the engine for a text.
      encode(text) {
        live('encode');
        return toGb2312(engine, text, MAX_STRING_BYTES);
      },

      // Pins the engine's clock (clocks, timers, the random seed) at a Date or
      // a time in milliseconds; null gives it back to the real clock.
      setTime(date) {
        live('setTime');
        if (date === null || date === undefined) {
          engine._LvSetClock(0, 1);
          pinned = false;
          return;
        }
        const ms = date instanceof Date ? date.getTime() : date;
        if (typeof ms !== 'number' || !Number.isFinite(ms)) throw new TypeError('setTime takes a Date, milliseconds or null');
        engine._LvSetClock(Math.floor(ms / 1000), 0);
        pinned = true;
      },

      showLink() { live('ShowLink'); engine._ShowLink(); },
      hideLink() { live('HideLink'); engine._HideLink(); },

      // Stops the engine and frees its memory; the sign is unusable after.
      release() {
        if (released) return;
        engine._ReleasePreview();
        engine._free(buffer);
        released = true;
        playing = false;
      },
    };
    return sign;
  }

  return { createSign, LedviewError };
});
