// quorbel-sheet's sheets and JSON as game engines load them: each case's frames are written here,
// the real program makes the sheet, and PixiJS and Phaser in Debian's Chromium draw every frame,
// which must come out as the frame it was made from. Usage: node conformance.mjs QUORBEL_SHEET
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, join, normalize } from 'node:path';
import { deflateSync } from 'node:zlib';
import { chromium } from 'playwright-core';
import { KEY, frameName, pixel } from './frames.mjs';

// Each case: its name, the frames, quorbel-sheet's options, the engines that load it, and what the
// JSON must give: the pages' sizes (more than one: pages), the cells' size or the count of
// rectangles; bleed: also drawn at 2x.
const both = ['pixi', 'phaser'];
const small = { count: 6, w: 8, h: 6 };
const paged = { count: 14, w: 8, h: 8 };
const big = { count: 400, w: 256, h: 256 };
const pages = '--columns 3 --padding 1 --max-height 20';
const bigPages = '--max-width 4096 --max-height 4096';
// Packed: uneven margins, one frame ten times over, and 16 frames (the last 4 repeats) on two
// pages.
const packed = '--layout packed';
const uneven = { count: 9, w: 30, h: 24, margin: 3 };
const same = { count: 10, w: 16, h: 12, margin: 2, kinds: 1 };
const packedPages = { count: 16, w: 20, h: 16, margin: 2, kinds: 12 };
const packedSizes = '48x36,48x34';
const packedPageArgs = `${packed} --max-width 48 --max-height 40 --padding 1`;
// prettier-ignore
const cases = [
    ['plain', small, '--columns 3', both],
    ['padding 1, extrude 1, at 2x', { count: 4, w: 4, h: 3 },
        '--columns 2 --padding 1 --extrude 1', both, { bleed: true }],
    ['padding 3, extrude 2, at 2x', { count: 4, w: 5, h: 4 },
        '--columns 2 --padding 3 --extrude 2', ['pixi'], { bleed: true }],
    ['pages', paged, pages, ['pixi'], { sizes: '28x19,28x19,28x10' }],
    ['pages in a multi-atlas', paged, `${pages} --data multiatlas`, ['phaser'],
        { sizes: '28x19,28x19,28x10' }],
    ['trim', { count: 6, w: 100, h: 90, margin: 40 },
        '--columns 3 --trim --padding 1 --extrude 1', both, { cell: '20x10' }],
    ['array', small, '--columns 4 --data array', ['phaser']],
    ['bitmaps with a colour key', { count: 4, w: 10, h: 8, margin: 2, bmp: true },
        '--columns 2 --frames bmp --transparent ff00ff --trim', both],
    ['400 frames of 256x256 on two pages', big, bigPages, ['pixi'],
        { sizes: '4096x4096,4096x2304' }],
    ['the same in a multi-atlas', big, `${bigPages} --data multiatlas`, ['phaser'],
        { sizes: '4096x4096,4096x2304' }],
    ['packed, uneven margins', uneven, `${packed} --padding 1 --extrude 1`, both],
    ['packed, 10 identical frames stored once', same, packed, both, { rects: 1 }],
    ['packed pages', packedPages, packedPageArgs, ['pixi'], { sizes: packedSizes }],
    ['packed pages in a multi-atlas', packedPages, `${packedPageArgs} --data multiatlas`,
        ['phaser'], { sizes: packedSizes }],
].map(([name, frames, args, engines, more]) => ({ name, frames, args, engines, ...more }));

// Node 18, Debian's, has no zlib.crc32.
function crc32(bytes) {
    let crc = 0xffffffff;
    for (const byte of bytes) {
        crc ^= byte;
        for (let bit = 0; bit < 8; ++bit) crc = (crc >>> 1) ^ (0xedb88320 & -(crc & 1));
    }
    return (crc ^ 0xffffffff) >>> 0;
}

function chunk(type, data) {
    const out = Buffer.alloc(data.length + 12);
    out.writeUInt32BE(data.length);
    out.write(type, 4, 'latin1');
    data.copy(out, 8);
    out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
    return out;
}

// A bottom-up 24-bit bitmap: the file and info headers, then rows padded to four bytes.
function bitmapFile(w, h, at) {
    const stride = (w * 3 + 3) & ~3;
    const file = Buffer.alloc(54 + stride * h);
    file.write('BM');
    // The file's size, the pixels' offset, the info header's size, width, height, pixels' size.
    // prettier-ignore
    const words = [[2, file.length], [10, 54], [14, 40], [18, w], [22, h], [34, stride * h]];
    for (const [offset, value] of words) file.writeUInt32LE(value, offset);
    file.writeUInt16LE(1, 26); // planes
    file.writeUInt16LE(24, 28); // bits a pixel
    for (let y = 0; y < h; ++y) {
        for (let x = 0; x < w; ++x)
            file.set(at(x, y).slice(0, 3).reverse(), 54 + (h - 1 - y) * stride + x * 3);
    }
    return file;
}

