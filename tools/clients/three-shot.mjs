// Loads a glTF file with three.js in headless Chromium (software WebGL) and
// saves a screenshot of the rendered canvas.
//   node tools/clients/three-shot.mjs IN.glb OUT.png WIDTH HEIGHT
// Exits non-zero when the page reports an error or logs one to its console.
import { chromium } from "playwright-core";
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const [source, target, width, height] = process.argv.slice(2);
const files = {
  "/page.html": path.join(here, "three-page.html"),
  "/scene.glb": path.resolve(source),
};
const types = { ".html": "text/html", ".js": "text/javascript", ".glb": "model/gltf-binary" };

const server = http.createServer((request, response) => {
  const url = new URL(request.url, "http://localhost").pathname;
  if (url === "/favicon.ico") {
    response.writeHead(204).end();
    return;
  }
  const file = files[url] ?? (url.startsWith("/three/")
    ? path.join(here, "node_modules", url.slice(1)) : null);
  if (!file || !fs.existsSync(file)) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { "Content-Type": types[path.extname(file)] ?? "application/octet-stream" });
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const port = server.address().port;

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox"],
});
let failed = false;
try {
  const page = await browser.newPage({ viewport: { width: Number(width), height: Number(height) } });
  page.on("console", (message) => {
    if (message.type() === "error") {
      console.error(`page console: ${message.text()}`);
      failed = true;
    }
  });
  page.on("pageerror", (error) => {
    console.error(`page error: ${error.message}`);
    failed = true;
  });
  await page.goto(`http://127.0.0.1:${port}/page.html?file=/scene.glb&width=${width}&height=${height}`);
  await page.waitForFunction(() => window.rendered || window.failure, null, { timeout: 120000 });
  const failure = await page.evaluate(() => window.failure);
  if (failure) {
    console.error(`three.js could not show ${source}: ${failure}`);
    failed = true;
  } else {
    await page.locator("#view").screenshot({ path: target });
    console.log(`load-seconds: ${(await page.evaluate(() => window.loadSeconds)).toFixed(2)}`);
  }
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
