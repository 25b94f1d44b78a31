// What the page finds in the exported scene, by what each node's extras say
// of it (docs/gltf-export.md): its role ("star", "globe", "ring", "orbitLine",
// "plane"), its place in the document ("hostPath") and the globe its body
// circles ("circles", that globe's place). A body is a globe or the star; a
// moon is a body that circles another body than the star; a planet's orbit
// line circles the star, a moon's another body.

function eachObject(object, visit) {
  visit(object);
  for (const child of object.children) {
    eachObject(child, visit);
  }
}

// Answers { star, bodies, planetOrbits, moonOrbits, planes, rings } of the
// objects below `root` in tree order; each body is { name, object, primary },
// its name by `nameOf(object)`, its primary the body it circles (null for the
// star and what circles no body in the file).
export function indexScene(root, nameOf = (object) => object.name) {
  const index = { star: null, bodies: [], planetOrbits: [], moonOrbits: [], planes: [], rings: [] };
  const bodiesByPath = new Map();
  const lines = [];
  eachObject(root, (object) => {
    const { role, hostPath, circles } = object.userData ?? {};
    if (role === "star" || role === "globe") {
      const body = { name: nameOf(object), object, primary: null, circles };
      index.bodies.push(body);
      if (hostPath) {
        bodiesByPath.set(hostPath, body);
      }
      if (role === "star" && index.star === null) {
        index.star = body;
      }
    } else if (role === "orbitLine") {
      lines.push({ object, circles });
    } else if (role === "plane") {
      index.planes.push(object);
    } else if (role === "ring") {
      index.rings.push(object);
    }
  });
  for (const body of index.bodies) {
    body.primary = bodiesByPath.get(body.circles) ?? null;
    delete body.circles;
  }
  const starPath = index.star?.object.userData.hostPath;
  for (const line of lines) {
    (line.circles !== undefined && line.circles === starPath ? index.planetOrbits : index.moonOrbits).push(line.object);
  }
  return index;
}

// A moon: a body whose primary is another body than the star.
export function isMoon(index, body) {
  return body.primary !== null && body.primary !== index.star;
}

// The moon orbit lines that circle `body`.
export function orbitsAround(index, body) {
  const path = body.object.userData.hostPath;
  return index.moonOrbits.filter((line) => path !== undefined && line.userData.circles === path);
}
