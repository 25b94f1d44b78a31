// Builds the page template that `caelo view` fills with a scene: viewer.html
// with the page's scripts and three.js bundled and minified into it (esbuild),
// three.js's version, caelo's licence and its notices (LICENSE and NOTICES.md
// at the top of the sources, which must name this three.js and hold its
// licence) written in, and the one marker the command replaces, @SCENE_DATA@,
// left in place.
//   node build.mjs NODE_MODULES OUT.html
// NODE_MODULES: the folder where `npm ci` put this folder's packages.
import fs from "node:fs";
import path from "node:path";
import { createRequire } from "node:module";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const [modules, out] = process.argv.slice(2);
if (!modules || !out) {
  console.error("usage: node build.mjs NODE_MODULES OUT.html");
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

const escapeHtml = (text) => text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
const template = fs.readFileSync(path.join(here, "viewer.html"), "utf8");
const fills = {
  "@THREE_VERSION@": threeVersion,
  "@LICENSE@": escapeHtml(licence),
  "@NOTICES@": escapeHtml(notices),
  "@PAGE_SCRIPT@": script,
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
const temporary = `${out}.building-${process.pid}`;
fs.writeFileSync(temporary, page);
fs.renameSync(temporary, out);
