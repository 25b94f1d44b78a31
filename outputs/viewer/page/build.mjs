// Builds the page template that `caelo view` fills with a scene: viewer.html
// with the page's scripts and three.js bundled and minified into it (esbuild),
// three.js's version, caelo's licence and its notices (LICENSE and NOTICES.md
// at the top of the sources, which must name this three.js and hold its
// licence), the bright stars (data/stars/bright-stars.csv, packed) and the
// Milky Way (data/milky-way/milky-way.jpg) written in, and the one marker the
// command replaces, @SCENE_DATA@,
// left in place. Writes the template as a C++ source that defines
// caelo::viewer::viewerTemplate() (viewerTemplate.h), so that the page is built
// into caelo by any C++ compiler.
//   node build.mjs NODE_MODULES OUT.cpp
// NODE_MODULES: the folder where `npm ci` put this folder's packages.
import fs from "node:fs";
import path from "node:path";
import { createRequire } from "node:module";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const [modules, out] = process.argv.slice(2);
if (!modules || !out) {
  console.error("usage: node build.mjs NODE_MODULES OUT.cpp");
  process.exit(2);
}
const require = createRequire(path.join(path.resolve(modules), "index.js"));
const esbuild = require("esbuild");
const threeFolder = path.join(path.resolve(modules), "three");
const threeVersion = JSON.parse(fs.readFileSync(path.join(threeFolder, "package.json"), "utf8")).version;
const sources = path.resolve(here, "..", "..", "..");
const licence = fs.readFileSync(path.join(sources, "LICENSE"), "utf8").trim();
const notices = fs.readFileSync(path.join(sources, "NOTICES.md"), "utf8").trim();
const threeLicence = fs.readFileSync(path.join(threeFolder, "LICENSE"), "utf8").trim();
if (!notices.includes(`three.js ${threeVersion}`) || !notices.includes(threeLicence)) {
  throw new Error(`NOTICES.md must name three.js ${threeVersion} and hold its licence as the package has it`);
}

const bundle = await esbuild.build({
  entryPoints: [path.join(here, "src", "main.js")],
  bundle: true,
  minify: true,
  format: "iife",
  target: ["chrome111", "firefox115", "safari16.4"],
  nodePaths: [path.resolve(modules)],
  legalComments: "inline",
  supported: { "inline-script": false }, // "</script" in strings is escaped
  write: false,
  logLevel: "warning",
});
const script = bundle.outputFiles[0].text;
if (/<\/script/i.test(script)) {
  throw new Error("the bundled script holds </script, which would end the page's script element");
}

// The bright stars, packed as the page unpacks them (src/starCatalogue.js).
const { packStars } = await import(new URL("./src/starCatalogue.js", import.meta.url).href);
const stars = packStars(fs.readFileSync(path.join(sources, "data", "stars", "bright-stars.csv"), "utf8"));

const escapeHtml = (text) => text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
const template = fs.readFileSync(path.join(here, "viewer.html"), "utf8");
const fills = {
  "@THREE_VERSION@": threeVersion,
  "@LICENSE@": escapeHtml(licence),
  "@NOTICES@": escapeHtml(notices),
  "@PAGE_SCRIPT@": script,
  "@STAR_DATA@": Buffer.from(stars).toString("base64"),
  "@MILKY_WAY_DATA@": fs.readFileSync(path.join(sources, "data", "milky-way", "milky-way.jpg")).toString("base64"),
};
let page = template;
for (const [marker, text] of Object.entries(fills)) {
  if (page.split(marker).length !== 2) {
    throw new Error(`viewer.html must hold ${marker} once`);
  }
  page = page.replace(marker, () => text);
}
if (page.split("@SCENE_DATA@").length !== 2) {
  throw new Error("the page must hold @SCENE_DATA@ once");
}

// Bytes of the template in one string literal: within what every compiler
// takes in one literal (some stop at 16 KiB, the standard asks for 64 KiB).
const kPieceBytes = 16000;

// One byte as it stands in a C++ string literal: printable ASCII as itself,
// every other byte as a three-digit octal escape, which no following digit
// can lengthen.
function literalByte(byte) {
  const escapes = { 0x22: '\\"', 0x5c: "\\\\", 0x0a: "\\n", 0x3f: "\\?" };
  if (escapes[byte]) {
    return escapes[byte];
  }
  return byte >= 0x20 && byte < 0x7f ? String.fromCharCode(byte) : `\\${byte.toString(8).padStart(3, "0")}`;
}

function cppSource(bytes) {
  const pieces = [];
  for (let start = 0; start < bytes.length; start += kPieceBytes) {
    const piece = bytes.subarray(start, start + kPieceBytes);
    pieces.push(`    {"${Array.from(piece, literalByte).join("")}", ${piece.length}},`);
  }
  return `// The viewer page's template, written by page/build.mjs from the bundled page:
// do not edit. The page stands in pieces of at most ${kPieceBytes} bytes, one string
// literal each, joined once on first use.
#include "outputs/viewer/viewerTemplate.h"

#include <string>

namespace caelo::viewer {
namespace {

const std::string_view kPieces[] = {
${pieces.join("\n")}
};

// A function of its own rather than a lambda, which would be constexpr: the
// compiler would then try to join the pieces while it compiles, for seconds.
std::string joinedPieces() {
    std::string page;
    page.reserve(${bytes.length});
    for (const std::string_view piece : kPieces) {
        page.append(piece);
    }
    return page;
}

} // namespace

std::string_view viewerTemplate() {
    static const std::string page = joinedPieces();
    return page;
}

} // namespace caelo::viewer
`;
}

const temporary = `${out}.building-${process.pid}`;
fs.writeFileSync(temporary, cppSource(Buffer.from(page, "utf8")));
fs.renameSync(temporary, out);
