// Shared pieces for the start page tests: the browser, copies of the page with
// other settings, a stand-in for the launcher's web message bridge, and a
// status server on loopback.
import { chromium } from 'playwright-core';
import { mkdtemp, mkdir, readFile, rm, writeFile } from 'node:fs/promises';
import { EventEmitter } from 'node:events';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const PAGE_FILE = fileURLToPath(new URL('../../page/index.html', import.meta.url));
export const SCREENSHOT_FILE = fileURLToPath(new URL('../../docs/start-page.png', import.meta.url));

export const VIEWPORTS = [
  { width: 512, height: 320 },
  { width: 640, height: 400 },
  { width: 853, height: 533 },
  { width: 1024, height: 640 },
  { width: 1280, height: 800 },
  { width: 2560, height: 1440 },
];

export function launchBrowser() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-component-update',
      '--no-first-run',
      '--disable-sync',
      '--disable-quic',
    ],
  });
}

const CONFIG_START = 'const LAUNCHER_CONFIG = ';
const CONFIG_END = '\n};\n';

// The settings block is a plain object literal; reading it lets tests change
// one setting while everything else stays exactly as shipped.
function readShippedConfig(source) {
  const start = source.indexOf(CONFIG_START);
  const closingBrace = source.indexOf(CONFIG_END, start) + '\n}'.length;
  if (start < 0 || closingBrace < start) throw new Error('LAUNCHER_CONFIG block not found in the page');
  const literal = source.slice(start + CONFIG_START.length, closingBrace);
  return { config: new Function(`return (${literal});`)(), start, end: closingBrace };
}

let workFolder;

// A copy of the page in a folder whose name needs %23 and %25 escapes in a file: URL,
// as players' install folders may. `connectSrc` is the owner's CSP edit for a status address.
export async function pageCopy({ settings = {}, connectSrc } = {}) {
  let source = await readFile(PAGE_FILE, 'utf8');
  if (Object.keys(settings).length > 0) {
    const { config, start, end } = readShippedConfig(source);
    // Escaping "<" keeps a setting containing </script> from ending the page's script early.
    const edited = JSON.stringify({ ...config, ...settings }, null, 2).replaceAll('<', '\\u003c');
    source = source.slice(0, start + CONFIG_START.length) + edited + source.slice(end);
  }
  if (connectSrc !== undefined) {
    const policy = /(<meta http-equiv="Content-Security-Policy" content="[^"]*)connect-src 'none'/;
    if (!policy.test(source)) throw new Error("connect-src 'none' not found in the page's CSP");
    source = source.replace(policy, `$1connect-src ${connectSrc}`);
  }
  workFolder ??= await mkdtemp(path.join(tmpdir(), 'start-page-'));
  const folder = path.join(workFolder, `Games #1 100% ${Math.random().toString(36).slice(2)}`);
  await mkdir(folder);
  const file = path.join(folder, 'index.html');
  await writeFile(file, source);
  return pathToFileURL(file).href;
}

export async function removePageCopies() {
  if (workFolder) await rm(workFolder, { recursive: true, force: true });
  workFolder = undefined;
}

// Stands in for the launcher's WebView2 bridge and keeps every message the page posts.
export async function installBridge(page) {
  await page.addInitScript(() => {
    window.__posted = [];
    window.chrome = Object.assign(window.chrome || {}, {
      webview: { postMessage: (message) => window.__posted.push({ type: typeof message, value: message }) },
    });
  });
}

// Page timers then move only when a test advances them with page.clock.runFor().
export async function pauseClock(page) {
  await page.clock.install({ time: 0 });
  await page.clock.pauseAt(1000);
}

// A real mouse press on the button. Locator clicks would wait for the button to stop
// being aria-disabled, but players can press it at any time.
export async function pressPlay(page) {
  const box = await page.locator('#play').boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

export function postedMessages(page) {
  return page.evaluate(() => window.__posted);
}

export function playState(page) {
  return page.locator('#play').evaluate((button) => ({
    label: button.textContent.trim(),
    busy: button.getAttribute('aria-busy'),
    disabled: button.getAttribute('aria-disabled'),
  }));
}

// Answers each path with a fixed response; `hold` leaves the request unanswered.
export async function startStatusServer(routes) {
  const requests = [];
  const arrivals = new EventEmitter();
  const server = createServer((request, response) => {
    requests.push({ path: request.url, origin: request.headers.origin });
    arrivals.emit(request.url);
    const route = routes[request.url];
    if (!route || route.hold) return;
    response.writeHead(route.status ?? 200, {
      'Content-Type': 'application/json',
      ...(route.cors === false ? {} : { 'Access-Control-Allow-Origin': '*' }),
    });
    response.end(route.body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return {
    origin,
    requests,
    arrival: (requestPath) => new Promise((resolve) => arrivals.once(requestPath, resolve)),
    close: () => {
      server.closeAllConnections();
      return new Promise((resolve) => server.close(resolve));
    },
  };
}
