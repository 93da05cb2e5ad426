#!/usr/bin/env python3
"""Writes the tables, configuration files and input tables of the Japan sample.

Run by japan.sh after blankmap has made the base map and the area table
skeleton. Everything is derived from this file, the prefecture boundaries and
the skeleton, with a fixed random seed, so two runs write the same bytes.

    japan_tables.py SKELETON.csv BOUNDARIES.geojson OUTPUT-FOLDER

The species, their authors and years and their families are real; the
distribution records are synthetic (drawn inside each species' rough real
range), and the literature and book rows are invented sample entries.
"""

import csv
import io
import json
import math
import os
import random
import sys

# ---------------------------------------------------------------------------
# Areas: the 47 prefectures (JIS X 0401 codes) with kana and romanised names
# and their regions.

# code: (katakana name, katakana name without the suffix, romanised name, large region, small region)
PREFECTURES = {
    1: ("ホッカイドウ", "", "Hokkaido", "北海道", "北海道"),
    2: ("アオモリケン", "アオモリ", "Aomori", "東北", "北東北"),
    3: ("イワテケン", "イワテ", "Iwate", "東北", "北東北"),
    4: ("ミヤギケン", "ミヤギ", "Miyagi", "東北", "南東北"),
    5: ("アキタケン", "アキタ", "Akita", "東北", "北東北"),
    6: ("ヤマガタケン", "ヤマガタ", "Yamagata", "東北", "南東北"),
    7: ("フクシマケン", "フクシマ", "Fukushima", "東北", "南東北"),
    8: ("イバラキケン", "イバラキ", "Ibaraki", "関東", "北関東"),
    9: ("トチギケン", "トチギ", "Tochigi", "関東", "北関東"),
    10: ("グンマケン", "グンマ", "Gunma", "関東", "北関東"),
    11: ("サイタマケン", "サイタマ", "Saitama", "関東", "南関東"),
    12: ("チバケン", "チバ", "Chiba", "関東", "南関東"),
    13: ("トウキョウト", "トウキョウ", "Tokyo", "関東", "南関東"),
    14: ("カナガワケン", "カナガワ", "Kanagawa", "関東", "南関東"),
    15: ("ニイガタケン", "ニイガタ", "Niigata", "中部", "北陸"),
    16: ("トヤマケン", "トヤマ", "Toyama", "中部", "北陸"),
    17: ("イシカワケン", "イシカワ", "Ishikawa", "中部", "北陸"),
    18: ("フクイケン", "フクイ", "Fukui", "中部", "北陸"),
    19: ("ヤマナシケン", "ヤマナシ", "Yamanashi", "中部", "甲信"),
    20: ("ナガノケン", "ナガノ", "Nagano", "中部", "甲信"),
    21: ("ギフケン", "ギフ", "Gifu", "中部", "東海"),
    22: ("シズオカケン", "シズオカ", "Shizuoka", "中部", "東海"),
    23: ("アイチケン", "アイチ", "Aichi", "中部", "東海"),
    24: ("ミエケン", "ミエ", "Mie", "近畿", "近畿"),
    25: ("シガケン", "シガ", "Shiga", "近畿", "近畿"),
    26: ("キョウトフ", "キョウト", "Kyoto", "近畿", "近畿"),
    27: ("オオサカフ", "オオサカ", "Osaka", "近畿", "近畿"),
    28: ("ヒョウゴケン", "ヒョウゴ", "Hyogo", "近畿", "近畿"),
    29: ("ナラケン", "ナラ", "Nara", "近畿", "近畿"),
    30: ("ワカヤマケン", "ワカヤマ", "Wakayama", "近畿", "近畿"),
    31: ("トットリケン", "トットリ", "Tottori", "中国", "山陰"),
    32: ("シマネケン", "シマネ", "Shimane", "中国", "山陰"),
    33: ("オカヤマケン", "オカヤマ", "Okayama", "中国", "山陽"),
    34: ("ヒロシマケン", "ヒロシマ", "Hiroshima", "中国", "山陽"),
    35: ("ヤマグチケン", "ヤマグチ", "Yamaguchi", "中国", "山陽"),
    36: ("トクシマケン", "トクシマ", "Tokushima", "四国", "四国"),
    37: ("カガワケン", "カガワ", "Kagawa", "四国", "四国"),
    38: ("エヒメケン", "エヒメ", "Ehime", "四国", "四国"),
    39: ("コウチケン", "コウチ", "Kochi", "四国", "四国"),
    40: ("フクオカケン", "フクオカ", "Fukuoka", "九州", "北部九州"),
    41: ("サガケン", "サガ", "Saga", "九州", "北部九州"),
    42: ("ナガサキケン", "ナガサキ", "Nagasaki", "九州", "北部九州"),
    43: ("クマモトケン", "クマモト", "Kumamoto", "九州", "南部九州"),
    44: ("オオイタケン", "オオイタ", "Oita", "九州", "北部九州"),
    45: ("ミヤザキケン", "ミヤザキ", "Miyazaki", "九州", "南部九州"),
    46: ("カゴシマケン", "カゴシマ", "Kagoshima", "九州", "南部九州"),
    47: ("オキナワケン", "オキナワ", "Okinawa", "沖縄", "沖縄"),
}

