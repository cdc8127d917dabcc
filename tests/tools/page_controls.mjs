// Drives the live page of `ledview serve` in headless Chromium through the
// DevTools protocol, as a person would: clicks Pause, moves the speed slider,
// jumps to a second, sets live string 3 while a page without it is up, and
// reads what the page shows after each (the show's warnings, then the
// string's). Exits 0 when the page controlled the show and showed the
// warnings, else prints what it never showed.
//   node --experimental-websocket page_controls.mjs URL PROFILE_FOLDER
import {openTab} from '../support/devtools.mjs';

const [url, profile] = process.argv.slice(2);
let tab = null;
function fail(why) {
  console.error(`page_controls: ${why}`);
  if (tab) tab.chromium.kill('SIGKILL');
  process.exit(1);
}
setTimeout(() => fail('timed out'), 60000);
tab = await openTab(url, profile, fail);
const {chromium, evaluate, until} = tab;

await until("typeof state !== 'undefined' && state.playing && state.t > 0", 'the show playing');
await evaluate("document.getElementById('play').click()");
await until("!state.playing && document.getElementById('play').textContent === 'Play'", 'the show paused');
await evaluate("const s = document.getElementById('speed'); s.value = '1'; s.dispatchEvent(new Event('input'))");
await until('state.speed === 2', 'speed 2x');
await evaluate("document.getElementById('second').value = '42'; document.getElementById('seek').requestSubmit()");
await until('state.t === 42000', 'the jump to 42 s');
await until("document.getElementById('error').hidden", 'no error');
const warnings = "document.getElementById('warnings')";
await until(`!${warnings}.hidden && ${warnings}.textContent.startsWith('warning: pages[0]')`, "the show's warnings");
await evaluate("const i = document.querySelector('#strings input'); i.value = 'Gate 7'; " +
               "i.parentElement.querySelector('button').click()");
await until(`${warnings}.textContent.includes('string 3: pages[1] is up now and shows no string 3')`,
            "the live string's warning");
console.log('page_controls: the page paused the show, sped it up, jumped to 42 s and showed the warnings');
chromium.kill();
process.exit(0);
