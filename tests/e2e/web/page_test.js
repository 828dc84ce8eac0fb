// The web page in headless Chromium, as a visitor uses it: the sample from
// its link, frames against the desktop's (PNG files drawn by
// kelvane-inspect render), the menus, keys, drops of good and hostile
// files, a download. usage: node page_test.js URL REFERENCE_DIR
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [url, references] = process.argv.slice(2);
let failures = 0;
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures++;
}

// Pixels of the canvas whose colour differs from the reference PNG by more
// than 3 levels in a channel (both decoded by the browser).
async function pixelsOff(page, reference) {
  const png = 'data:image/png;base64,' + fs.readFileSync(path.join(references, reference)).toString('base64');
  return page.evaluate(async (png) => {
    const image = new Image();
    image.src = png;
    await image.decode();
    const canvas = document.getElementById('canvas');
    const scratch = document.createElement('canvas');
    scratch.width = canvas.width, scratch.height = canvas.height;
    const context = scratch.getContext('2d');
    context.drawImage(canvas, 0, 0);
    const drawn = context.getImageData(0, 0, scratch.width, scratch.height).data;
    context.clearRect(0, 0, scratch.width, scratch.height);
    context.drawImage(image, 0, 0);
    const expected = context.getImageData(0, 0, scratch.width, scratch.height).data;
    if (image.width !== canvas.width || image.height !== canvas.height) return -1;
    let off = 0;
    for (let i = 0; i < drawn.length; i += 4)
      for (let k = 0; k < 3; k++)
        if (Math.abs(drawn[i + k] - expected[i + k]) > 3) { off++; break; }
    return off;
  }, png);
}

// SwiftShader and the desktop's Mesa cover a few edge pixels differently;
// lines differ in more places (their rasterisation rules differ).
const PIXELS = 512 * 512;
const SHADED = PIXELS * 0.0005, LINES = PIXELS * 0.01;

async function expectFrame(page, reference, tolerance) {
  await page.evaluate(() => Module.page.whenIdle());
  const off = await pixelsOff(page, reference);
  check(off >= 0 && off <= tolerance, `${reference}: ${off} pixels off (at most ${Math.floor(tolerance)})`);
}

const titleHas = (page, text) => page.waitForFunction((t) => document.title.includes(t), { timeout: 30000 }, text);

async function openPage(browser, generation) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => check(false, 'no script error: ' + error.message));
  await page.goto(`${url}/index.html?size=512x512&generation=${generation}`);
  await titleHas(page, generation === 'legacy' ? 'Kelvane v0.6' : 'Kelvane v0.7');
  return page;
}

async function openSample(page, title) {
  await page.click('#open-sample');
  await titleHas(page, title);
}

const menuTitles = (page) => page.$$eval('#menubar .menu > button', (b) => b.map((x) => x.textContent));
const menuItems = (page, menu) =>
  page.$$eval(`#menubar .menu:nth-child(${menu}) li`, (items) => items.map((i) => i.firstChild.textContent));
const checked = (page, label) =>
  page.$$eval('#menubar li', (items, label) => items.find((i) => i.firstChild.textContent === label)
    .getAttribute('aria-checked'), label);
async function pick(page, menuTitle, label) {
  const menus = await menuTitles(page);
  await page.click(`#menubar .menu:nth-child(${menus.indexOf(menuTitle) + 1}) > button`);
  const items = await page.$$(`#menubar .menu:nth-child(${menus.indexOf(menuTitle) + 1}) li`);
  for (const item of items)
    if ((await item.evaluate((i) => i.firstChild.textContent)) === label) return item.click();
  check(false, `${menuTitle} has ${label}`);
}

