// The page's benchmarks (not tests): the worklet's speed in headless Chromium beside the
// native core's at the same quantum, and the size of what a visitor downloads, gzipped.
//   node bench/web_bench.mjs SITE PORTABLE_BUILD   (tools/web.sh bench PORTABLE_BUILD)
// PORTABLE_BUILD: a native tree with the plain lanes (the portable preset), with its
// bench_quantum built.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { execFileSync } from 'node:child_process';
import { openSite } from '../tools/web/browser.mjs';

const [site, native] = process.argv.slice(2);
const kSeconds = 60;
const kRuns = 3;
// What the page loads to run: the engine, the panel, the scripts, the page (not the loops).
const kDownload = ['hallmere.wasm', 'hallmere-worklet.js', 'hallmere-panel.wasm', 'hallmere-panel.js', 'page.js',
  'offline-render.js', 'wav.js', 'index.html', 'style.css'];

const nativeRun = execFileSync(path.join(native, 'bench/bench_quantum'), { encoding: 'utf8' });
const nativeFps = Number(/frames-per-second: (\d+)/.exec(nativeRun)[1]);

const browser = await openSite(site);
const figures = await browser.page.evaluate(async (seconds, runs) => {
  const { createHallmereNode } = await import('./hallmere-worklet.js');
  const loop = await (await fetch('drums.wav')).arrayBuffer();
  const rate = 48000;
  let worklet = 0;
  for (let run = 0; run < runs; ++run) {
    const context = new OfflineAudioContext(2, seconds * rate, rate);
    const buffer = await context.decodeAudioData(loop.slice(0));
    const reverb = await createHallmereNode(context);
    const source = new AudioBufferSourceNode(context, { buffer, loop: true });
    source.connect(reverb.node).connect(context.destination);
    source.start();
    const start = performance.now();
    await context.startRendering();
    worklet = Math.max(worklet, (seconds * rate) / ((performance.now() - start) / 1000));
  }
  // The engine alone on the page's thread: the same calls without Web Audio around them.
  const bytes = await (await fetch('hallmere.wasm')).arrayBuffer();
  const { instance } = await WebAssembly.instantiate(bytes, { wasi_snapshot_preview1: { proc_exit() {} } });
  const calls = instance.exports;
  calls._initialize();
  const engine = calls.hallmere_create(rate);
  const input = new Float32Array(calls.memory.buffer, calls.hallmere_buffer(engine, 0), 128);
  input.forEach((_, i) => (input[i] = Math.sin(i) * 0.1));
  const quanta = (seconds * rate) / 128;
  let bare = 0;
  for (let run = 0; run < runs; ++run) {
    const start = performance.now();
    for (let q = 0; q < quanta; ++q) calls.hallmere_render(engine, 128);
    bare = Math.max(bare, (quanta * 128) / ((performance.now() - start) / 1000));
  }
  return { worklet, bare };
}, kSeconds, kRuns);
await browser.close();

let gzipped = 0;
for (const file of kDownload) gzipped += zlib.gzipSync(fs.readFileSync(path.join(site, file)), { level: 9 }).length;

const row = (name, fps) => console.log(`${name.padEnd(44)} ${(fps / 1e6).toFixed(2).padStart(7)} M frames/s  ` +
  `${(nativeFps / fps).toFixed(2)}x native cost`);
row('native core, plain lanes, 128-frame calls', nativeFps);
row('hallmere.wasm on the page thread', figures.bare);
row('worklet in an OfflineAudioContext', figures.worklet);
console.log(`download (engine, panel, scripts, page), gzipped: ${gzipped} bytes (${(gzipped / 1048576).toFixed(2)} MB)`);