// An 8-bit RGBA PNG, every row unfiltered.
function pngFile(w, h, at) {
    const rows = Buffer.alloc((w * 4 + 1) * h);
    for (let y = 0; y < h; ++y) {
        for (let x = 0; x < w; ++x) rows.set(at(x, y), y * (w * 4 + 1) + 1 + x * 4);
    }
    const header = Buffer.from([0, 0, 0, 0, 0, 0, 0, 0, 8, 6, 0, 0, 0]);
    header.writeUInt32BE(w);
    header.writeUInt32BE(h, 4);
    return Buffer.concat([
        Buffer.from('\x89PNG\r\n\x1a\n', 'latin1'),
        chunk('IHDR', header),
        chunk('IDAT', deflateSync(rows)),
        chunk('IEND', Buffer.alloc(0)),
    ]);
}

// A PNG, or a bitmap with the key colour where nothing shows.
function frameFile(frames, i) {
    const at = (x, y) => pixel(frames, i, x, y) ?? (frames.bmp ? KEY : [0, 0, 0, 0]);
    return frames.bmp ? bitmapFile(frames.w, frames.h, at) : pngFile(frames.w, frames.h, at);
}

// Writes the frames, runs quorbel-sheet, and checks what its JSON says of the pages and cells.
function makeCase(c, n, work, program, problems) {
    const dir = join(work, String(n));
    const folder = join(dir, 'walk');
    for (const sub of ['walk', 'img', 'data']) mkdirSync(join(dir, sub), { recursive: true });
    for (let i = 0; i < c.frames.count; ++i)
        writeFileSync(join(folder, frameName(c.frames, i)), frameFile(c.frames, i));
    const kind = c.frames.bmp ? [] : ['--frames', 'png'];
    const outputs = ['-o', join(dir, 'img/s.png'), '--json', join(dir, 'data/s.json')];
    execFileSync(program, [folder, ...c.args.split(' '), ...kind, ...outputs], {
        stdio: ['ignore', 'ignore', 'inherit'],
    });
    const multi = c.args.includes('multiatlas');
    const json = c.sizes?.includes(',') && !multi ? 'data/s-1.json' : 'data/s.json';
    const first = JSON.parse(readFileSync(join(dir, json)));
    const others = (first.meta.related_multi_packs ?? []).map((other) =>
        JSON.parse(readFileSync(join(dir, 'data', other))),
    );
    const pages = multi ? first.textures : [first, ...others];
    const got = pages.map((p) => {
        const size = (p.meta ?? p).size;
        return `${size.w}x${size.h}`;
    });
    if (c.sizes && got.join() !== c.sizes) problems.push(`pages of ${got}, expected ${c.sizes}`);
    const rectangles = pages.map((p) => Object.values(p.frames).map(({ frame }) => frame));
    const cells = rectangles.flat().map((f) => `${f.w}x${f.h}`);
    if (c.cell && cells.some((cell) => cell !== c.cell))
        problems.push(`cells of ${cells}, expected ${c.cell}`);
    const corners = rectangles.flatMap((onPage, n) => onPage.map((f) => `${n}:${f.x},${f.y}`));
    const rects = new Set(corners).size;
    if (c.rects && rects !== c.rects) problems.push(`${rects} rectangles, expected ${c.rects}`);
    return {
        frames: c.frames,
        engines: c.engines,
        bleed: c.bleed,
        animation: 'walk',
        json: `/work/${n}/${json}`,
        folder: `/work/${n}/walk`,
    };
}

// Modules need their type; the browser tells images and JSON by their bytes.
function contentType(path) {
    if (path.endsWith('.html')) return 'text/html';
    if (path.endsWith('js')) return 'text/javascript';
    return '';
}

const work = mkdtempSync(join(tmpdir(), 'quorbel-engines-'));
const here = dirname(new URL(import.meta.url).pathname);
const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = path.startsWith('/work/') ? join(work, path.slice(6)) : join(here, path);
    const type = contentType(path);
    let body;
    try {
        body = readFileSync(file);
    } catch {
        return response.writeHead(404).end();
    }
    response.writeHead(200, type ? { 'content-type': type } : {}).end(body);
});
await new Promise((ready) => server.listen(0, '127.0.0.1', ready));
const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: [
        '--headless',
        '--no-sandbox',
        '--disable-gpu',
        '--disable-quic',
        '--no-first-run',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
        '--use-gl=angle',
        '--use-angle=swiftshader',
        '--enable-unsafe-swiftshader',
    ],
});
let failed = 0;
try {
    const page = await browser.newPage();
    page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
    await page.goto(`http://127.0.0.1:${server.address().port}/page.html`);
    await page.waitForFunction(() => window.runCase);
    for (const [n, c] of cases.entries()) {
        const problems = [];
        const loaded = makeCase(c, n, work, process.argv[2], problems);
        problems.push(...(await page.evaluate((loaded) => window.runCase(loaded), loaded)));
        failed += problems.length > 0;
        console.log(`${problems.length ? 'not ok' : 'ok'} ${n + 1} - ${c.name}`);
        for (const problem of problems) console.log(`    ${problem}`);
    }
} finally {
    await browser.close();
    server.close();
    rmSync(work, { recursive: true, force: true });
}
console.log(`${cases.length - failed} passed, ${failed} failed`);
process.exitCode = failed ? 1 : 0;
