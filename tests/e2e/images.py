#!/usr/bin/env python3
"""Image checks for the end-to-end scenarios, on ImageMagick's raw RGBA output.

  images.py canvas SHOT.png          prints "left top width height" of the canvas
  images.py expect IMAGE x,y=#RRGGBBAA ...   exits 1 listing the pixels that differ
  images.py segments SHOT.png RULE COUNT   prints "x y chosen|-" for each of a row of
                                      COUNT buttons under the RULE-th inspector rule (from 0)
  images.py swatch SHOT.png #RRGGBB   prints "x y", the centre of the palette swatch of that
                                      colour in the inspector column
  images.py layer-row SHOT.png        prints "left top right bottom" of the active layer's row
"""

import re
import subprocess
import sys
from itertools import groupby

# The light appearance's checkerboard is white and 87 % grey (222) squares behind empty pixels.


class Image:
    def __init__(self, path):
        size = subprocess.run(["identify", "-format", "%w %h", path + "[0]"],
                              check=True, capture_output=True, text=True).stdout
        self.width, self.height = (int(v) for v in size.split())
        self.data = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgba:-"],
                                   check=True, capture_output=True).stdout
        # One integer a pixel (its RGBA bytes), for comparing whole pixels quickly.
        self.words = memoryview(self.data).cast("I")

    def rgba(self, x, y):
        i = 4 * (y * self.width + x)
        return tuple(self.data[i:i + 4])

    def rgb(self, x, y):
        return self.rgba(x, y)[:3]


def runs(image, y, x0, x1):
    """The runs of one colour on row y between x0 and x1: (start, length, colour)."""
    found = []
    x = x0
    row = image.words[y * image.width + x0:y * image.width + x1]
    for word, group in groupby(row):
        length = sum(1 for _ in group)
        found.append((x, length, (word & 0xFF, word >> 8 & 0xFF, word >> 16 & 0xFF)))
        x += length
    return found


# A checkerboard run on a row classified by checker_classes: both colours, and maybe single
# grey pixels between them where a pixel grid line crosses.
CHECKER_RUN = re.compile(r"[WD](?:[WD]|g(?=[WD]))*")


def checker_classes(image, y, limit):
    """Row y left of limit as text: W and D for the checkerboard's colours, g for another
    grey, x for anything else."""
    row = image.data[4 * y * image.width:4 * (y * image.width + limit)]
    classes = []
    for i in range(0, len(row), 4):
        r, g, b = row[i], row[i + 1], row[i + 2]
        if r == g == b:
            classes.append("W" if r == 255 else "D" if r == 222 else "g")
        else:
            classes.append("x")
    return "".join(classes)


def checker_runs(image, y, limit, shortest):
    """(start, end) of the checkerboard runs on row y left of limit, at least shortest long."""
    return [match.span() for match in CHECKER_RUN.finditer(checker_classes(image, y, limit))
            if match.end() - match.start() >= shortest and "W" in match.group()
            and "D" in match.group()]


def find_canvas(image):
    """The canvas: the bounds of the long checkerboard runs left of the inspector (the
    drawing may cover some of the canvas, but not a whole edge of it)."""
    rules = find_rules(image)
    limit = rules[0][1] if rules else image.width
    shortest = 48  # longer than a timeline thumbnail is wide
    rows = {y: checker_runs(image, y, limit, shortest) for y in range(0, image.height, 2)}
    spans = [span for runs in rows.values() for span in runs]
    if not spans:
        return None
    left = min(start for start, _ in spans)
    right = max(end for _, end in spans)
    covered = [y for y, runs in rows.items() if runs]
    top, bottom = min(covered), max(covered)
    # The sampled rows are two apart: look at the rows just outside them.
    if top > 0 and checker_runs(image, top - 1, limit, shortest):
        top -= 1
    if bottom + 1 < image.height and checker_runs(image, bottom + 1, limit, shortest):
        bottom += 1
    return left, top, right - left, bottom - top + 1


def brightness(colour):
    return sum(colour)


