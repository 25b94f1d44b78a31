#!/usr/bin/env python3
"""Turns the published ring features (data/rings/published-ring-features.csv)
into the radial profiles that caelo builds in (data/rings/ring-profiles.csv):
one row per feature with its inner and outer edge and one optical depth.

- Edges: as published, or the centre less and plus half the width.
- A range ("a to b", "a and >b", a width "285 to 440") becomes its geometric
  mean, since optical depths and widths span decades; ">a" and "~a" count as
  a; "~0" (a clear gap) is 0; "faint" (a dusty ring whose optical depth
  was not at hand) is FAINT_DEPTH, far below what shows. A published median
  takes the place of the range.
The rows keep their order: caelo lets a later row lie on an earlier one, so
that a gap or ringlet shows inside its ring.

Usage: tools/make-ring-profiles.py   (writes data/rings/ring-profiles.csv)
"""
import csv
import math
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE = ROOT / "data/rings/published-ring-features.csv"
TARGET = ROOT / "data/rings/ring-profiles.csv"

NUMBER = r"[0-9.]+(?:e-?[0-9]+)?"
FAINT_DEPTH = 1e-6


def value_of(text, what):
    """One number for a published figure (see above)."""
    text = text.strip()
    if text == "faint":
        return FAINT_DEPTH
    single = re.fullmatch(rf"[~>]?({NUMBER})", text)
    if single:
        return float(single.group(1))
    span = re.fullmatch(rf"({NUMBER}) (?:to|and) >?({NUMBER})", text)
    if span:
        low, high = float(span.group(1)), float(span.group(2))
        if low <= 0 or high < low:
            raise SystemExit(f"{SOURCE.name}: {what} {text!r} is not a rising range of positive numbers")
        return math.sqrt(low * high)
    raise SystemExit(f"{SOURCE.name}: {what} {text!r} is neither a number nor a range")


def edges_of(row):
    if row["inner_km"] and row["outer_km"]:
        return float(row["inner_km"]), float(row["outer_km"])
    centre = float(row["centre_km"])
    half = value_of(row["width_km"], f"{row['feature']}'s width") / 2
    return centre - half, centre + half


def main():
    with SOURCE.open(newline="") as f:
        rows = list(csv.DictReader(line for line in f if not line.startswith("#")))
    with TARGET.open("w", newline="") as f:
        f.write("# Made by tools/make-ring-profiles.py from published-ring-features.csv; do not edit.\n")
        f.write("# Radii from the planet's centre in km; normal optical depth; later rows lie on earlier ones.\n")
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["planet", "feature", "inner_km", "outer_km", "optical_depth"])
        for row in rows:
            inner, outer = edges_of(row)
            if not inner < outer:
                raise SystemExit(f"{SOURCE.name}: {row['feature']}: its inner edge is not inside its outer edge")
            depth_text = row["median_optical_depth"] or row["optical_depth"]
            depth = value_of(depth_text, f"{row['feature']}'s optical depth")
            out.writerow([row["planet"], row["feature"], f"{inner:.1f}", f"{outer:.1f}", f"{depth:.3g}"])
    print(f"wrote {TARGET.relative_to(ROOT)}: {len(rows)} features")


if __name__ == "__main__":
    main()
