#!/usr/bin/env python3
"""Writes the sample levels data/levels/*.json in the layout that `tessaron-level dump` prints.

The build packs them with `tessaron-level pack` into the game folder's LEVEL directory. Run this
script again after changing a map below; the JSON files are committed, so building needs no
Python.
"""
import os
import sys

AIR, WATER = 100, 200
KINDS = {
    ' ': 1000,  # Empty
    'B': 1001,  # Brick
    'C': 1002,  # Concrete
    'E': 1003,  # Earth
    'G': 1004,  # Grass
    'b': 1025,  # Bush
    'W': 2020,  # Wood
    'D': 2010,  # Door
    'S': 2001,  # Switch
    'n': 2002,  # Sensor
    'X': 2031,  # Spikes
    'T': 3011,  # Torch
    'K': 4099,  # Disk
    '1': 4001, '2': 4002, '5': 4005, 'z': 4010, 'y': 4020, 'f': 4050,  # coins 1 .. 50
    'Z': 4090,  # Goal
}
FIELDS = ["background", "homeColumn", "homeRow", "kind", "column", "row", "motion", "link",
          "travelled", "length", "speedX", "speedY", "pauseCount", "pause1", "pause2"]


def level(rows, water, motions, start_world):
    """rows: the map, one string per row; water: a map of the same size where '~' marks a water
    backdrop; motions: {(column, row): (link, length, speedX, speedY, pause1, pause2)};
    start_world: the world point at which the ball starts."""
    height = len(rows)
    width = len(rows[0])
    assert all(len(r) == width for r in rows), "rows of different lengths"
    assert len(water) == height and all(len(r) == width for r in water)
    # The ball stands at the world point (512 - viewX, 384 - viewY).
    view_x = 512 - start_world[0]
    view_y = 384 - start_world[1]
    for (c, r), motion in motions.items():
        assert rows[r - 1][c - 1] != ' ', f"motion at ({c}, {r}) lies on an empty cell"
    cells = []
    for r in range(1, height + 1):
        for c in range(1, width + 1):
            kind = KINDS[rows[r - 1][c - 1]]
            background = WATER if water[r - 1][c - 1] == '~' else AIR
            link, length, speed_x, speed_y, pause1, pause2 = motions.get((c, r), (-1, 0, 0, 0, 0, 0))
            cells.append([background, c, r, kind, c, r, 0, link, 0, length, speed_x, speed_y, 0,
                          pause1, pause2])
    lines = ["{", f'  "viewX": {view_x},', f'  "viewY": {view_y},',
             f'  "levelWidth": {width},', f'  "levelHeight": {height},', '  "elements": [']
    body = []
    for cell in cells:
        body.append("    {" + ", ".join(f'"{name}": {value}' for name, value in zip(FIELDS, cell)) + "}")
    lines.append(",\n".join(body))
    lines += ["  ]", "}"]
    return "\n".join(lines) + "\n"


# A first level: meadow, bush, coins, a pool to dive into, a switch that opens a door in a brick
# wall, a wooden platform over a pit of spikes, a disk to save at, a torch and the goal.
ANFANG = [
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 1
    "B                                                          B",  # 2
    "B                                                          B",  # 3
    "B                                  B                       B",  # 4
    "B                                  B                       B",  # 5
    "B                                  B                       B",  # 6
    "B                                  B                       B",  # 7
    "B                                  B                       B",  # 8
    "B                                  B                       B",  # 9
    "B                                  B                       B",  # 10
    "B                                  B                       B",  # 11
    "B                                  B                       B",  # 12
    "B                                  B                       B",  # 13
    "B                                  B             f         B",  # 14
    "B                                  B               T       B",  # 15
    "B                 1 2 5            B           CCCCC       B",  # 16
    "B                                  D                       B",  # 17
    "B                                  D                       B",  # 18
    "B              b           S       D  K               Z    B",  # 19
    "BGGGGGGGGGGGGGGGGGGGG      GGGGGGGGGGGGGGW     GGGGGGGGGGGGB",  # 20
    "BEEEEEEEEEEEEEEEEEEEE z  y EEEEEEEEEEEEEEXXXXXXEEEEEEEEEEEEB",  # 21
    "BEEEEEEEEEEEEEEEEEEEE      EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEB",  # 22
    "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEB",  # 23
    "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEB",  # 24
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 25
]
ANFANG_WATER = ["" for _ in ANFANG]
for _r, _row in enumerate(ANFANG):
    _w = [' '] * len(_row)
    if 20 <= _r + 1 <= 22:
        for _c in range(22, 28):
            _w[_c - 1] = '~'
    ANFANG_WATER[_r] = "".join(_w)
# The platform rides over the pit of spikes; it carries the ball while it moves.
ANFANG_WOOD = (42, 20)
ANFANG_MOTIONS = {
    (28, 19): (1, 0, 0, 0, 0, 0),        # the switch: link 1
    (36, 17): (1, 2, 0, -5, 0, 0),       # the door rises two cells and stays open
    (36, 18): (1, 2, 0, -5, 0, 0),
    (36, 19): (1, 2, 0, -5, 0, 0),
    ANFANG_WOOD: (0, 5, 4, 0, 60, 60),  # moves by itself, five cells right and back
}

