// In the browser: each case's sheets loaded by PixiJS (WebGL) and Phaser (canvas), every frame
// drawn at its original size and place and compared with the frame it came from.
import * as PIXI from '/node_modules/pixi.js/dist/pixi.mjs';
import * as Phaser from '/node_modules/phaser/dist/phaser.esm.js';
import { pixel, frameName } from '/frames.mjs';

// Alpha exact; colour exact where opaque, within a step of rounding once premultiplied where
// partly transparent (WebGL hands pixels back premultiplied, a canvas unpremultiplied).
function compare(problems, label, got, c, i, premultiplied) {
    const { w, h } = c.frames;
    const name = frameName(c.frames, i);
    if (got.length !== w * h * 4)
        return problems.push(`${label}: ${name} drawn at ${got.length / 4} pixels`);
    for (let at = 0; at < got.length; at += 4) {
        const want = pixel(c.frames, i, (at / 4) % w, Math.floor(at / 4 / w)) ?? [0, 0, 0, 0];
        const a = want[3];
        const off = (k) => {
            if (a === 255) return got[at + k] !== want[k];
            const shown = premultiplied ? got[at + k] : (got[at + k] * a) / 255;
            return Math.abs(shown - (want[k] * a) / 255) > 1;
        };
        if (got[at + 3] !== a || (a > 0 && (off(0) || off(1) || off(2)))) {
            const drawn = [...got.slice(at, at + 4)];
            return problems.push(`${label}: ${name} pixel ${at / 4} is ${drawn}, expected ${want}`);
        }
    }
}

let renderer;
function draw(texture, scale) {
    const sprite = new PIXI.Sprite(texture);
    sprite.scale.set(scale);
    const target = PIXI.RenderTexture.create({ width: sprite.width, height: sprite.height });
    renderer.render({ container: sprite, target, clear: true, clearColor: [0, 0, 0, 0] });
    const { pixels } = renderer.extract.pixels(target);
    target.destroy(true);
    return pixels;
}

// All pages from the first JSON; the frames in the order of the animations, which must be the
// drawing order; with bleed, each frame drawn at 2x, filtered, against its own file drawn alike.
async function pixi(c, problems) {
    renderer ??= await PIXI.autoDetectRenderer({ preference: 'webgl', width: 1, height: 1 });
    const sheet = await PIXI.Assets.load(c.json);
    const sheets = [sheet, ...sheet.linkedSheets];
    const played = sheets.flatMap((s) => s.animations[c.animation] ?? []);
    const textures = Object.assign({}, ...sheets.map((s) => s.textures));
    if (played.length !== c.frames.count) problems.push(`pixi: ${played.length} frames played`);
    for (let i = 0; i < played.length && problems.length < 5; ++i) {
        const name = frameName(c.frames, i);
        if (played[i] !== textures[name])
            problems.push(`pixi: the animation's frame ${i} is not ${name}`);
        compare(problems, 'pixi', draw(played[i], 1), c, i, true);
        if (!c.bleed) continue;
        const alone = draw(await PIXI.Assets.load(`${c.folder}/${name}`), 2);
        const scaled = draw(played[i], 2);
        const at = scaled.findIndex((v, k) => Math.abs(v - alone[k]) > 2) & ~3;
        if (at >= 0) {
            const got = [...scaled.slice(at, at + 4)];
            const want = [...alone.slice(at, at + 4)];
            problems.push(`pixi at 2x: ${name} pixel ${at / 4} is ${got}, drawn alone ${want}`);
        }
    }
}

// Phaser finds the sheet's image where the JSON says, relative to the JSON; every frame is drawn
// on a canvas of its original size at the place Phaser's trim data gives.
function phaserFrames(textures, c, problems) {
    for (let i = 0; i < c.frames.count && problems.length < 5; ++i) {
        const name = frameName(c.frames, i);
        const frame = textures.getFrame('s', name);
        if (frame?.name !== name) {
            problems.push(`phaser: no frame ${name}`);
            continue;
        }
        const w = frame.realWidth;
        const h = frame.realHeight;
        const canvas = textures.createCanvas(`probe${i}`, w, h);
        canvas.drawFrame('s', name, frame.x, frame.y);
        compare(problems, 'phaser', canvas.context.getImageData(0, 0, w, h).data, c, i, false);
    }
}

async function phaser(c, problems) {
    const data = await (await fetch(c.json)).json();
    const folder = new URL('.', new URL(c.json, location)).href;
    await new Promise((done) => {
        new Phaser.Game({
            type: Phaser.CANVAS,
            width: 1,
            height: 1,
            banner: false,
            audio: { noAudio: true },
            scene: {
                preload() {
                    if (data.textures) {
                        this.load.multiatlas('s', c.json, folder);
                    } else {
                        this.load.atlas('s', new URL(data.meta.image, folder).href, c.json);
                    }
                },
                create() {
                    phaserFrames(this.textures, c, problems);
                    this.game.destroy(true);
                    done();
                },
            },
        });
    });
}

window.runCase = async (c) => {
    const problems = [];
    for (const engine of c.engines) await { pixi, phaser }[engine](c, problems);
    return problems;
};
