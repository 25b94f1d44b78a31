// Opens a page of `caelo view` in headless Chromium (software WebGL), offline,
// and checks it as a user would: it loads with no console errors and asks for
// nothing from the network, its date readout at the start is the export's
// start date, it holds the bright stars, playing advances the date and moves
// the planets, picking
// Jupiter brings it to the middle of the view, and each toggle hides what it
// names (screenshots compared by pixels), a link opens it following the
// Earth at a date with the right hemisphere towards the Sun, and the page
// writes its view into its address. Prints how long the page took to be
// ready and the software-rendered frame time, which depend on the machine and
// are measured, never checked; leaves its screenshots in OUT/.
//   node tools/clients/view-check.mjs PAGE.html START_DATE OUT
// START_DATE as the readout shows it ("2026-12-09 00:00 UTC").
import { chromium } from "playwright-core";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const [pageFile, startDate, out] = process.argv.slice(2);
const width = 1280;
const height = 800;
// How long the page may take to leave its loading state before the check
// calls it hung (milliseconds): it is ready in about 1.5 s, so a slow or busy
// machine is far from this.
const kHangTimeoutMs = 60000;
// Pixels a followed body may stand off the middle of the view.
const kCentreTolerancePx = 3;
// Pixels that must change when a toggle hides what it names.
const kMinChangedPixels = 200;

const failures = [];
const began = Date.now();
const check = (ok, what) => {
  console.log(`${ok ? "ok  " : "FAIL"} ${what} [${((Date.now() - began) / 1000).toFixed(1)} s]`);
  if (!ok) {
    failures.push(what);
  }
};

