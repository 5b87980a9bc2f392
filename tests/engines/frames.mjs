// The frames of a case, the same in node, which writes them, and in the page, which expects them:
// each pixel tells its frame and place; every fifth is partly transparent; a frame keeps a border
// of its own, `margin` to margin + 2 pixels wide, that shows nothing (null). With `kinds`, frame i
// is frame i % kinds again.
export const KEY = [255, 0, 255];

export function pixel(frames, i, x, y) {
    const k = frames.kinds ? i % frames.kinds : i;
    const m = frames.margin ? frames.margin + (k % 3) : 0;
    if (x < m || y < m || x >= frames.w - m || y >= frames.h - m) return null;
    const alpha = frames.bmp || (x + 2 * y + k) % 5 ? 255 : 64 + ((k * 37) % 160);
    return [(k * 53 + x * 29) & 255, ((k * 97 + y * 31) & 255) | 1, (x * y + k * 17) & 255, alpha];
}

export const frameName = (frames, i) =>
    `f${String(i).padStart(3, '0')}.${frames.bmp ? 'bmp' : 'png'}`;
