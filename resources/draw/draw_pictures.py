#!/usr/bin/env python3
"""Redraws Orvasel's pictures and icon into resources/.

    python3 resources/draw/draw_pictures.py [--preview DIR]

Writes title_strip.bmp (146 x 38, 24-bit) and about.bmp (281 x 190, 24-bit), and the same
pictures drawn for screens set to 150 % and 200 % (title_strip@1.5x.png, title_strip@2x.png,
about@1.5x.png, about@2x.png: 1.5 and 2 times as many pixels each way); orvasel.ico (16
colours, 32 x 32 first, then 16, 24, 48 and 64 pixels for the other scales) and the same
pictures as orvasel.png (32 x 32, for the window icon) and orvasel-<size>.png.
With --preview, also writes 4x enlarged PNG copies into DIR for viewing.

Everything is drawn here from shapes, in plain Python (no imaging library);
only the lettering of the about picture is set by ImageMagick's convert,
because it owns the fonts. Shapes are rasterised at a multiple of the final
size and averaged down, which gives the soft, anti-aliased edges. A picture
for another scale is drawn anew at that size, from the same shapes.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import zlib
from itertools import accumulate

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.dirname(HERE)


# ---------------------------------------------------------------- helpers

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smooth(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t,
            a[1] + (b[1] - a[1]) * t,
            a[2] + (b[2] - a[2]) * t)


def scale(c, k):
    return (c[0] * k, c[1] * k, c[2] * k)


def hash_noise(i, j):
    """Repeatable value noise in [0, 1) for texture (wood grain, pearl)."""
    n = (i * 374761393 + j * 668265263) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65536.0


def smooth_noise(x, y):
    i, j = math.floor(x), math.floor(y)
    fx, fy = x - i, y - j
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a, b = hash_noise(i, j), hash_noise(i + 1, j)
    c, d = hash_noise(i, j + 1), hash_noise(i + 1, j + 1)
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy


def box_sdf(lx, ly, hx, hy, r):
    """Signed distance to a rounded rectangle centred on the origin."""
    qx, qy = abs(lx) - hx + r, abs(ly) - hy + r
    ox, oy = max(qx, 0.0), max(qy, 0.0)
    return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r


def catmull_closed(pts, steps=14):
    """A smooth closed outline through the given points."""
    out = []
    n = len(pts)
    for i in range(n):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[(i + 1) % n], pts[(i + 2) % n]
        for k in range(steps):
            t = k / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[c] + (p2[c] - p0[c]) * t
                       + (2 * p0[c] - 5 * p1[c] + 4 * p2[c] - p3[c]) * t2
                       + (3 * p1[c] - p0[c] - 3 * p2[c] + p3[c]) * t3)
                for c in (0, 1)))
    return out


# ---------------------------------------------------------------- canvas

class Canvas:
    """An RGB float picture of w x h pixels at 100 %, made at `scale` times that size (1.5 or 2
    for the screens set to 150 % or 200 %), and drawn at `ss` times the size it is made at."""

    def __init__(self, w, h, ss, bg=(255, 255, 255), scale=1):
        self.w, self.h = w, h
        # Shapes keep their 100 % coordinates; `ss` turns them into supersampled pixels.
        self.block, self.ss = ss, ss * scale
        self.out_w, self.out_h = math.ceil(w * scale), math.ceil(h * scale)
        self.W, self.H = self.out_w * ss, self.out_h * ss
        n = self.W * self.H
        self.r = [float(bg[0])] * n
        self.g = [float(bg[1])] * n
        self.b = [float(bg[2])] * n

    # Shapes are given in final-pixel coordinates; spans are rows of
    # supersampled pixels (y, x_from, x_to_exclusive).

    def polygon_spans(self, pts):
        ss = self.ss
        P = [(x * ss, y * ss) for x, y in pts]
        ys = [p[1] for p in P]
        y0 = max(0, int(math.floor(min(ys))))
        y1 = min(self.H, int(math.ceil(max(ys))) + 1)
        edges = []
        for i in range(len(P)):
            (xa, ya), (xb, yb) = P[i - 1], P[i]
            if ya == yb:
                continue
            if ya > yb:
                xa, ya, xb, yb = xb, yb, xa, ya
            edges.append((ya, yb, xa, (xb - xa) / (yb - ya)))
        spans = []
        W = self.W
        for y in range(y0, y1):
            yc = y + 0.5
            xs = sorted(xa + (yc - ya) * k for ya, yb, xa, k in edges if ya <= yc < yb)
            for j in range(0, len(xs) - 1, 2):
                a = max(0, math.ceil(xs[j] - 0.5))
                b = min(W, math.ceil(xs[j + 1] - 0.5))
                if b > a:
                    spans.append((y, a, b))
        return spans

    def field_spans(self, inside, bbox):
        """Spans where inside(x, y) holds, searched within bbox (x0, y0, x1, y1)."""
        ss = self.ss
        inv = 1.0 / ss
        x0 = max(0, int(bbox[0] * ss)); x1 = min(self.W, int(math.ceil(bbox[2] * ss)))
        y0 = max(0, int(bbox[1] * ss)); y1 = min(self.H, int(math.ceil(bbox[3] * ss)))
        spans = []
        for y in range(y0, y1):
            fy = (y + 0.5) * inv
            start = None
            for x in range(x0, x1):
                if inside((x + 0.5) * inv, fy):
                    if start is None:
                        start = x
                elif start is not None:
                    spans.append((y, start, x)); start = None
            if start is not None:
                spans.append((y, start, x1))
        return spans

    def mask(self, spans):
        m = [0.0] * (self.W * self.H)
        W = self.W
        for y, a, b in spans:
            base = y * W
            m[base + a:base + b] = [1.0] * (b - a)
        return m

    def paint(self, spans, shader):
        """shader(x, y, index) -> (r, g, b, alpha) or None, x and y in final pixels."""
        inv = 1.0 / self.ss
        W = self.W
        R, G, B = self.r, self.g, self.b
        for y, a, b in spans:
            fy = (y + 0.5) * inv
            base = y * W
            for x in range(a, b):
                res = shader((x + 0.5) * inv, fy, base + x)
                if res is None:
                    continue
                cr, cg, cb, al = res
                if al <= 0.0:
                    continue
                i = base + x
                if al >= 1.0:
                    R[i], G[i], B[i] = cr, cg, cb
                else:
                    R[i] += (cr - R[i]) * al
                    G[i] += (cg - G[i]) * al
                    B[i] += (cb - B[i]) * al

    def fill(self, spans, colour, alpha=1.0):
        c = (colour[0], colour[1], colour[2], alpha)
        self.paint(spans, lambda x, y, i: c)

    def darken(self, field, strength, tint=(0.0, 0.0, 0.0), where=None):
        """Blends towards tint by strength * field (a shadow)."""
        R, G, B = self.r, self.g, self.b
        idx = range(len(field)) if where is None else where
        for i in idx:
            a = field[i] * strength
            if a > 0.002:
                R[i] += (tint[0] - R[i]) * a
                G[i] += (tint[1] - G[i]) * a
                B[i] += (tint[2] - B[i]) * a

    def rows(self):
        """The final picture as rows of (r, g, b) byte triples, top row first."""
        ss, W = self.block, self.W
        k = 1.0 / (ss * ss)
        out = []
        for y in range(self.out_h):
            row = []
            for x in range(self.out_w):
                sr = sg = sb = 0.0
                for dy in range(ss):
                    base = (y * ss + dy) * W + x * ss
                    sr += sum(self.r[base:base + ss])
                    sg += sum(self.g[base:base + ss])
                    sb += sum(self.b[base:base + ss])
                row.append(tuple(int(clamp(v * k, 0, 255) + 0.5) for v in (sr, sg, sb)))
            out.append(row)
        return out


def blur(field, W, H, radius, passes=3):
    """Box blur repeated `passes` times: close to a Gaussian, and fast enough."""
    r = max(1, int(radius))
    inv = 1.0 / (2 * r + 1)
    f = list(field)
    zeros_l = [0.0] * r
    zeros_r = [0.0] * (r + 1)

    def line(vals, n):
        pre = list(accumulate(zeros_l + vals + zeros_r, initial=0.0))
        d = 2 * r + 1
        return [(pre[x + d] - pre[x]) * inv for x in range(n)]

    for _ in range(passes):
        g = [0.0] * (W * H)
        for y in range(H):
            g[y * W:(y + 1) * W] = line(f[y * W:(y + 1) * W], W)
        f = [0.0] * (W * H)
        for x in range(W):
            f[x::W] = line(g[x::W], H)
    return f


def shift(field, W, H, dx, dy):
    out = [0.0] * (W * H)
    dx, dy = int(round(dx)), int(round(dy))
    for y in range(H):
        sy = y - dy
        if not 0 <= sy < H:
            continue
        for x in range(max(0, dx), min(W, W + dx)):
            out[y * W + x] = field[sy * W + x - dx]
    return out


# ---------------------------------------------------------------- the guitar

# Body coordinates: the guitar lies with its neck towards -x and the tail
# at about x = 370; +y is the bass side (the longer horn), -y the treble side
# where the knobs sit. One unit is roughly one millimetre.

BODY_OUTLINE = [
    (16, 0), (19, 40), (8, 72), (-18, 96), (-48, 110), (-66, 119),
    (-72, 133), (-60, 146), (-28, 152), (14, 151), (62, 139), (110, 128),
    (168, 145), (238, 163), (300, 152), (346, 112), (366, 52), (370, 0),
    (365, -52), (344, -110), (298, -150), (240, -160), (172, -143),
    (112, -126), (62, -136), (16, -148), (-14, -146), (-28, -134),
    (-26, -117), (-8, -98), (8, -76), (14, -44),
]

SCALE_LENGTH = 648.0
BRIDGE_X = 250.0
NUT_X = BRIDGE_X - SCALE_LENGTH
NECK_END_X = 74.0
TAIL_X = 292.0
PICKUPS_X = (128.0, 212.0)
KNOBS = ((262.0, -98.0), (308.0, -80.0), (280.0, -132.0), (324.0, -112.0))
SWITCH = (36.0, 118.0)


def string_y(k, x):
    """Lateral place of string k (0 = high E, treble side) at position x."""
    at_bridge = -26.0 + k * 10.4
    at_nut = -17.5 + k * 7.0
    t = clamp((x - NUT_X) / (BRIDGE_X - NUT_X))
    return at_nut + (at_bridge - at_nut) * t


def fret_x(n):
    return NUT_X + SCALE_LENGTH * (1.0 - 2.0 ** (-n / 12.0))


def neck_half_width(x):
    return 27.0 + (x - NECK_END_X) * 0.0175


class View:
    """Places the guitar in a picture: scale (pixels per unit), turn, origin."""

    def __init__(self, s, angle_deg, ox, oy):
        self.s = s
        a = math.radians(angle_deg)
        self.c, self.n = math.cos(a), math.sin(a)
        self.ox, self.oy = ox, oy

    def to_img(self, bx, by):
        s = self.s
        return (self.ox + s * (bx * self.c - by * self.n),
                self.oy + s * (bx * self.n + by * self.c))

    def to_body(self, ix, iy):
        dx, dy = (ix - self.ox) / self.s, (iy - self.oy) / self.s
        return (dx * self.c + dy * self.n, -dx * self.n + dy * self.c)

    def poly(self, pts):
        return [self.to_img(x, y) for x, y in pts]

    def bbox(self, pts, pad=1.0):
        q = self.poly(pts)
        xs = [p[0] for p in q]; ys = [p[1] for p in q]
        return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)

    def light(self):
        """Light direction in body coordinates for a lamp at the picture's upper left."""
        lx, ly = -0.646, -0.763
        return (lx * self.c + ly * self.n, -lx * self.n + ly * self.c)