# ---------------------------------------------------------------------------
# Species: Japanese butterflies (order Lepidoptera) in their families.

ORDER = (1, "Lepidoptera", 0, "チョウ目", "Butterflies and moths")
FAMILIES = [
    (2, "Papilionidae", 1, "アゲハチョウ科", "Swallowtails"),
    (3, "Pieridae", 1, "シロチョウ科", "Whites and sulphurs"),
    (4, "Lycaenidae", 1, "シジミチョウ科", "Blues, coppers and hairstreaks"),
    (5, "Nymphalidae", 1, "タテハチョウ科", "Brush-footed butterflies"),
    (6, "Hesperiidae", 1, "セセリチョウ科", "Skippers"),
]

ALL = set(range(1, 48))
HOKKAIDO_TO_KYUSHU = set(range(1, 47))
HONSHU_SOUTHWARDS = set(range(2, 48))

# code, scientific name, author, year, in parentheses (not in its original genus),
# family code, Japanese name, romanised Japanese name, prefectures of its range
SPECIES = [
    (101, "Papilio xuthus", "Linnaeus", "1767", False, 2, "アゲハ", "Ageha", ALL),
    (102, "Papilio machaon", "Linnaeus", "1758", False, 2, "キアゲハ", "Kiageha", ALL),
    (103, "Papilio protenor", "Cramer", "1775", False, 2, "クロアゲハ", "Kuroageha", HONSHU_SOUTHWARDS),
    (104, "Papilio bianor", "Cramer", "1777", False, 2, "カラスアゲハ", "Karasuageha", ALL),
    (105, "Papilio maackii", "Menetries", "1859", False, 2, "ミヤマカラスアゲハ", "Miyamakarasuageha",
     HOKKAIDO_TO_KYUSHU),
    (106, "Graphium sarpedon", "Linnaeus", "1758", True, 2, "アオスジアゲハ", "Aosujiageha", set(range(3, 48))),
    (107, "Byasa alcinous", "Klug", "1836", True, 2, "ジャコウアゲハ", "Jakoageha", HONSHU_SOUTHWARDS),
    (108, "Luehdorfia japonica", "Leech", "1889", False, 2, "ギフチョウ", "Gifucho", set(range(5, 36)) - {8, 12, 13}),
    (109, "Parnassius glacialis", "Butler", "1866", False, 2, "ウスバシロチョウ", "Usubashirocho",
     set(range(1, 40))),
    (201, "Pieris rapae", "Linnaeus", "1758", True, 3, "モンシロチョウ", "Monshirocho", ALL),
    (202, "Pieris melete", "Menetries", "1857", False, 3, "スジグロシロチョウ", "Sujiguroshirocho",
     HOKKAIDO_TO_KYUSHU),
    (203, "Eurema mandarina", "de l'Orza", "1869", True, 3, "キタキチョウ", "Kitakicho", HONSHU_SOUTHWARDS),
    (204, "Colias erate", "Esper", "1805", True, 3, "モンキチョウ", "Monkicho", ALL),
    (205, "Anthocharis scolymus", "Butler", "1866", False, 3, "ツマキチョウ", "Tsumakicho", HOKKAIDO_TO_KYUSHU),
    (301, "Zizeeria maha", "Kollar", "1844", True, 4, "ヤマトシジミ", "Yamatoshijimi", HONSHU_SOUTHWARDS),
    (302, "Lycaena phlaeas", "Linnaeus", "1761", True, 4, "ベニシジミ", "Benishijimi", HOKKAIDO_TO_KYUSHU),
    (303, "Celastrina argiolus", "Linnaeus", "1758", True, 4, "ルリシジミ", "Rurishijimi", HOKKAIDO_TO_KYUSHU),
    (304, "Lampides boeticus", "Linnaeus", "1767", True, 4, "ウラナミシジミ", "Uranamishijimi", ALL),
    (305, "Curetis acuta", "Moore", "1877", False, 4, "ウラギンシジミ", "Uraginshijimi", set(range(8, 48))),
    (306, "Arhopala japonica", "Murray", "1875", True, 4, "ムラサキシジミ", "Murasakishijimi", set(range(4, 48))),
    (401, "Sasakia charonda", "Hewitson", "1863", True, 5, "オオムラサキ", "Omurasaki", HOKKAIDO_TO_KYUSHU),
    (402, "Hestina assimilis", "Linnaeus", "1758", True, 5, "アカボシゴマダラ", "Akaboshigomadara",
     {8, 9, 10, 11, 12, 13, 14, 19, 22}),
    (403, "Vanessa indica", "Herbst", "1794", True, 5, "アカタテハ", "Akatateha", ALL),
    (404, "Vanessa cardui", "Linnaeus", "1758", True, 5, "ヒメアカタテハ", "Himeakatateha", ALL),
    (405, "Polygonia c-aureum", "Linnaeus", "1758", True, 5, "キタテハ", "Kitateha", HOKKAIDO_TO_KYUSHU),
    (406, "Argyreus hyperbius", "Linnaeus", "1763", True, 5, "ツマグロヒョウモン", "Tsumagurohyomon",
     set(range(8, 48))),
    (407, "Parantica sita", "Kollar", "1844", True, 5, "アサギマダラ", "Asagimadara", ALL),
    (408, "Neptis sappho", "Pallas", "1771", True, 5, "コミスジ", "Komisuji", HOKKAIDO_TO_KYUSHU),
    (409, "Ypthima argus", "Butler", "1866", False, 5, "ヒメウラナミジャノメ", "Himeuranamijanome", ALL),
    (501, "Parnara guttata", "Bremer & Grey", "1852", True, 6, "イチモンジセセリ", "Ichimonjiseseri", ALL),
    (502, "Daimio tethys", "Menetries", "1857", True, 6, "ダイミョウセセリ", "Daimyoseseri", HOKKAIDO_TO_KYUSHU),
    (503, "Choaspes benjaminii", "Guerin-Meneville", "1843", True, 6, "アオバセセリ", "Aobaseseri",
     set(range(3, 48))),
]

