#!/usr/bin/env python3
"""Writes the levels data/levels/*.json in the layout that `tessaron-level dump` prints.

The build packs them with `tessaron-level pack` into the game folder's LEVEL directory. Each level
is drawn below as text, one character per cell (see KINDS), with the movements of its elements
beside it. Run this script again after changing a level; the JSON files are committed, so building
needs no Python. The levels are listed in the order of play, and their names sort in that order,
so the "Spiel laden" requester lists them as they are meant to be played.
"""
import os
import sys
from typing import NamedTuple

AIR, WATER = 100, 200
EMPTY = 1000
KINDS = {
    ' ': EMPTY,
    '~': EMPTY,  # an empty cell on water; any other character takes its backdrop from flood()
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
SWITCH, SENSOR, GOAL = KINDS['S'], KINDS['n'], KINDS['Z']
# The kinds of the editor's element list, which the levels together use on air and on water.
EDITOR_KINDS = sorted(set(KINDS.values()))
# A cell the editor creates carries link -1; elements that move get their own link.
NO_LINK = -1
CELL = 40
FIELDS = ["background", "homeColumn", "homeRow", "kind", "column", "row", "motion", "link",
          "travelled", "length", "speedX", "speedY", "pauseCount", "pause1", "pause2"]
PRESET_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data",
                          "LEVEL", "Werte")


class Motion(NamedTuple):
    """An element's displacement: speeds in 1/100 cell per pass (positive right and down),
    length in cells, pauses in passes (0 waits for ever), link 0 for none."""
    link: int
    length: int
    speed_x: int
    speed_y: int
    pause1: int
    pause2: int


def preset(name, link=None):
    """The movement preset LEVEL/Werte/NAME.TXT as the editor reads it (link, down, left, right,
    up, length, first pause, second pause), with its link number replaced by `link` if given."""
    with open(os.path.join(PRESET_DIR, name + ".TXT"), newline="") as f:
        values = [int(line or 0) for line in f.read().split("\r\n")[:8]]
    own_link, down, left, right, up, length, pause1, pause2 = values
    return Motion(own_link if link is None else link, length, right - left, down - up, pause1,
                  pause2)


def standing_in(column, row):
    """The world point of a ball resting on the floor below the empty cell (column, row)."""
    return (CELL * column, CELL * row - 10)