BODY_RED = (212, 22, 30)
BODY_DEEP = (104, 4, 14)
CREAM = (238, 226, 192)
BLACK_PLASTIC = (26, 24, 26)


def chrome(t, warm=0.0):
    """Colour of polished metal across a rounded bar, t from -1 (lit side) to 1."""
    v = (0.52 + 0.46 * math.exp(-((t + 0.38) / 0.22) ** 2)
         - 0.26 * math.exp(-((t - 0.30) / 0.28) ** 2)
         + 0.16 * math.exp(-((t - 0.85) / 0.12) ** 2))
    v *= 1.0 - 0.35 * smooth(0.8, 1.0, abs(t))
    base = (226 + 20 * warm, 232, 240 - 40 * warm)
    return (clamp(base[0] * v, 0, 255), clamp(base[1] * v, 0, 255), clamp(base[2] * v, 0, 255))


def draw_guitar(cv, view, ground_shadow=True, show_knobs=True):
    W, H, ss = cv.W, cv.H, cv.ss
    s = view.s
    px_unit = s * ss          # supersampled pixels per body unit
    lbx, lby = view.light()   # light in body coordinates, for the hardware

    outline = catmull_closed(BODY_OUTLINE, 16)
    body_spans = cv.polygon_spans(view.poly(outline))
    body = cv.mask(body_spans)

    neck_pts = [(NUT_X - 40, -neck_half_width(NUT_X - 40) - 2.5),
                (NECK_END_X + 4, -neck_half_width(NECK_END_X) - 2.5),
                (NECK_END_X + 4, neck_half_width(NECK_END_X) + 2.5),
                (NUT_X - 40, neck_half_width(NUT_X - 40) + 2.5)]
    neck_spans = cv.polygon_spans(view.poly(neck_pts))
    neck = cv.mask(neck_spans)

    # Shadow of the whole guitar on the white ground, thrown down and right.
    if ground_shadow:
        both = [max(a, b) for a, b in zip(body, neck)]
        sh = blur(shift(both, W, H, 7 * px_unit, 10 * px_unit), W, H, 6 * px_unit)
        cv.darken(sh, 0.30, tint=(70, 60, 62))

    # Lacquered body: a rounded edge from a small blur of its outline, a
    # darker cherry rim from a wide one, and the studio lamps' reflections.
    bevel = blur(body, W, H, 5.5 * px_unit)
    rim = blur(body, W, H, 26 * px_unit)
    k_slope = 5.5 * px_unit * 3.2
    L = (-0.5, -0.62, 0.6)
    ln = math.sqrt(sum(v * v for v in L)); L = tuple(v / ln for v in L)
    Hh = (L[0], L[1], L[2] + 1.0)
    hn = math.sqrt(sum(v * v for v in Hh)); Hh = tuple(v / hn for v in Hh)
    w_img, h_img = cv.w, cv.h

    def body_shader(x, y, i):
        gx = (bevel[i + 1] - bevel[i - 1]) if 0 < i % W < W - 1 else 0.0
        gy = (bevel[i + W] - bevel[i - W]) if W <= i < W * (H - 1) else 0.0
        nx, ny, nz = -gx * k_slope, -gy * k_slope, 1.0
        nl = math.sqrt(nx * nx + ny * ny + 1.0)
        nx, ny, nz = nx / nl, ny / nl, nz / nl
        diff = max(0.0, nx * L[0] + ny * L[1] + nz * L[2])
        shine = max(0.0, nx * Hh[0] + ny * Hh[1] + nz * Hh[2]) ** 60
        t = clamp((1.0 - rim[i]) * 2.2) ** 1.3
        c = mix(BODY_RED, BODY_DEEP, t)
        c = scale(c, 0.42 + 0.78 * diff)
        # broad soft-box reflection across the top, and a narrow bright one
        u = (x / w_img) * 0.8 + (y / h_img) * 0.6
        flat = clamp(nz * 1.6 - 0.6)
        gloss = (0.20 * smooth(0.16, 0.30, u) * (1 - smooth(0.42, 0.62, u))
                 + 0.30 * smooth(0.66, 0.70, u) * (1 - smooth(0.72, 0.78, u))) * flat
        gl = gloss + shine * 0.85
        return (c[0] + (255 - c[0]) * gl, c[1] + (250 - c[1]) * gl, c[2] + (250 - c[2]) * gl, 1.0)

    cv.paint(body_spans, body_shader)

    # Everything that stands on the body, collected for its cast shadow.
    parts = []  # (spans, shader)
    casts = []

    # Rounded-rectangle parts: a filled shape with a lit edge.
    def rounded(cx, cy, hx, hy, r, colour_at, cast=True):
        corners = [(cx - hx, cy - hy), (cx + hx, cy - hy), (cx + hx, cy + hy), (cx - hx, cy + hy)]
        bb = view.bbox(corners)

        def inside(x, y):
            bx, by = view.to_body(x, y)
            return box_sdf(bx - cx, by - cy, hx, hy, r) < 0

        spans = cv.field_spans(inside, bb)

        def shader(x, y, i):
            bx, by = view.to_body(x, y)
            d = box_sdf(bx - cx, by - cy, hx, hy, r)
            c = colour_at(bx - cx, by - cy, d)
            return (c[0], c[1], c[2], 1.0)

        parts.append((spans, shader))
        if cast:
            casts.append(cv.mask(spans))
        return spans

    def edge_lit(base, bx, by, d, width, hx, hy):
        """Raised plastic: the edge facing the lamp lighter, the far edge darker."""
        e = smooth(-width, 0.0, d)
        side = (bx / max(hx, 1e-6)) * lbx + (by / max(hy, 1e-6)) * lby
        k = 1.0 + 0.45 * e * side
        return scale(base, clamp(k, 0.4, 1.6))

    def pole_colour(dx, dy, screw):
        c = chrome(clamp(-(dx * lbx + dy * lby), -1, 1) * 0.9)
        if screw and abs(dx * 0.7 + dy * 0.7) < 0.18:
            c = scale(c, 0.45)   # the screw's slot
        return c

    def dome(lx, ly, r, warm=0.0):
        """A round polished cap: bright towards the lamp."""
        return chrome(clamp(-(lx * lbx + ly * lby) / r, -1, 1), warm)

    # Neck: maple sides under a rosewood fingerboard, nickel frets, pearl dots.
    def maple(x, y, i):
        bx, by = view.to_body(x, y)
        hw = neck_half_width(bx) + 2.5
        t = by / hw
        g = 0.9 + 0.1 * smooth_noise(bx * 0.05, by * 0.6)
        c = scale((226, 184, 120), g * (0.75 + 0.3 * (1 - abs(t)) - 0.1 * t))
        return (c[0], c[1], c[2], 1.0)

    parts.append((neck_spans, maple))
    casts.append(neck)

    board_pts = [(NUT_X - 40, -neck_half_width(NUT_X - 40)),
                 (NECK_END_X, -neck_half_width(NECK_END_X)),
                 (NECK_END_X, neck_half_width(NECK_END_X)),
                 (NUT_X - 40, neck_half_width(NUT_X - 40))]

    def rosewood(x, y, i):
        bx, by = view.to_body(x, y)
        grain = smooth_noise(bx * 0.012, by * 0.9) * 0.6 + smooth_noise(bx * 0.05, by * 2.3) * 0.4
        c = mix((58, 32, 22), (96, 56, 36), grain)
        t = by / neck_half_width(bx)
        c = scale(c, 1.0 - 0.25 * smooth(0.7, 1.0, abs(t)) - 0.08 * t)
        return (c[0], c[1], c[2], 1.0)

    parts.append((cv.polygon_spans(view.poly(board_pts)), rosewood))

    for n in range(1, 23):
        fx = fret_x(n)
        hw = neck_half_width(fx)
        pts = [(fx - 1.0, -hw), (fx + 1.0, -hw), (fx + 1.0, hw), (fx - 1.0, hw)]

        def fret(x, y, i, fx=fx):
            bx, _ = view.to_body(x, y)
            c = chrome(clamp((bx - fx) / 1.0, -1, 1))
            return (c[0], c[1], c[2], 1.0)

        parts.append((cv.polygon_spans(view.poly(pts)), fret))

    for n, double in ((3, 0), (5, 0), (7, 0), (9, 0), (12, 1), (15, 0), (17, 0), (19, 0), (21, 0)):
        cx = (fret_x(n - 1) + fret_x(n)) / 2
        for cy in ((-13.0, 13.0) if double else (0.0,)):
            rounded(cx, cy, 3.6, 3.6, 3.6,
                    lambda lx, ly, d, cx=cx, cy=cy: scale((240, 236, 226),
                                                          0.88 + 0.12 * smooth_noise((cx + lx) * 0.6, (cy + ly) * 0.6)),
                    cast=False)

    for n, px in enumerate(PICKUPS_X):
        # cream mounting ring
        rounded(px, 0.0, 25.0, 44.0, 7.0,
                lambda lx, ly, d: edge_lit(scale(CREAM, 0.95 + 0.05 * smooth_noise(lx, ly)),
                                           lx, ly, d, 4.0, 25.0, 44.0))
        # the ring's opening, in shadow around the bobbins
        rounded(px, 0.0, 18.6, 37.4, 4.0,
                lambda lx, ly, d: scale((30, 22, 20), 1.0 - 0.4 * smooth(-2.0, 0.0, d)), cast=False)
        # two bobbins, black and cream, each with six poles
        for side, col in ((-1, CREAM if n == 0 else BLACK_PLASTIC), (1, BLACK_PLASTIC if n == 0 else CREAM)):
            bcx = px + side * 8.6

            def bobbin(lx, ly, d, col=col):
                c = edge_lit(col, lx, ly, d, 2.5, 8.0, 35.0)
                # a soft sheen along the lamp side
                sheen = 0.18 * math.exp(-((lx + 3.0) / 2.5) ** 2)
                return (c[0] + (255 - c[0]) * sheen, c[1] + (255 - c[1]) * sheen, c[2] + (255 - c[2]) * sheen)

            rounded(bcx, 0.0, 8.0, 35.0, 3.0, bobbin, cast=False)
            for k in range(6):
                pcx, pcy = bcx, string_y(k, px) * 0.98
                rounded(pcx, pcy, 2.9, 2.9, 2.9,
                        lambda lx, ly, d, screw=side < 0: pole_colour(lx / 2.9, ly / 2.9, screw),
                        cast=False)

    # Chrome bridge with its saddles, then the stop tailpiece.
    def bar_colour(half):
        return lambda lx, ly, d: chrome(clamp(lx / half, -1, 1) * (1 if lbx < 0 else -1))

    for cy in (-44.0, 44.0):
        rounded(BRIDGE_X + 1, cy, 6.5, 6.5, 6.5, lambda lx, ly, d: dome(lx, ly, 6.5))
    rounded(BRIDGE_X + 1, 0.0, 6.0, 44.0, 4.0, bar_colour(6.0))
    for k in range(6):
        sx = BRIDGE_X + (k - 2.5) * 0.7 + (1.6 if k in (2, 5) else 0.0)
        sy = string_y(k, BRIDGE_X)
        rounded(sx, sy, 3.2, 4.2, 1.2, bar_colour(3.2), cast=False)
    for cy in (-50.0, 50.0):
        rounded(TAIL_X, cy, 8.5, 8.5, 8.5, lambda lx, ly, d: dome(lx, ly, 8.5, 0.1))
    rounded(TAIL_X, 0.0, 8.0, 50.0, 7.5, lambda lx, ly, d: chrome(clamp(lx / 8.0, -1, 1) * (1 if lbx < 0 else -1), 0.1))

    if show_knobs:
        for kx, ky in KNOBS:
            rounded(kx, ky, 13.0, 13.0, 13.0, lambda lx, ly, d: knob_colour(lx, ly, 13.0, lbx, lby))
        rounded(SWITCH[0], SWITCH[1], 9.0, 9.0, 9.0,
                lambda lx, ly, d: edge_lit(CREAM, lx, ly, d, 3.0, 9.0, 9.0))
        rounded(SWITCH[0], SWITCH[1], 3.5, 3.5, 3.5,
                lambda lx, ly, d: dome(lx, ly, 3.5))

    # Shadows of the parts on the lacquer, then the parts themselves.
    cast = [0.0] * (W * H)
    for m in casts:
        for idx, v in enumerate(m):
            if v > cast[idx]:
                cast[idx] = v
    cast = blur(shift(cast, W, H, 2.2 * px_unit, 3.2 * px_unit), W, H, 1.6 * px_unit)
    inside_body = [i for i, v in enumerate(body) if v > 0.0]
    cv.darken(cast, 0.55, tint=(20, 0, 4), where=inside_body)

    for spans, shader in parts:
        cv.paint(spans, shader)

    # Strings from the nut to the tailpiece, each with a thin shadow.
    for k in range(6):
        wound = k >= 3
        half = 0.55 + 0.2 * k
        x_from, x_to = NUT_X - 40, TAIL_X - 3
        y_a, y_b = string_y(k, x_from), string_y(k, BRIDGE_X)

        def seg(dy, h):
            return [(x_from, y_a + dy - h), (BRIDGE_X, y_b + dy - h), (x_to, y_b + dy - h),
                    (x_to, y_b + dy + h), (BRIDGE_X, y_b + dy + h), (x_from, y_a + dy + h)]

        shadow_spans = cv.polygon_spans(view.poly(seg(2.2, half * 1.3)))
        cv.paint(shadow_spans, lambda x, y, i: (10, 0, 0, 0.28))

        def strand(x, y, i, k=k, half=half, wound=wound):
            bx, by = view.to_body(x, y)
            t = clamp((by - string_y(k, min(bx, BRIDGE_X))) / half, -1, 1)
            c = chrome(t * (1 if lby < 0 else -1), 0.35 if wound else 0.0)
            if wound and int(bx * 1.3) % 2 == 0:
                c = scale(c, 0.88)
            return (c[0], c[1], c[2], 1.0)

        # a string is thinner than a pixel: give it at least a faint line
        h = max(half, 0.45 / view.s)
        cv.paint(cv.polygon_spans(view.poly(seg(0.0, h))), strand)


