// Timings of the web page in headless Chromium; see web_page_bench.sh.
'use strict';
const puppeteer = require('puppeteer-core');
const url = process.argv[2];
const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];

(async () => {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  const starts = [], samples = [], drags = [];
  for (let run = 0; run < 5; run++) {
    const page = await browser.newPage();
    const t0 = Date.now();
    await page.goto(`${url}/index.html?size=800x600`);
    await page.waitForFunction(() => document.title === 'Kelvane v0.7');
    await page.evaluate(() => Module.page.whenIdle());
    starts.push(Date.now() - t0);
    // The sample from its link to its frame drawn and finished.
    samples.push(await page.evaluate(async () => {
      const t = performance.now();
      document.getElementById('open-sample').click();
      while (!document.title.includes('head.ebo')) await new Promise((r) => setTimeout(r, 1));
      await Module.page.whenIdle();
      document.getElementById('canvas').getContext('webgl').readPixels(0, 0, 1, 1, 0x1908, 0x1401, new Uint8Array(4));
      return performance.now() - t;
    }));
    // A drag: one move a step with the left button down, each frame drawn
    // and finished (a pixel read back) before the next move.
    drags.push(await page.evaluate(async () => {
      const gl = document.getElementById('canvas').getContext('webgl');
      const pixel = new Uint8Array(4);
      const steps = 100;
      const t = performance.now();
      for (let i = 0; i < steps; i++) {
        Module.page.post(0x0200, 0x0001, (300 << 16) | (200 + i * 3));
        await Module.page.whenIdle();
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
      }
      return (performance.now() - t) / steps;
    }));
    await page.close();
  }
  await browser.close();
  console.log(`== timings, median of 5 fresh pages (800x600 canvas)`);
  console.log(`page opened to the viewer ready: ${median(starts)} ms`);
  console.log(`"Open the sample" to its frame finished: ${median(samples).toFixed(1)} ms`);
  console.log(`a drag, per frame drawn and finished: ${median(drags).toFixed(2)} ms`);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