class Level:
    """A level of width x height cells being drawn: characters of KINDS, water backdrops and
    movements. Cells are numbered from 1, column first, as in the game."""

    def __init__(self, width, height, start):
        self.width = width
        self.height = height
        self.start = start
        self.cells = [[' '] * width for _ in range(height)]
        self.water = [[False] * width for _ in range(height)]
        self.motions = {}

    @classmethod
    def drawn(cls, rows, start):
        level = cls(len(rows[0]), len(rows), start)
        level.draw(1, 1, rows)
        return level

    def draw(self, column, row, rows):
        """Puts a block of text with its top-left character at (column, row)."""
        for r, text in enumerate(rows):
            assert row + r <= self.height and column + len(text) - 1 <= self.width, \
                f"text at ({column}, {row + r}) leaves the level"
            for c, char in enumerate(text):
                assert char in KINDS, f"unknown cell {char!r} at ({column + c}, {row + r})"
                self.cells[row + r - 1][column + c - 1] = char
                if char == '~':
                    self.water[row + r - 1][column + c - 1] = True

    def flood(self, left, top, right, bottom):
        """Gives the cells of the rectangle (corners included) a water backdrop."""
        for r in range(top, bottom + 1):
            for c in range(left, right + 1):
                self.water[r - 1][c - 1] = True

    def move(self, cells, motion):
        for column, row in cells:
            assert self.cells[row - 1][column - 1] not in ' ~', \
                f"movement at ({column}, {row}) on an empty cell"
            self.motions[(column, row)] = motion

    def kind(self, column, row):
        return KINDS[self.cells[row - 1][column - 1]]

    def check(self, name):
        """The mistakes a level author can make here: a level that the ball can fall out of,
        links without their switch or sensor and the reverse, no goal or more than one."""
        for c in range(1, self.width + 1):
            for r in (1, self.height):
                assert self.kind(c, r) != EMPTY, f"{name}: open border at ({c}, {r})"
        for r in range(1, self.height + 1):
            for c in (1, self.width):
                assert self.kind(c, r) != EMPTY, f"{name}: open border at ({c}, {r})"
        goals = [(c, r) for r in range(1, self.height + 1) for c in range(1, self.width + 1)
                 if self.kind(c, r) == GOAL]
        assert len(goals) == 1, f"{name}: {len(goals)} goals"
        triggers = set()
        for r in range(1, self.height + 1):
            for c in range(1, self.width + 1):
                if self.kind(c, r) in (SWITCH, SENSOR):
                    assert (c, r) in self.motions and self.motions[(c, r)].link > 0, \
                        f"{name}: switch or sensor at ({c}, {r}) without a link"
                    triggers.add(self.motions[(c, r)].link)
        moved = set()
        for (c, r), motion in self.motions.items():
            if self.kind(c, r) in (SWITCH, SENSOR):
                continue
            assert (motion.speed_x == 0) != (motion.speed_y == 0), \
                f"{name}: ({c}, {r}) must move along one axis"
            assert motion.link == 0 or motion.link in triggers, \
                f"{name}: link {motion.link} at ({c}, {r}) has no switch or sensor"
            moved.add(motion.link)
        assert triggers <= moved, f"{name}: links {triggers - moved} move nothing"

    def uses(self):
        """The (kind, backdrop) pairs that the level uses."""
        return {(self.kind(c, r), WATER if self.water[r - 1][c - 1] else AIR)
                for r in range(1, self.height + 1) for c in range(1, self.width + 1)}

    def json(self):
        # The ball stands at the world point (512 - viewX, 384 - viewY).
        lines = ["{", f'  "viewX": {512 - self.start[0]},', f'  "viewY": {384 - self.start[1]},',
                 f'  "levelWidth": {self.width},', f'  "levelHeight": {self.height},',
                 '  "elements": [']
        body = []
        for r in range(1, self.height + 1):
            for c in range(1, self.width + 1):
                background = WATER if self.water[r - 1][c - 1] else AIR
                motion = self.motions.get((c, r), Motion(NO_LINK, 0, 0, 0, 0, 0))
                cell = [background, c, r, self.kind(c, r), c, r, 0, motion.link, 0,
                        motion.length, motion.speed_x, motion.speed_y, 0, motion.pause1,
                        motion.pause2]
                body.append("    {" + ", ".join(f'"{name}": {value}'
                                               for name, value in zip(FIELDS, cell)) + "}")
        lines.append(",\n".join(body))
        lines += ["  ]", "}"]
        return "\n".join(lines) + "\n"


def anfang():
    """Jumping and coins: coins to roll over, steps, a pit to jump out of, a ledge a full jump
    high, stepping stones up to the 50 and a gap to jump over on the way to the goal."""
    level = Level.drawn([
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 1
        "B                                                                    B",  # 2
        "B                                                                    B",  # 3
        "B                                            f                       B",  # 4
        "B                                           BBB                      B",  # 5
        "B                                                                    B",  # 6
        "B                                                                    B",  # 7
        "B                                       5                            B",  # 8
        "B                       22       z     BBB                           B",  # 9
        "B                      1  1    BBBB                                  B",  # 10
        "B                                                  yy                B",  # 11
        "B                  2 2                                        T   Z  B",  # 12
        "B                                           BBB             GGGGGGGGGB",  # 13
        "B             2  GGGGGG    GGGGGGGGGGG                      EEEEEEEEEB",  # 14
        "B                EEEEEE    EEEEEEEEEEE                  GGGGEEEEEEEEEB",  # 15
        "B     1 1 1  GGGGEEEEEE    EEEEEEEEEEE                  EEEEEEEEEEEEEB",  # 16
        "BGGGGGGGGGGGGEEEEEEEEEE 55 EEEEEEEEEEEGGGGGGGGGG        EEEEEEEEEEEEEB",  # 17
        "BEEEEEEEEEEEEEEEEEEEEEEGGGGEEEEEEEEEEEEEEEEEEEEE        EEEEEEEEEEEEEB",  # 18
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEGGGGGGGGEEEEEEEEEEEEEB",  # 19
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 20
    ], standing_in(4, 16))
    return level