def knob_colour(lx, ly, r, lbx, lby):
    """A black top-hat knob with a chrome cap, seen from above."""
    d = math.hypot(lx, ly) / r
    if d < 0.48:
        t = clamp(-(lx * lbx + ly * lby) / (0.48 * r), -1, 1)
        return chrome(t * 0.8, 0.15)
    side = (lx * lbx + ly * lby) / r
    k = 0.8 + 0.9 * max(0.0, side) * smooth(0.6, 1.0, d)
    ring = 0.25 * math.exp(-((d - 0.55) / 0.05) ** 2)
    c = scale(BLACK_PLASTIC, k)
    return (c[0] + 200 * ring, c[1] + 200 * ring, c[2] + 200 * ring)


# ---------------------------------------------------------------- lettering

def convert_tool():
    for cand in ("/usr/bin/convert", shutil.which("magick"), shutil.which("convert")):
        if cand and os.path.exists(cand):
            return cand
    sys.exit("ImageMagick's convert is needed for the lettering")


def text_mask(text, font, points):
    """A grey coverage mask of the text, tightly trimmed: (w, h, values 0..1)."""
    data = subprocess.run(
        [convert_tool(), "-background", "black", "-fill", "white", "-font", font,
         "-pointsize", str(points), "label:" + text, "-trim", "+repage",
         "-depth", "8", "pgm:-"], check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end]); pos = end
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    return w, h, [v / 255.0 for v in data[pos:pos + w * h]]


