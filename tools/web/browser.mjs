// Headless Chromium on the built page: a static server over the site folder on a free
// localhost port (worklets need a secure context; localhost is one), Debian's chromium
// started by puppeteer-core, and a page opened on the server.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.wasm': 'application/wasm',
  '.wav': 'audio/wav',
  '.png': 'image/png',
};

function serve(root) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    const file = path.join(root, path.normalize(decodeURIComponent(url.pathname)).replace(/^(\.\.[/\\])+/, ''));
    const target = file.endsWith(path.sep) ? path.join(file, 'index.html') : file;
    fs.readFile(target, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': kTypes[path.extname(target)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// { page, close() } with the page at the site's index.html (or at `file` in the site).
export async function openSite(site, { file = 'index.html', width = 1200, height = 900 } = {}) {
  const server = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: process.env.HALLMERE_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--headless=new', '--autoplay-policy=no-user-gesture-required', '--mute-audio',
      '--font-render-hinting=none', `--window-size=${width},${height}`],
  });
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: 1 });
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  await page.goto(`http://localhost:${server.address().port}/${file}`, { waitUntil: 'load' });
  return {
    page,
    problems,
    close: async () => {
      await browser.close();
      server.close();
    },
  };
}

// Bytes across the page boundary as base64, both ways.
export const toBase64 = (bytes) => Buffer.from(bytes).toString('base64');
export const fromBase64 = (text) => Buffer.from(text, 'base64');