def bucht():
    """Swimming: a shallow bay to learn that water slows the ball and Up swims, a rock to dive
    under, a deep bay with the 50 among the seaweed, an island and a cliff that only a leap out of
    the water reaches, and a lagoon whose goal lies in a grotto of sunken crates."""
    level = Level.drawn([
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "C                                                                      C",  # 2
        "C                                                                      C",  # 3
        "C                    BBBB                                              C",  # 4
        "C                    BBBB                                              C",  # 5
        "C                    BBBB                                              C",  # 6
        "C                    BBBB         zz           T                       C",  # 7
        "C                    BBBB       GGGGGG      GGGGGGGG                   C",  # 8
        "C                    BBBB       EEEEEE      EEEEEEEE                   C",  # 9
        "C                    BBBB                   EEEEEEEE                   C",  # 10
        "CGGGGGGGG            BBBB                   EEEEEEEE                   C",  # 11
        "CEEEEEEEE~~~~~~~~~~~~BBBB~~~~~~~~~~~~~~~~~~~EEEEEEEE~~~~~~~~~~~~~~~~~~~C",  # 12
        "CEEEEEEEE~~~~~~~~~~~~BBBB~~~~~~~~~~~~~~~~~~~EEEEEEEE~~~~~~~~~~~~~~~~~~~C",  # 13
        "CEEEEEEEE~b~1~~2~b1~~BBBB~~~~~~~~~~~~~~~~~~~EEEEEEEE~~~~~~~~~~~~~z~~~~~C",  # 14
        "CEEEEEEEEGGGGGGGGGG~~BBBB~~~~~~~~~~~~~~y~~~~EEEEEEEE~~~~~~~~~~~~~~~~~~~C",  # 15
        "CEEEEEEEEEEEEEEEEEE~~~~~~~~~~~~~~~~~~~~~~~~~EEEEEEEEWWW~~WWWWWWWWWWWWW~C",  # 16
        "CEEEEEEEEEEEEEEEEEE~~~55~~~~~~~y~~~~~~~~~~~~EEEEEEEE~~~~~~~~~~~~~~~~~~~C",  # 17
        "CEEEEEEEEEEEEEEEEEE~~~~~~~~~~~~~~~~~~~~~~~~~EEEEEEEE~~~~~~~~~~~5~~~~~~~C",  # 18
        "CEEEEEEEEEEEEEEEEEEGGGGGGGG~~~~~~~~~~~~~~~~~EEEEEEEE~~~~~~~~~C~~~~~~~~~C",  # 19
        "CEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~~~~~~~~~~~~~EEEEEEEE~~~2~~~2~C~~~~~~~~~C",  # 20
        "CEEEEEEEEEEEEEEEEEEEEEEEEEE~~bb~~~~fb~~~b~~~EEEEEEEE~~~~~~~~~C~~~~TZ~1~C",  # 21
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEGGGGGGGGGGGGGGGGGEEEEEEEEGGGGGGGGGGGGGGGGGGGC",  # 22
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 23
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 24
    ], standing_in(4, 10))
    level.flood(10, 12, 71, 23)
    return level


def festung():
    """Switches: a gate opened by the switch before it, a door opened from a ledge, a bridge of
    crates let down into a low corridor, a sluice opened by a switch at the bottom of the moat and,
    in the keep, a switch in the ceiling that only a jump presses."""
    level = Level.drawn([
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 1
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 2
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 3
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 4
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 5
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 6
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 7
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 8
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 9
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 10
        "B                 BB         Sz     BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 11
        "B                 BB       BBBBB    BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 12
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBBBBBBB",  # 13
        "B                 BB                BBBBBBBBBBBBBBBBBBBBBBBB            BBBBBBBSBBBBBBBBBB",  # 14
        "B                 BB   2  1     1   BB      BBBBBBBBBBBBBBBB            BB         B     B",  # 15
        "B                 BB  BBB           BB      BBBBBBBBBBBBBBBB            BB       T B     B",  # 16
        "B                  D  BBB            D      WWWWWWWWBBBBBBBB            BB         D     B",  # 17
        "B                  D  BBB            D                                  BB         D     B",  # 18
        "B      T 1 2  S    D  BBB        5   D  S               5               BB    1 1  D Z f B",  # 19
        "BGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG        GGGGGGGGGGGG~~~~~~~~BB~~GGGGGGGGGGGGGB",  # 20
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE        EEEEEEEEEEEE~~~~~~~~BB~~EEEEEEEEEEEEEB",  # 21
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEG   y   EEEEEEEEEEEE~~~~~~~~BB~~EEEEEEEEEEEEEB",  # 22
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEGGGGGGGEEEEEEEEEEEE~2~~~~2~D~~~EEEEEEEEEEEEEB",  # 23
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~~~~D~5~EEEEEEEEEEEEEB",  # 24
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~~~~D~~~EEEEEEEEEEEEEB",  # 25
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~S~z~~EEGGEEEEEEEEEEEEEB",  # 26
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEGGGGGGGGEEEEEEEEEEEEEEEEEB",  # 27
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 28
    ], standing_in(4, 19))
    level.flood(65, 20, 76, 26)  # the moat, the sluice and the way up into the keep
    level.move([(15, 19)], Motion(1, 0, 0, 0, 0, 0))
    level.move([(20, 17), (20, 18), (20, 19)], preset("Tuer", link=1))
    level.move([(30, 11)], Motion(2, 0, 0, 0, 0, 0))
    level.move([(38, 17), (38, 18), (38, 19)], preset("Tuer", link=2))
    level.move([(41, 19)], Motion(3, 0, 0, 0, 0, 0))
    level.move([(c, 17) for c in range(45, 53)], Motion(3, 3, 0, 5, 0, 0))
    level.move([(68, 26)], Motion(4, 0, 0, 0, 0, 0))
    level.move([(73, 23), (73, 24), (73, 25)], preset("Tuer", link=4))
    level.move([(80, 14)], Motion(5, 0, 0, 0, 0, 0))
    level.move([(84, 17), (84, 18), (84, 19)], preset("Tuer", link=5))
    return level


