// The page's clock: dates from the file's timeline, wrapping and speed steps.
import assert from "node:assert/strict";
import { test } from "node:test";
import * as clock from "../../outputs/viewer/page/src/timeline.js";

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
