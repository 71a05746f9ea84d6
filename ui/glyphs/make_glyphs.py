#!/usr/bin/env python3
"""Draws the window's button pictures (24 x 22) and the program icon (32 x 32)
in the sixteen colours of the classic palette and writes them as PNG files
next to this script, each also drawn again at twice the size as NAME@2x.png
(which Qt picks on screens scaled to 150 % and more). Run it again after
changing a picture."""

import os
import struct
import zlib

PALETTE = {
    '.': None,                 # transparent
    'k': (0, 0, 0),            # black
    'm': (128, 0, 0),          # maroon
    'g': (0, 128, 0),          # green
    'o': (128, 128, 0),        # olive
    'n': (0, 0, 128),          # navy
    'p': (128, 0, 128),        # purple
    't': (0, 128, 128),        # teal
    's': (192, 192, 192),      # silver
    'd': (128, 128, 128),      # gray
    'r': (255, 0, 0),          # red
    'l': (0, 255, 0),          # lime
    'y': (255, 255, 0),        # yellow
    'b': (0, 0, 255),          # blue
    'f': (255, 0, 255),        # fuchsia
    'a': (0, 255, 255),        # aqua
    'w': (255, 255, 255),      # white
}


class Picture:
    """A picture drawn in the coordinates of its 1x size. At a scale of 2
    areas and single pixels cover 2 x 2 pixels, while lines and frames are
    drawn again one pixel thin along the middle of their 1x pixels, so they
    come out sharp instead of doubled."""

    def __init__(self, width, height, scale=1):
        self.scale = scale
        self.width, self.height = width * scale, height * scale
        self.pixels = [['.'] * self.width for _ in range(self.height)]

    def at(self, x, y):
        """The colour at a 1x pixel."""
        return self.pixels[y * self.scale][x * self.scale]

    def dot(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = c

    def put(self, x, y, c):
        for dy in range(self.scale):
            for dx in range(self.scale):
                self.dot(x * self.scale + dx, y * self.scale + dy, c)

    def fill(self, x1, y1, x2, y2, c):
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                self.put(x, y, c)

    def frame(self, x1, y1, x2, y2, c):
        self.line(x1, y1, x2, y1, c)
        self.line(x1, y2, x2, y2, c)
        self.line(x1, y1, x1, y2, c)
        self.line(x2, y1, x2, y2, c)

    def line(self, x1, y1, x2, y2, c):
        s = self.scale
        # The 1x line's pixel centres, at this scale.
        ax, ay, bx, by = (x1 * s + s // 2, y1 * s + s // 2, x2 * s + s // 2, y2 * s + s // 2)
        steps = max(abs(bx - ax), abs(by - ay), 1)
        for i in range(steps + 1):
            self.dot(round(ax + (bx - ax) * i / steps), round(ay + (by - ay) * i / steps), c)

    def rows(self, x, y, rows):
        for dy, row in enumerate(rows):
            for dx, c in enumerate(row):
                if c != ' ':
                    self.put(x + dx, y + dy, c)

    def write_png(self, path):
        raw = bytearray()
        for row in self.pixels:
            raw.append(0)
            for c in row:
                rgb = PALETTE[c]
                raw.extend((0, 0, 0, 0) if rgb is None else (*rgb, 255))

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

        png = b'\x89PNG\r\n\x1a\n'
        png += chunk(b'IHDR', struct.pack('>IIBBBBB', self.width, self.height, 8, 6, 0, 0, 0))
        png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
        png += chunk(b'IEND', b'')
        with open(path, 'wb') as out:
            out.write(png)


def calculate(scale):
    """A pocket calculator with a green display."""
    p = Picture(24, 22, scale)
    p.fill(5, 1, 18, 20, 's')
    p.frame(4, 0, 19, 21, 'k')
    p.line(5, 1, 18, 1, 'w')
    p.line(5, 1, 5, 20, 'w')
    p.line(18, 2, 18, 20, 'd')
    p.line(6, 20, 18, 20, 'd')
    p.fill(7, 3, 16, 6, 'g')
    p.frame(7, 3, 16, 6, 'k')
    p.rows(10, 4, ['l l l', ' l l '])
    for row in range(4):
        for col in range(4):
            x, y = 7 + col * 3, 9 + row * 3
            colour = 'r' if (col == 3 and row == 3) else ('n' if col == 3 else 'w')
            p.fill(x, y, x + 1, y + 1, colour)
            p.put(x + 1, y + 1, 'k' if colour == 'w' else 'k')
    return p


def printer(scale):
    """A printer with a sheet coming out at the top."""
    p = Picture(24, 22, scale)
    # The sheet.
    p.fill(6, 0, 17, 9, 'w')
    p.frame(6, 0, 17, 9, 'k')
    for y in (2, 4, 6):
        p.line(8, y, 15, y, 'n')
    # The body.
    p.fill(1, 9, 22, 18, 's')
    p.frame(1, 9, 22, 18, 'k')
    p.line(2, 10, 21, 10, 'w')
    p.line(2, 10, 2, 17, 'w')
    p.line(2, 17, 21, 17, 'd')
    p.line(21, 11, 21, 17, 'd')
    # The paper slot and the tray.
    p.line(5, 12, 18, 12, 'k')
    p.fill(4, 19, 19, 20, 'd')
    p.line(4, 21, 19, 21, 'k')
    p.line(3, 19, 3, 20, 'k')
    p.line(20, 19, 20, 20, 'k')
    # Power light.
    p.fill(18, 14, 19, 15, 'l')
    return p


def pictex(scale):
    """A page with a small flow-net figure and the letters TeX."""
    p = Picture(24, 22, scale)
    p.fill(3, 0, 17, 21, 'w')
    p.frame(3, 0, 17, 21, 'k')
    # Folded corner.
    p.fill(14, 0, 17, 3, '.')
    p.line(14, 0, 17, 3, 'k')
    p.line(14, 0, 14, 3, 'k')
    p.line(14, 3, 17, 3, 'k')
    p.line(15, 1, 15, 2, 's')
    p.put(16, 2, 's')
    # Axes and curves of the figure.
    p.line(6, 11, 14, 11, 'k')
    p.line(6, 11, 6, 3, 'k')
    p.rows(5, 3, ['k k'])
    p.rows(13, 10, ['k', ' ', 'k'])
    p.rows(7, 4, ['bbb', '   bb', '     b', '      b', '       bb', '         b'])
    p.rows(8, 7, ['r', 'r', 'r'])
    p.rows(11, 6, ['r', 'r', 'r', 'r'])
    # TeX, with the E lowered.
    p.rows(5, 14, ['mmm', ' m ', ' m ', ' m ', ' m '])
    p.rows(9, 15, ['mmm', 'm  ', 'mm ', 'm  ', 'mmm'])
    p.rows(13, 14, ['m m', 'm m', ' m ', 'm m', 'm m'])
    # A pen across the page.
    p.line(22, 8, 16, 19, 'y')
    p.line(23, 9, 17, 20, 'o')
    p.line(21, 8, 15, 19, 'o')
    p.put(15, 20, 'k')
    p.put(16, 20, 'k')
    p.put(22, 7, 'r')
    p.put(23, 8, 'r')
    return p


def help_glyph(scale):
    """A blue question mark on a yellow bubble."""
    p = Picture(24, 22, scale)
    bubble = [
        '      kkkkkkkkkkk      ',
        '    kkyyyyyyyyyyykk    ',
        '   kyyyyyyyyyyyyyyyk   ',
        '  kyyyyyyyyyyyyyyyyyk  ',
        ' kyyyyyyyyyyyyyyyyyyyk ',
        ' kyyyyyyyyyyyyyyyyyyyk ',
        'kyyyyyyyyyyyyyyyyyyyyyk',
        'kyyyyyyyyyyyyyyyyyyyyyk',
        'kyyyyyyyyyyyyyyyyyyyyyk',
        'kyyyyyyyyyyyyyyyyyyyyyk',
        'kyyyyyyyyyyyyyyyyyyyyyk',
        'kyyyyyyyyyyyyyyyyyyyyyk',
        ' kyyyyyyyyyyyyyyyyyyyk ',
        ' kyyyyyyyyyyyyyyyyyyyk ',
        '  kyyyyyyyyyyyyyyyyyk  ',
        '   kyyyyyyyyyyyyyyyk   ',
        '    kkyyyyyyyyyyykk    ',
        '      kkkyyyykkkk      ',
        '         kyyk          ',
        '          kyk          ',
        '           kk          ',
        '                       ',
    ]
    if scale == 1:
        p.rows(0, 0, bubble)
    else:
        # The bubble drawn again as an ellipse with a thin outline and its tail.
        def inside(u, v, shrink):
            return ((u - 11.5) / (11.5 - shrink)) ** 2 + ((v - 8.5) / (8.5 - shrink)) ** 2 <= 1

        def in_tail(u, v, shrink):
            # The tail: a wedge from the bubble's bottom down to (12, 21).
            if not 16 <= v <= 21 - shrink:
                return False
            t = (v - 16) / 5
            return 9 + 3 * t + shrink <= u <= 14 - 2 * t - shrink

        for y in range(p.height):
            for x in range(p.width):
                u, v = (x + 0.5) / scale, (y + 0.5) / scale
                if inside(u, v, 0) or in_tail(u, v, 0):
                    thin = 1 / scale
                    body = inside(u, v, thin) or (in_tail(u, v, thin) and v > 16.5)
                    p.dot(x, y, 'y' if body else 'k')
    question = [
        '  bbbbb  ',
        ' bbnnnbb ',
        'bbn   bbn',
        ' nn   bbn',
        '     bbnn',
        '    bbnn ',
        '   bbnn  ',
        '   bbn   ',
        '    nn   ',
        '   bb    ',
        '   bbn   ',
        '    nn   ',
    ]
    if scale == 1:
        p.rows(7, 2, question)
    else:
        # Drawn again at twice the size, with strokes of three pixels and a
        # one-pixel shadow, so the mark is as sharp as the bubble.
        question2 = [
            '    bbbbbbbbbb    ',
            '  bbbbbbbbbbbbbb  ',
            ' bbbbnnnnnnnnbbbb ',
            'bbbbn        bbbbn',
            'bbbbn        bbbbn',
            ' nnnn        bbbbn',
            '            bbbbnn',
            '           bbbbnn ',
            '          bbbbnn  ',
            '         bbbbnn   ',
            '        bbbbnn    ',
            '       bbbbnn     ',
            '       bbbbn      ',
            '       bbbbn      ',
            '       bbbbn      ',
            '        nnnn      ',
            '                  ',
            '                  ',
            '       bbbb       ',
            '       bbbbn      ',
            '       bbbbn      ',
            '       bbbbn      ',
            '        nnnn      ',
            '                  ',
        ]
        for dy, row in enumerate(question2):
            for dx, c in enumerate(row):
                if c != ' ':
                    p.dot(7 * scale + dx * scale // 2, 2 * scale + dy * scale // 2, c)
    return p


def icon(scale):
    """The program: a water divide between two drains, with its flow net."""
    p = Picture(32, 32, scale)
    p.fill(0, 0, 31, 31, 'a')
    p.frame(0, 0, 31, 31, 'k')
    # Soil below the ground surface: left drain high, right drain low.
    ground_left, ground_right = 11, 17
    for x in range(1, 31):
        top = ground_left if x < 10 else (ground_right if x > 21 else None)
        if top is None:
            # The water table rises from the right drain to the divide and
            # falls to the left drain.
            t = (x - 10) / 11.0
            top = round(ground_left - 5 * (1 - (2 * t - 1) ** 2) * (1.2 if t > 0.5 else 1.0)
                        + (ground_right - ground_left) * t)
        for y in range(top, 31):
            p.put(x, y, 'o')
        p.put(x, top, 'n')
    # Drains as blue bars.
    p.line(1, ground_left, 9, ground_left, 'b')
    p.line(22, ground_right, 30, ground_right, 'b')
    p.line(1, ground_left - 1, 9, ground_left - 1, 'b')
    p.line(22, ground_right - 1, 30, ground_right - 1, 'b')
    # Stream lines from the divide down and out to both drains.
    for spread in (4, 8, 12):
        for x in range(1, 31):
            d = (x - 15.5) / 15.5
            y = round(ground_left + 3 + spread * (1 - d * d) * 0.9 + (2 if x > 15 else 0))
            if 1 <= y < 31 and p.at(x, y) == 'o':
                p.put(x, y, 'y')
    # Potential lines: short strokes across the stream lines.
    for x in (6, 12, 19, 25):
        for y in range(14, 30):
            if p.at(x, y) == 'o':
                p.put(x, y, 'k' if y % 2 else 'o')
    # Rain.
    for x, y in ((11, 2), (15, 4), (19, 2), (23, 4), (7, 4), (13, 7), (17, 7), (21, 8)):
        p.put(x, y, 'b')
        p.put(x, y + 1, 'b')
    return p


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in (('calculate', calculate), ('print', printer), ('pictex', pictex),
                       ('help', help_glyph), ('brelloc', icon)):
        draw(1).write_png(os.path.join(here, name + '.png'))
        draw(2).write_png(os.path.join(here, name + '@2x.png'))


if __name__ == '__main__':
    main()
