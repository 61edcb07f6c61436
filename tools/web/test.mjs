// The page's tests in headless Chromium, against a native build's vsthost, plug-in and panel
// picture:  node test.mjs SITE NATIVE_BUILD   (tools/web.sh test runs it; exits 1 on a failure)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { openSite, toBase64, fromBase64 } from './browser.mjs';
import { encodeFloatWav } from '../../web/wav.js';

const [site, native] = process.argv.slice(2);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'hallmere-web-'));
const kPrograms = 8;
// A pixel differs where a channel differs by more than this; text antialiasing may differ, so
// a few such pixels are allowed.
const kChannelTolerance = 32;
const kDifferingShare = 0.02;

// The left channel of a stereo float WAV as the page writes it (the samples follow "data").
function leftChannel(bytes) {
  const data = bytes.indexOf('data') + 8;
  const samples = new Float32Array(bytes.buffer.slice(bytes.byteOffset + data, bytes.byteOffset + bytes.length));
  return samples.filter((_, i) => i % 2 === 0);
}

function check(condition, message) {
  if (!condition) throw new Error(message);
}

async function started(site) {
  await site.page.waitForFunction(() => window.hallmerePage && window.hallmerePage.panel, { timeout: 30000 });
  await site.page.waitForFunction(() => document.getElementById('message').textContent.startsWith('Ready'));
}

// The worklet's state of one parameter and the panel's stored value of it, by the name the
// engine gives it.
async function parameterState(page, name) {
  return page.evaluate(async (name) => {
    const { reverb, panel } = window.hallmerePage;
    const index = reverb.parameters.findIndex((p) => p.name === name);
    const state = await reverb.state();
    return { index, worklet: state.values[index], panel: panel.module._hallmere_panel_value(index) };
  }, name);
}

async function controlRect(page, index) {
  return page.evaluate((index) => {
    const module = window.hallmerePage.panel.module;
    const at = module._malloc(16);
    const found = module._hallmere_panel_control_rect(index, at);
    const rect = Array.from(module.HEAP32.subarray(at >> 2, (at >> 2) + 4));
    module._free(at);
    const box = document.getElementById('panel').getBoundingClientRect();
    return found ? { left: rect[0] + box.left, top: rect[1] + box.top, right: rect[2] + box.left, bottom: rect[3] + box.top } : null;
  }, index);
}

// A left-button drag in ten steps, with the modifier keys held throughout.
async function drag(page, from, to, { keys = [] } = {}) {
  for (const key of keys) await page.keyboard.down(key);
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  for (let step = 1; step <= 10; ++step) {
    await page.mouse.move(from.x + ((to.x - from.x) * step) / 10, from.y + ((to.y - from.y) * step) / 10);
    await new Promise((resolve) => setTimeout(resolve, 15));
  }
  await page.mouse.up();
  for (const key of keys) await page.keyboard.up(key);
  await page.waitForFunction(() => !window.hallmerePage.panel.busy);
}

