// Play hands the configured game address to the launcher exactly once per start.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import {
  installBridge, launchBrowser, pageCopy, pauseClock, playState, postedMessages, pressPlay, removePageCopies,
} from './harness.mjs';

const GAME_ADDRESS = 'fivem://connect/203.0.113.9:30120';

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser.close(); await removePageCopies(); });

async function openWithBridge(settings = { gameAddress: GAME_ADDRESS }) {
  const page = await browser.newPage();
  await installBridge(page);
  await pauseClock(page);
  await page.goto(await pageCopy({ settings }));
  return page;
}

describe('Play through the launcher bridge', () => {
  test('a press posts the configured address as a string, shows the start and ignores presses until it is over', async () => {
    const page = await openWithBridge();
    await pressPlay(page);
    assert.deepEqual(await postedMessages(page), [{ type: 'string', value: GAME_ADDRESS }]);
    assert.deepEqual(await playState(page), { label: 'Starting…', busy: 'true', disabled: 'true' });
    assert.match(await page.locator('#play-note').textContent(), /Starting the game/);

    await pressPlay(page);
    await page.clock.runFor(4000);
    await pressPlay(page);
    assert.equal((await postedMessages(page)).length, 1, 'presses during the start must not start a second game');

    await page.clock.runFor(1000);
    assert.deepEqual(await playState(page), { label: 'Play', busy: 'false', disabled: 'false' });
    assert.equal(await page.locator('#play-note').textContent(), '');
    await pressPlay(page);
    assert.deepEqual(await postedMessages(page), [
      { type: 'string', value: GAME_ADDRESS },
      { type: 'string', value: GAME_ADDRESS },
    ]);
    await page.close();
  });

  test('a fast double press posts once', async () => {
    const page = await openWithBridge();
    const box = await page.locator('#play').boundingBox();
    await page.mouse.dblclick(box.x + box.width / 2, box.y + box.height / 2);
    assert.equal((await postedMessages(page)).length, 1);
    await page.close();
  });

  test('the shipped page posts its own default address', async () => {
    const page = await openWithBridge({});
    await pressPlay(page);
    assert.deepEqual(await postedMessages(page), [{ type: 'string', value: 'fivem://connect/127.0.0.1:30120' }]);
    await page.close();
  });

  // The launcher refuses these links; the page must not pretend a game is starting.
  const brokenAddresses = [
    ['another scheme', 'https://connect/203.0.113.9:30120'],
    ['a space', 'fivem://connect/203.0.113.9:30120 '],
    ['a double quote', 'fivem://connect/"203.0.113.9:30120'],
    ['a control character', 'fivem://connect/203.0.113.9:30120\n'],
    ['nothing after the scheme', 'fivem://'],
    ['an empty setting', ''],
  ];
  for (const [name, gameAddress] of brokenAddresses) {
    test(`an address with ${name} is refused with an explanation`, async () => {
      const page = await openWithBridge({ gameAddress });
      await pressPlay(page);
      assert.deepEqual(await postedMessages(page), []);
      assert.equal((await playState(page)).disabled, 'true');
      assert.match(await page.locator('#play-note').textContent(), /game address .* not valid/);
      await page.close();
    });
  }
});

describe('Play without the launcher bridge', () => {
  // Outside the launcher there is no window.chrome.webview, so the page navigates its own
  // window to the game address, which the launcher cancels and hands to the shell.
  // Interception cannot see this navigation: routes and the CDP Fetch domain only pause
  // network schemes. Chromium does report it as a navigation request of the main frame,
  // and headless Chromium refuses to pass unknown schemes to the desktop, failing the
  // request with ERR_ABORTED instead of launching anything. So the test watches the real
  // request and its refusal, and checks the page stayed where it was.
  test('the page navigates its own window to the game address', async () => {
    const page = await browser.newPage();
    await page.goto(await pageCopy({ settings: { gameAddress: GAME_ADDRESS } }));
    const pageUrl = page.url();
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Page.enable');
    const requested = new Promise((resolve) => cdp.once('Page.frameRequestedNavigation', resolve));
    const navigation = page.waitForEvent('request', (request) => request.url().startsWith('fivem:'));
    const refused = page.waitForEvent('requestfailed', (request) => request.url().startsWith('fivem:'));

    await pressPlay(page);

    const request = await navigation;
    assert.equal(request.url(), GAME_ADDRESS);
    assert.ok(request.isNavigationRequest());
    assert.equal(request.frame(), page.mainFrame(), 'the launcher only sees navigations of its own window');
    const { url, reason, disposition } = await requested;
    assert.deepEqual({ url, reason, disposition }, { url: GAME_ADDRESS, reason: 'scriptInitiated', disposition: 'currentTab' });
    await refused;
    assert.equal(page.url(), pageUrl);
    assert.equal((await playState(page)).label, 'Starting…');
    assert.equal(page.context().pages().length, 1, 'no other window was opened');
    await page.close();
  });
});

describe('Play from the keyboard', () => {
  for (const key of ['Enter', 'Space']) {
    test(`${key} on the focused Play button posts once`, async () => {
      const page = await openWithBridge();
      await page.keyboard.press('Tab');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'play');
      await page.keyboard.press(key);
      await page.keyboard.press(key);
      assert.deepEqual(await postedMessages(page), [{ type: 'string', value: GAME_ADDRESS }]);
      await page.close();
    });
  }
});
