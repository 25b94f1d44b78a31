#!/usr/bin/env node
// Validates a glTF 2.0 file (.glb, or .gltf with embedded buffers) with the
// Khronos glTF validator and prints its counts and its errors and warnings.
// Exits 0 when the file has no errors, 1 when it has, 2 when it cannot be read.
//
//   node tools/gltf-validator/validate.js caelo-out/solar-system.glb
"use strict";

const fs = require("fs");
const path = require("path");
const validator = require("gltf-validator");

// Messages printed at most, so that a broken file does not flood the output.
const MAX_MESSAGES = 20;

async function main(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,
    externalResourceFunction: (uri) => Promise.reject(new Error(`external resource ${uri} is not expected`)),
  });
  const issues = report.issues;
  console.log(
    `${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
      `${issues.numInfos} infos, ${issues.numHints} hints`
  );
  const severities = ["error", "warning"];
  for (const message of issues.messages.filter((m) => m.severity <= 1).slice(0, MAX_MESSAGES)) {
    console.log(`  ${severities[message.severity]} ${message.code} at ${message.pointer || "-"}: ${message.message}`);
  }
  return issues.numErrors === 0 ? 0 : 1;
}

if (process.argv.length !== 3) {
  console.error("usage: node validate.js FILE.glb|FILE.gltf");
  process.exit(2);
}
main(process.argv[2]).then(
  (status) => process.exit(status),
  (error) => {
    console.error(`${process.argv[2]}: cannot validate: ${error.message}`);
    process.exit(2);
  }
);
