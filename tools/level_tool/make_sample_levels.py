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
    """The world point of a ball resting on the floor below the empty cell (column, row), on the
    seam with the cell to its left: over the middle of a floor cell the ball would roll half a
    cell to a seam by itself as soon as the level starts, and on a seam it lies still."""
    return (CELL * column - CELL // 2, CELL * row - 10)


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
        # Spikes and crushers send the ball back to the last save point, and do nothing while
        # there is none: a level with them starts on a disk, so that they count from the start.
        crushers = any(m.link == 0 and m.speed_y > 0 for m in self.motions.values())
        if crushers or any('X' in row for row in self.cells):
            column = (self.start[0] + CELL // 2) // CELL
            row = (self.start[1] + CELL // 2) // CELL
            assert self.cells[row - 1][column - 1] == 'K', f"{name}: does not start on a disk"

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
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC             CC",  # 2
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC             CC",  # 3
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC          fZTCC",  # 4
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC        GGGGGCC",  # 5
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC        CCCCCCC",  # 6
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC        CCCCCCC",  # 7
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC        CCCCCCC",  # 8
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC      n CCCCCCC",  # 9
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC      n CCCCCCC",  # 10
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC      WWCCCCCCC",  # 11
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC            CCCCCCC",  # 12
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC            CCCCCCC",  # 13
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC         z  CCCCCCC",  # 14
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC            CCCCCCC",  # 15
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC               T n    CCCCCCC",  # 16
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC                 n    CCCCCCC",  # 17
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC              GGGWWGGGGGGGGCC",  # 18
        "CCCCCCCCCCCCCCCCCCCCCCCCCC                   CCCCCCCCCCCCCCC",  # 19
        "CCCCCCCCCCCCCCCCCCCCCCCCCC                   CCCCCCCCCCCCCCC",  # 20
        "CCCCCCCCCCCCCCCCCCCCCCCCCC                   CCCCCCCCCCCCCCC",  # 21
        "CCCCCCCCCCCCCCCCCCCCCCCCCC       5           CCCCCCCCCCCCCCC",  # 22
        "CCCCCCCCCCCCCCCCCCCCCCCCCC     GGGGGG        CCCCCCCCCCCCCCC",  # 23
        "CCCCCCCCCCCCCCCCC              CCCCCC~~~~~~WWCCCCCCCCCCCCCCC",  # 24
        "CCCCCCCCCCCCCCCCC      z       CCCCCC~~~~~~~~CCCCCCCCCCCCCCC",  # 25
        "CCCCCCCCCCCCCCCCC            WWCCCCCC~~~~~~~~CCCCCCCCCCCCCCC",  # 26
        "CCCCCCCCCCCCCCCCC              CCCCCC~1~~~~~~CCCCCCCCCCCCCCC",  # 27
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
    level.move([(30, 26), (31, 26)], preset("Aufzug_runter", link=2))
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
        "B K      1         K   1 1    BBBBBBBB  K BB~~~z~~~~~~~~~~BBBB         B   B   BBBBB",  # 19
        "BBBBBBBBBBBBBB   BBBBBBBBBBBBBBBBBBBBBBBBBBB~~~~~~~~~~~~~~BBBBXXXXXXXXXXXXXXXXXBBBBB",  # 20
        "BBBBBBBBBBBBBBXXXBBBBBBBBBBBBBBBBBBBBBBBBBBB~~~~~2~~~~y~~~BBBBBBBBBBBBBBBBBBBBBBBBBB",  # 21
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBXXXXXXXXXXXXXXBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 22
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 23
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 24
    ], standing_in(3, 19))
    level.flood(45, 16, 58, 22)  # the pool and the spikes on its bottom
    level.move([(63, 17)], preset("Pendel"))  # the raft over the spikes
    return level


def schmiede():
    """Timing under crushers: a corridor of three crushers, each with its own rhythm, a corridor of
    spikes that come down from the ceiling, and a door that a switch opens for a while behind two
    more crushers. A disk in each hall between them."""
    level = Level.drawn([
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 1
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 2
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 3
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 4
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 5
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 6
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 7
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 8
        "B           BBBBBBBBBBBBBBBBBBBBBBBBBBBB        BBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBB   BB",  # 9
        "B           BBBBBBBBBBBBBBBBBBBBBBBBBBBB        BBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBB   BB",  # 10
        "B           BBBBBBBBBBBBBBBBBBBBBBBBBBBB        BBBBBBBBBBBBBBBBBBBBBB            BBBBBBBBBBBBB   BB",  # 11
        "B T      T  BBBBBBBBBBBBBBBBBBBBBBBBBBBB T    T BBBBBBBBBBBBBBBBBBBBBB T    T     BBBBBBBBBBBBB f BB",  # 12
        "B           BBBBBBBBBBBBBBBBBBBBBBBBBBBB    z   BBBBBBBBBBBBBBBBBBBBBB    y       BBBBBBBBBBBBB  TBB",  # 13
        "B           BBBBCCBBBBBBCCBBBBBBCCBBBBBB        BBBBXXBBBBXXBBBBXXBBBB            BBBCCBBBCCBBB   BB",  # 14
        "B                                                                                             D   BB",  # 15
        "B                                                                                             D   BB",  # 16
        "B K    1            2       2       5      K           5     5     z     K     S        y     D Z BB",  # 17
        "BCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCB",  # 18
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 19
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 20
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 21
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 22
    ], standing_in(3, 17))
    crusher = preset("Stampfer")  # two cells down, 40 passes at the bottom, 60 at the top
    for column, pause1, pause2 in ((17, 40, 60), (25, 60, 40), (33, 30, 70),  # crushers
                                   (53, 40, 60), (59, 50, 50), (65, 60, 40),  # spikes
                                   (86, 20, 60), (91, 40, 40)):              # before the door
        level.move([(column, 14), (column + 1, 14)],
                   crusher._replace(pause1=pause1, pause2=pause2))
    level.move([(80, 17)], Motion(1, 0, 0, 0, 0, 0))
    # The door stays open for 250 passes, then closes until the switch is pressed again.
    level.move([(95, 15), (95, 16), (95, 17)], preset("Tuer", link=1)._replace(pause1=250))
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
        "C K                    C",  # 34
        "C      b         S  WWWC",  # 35
        "CGGGGGGGGGGGGGGGGGGGGGGC",  # 36
        "CCCCCCCCCCCCCCCCCCCCCCCC",  # 37
    ], (100, 1360))
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


