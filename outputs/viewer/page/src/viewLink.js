// The page's address fragment, which names what the page shows so that it can
// be linked: "#follow=Earth&t=2027-06-21T12:00:00Z&paused" follows the Earth
// at that model date, paused. Each part may be left out; unknown parts are
// ignored.

// { follow, t, paused } of a fragment ("#..." or ""), null for each part it
// does not give (paused: false).
export function readViewLink(fragment) {
  const parts = new URLSearchParams(String(fragment).replace(/^#/, ""));
  return {
    follow: parts.get("follow") || null,
    t: parts.get("t") || null,
    paused: parts.has("paused"),
  };
}

// The fragment of a view: "#follow=Earth&t=2027-06-21T12:00:00Z&paused", its
// parts left out where they are null (or not paused); "" for none.
export function viewLinkText({ follow, t, paused }) {
  const parts = [];
  if (follow) {
    parts.push(`follow=${encodeURIComponent(follow)}`);
  }
  if (t) {
    parts.push(`t=${encodeURIComponent(t).replaceAll("%3A", ":")}`);
  }
  if (paused) {
    parts.push("paused");
  }
  return parts.length > 0 ? `#${parts.join("&")}` : "";
}