def letter(cv, text, font, px_height, right, baseline, colour, shadow=None):
    """Sets text with its right edge at `right`, letters standing on `baseline`
    (final pixels); px_height is the height of the capitals."""
    ss = cv.ss
    _, probe_h, _ = text_mask("H", font, 100)
    points = 100.0 * px_height * ss / probe_h
    w, h, m = text_mask(text, font, round(points, 1))
    _, cap_h, _ = text_mask("H", font, round(points, 1))
    # letters without descenders share the capitals' bottom; others hang below
    descends = any(ch in text for ch in "gjpqy")
    top = int(round(baseline * ss)) - (h if not descends else cap_h)
    left = int(round(right * ss)) - w
    layers = []
    if shadow is not None:
        layers.append((shadow[0], shadow[1], shadow[2], shadow[3]))
    layers.append((0, 0, colour, 1.0))
    for dx, dy, col, strength in layers:
        ox, oy = left + int(round(dx * ss)), top + int(round(dy * ss))
        field = [0.0] * (cv.W * cv.H)
        for yy in range(h):
            Y = oy + yy
            if not 0 <= Y < cv.H:
                continue
            for xx in range(w):
                X = ox + xx
                if 0 <= X < cv.W:
                    field[Y * cv.W + X] = m[yy * w + xx]
        if dx or dy:
            field = blur(field, cv.W, cv.H, 0.6 * ss, 2)
        cv.darken(field, strength, tint=col)


