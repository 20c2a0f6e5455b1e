// The owner's settings appear on the page as plain text, and community links
// never take over the launcher window.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launchBrowser, pageCopy, removePageCopies } from './harness.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser.close(); await removePageCopies(); });

async function open(settings) {
  const page = await browser.newPage();
  await page.goto(await pageCopy({ settings }));
  return page;
}

test('name, tagline and news come from the settings, shown as text', async () => {
  const page = await open({
    serverName: 'Harbour <b>City</b>',
    tagline: 'Fish & <i>chips</i>',
    news: [
      { title: '<img src=x onerror="window.injected = true">Opening night', date: '2025-03-01', text: 'Doors open at 20:00.' },
      { title: 'Undated note', date: 'soon', text: 'Second <script>window.injected = true</script>' },
    ],
  });
  assert.equal(await page.title(), 'Harbour <b>City</b>');
  assert.equal(await page.locator('h1').textContent(), 'Harbour <b>City</b>');
  assert.equal(await page.locator('#tagline').textContent(), 'Fish & <i>chips</i>');
  const news = await page.locator('.news-item').evaluateAll((items) => items.map((item) => ({
    title: item.querySelector('h3').textContent,
    datetime: item.querySelector('time')?.dateTime ?? null,
    date: item.querySelector('time')?.textContent ?? null,
    text: item.querySelector('p').textContent,
  })));
  assert.deepEqual(news, [
    { title: '<img src=x onerror="window.injected = true">Opening night', datetime: '2025-03-01', date: 'March 1, 2025', text: 'Doors open at 20:00.' },
    { title: 'Undated note', datetime: null, date: null, text: 'Second <script>window.injected = true</script>' },
  ]);
  assert.equal(await page.locator('main img, main script, h1 b, #tagline i').count(), 0);
  assert.equal(await page.evaluate(() => window.injected), undefined);
  await page.close();
});

test('without news entries the news panel is left out', async () => {
  const page = await open({ news: [] });
  assert.equal(await page.locator('#news').isVisible(), false);
  assert.equal(await page.locator('#play').isVisible(), true);
  await page.close();
});

test('only https community links are shown, each opening a new window without access to this one', async () => {
  const page = await open({
    links: [
      { label: 'Forum', url: 'https://forum.ostrivan.example/' },
      { label: 'Script', url: 'javascript:alert(1)' },
      { label: 'Plain web', url: 'http://ostrivan.example/' },
      { label: 'No scheme', url: 'www.ostrivan.example' },
      { label: 'Game', url: 'fivem://connect/127.0.0.1:30120' },
      { label: 'Rules', url: 'https://ostrivan.example/rules' },
    ],
  });
  const links = await page.locator('footer a').evaluateAll((anchors) => anchors.map((anchor) => ({
    label: anchor.textContent, href: anchor.href, target: anchor.target, rel: anchor.rel,
  })));
  assert.deepEqual(links, [
    { label: 'Forum', href: 'https://forum.ostrivan.example/', target: '_blank', rel: 'noopener noreferrer' },
    { label: 'Rules', href: 'https://ostrivan.example/rules', target: '_blank', rel: 'noopener noreferrer' },
  ]);
  await page.close();
});

test('every link on the shipped page opens a new window', async () => {
  const page = await open({});
  const anchors = await page.locator('a').evaluateAll((all) => all.map((anchor) => ({ target: anchor.target, rel: anchor.relList.contains('noopener') })));
  assert.ok(anchors.length > 0);
  assert.deepEqual(anchors, anchors.map(() => ({ target: '_blank', rel: true })));
  await page.close();
});
