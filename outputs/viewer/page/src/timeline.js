// The page's clock: which model date a time of the animation shows, and the
// steps of its speed. The file records the date of its first frame (ISO 8601,
// universal time) and how many document seconds make a model day; the
// animation's time is in document seconds from the first frame.

const kMillisecondsPerDay = 86400000;

// Speeds as multiples of the document's own rate (1: one document second per
// second); the sign says the direction.
export const kSpeedSteps = [1 / 16, 1 / 8, 1 / 4, 1 / 2, 1, 2, 4, 8, 16, 32, 64];

// Milliseconds since 1970 of a date and time in universal time as the file
// writes it ("2026-12-09T18:37:31Z", "-0500-03-01T12:00:00Z": proleptic
// Gregorian years of any sign and length, which Date.parse does not all
// take; the seconds may be left out), or null.
function universalMs(text) {
  const match = /^([+-]?\d{4,})-(\d{2})-(\d{2})T(\d{2}):(\d{2})(?::(\d{2}(?:\.\d+)?))?Z$/.exec(String(text));
  if (!match) {
    return null;
  }
  const date = new Date(0);
  date.setUTCFullYear(Number(match[1]), Number(match[2]) - 1, Number(match[3]));
  date.setUTCHours(Number(match[4]), Number(match[5]), 0, Number(match[6] ?? 0) * 1000);
  return Number.isFinite(date.getTime()) ? date.getTime() : null;
}

// What the page reads of the file's scene extras and its animation's length:
// { startMs, secondsPerModelDay, duration }, null where the file says nothing usable.
export function timelineOf(extras, duration) {
  const secondsPerModelDay = Number(extras?.secondsPerModelDay);
  return {
    startMs: universalMs(extras?.startDate),
    secondsPerModelDay: secondsPerModelDay > 0 && Number.isFinite(secondsPerModelDay) ? secondsPerModelDay : null,
    duration: Number.isFinite(duration) && duration > 0 ? duration : 0,
  };
}

// The model date at `seconds` of animation, or null when the file records no
// date or time scale.
export function modelDateAt(timeline, seconds) {
  if (timeline.startMs === null || timeline.secondsPerModelDay === null) {
    return null;
  }
  const date = new Date(timeline.startMs + (seconds / timeline.secondsPerModelDay) * kMillisecondsPerDay);
  return Number.isFinite(date.getTime()) ? date : null;
}

// The time of the animation (seconds) that shows a model date given as the
// file writes dates ("2027-06-21T12:00:00Z"), or null when the text is no
// such date, the file records no date or time scale, or the date lies
// outside the animation.
export function secondsAt(timeline, text) {
  const ms = universalMs(text);
  if (ms === null || timeline.startMs === null || timeline.secondsPerModelDay === null) {
    return null;
  }
  const seconds = ((ms - timeline.startMs) / kMillisecondsPerDay) * timeline.secondsPerModelDay;
  return seconds >= 0 && seconds <= timeline.duration ? seconds : null;
}

// The model date at `seconds` as the file writes dates, to the second
// ("2027-06-21T12:00:00Z"), or null.
export function isoTextAt(timeline, seconds) {
  const date = modelDateAt(timeline, seconds);
  if (!date) {
    return null;
  }
  const whole = new Date(Math.round(date.getTime() / 1000) * 1000);
  return `${yearText(whole.getUTCFullYear())}-${padded(whole.getUTCMonth() + 1, 2)}-${padded(whole.getUTCDate(), 2)}T` +
    `${padded(whole.getUTCHours(), 2)}:${padded(whole.getUTCMinutes(), 2)}:${padded(whole.getUTCSeconds(), 2)}Z`;
}

function yearText(year) {
  return year < 0 ? `-${padded(year, 4)}` : year > 9999 ? `+${year}` : padded(year, 4);
}

function padded(number, digits) {
  return String(Math.abs(number)).padStart(digits, "0");
}

// "2026-12-09 18:30 UTC" (years before 1 and after 9999 with their sign).
export function dateText(date) {
  return `${yearText(date.getUTCFullYear())}-${padded(date.getUTCMonth() + 1, 2)}-${padded(date.getUTCDate(), 2)} ` +
    `${padded(date.getUTCHours(), 2)}:${padded(date.getUTCMinutes(), 2)} UTC`;
}

// The readout for `seconds` of animation: the model date, else the document time.
export function readoutAt(timeline, seconds) {
  const date = modelDateAt(timeline, seconds);
  return date ? dateText(date) : `${seconds.toFixed(2)} s`;
}

// `seconds` brought into [0, duration), so that playing runs round and round
// the span in either direction.
export function wrappedTime(seconds, duration) {
  if (!(duration > 0)) {
    return 0;
  }
  const wrapped = seconds % duration;
  return wrapped < 0 ? wrapped + duration : Math.abs(wrapped); // no -0
}

function stepIndex(speed) {
  const magnitude = Math.abs(speed);
  let nearest = 0;
  kSpeedSteps.forEach((step, i) => {
    if (Math.abs(step - magnitude) < Math.abs(kSpeedSteps[nearest] - magnitude)) {
      nearest = i;
    }
  });
  return nearest;
}

// One step faster or slower in the same direction, held at the ends.
export function faster(speed) {
  const sign = speed < 0 ? -1 : 1;
  return sign * kSpeedSteps[Math.min(stepIndex(speed) + 1, kSpeedSteps.length - 1)];
}

export function slower(speed) {
  const sign = speed < 0 ? -1 : 1;
  return sign * kSpeedSteps[Math.max(stepIndex(speed) - 1, 0)];
}

// "10 days per second", "3 hours per second back" (model time per second of
// the page), or "×2" without a time scale.
export function speedText(timeline, speed) {
  const direction = speed < 0 ? " back" : "";
  if (timeline.secondsPerModelDay === null) {
    const factor = Math.abs(speed);
    return `×${factor >= 1 ? factor : `1/${Math.round(1 / factor)}`}${direction}`;
  }
  const daysPerSecond = Math.abs(speed) / timeline.secondsPerModelDay;
  const [amount, unit] = daysPerSecond >= 1 ? [daysPerSecond, "day"] : [daysPerSecond * 24, "hour"];
  const rounded = amount >= 10 ? Math.round(amount) : Math.round(amount * 10) / 10;
  return `${rounded} ${unit}${rounded === 1 ? "" : "s"} per second${direction}`;
}