# ---------------------------------------------------------------- file formats

def bmp24(rows):
    """A Windows bitmap, 24 bits a pixel, bottom-up rows padded to 4 bytes."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def png_rgb(rows):
    return png_rgba([[px + (255,) for px in row] for row in rows])


def png_rgba(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    h, w = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


# The sixteen colours of the standard Windows icon palette, in its order.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def ico16(pictures):
    """An .ico of 4-bit pictures (palette indices; None marks a transparent pixel), in the
    order given."""
    images = []
    for indices in pictures:
        h, w = len(indices), len(indices[0])
        xor = bytearray()
        for row in reversed(indices):
            vals = [0 if v is None else v for v in row] + [0] * (w % 2)
            line = bytearray((vals[x] << 4) | vals[x + 1] for x in range(0, len(vals), 2))
            xor += line + bytes((-len(line)) % 4)
        mask_stride = ((w + 31) // 32) * 4
        andm = bytearray()
        for row in reversed(indices):
            line = bytearray(mask_stride)
            for x, v in enumerate(row):
                if v is None:
                    line[x // 8] |= 0x80 >> (x % 8)
            andm += line
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA16)
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
        images.append((w, h, info + palette + bytes(xor) + bytes(andm)))
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for w, h, image in images:
        entries += struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), offset + len(data))
        data += image
    return head + entries + data


# ---------------------------------------------------------------- the pictures

def title_strip(scale=1):
    # Shown unscaled in a box one pixel narrower, so the last column (only the
    # tail's edge) goes unseen. Tilted a little, the neck rising from the left.
    cv = Canvas(146, 38, 4, scale=scale)
    view = View(0.30, -5.0, 30.0, 24.0)
    draw_guitar(cv, view, ground_shadow=True, show_knobs=True)
    return cv


def about(scale=1):
    # The whole body on white, the neck leaving at the upper right, so the
    # lower right corner is free for the name and the version.
    cv = Canvas(281, 190, 4, scale=scale)
    view = View(0.36, 147.0, 143.0, 70.0)
    draw_guitar(cv, view)
    letter(cv, "Orvasel", "DejaVu-Serif-Bold-Italic", 23, 272, 162, (150, 8, 18),
           shadow=(1.2, 1.5, (90, 80, 80), 0.35))
    letter(cv, "1.0", "DejaVu-Sans-Bold", 9, 272, 180, (70, 70, 76))
    return cv


# Icon geometry in its own 32-pixel grid: a round badge, and a pair of
# beamed quavers on it.

def note_inside(x, y, dx=0.0, dy=0.0):
    x -= dx; y -= dy
    # note heads: tilted ellipses
    for hx, hy in ((11.4, 22.4), (21.4, 20.4)):
        ux, uy = x - hx, y - hy
        a = math.radians(-22)
        rx, ry = ux * math.cos(a) - uy * math.sin(a), ux * math.sin(a) + uy * math.cos(a)
        if (rx / 3.9) ** 2 + (ry / 2.8) ** 2 <= 1.0:
            return True
    # stems on the right of each head
    for sx, top, bottom in ((14.0, 9.2, 22.0), (24.0, 7.2, 20.0)):
        if sx - 1.4 <= x <= sx + 0.15 and top <= y <= bottom:
            return True
    # the beam, rising to the right
    def beam_y(xx):
        return 9.2 + (xx - 12.6) * (7.2 - 9.2) / (24.15 - 12.6)
    if 12.6 <= x <= 24.15 and beam_y(x) - 0.2 <= y <= beam_y(x) + 3.2:
        return True
    return False


BADGE_RADIUS = 15.6


def icon_coverage(size, samples=4):
    """For each pixel of a size x size icon: badge coverage, note coverage, note-shadow coverage,
    rim coverage (the shapes are in the 32-pixel grid)."""
    out = []
    n = samples * samples
    unit = 32.0 / size
    for py in range(size):
        row = []
        for px in range(size):
            badge = note = shade = rim = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * unit
                    y = (py + (sy + 0.5) / samples) * unit
                    d = math.hypot(x - 16.0, y - 16.0)
                    if d <= BADGE_RADIUS:
                        badge += 1
                        if d > BADGE_RADIUS - 1.35:
                            rim += 1
                        if note_inside(x, y):
                            note += 1
                        elif note_inside(x, y, 1.0, 1.0):
                            shade += 1
            row.append((badge / n, note / n, shade / n, rim / n))
        out.append(row)
    return out


def icon_pictures(size=32):
    """The icon's palette indices (None: transparent) and the same picture in RGBA."""
    cov = icon_coverage(size)
    solid = [[cov[y][x][1] >= 0.5 for x in range(size)] for y in range(size)]
    last = size - 1
    indices = []
    for py in range(size):
        irow = []
        for px in range(size):
            badge, note, shade, rim = cov[py][px]
            # where the badge's edge sits, lower right or upper left (in the 32-pixel grid)
            x, y = (px + 0.5) * 32.0 / size - 16, (py + 0.5) * 32.0 / size - 16
            lower_right = (x + y) > 4.0
            # 16 colours: hard choices
            if badge < 0.5:
                idx = None
            elif rim >= 0.5:
                idx = 8 if lower_right or (x + y) > -4.0 else 7
            elif solid[py][px]:
                # the note's lower right edge in maroon, as if it were raised
                below = solid[py + 1][px + 1] if py < last and px < last else False
                idx = 9 if below else 1
            elif shade >= 0.5:
                idx = 7
            else:
                idx = 15
                # an inner crescent of silver gives the badge some depth
                if math.hypot(x - 1.2, y - 1.2) > 13.4 and lower_right:
                    idx = 7
            irow.append(idx)
        indices.append(irow)
    rgba = [[VGA16[v] + (255,) if v is not None else (0, 0, 0, 0) for v in row] for row in indices]
    return indices, rgba


