// The page contacts nothing unless the owner sets a status address, and shows only
// what a well-formed status answer says.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import {
  installBridge, launchBrowser, pageCopy, pauseClock, postedMessages, pressPlay,
  removePageCopies, startStatusServer,
} from './harness.mjs';

const json = (value) => JSON.stringify(value);

const ROUTES = {
  '/online': { body: json({ online: true, players: 87, maxPlayers: 128 }) },
  '/online-empty': { body: json({ online: true, players: 0, maxPlayers: 32 }) },
  '/offline': { body: json({ online: false }) },
  '/offline-with-counts': { body: json({ online: false, players: 0, maxPlayers: 128 }) },
  '/not-json': { body: '<b>87 players</b>' },
  '/online-as-text': { body: json({ online: 'true', players: 87, maxPlayers: 128 }) },
  '/online-missing': { body: json({ players: 87, maxPlayers: 128 }) },
  '/players-missing': { body: json({ online: true, maxPlayers: 128 }) },
  '/players-as-text': { body: json({ online: true, players: '87', maxPlayers: 128 }) },
  '/players-negative': { body: json({ online: true, players: -1, maxPlayers: 128 }) },
  '/players-fraction': { body: json({ online: true, players: 8.5, maxPlayers: 128 }) },
  '/players-over-maximum': { body: json({ online: true, players: 129, maxPlayers: 128 }) },
  '/array': { body: json([true, 87, 128]) },
  '/null': { body: 'null' },
  '/server-error': { status: 500, body: json({ online: true, players: 87, maxPlayers: 128 }) },
  '/no-cors-header': { cors: false, body: json({ online: true, players: 87, maxPlayers: 128 }) },
  '/slow': { hold: true },
};

let browser;
let context;
let server;
before(async () => {
  browser = await launchBrowser();
  context = await browser.newContext();
  server = await startStatusServer(ROUTES);
});
after(async () => {
  await browser.close();
  await server.close();
  await removePageCopies();
});

async function readStatus(page) {
  const badge = page.locator('#status');
  return {
    visible: await badge.isVisible(),
    state: await badge.getAttribute('data-state'),
    text: await page.locator('#status-text').textContent(),
    players: await page.locator('#status-players').textContent(),
  };
}

// The clock is paused, so the page's own 4 s limit cannot pass while this waits in real time.
async function settledStatus(page) {
  await page.waitForFunction(() => document.getElementById('status').dataset.state !== 'checking');
  return readStatus(page);
}

async function openWithStatus(statusPath, { allowInCsp = true } = {}) {
  const page = await context.newPage();
  await installBridge(page);
  await pauseClock(page);
  const url = await pageCopy({
    settings: { statusUrl: `${server.origin}${statusPath}` },
    connectSrc: allowInCsp ? server.origin : undefined,
  });
  await page.goto(url);
  return page;
}

describe('requests', () => {
  test('the shipped page requests nothing but its own file', async () => {
    const context = await browser.newContext();
    const requested = [];
    context.on('request', (request) => requested.push(request.url()));
    const page = await context.newPage();
    const url = await pageCopy();
    await page.goto(url, { waitUntil: 'networkidle' });
    assert.deepEqual(requested, [url]);
    assert.equal(await page.locator('#status').isVisible(), false, 'no status is shown without a status address');
    await context.close();
  });

  test('with a status address the page makes exactly one request, without credentials', async () => {
    const before = server.requests.length;
    const page = await openWithStatus('/online');
    await settledStatus(page);
    assert.deepEqual(server.requests.slice(before), [{ path: '/online', origin: 'null' }]);
    await page.close();
  });
});

describe('status display', () => {
  const online = (players) => ({ visible: true, state: 'online', text: 'Online', players });
  const offline = { visible: true, state: 'offline', text: 'Offline', players: '' };
  const unavailable = { visible: true, state: 'unavailable', text: 'Status unavailable', players: '' };
  const cases = [
    ['/online', online('87 / 128 players')],
    ['/online-empty', online('0 / 32 players')],
    ['/offline', offline],
    ['/offline-with-counts', offline],
    ['/not-json', unavailable],
    ['/online-as-text', unavailable],
    ['/online-missing', unavailable],
    ['/players-missing', unavailable],
    ['/players-as-text', unavailable],
    ['/players-negative', unavailable],
    ['/players-fraction', unavailable],
    ['/players-over-maximum', unavailable],
    ['/array', unavailable],
    ['/null', unavailable],
    ['/server-error', unavailable],
    ['/no-cors-header', unavailable],
  ];
  for (const [statusPath, expected] of cases) {
    test(`${statusPath} shows ${expected.text}`, async () => {
      const page = await openWithStatus(statusPath);
      assert.deepEqual(await settledStatus(page), expected);
      await page.close();
    });
  }

  test('markup in the answer is never rendered', async () => {
    const page = await openWithStatus('/not-json');
    await settledStatus(page);
    assert.equal(await page.locator('#status b').count(), 0);
    await page.close();
  });

  test('a status origin missing from the security policy shows unavailable and sends nothing', async () => {
    const before = server.requests.length;
    const page = await openWithStatus('/online', { allowInCsp: false });
    assert.deepEqual(await settledStatus(page), unavailable);
    assert.equal(server.requests.length, before);
    await page.close();
  });

  test('a status server that does not answer shows unavailable after 4 s and never holds up Play', async () => {
    const arrived = server.arrival('/slow');
    const page = await openWithStatus('/slow');
    await arrived;
    await pressPlay(page);
    assert.equal((await postedMessages(page)).length, 1);

    await page.clock.runFor(3900);
    assert.equal((await readStatus(page)).state, 'checking');
    assert.equal(await page.locator('#status-text').textContent(), 'Checking server…');
    await page.clock.runFor(200);
    assert.deepEqual(await settledStatus(page), unavailable);
    await page.close();
  });
});
