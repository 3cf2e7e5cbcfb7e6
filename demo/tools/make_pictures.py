#!/usr/bin/python3
"""Draws the demo's pictures: backgrounds, the guide character, the
key-wait marker and the message box.

Usage: make_pictures.py OUTPUT_DIR   (writes OUTPUT_DIR/pic/*.png)

Everything is drawn from code with Pillow and NumPy, so the repository holds
no binary art and the pictures can be changed by editing this file. Shapes
are drawn at four times their size and scaled down, which smooths the edges.
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

WIDTH, HEIGHT = 800, 600
SUPER = 4  # supersampling factor for smooth edges


def vertical_gradient(top, bottom, width=WIDTH, height=HEIGHT):
    """An RGB picture running from colour `top` to colour `bottom`."""
    t = np.linspace(0.0, 1.0, height)[:, None, None]
    rows = (1 - t) * np.array(top, float) + t * np.array(bottom, float)
    return Image.fromarray(np.repeat(rows, width, axis=1).astype(np.uint8), "RGB")


def smooth_layer(draw_function, size=(WIDTH, HEIGHT)):
    """Runs draw_function(ImageDraw, scale) on a large transparent canvas and
    returns it scaled down to `size`: anti-aliased shapes for free."""
    big = Image.new("RGBA", (size[0] * SUPER, size[1] * SUPER), (0, 0, 0, 0))
    draw_function(ImageDraw.Draw(big), SUPER)
    return big.resize(size, Image.LANCZOS)


def hills(colours, base, amplitude, seed):
    """Rolling hills, back to front, as one transparent overlay."""
    def draw(d, s):
        for i, colour in enumerate(colours):
            phase = seed + i * 1.7
            y0 = base + i * 45
            points = [(0, HEIGHT * s)]
            for x in range(0, WIDTH + 10, 10):
                y = y0 + amplitude * (math.sin(x / 130.0 + phase) * 0.6 +
                                      math.sin(x / 57.0 + phase * 2) * 0.25)
                points.append((x * s, y * s))
            points.append((WIDTH * s, HEIGHT * s))
            d.polygon(points, fill=colour)
    return smooth_layer(draw)


def background_sky():
    """The title and introduction: a clear morning sky over green hills."""
    picture = vertical_gradient((92, 156, 222), (206, 232, 246))
    glow = smooth_layer(lambda d, s: d.ellipse(
        [(560 * s, 40 * s), (720 * s, 200 * s)], fill=(255, 250, 220, 255)))
    picture.paste(glow, (0, 0), glow.filter(ImageFilter.GaussianBlur(2)))

    def clouds(d, s):
        for cx, cy, r in [(140, 120, 34), (180, 110, 42), (225, 124, 30),
                          (390, 290, 22), (418, 282, 30), (452, 292, 20)]:
            d.ellipse([((cx - r) * s, (cy - r) * s), ((cx + r) * s, (cy + r * 0.7) * s)],
                      fill=(255, 255, 255, 230))
    cloud_layer = smooth_layer(clouds)
    picture.paste(cloud_layer, (0, 0), cloud_layer)
    h = hills([(120, 180, 110, 255), (90, 156, 84, 255), (64, 128, 66, 255)], 380, 30, 0.3)
    picture.paste(h, (0, 0), h)
    return picture


def background_garden():
    """The first branch: a garden in full sun, with flower beds."""
    picture = vertical_gradient((120, 190, 235), (225, 240, 210))
    h = hills([(140, 196, 100, 255), (108, 172, 78, 255)], 330, 20, 2.0)
    picture.paste(h, (0, 0), h)
    rng = np.random.default_rng(7)

    def flowers(d, s):
        for _ in range(140):
            x = rng.uniform(0, WIDTH)
            y = rng.uniform(420, HEIGHT)
            r = 3 + (y - 420) / 40
            colour = [(240, 90, 110, 255), (250, 200, 70, 255), (250, 250, 250, 255),
                      (180, 120, 230, 255)][rng.integers(0, 4)]
            d.ellipse([((x - r) * s, (y - r) * s), ((x + r) * s, (y + r) * s)], fill=colour)
        # a path through the middle
        d.polygon([(360 * s, 400 * s), (440 * s, 400 * s), (560 * s, HEIGHT * s),
                   (240 * s, HEIGHT * s)], fill=(214, 190, 150, 255))
    f = smooth_layer(flowers)
    picture.paste(f, (0, 0), f)
    return picture


def background_library():
    """The other branch: a warm, dim library with shelves of books."""
    picture = vertical_gradient((70, 44, 30), (38, 24, 18))
    rng = np.random.default_rng(11)

    def shelves(d, s):
        for shelf in range(5):
            y = 60 + shelf * 100
            d.rectangle([(40 * s, (y + 80) * s), (760 * s, (y + 92) * s)], fill=(98, 62, 36, 255))
            x = 50
            while x < 750:
                w = int(rng.integers(12, 26))
                h = int(rng.integers(50, 78))
                colour = tuple(int(c) for c in rng.integers(60, 190, 3)) + (255,)
                d.rectangle([(x * s, (y + 80 - h) * s), ((x + w - 2) * s, (y + 80) * s)],
                            fill=colour)
                x += w
    shelf_layer = smooth_layer(shelves)
    picture.paste(shelf_layer, (0, 0), shelf_layer)
    # A lamp's pool of light in the middle, darker towards the corners.
    yy, xx = np.mgrid[0:HEIGHT, 0:WIDTH]
    light = np.exp(-(((xx - 400) / 330.0) ** 2 + ((yy - 180) / 260.0) ** 2))
    rgb = np.asarray(picture, float) * (0.45 + 0.75 * light[:, :, None])
    return Image.fromarray(np.clip(rgb, 0, 255).astype(np.uint8), "RGB")


def background_sunset():
    """The common ending: the hills of the introduction at sunset."""
    picture = vertical_gradient((60, 50, 110), (250, 150, 90))
    sun = smooth_layer(lambda d, s: d.ellipse(
        [(330 * s, 270 * s), (470 * s, 410 * s)], fill=(255, 210, 120, 255)))
    picture.paste(sun, (0, 0), sun)
    h = hills([(110, 70, 90, 255), (80, 50, 72, 255), (56, 36, 56, 255)], 380, 30, 0.3)
    picture.paste(h, (0, 0), h)
    return picture


def character():
    """Tessa, the guide: a simple figure, 260 x 400, on transparency."""
    w, h = 260, 400

    def draw(d, s):
        def box(x0, y0, x1, y1):
            return [(x0 * s, y0 * s), (x1 * s, y1 * s)]
        outline = (40, 36, 60, 255)
        # hair behind the head
        d.ellipse(box(58, 20, 202, 180), fill=(70, 52, 110, 255))
        d.rectangle(box(62, 100, 198, 200), fill=(70, 52, 110, 255))
        # dress
        d.polygon([(130 * s, 170 * s), (40 * s, 395 * s), (220 * s, 395 * s)],
                  fill=(232, 96, 84, 255), outline=outline)
        d.polygon([(100 * s, 180 * s), (160 * s, 180 * s), (150 * s, 230 * s),
                   (110 * s, 230 * s)], fill=(250, 240, 230, 255))
        # arms
        d.line([(96 * s, 200 * s), (52 * s, 300 * s)], fill=(250, 222, 200, 255), width=14 * s)
        d.line([(164 * s, 200 * s), (208 * s, 300 * s)], fill=(250, 222, 200, 255), width=14 * s)
        # head
        d.ellipse(box(72, 40, 188, 170), fill=(252, 226, 204, 255), outline=outline, width=s)
        # fringe
        d.chord(box(66, 28, 194, 120), 180, 360, fill=(70, 52, 110, 255))
        # eyes and smile
        for ex in (108, 152):
            d.ellipse(box(ex - 9, 100, ex + 9, 122), fill=(50, 40, 90, 255))
            d.ellipse(box(ex - 3, 103, ex + 3, 110), fill=(255, 255, 255, 255))
        d.arc(box(114, 126, 146, 150), 20, 160, fill=(160, 60, 70, 255), width=3 * s)
        for cx in (96, 164):
            d.ellipse(box(cx - 10, 130, cx + 10, 142), fill=(250, 170, 170, 160))
        # a tile-shaped hair clip
        d.polygon([(176 * s, 52 * s), (190 * s, 66 * s), (176 * s, 80 * s), (162 * s, 66 * s)],
                  fill=(250, 210, 90, 255), outline=outline)
    return smooth_layer(draw, (w, h))


def marker_sheet():
    """The key-wait marker: four 16 x 16 frames side by side of a diamond
    turning about its vertical axis; the scripts show one frame at a time
    with SetLayerISize."""
    size = 16

    def draw(d, s):
        for frame in range(4):
            half = max(1.0, 6.5 * abs(math.cos(frame * math.pi / 4)))
            cx = frame * size + size / 2
            cy = size / 2
            d.polygon([(cx * s, (cy - 7) * s), ((cx + half) * s, cy * s), (cx * s, (cy + 7) * s),
                       ((cx - half) * s, cy * s)], fill=(255, 226, 120, 255),
                      outline=(120, 80, 20, 255))
    return smooth_layer(draw, (size * 4, size))


def glow():
    """A soft round light, 320 x 320, brightest in the middle: added onto the
    sunset with additive blending (SetLayerBlendParam 770, 1)."""
    size = 320
    yy, xx = np.mgrid[0:size, 0:size]
    r = np.hypot(xx - size / 2 + 0.5, yy - size / 2 + 0.5) / (size / 2)
    alpha = np.clip(1 - r, 0, 1) ** 2
    rgba = np.zeros((size, size, 4))
    rgba[:, :, 0], rgba[:, :, 1], rgba[:, :, 2] = 255, 190, 110
    rgba[:, :, 3] = 200 * alpha
    return Image.fromarray(rgba.astype(np.uint8), "RGBA")


def message_box():
    """The panel under the message window: a rounded, half-transparent box."""
    w, h = 760, 170

    def draw(d, s):
        d.rounded_rectangle([(0, 0), (w * s - 1, h * s - 1)], radius=18 * s,
                            fill=(16, 20, 44, 200), outline=(200, 210, 255, 230), width=2 * s)
    return smooth_layer(draw, (w, h))


def icon():
    """The window icon, 64 x 64: the key-wait marker's diamond on a night-blue tile."""
    size = 64

    def draw(d, s):
        d.rounded_rectangle([(2 * s, 2 * s), ((size - 2) * s, (size - 2) * s)], radius=12 * s,
                            fill=(30, 40, 90, 255), outline=(200, 210, 255, 255), width=2 * s)
        c = size / 2
        d.polygon([(c * s, 10 * s), ((c + 16) * s, c * s), (c * s, (size - 10) * s),
                   ((c - 16) * s, c * s)], fill=(255, 226, 120, 255), outline=(120, 80, 20, 255))
    return smooth_layer(draw, (size, size))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = os.path.join(sys.argv[1], "pic")
    os.makedirs(out, exist_ok=True)
    pictures = {
        "sky.png": background_sky(),
        "garden.png": background_garden(),
        "library.png": background_library(),
        "sunset.png": background_sunset(),
        "tessa.png": character(),
        "marker.png": marker_sheet(),
        "box.png": message_box(),
        "glow.png": glow(),
        "icon.png": icon(),
    }
    for name, picture in pictures.items():
        picture.save(os.path.join(out, name), optimize=True)


if __name__ == "__main__":
    main()