def hoehle():
    """Sensors and lifts: a lift that a sensor on it starts, a lift called down by a sensor hung in
    the air that a jump passes, a lift started by a sensor at the bottom of a pool, and two lifts
    one above the other up to the goal. Every ledge lies higher than a jump from below reaches."""
    level = Level.drawn([
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 2
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC          fZTCC",  # 3
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         GGGGCC",  # 4
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         CCCCCC",  # 5
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         CCCCCC",  # 6
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         CCCCCC",  # 7
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         CCCCCC",  # 8
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC      n  CCCCCC",  # 9
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC      n  CCCCCC",  # 10
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC      WW CCCCCC",  # 11
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC             CCCCCC",  # 12
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC             CCCCCC",  # 13
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         z   CCCCCC",  # 14
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC             CCCCCC",  # 15
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC               T n     CCCCCC",  # 16
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC                 n     CCCCCC",  # 17
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC              GGGWWGGGGGGGGCC",  # 18
        "CCCCCCCCCCCCCCCCCCCCCCCCCC                   CCCCCCCCCCCCCCC",  # 19
        "CCCCCCCCCCCCCCCCCCCCCCCCCC                   CCCCCCCCCCCCCCC",  # 20
        "CCCCCCCCCCCCCCCCCCCCCCCCCC                   CCCCCCCCCCCCCCC",  # 21
        "CCCCCCCCCCCCCCCCCCCCCCCCCC       5           CCCCCCCCCCCCCCC",  # 22
        "CCCCCCCCCCCCCCCCCCCCCCCCCC     GGGGGGCCCCCCCCCCCCCCCCCCCCCCC",  # 23
        "CCCCCCCCCCCCCCCCC              CCCCCC~~~~~~WWCCCCCCCCCCCCCCC",  # 24
        "CCCCCCCCCCCCCCCCC      z       CCCCCC~~~~~~~~CCCCCCCCCCCCCCC",  # 25
        "CCCCCCCCCCCCCCCCC              CCCCCC~~~~~~~~CCCCCCCCCCCCCCC",  # 26
        "CCCCCCCCCCCCCCCCC            WWCCCCCC~1~~~~~~CCCCCCCCCCCCCCC",  # 27
        "CCCCCCCCCCCCCC         n       CCCCCC~~~~~2~~CCCCCCCCCCCCCCC",  # 28
        "CCCCCCCCCCCCCC                 CCCCCC~~~~~~~~CCCCCCCCCCCCCCC",  # 29
        "CCCCCCCCCCCCCC                 CCCCCC~~~~~~~~CCCCCCCCCCCCCCC",  # 30
        "CCCCCCCCCCCCCC     2 2   5     CCCCCC~y~n~~~~CCCCCCCCCCCCCCC",  # 31
        "CCCCCCCCCCCCCC   GGGGGGGGGGGGGGCCCCCCGGGGGGGGCCCCCCCCCCCCCCC",  # 32
        "C                CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 33
        "C                CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 34
        "C                CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 35
        "C                CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 36
        "C    T         n CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 37
        "C      1 2 1   n CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 38
        "CGGGGGGGGGGGGGGWWCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 39
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 40
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 41
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 42
    ], standing_in(4, 38))
    level.flood(38, 24, 45, 31)  # the pool
    up = preset("Aufzug_hoch")  # three cells up, back after 150 passes, then waits for its link
    level.move([(16, 37), (16, 38)], Motion(1, 0, 0, 0, 0, 0))
    level.move([(16, 39), (17, 39)], up._replace(link=1))
    # The lift of the second cave comes down to the floor when called, waits and goes back up.
    level.move([(24, 28)], Motion(2, 0, 0, 0, 0, 0))
    level.move([(30, 27), (31, 27)], preset("Aufzug_runter", link=2))
    level.move([(41, 31)], Motion(3, 0, 0, 0, 0, 0))
    level.move([(44, 24), (45, 24)], up._replace(link=3))
    level.move([(49, 16), (49, 17)], Motion(4, 0, 0, 0, 0, 0))
    level.move([(49, 18), (50, 18)], up._replace(link=4))
    level.move([(52, 9), (52, 10)], Motion(5, 0, 0, 0, 0, 0))
    level.move([(52, 11), (53, 11)], up._replace(link=5))
    return level