# A second level: a cave whose lift is set off by a sensor just before it. The ledge with the
# coins lies four cells above the floor, within a jump's reach (195 pixels).
HOEHLE = [
    "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
    "C                                      C",  # 2
    "C                                   Z  C",  # 3
    "C                                CCCCCCC",  # 4
    "C                                      C",  # 5
    "C                                      C",  # 6
    "C      5 5 5                           C",  # 7
    "C                                      C",  # 8
    "C    CCCCCCCCC                         C",  # 9
    "C                        T             C",  # 10
    "C                           n          C",  # 11
    "C      K                    n          C",  # 12
    "CGGGGGGGGGGGGGGGGGGGGGGG  GGGGGWWGGGGGGC",  # 13
    "CEEEEEEEEEEEEEEEEEEEEEEE  EEEEE  EEEEEEC",  # 14
    "CEEEEEEEEEEEEEEEEEEEEEEE 2EEEEEXXEEEEEEC",  # 15
    "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 16
    "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 17
]
HOEHLE_WATER = []
for _r, _row in enumerate(HOEHLE):
    _w = [' '] * len(_row)
    if 13 <= _r + 1 <= 15:
        for _c in (25, 26):
            _w[_c - 1] = '~'
    HOEHLE_WATER.append("".join(_w))
HOEHLE_MOTIONS = {
    (29, 11): (2, 0, 0, 0, 0, 0),          # the sensor, just before the lift: link 2
    (29, 12): (2, 0, 0, 0, 0, 0),
    (32, 13): (2, 9, 0, -4, 120, 120),      # the lift rises to the ledge, waits, comes back
    (33, 13): (2, 9, 0, -4, 120, 120),
}


# A third level: a tower of five floors, climbed by a lift set off by a switch, a water shaft to
# swim up, a door opened by a sensor, a lift that runs by itself and, at the top, a raft that a
# switch sends under a low ceiling across a pit of spikes to the goal. Each floor is six cells
# high, more than a jump reaches (195 pixels), so every way up is one of the ways above.
TURM = [
    "CCCCCCCCCCCCCCCCCCCCCCCC",  # 1
    "C           BBBBB      C",  # 2  the block over the pit: the raft is the only way across;
                                  #    the two open cells before it leave time to board the raft
    "C           BBBBB   y  C",  # 3
    "C           BBBBB      C",  # 4
    "C                 T   TC",  # 5
    "C                      C",  # 6
    "C     S  W          Z  C",  # 7  switch, raft, goal
    "C   BBBBBBXXXXXXXBBBBBBC",  # 8
    "C                      C",  # 9  fourth floor: bushes, a save point, steps to the hole
    "C       T              C",  # 10
    "C B      z             C",  # 11
    "C B                    C",  # 12
    "C B  B                 C",  # 13
    "C B  B     bb    K     C",  # 14
    "CBBBBBBBBBBBBBBBBBBB   C",  # 15
    "C              B       C",  # 16 third floor: sensor, door, spikes, a lift that runs alone
    "C         T    B       C",  # 17
    "C              B       C",  # 18
    "C              D f     C",  # 19
    "C       n      D       C",  # 20
    "C    K  n      D    WWWC",  # 21
    "C   BBBBBBBBBBBBBXXBBBBC",  # 22 a brick behind the door to jump to the lift from
    "C                      C",  # 23 second floor: spikes, then the water shaft on the left
    "C                      C",  # 24
    "C y             T      C",  # 25
    "C           z          C",  # 26
    "C                      C",  # 27
    "C           XX         C",  # 28
    "CBBBBBBBBBBBBBBBBBBB   C",  # 29
    "C                      C",  # 30 ground floor: a bush, coins, a save point and the lift
    "C                      C",  # 31
    "C   T                  C",  # 32
    "C        125           C",  # 33
    "C                      C",  # 34
    "C      b     K   S  WWWC",  # 35
    "CGGGGGGGGGGGGGGGGGGGGGGC",  # 36
    "CCCCCCCCCCCCCCCCCCCCCCCC",  # 37
]
TURM_WATER = []
for _r, _row in enumerate(TURM):
    _w = [' '] * len(_row)
    if 16 <= _r + 1 <= 28:
        for _c in (2, 3, 4):
            _w[_c - 1] = '~'
    TURM_WATER.append("".join(_w))
TURM_MOTIONS = {
    (18, 35): (1, 0, 0, 0, 0, 0),          # switch: link 1
    (21, 35): (1, 6, 0, -5, 100, 0),       # the lift to the second floor, waits 100 passes
    (22, 35): (1, 6, 0, -5, 100, 0),
    (23, 35): (1, 6, 0, -5, 100, 0),
    (9, 20): (2, 0, 0, 0, 0, 0),           # sensor: link 2
    (9, 21): (2, 0, 0, 0, 0, 0),
    (16, 19): (2, 3, 0, -10, 150, 0),      # the door rises three cells and shuts again
    (16, 20): (2, 3, 0, -10, 150, 0),
    (16, 21): (2, 3, 0, -10, 150, 0),
    (21, 21): (0, 6, 0, -4, 60, 60),       # the lift to the fourth floor runs by itself
    (22, 21): (0, 6, 0, -4, 60, 60),
    (23, 21): (0, 6, 0, -4, 60, 60),
    (7, 7): (3, 0, 0, 0, 0, 0),            # switch: link 3
    (10, 7): (3, 7, 4, 0, 100, 0),         # the raft crosses the pit and comes back
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "..", "data", "levels")
    levels = {
        "Anfang": level(ANFANG, ANFANG_WATER, ANFANG_MOTIONS, (520, 740)),
        "Hoehle": level(HOEHLE, HOEHLE_WATER, HOEHLE_MOTIONS, (520, 460)),
        "Turm": level(TURM, TURM_WATER, TURM_MOTIONS, (120, 1360)),
    }
    for name, text in levels.items():
        with open(os.path.join(out, name + ".json"), "w", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
