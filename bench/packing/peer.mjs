// free-tex-packer-core on a folder of frames, as the packing benchmark compares it: MaxRects (its
// optimal packer, which tries each of its MaxRects packers and methods), no rotation, trimming
// on, identical frames once, pages of at most 4096 x 4096. Writes the sheets and their JSON into
// OUT. Usage: node peer.mjs FOLDER OUT PADDING
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import texturePacker from 'free-tex-packer-core';

const [folder, out, padding] = process.argv.slice(2);
const images = readdirSync(folder).sort().map((name) => ({ path: name, contents: readFileSync(join(folder, name)) }));
const files = await texturePacker.packAsync(images, {
    textureName: 'peer', width: 4096, height: 4096, padding: Number(padding), allowRotation: false,
    allowTrim: true, detectIdentical: true, packer: 'OptimalPacker', exporter: 'JsonHash',
});
for (const file of files) writeFileSync(join(out, file.name), file.buffer);
