// The page's clock: dates from the file's timeline, wrapping, speed steps and the links that name a view.
import assert from "node:assert/strict";
import { test } from "node:test";
import * as clock from "../../outputs/viewer/page/src/timeline.js";
import { readViewLink, viewLinkText } from "../../outputs/viewer/page/src/viewLink.js";

const year = clock.timelineOf({ startDate: "2026-12-09T00:00:00Z", secondsPerModelDay: 0.1 }, 36.5);

test("the readout shows the model date at a time of the animation, else the document time", () => {
  const cases = [
    [year, 0, "2026-12-09 00:00 UTC"],
    [year, 0.1, "2026-12-10 00:00 UTC"],
    [year, 0.025, "2026-12-09 06:00 UTC"],
    [year, 2.3, "2027-01-01 00:00 UTC"],
    [clock.timelineOf({ startDate: "-0500-03-01T12:00:00Z", secondsPerModelDay: 1 }, 1), 0, "-0500-03-01 12:00 UTC"],
    [clock.timelineOf({ startDate: "2026-12-09T00:00:00Z" }, 1), 1.5, "1.50 s"],
    [clock.timelineOf({ startDate: "not a date", secondsPerModelDay: 0.1 }, 1), 0, "0.00 s"],
    [clock.timelineOf({ startDate: "2026-12-09T00:00:00Z", secondsPerModelDay: -1 }, 1), 0, "0.00 s"],
    [clock.timelineOf(undefined, 1), 2, "2.00 s"],
  ];
  for (const [timeline, seconds, text] of cases) {
    assert.equal(clock.readoutAt(timeline, seconds), text, `${JSON.stringify(timeline)} at ${seconds} s`);
  }
});

test("time runs round the span in both directions", () => {
  const cases = [[0, 10, 0], [12.5, 10, 2.5], [-1, 10, 9], [-10, 10, 0], [5, 0, 0], [5, NaN, 0]];
  for (const [seconds, duration, wrapped] of cases) {
    assert.equal(clock.wrappedTime(seconds, duration), wrapped, `${seconds} in ${duration}`);
  }
});

test("speed steps keep their direction and stop at the ends", () => {
  assert.equal(clock.faster(1), 2);
  assert.equal(clock.faster(-1), -2);
  assert.equal(clock.slower(-1), -0.5);
  assert.equal(clock.faster(64), 64);
  assert.equal(clock.slower(1 / 16), 1 / 16);
  const cases = [
    [year, 1, "10 days per second"],
    [year, -2, "20 days per second back"],
    [year, 1 / 16, "15 hours per second"],
    [year, 1 / 8, "1.3 days per second"],
    [clock.timelineOf({}, 1), 1 / 4, "×1/4"],
    [clock.timelineOf({}, 1), -2, "×2 back"],
  ];
  for (const [timeline, speed, text] of cases) {
    assert.equal(clock.speedText(timeline, speed), text, `speed ${speed}`);
  }
});

test("a link's date is the time that shows it, and the time's date is written back", () => {
  const cases = [
    ["2026-12-09T00:00:00Z", 0],
    ["2026-12-10T00:00Z", 0.1],
    ["2027-01-01T00:00:00Z", 2.3],
    ["2027-12-09T00:00:00Z", 36.5],
    ["2027-12-10T00:00:00Z", null], // after the animation
    ["2026-12-08T23:59:59Z", null], // before it
    ["tomorrow", null],
  ];
  for (const [text, seconds] of cases) {
    const got = clock.secondsAt(year, text);
    assert.ok(seconds === null ? got === null : Math.abs(got - seconds) < 1e-9, `${text}: ${got}`);
  }
  assert.equal(clock.secondsAt(clock.timelineOf({}, 1), "2026-12-09T00:00:00Z"), null);
  assert.equal(clock.isoTextAt(year, 2.3), "2027-01-01T00:00:00Z");
  assert.equal(clock.isoTextAt(year, 0.025 + 0.1 / 86400 / 2.1), "2026-12-09T06:00:00Z");
  assert.equal(clock.isoTextAt(clock.timelineOf({}, 1), 1), null);
});

test("a view's fragment reads back as the view", () => {
  const views = [
    { follow: "Earth", t: "2027-06-21T12:00:00Z", paused: true },
    { follow: "Earth-Moon Barycentre", t: null, paused: false },
    { follow: null, t: "2027-06-21T12:00:00Z", paused: false },
    { follow: null, t: null, paused: false },
  ];
  for (const view of views) {
    assert.deepEqual(readViewLink(viewLinkText(view)), view, JSON.stringify(view));
  }
  assert.equal(viewLinkText(views[0]), "#follow=Earth&t=2027-06-21T12:00:00Z&paused");
  assert.deepEqual(readViewLink("#paused&follow=Mars&zoom=3"), { follow: "Mars", t: null, paused: true });
});