def find_rules(image):
    """Sunken horizontal rules in the right half: a long dark run over a lighter one."""
    rules = []
    for y in range(1, image.height - 1):
        for x, length, colour in runs(image, y, image.width // 2, image.width):
            if length >= 200 and x > image.width // 2 and \
                    brightness(image.rgb(x, y - 1)) > brightness(colour) < \
                    brightness(image.rgb(x, y + 1)):
                rules.append((y, x, length))
    return rules


def button_edges(image, y, left, width, count, background):
    """The starts and lengths of `count` equal runs of one colour on row y: the top or bottom
    borders of a row of buttons."""
    by_colour = {}
    for x, length, colour in runs(image, y, left, left + width):
        if length >= 8 and colour != background:
            by_colour.setdefault(colour, []).append((x, length))
    for edges in by_colour.values():
        if len(edges) == count and len({length for _, length in edges}) == 1:
            return edges
    return None


def find_segments(image, rule_index, count):
    """Centres of a row of `count` buttons side by side: the first below the given rule."""
    rules = find_rules(image)
    if rule_index >= len(rules):
        return None
    rule, left, width = rules[rule_index]
    background = image.rgb(left, rule + 2)
    top = None
    for y in range(rule + 2, image.height):
        edges = button_edges(image, y, left, width, count, background)
        if edges and top is None:
            top = (y, edges)
        elif top and y - top[0] > 48:
            return None  # not a row of buttons, or a screenshot taken mid-repaint
        elif edges and edges == top[1]:
            # The chosen button of the row is drawn sunken: darker just inside its border.
            shade = [brightness(image.rgb(x + 4, top[0] + 4)) for x, _ in edges]
            return [(x + length // 2, (top[0] + y) // 2, shade[i] == min(shade))
                    for i, (x, length) in enumerate(edges)]
    return None


def inspector_left(image):
    return image.width - 300


def find_swatch(image, colour):
    """The centre of the first square of exactly colour (a palette swatch, 20 points a side)
    in the inspector column."""
    for y in range(image.height):
        for x, length, found in runs(image, y, inspector_left(image), image.width):
            if found == colour and 12 <= length <= 24:
                return x + length // 2, y + length // 2
    return None


def find_active_layer_row(image):
    """The active layer's row: the lowest band of rows in the inspector column holding a long
    run of the selection tint (blue over the window colour)."""
    tinted = {}  # y: (left, right)
    for y in range(image.height):
        for x, length, (r, _, b) in runs(image, y, inspector_left(image), image.width):
            if length >= 80 and b - r >= 25:
                left, right = tinted.get(y, (x, x + length))
                tinted[y] = (min(left, x), max(right, x + length))
    if not tinted:
        return None
    bottom = top = max(tinted)
    while top - 1 in tinted:
        top -= 1
    band = [tinted[y] for y in range(top, bottom + 1)]
    return min(left for left, _ in band), top, max(right for _, right in band), bottom


def parse_expectation(text):
    where, colour = text.split("=")
    x, y = (int(v) for v in where.split(","))
    colour = colour.lstrip("#")
    return x, y, tuple(int(colour[i:i + 2], 16) for i in range(0, 8, 2))


def expect(image, expectations):
    wrong = []
    for text in expectations:
        x, y, wanted = parse_expectation(text)
        got = image.rgba(x, y)
        # An empty pixel is empty whatever colour lies under alpha 0.
        if got != wanted and not (got[3] == 0 and wanted[3] == 0):
            wrong.append(f"({x},{y}) is #{bytes(got).hex().upper()}, "
                         f"expected #{bytes(wanted).hex().upper()}")
    for line in wrong:
        print(line, file=sys.stderr)
    return not wrong


def main(argv):
    command, path, *rest = argv
    image = Image(path)
    if command == "swatch":
        found = find_swatch(image, tuple(int(rest[0].lstrip("#")[i:i + 2], 16)
                                         for i in range(0, 6, 2)))
        if not found:
            return 1
        print(*found)
        return 0
    if command == "layer-row":
        found = find_active_layer_row(image)
        if not found:
            return 1
        print(*found)
        return 0
    if command == "canvas":
        found = find_canvas(image)
        if not found:
            return 1
        print(*found)
        return 0
    if command == "segments":
        found = find_segments(image, int(rest[0]), int(rest[1]))
        if not found:
            return 1
        print(*(f"{x} {y} {'chosen' if chosen else '-'}" for x, y, chosen in found), sep="\n")
        return 0
    if command == "expect":
        return 0 if expect(image, rest) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
