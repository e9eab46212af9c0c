#!/usr/bin/env python3
"""Derives the expected head column and metrics of the golden comet in
CometGoldenTest.cpp, written out plainly and independently of the C++ code:
integer image, column profiles, five 5x5 blurs, the percentile or
descending-threshold head search with 4-connected regions found by flood
fill, the mirrored head split, and single-precision rounding of every stored
value. Prints the C++ literals."""
import struct

W, H = 120, 70


def f32(v):
    return struct.unpack('<f', struct.pack('<f', v))[0]


def pixel(x, y):
    v = 0
    d2 = (x - 30) ** 2 + (y - 35) ** 2
    if d2 < 400:
        v += 230 - d2 * 230 // 400
    if 30 <= x <= 110:
        t = (110 - x) * 120 // 80
        s = 8 + (x - 30) // 8
        dy = abs(y - 35)
        if dy <= s:
            v += t * (s - dy) // s
    v += ((x * 73856093) ^ (y * 19349663)) % 7 - 3
    v = max(0, min(255, v))
    return 0 if v < 12 else v


img = [[pixel(x, y) for x in range(W)] for y in range(H)]

col_count = [sum(1 for y in range(H) if img[y][x] > 0) for x in range(W)]
row_count = [sum(1 for x in range(W) if img[y][x] > 0) for y in range(H)]
col_sum = [sum(img[y][x] for y in range(H)) for x in range(W)]

K5 = [[1, 2, 3, 2, 1], [2, 7, 11, 7, 2], [3, 11, 17, 11, 3], [2, 7, 11, 7, 2], [1, 2, 3, 2, 1]]


def blur5(a):
    out = [[0] * W for _ in range(H)]
    for y in range(H):
        for x in range(W):
            acc = 0
            for o in range(5):
                yy = min(max(y - 2 + o, 0), H - 1)
                for i in range(-2, 3):
                    xx = min(max(x - i, 0), W - 1)
                    acc += a[yy][xx] * K5[o][2 + i]
            out[y][x] = min(acc // 121, 255)
    return out


def regions(mask):
    """4-connected regions of set pixels as lists of (x, y)."""
    seen = [[False] * W for _ in range(H)]
    found = []
    for y in range(H):
        for x in range(W):
            if mask[y][x] and not seen[y][x]:
                stack, pixels = [(x, y)], []
                seen[y][x] = True
                while stack:
                    px, py = stack.pop()
                    pixels.append((px, py))
                    for nx, ny in ((px + 1, py), (px - 1, py), (px, py + 1), (px, py - 1)):
                        if 0 <= nx < W and 0 <= ny < H and mask[ny][nx] and not seen[ny][nx]:
                            seen[ny][nx] = True
                            stack.append((nx, ny))
                found.append(pixels)
    return found


def leftmost_centroid(mask):
    feats = [p for p in regions(mask) if min(x for x, _ in p) < max(x for x, _ in p)]
    if not feats:
        return None
    lefts = [min(x for x, _ in p) for p in feats]
    best = min(lefts)
    winners = [p for p, l in zip(feats, lefts) if l == best]
    assert len(winners) == 1, "tie: the label order would decide"
    p = sorted(winners[0], key=lambda q: (q[1], q[0]))
    sx = 0.0
    for x, _ in p:
        sx = f32(sx + (x - best))
    return int(best + sx / len(p))


blurred = img
for _ in range(5):
    blurred = blur5(blurred)

start = max(range(W), key=lambda x: (col_sum[x], -x))
ratio = f32(W / H)
half = int(W * 0.5)
assert ratio >= 1.1
if start > half:
    head = start
    for level in range(254, 0, -1):
        c = leftmost_centroid([[v >= level for v in row] for row in blurred])
        if c is not None:
            head = c
        if head <= half:
            break
    branch = 'descending'
else:
    hist = [0] * 256
    for row in blurred:
        for v in row:
            hist[v] += 1
    import math
    target = math.ceil(W * H * f32(0.001))
    total, level = 0, 0
    for n in range(255, -1, -1):
        total += hist[n]
        if total >= target:
            level = 255 if n == 255 else n + 1
            break
    c = leftmost_centroid([[v >= level for v in row] for row in blurred])
    cand = start if c is None else c
    head = cand if abs(cand - start) > 2 else start
    branch = 'percentile'
head = max(head, 2)

# The split about the head column.
h = min(max(head, 0), W - 1)
cmin, smin, smax = min(col_count), min(col_sum), max(col_sum)
hs, hc = [0] * W, [0] * W
for j in range(h):
    hs[j], hc[j] = col_sum[j] - smin, col_count[j] - cmin
    m = 2 * h - 1 - j
    if m < W:
        hs[m] = min(col_sum[j] - smin, col_sum[m] - smin)
        hc[m] = min(col_count[j] - cmin, col_count[m] - cmin)
ts = [col_sum[j] - hs[j] - smin for j in range(W)]
tc = [max(col_count[j] - hc[j] - cmin, 0) for j in range(W)]


def extent(p):
    nz = [i for i, v in enumerate(p) if v]
    return nz[0], nz[-1]


c0, c1 = extent(col_count)
r0, r1 = extent(row_count)
h0, h1 = extent(hc)
length, height, diameter = c1 - c0 + 1, r1 - r0 + 1, h1 - h0 + 1
area, intensity = sum(col_count) or 1, sum(col_sum) or 1
tail_area, tail_int = sum(tc) or 1, sum(ts) or 1
olive = sum(ts[j] * (j - h) for j in range(W) if j > h)

m = [0.0] * 18
m[1], m[2], m[3], m[4] = f32(length), f32(height), f32(area), f32(intensity)
m[6] = f32(diameter)
m[11] = f32(0 if diameter > length else length - diameter)
m[12], m[13] = f32(tail_area), f32(tail_int)
m[5] = f32(m[4] / m[3])
m[7] = f32(m[3] - m[12])
m[8] = f32(m[4] - m[13])
m[9] = f32(m[8] / m[7])
m[10] = f32(m[8] / m[4])
m[15] = f32(m[13] / m[4])
m[17] = f32(olive / m[4])
m[16] = f32(m[15] * m[11])
m[14] = f32(m[13] / m[12])
m[10] = f32(m[10] * 100)
m[15] = f32(m[15] * 100)

print('// branch:', branch, 'start', start, 'head', head)
print('constexpr std::int32_t kHead = %d;' % head)
def literal(v):
    text = '%.9g' % v
    return (text if ('.' in text or 'e' in text) else text + '.0') + 'f'


print('constexpr float kMetrics[18] = {' + ', '.join(literal(v) for v in m) + '};')
