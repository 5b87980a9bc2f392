// The frames of a case, the same in node, which writes them, and in the page, which expects them:
// each pixel tells its frame and place; every fifth is partly transparent; a frame keeps a border
// of its own, `margin` to margin + 2 pixels wide, that shows nothing (null).
export const KEY = [255, 0, 255];

export function pixel(frames, i, x, y) {
    const m = frames.margin ? frames.margin + (i % 3) : 0;
    if (x < m || y < m || x >= frames.w - m || y >= frames.h - m) return null;
    const alpha = frames.bmp || (x + 2 * y + i) % 5 ? 255 : 64 + ((i * 37) % 160);
    return [(i * 53 + x * 29) & 255, ((i * 97 + y * 31) & 255) | 1, (x * y + i * 17) & 255, alpha];
}

export const frameName = (frames, i) =>
    `f${String(i).padStart(3, '0')}.${frames.bmp ? 'bmp' : 'png'}`;
