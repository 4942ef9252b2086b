#!/usr/bin/env python3
"""Writes radar.csv, the invented sample database, to standard output or to the named file.

Every road, city and position is made up. The output is deterministic; rerun this script after a
change and commit both it and radar.csv. Texts are raw bytes: some are UTF-8, some Windows-1252,
some hold commas or double quotes, so the sample exercises the CSV quoting and the viewer's text
decoding.
"""
import math
import random
import sys

RECORDS = 3000
SEED = 20120902

# Field widths of a record's texts (the longest text a field holds).
SPEED_FIELD, ROAD_FIELD, CITY_FIELD = 41, 68, 120

HEADER = b"CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City"

CITIES = [
    b"Vellmarsk", b"Orbesse", b"Kaltenbr\xfcck", b"Lindwasser", b"Port Ardane",
    b"Saint-Moriel", b"Brekkevik", b"Oudenmaar", b"Castelvero", b"Zarnow",
    b"Hollin Cross", b"Mirebeau-sur-Lys", b"\xc3\x89tangville", b"Sk\xe5rnes", b"Felsach",
    b"Novo Brdo Gornje", b"Quarrington", b"Valmonte", b"Dunmore, East", b"Les Ormeaux",
    b"Gr\xc3\xbcnhagen", b"Alt-Rehburg", b"Ciudad Ner\xf3n", b"Tamsby", b"Velika Ora",
]
ROAD_NAMES = [
    b"Ring Road", b"Harbour Street", b"Mill Lane", b"Avenue des Tilleuls", b"Kirchweg",
    b"Stra\xdfe der Einheit", b"Via Roma", b"Rue de l'\xc3\x89glise", b"Old Quarry Road",
    b"Chemin du \"Moulin Rouge\"", b"Bridge Approach", b"Station Road", b"Calle Mayor",
    b"Boulevard P\xe9riph\xe9rique", b"Long Meadow", b"N\xf8rregade",
]
ROUTES = [b"A", b"B", b"N", b"R", b"E", b"M", b"D"]
SPEEDS_KMH = [30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130]
SPEEDS_MPH = [20, 30, 40, 50, 60, 70]


def decode_direction(raw):
    """Degrees of a raw 13-bit direction, computed as the reader does."""
    if raw == 8161:
        return 360
    return int(raw * 0.18 / 3.141592653589793 - 180.0)


def csv_text(text):
    if any(c in text for c in b',"\r\n'):
        return b'"' + text.replace(b'"', b'""') + b'"'
    return text


def road_text(rng):
    kind = rng.random()
    if kind < 0.45:
        return rng.choice(ROUTES) + b"%d" % rng.randint(1, 999)
    if kind < 0.6:
        route = rng.choice(ROUTES) + b" %d" % rng.randint(1, 99)
        return route + b", exit %d" % rng.randint(1, 60)
    if kind < 0.95:
        return rng.choice(ROAD_NAMES)
    return b""


def speed_text(rng, mph, limit):
    kind = rng.random()
    if kind < 0.6:
        return b"%d" % limit
    if kind < 0.85:
        return b"%d %s" % (limit, b"mph" if mph else b"km/h")
    if kind < 0.95:
        return b"%d/%d" % (limit, limit - 20 if limit > 30 else limit)
    return b""


def grid_fields(column, row):
    """SS, MS and LS of the grid square at `column`, `row` (each digit pair split by nibble)."""
    ls = (row // 256) * 28 + column // 256
    ms = ((row // 16) % 16) * 16 + (column // 16) % 16
    ss = (row % 16) * 16 + column % 16
    return ss, ms, ls


def record_line(rng, city_squares):
    city = rng.choice(CITIES)
    base_column, base_row = city_squares[city]
    column = base_column + rng.randint(-4, 4)
    row = base_row + rng.randint(-4, 4)
    ss, ms, ls = grid_fields(column, row)
    x, y = rng.randint(0, 999), rng.randint(0, 999)
    coord_x = (((ls % 28) * 16 + ms % 16) * 16 + ss % 16) * 1000 + x % 1000
    coord_y = (((ls // 28) * 16 + ms // 16) * 16 + ss // 16) * 1000 + y % 1000
    assert (coord_x // 1000, coord_y // 1000) == (column, row)
    subcat = rng.choice([1, 1, 1, 2, 2, 3, 4, 5, 7, 11, 12, 31])
    mph = 1 if rng.random() < 0.15 else 0
    limit = rng.choice(SPEEDS_MPH if mph else SPEEDS_KMH)
    # Both ends of the raw range and the full-circle value turn up now and then.
    raw_dir = rng.choice([0, 8161, 8191]) if rng.random() < 0.03 else rng.randint(0, 8191)
    speed = speed_text(rng, mph, limit)
    road = road_text(rng)
    if rng.random() < 0.1:
        city += b" (%s)" % rng.choice([b"centre", b"north", b"\"old town\"", b"by-pass"])
    assert len(speed) <= SPEED_FIELD and len(road) <= ROAD_FIELD and len(city) <= CITY_FIELD
    numbers = [coord_x, coord_y, ss, ms, ls, x, y, subcat, mph, limit,
               decode_direction(raw_dir)]
    fields = [b"%d" % n for n in numbers] + [csv_text(speed), csv_text(road), csv_text(city)]
    return b",".join(fields)


def main():
    rng = random.Random(SEED)
    # Each city lies in its own grid square; its radars are spread over the squares around it.
    city_squares = {city: (rng.randint(600, 6500), rng.randint(40000, 60000)) for city in CITIES}
    lines = [HEADER] + [record_line(rng, city_squares) for _ in range(RECORDS)]
    data = b"".join(line + b"\r\n" for line in lines)
    if len(sys.argv) > 1:
        with open(sys.argv[1], "wb") as out:
            out.write(data)
    else:
        sys.stdout.buffer.write(data)


if __name__ == "__main__":
    main()
