#!/usr/bin/env python3
"""Draws Tolvane's pictures: the 67 icons (16x16, 16 colours) and the title
banner (215x22, 16 colours), and writes resources/icons.rc that lists the
icons. Run it after changing a picture; its output is committed.

    python3 tools/draw_resources.py
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
CLEAR = None  # a transparent pixel of an icon

RANKS = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "3": ["##.", "..#", ".#.", "..#", "##."],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "##.", "..#", "##."],
    "6": ["##.", "#..", "###", "#.#", "###"],
    "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": [".#.", "#.#", ".#.", "#.#", ".#."],
    "9": [".#.", "#.#", ".##", "..#", "##."],
    "10": [".#.###", "##.#.#", ".#.#.#", ".#.#.#", ".#.###"],
    "J": ["..#", "..#", "..#", "#.#", ".#."],
    "Q": [".#.", "#.#", "#.#", "##.", ".##"],
    "K": ["#.#", "#.#", "##.", "#.#", "#.#"],
}
RANK_ORDER = ["A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"]

SMALL_SUITS = {
    "clubs": [".###.", ".###.", "##.##", "#####", "..#.."],
    "diamonds": ["..#..", ".###.", "#####", ".###.", "..#.."],
    "hearts": ["##.##", "#####", "#####", ".###.", "..#.."],
    "spades": ["..#..", ".###.", "#####", "#.#.#", "..#.."],
}
LARGE_SUITS = {
    "clubs": ["..###..", "..###..", "##.#.##", "#######", "##.#.##", "...#...", "..###.."],
    "diamonds": ["...#...", "..###..", ".#####.", "#######", ".#####.", "..###..", "...#..."],
    "hearts": [".##.##.", "#######", "#######", ".#####.", "..###..", "...#...", "......."],
    "spades": ["...#...", "..###..", ".#####.", "#######", "##.#.##", "...#...", "..###.."],
}
# In the order of the card values: clubs 1..13, diamonds, hearts, spades.
SUITS = [("clubs", BLACK), ("diamonds", RED), ("hearts", RED), ("spades", BLACK)]


def blank(width, height, colour=CLEAR):
    return [[colour] * width for _ in range(height)]


def stamp(image, rows, x, y, colour):
    for dy, row in enumerate(rows):
        for dx, mark in enumerate(row):
            if mark == "#":
                image[y + dy][x + dx] = colour


def card_outline(fill):
    """A 14x16 card in the 16x16 cell, its corners cut round."""
    image = blank(16, 16)
    for y in range(16):
        for x in range(1, 15):
            edge = y in (0, 15) or x in (1, 14)
            image[y][x] = GRAY if edge else fill
    for x, y in ((1, 0), (14, 0), (1, 15), (14, 15)):
        image[y][x] = CLEAR
    return image


def card_face(rank, suit, colour):
    image = card_outline(WHITE)
    glyph = RANKS[rank]
    stamp(image, glyph, 3 if len(glyph[0]) == 3 else 2, 2, colour)
    stamp(image, SMALL_SUITS[suit], 9, 2, colour)
    stamp(image, LARGE_SUITS[suit], 4, 8, colour)
    return image


def plain_back(colour):
    image = card_outline(WHITE)
    for y in range(2, 14):
        for x in range(3, 13):
            image[y][x] = colour
    return image


def globe_back(colour):
    image = plain_back(colour)
    globe = [
        "..####..",
        ".#.##.#.",
        "#..##..#",
        "########",
        "#..##..#",
        ".#.##.#.",
        "..####..",
    ]
    stamp(image, globe, 4, 4, CYAN)
    return image


def striped_back(colour):
    image = card_outline(WHITE)
    for y in range(1, 15):
        for x in range(2, 14):
            image[y][x] = colour if (x + y) % 3 else WHITE
    return image


def button(arrow):
    image = blank(16, 16)
    for y in range(16):
        for x in range(16):
            edge = y in (0, 15) or x in (0, 15)
            image[y][x] = BLACK if edge else GREEN
    stamp(image, arrow, 3, 3, WHITE)
    return image


RIGHT_ARROW = [
    "....#.....",
    "....##....",
    "....###...",
    "#########.",
    "##########",
    "#########.",
    "....###...",
    "....##....",
    "....#.....",
    "..........",
]
DOWN_ARROW = [
    "...###....",
    "...###....",
    "...###....",
    "...###....",
    "#########.",
    ".#######..",
    "..#####...",
    "...###....",
    "....#.....",
]


def item_icon():
    """A blue card back with the ace of hearts over it."""
    image = blank(16, 16)
    for y in range(0, 12):
        for x in range(0, 9):
            image[y][x] = GRAY if y in (0, 11) or x in (0, 8) else BLUE
    for y in range(3, 16):
        for x in range(6, 16):
            image[y][x] = GRAY if y in (3, 15) or x in (6, 15) else WHITE
    stamp(image, RANKS["A"], 8, 5, RED)
    stamp(image, SMALL_SUITS["hearts"], 9, 10, RED)
    return image


def icons():
    pictures = {}
    for block, (suit, colour) in enumerate(SUITS):
        for index, rank in enumerate(RANK_ORDER):
            pictures[101 + block * 13 + index] = card_face(rank, suit, colour)
    for offset, colour in enumerate([BLUE, RED, BLACK, PURPLE, GREEN]):
        pictures[153 + offset] = plain_back(colour)
    for offset, colour in enumerate([BLUE, PURPLE, BLACK]):
        pictures[158 + offset] = globe_back(colour)
    for offset, colour in enumerate([BLUE, RED, BLACK, YELLOW]):
        pictures[161 + offset] = striped_back(colour)
    pictures[208] = button(RIGHT_ARROW)
    pictures[209] = item_icon()
    pictures[210] = button(DOWN_ARROW)
    return pictures


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def pack_4bpp(row):
    padded = row + [0] * (-len(row) % 8)
    data = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
    return data + b"\0" * (-len(data) % 4)


def ico(image):
    colours = [[0 if p is CLEAR else p for p in row] for row in image]
    xor = b"".join(pack_4bpp(row) for row in reversed(colours))
    mask = b""
    for row in reversed(image):
        bits = 0
        for x, pixel in enumerate(row):
            if pixel is CLEAR:
                bits |= 0x8000 >> x
        mask += struct.pack(">H", bits) + b"\0\0"
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image_data = header + palette_bytes() + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 16, 16, 16, 0, 1, 4, len(image_data), 6 + 16)
    return directory + entry + image_data


BIG_LETTERS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
}


def banner():
    """215x22: the name in large letters on green felt, between the suits."""
    image = blank(215, 22, GREEN)
    for x in range(215):
        image[0][x] = image[21][x] = YELLOW
    for y in range(22):
        image[y][0] = image[y][214] = YELLOW
    x = 62
    for letter in "TOLVANE":
        rows = [''.join(c * 2 for c in row) for row in BIG_LETTERS[letter]]
        stamp(image, [r for row in rows for r in (row, row)][:14], x, 4, WHITE)
        x += 13
    suits = [("spades", BLACK), ("hearts", RED), ("diamonds", RED), ("clubs", BLACK)]
    for i, (suit, colour) in enumerate(suits):
        stamp(image, LARGE_SUITS[suit], 8 + i * 12, 8, colour)
        stamp(image, LARGE_SUITS[suit], 161 + i * 12, 8, colour)
    return image


def bmp(image):
    width, height = len(image[0]), len(image)
    pixels = b"".join(pack_4bpp(row) for row in reversed(image))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette_bytes() + pixels


def main():
    listing = ["// Written by tools/draw_resources.py: every icon by its id.\n"]
    for icon_id, image in sorted(icons().items()):
        with open(os.path.join(ROOT, "icons", f"{icon_id}.ico"), "wb") as out:
            out.write(ico(image))
        listing.append(f'{icon_id} ICON "icons/{icon_id}.ico"\n')
    with open(os.path.join(ROOT, "icons.rc"), "w") as out:
        out.writelines(listing)
    with open(os.path.join(ROOT, "banner.bmp"), "wb") as out:
        out.write(bmp(banner()))


if __name__ == "__main__":
    main()