const tests = [
  {
    name: 'web.worklet_matches_native',
    what: 'the worklet renders every program (and a mono file) byte for byte as vsthost render --block 128 renders the plug-in',
    async run() {
      const stereo = path.join(site, 'drums.wav');
      const mono = path.join(scratch, 'mono.wav');
      fs.writeFileSync(mono, Buffer.from(encodeFloatWav([leftChannel(fs.readFileSync(stereo))], 48000)));
      const renders = [...Array(kPrograms).keys()].map((program) => ({ input: stereo, program }));
      renders.push({ input: mono, program: 0 });
      const browser = await openSite(site);
      try {
        await started(browser);
        for (const { input, program } of renders) {
          const expected = path.join(scratch, 'native.wav');
          execFileSync(path.join(native, 'tools/vsthost'), ['render', path.join(native, 'plugin/Hallmere.so'),
            '--in', input, '--out', expected, '--program', String(program), '--block', '128', '--quiet']);
          const rendered = fromBase64(await browser.page.evaluate(async (wav, program) => {
            const { renderWav } = await import('./offline-render.js');
            const bytes = Uint8Array.from(atob(wav), (c) => c.charCodeAt(0)).buffer;
            const out = new Uint8Array(await renderWav(bytes, program));
            let text = '';
            for (let i = 0; i < out.length; i += 0x8000) text += String.fromCharCode(...out.subarray(i, i + 0x8000));
            return btoa(text);
          }, toBase64(fs.readFileSync(input)), program));
          const reference = fs.readFileSync(expected);
          const at = reference.findIndex((byte, i) => byte !== rendered[i]);
          check(rendered.length === reference.length && at < 0, `program ${program} of ${path.basename(input)}: ` +
            `${rendered.length} bytes against ${reference.length}, first difference at byte ${at}`);
        }
      } finally {
        await browser.close();
      }
    },
  },
  {
    name: 'web.panel_matches_native_picture',
    what: "the panel's screenshot matches the native panel's picture but for a few text pixels",
    async run(browser) {
      const picture = path.join(scratch, 'native-panel.png');
      execFileSync(path.join(native, 'resources/artwork/hallmere_panel_picture'), ['1', picture]);
      const shot = await (await browser.page.$('#panel')).screenshot();
      const result = await browser.page.evaluate(async (a, b, tolerance) => {
        const pixels = async (base64) => {
          const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
          const context = new OffscreenCanvas(image.width, image.height).getContext('2d');
          context.drawImage(image, 0, 0);
          return context.getImageData(0, 0, image.width, image.height);
        };
        const [web, native] = [await pixels(a), await pixels(b)];
        if (web.width !== native.width || web.height !== native.height) {
          return { size: `${web.width} x ${web.height} against ${native.width} x ${native.height}` };
        }
        let differing = 0;
        for (let i = 0; i < web.data.length; i += 4) {
          const d = Math.max(...[0, 1, 2].map((c) => Math.abs(web.data[i + c] - native.data[i + c])));
          if (d > tolerance) ++differing;
        }
        return { share: differing / (web.width * web.height) };
      }, toBase64(shot), toBase64(fs.readFileSync(picture)), kChannelTolerance);
      check(!result.size, `the panel is ${result.size}`);
      check(result.share <= kDifferingShare, `${(result.share * 100).toFixed(2)} % of the pixels differ`);
    },
  },
  {
    name: 'web.knob_drag_reaches_worklet',
    what: "a drag of the T60 knob changes the value the worklet's engine uses to the one the panel shows",
    async run(browser) {
      const before = await parameterState(browser.page, 'T60');
      const knob = await controlRect(browser.page, before.index);
      const centre = { x: (knob.left + knob.right) / 2, y: (knob.top + knob.bottom) / 2 };
      await drag(browser.page, centre, { x: knob.right, y: knob.top });
      const after = await parameterState(browser.page, 'T60');
      check(after.worklet !== before.worklet, `the worklet's value stayed ${before.worklet}`);
      check(after.worklet === after.panel, `the worklet has ${after.worklet}, the panel ${after.panel}`);
    },
  },
  {
    name: 'web.fine_adjust_drag',
    what: 'a linear (Alt) drag of the Density knob with Shift held moves it less than the same drag without',
    async run(browser) {
      const moved = [];
      for (const shift of [false, true]) {
        const before = await parameterState(browser.page, 'Density');
        const knob = await controlRect(browser.page, before.index);
        const centre = { x: (knob.left + knob.right) / 2, y: (knob.top + knob.bottom) / 2 };
        await drag(browser.page, centre, { x: centre.x, y: centre.y - 20 }, { keys: shift ? ['Alt', 'Shift'] : ['Alt'] });
        const after = await parameterState(browser.page, 'Density');
        check(after.worklet === after.panel, `the worklet has ${after.worklet}, the panel ${after.panel}`);
        moved.push(after.worklet - before.worklet);
      }
      check(moved[0] > 0, `the plain drag moved the knob by ${moved[0]}`);
      check(moved[1] > 0 && moved[1] < moved[0] * 0.8, `the fine drag moved ${moved[1]}, the plain one ${moved[0]}`);
    },
  },
  {
    name: 'web.malformed_drop',
    what: 'a dropped file that is not audio gives a readable message, and the page plays on',
    async run(browser) {
      const sound = await browser.page.$eval('#sound', (s) => s.value);
      await browser.page.evaluate(() => {
        const transfer = new DataTransfer();
        transfer.items.add(new File([new Uint8Array([82, 73, 70, 70, 4, 0, 0, 0, 87, 65, 86, 69, 1, 2])], 'broken.wav'));
        document.getElementById('drop').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true }));
      });
      await browser.page.waitForFunction(() => document.getElementById('message').classList.contains('problem'));
      const message = await browser.page.$eval('#message', (m) => m.textContent);
      check(/broken\.wav/.test(message) && /not an audio file/.test(message), `the message was "${message}"`);
      check((await browser.page.$eval('#sound', (s) => s.value)) === sound, 'the sound chosen before was dropped');
      const state = await browser.page.evaluate(async () => {
        await document.getElementById('play').click();
        return window.hallmerePage.reverb.state();
      });
      check(state.values.length > 0 && (await browser.page.$eval('#play', (b) => b.textContent)) === 'Stop',
        'the page no longer plays');
    },
  },
];

let failed = 0;
const shared = await openSite(site);
try {
  await started(shared);
  for (const test of tests) {
    try {
      await test.run(shared);
      check(shared.problems.length === 0, `the page reported: ${shared.problems.join('; ')}`);
      console.log(`ok     ${test.name}: ${test.what}`);
    } catch (error) {
      ++failed;
      console.log(`FAILED ${test.name}: ${test.what}\n       ${error.message}`);
    }
  }
} finally {
  await shared.close();
  fs.rmSync(scratch, { recursive: true, force: true });
}
console.log(`${tests.length - failed} of ${tests.length} web tests passed`);
process.exit(failed ? 1 : 0);
