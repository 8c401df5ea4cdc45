#!/usr/bin/env python3
"""Build dxcc.dat, the DXCC reference list shown by the program.

Reads the country file cty.csv (AD1C country files, as shipped by Debian's
hamradio-files package; a copy lives beside this script) and writes one entry
per DXCC entity:

    N
    "<primary prefix>"
    "<CQ zone> - <entity name>"
    "<continent>"
    ...

Windows-1252 bytes, every line ended by CR LF.

Usage: make_dxcc.py [CTY_CSV] [-o OUTPUT]
"""

import argparse
import csv
import io
import os
import sys

CONTINENTS = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"}
# primary prefix, name, DXCC number, continent, CQ zone, ITU zone,
# latitude, longitude, UTC offset, prefix list
FIELDS = 10


def read_entities(path):
    """Return (prefix, cq_zone, name, continent) for each DXCC entity, in file order."""
    entities = []
    with open(path, newline="", encoding="utf-8") as f:
        for lineno, row in enumerate(csv.reader(f), start=1):
            if not row:
                continue
            if len(row) != FIELDS:
                raise ValueError(f"{path}:{lineno}: expected {FIELDS} fields, got {len(row)}")
            prefix, name, _dxcc, continent, cq_zone = (v.strip() for v in row[:5])
            # A leading '*' marks WAE-only or other non-DXCC areas.
            if prefix.startswith("*"):
                continue
            if not prefix or not name:
                raise ValueError(f"{path}:{lineno}: empty prefix or name")
            if continent not in CONTINENTS:
                raise ValueError(f"{path}:{lineno}: unknown continent {continent!r}")
            if not cq_zone.isdigit():
                raise ValueError(f"{path}:{lineno}: bad CQ zone {cq_zone!r}")
            entities.append((prefix, int(cq_zone), name, continent))
    return entities


def render(entities):
    """The whole file as Windows-1252 bytes."""
    lines = [str(len(entities))]
    for prefix, zone, name, continent in entities:
        lines.append(f'"{prefix}"')
        lines.append(f'"{zone} - {name}"')
        lines.append(f'"{continent}"')
    text = "".join(line + "\r\n" for line in lines)
    # strict: a name outside the code page must stop the build, not turn into '?'
    return text.encode("cp1252")


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cty", nargs="?", default=os.path.join(here, "cty.csv"),
                        help="country file in CSV form (default: cty.csv beside this script)")
    parser.add_argument("-o", "--output", default=os.path.join(here, "dxcc.dat"),
                        help="file to write (default: dxcc.dat beside this script)")
    args = parser.parse_args(argv)

    try:
        entities = read_entities(args.cty)
    except (OSError, ValueError, UnicodeError) as e:
        print(f"make_dxcc: {e}", file=sys.stderr)
        return 1
    if not entities:
        print(f"make_dxcc: no entities found in {args.cty}", file=sys.stderr)
        return 1

    data = render(entities)
    with open(args.output, "wb") as f:
        f.write(data)
    print(f"{args.output}: {len(entities)} entities, {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
