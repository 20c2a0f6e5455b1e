// Keyboard use, an automated accessibility audit and reduced motion.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import {
  installBridge, launchBrowser, pageCopy, pauseClock, pressPlay, removePageCopies, startStatusServer,
} from './harness.mjs';

const AXE_SOURCE = await readFile(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

let browser;
let server;
before(async () => {
  browser = await launchBrowser();
  server = await startStatusServer({ '/online': { body: JSON.stringify({ online: true, players: 87, maxPlayers: 128 }) } });
});
after(async () => {
  await browser.close();
  await server.close();
  await removePageCopies();
});

async function openPage({ viewport = { width: 1280, height: 800 }, settings = {}, connectSrc, contextOptions = {} } = {}) {
  const context = await browser.newContext({ viewport, ...contextOptions });
  const page = await context.newPage();
  await installBridge(page);
  await keepRealTimers(page);
  await pauseClock(page);
  await page.goto(await pageCopy({ settings, connectSrc }));
  return { context, page };
}

// The page's clock is paused so that a start in progress lasts through the audit, but axe
// schedules its own work with timers; it gets the real ones, saved before the clock is installed.
function keepRealTimers(page) {
  return page.addInitScript(() => {
    Object.defineProperty(window, '__realTimers', { value: { setTimeout, clearTimeout, setInterval, clearInterval } });
  });
}

// The page's CSP rightly refuses injected scripts, so the audit runs with the CSP bypassed.
function runAxe(page) {
  return page.evaluate((source) => {
    const { setTimeout, clearTimeout, setInterval, clearInterval } = window.__realTimers;
    new Function('setTimeout', 'clearTimeout', 'setInterval', 'clearInterval', source)(setTimeout, clearTimeout, setInterval, clearInterval);
    return window.axe.run(document).then(({ violations, passes }) => ({
      violations: violations.map((violation) => ({ id: violation.id, targets: violation.nodes.map((node) => node.target.join(' ')) })),
      passed: passes.length,
    }));
  }, AXE_SOURCE);
}

function describeFocus(page) {
  return page.evaluate(() => {
    const element = document.activeElement;
    const style = getComputedStyle(element);
    return {
      name: element.localName === 'a' ? `link ${element.textContent}` : `${element.localName}#${element.id}`,
      ring: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2,
    };
  });
}

describe('keyboard', () => {
  const links = ['link Website', 'link Forum', 'link Rules', 'link Support'];
  const orders = [
    [{ width: 1280, height: 800 }, ['button#play', 'div#news-list', ...links]],
    // At the smallest size the news panel is left out, and with it its stop.
    [{ width: 512, height: 320 }, ['button#play', ...links]],
  ];
  for (const [viewport, expected] of orders) {
    test(`at ${viewport.width} × ${viewport.height} Tab visits Play first, then ${expected.length - 1} more controls, each with a visible focus ring`, async () => {
      const { context, page } = await openPage({ viewport });
      const visited = [];
      for (let stop = 0; stop < expected.length; stop += 1) {
        await page.keyboard.press('Tab');
        visited.push(await describeFocus(page));
      }
      assert.deepEqual(visited, expected.map((name) => ({ name, ring: true })));
      await page.keyboard.press('Tab');
      assert.equal(await page.evaluate(() => document.activeElement === document.body || document.activeElement === null), true, 'no further stops');
      await context.close();
    });
  }
});

// axe leaves contrast over gradients and pictures undecided, and this page has little else.
// So the contrast of every text is measured on the rendered page: the text colour against
// each pixel of its box with all text made invisible, the worst pixel counting.
async function textContrasts(page) {
  const texts = await page.evaluate(() => {
    const channels = (colour) => colour.match(/[\d.]+/g).map(Number);
    const found = [];
    for (const element of document.body.querySelectorAll('*')) {
      const ownText = [...element.childNodes].some((node) => node.nodeType === Node.TEXT_NODE && node.textContent.trim());
      if (!ownText || element.getClientRects().length === 0) continue;
      const style = getComputedStyle(element);
      const [r, g, b, alpha = 1] = channels(style.color);
      // Gradient-filled text shows its gradient's colours.
      const colours = alpha > 0 ? [[r, g, b]] : style.backgroundImage.match(/rgba?\([^)]*\)/g).map((colour) => channels(colour).slice(0, 3));
      const size = parseFloat(style.fontSize);
      const box = element.getBoundingClientRect();
      found.push({
        text: element.textContent.trim().slice(0, 30),
        colours,
        minimum: size >= 24 || (Number(style.fontWeight) >= 700 && size >= 18.66) ? 3 : 4.5,
        box: { left: Math.max(0, box.left), top: Math.max(0, box.top), right: Math.min(innerWidth, box.right), bottom: Math.min(innerHeight, box.bottom) },
      });
      if (style.backgroundClip === 'text') element.style.background = 'none';
    }
    const hide = document.createElement('style');
    hide.textContent = '* { color: transparent !important; -webkit-text-fill-color: transparent !important; text-shadow: none !important; caret-color: transparent !important; }';
    document.head.append(hide);
    return found;
  });
  const background = (await page.screenshot({ animations: 'disabled' })).toString('base64');
  return page.evaluate(async ({ texts, background }) => {
    const bitmap = await createImageBitmap(new Blob([Uint8Array.from(atob(background), (c) => c.charCodeAt(0))]));
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const pixels = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const luminance = ([r, g, b]) => [r, g, b]
      .map((value) => value / 255)
      .map((value) => (value <= 0.04045 ? value / 12.92 : ((value + 0.055) / 1.055) ** 2.4))
      .reduce((sum, value, index) => sum + value * [0.2126, 0.7152, 0.0722][index], 0);
    const ratio = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    return texts.map(({ text, colours, minimum, box }) => {
      let worst = Infinity;
      for (let y = Math.ceil(box.top); y < Math.floor(box.bottom); y += 1) {
        for (let x = Math.ceil(box.left); x < Math.floor(box.right); x += 1) {
          const at = (y * bitmap.width + x) * 4;
          const behind = luminance([pixels[at], pixels[at + 1], pixels[at + 2]]);
          for (const colour of colours) worst = Math.min(worst, ratio(luminance(colour), behind));
        }
      }
      return { text, minimum, worst: Math.round(worst * 100) / 100 };
    });
  }, { texts, background });
}