# ---------------------------------------------------------------------------
# Literature and books: invented sample entries, marked as such in every name.

BOOKS = [
    ("B01", "【見本】見本昆虫学会誌", "ミホンコンチュウガッカイシ", "Sample Entomological Journal (sample entry)"),
    ("B02", "【見本】チョウ類調査報告", "チョウルイチョウサホウコク", "Sample Butterfly Survey Reports (sample entry)"),
]

# code, author, year, title, book, volume, issue, pages, author in kana, title in kana, author and title romanised
LITERATURE = [
    ("S01", "見本 太郎", "2019", "【見本】関東地方のチョウ類記録", "B01", "12", "3", "45-52",
     "ミホン タロウ", "カントウチホウノチョウルイキロク", "Mihon, T.", "Sample records of butterflies from Kanto"),
    ("S02", "見本 花子", "2020", "【見本】西日本のアゲハチョウ類", "B01", "13", "1", "1-18",
     "ミホン ハナコ", "ニシニホンノアゲハチョウルイ", "Mihon, H.", "Sample records of swallowtails from western Japan"),
    ("S03", "例示 一郎・見本 太郎", "2021", "【見本】北海道と東北のチョウ類相", "B02", "5", "", "101-130",
     "レイジ イチロウ・ミホン タロウ", "ホッカイドウトトウホクノチョウルイソウ", "Reiji, I. & Mihon, T.",
     "A sample butterfly fauna of Hokkaido and Tohoku"),
    ("S04", "例示 次郎", "2022", "【見本】南西諸島の迷チョウ記録", "B02", "6", "", "7-15",
     "レイジ ジロウ", "ナンセイショトウノメイチョウキロク", "Reiji, J.", "Sample records of vagrant butterflies from the Nansei islands"),
    ("S05", "見本 花子", "2023", "【見本】メッシュ調査によるチョウ類の分布", "B01", "16", "2", "60-88",
     "ミホン ハナコ", "メッシュチョウサニヨルチョウルイノブンプ", "Mihon, H.", "Sample grid-square survey of butterflies"),
    ("S06", "例示 一郎", "2024", "【見本】九州のセセリチョウ科", "B01", "17", "1", "20-31",
     "レイジ イチロウ", "キュウシュウノセセリチョウカ", "Reiji, I.", "Sample records of skippers from Kyushu"),
]

