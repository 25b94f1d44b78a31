#!/usr/bin/python3
"""Make the surface maps of data/maps/ from the maps Debian's packages carry.

Run from anywhere with Debian's interpreter (needs python3-pil):

    /usr/bin/python3 tools/make-maps.py [folder-with-the-.deb-files]

Without a folder, the three packages are fetched with `apt-get download` into
a temporary folder. Each map is taken from its package, turned into the one
layout every shipped map has (equirectangular, north up, longitude 0 in the
middle column, east longitude growing to the right: u = 0.5 + lon_east/360,
v = 0.5 - lat/180, u and v from the top left corner), downscaled and written
as JPEG; data/maps/maps.csv records for each its source, licence, credit,
what was done to it and the named feature that shows its orientation.
Re-running with the same package versions writes the same bytes.
"""

import csv
import io
import pathlib
import subprocess
import sys
import tempfile

from PIL import Image

SCRIPT_PATH = "tools/make-maps.py"
OUTPUT_DIR = pathlib.Path(__file__).resolve().parent.parent / "data" / "maps"
JPEG_QUALITY = 82
LARGE = (1024, 512)  # the Sun, the planets and the Moon
SMALL = (512, 256)  # the moons and Pluto

PACKAGES = {
    "qt3d5-examples": "usr/lib/x86_64-linux-gnu/qt5/examples/qt3d/planets-qml/images/solarsystemscope/",
    "xplanet-images": "usr/share/xplanet/images/",
    "stellarium-data": "usr/share/stellarium/textures/",
}

SSS = "Solar System Scope (solarsystemscope.com/textures), CC BY 4.0; resized and re-encoded"
SSS_LICENCE = "CC-BY-4.0 (Debian copyright: Files solarsystemscope/*, Copyright 2010-2017 Solar System Scope)"
NASA = "NASA Visible Earth; resized and re-encoded"
NASA_LICENCE = "NASA, not copyrighted (Debian copyright: Files xplanet/images/*, credit NASA as owner)"
PLUTON = "Oleg Pluton (Helleformer), CC BY 4.0; resized and re-encoded"
PLUTON_LICENCE = "CC-BY-4.0 (package CREDITS.md 4.5c)"

# How a source map lies: longitude 0 in the middle or at the left edge, with
# north up and east longitude growing to the right, or turned half round
# (south up, east to the left, longitude 0 in the middle: the maps of
# Uranus's moons, made with the pole about which they turn anticlockwise up).
MIDDLE = "middle"
LEFT_EDGE = "left edge"
TURNED = "middle, turned half round"