// Waits for the entrance animations; endless ones such as the spinner are left running.
function settleAnimations(page) {
  return page.evaluate(() => Promise.all(document.getAnimations()
    .filter((animation) => animation.effect.getComputedTiming().iterations !== Infinity)
    .map((animation) => animation.finished)).then(() => undefined));
}

describe('accessibility audit', () => {
  const states = [
    ['shipped page', {}, async () => {}],
    ['server online, game starting', { status: true }, async (page) => {
      await pressPlay(page);
      assert.equal(await page.locator('#play-label').textContent(), 'Starting…');
    }],
    ['smallest window', { viewport: { width: 512, height: 320 } }, async () => {}],
    ['broken game address', { settings: { gameAddress: 'fivem://bad address' } }, async () => {}],
  ];
  for (const [name, options, act] of states) {
    test(`axe finds no violation and every text has AA contrast: ${name}`, async () => {
      const { context, page } = await openPage({
        viewport: options.viewport,
        settings: options.status ? { statusUrl: `${server.origin}/online` } : options.settings,
        connectSrc: options.status ? server.origin : undefined,
        contextOptions: { bypassCSP: true },
      });
      if (options.status) await page.waitForFunction(() => document.getElementById('status').dataset.state === 'online');
      await act(page);
      await settleAnimations(page);
      const { violations, passed } = await runAxe(page);
      assert.deepEqual(violations, []);
      assert.ok(passed > 20, 'the audit ran its rules');

      const contrasts = await textContrasts(page);
      assert.ok(contrasts.some(({ text }) => text === 'Join the server'), 'the measurement found the page text');
      assert.deepEqual(contrasts.filter(({ worst, minimum }) => !(worst >= minimum)), []);
      await context.close();
    });
  }
});

describe('reduced motion', () => {
  // Counts what moves on load, while starting (spinner) and on hover (transitions).
  async function runningAnimations(page) {
    const count = () => page.evaluate(() => document.getAnimations().filter((animation) => animation.playState === 'running').length);
    const onLoad = await count();
    await pressPlay(page);
    const whileStarting = await count();
    await page.hover('footer a');
    const onHover = await count();
    return { onLoad, whileStarting, onHover };
  }

  test('without a preference the page animates, so the check below can see motion', async () => {
    const { context, page } = await openPage({ contextOptions: { reducedMotion: 'no-preference' } });
    const running = await runningAnimations(page);
    assert.ok(running.onLoad > 0 && running.whileStarting > 0 && running.onHover > 0, JSON.stringify(running));
    await context.close();
  });

  test('with reduced motion nothing animates or transitions', async () => {
    const { context, page } = await openPage({ contextOptions: { reducedMotion: 'reduce' } });
    assert.deepEqual(await runningAnimations(page), { onLoad: 0, whileStarting: 0, onHover: 0 });
    assert.equal(await page.locator('#play').getAttribute('aria-busy'), 'true', 'the start is still shown, in words');
    await context.close();
  });
});