HIRAGANA_OFFSET = ord("ぁ") - ord("ァ")


def hiragana(katakana):
    """The hiragana of a katakana text (the input tables may use either)."""
    return "".join(chr(ord(c) + HIRAGANA_OFFSET) if "ァ" <= c <= "ン" else c for c in katakana)


# ---------------------------------------------------------------------------
# Geometry on the prefecture polygons.

def polygons_of(feature):
    geometry = feature["geometry"]
    return geometry["coordinates"] if geometry["type"] == "MultiPolygon" else [geometry["coordinates"]]


def ring_area(ring):
    return abs(sum(ring[i][0] * ring[i - 1][1] - ring[i - 1][0] * ring[i][1] for i in range(len(ring)))) / 2


def inside(ring, lon, lat):
    result = False
    j = len(ring) - 1
    for i in range(len(ring)):
        (xi, yi), (xj, yj) = ring[i][:2], ring[j][:2]
        if (yi > lat) != (yj > lat) and lon < (xj - xi) * (lat - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def distance_to_ring(ring, lon, lat):
    """Distance in kilometres (roughly) from a point to the ring's edges."""
    kx = 111.3 * math.cos(math.radians(lat))
    ky = 111.3
    best = float("inf")
    for i in range(len(ring)):
        ax, ay = (ring[i - 1][0] - lon) * kx, (ring[i - 1][1] - lat) * ky
        bx, by = (ring[i][0] - lon) * kx, (ring[i][1] - lat) * ky
        dx, dy = bx - ax, by - ay
        length = dx * dx + dy * dy
        t = 0 if length == 0 else max(0, min(1, -(ax * dx + ay * dy) / length))
        best = min(best, math.hypot(ax + t * dx, ay + t * dy))
    return best


def land_point(rng, ring, margin_km=4.0):
    """A random point at least margin_km inside the ring."""
    west = min(p[0] for p in ring)
    east = max(p[0] for p in ring)
    south = min(p[1] for p in ring)
    north = max(p[1] for p in ring)
    for _ in range(10000):
        lon = rng.uniform(west, east)
        lat = rng.uniform(south, north)
        if inside(ring, lon, lat) and distance_to_ring(ring, lon, lat) >= margin_km:
            return lon, lat
    raise SystemExit("no land point found")


# ---------------------------------------------------------------------------
# The datum shift and the national grid squares (JIS X 0410).

def to_world(lat, lon):
    """Tokyo datum to world datum, degrees (the usual first-order approximation)."""
    return (lat - 0.00010695 * lat + 0.000017464 * lon + 0.0046017,
            lon - 0.000046038 * lat - 0.000083043 * lon + 0.010040)


def to_tokyo(lat, lon):
    """World datum to Tokyo datum: the inverse of to_world, by iteration."""
    tlat, tlon = lat, lon
    for _ in range(5):
        wlat, wlon = to_world(tlat, tlon)
        tlat += lat - wlat
        tlon += lon - wlon
    return tlat, tlon


def quarter_digit(lat_upper, lon_upper):
    return str(1 + 2 * lat_upper + lon_upper)


def grid_code(lat, lon, level):
    """The grid square code (digits) of a Tokyo-datum point at a level."""
    y = lat * 1.5
    p = int(y)
    u = int(lon) - 100
    y8 = (y - p) * 8
    x8 = (lon - int(lon)) * 8
    q, v = int(y8), int(x8)
    y80, x80 = (y8 - q) * 10, (x8 - v) * 10
    r, w = int(y80), int(x80)
    code = "%02d%02d" % (p, u)
    if level == "first":
        return code
    code += "%d%d" % (q, v)
    if level == "second":
        return code
    if level == "5km":
        return code + quarter_digit(int(y8 - q >= 0.5), int(x8 - v >= 0.5))
    if level == "2km":
        return code + "%d%d5" % (r - r % 2, w - w % 2)
    code += "%d%d" % (r, w)
    if level == "third":
        return code
    fy, fx = y80 - r, x80 - w
    for _ in {"half": 1, "quarter": 2, "eighth": 3}[level] * "x":
        uy, ux = int(fy >= 0.5), int(fx >= 0.5)
        code += quarter_digit(uy, ux)
        fy, fx = fy * 2 - uy, fx * 2 - ux
    return code


def written_grid_code(rng, digits):
    """A grid code as people write it: plain digits or with hyphens."""
    if rng.random() < 0.5 or len(digits) <= 4:
        return digits
    parts = [digits[:4], digits[4:6]] + ([digits[6:]] if len(digits) > 6 else [])
    return "-".join(parts)


def angle_text(rng, value, kind):
    """A latitude or longitude as people write it: decimal degrees, degrees
    and minutes, or degrees, minutes and seconds, with or without the
    hemisphere letter."""
    style = rng.randrange(3)
    if style == 0:
        text = "%.4f" % value
    elif style == 1:
        degrees, rest = divmod(int(round(value * 3600)), 3600)
        minutes, seconds = divmod(rest, 60)
        text = "%d.%02d'%02d\"" % (degrees, minutes, seconds)
    else:
        degrees, minutes = divmod(int(round(value * 60)), 60)
        text = "%d.%02d'" % (degrees, minutes)
    if rng.random() < 0.3:
        text = ("N" if kind == "latitude" else "E") + text
    return text


# ---------------------------------------------------------------------------
# Writing.

def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(text.replace("\n", "\r\n").encode("cp932"))


def write_csv(path, rows):
    buffer = io.StringIO()
    writer = csv.writer(buffer, lineterminator="\n")
    for row in rows:
        writer.writerow(row)
    write_text(path, buffer.getvalue())


def read_csv(path):
    with open(path, encoding="cp932", newline="") as table:
        return list(csv.reader(table))


def area_table(skeleton):
    rows = []
    for row in skeleton:
        code = int(row[0])
        row = row + [""] * (14 - len(row))
        full, short, roman, large, small = PREFECTURES[code]
        row[9], row[10], row[11], row[12], row[13] = full, roman, short, large, small
        rows.append(row)
    return rows


def datum_shift_table(features):
    squares = set()
    for feature in features:
        for polygon in polygons_of(feature):
            ring = polygon[0]
            for lon, lat in ring:
                tlat, tlon = to_tokyo(lat, lon)
                squares.add((int(tlat * 1.5), int(tlon) - 100))
            west = int(min(p[0] for p in ring))
            east = int(max(p[0] for p in ring))
            south = int(min(p[1] for p in ring) * 1.5)
            north = int(max(p[1] for p in ring) * 1.5)
            for p in range(south, north + 1):
                for u in range(west - 100, east - 99):
                    if inside(ring, u + 100.5, (p + 0.5) / 1.5):
                        squares.add((p, u))
    rows = []
    for p, u in sorted(squares):
        lat, lon = (p + 0.5) / 1.5, 100 + u + 0.5
        wlat, wlon = to_world(lat, lon)
        rows.append(["%02d%02d" % (p, u), "N%.4f E%.4f" % (lat, lon),
                     "%.3f" % ((wlat - lat) * 3600), "%.3f" % ((wlon - lon) * 3600)])
    return rows


RANKS = "A" * 12 + "B" * 4 + "C" * 3 + "Z" * 1
GRID_LEVELS = ["first"] + ["second"] * 6 + ["5km"] * 3 + ["2km"] * 2 + ["third"] * 2 + ["half", "quarter", "eighth"]


def literature_of(area, family, grid):
    """The sample paper a record comes from, by what the paper is about."""
    if grid:
        return "S05"
    if area <= 7:
        return "S03"
    if area <= 14:
        return "S01"
    if area == 47:
        return "S04"
    if area >= 40 and family == 6:
        return "S06"
    return "S02"


def input_tables(rng, features):
    """Synthetic records of every species, spread over three input tables."""
    by_code = {f["properties"]["code"]: f for f in features}
    largest = {code: max((p[0] for p in polygons_of(f)), key=ring_area) for code, f in by_code.items()}
    tables = {"kanto_chubu.csv": [], "north.csv": [], "west_south.csv": []}

    def table_of(code):
        if code <= 7:
            return "north.csv"
        if code <= 23:
            return "kanto_chubu.csv"
        return "west_south.csv"

    literature_titles = {row[0]: row[3] for row in LITERATURE}
    for code, name, author, year, paren, family, japanese, roman, prefs in SPECIES:
        prefs = sorted(prefs)
        chosen_areas = rng.sample(prefs, min(len(prefs), rng.randint(4, 9)))
        records = []  # (prefecture, area text, latitude, longitude, grid code)
        for area in chosen_areas:
            full, short, _, _, _ = PREFECTURES[area]
            form = rng.randrange(4)
            if form == 0:
                written = str(area)
            elif form == 1:
                written = full
            elif form == 2:
                written = hiragana(short or full)
            else:
                written = short or full
            records.append((area, written, "", "", ""))
        for _ in range(rng.randint(3, 7)):
            area = rng.choice(prefs)
            lon, lat = land_point(rng, largest[area])
            records.append((area, "", angle_text(rng, lat, "latitude"), angle_text(rng, lon, "longitude"), ""))
        for _ in range(rng.randint(3, 7)):
            area = rng.choice(prefs)
            lon, lat = land_point(rng, largest[area], margin_km=6.0)
            tlat, tlon = to_tokyo(lat, lon)
            level = rng.choice(GRID_LEVELS)
            records.append((area, "", "", "", written_grid_code(rng, grid_code(tlat, tlon, level))))
        for area, written, latitude, longitude, grid in records:
            literature = literature_of(area, family, grid)
            if rng.random() < 0.2:
                literature = literature_titles[literature]
            rank = rng.choice(RANKS)
            written_name = name if rng.random() < 0.5 else japanese
            # Most rows leave the species code to ludric; some carry it already.
            species_code = str(code) if rng.random() < 0.25 else ""
            tables[table_of(area)].append(
                [written_name, "", species_code, written, literature, rank, latitude, longitude, grid])
    # Rows that were found wrong: marked "IVD", ludric and samvel pass them over.
    tables["kanto_chubu.csv"].insert(3, ["オオムラサキ", "IVD", "", "999", "S01", "A", "", "", ""])
    tables["north.csv"].insert(5, ["Luehdorfia japonica", "IVD", "108", "ホッカイドウ", "S03", "A", "", "", ""])
    tables["west_south.csv"].insert(7, ["ギフチョウ?", "IVD", "", "", "S02", "?", "26.2", "127.7", ""])
    return tables


def painter_cfg():
    # Ten slots: shape, size, thickness, and per rank A, B, C, Z the mark and the fill colour.
    hues = [
        ("赤 丸", "filled-circle", (220, 0, 0), (255, 128, 128)),
        ("青 四角", "filled-square", (0, 0, 220), (128, 160, 255)),
        ("緑 三角", "filled-triangle", (0, 140, 0), (128, 220, 128)),
        ("紫 逆三角", "filled-reversed-triangle", (150, 0, 150), (220, 150, 220)),
        ("橙 円", "circle", (230, 110, 0), (255, 200, 120)),
        ("青緑 四角枠", "square", (0, 130, 130), (120, 220, 220)),
        ("茶 三角枠", "triangle", (130, 70, 0), (210, 170, 120)),
        ("黒 十字", "cross", (0, 0, 0), (170, 170, 170)),
        ("紺 逆三角枠", "reversed-triangle", (0, 0, 120), (140, 140, 220)),
        ("赤紫 文字X", "X", (200, 0, 100), (255, 150, 200)),
    ]

    def lighter(colour, amount):
        return tuple(int(c + (255 - c) * amount) for c in colour)

    def greyed(colour, grey):
        return tuple((c + 2 * grey) // 3 for c in colour)

    lines = ["<painter>", '\t<overlap shift-x="5" shift-y="-4"/>',
             '\t<font facename="IPAPGothic" size="10.0" bold="true" italic="false"/>']
    for comment, shape, mark, fill in hues:
        lines.append('\t<target comment="スロット %s">' % comment)
        lines.append('\t\t<mark shape="%s" size="%4.1f" thickness="%d"/>' % (shape, 9.0, 2))
        # A paler for B and paler still for C; Z (doubtful records) greyed.
        for tag, m, f in (("rank-a", mark, fill), ("rank-b", lighter(mark, 0.35), lighter(fill, 0.35)),
                          ("rank-c", lighter(mark, 0.6), lighter(fill, 0.6)),
                          ("rank-z", greyed(mark, 128), greyed(fill, 200))):
            lines.append('\t\t<%s markcolor="%d,%d,%d" fillcolor="%d,%d,%d"/>' % ((tag,) + m + f))
        lines.append("\t</target>")
    lines.append("</painter>")
    return "\n".join(lines) + "\n"


def print_form_cfg():
    def number(indent, tag, attribute, value):
        return '%s<%s %s="%s"/>' % (indent, tag, attribute, value)

    def block(tag, attributes, script, offsets, unit):
        return (["\t\t<%s%s>" % (tag, attributes), "\t\t\t<script>%s</script>" % script]
                + [number("\t\t\t", name + unit, "value", value)
                   for name, value in zip(("top-margin", "left-protrusion", "right-protrusion"), offsets)]
                + ["\t\t</%s>" % tag])

    def form(title, rows, columns, paging, margins, gaps, header, map_title, footer):
        lines = ['\t<page-form title="%s">' % title,
                 number("\t\t", "num-of-rows", "value", rows),
                 number("\t\t", "num-of-cols", "value", columns),
                 number("\t\t", "paging", "level", paging)]
        for name, value in zip(("left-marginmm", "right-marginmm", "top-marginmm", "bottom-marginmm"), margins):
            lines.append(number("\t\t", name, "value", value))
        lines.append(number("\t\t", "hor-gap-ratio", "value", gaps[0]))
        lines.append(number("\t\t", "ver-gap-ratio", "value", gaps[1]))
        lines += block("page-header", "", header, ("8.0", "0.0", "0.0"), "mm")
        lines += block("map-title", ' arrange="top"', map_title, ("2.0", "0.0", "0.0"), "pc")
        lines += block("page-footer", "", footer, ("4.0", "0.0", "0.0"), "mm")
        lines.append("\t</page-form>")
        return lines

    atlas_header = ('<font size="14"><left>日本のチョウ類分布図（見本データ）</left></font>'
                    '<right><node name="alias1"/>　<font italic="true"><node name="scientific"/></font></right>')
    # Runs of text overlap by a quarter of the font height, so a run that
    # follows another starts with a full-width space.
    atlas_title = ('<spcount format="000"/>.　<font italic="true"><spname name="scientific"/></font>'
                   '　<nomenclator/><cr/><spname name="alias1"/>')
    footer = '<center>- <page/> / <numofpage/> -</center>'
    single_header = ('<font size="16"><center><spname name="alias1"/>　'
                     '<font italic="true"><spname name="scientific"/></font>　<nomenclator/></center></font>')
    single_title = ('<node level="2" name="alias1"/>　<node name="alias1"/>　　凡例: '
                    '<legend draw="mark" rank="a"/>A　<legend draw="mark" rank="b"/>B　'
                    '<legend draw="mark" rank="c"/>C　<legend draw="mark" rank="z"/>Z　'
                    '<legend draw="fill" rank="a"/>地域 A')
    lines = ["<print-form>"]
    lines += form("図鑑 2列×3行", "3", "2", "1", ("15.0", "15.0", "22.0", "18.0"), ("8.0", "16.0"),
                  atlas_header, atlas_title, footer)
    lines += form("1種1ページ", "1", "1", "-1", ("20.0", "20.0", "30.0", "25.0"), ("10.0", "12.0"),
                  single_header, single_title, footer)
    lines.append("</print-form>")
    return "\n".join(lines) + "\n", "図鑑 2列×3行"


def tavik_ini(now_print_form):
    return """; Settings of the Japan sample database (cp932). Paths are relative to this folder.
[Display]
FrameTitle=生物分布地図 - 日本のチョウ類（見本）
FrameWidth=1100
FrameHeight=900
ChildFrameWidth=620
ChildFrameHeight=700
DispScientificName=yes
DispAlias1=yes
DispAlias2=no
DispMarkLegend=no
DispFillLegend=no
ScientificNameStr=学名
Alias1NameStr=和名
Alias2NameStr=和名ローマ字
SpNameMode=ScientificName
DispOrderMode=ScientificName
Rank=ABCZ
GeoLine=mesh
GeoWest=122
GeoEast=150
GeoSouth=24
GeoNorth=46
GeoLonSpan=2
GeoLatSpan=2
GeoLineColor=96,160,255
GeoLineType=dot
GeoCrossPercent=5
GeoTransparent=select
GeoTransparentCheck0=yes
GeoTransparentColor0=192,255,255
MeshGeodetic=JGS
MeshPaint=FilledMesh
DisplayFontFace=IPAPGothic
DisplayFontSize=10.0

[Path]
BlankMap=.\\BlankMap\\jpn_Prefs_LEA_S\\jpn_Prefs_LEA_S.png
AddinMap=.\\addin\\addin.lst
PrintFormCfg=PrintForm.cfg
PaintCfg=Painter.cfg
SpeciesTable=.\\dbase\\species.csv
PhyleticTable=.\\dbase\\phyletic.csv
LiteraTable=.\\dbase\\litera.csv
BookTable=.\\dbase\\book.csv
AreaTable=.\\dbase\\area.csv
WgsJgsTable=.\\dbase\\WGS_JGS.csv
TaVikDB=.\\dbase\\ta_vik.csv
SpLitDB=.\\dbase\\split.csv
ExplanationPath=.\\explain\\
HtmlDefaultAction=yes

[Capacity]
SpeciesMax=2000
PhyleticMax=200
LiteraMax=1000
BookMax=500
AreaMax=4000
WgsJgsMax=300
PointMaxPerSpecies=1000

[Print]
NowPrintForm=%s
PrintFontFace=IPAPMincho
PrintFontSize=10.0

[Norbek]
OrderBy=AuthorStandard
Species=Scientific,Alias1
PhyleticYN=yes
GeoDeticYN=yes
Area=Standard
SmallRegionYN=yes
LargeRegionYN=yes
Literature=Standard
Book=Standard
DefaultFileType=Html
HtmlCharSet=Shift_JIS
HtmlFont=IPAPGothic,sans-serif
HtmlBackGroundColor=255,255,255
HtmlImageURL1=../maps/*.png
HtmlLitHeader=記録された文献（見本データ）
HtmlAllAreaHeader=全地域
IndexHtmlSort=code
""" % now_print_form


ADDINS = {
    # Biogeographic lines in the sea: Blakiston's line (Tsugaru strait),
    # Watase's line (Tokara gap) and Hachisuka's line (between Okinawa and Miyako).
    "lines.csv": [
        ("E139.50", "N41.35", "MOVETO", "red", "DOT", "1000"),
        ("E140.30", "N41.43", "LINETO", "red", "DOT", "1000"),
        ("E141.00", "N41.55", "LINETO", "red", "DOT", "1000"),
        ("E141.80", "N41.50", "LINETO", "red", "DOT", "1000"),
        ("E128.80", "N29.25", "MOVETO", "navy", "DOT", "1000"),
        ("E129.60", "N29.05", "LINETO", "navy", "DOT", "1000"),
        ("E130.60", "N29.05", "LINETO", "navy", "DOT", "1000"),
        ("E125.90", "N26.10", "MOVETO", "green", "DOT", "1000"),
        ("E126.40", "N25.40", "LINETO", "green", "DOT", "1000"),
    ],
    # Three high peaks.
    "peaks.csv": [
        ("E138.7274", "N35.3606", "FILLEDTRIANGLE", "brown", "SOLID", "6000"),
        ("E138.2386", "N35.6744", "FILLEDTRIANGLE", "brown", "SOLID", "6000"),
        ("E137.6479", "N36.2893", "FILLEDTRIANGLE", "brown", "SOLID", "6000"),
    ],
}


def main():
    skeleton_path, boundaries_path, out = sys.argv[1:4]
    rng = random.Random(8)
    with open(boundaries_path, encoding="utf-8") as boundaries:
        features = json.load(boundaries)["features"]
    skeleton = read_csv(skeleton_path)

    dbase = os.path.join(out, "dbase")
    write_csv(os.path.join(dbase, "area.csv"), area_table(skeleton))
    write_csv(os.path.join(dbase, "WGS_JGS.csv"), datum_shift_table(features))
    write_csv(os.path.join(dbase, "phyletic.csv"), [list(ORDER)] + [list(f) for f in FAMILIES])
    families = {f[0]: f for f in FAMILIES}
    write_csv(os.path.join(dbase, "species.csv"), [
        [code, name, author, year, "C" if paren else "", family, families[family][1], japanese,
         families[family][3], roman, families[family][4]]
        for code, name, author, year, paren, family, japanese, roman, _ in SPECIES])
    write_csv(os.path.join(dbase, "litera.csv"), [list(row) for row in LITERATURE])
    write_csv(os.path.join(dbase, "book.csv"), [list(row) for row in BOOKS])

    for name, rows in input_tables(rng, features).items():
        write_csv(os.path.join(out, "input", name), rows)

    write_text(os.path.join(out, "Painter.cfg"), painter_cfg())
    forms, first_title = print_form_cfg()
    write_text(os.path.join(out, "PrintForm.cfg"), forms)
    write_text(os.path.join(out, "tavik.ini"), tavik_ini(first_title))
    write_text(os.path.join(out, "addin", "addin.lst"), "\n".join(sorted(ADDINS)) + "\n")
    for name, rows in ADDINS.items():
        write_csv(os.path.join(out, "addin", name), rows)


if __name__ == "__main__":
    main()
