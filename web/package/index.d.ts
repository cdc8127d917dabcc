// ledview: the LED sign display engine in WebAssembly.

export interface SignOptions {
  /** Sign width in LEDs. */
  width: number;
  /** Sign height in LEDs. */
  height: number;
  /** Colour mode: 1 single colour, 2 two colours, 4 full colour (default 1). */
  mode?: number;
  /** The bytes of an outline font file, used for text taller than 16 LEDs. */
  font: Uint8Array | ArrayBuffer | ArrayBufferView;
  /** Receives the engine's diagnostic lines (validation messages). */
  print?: (line: string) => void;
}

export interface Sign {
  readonly width: number;
  readonly height: number;
  readonly mode: number;
  /** The playbill's validation code: 0 valid, -1 not a playbill, else the first fault's code. */
  test(bill: Uint8Array | ArrayBuffer | ArrayBufferView): number;
  /** Plays a playbill from its start, replacing the one playing. Throws LedviewError. */
  load(bill: Uint8Array | ArrayBuffer | ArrayBufferView): void;
  /** A second has passed (NotifySecond); a pinned clock moves on by one second. */
  second(): void;
  /** An action tick (NotifyActtion), then the picture brought up to date (RefreshBuffer). */
  tick(): void;
  /** The picture after the last tick: width x height bytes, one per LED, row after row. */
  frame(): Uint8Array;
  /**
   * Replaces a live string's text, converted to GB2312; returns its new version.
   * Throws RangeError for a character GB2312 lacks, LedviewError when the engine refuses.
   * Texts are cut to 255 bytes, between characters.
   */
  setString(id: number, text: string): number;
  /** The GB2312 bytes setString would give the engine for a text (RangeError outside GB2312). */
  encode(text: string): Uint8Array;
  /** Pins the engine's clock at a Date or milliseconds since 1970; null gives back the real clock. */
  setTime(date: Date | number | null): void;
  showLink(): void;
  hideLink(): void;
  /** Stops the engine and frees its memory; later calls throw. */
  release(): void;
}

/** A call the engine refused. */
export class LedviewError extends Error {
  /** The engine function that refused. */
  readonly call: string;
  /** Its result: -1 bad argument or failure, -2 rejected playbill, -3 font, -4 wrong state. */
  readonly code: number;
  readonly meaning: string;
  /** Lines the engine printed during the call. */
  readonly details: string[];
}

/** Makes an engine for one sign, with its font loaded. */
export function createSign(options: SignOptions): Promise<Sign>;

declare const ledview: { createSign: typeof createSign; LedviewError: typeof LedviewError };
export default ledview;
