// The launcher window is 1280 × 800 physical pixels, so the page must fit every
// viewport that display scaling (100 % to 250 %) or maximising can give it.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdir } from 'node:fs/promises';
import path from 'node:path';
import {
  SCREENSHOT_FILE, VIEWPORTS, installBridge, launchBrowser, pageCopy, pressPlay,
  removePageCopies, startStatusServer,
} from './harness.mjs';

const ONLINE = { body: JSON.stringify({ online: true, players: 87, maxPlayers: 128 }) };

// What an owner might reasonably write: a long name, many entries, unbroken words.
const CROWDED_SETTINGS = {
  serverName: 'Ostrivan Roleplay: Northern Coast Community Server',
  tagline: 'Serious roleplay since 2019 — police, medics, mechanics, businesses and a harbour that never sleeps.',
  news: Array.from({ length: 8 }, (_, index) => ({
    title: `Weekly update number ${index + 1}: harbour, highway patrol and the new apartment blocks`,
    date: `2025-02-${String(10 + index).padStart(2, '0')}`,
    text: 'Read all about it at https://forum.ostrivan.example/announcements/weekly-update-with-a-rather-long-address and tell us what you think.',
  })),
  links: ['Website', 'Community forum', 'Server rules', 'Support tickets', 'Whitelist application', 'Patch notes']
    .map((label, index) => ({ label, url: `https://ostrivan.example/${index}` })),
};

let browser;
let server;
before(async () => {
  browser = await launchBrowser();
  server = await startStatusServer({ '/online': ONLINE });
});
after(async () => {
  await browser.close();
  await server.close();
  await removePageCopies();
});

// Entrance animations only move things within the page's padding, so layout is judged
// without them rather than after waiting for them to end.
async function openAt(viewport, { settings = {}, withStatus = false } = {}) {
  const page = await browser.newPage({ viewport, reducedMotion: 'reduce' });
  await installBridge(page);
  const url = await pageCopy({
    settings: withStatus ? { ...settings, statusUrl: `${server.origin}/online` } : settings,
    connectSrc: withStatus ? server.origin : undefined,
  });
  await page.goto(url);
  if (withStatus) await page.waitForFunction(() => document.getElementById('status').dataset.state === 'online');
  return page;
}

// Everything that would make a player scroll, miss a control or read cut-off text.
function layoutProblems(page) {
  return page.evaluate(() => {
    const problems = [];
    const describe = (element) => element.id ? `#${element.id}` : `${element.localName}.${element.className}`;
    const shown = (element) => element.getClientRects().length > 0 && getComputedStyle(element).visibility !== 'hidden';
    const outside = (inner, outer) => inner.left < outer.left - 0.5 || inner.top < outer.top - 0.5
      || inner.right > outer.right + 0.5 || inner.bottom > outer.bottom + 0.5;

    const root = document.scrollingElement;
    if (root.scrollWidth > root.clientWidth) problems.push(`page scrolls sideways (${root.scrollWidth} > ${root.clientWidth})`);
    if (root.scrollHeight > root.clientHeight) problems.push(`page scrolls down (${root.scrollHeight} > ${root.clientHeight})`);

    const viewport = { left: 0, top: 0, right: innerWidth, bottom: innerHeight };
    for (const control of document.querySelectorAll('a[href], button, [tabindex]')) {
      if (!shown(control)) continue;
      const box = control.getBoundingClientRect();
      if (outside(box, viewport)) problems.push(`${describe(control)} is outside the window`);
      for (let clip = control.parentElement; clip; clip = clip.parentElement) {
        const style = getComputedStyle(clip);
        if (style.overflowX !== 'visible' || style.overflowY !== 'visible') {
          if (outside(box, clip.getBoundingClientRect())) problems.push(`${describe(control)} is cut off by ${describe(clip)}`);
        }
      }
    }

    for (const element of document.body.querySelectorAll('*')) {
      if (!shown(element) || element.closest('svg') || element.clientWidth === 0) continue;
      const scrollsItself = ['auto', 'scroll'].includes(getComputedStyle(element).overflowY);
      if (element.scrollWidth > element.clientWidth) problems.push(`${describe(element)} overflows sideways`);
      if (!scrollsItself && element.scrollHeight > element.clientHeight) problems.push(`${describe(element)} overflows downwards`);
    }

    const [header, main, footer] = ['body > header', 'main', 'body > footer'].map((selector) => document.querySelector(selector).getBoundingClientRect());
    if (header.bottom > main.top || main.bottom > footer.top) problems.push('header, main and footer overlap');
    return problems;
  });
}

describe('layout in every window size', () => {
  const contents = [
    ['shipped settings', { settings: {} }],
    ['crowded settings with status', { settings: CROWDED_SETTINGS, withStatus: true }],
  ];
  for (const viewport of VIEWPORTS) {
    for (const [name, options] of contents) {
      test(`${viewport.width} × ${viewport.height}, ${name}: fits before and while starting`, async () => {
        const page = await openAt(viewport, options);
        assert.deepEqual(await layoutProblems(page), [], 'at rest');
        await pressPlay(page);
        assert.equal(await page.locator('#play').getAttribute('aria-busy'), 'true');
        assert.deepEqual(await layoutProblems(page), [], 'while starting');
        await page.close();
      });
    }
  }

  // A guard for the check itself: a page that does overflow must be reported.
  test('an overflowing page is reported', async () => {
    const page = await openAt(VIEWPORTS[0]);
    await page.evaluate(() => { document.getElementById('tagline').style.whiteSpace = 'pre'; document.getElementById('tagline').textContent = 'x'.repeat(400); });
    const problems = await layoutProblems(page);
    assert.ok(problems.some((problem) => problem.startsWith('#tagline overflows sideways')), problems.join('\n'));
    await page.close();
  });
});

describe('picture for the README', () => {
  test('the start page at 1280 × 800 with a server online', async () => {
    const page = await openAt({ width: 1280, height: 800 }, { withStatus: true });
    await mkdir(path.dirname(SCREENSHOT_FILE), { recursive: true });
    const picture = await page.screenshot({ path: SCREENSHOT_FILE, animations: 'disabled' });
    assert.deepEqual([...picture.subarray(1, 4)].map((byte) => String.fromCharCode(byte)).join(''), 'PNG');
    await page.close();
  });
});