// Drops files made in the page from bytes, as a file manager's drop does.
async function drop(page, files) {
  await page.evaluate((files) => {
    const transfer = new DataTransfer();
    for (const [name, bytes] of files) transfer.items.add(new File([new Uint8Array(bytes)], name));
    document.getElementById('stage').dispatchEvent(
      new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, files);
}

async function currentViewer(browser) {
  const page = await openPage(browser, 'current');
  check((await menuTitles(page)).join() === 'File,View,Help', 'before a load: File, View, Help');
  check((await menuItems(page, 1)).join() === 'Load EBO,Load FSH,Load BMP,Save Picture\u2026,Export Images\u2026,Export glTF\u2026',
    'File has the desktop items but Quit');
  // File > Load EBO opens the browser's file picker.
  const [chooser] = await Promise.all([page.waitForFileChooser(), pick(page, 'File', 'Load EBO')]);
  await chooser.accept([path.join(references, 'samples', 'head.ebo')]);
  await titleHas(page, 'head.ebo - Kelvane v0.7');
  check((await menuTitles(page)).join() === 'File,<EBO>,View,Help', 'Load EBO through the picker adds <EBO>');
  await openSample(page, 'head.ebo, head.fsh - Kelvane v0.7');
  check((await menuTitles(page)).join() === 'File,<EBO>,<FSH>,View,Help', 'the sample adds <FSH>');
  await expectFrame(page, 'current.png', SHADED);

  // View menu and keys, as on the desktop.
  await pick(page, 'View', 'Wireframe (W)');
  await page.waitForFunction(() => document.querySelector('#menubar li[aria-checked="true"]'));
  check(await checked(page, 'Wireframe (W)') === 'true', 'Wireframe is checked');
  await expectFrame(page, 'wireframe.png', LINES);
  await page.focus('#canvas');
  await page.keyboard.press('w');
  await page.keyboard.press('t');
  await page.keyboard.press('u');
  await expectFrame(page, 'texture_view_uv.png', SHADED);
  check(await checked(page, 'Wireframe (W)') === 'false' && await checked(page, 'UV Layout (U)') === 'true',
    'the keys toggle the menu\'s check marks');
  await page.keyboard.press('t');
  await page.keyboard.press('u');

  // An object hidden from the <EBO> menu, then a drag turns the model.
  const objects = await menuItems(page, 2);
  await pick(page, '<EBO>', objects[0]);
  await page.evaluate(() => Module.page.whenIdle());
  check(await checked(page, objects[0]) === 'false', `${objects[0]} hidden`);
  await pick(page, '<EBO>', objects[0]);
  const before = await page.$eval('#canvas', (c) => c.toDataURL());
  await page.mouse.move(200, 300);
  await page.mouse.down();
  await page.mouse.move(260, 300, { steps: 5 });
  await page.mouse.up();
  await page.evaluate(() => Module.page.whenIdle());
  check(await page.$eval('#canvas', (c) => c.toDataURL()) !== before, 'a drag turns the model');

  // Ctrl+S saves the picture as a download.
  await page.keyboard.down('Control');
  await page.keyboard.press('s');
  await page.keyboard.up('Control');
  await page.waitForFunction(() => Module.page.downloads.length > 0, { timeout: 10000 }).catch(() => {});
  const saved = await page.evaluate(() => Module.page.downloads);
  check(saved.length === 1 && /\.png$/.test(saved[0].name) && saved[0].size > 1000, 'Ctrl+S downloads a PNG picture');

  // Drops open by extension; a hostile file leaves the page working and says why.
  const sample = (name) => Array.from(fs.readFileSync(path.join(references, 'samples', name)));
  await drop(page, [['picture.bmp', sample('picture.bmp')]]);
  await titleHas(page, 'head.ebo, picture.bmp - Kelvane v0.7');
  check(true, 'a dropped .bmp replaces the archive');
  await drop(page, [['bad.ebo', sample('head.ebo').slice(0, 200)]]);
  await titleHas(page, 'bad.ebo');
  const title = await page.title();
  check(/^bad\.ebo: .+ - head\.ebo, picture\.bmp - Kelvane v0\.7$/.test(title), `a truncated model is refused: "${title}"`);
  await drop(page, [['noise.fsh', Array.from({ length: 4096 }, (_, i) => (i * 7919) & 255)]]);
  await titleHas(page, 'noise.fsh');
  check(true, `random bytes as an archive are refused: "${await page.title()}"`);
  await drop(page, [['head.ebo', sample('head.ebo')], ['head.fsh', sample('head.fsh')]]);
  await titleHas(page, 'head.ebo, head.fsh - Kelvane v0.7');
  await expectFrame(page, 'current.png', SHADED);

  // About shows the desktop's text in the page's dialog.
  await pick(page, 'Help', 'About');
  await page.waitForSelector('dialog[open]');
  check((await page.$eval('dialog pre', (p) => p.textContent)).includes('Kelvane'), 'About tells what the program is');
  await page.click('dialog button');
  await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  await page.close();
}

async function legacyViewer(browser) {
  const page = await openPage(browser, 'legacy');
  await openSample(page, 'legacy_head.ebo, head.fsh - Kelvane v0.6');
  await expectFrame(page, 'legacy.png', SHADED);
  await page.close();
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // No GPU here: WebGL through SwiftShader. No network beyond localhost.
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  try {
    await currentViewer(browser);
    await legacyViewer(browser);
  } finally {
    await browser.close();
  }
  console.log(failures ? `${failures} checks failed` : 'all checks passed');
  process.exit(failures ? 1 : 0);
})().catch((error) => {
  console.error('FAIL', error);
  process.exit(1);
});