def preview(rows_rgb, path, k=4, alpha_rows=None):
    """An enlarged PNG for looking at (alpha shown over a check pattern)."""
    big = []
    for y, row in enumerate(rows_rgb):
        line = []
        for x, px in enumerate(row):
            if alpha_rows is not None:
                a = alpha_rows[y][x] / 255.0
                bg = 200 if ((x // 4 + y // 4) % 2) else 150
                px = tuple(int(bg + (c - bg) * a + 0.5) for c in px)
            line.extend([px + (255,)] * k)
        big.extend([line] * k)
    with open(path, "wb") as f:
        f.write(png_rgba(big))


# The scales of the screens the pictures are drawn for, beside 100 %, and the names' suffixes.
SCALES = ((1.5, "@1.5x"), (2, "@2x"))
# The icon's sizes: 32 (the program's own) first, then the small and large icons at the scales.
ICON_SIZES = (32, 16, 24, 48, 64)


def main():
    args = sys.argv[1:]
    pdir = None
    if args[:1] == ["--preview"] and len(args) > 1:
        pdir = args[1]
        os.makedirs(pdir, exist_ok=True)

    def write(name, data):
        with open(os.path.join(OUT_DIR, name), "wb") as f:
            f.write(data)

    strip = title_strip().rows()
    write("title_strip.bmp", bmp24(strip))
    box = about().rows()
    write("about.bmp", bmp24(box))
    for scale, suffix in SCALES:
        write("title_strip" + suffix + ".png", png_rgb(title_strip(scale).rows()))
        write("about" + suffix + ".png", png_rgb(about(scale).rows()))

    icons = {size: icon_pictures(size) for size in ICON_SIZES}
    write("orvasel.ico", ico16([icons[size][0] for size in ICON_SIZES]))
    for size, (_, rgba) in icons.items():
        write("orvasel.png" if size == 32 else "orvasel-%d.png" % size, png_rgba(rgba))

    if pdir:
        preview(strip, os.path.join(pdir, "title_strip.png"))
        preview(box, os.path.join(pdir, "about.png"))
        indices, rgba = icons[32]
        pal = [[VGA16[v] if v is not None else (0, 0, 0) for v in row] for row in indices]
        alpha = [[0 if v is None else 255 for v in row] for row in indices]
        preview(pal, os.path.join(pdir, "icon16.png"), 8, alpha)
        preview([[p[:3] for p in row] for row in rgba], os.path.join(pdir, "icon_png.png"), 8,
                [[p[3] for p in row] for row in rgba])


if __name__ == "__main__":
    main()