def irrgarten():
    """Bushes: a hedge to roll through, a floor of bushes that gives way to the tunnels below,
    hedges and a ceiling of bushes in the tunnel, bushes that plug a shaft, seaweed in a flooded
    cave and a cap of bushes over the way up that only leaps against it wear away."""
    level = Level.drawn([
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 1
        "B         BBB             BBBBEEEEEEEEEEEEEEEEEE              EB",  # 2
        "B         BBB             BBBBEEEEEEEEEEEEEEEEEE              EB",  # 3
        "B         BBB             BBBBEEEEEEEEEEEEEEEEEE              EB",  # 4
        "B         BBB             BBBBEEEEEEEEEEEEEEEEEE              EB",  # 5
        "B         BBB             BBBBEEEEEEEEEEEEEEEEEE              EB",  # 6
        "B          b              BBBBEEEEEEEEEEEEEEEEEE              EB",  # 7
        "B          b              BBBBEEEEEEEEEEEEEEEEEE              EB",  # 8
        "B    K 1   b   2 T   1 1 1BBBBEEEEEEEEEEEEEEEEEbbbbbbb        EB",  # 9
        "BGGGGGGGGGGGGGGGGGGGbbbbbbBBBBEEEEEEEEEEEEEEEEE      b        EB",  # 10
        "BEEEEEEEEEEEEEEEEEEE      BBBBEE   EEEEEEEEEEEE      b        EB",  # 11
        "BEEEEEEEEEEEEEEEEEEE      BBBBEE1z1EEEEEEEEEEEE TZ   b   y    EB",  # 12
        "BEEEEEEEEEEEEEEEEEEE      EEEEEEbbbEEEEEEEEEEEEGGGGGGGGGGGGGbbEB",  # 13
        "BEEEEEEEEEEEEEEEEEEE          b     b             EEEEEEEEEE~~EB",  # 14
        "BEEEEEEEEEEEEEEEEEEE          b     b             EEEEEEEEEE~~EB",  # 15
        "BEEEEEEEEEEEEEEEEEEE   2      b  5  b   5         EEEEEEEEEE~~EB",  # 16
        "BEEEEEEEEEEEEEEEEEEEGGGGGGGGGGGGGGGGGGGGGGGbbGGGGGEEEEEEEEEE~~EB",  # 17
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  EEEEEEEEEEEEEEE~~EB",  # 18
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE2 EEEEEEEEEEEEEEE~~EB",  # 19
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEbbEEEEEEEEEEEEEEE~~EB",  # 20
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  EEEEEEEEEEEEEEE~~EB",  # 21
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE 2EEEEEEEEEEEEEEE~~EB",  # 22
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEbbEEEEEEEEEEEEEEE~~EB",  # 23
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~~~~~~b~~~~~~~~~~~b~~~~~~~~~~EB",  # 24
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~~~~~~b~~~~~~~~~~~b~~~~~~~~~~EB",  # 25
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~~~~~~b~~~~~~~~~~~b~~~~~~~~~~EB",  # 26
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~~~1~~~~b~~~~~~~~~~~b~~~~~~~~~~EB",  # 27
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEE~~~b~~~~~~b~~~~~y~~~~~bf~~~~~~~~~EB",  # 28
        "BEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEB",  # 29
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 30
    ], standing_in(3, 9))
    level.flood(30, 24, 62, 28)  # the flooded cave
    return level


