// Headless Chromium driven through the DevTools protocol, for the tests that
// look at a page as a person would (node 20 with --experimental-websocket).
import {spawn} from 'node:child_process';

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Starts Chromium with its profile in `profile` and opens `url` in a new
// tab. `fail(why)` ends the test. The tab's calls:
//   send(method, params): a protocol call's answer;
//   evaluate(expression): its value in the page, undefined when it throws;
//   until(expression, what): waits up to `tries` tenths of a second for it
//     to hold, else fails saying the page never showed `what` and what
//     `explain` (an expression) says;
//   chromium: the process, to kill at the end.
export async function openTab(url, profile, fail, {tries = 100, explain = "document.getElementById('error').textContent"} = {}) {
  const chromium = spawn('/usr/bin/chromium', [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--remote-debugging-port=0', `--user-data-dir=${profile}`, 'about:blank',
  ], {stdio: ['ignore', 'ignore', 'pipe']});
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
    for (let i = 0; i < tries; ++i) {
      if (await evaluate(expression)) return;
      await sleep(100);
    }
    fail(`the page never showed ${what}; it says "${await evaluate(explain)}"`);
  }
  return {chromium, send, evaluate, until};
}
