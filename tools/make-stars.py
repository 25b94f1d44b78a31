#!/usr/bin/python3
"""Make data/stars/bright-stars.csv, the stars the page and the pictures draw
behind the solar system, from the star catalogue of the npm package
d3-celestial (data/stars.8.json, BSD-3-Clause; its stars are XHIP's).

Run from anywhere (no packages needed beyond npm and Python):

    /usr/bin/python3 tools/make-stars.py [d3-celestial-VERSION.tgz]

Without a file the package is fetched with `npm pack`. Keeps the stars of
visual magnitude 6.5 or brighter, as published: the Hipparcos number, right
ascension and declination (degrees, ICRS, the epoch of the catalogue's
positions), V and B-V. Re-running with the same package writes the same bytes.
"""

import json
import pathlib
import subprocess
import sys
import tarfile
import tempfile

SCRIPT_PATH = "tools/make-stars.py"
PACKAGE = "d3-celestial@0.7.35"
OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "data" / "stars" / "bright-stars.csv"
FAINTEST_MAGNITUDE = 6.5


def package_tarball():
    if len(sys.argv) > 1:
        return pathlib.Path(sys.argv[1])
    folder = pathlib.Path(tempfile.mkdtemp(prefix="caelo-stars-"))
    name = subprocess.run(["npm", "pack", PACKAGE, "--silent"], cwd=folder, check=True, capture_output=True,
                          text=True).stdout.strip().splitlines()[-1]
    return folder / name


def main():
    tarball = package_tarball()
    with tarfile.open(tarball) as archive:
        catalogue = json.load(archive.extractfile("package/data/stars.8.json"))
        version = json.load(archive.extractfile("package/package.json"))["version"]
    rows = []
    for star in catalogue["features"]:
        magnitude = star["properties"]["mag"]
        if magnitude > FAINTEST_MAGNITUDE:
            continue
        ra, dec = star["geometry"]["coordinates"]
        colour = star["properties"].get("bv", "")
        rows.append((star["id"], f"{ra % 360.0:.4f}", f"{dec:.4f}", f"{magnitude:.2f}", str(colour).strip()))
    rows.sort(key=lambda row: (float(row[3]), row[0]))
    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    with open(OUTPUT, "w", encoding="utf-8") as out:
        out.write(f"# Made by {SCRIPT_PATH} from d3-celestial {version} (npm), data/stars.8.json, BSD-3-Clause,\n"
                  "# Copyright (c) 2015 Olaf Frohn; its stars are XHIP's (Anderson & Francis 2012, VizieR V/137D).\n"
                  f"# Stars of V <= {FAINTEST_MAGNITUDE}, brightest first. ra_deg, dec_deg: ICRS (J2000 equator and\n"
                  "# equinox to within 0.02 arcsec), degrees; v_mag: visual magnitude; b_v: colour index B-V\n"
                  "# (empty where the catalogue gives none).\n")
        out.write("hip,ra_deg,dec_deg,v_mag,b_v\n")
        for row in rows:
            out.write(",".join(str(field) for field in row) + "\n")
    print(f"{len(rows)} stars to {OUTPUT}")


if __name__ == "__main__":
    main()
