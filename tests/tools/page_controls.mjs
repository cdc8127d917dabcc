// Drives the live page of `ledview serve` in headless Chromium through the
// DevTools protocol, as a person would: clicks Pause, moves the speed slider,
// jumps to a second, sets live string 3 while a page without it is up, and
// reads what the page shows after each (the show's warnings, then the
// string's). Exits 0 when the page controlled the show and showed the
// warnings, else prints what it never showed.
//   node --experimental-websocket page_controls.mjs URL PROFILE_FOLDER
import {spawn} from 'node:child_process';

const [url, profile] = process.argv.slice(2);
const chromium = spawn('/usr/bin/chromium', [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--remote-debugging-port=0', `--user-data-dir=${profile}`, 'about:blank',
], {stdio: ['ignore', 'ignore', 'pipe']});

function fail(why) {
  console.error(`page_controls: ${why}`);
  chromium.kill('SIGKILL');
  process.exit(1);
}
setTimeout(() => fail('timed out'), 60000);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const browser = await new Promise((resolve) => {
  let text = '';
  chromium.stderr.on('data', (d) => {
    text += d;
    const m = text.match(/DevTools listening on (ws:\/\/\S+)/);
    if (m) resolve(m[1]);
  });
});
const devtools = new URL(browser).port;
const target = await (await fetch(`http://127.0.0.1:${devtools}/json/new?${url}`, {method: 'PUT'})).json();
const socket = new WebSocket(target.webSocketDebuggerUrl);
await new Promise((resolve) => socket.addEventListener('open', resolve));
let serial = 0;
const waiting = new Map();
socket.addEventListener('message', (e) => {
  const m = JSON.parse(e.data);
  if (m.id && waiting.has(m.id)) {
    waiting.get(m.id)(m);
    waiting.delete(m.id);
  }
});
const send = (method, params) => new Promise((resolve) => {
  waiting.set(++serial, resolve);
  socket.send(JSON.stringify({id: serial, method, params}));
});
async function evaluate(expression) {
  const m = await send('Runtime.evaluate', {expression, returnByValue: true});
  if (m.error || m.result.exceptionDetails) return undefined;
  return m.result.result.value;
}
async function until(expression, what) {
  for (let i = 0; i < 100; ++i) {
    if (await evaluate(expression)) return;
    await sleep(100);
  }
  fail(`the page never showed ${what}; its error box says "${await evaluate("document.getElementById('error').textContent")}"`);
}

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