fs.mkdirSync(out, { recursive: true });
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
    "--disable-background-networking", "--disable-component-update", "--no-first-run"],
});
try {
  const context = await browser.newContext({ viewport: { width, height }, deviceScaleFactor: 1 });
  await context.setOffline(true);
  const page = await context.newPage();
  const consoleErrors = [];
  const requests = [];
  page.on("console", (message) => message.type() === "error" && consoleErrors.push(message.text()));
  page.on("pageerror", (error) => consoleErrors.push(error.message));
  page.on("request", (request) => {
    const url = request.url();
    if (!url.startsWith("data:") && !url.startsWith("blob:") && url !== pathToFileURL(path.resolve(pageFile)).href) {
      requests.push(url);
    }
  });

  await page.goto(pathToFileURL(path.resolve(pageFile)).href);
  await page.waitForFunction(() => document.documentElement.dataset.state !== "loading", null, { timeout: kHangTimeoutMs });
  const state = await page.evaluate(() => document.documentElement.dataset.state);
  check(state === "ready", `the page is ready (${state}${state === "failed" ? `: ${await page.textContent("#failure")}` : ""})`);
  const readyMs = Number(await page.evaluate(() => document.documentElement.dataset.readyMs));
  console.log(`ready-ms: ${readyMs}`);
  const readout = async () => (await page.textContent("#date")).trim();
  const stars = await page.evaluate(() => window.caeloViewer?.stars.count ?? 0);
  check(stars >= 8000, `the sky holds the bright stars (${stars})`);
  check(await readout() === startDate, `the readout at the start is ${startDate} (${await readout()})`);

  // Where a body stands on the screen: the left middle of its label.
  const bodyAt = (name) => page.evaluate((body) => {
    const label = document.querySelector(`.label[data-body="${body}"]`);
    const box = label?.getBoundingClientRect();
    return box && label.offsetParent !== null ? { x: box.left, y: box.top + box.height / 2 } : null;
  }, name);
  const shot = async (name) => {
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    const file = path.join(out, `${name}.png`);
    await page.locator("#stage").screenshot({ path: file });
    return fs.readFileSync(file);
  };
  await shot("start");

  const planets = ["Mercury", "Venus", "Earth", "Mars", "Jupiter"];
  const before = await Promise.all(planets.map(bodyAt));
  await page.click("#play");
  const frameMs = await page.evaluate(() => new Promise((resolve) => {
    const times = [];
    const tick = (now) => {
      times.push(now);
      if (times.length < 61) {
        requestAnimationFrame(tick);
      } else {
        resolve((times[times.length - 1] - times[0]) / (times.length - 1));
      }
    };
    requestAnimationFrame(tick);
  }));
  await page.click("#play");
  console.log(`frame-ms: ${frameMs.toFixed(1)} (software rendering, ${width}x${height})`);
  const after = await Promise.all(planets.map(bodyAt));
  check(await readout() > startDate, `playing advances the date (${await readout()})`);
  const moved = planets.filter((_, i) => before[i] && after[i] &&
    Math.hypot(after[i].x - before[i].x, after[i].y - before[i].y) > 1);
  check(moved.length >= 3, `playing moves the planets (${moved.join(", ") || "none"} moved)`);

  // Picking: a click beside Jupiter on the view, as a user clicks a small disc.
  const jupiter = await bodyAt("Jupiter");
  check(jupiter !== null, "Jupiter is in view");
  if (jupiter) {
    await page.mouse.click(jupiter.x - 2, jupiter.y);
    await shot("jupiter");
    const centre = await page.evaluate(() => {
      const box = document.getElementById("view").getBoundingClientRect();
      return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
    });
    const followed = await bodyAt("Jupiter");
    check(followed && Math.hypot(followed.x - centre.x, followed.y - centre.y) <= kCentreTolerancePx,
      `picking Jupiter puts it at the middle of the view (${JSON.stringify(followed)} vs ${JSON.stringify(centre)})`);
  }

  // Pixels that differ between two screenshots, counted in the page itself
  // (a second page would hold the first one's frames back).
  const changedPixels = (a, b) => page.evaluate(async ([first, second]) => {
    const pixels = async (data) => {
      const image = new Image();
      image.src = `data:image/png;base64,${data}`;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const context2d = canvas.getContext("2d");
      context2d.drawImage(image, 0, 0);
      return context2d.getImageData(0, 0, image.width, image.height).data;
    };
    const [p, q] = await Promise.all([pixels(first), pixels(second)]);
    let changed = 0;
    for (let i = 0; i < p.length; i += 4) {
      if (Math.abs(p[i] - q[i]) + Math.abs(p[i + 1] - q[i + 1]) + Math.abs(p[i + 2] - q[i + 2]) > 24) {
        ++changed;
      }
    }
    return changed;
  }, [a.toString("base64"), b.toString("base64")]);

  // Each toggle, in a view where what it names is seen: off changes the
  // picture, on again gives the same picture back.
  const followBody = async (name) => {
    await page.selectOption("#follow", { label: name });
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
  };
  const toggles = [
    { id: "show-planet-orbits", view: null },
    { id: "show-moon-orbits", view: "Jupiter" },
    { id: "show-rings", view: "Saturn" },
    { id: "show-planes", view: "Sun" },
    { id: "show-labels", view: null },
    { id: "show-stars", view: null },
  ];
  for (const { id, view } of toggles) {
    if (view) {
      await followBody(view);
    } else {
      await page.click("#reset");
    }
    const shown = await shot(`${id}-on`);
    await page.click(`#${id}`);
    const hidden = await shot(`${id}-off`);
    await page.click(`#${id}`);
    const again = await shot(`${id}-again`);
    const changed = await changedPixels(shown, hidden);
    const restored = await changedPixels(shown, again);
    check(changed >= kMinChangedPixels && restored === 0,
      `${id} hides what it names (${changed} pixels changed; ${restored} differ when shown again)`);
  }

  // Links: a fragment opens the page following a body at a date, paused,
  // and the page keeps its fragment to what it shows. The followed Earth
  // shows the Sun the Pacific at 00:00 UT and Africa and Europe at 12:00:
  // the day side's middle is bluer at 00:00 (mean blue less red of its lit
  // pixels).
  const day = startDate.slice(0, 10);
  const pageUrl = pathToFileURL(path.resolve(pageFile)).href;
  const daySideBlueness = async (hour) => {
    const link = `#follow=Earth&t=${day}T${hour}:00:00Z&paused`;
    await page.goto("about:blank");
    await page.goto(pageUrl + link);
    await page.waitForFunction(() => document.documentElement.dataset.state !== "loading", null, { timeout: kHangTimeoutMs });
    const picture = await shot(`earth-${hour}h`);
    const shown = await page.evaluate(() => location.hash);
    check(shown === link && await readout() === `${day} ${hour}:00 UTC`,
      `the link ${link} opens the page there (${await readout()}, ${shown})`);
    return page.evaluate(async (data) => {
      const image = new Image();
      image.src = `data:image/png;base64,${data}`;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const context2d = canvas.getContext("2d");
      context2d.drawImage(image, 0, 0);
      const reach = Math.round(image.height / 16);
      const { data: p } = context2d.getImageData(image.width / 2 - reach, image.height / 2 - reach, 2 * reach, 2 * reach);
      let sum = 0;
      let count = 0;
      for (let i = 0; i < p.length; i += 4) {
        if (p[i] + p[i + 1] + p[i + 2] > 90) {
          sum += p[i + 2] - p[i];
          ++count;
        }
      }
      return count > 0 ? sum / count : 0;
    }, picture.toString("base64"));
  };
  const pacific = await daySideBlueness("00");
  const africa = await daySideBlueness("12");
  check(pacific > africa + 20,
    `the followed Earth shows the Sun the Pacific at 00:00 UT, Africa at 12:00 (blueness ${pacific.toFixed(0)} and ${africa.toFixed(0)})`);
  await page.click("#play");
  await page.waitForFunction(() => !location.hash.includes("paused"));
  await page.click("#play");
  const written = await page.evaluate(() => location.hash);
  check(/^#follow=Earth&t=[-+0-9]+-\d\d-\d\dT\d\d:\d\d:\d\dZ&paused$/.test(written),
    `the page writes its view into its address (${written})`);

  check(consoleErrors.length === 0, `no console errors${consoleErrors.length ? `: ${consoleErrors.join(" | ")}` : ""}`);
  check(requests.length === 0, `nothing asked of the network${requests.length ? `: ${requests.join(", ")}` : ""}`);
} finally {
  await browser.close();
}
if (failures.length > 0) {
  console.error(`${pageFile}: ${failures.length} check(s) failed`);
  process.exit(1);
}