# body, role, package, file in the package, size, credit, licence, source's
# longitude 0, the named feature (IAU planetocentric latitude, east
# longitude) by which the layout was checked.
MAPS = [
    ("Sun", "surface", "qt3d5-examples", "sunmap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "no fixed features (an artist's photosphere)"),
    ("Mercury", "surface", "qt3d5-examples", "mercurymap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "the maker's layout, checked on its Mars map"),
    ("Venus", "surface", "qt3d5-examples", "venusmap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "the maker's layout, checked on its Mars map (the surface below the clouds)"),
    ("Earth", "surface", "xplanet-images", "earth.jpg", LARGE, NASA, NASA_LICENCE, MIDDLE,
     "Greenwich (51.5 N, 0 E) on the middle column; the Cape of Good Hope (34.4 S, 18.5 E) east of it"),
    ("Earth", "night", "xplanet-images", "night.jpg", LARGE, NASA, NASA_LICENCE, MIDDLE,
     "the lights of London and Paris on the middle column"),
    ("Earth", "clouds", "qt3d5-examples", "earthcloudmapspec.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "clouds, no fixed features; white is cloud"),
    ("Moon", "surface", "stellarium-data", "moon_4k.jpg", LARGE,
     "USGS Astrogeology Research Program and NASA Clementine; resized and re-encoded",
     "public domain (package CREDITS.md 4.4)", MIDDLE,
     "the near side's maria around the middle; Mare Crisium (17.0 N, 59.1 E) and Tycho (43.3 S, 348.8 E)"),
    ("Mars", "surface", "qt3d5-examples", "marsmap2k.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "Syrtis Major (8.4 N, 69.5 E) and Olympus Mons (18.65 N, 226.2 E)"),
    ("Jupiter", "surface", "qt3d5-examples", "jupitermap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "cloud bands, no fixed features (the Great Red Spot drifts)"),
    ("Saturn", "surface", "qt3d5-examples", "saturnmap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "cloud bands, no fixed features"),
    ("Uranus", "surface", "qt3d5-examples", "uranusmap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "cloud bands, no fixed features"),
    ("Neptune", "surface", "qt3d5-examples", "neptunemap.jpg", LARGE, SSS, SSS_LICENCE, MIDDLE,
     "cloud bands, no fixed features"),
    ("Io", "surface", "stellarium-data", "io.png", SMALL, PLUTON, PLUTON_LICENCE, MIDDLE,
     "Pele (18.7 S, 104.7 E) and Loki (12.6 N, 51.2 E)"),
    ("Europa", "surface", "stellarium-data", "europa.png", SMALL, PLUTON, PLUTON_LICENCE, MIDDLE,
     "the darker trailing hemisphere centred on 90 E, Pwyll (25.2 S, 88.6 E) in it"),
    ("Ganymede", "surface", "stellarium-data", "ganymede.png", SMALL, PLUTON, PLUTON_LICENCE, MIDDLE,
     "Tros (11 N, 332.5 E) and the dark Galileo Regio (36 N, 215 E)"),
    ("Titan", "surface", "stellarium-data", "titan.png", SMALL,
     "Magenta Meteorite and Oleg Pluton (Helleformer), CC BY 4.0; resized and re-encoded",
     "CC-BY-4.0 (package CREDITS.md 4.5i)", MIDDLE, "cloud tops, no fixed features"),
    ("Tethys", "surface", "stellarium-data", "tethys.png", SMALL, PLUTON, PLUTON_LICENCE, MIDDLE,
     "Odysseus (32.8 N, 231.1 E)"),
    ("Dione", "surface", "stellarium-data", "dione.png", SMALL,
     "NASA Cassini imaging team (CICLOPS), coloured by RVS; resized and re-encoded",
     "public domain (package CREDITS.md 4.5l)", MIDDLE,
     "the wispy terrain centred on the trailing hemisphere (90 E)"),
    ("Rhea", "surface", "stellarium-data", "rhea.png", SMALL,
     "FarGetaNik and Oleg Pluton (Helleformer), CC BY 4.0; longitude 0 moved to the middle, resized and re-encoded",
     "CC-BY-4.0 (package CREDITS.md 4.5g)", LEFT_EDGE,
     "Inktomi (14.1 S, 247.9 E) and the wispy terrain on the trailing hemisphere (90 E)"),
    ("Deimos", "surface", "stellarium-data", "deimos.png", SMALL, PLUTON, PLUTON_LICENCE, MIDDLE,
     "the maker's layout, checked on its Io, Ganymede and Tethys maps"),
    ("Miranda", "surface", "stellarium-data", "miranda.png", SMALL,
     "Snowfall and Oleg Pluton (Helleformer), CC BY 4.0; turned half round, resized and re-encoded",
     "CC-BY-4.0 (package CREDITS.md 4.5e)", TURNED,
     "Inverness Corona (66.9 S, 325.7 E), Elsinore Corona (24.8 S, 257.1 E) and Arden Corona (29.1 S, 73.7 E)"),
    ("Oberon", "surface", "stellarium-data", "oberon.png", SMALL,
     "Snowfall and Oleg Pluton (Helleformer), CC BY 4.0; turned half round, resized and re-encoded",
     "CC-BY-4.0 (package CREDITS.md 4.5e)", TURNED,
     "the dark floors of Hamlet (46.1 S, 44.4 E) and Othello (66 S, 42 E)"),
    ("Pluto", "surface", "stellarium-data", "pluto.png", SMALL,
     "Kexitt and Oleg Pluton (Helleformer), CC BY 4.0; longitude 0 moved to the middle, resized and re-encoded",
     "CC-BY-4.0 (package CREDITS.md 4.5d)", LEFT_EDGE,
     "Sputnik Planitia (20 N, 180 E), Cthulhu to its west"),
]


def package_files(deb_folder, packages=PACKAGES):
    """The extracted folder of every package (name: folder inside it), keyed by
    package name, and its version."""
    trees, versions = {}, {}
    scratch = pathlib.Path(tempfile.mkdtemp(prefix="caelo-maps-"))
    for package, prefix in packages.items():
        debs = sorted(deb_folder.glob(package + "_*.deb"))
        if not debs:
            sys.exit(f"make-maps: no {package}_*.deb in {deb_folder}")
        versions[package] = debs[-1].name.split("_")[1]
        tree = scratch / package
        tree.mkdir()
        tar = subprocess.Popen(["dpkg-deb", "--fsys-tarfile", str(debs[-1])], stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", str(tree), "--wildcards", "./" + prefix + "*"], stdin=tar.stdout,
                       check=True)
        if tar.wait() != 0:
            sys.exit(f"make-maps: cannot unpack {debs[-1]}")
        trees[package] = tree / prefix
    return trees, versions


def normalised(image, longitude_zero):
    """The image with longitude 0 in the middle column, north up, east right."""
    if longitude_zero == MIDDLE:
        return image
    if longitude_zero == TURNED:
        return image.rotate(180)
    half = image.width // 2
    rolled = Image.new(image.mode, image.size)
    rolled.paste(image.crop((half, 0, image.width, image.height)), (0, 0))
    rolled.paste(image.crop((0, 0, half, image.height)), (image.width - half, 0))
    return rolled


def encoded(image, size, role):
    mode = "L" if role == "clouds" else "RGB"
    image = image.convert(mode).resize(size, Image.LANCZOS)
    out = io.BytesIO()
    image.save(out, "JPEG", quality=JPEG_QUALITY, optimize=True)
    return out.getvalue()


def file_name(body, role):
    return body.lower() + ("" if role == "surface" else "-" + role) + ".jpg"


def deb_folder_from(argv, packages=PACKAGES):
    """The folder named on the command line, else a new one into which the
    packages are fetched with `apt-get download`."""
    if len(argv) > 1:
        return pathlib.Path(argv[1])
    folder = pathlib.Path(tempfile.mkdtemp(prefix="caelo-debs-"))
    subprocess.run(["apt-get", "download", *packages], cwd=folder, check=True)
    return folder


def main():
    trees, versions = package_files(deb_folder_from(sys.argv))
    OUTPUT_DIR.mkdir(parents=True, exist_ok=True)
    rows = []
    for body, role, package, source, size, credit, licence, longitude_zero, feature in MAPS:
        with Image.open(trees[package] / source) as original:
            original_size = f"{original.width}x{original.height}"
            data = encoded(normalised(original, longitude_zero), size, role)
        name = file_name(body, role)
        (OUTPUT_DIR / name).write_bytes(data)
        rows.append({
            "body": body, "role": role, "file": name, "width": size[0], "height": size[1], "bytes": len(data),
            "package": f"{package} {versions[package]}", "source": PACKAGES[package] + source,
            "source_size": original_size, "source_longitude_0": longitude_zero, "licence": licence,
            "credit": credit, "checked_by": feature,
        })
        print(f"{name}: {len(data):,} bytes from {package} {source}")
    with open(OUTPUT_DIR / "maps.csv", "w", newline="", encoding="utf-8") as table:
        table.write(f"# Made by {SCRIPT_PATH}; every map: equirectangular, north up, longitude 0 in the\n"
                    "# middle column, east longitude to the right (u = 0.5 + lon_east/360, v = 0.5 - lat/180).\n")
        writer = csv.DictWriter(table, fieldnames=list(rows[0]), lineterminator="\n")
        writer.writeheader()
        writer.writerows(rows)
    print(f"{len(rows)} maps, {sum(r['bytes'] for r in rows):,} bytes in {OUTPUT_DIR}")


if __name__ == "__main__":
    main()
