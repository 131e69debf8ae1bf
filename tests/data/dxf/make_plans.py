#!/usr/bin/python3
"""Writes the test plans of the DXF import with ezdxf, an independent DXF writer, into a folder:
every plan in R12, R2000, R2010 and R2018, ASCII and binary (NAME-VERSION-ascii.dxf and
NAME-VERSION-binary.dxf), plus the damaged and hostile drawings the reader must refuse.

    make_plans.py OUT_FOLDER
"""
import math
import sys

import ezdxf

VERSIONS = ["R12", "R2000", "R2010", "R2018"]


def box(msp, x0, y0, x1, y1, **attribs):
    """A closed rectangle as a polyline (an old-style POLYLINE in R12)."""
    points = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    if msp.doc.dxfversion == "AC1009":
        msp.add_polyline2d(points, close=True, dxfattribs=attribs)
    else:
        msp.add_lwpolyline(points, close=True, dxfattribs=attribs)


def lines(msp, points, layer="WALLS", close=False):
    pairs = list(zip(points, points[1:] + ([points[0]] if close else [])))
    for a, b in pairs:
        msp.add_line(a, b, dxfattribs={"layer": layer})


def rectangular_room(doc):
    """10 x 8 m, walls 0.2 m thick drawn as their two faces (two closed polylines)."""
    msp = doc.modelspace()
    box(msp, 0, 0, 10, 8, layer="WALLS")
    box(msp, 0.2, 0.2, 9.8, 7.8, layer="WALLS")


def l_shaped_room(doc):
    """An L of single lines (wall centre lines), each its own LINE."""
    lines(doc.modelspace(), [(0, 0), (10, 0), (10, 4), (5, 4), (5, 8), (0, 8)], close=True)


def room_with_columns(doc):
    msp = doc.modelspace()
    box(msp, 0, 0, 20, 12, layer="WALLS")
    box(msp, 0.3, 0.3, 19.7, 11.7, layer="WALLS")
    for x, y in [(5, 4), (15, 4), (5, 8), (15, 8)]:
        box(msp, x - 0.2, y - 0.2, x + 0.2, y + 0.2, layer="COLUMNS")
    msp.add_text("Hall", dxfattribs={"layer": "TEXT", "insert": (10, 6)})


def two_rooms_with_door(doc):
    """Two rooms sharing a 0.2 m wall at x = 5.9..6.1 with a door from y = 2 to 3."""
    msp = doc.modelspace()
    lines(msp, [(0, 0), (12, 0), (12, 6), (0, 6)], close=True)
    lines(msp, [(0.2, 0.2), (5.9, 0.2)])
    lines(msp, [(6.1, 0.2), (11.8, 0.2), (11.8, 5.8), (6.1, 5.8)])
    lines(msp, [(5.9, 5.8), (0.2, 5.8), (0.2, 0.2)])
    for x in (5.9, 6.1):
        lines(msp, [(x, 0.2), (x, 2)])
        lines(msp, [(x, 3), (x, 5.8)])
    lines(msp, [(5.9, 2), (6.1, 2)], layer="JAMBS")
    lines(msp, [(5.9, 3), (6.1, 3)], layer="JAMBS")
    msp.add_arc((6.1, 2), 1, 90, 180, dxfattribs={"layer": "DOORS"})


def millimetre_plan_with_blocks(doc):
    """8000 x 6000 mm, 200 mm walls; columns of a block COL (400 mm square about its base point),
    one turned and one scaled 1.5, two more through a block PAIR that inserts COL twice."""
    doc.header["$INSUNITS"] = 4
    msp = doc.modelspace()
    box(msp, 0, 0, 8000, 6000, layer="WALLS")
    box(msp, 200, 200, 7800, 5800, layer="WALLS")
    col = doc.blocks.new("COL", base_point=(1000, 1000))
    box(col, 800, 800, 1200, 1200, layer="COLUMNS")
    msp.add_blockref("COL", (2000, 2000))
    msp.add_blockref("COL", (6000, 2000), dxfattribs={"rotation": 90})
    msp.add_blockref("COL", (4000, 3000), dxfattribs={"xscale": 1.5, "yscale": 1.5})
    pair = doc.blocks.new("PAIR")
    pair.add_blockref("COL", (-1000, 0))
    pair.add_blockref("COL", (1000, 0))
    msp.add_blockref("PAIR", (4000, 4500))


def slanted_and_arc(doc):
    """A room of centre lines whose right wall is slanted, with an arc for a bay window."""
    msp = doc.modelspace()
    lines(msp, [(0, 0), (10, 0), (12, 8), (0, 8)], close=True)
    msp.add_arc((5, 8), 2, 0, 180, dxfattribs={"layer": "WALLS"})


PLANS = {
    "rectangular-room": rectangular_room,
    "l-shaped-room": l_shaped_room,
    "room-with-columns": room_with_columns,
    "two-rooms-door": two_rooms_with_door,
    "mm-blocks": millimetre_plan_with_blocks,
    "slanted-arc": slanted_and_arc,
}


def hostile(out):
    doc = ezdxf.new("R2000")
    loop = doc.blocks.new("LOOP")
    loop.add_blockref("INNER", (0, 0))
    inner = doc.blocks.new("INNER")
    inner.add_blockref("LOOP", (1, 1))
    doc.modelspace().add_blockref("LOOP", (0, 0))
    doc.saveas(f"{out}/self-insert.dxf")

    doc = ezdxf.new("R2000")
    box(doc.modelspace(), 0, 0, 1e200, 1e200)
    doc.saveas(f"{out}/huge.dxf")

    doc = ezdxf.new("R2000")
    rectangular_room(doc)
    doc.saveas(f"{out}/whole.dxf")
    data = open(f"{out}/whole.dxf", "rb").read()
    open(f"{out}/truncated.dxf", "wb").write(data[: len(data) // 2])


def main():
    out = sys.argv[1]
    for name, make in PLANS.items():
        for version in VERSIONS:
            doc = ezdxf.new(version)
            make(doc)
            doc.saveas(f"{out}/{name}-{version}-ascii.dxf")
            doc.saveas(f"{out}/{name}-{version}-binary.dxf", fmt="bin")
    hostile(out)


if __name__ == "__main__":
    main()
