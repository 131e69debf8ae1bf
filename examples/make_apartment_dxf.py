#!/usr/bin/python3
"""Writes examples/apartment.dxf with ezdxf (Debian's python3-ezdxf): a two-room flat drawn the
way an architect's CAD program draws it, in millimetres: walls as their two faces (closed
polylines for the outer walls, lines for the partition), a door gap with its jamb lines and the
door's swing as an arc, two columns from a block, room names as text, a dimension line.

    examples/make_apartment_dxf.py [OUT.dxf]
"""
import sys

import ezdxf

out = sys.argv[1] if len(sys.argv) > 1 else "examples/apartment.dxf"
doc = ezdxf.new("R2010", setup=True)
doc.header["$INSUNITS"] = 4  # millimetres
for name in ("WALLS", "COLUMNS", "DOORS", "TEXT", "DIMENSIONS"):
    doc.layers.add(name)
msp = doc.modelspace()
# Outer walls, 250 mm: the outer and inner faces.
msp.add_lwpolyline([(0, 0), (14000, 0), (14000, 9000), (0, 9000)], close=True,
                   dxfattribs={"layer": "WALLS"})
msp.add_lwpolyline([(250, 250), (13750, 250), (13750, 8750), (250, 8750)], close=True,
                   dxfattribs={"layer": "WALLS"})
# The partition at x = 6000..6150 with a 900 mm door from y = 4000.
for x in (6000, 6150):
    msp.add_line((x, 250), (x, 4000), dxfattribs={"layer": "WALLS"})
    msp.add_line((x, 4900), (x, 8750), dxfattribs={"layer": "WALLS"})
for y in (4000, 4900):
    msp.add_line((6000, y), (6150, y), dxfattribs={"layer": "WALLS"})
msp.add_arc((6150, 4000), 900, 0, 90, dxfattribs={"layer": "DOORS"})
# Two 400 mm columns in the large room, one block inserted twice.
column = doc.blocks.new("COLUMN")
column.add_lwpolyline([(-200, -200), (200, -200), (200, 200), (-200, 200)], close=True,
                      dxfattribs={"layer": "COLUMNS"})
msp.add_blockref("COLUMN", (9000, 3000))
msp.add_blockref("COLUMN", (9000, 6000))
msp.add_text("Living room", dxfattribs={"layer": "TEXT", "insert": (8000, 7500), "height": 300})
msp.add_text("Bedroom", dxfattribs={"layer": "TEXT", "insert": (2000, 7500), "height": 300})
msp.add_linear_dim(base=(0, -1000), p1=(0, 0), p2=(14000, 0),
                   dxfattribs={"layer": "DIMENSIONS"}).render()
doc.saveas(out)
