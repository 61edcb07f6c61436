// node render.mjs SITE --program P --in IN.wav --out OUT.wav
// Renders IN through the page's worklet in an OfflineAudioContext of headless Chromium, at
// the file's rate, each 128-frame quantum one engine call, and writes OUT as a float WAV.
import fs from 'node:fs';
import { openSite, toBase64, fromBase64 } from './browser.mjs';

function options(args) {
  const [site, ...rest] = args;
  const found = { site, program: 0 };
  for (let i = 0; i < rest.length; i += 2) {
    const [name, value] = [rest[i], rest[i + 1]];
    if (value === undefined) throw new Error(`${name} needs a value`);
    if (name === '--program') found.program = Number(value);
    else if (name === '--in') found.in = value;
    else if (name === '--out') found.out = value;
    else throw new Error(`unknown option ${name}`);
  }
  if (!found.in || !found.out) throw new Error('--in and --out are needed');
  if (!Number.isInteger(found.program) || found.program < 0 || found.program > 7) {
    throw new Error('--program needs a program number from 0 to 7');
  }
  return found;
}

async function main() {
  let settings;
  try {
    settings = options(process.argv.slice(2));
  } catch (error) {
    console.error(`web.sh render: ${error.message}\nusage: tools/web.sh render --program P --in IN.wav --out OUT.wav`);
    process.exit(2);
  }
  let input;
  try {
    input = toBase64(fs.readFileSync(settings.in));
  } catch (error) {
    throw new Error(`cannot read ${settings.in} (${error.code || error.message})`);
  }
  const site = await openSite(settings.site);
  try {
    const output = await site.page.evaluate(async (wav, program) => {
      const { renderWav } = await import('./offline-render.js');
      const bytes = Uint8Array.from(atob(wav), (c) => c.charCodeAt(0)).buffer;
      const rendered = new Uint8Array(await renderWav(bytes, program));
      let text = '';
      for (let i = 0; i < rendered.length; i += 0x8000) text += String.fromCharCode(...rendered.subarray(i, i + 0x8000));
      return btoa(text);
    }, input, settings.program);
    fs.writeFileSync(settings.out, fromBase64(output));
  } finally {
    await site.close();
  }
}

main().catch((error) => {
  // The page's error comes back with its stack; its first line says what went wrong.
  console.error(`web.sh render: ${error.message.split('\n')[0]}`);
  process.exit(1);
});