def kerker():
    """Spikes and save points: a disk before every danger; a pit of spikes to jump, a corridor
    under spikes where only a jump up the one shaft without spikes leads on, a pool with spikes on
    its bottom and a disk floating in it, and a raft and pillars over a floor of spikes."""
    level = Level.drawn([
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 1
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 2
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 3
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 4
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 5
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB                        BB",  # 6
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB                        BB",  # 7
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB                        BB",  # 8
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB                        BB",  # 9
        "BBBBBBBBBBBB          BBBBB   BBBBBBBB      BBBBBBBBBBBBBB                 f      BB",  # 10
        "BBBBBBBBBBBB          BBBBB   BBBBBBBB      BBBBBBBBBBBBBB                       TBB",  # 11
        "B                     BBBBB   BBBBBBBB      BBBBBBBBBBBBBB       z              Z BB",  # 12
        "B                     BBBBB 5 BBBBBBBB      BBBBBBBBBBBBBB                     BBBBB",  # 13
        "B                     BBBBB   XXXXXXXX                                     5   BBBBB",  # 14
        "B              2      BBBBB             5                                  B   BBBBB",  # 15
        "B                     XXXXX                 ~~~~~~~~~~~~~~ K           5   B   BBBBB",  # 16
        "B      T                       2 2 2      BB~~~~~~~K~~~~~~BBBBW        B   B   BBBBB",  # 17
        "B                             BBBBBBBB    BB~~~~~~~~~~~~~~BBBB         B   B   BBBBB",  # 18
        "B   K    1         K   1 1    BBBBBBBB  K BB~~~z~~~~~~~~~~BBBB         B   B   BBBBB",  # 19
        "BBBBBBBBBBBBBB   BBBBBBBBBBBBBBBBBBBBBBBBBBB~~~~~~~~~~~~~~BBBBXXXXXXXXXXXXXXXXXBBBBB",  # 20
        "BBBBBBBBBBBBBBXXXBBBBBBBBBBBBBBBBBBBBBBBBBBB~~~~~2~~~~y~~~BBBBBBBBBBBBBBBBBBBBBBBBBB",  # 21
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBXXXXXXXXXXXXXXBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 22
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 23
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 24
    ], standing_in(3, 19))
    level.flood(45, 16, 58, 22)  # the pool and the spikes on its bottom
    level.move([(63, 17)], preset("Pendel"))  # the raft over the spikes
    return level


def turm():
    """A tower of five floors, climbed by a lift set off by a switch, a water shaft to swim up, a
    door opened by a sensor, a lift that runs by itself and, at the top, a raft that a switch sends
    under a low ceiling across a pit of spikes to the goal. Each floor is six cells high, more than a
    jump reaches, so every way up is one of the ways above."""
    level = Level.drawn([
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
    ], (120, 1360))
    level.flood(2, 16, 4, 28)  # the water shaft
    level.move([(18, 35)], Motion(1, 0, 0, 0, 0, 0))  # switch: link 1
    # The lift to the second floor; it waits 100 passes at the top.
    level.move([(21, 35), (22, 35), (23, 35)], Motion(1, 6, 0, -5, 100, 0))
    level.move([(9, 20), (9, 21)], Motion(2, 0, 0, 0, 0, 0))  # sensor: link 2
    # The door rises three cells and shuts again.
    level.move([(16, 19), (16, 20), (16, 21)], Motion(2, 3, 0, -10, 150, 0))
    # The lift to the fourth floor runs by itself.
    level.move([(21, 21), (22, 21), (23, 21)], Motion(0, 6, 0, -4, 60, 60))
    level.move([(7, 7)], Motion(3, 0, 0, 0, 0, 0))  # switch: link 3
    level.move([(10, 7)], Motion(3, 7, 4, 0, 100, 0))  # the raft crosses the pit and comes back
    return level


# The levels in the order of play; their names sort in the same order.
LEVELS = {
    "Anfang": anfang,
    "Bucht": bucht,
    "Festung": festung,
    "Hoehle": hoehle,
    "Irrgarten": irrgarten,
    "Kerker": kerker,
    "Turm": turm,
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "levels")
    assert list(LEVELS) == sorted(LEVELS, key=str.casefold), "names out of the order of play"
    used = set()
    for name, make in LEVELS.items():
        level = make()
        level.check(name)
        used |= level.uses()
        with open(os.path.join(out, name + ".json"), "w", newline="\n") as f:
            f.write(level.json())
    missing = [(kind, backdrop) for kind in EDITOR_KINDS for backdrop in (AIR, WATER)
               if (kind, backdrop) not in used]
    if missing:
        print(f"elements not used on every backdrop: {missing}", file=sys.stderr)


if __name__ == "__main__":
    main()