def wanderung():
    """A long journey through everything the levels before taught: over a meadow, through a lake,
    a castle and the cave beneath it, a thicket, a dungeon and a forge up to the summit. A disk
    waits before every part that can send the ball back."""
    level = Level(300, 50, standing_in(4, 29))
    # Columns 1 to 36. The meadow: coins, steps and a pit.
    level.draw(1, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "C                                   ",  # 2
        "C                                   ",  # 3
        "C                                   ",  # 4
        "C                                   ",  # 5
        "C                                   ",  # 6
        "C                                   ",  # 7
        "C                                   ",  # 8
        "C                                   ",  # 9
        "C                                   ",  # 10
        "C                                   ",  # 11
        "C                                   ",  # 12
        "C                                   ",  # 13
        "C                                   ",  # 14
        "C                                   ",  # 15
        "C                                   ",  # 16
        "C                                   ",  # 17
        "C                                   ",  # 18
        "C                                   ",  # 19
        "C                                   ",  # 20
        "C                 z                 ",  # 21
        "C                BBB                ",  # 22
        "C                       2 2         ",  # 23
        "C                     1     1       ",  # 24
        "C                                   ",  # 25
        "C               GGGG                ",  # 26
        "C            2  EEEE                ",  # 27
        "C           GGGGEEEEGGGG            ",  # 28
        "C  K    1 1 EEEEEEEEEEEE        T   ",  # 29
        "CGGGGGGGGGGGEEEEEEEEEEEE    GGGGGGGG",  # 30
        "CEEEEEEEEEEEEEEEEEEEEEEE 55 EEEEEEEE",  # 31
        "CEEEEEEEEEEEEEEEEEEEEEEEGGGGEEEEEEEE",  # 32
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 33
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 34
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 35
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 36
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 37
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 38
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 39
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 40
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 41
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 42
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 43
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 44
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 45
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 46
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 47
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 48
        "CEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 37 to 72. The lake: a rock to dive under, the 50 among the seaweed, a cliff that only
    # a leap out of the water reaches.
    level.draw(37, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "                                    ",  # 2
        "                                    ",  # 3
        "                                    ",  # 4
        "                                    ",  # 5
        "                                    ",  # 6
        "                                    ",  # 7
        "                                    ",  # 8
        "                                    ",  # 9
        "                                    ",  # 10
        "                                    ",  # 11
        "            BBB                     ",  # 12
        "            BBB                     ",  # 13
        "            BBB                     ",  # 14
        "            BBB                     ",  # 15
        "            BBB                     ",  # 16
        "            BBB                     ",  # 17
        "            BBB                     ",  # 18
        "            BBB                     ",  # 19
        "            BBB                     ",  # 20
        "            BBB                     ",  # 21
        "            BBB                     ",  # 22
        "            BBB                     ",  # 23
        "            BBB                     ",  # 24
        "            BBB                     ",  # 25
        "            BBB                     ",  # 26
        "            BBB              GGGGGGG",  # 27
        "            BBB              EEEEEEE",  # 28
        "            BBB              EEEEEEE",  # 29
        "            BBB              EEEEEEE",  # 30
        "~~~~~~~~~~~~BBB~~~~~~~~~~~~~~EEEEEEE",  # 31
        "~~~~~~~~~~~~BBB~~~~~~~~~~~~~~EEEEEEE",  # 32
        "~~~~~~~~~~~~BBB~~~~~~~~y~~~~~EEEEEEE",  # 33
        "~~~~~~~~~~~~BBB~~~~~~~~~~~~~~EEEEEEE",  # 34
        "~~~~~~~~~~~~BBB~~~~~~~~~~~~~~EEEEEEE",  # 35
        "~~~~~~~1~~~~~~~~~~~~~~~~~~~~~EEEEEEE",  # 36
        "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~EEEEEEE",  # 37
        "~~~~~~~~~~2~~~~~~~~~~~~~~~~~~EEEEEEE",  # 38
        "~~~~~~~~~~~~~5~~~~~~~~~~~~~~~EEEEEEE",  # 39
        "~~~~~~~~~~~~~~~~~~~~~~~~WW~~~EEEEEEE",  # 40
        "~~~~b~~~~~~~~~~~b~b~fb~~WW~b~EEEEEEE",  # 41
        "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGEEEEEEE",  # 42
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 43
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 44
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 45
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 46
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 47
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 48
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 73 to 110. The castle: a gate, a door opened from a ledge, and a switch in the keep's
    # ceiling that opens a trapdoor.
    level.draw(73, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "                                      ",  # 2
        "                                      ",  # 3
        "                                      ",  # 4
        "                                      ",  # 5
        "                                      ",  # 6
        "                                      ",  # 7
        "       B                   BBBBBBBBBBB",  # 8
        "       B                   BBBBBBBBBBB",  # 9
        "       B                   BBBBBBBBBBB",  # 10
        "       B                   BBBBBBBBBBB",  # 11
        "       B                   BBBBBBBBBBB",  # 12
        "       B                   BBBBBBBBBBB",  # 13
        "       B                   BBBBBBBBBBB",  # 14
        "       B                   BBBBBBBBBBB",  # 15
        "       B                   BBBBBBBBBBB",  # 16
        "       B                   BBBBBBBBBBB",  # 17
        "       B          Sz       BBBBBBBBBBB",  # 18
        "       B        BBBBB      BBBBBBBBBBB",  # 19
        "       B T               T BBBBBBBBBBB",  # 20
        "       B                   BBBBBSBBBBB",  # 21
        "       B    2              B          ",  # 22
        "       B   BBB             B          ",  # 23
        "       D   BBB             D     T    ",  # 24
        "       D   BBB             D          ",  # 25
        "  S 2  D 1 BBB        5    D  11      ",  # 26
        "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGDDG",  # 27
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 28
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 29
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 30
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 31
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 32
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 33
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 34
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 35
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE  E",  # 36
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 37
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 38
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 39
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 40
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 41
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 42
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 43
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE      ",  # 44
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE     1",  # 45
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEGGGGGG",  # 46
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 47
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 48
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 111 to 150. The cave under the castle: a lift that the sensor on it starts, and a lift
    # called down by a sensor in the air.
    level.draw(111, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 2
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 3
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 4
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 5
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 6
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 7
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 8
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 9
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 10
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 11
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 12
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 13
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 14
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 15
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 16
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 17
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 18
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 19
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 20
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 21
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEE            ",  # 22
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEE            ",  # 23
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEE            ",  # 24
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEE            ",  # 25
        "EEEEEEEEEEEEEEEEEEEEEEEEE               ",  # 26
        "EEEEEEEEEEEEEEEEEEEEEEEEE               ",  # 27
        "EEEEEEEEEEEEEEEEEEEEEEEEE               ",  # 28
        "EEEEEEEEEEEEEEEEEEEEEEEEE         5 T   ",  # 29
        "EEEEEEEEEEEEEEEEEEEEEEEEE     GGGGGGGGGG",  # 30
        "EEEEEEEEEEEEEEEEE             EEEEEEEEEE",  # 31
        "EEEEEEEEEEEEEEEEE             EEEEEEEEEE",  # 32
        "EEEEEEEEEEEEEEEEE       z   WWEEEEEEEEEE",  # 33
        "EEEEEEEEEEEEEEEEE             EEEEEEEEEE",  # 34
        "EEEEEEEEEEEEEEEEE       n     EEEEEEEEEE",  # 35
        "EEEEEEEEEEEEEEEEE             EEEEEEEEEE",  # 36
        "                              EEEEEEEEEE",  # 37
        "                      2   2   EEEEEEEEEE",  # 38
        "                    GGGGGGGGGGEEEEEEEEEE",  # 39
        "                    EEEEEEEEEEEEEEEEEEEE",  # 40
        "                    EEEEEEEEEEEEEEEEEEEE",  # 41
        "         T          EEEEEEEEEEEEEEEEEEEE",  # 42
        "                    EEEEEEEEEEEEEEEEEEEE",  # 43
        "                  n EEEEEEEEEEEEEEEEEEEE",  # 44
        "  2  1       5    n EEEEEEEEEEEEEEEEEEEE",  # 45
        "GGGGGGGGGGGGGGGGGGWWEEEEEEEEEEEEEEEEEEEE",  # 46
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 47
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 48
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 151 to 186. The thicket: a hedge under an arch, a floor of bushes that gives way to a
    # tunnel, and a hedge in the tunnel.
    level.draw(151, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "                                    ",  # 2
        "                                    ",  # 3
        "                                    ",  # 4
        "                                    ",  # 5
        "                                    ",  # 6
        "                                    ",  # 7
        "   BBB           BBB                ",  # 8
        "   BBB           BBB                ",  # 9
        "   BBB           BBB                ",  # 10
        "   BBB           BBB                ",  # 11
        "   BBB           BBB                ",  # 12
        "   BBB           BBB                ",  # 13
        "   BBB           BBB                ",  # 14
        "   BBB           BBB                ",  # 15
        "   BBB           BBB                ",  # 16
        "   BBB           BBB                ",  # 17
        "   BBB           BBB                ",  # 18
        "   BBB           BBB                ",  # 19
        "   BBB           BBB                ",  # 20
        "    b            BBB                ",  # 21
        "    b            BBB                ",  # 22
        "    b            BBB                ",  # 23
        " T  b            BBB                ",  # 24
        "    b            BBB                ",  # 25
        "    b  2  1 1 1  BBB            5   ",  # 26
        "GGGGGGGGGbbbbbbbGEEEGGGGGGG  GGGGGGG",  # 27
        "EEEEEEEEE             b       EEEEEE",  # 28
        "EEEEEEEEE             b       EEEEEE",  # 29
        "EEEEEEEEE   z       5 b  2    EEEEEE",  # 30
        "EEEEEEEEEGGGGGGGGGGGGGGGGGGGGGEEEEEE",  # 31
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 32
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 33
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 34
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 35
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 36
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 37
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 38
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 39
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 40
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 41
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 42
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 43
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 44
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 45
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 46
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 47
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 48
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEE",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 187 to 226. The dungeon: a pit of spikes, a shaft among spikes, and a flooded tunnel
    # over spikes.
    level.draw(187, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 2
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 3
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 4
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 5
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 6
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 7
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 8
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 9
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 10
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 11
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 12
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 13
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 14
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 15
        "BBBBBBBBBBBBBBBBB   BBBBBBBBBBBBBBBBBBBB",  # 16
        "BBBBBBBBBBBBBBBBB   BBBBBBBB    BBBBBBBB",  # 17
        "BBBBBBBBBBBBBBBBB   BBBBBBBB    BBBBBBBB",  # 18
        "BBBBBBBBBBBBBBBBB 5 BBBBBBBB    BBBBBBBB",  # 19
        "            BBBBB   BBBBBBBB    BBBBBBBB",  # 20
        "            BBBBB   XXXXXXXX    BBBBBBBB",  # 21
        "   T        XXXXX               BBBBBBBB",  # 22
        "     2                          BBBBBBBB",  # 23
        "                     2 2 2      ~~~~~~~~",  # 24
        "                    BBBBBBBB    ~~~K~~~~",  # 25
        " K       K   1 1    BBBBBBBB K  ~~~~~~~~",  # 26
        "BBBB   BBBBBBBBBBBBBBBBBBBBBBBBB~~~~~z~~",  # 27
        "BBBBXXXBBBBBBBBBBBBBBBBBBBBBBBBB~2~~~~~~",  # 28
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBXXXXXXXX",  # 29
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 30
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 31
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 32
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 33
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 34
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 35
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 36
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 37
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 38
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 39
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 40
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 41
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 42
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 43
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 44
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 45
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 46
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 47
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 48
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 227 to 262. The forge: three crushers and two spikes that come down, with a disk in
    # each hall.
    level.draw(227, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 2
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 3
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 4
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 5
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 6
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 7
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 8
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 9
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 10
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 11
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 12
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 13
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 14
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 15
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 16
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 17
        "    BBBBBBBBBBBBBBB    BBBBBBBBB    ",  # 18
        "    BBBBBBBBBBBBBBB    BBBBBBBBB    ",  # 19
        "    BBBBBBBBBBBBBBB    BBBBBBBBB    ",  # 20
        "  T BBBBBBBBBBBBBBB  T BBBBBBBBB  T ",  # 21
        "    BBBBBBBBBBBBBBB    BBBBBBBBB    ",  # 22
        "    BBCCBBBCCBBBCCB    BBXXBBXXB    ",  # 23
        "                                    ",  # 24
        "                                    ",  # 25
        " K       2    2     K       5    K  ",  # 26
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 27
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 28
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 29
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 30
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 31
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 32
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 33
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 34
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 35
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 36
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 37
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 38
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 39
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 40
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 41
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 42
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 43
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 44
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 45
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 46
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 47
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 48
        "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    # Columns 263 to 300. The summit: a lift, a raft under a low rock over spikes, a second lift and
    # the last door.
    level.draw(263, 1, [
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 1
        "         EEEEEEEEE         B         C",  # 2
        "         EEEEEEEEE         B         C",  # 3
        "         EEEEEEEEE         B         C",  # 4
        "         EEEEEEEEE         B         C",  # 5
        "         EEEEEEEEE         B         C",  # 6
        "         EEEEEEEEE         B         C",  # 7
        "         EEEEEEEEE         B         C",  # 8
        "         EEEEEEEEE       T B         C",  # 9
        "         EEEEEEEEE         D         C",  # 10
        "         EEEEEEEEE         D         C",  # 11
        "         EEEEEEEEE    K S  D T Z f   C",  # 12
        "         EEEEEEEEE  GGGGGGGGGGGGGGGGGC",  # 13
        "         EEEEEEEEE  EEEEEEEEEEEEEEEEEC",  # 14
        "         EEEEEEEEE  EEEEEEEEEEEEEEEEEC",  # 15
        "         EEEEEEEEE  EEEEEEEEEEEEEEEEEC",  # 16
        "                    EEEEEEEEEEEEEEEEEC",  # 17
        "             y    n EEEEEEEEEEEEEEEEEC",  # 18
        "        K W       n EEEEEEEEEEEEEEEEEC",  # 19
        "       GGGGXXXXXXGWWEEEEEEEEEEEEEEEEEC",  # 20
        "       EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 21
        "       EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 22
        "       EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 23
        "       EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 24
        "     n EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 25
        " K 1 n EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 26
        "GGGGGWWGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGC",  # 27
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 28
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 29
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 30
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 31
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 32
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 33
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 34
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 35
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 36
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 37
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 38
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 39
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 40
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 41
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 42
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 43
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 44
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 45
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 46
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 47
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 48
        "EEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEC",  # 49
        "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC",  # 50
    ])
    level.flood(37, 31, 65, 41)    # the lake
    level.flood(219, 24, 226, 29)  # the flooded tunnel of the dungeon
    door = preset("Tuer")
    up = preset("Aufzug_hoch")
    # The castle: the gate, the inner door and the trapdoor in the keep's floor, which slides
    # aside into the floor.
    level.move([(75, 26)], Motion(1, 0, 0, 0, 0, 0))
    level.move([(80, 24), (80, 25), (80, 26)], door._replace(link=1))
    level.move([(91, 18)], Motion(2, 0, 0, 0, 0, 0))
    level.move([(100, 24), (100, 25), (100, 26)], door._replace(link=2))
    level.move([(105, 21)], Motion(3, 0, 0, 0, 0, 0))
    level.move([(108, 27), (109, 27)], Motion(3, 2, -5, 0, 0, 0))
    # The cave.
    level.move([(129, 44), (129, 45)], Motion(4, 0, 0, 0, 0, 0))
    level.move([(129, 46), (130, 46)], up._replace(link=4))
    level.move([(135, 35)], Motion(5, 0, 0, 0, 0, 0))
    level.move([(139, 33), (140, 33)], preset("Aufzug_runter", link=5))
    # The forge: crushers and spikes, each with its own rhythm.
    crusher = preset("Stampfer")
    for column, pause1, pause2 in ((233, 40, 60), (238, 60, 40), (243, 30, 70),
                                   (252, 40, 60), (256, 60, 40)):
        level.move([(column, 23), (column + 1, 23)],
                   crusher._replace(pause1=pause1, pause2=pause2))
    # The summit.
    level.move([(268, 25), (268, 26)], Motion(6, 0, 0, 0, 0, 0))
    level.move([(268, 27), (269, 27)], up._replace(link=6))
    level.move([(273, 19)], preset("Pendel")._replace(length=6))
    level.move([(281, 18), (281, 19)], Motion(7, 0, 0, 0, 0, 0))
    level.move([(281, 20), (282, 20)], up._replace(link=7))
    level.move([(287, 12)], Motion(8, 0, 0, 0, 0, 0))
    level.move([(290, 10), (290, 11), (290, 12)], door._replace(link=8))
    return level


# The levels in the order of play; their names sort in the same order.
LEVELS = {
    "Anfang": anfang,
    "Bucht": bucht,
    "Festung": festung,
    "Hoehle": hoehle,
    "Irrgarten": irrgarten,
    "Kerker": kerker,
    "Schmiede": schmiede,
    "Turm": turm,
    "Wanderung": wanderung,
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
        sys.exit(f"elements not used on both backdrops (kind, backdrop): {missing}")


if __name__ == "__main__":
    main()
