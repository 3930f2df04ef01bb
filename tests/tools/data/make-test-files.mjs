// Writes the command-line import's test files into a folder (archive
// version 8):
//   points-and-breps.3dm    three points and two B-reps, no curves, no meshes
//   near-line-tol-0.01.3dm  a cubic NURBS curve within 0.004 of a straight
//   near-line-tol-0.001.3dm line, with absolute tolerance 0.01 and 0.001
//   (all three in millimetres), and in units the options dialog does not
//   offer, each holding the point (1, 2, 3), the line (0, 0, 0)-(10, 20, 30),
//   a circle of radius 0.5 about (5, 5, 0) and the mesh triangle (0, 0, 0),
//   (4, 0, 0), (0, 4, 0):
//   units-microns.3dm       microns, absolute tolerance 0.5 (as large as the circle)
//   units-decimeters.3dm    decimetres, units-yards.3dm yards (tolerance 0.001)
//   units-custom.3dm        custom units of 0.25 m: rhino3dm names the unit but
//                           cannot set its size, so the script writes 0.25 into
//                           the units-and-tolerances chunk and renews its CRC
// and meshes the host cannot take as one body (millimetres, tolerance 0.001),
// boxes as six outward quadrangles with vertices of their own:
//   shells-two-boxes.3dm    one mesh: two unit boxes sharing one edge
//   shells-fan.3dm          one mesh: three triangles on one edge
//   shells-flipped-box.3dm  one mesh: a unit box whose first face is turned inward
//   shells-bad-between.3dm  three meshes: a box, a mesh without faces, a box
// Run it beside an installed rhino3dm, for example:
//   cd tools/make-example && npm ci && cp ../../tests/tools/data/make-test-files.mjs . &&
//   node make-test-files.mjs ../../tests/tools/data
import rhino3dm from 'rhino3dm';
import fs from 'node:fs';
import path from 'node:path';

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node make-test-files.mjs FOLDER');
  process.exit(2);
}
const rhino = await rhino3dm();

const write = (name, tolerance, fill, unit = rhino.UnitSystem.Millimeters, patch = null) => {
  const doc = new rhino.File3dm();
  doc.settings().modelUnitSystem = unit;
  doc.settings().modelAbsoluteTolerance = tolerance;
  fill((geometry, objectName) => {
    const a = new rhino.ObjectAttributes();
    a.name = objectName;
    doc.objects().add(geometry, a);
  });
  const options = new rhino.File3dmWriteOptions();
  options.version = 8;
  let bytes = Buffer.from(doc.toByteArrayOptions(options));
  if (patch) bytes = patch(bytes);
  fs.writeFileSync(path.join(folder, name), bytes);
};

// CRC-32 as zlib computes it, which is what a chunk's checksum is.
const crc32 = (bytes) => {
  let c = 0xffffffff;
  for (const b of bytes) {
    c ^= b;
    for (let k = 0; k < 8; k++) c = (c >>> 1) ^ (0xedb88320 & -(c & 1));
  }
  return (c ^ 0xffffffff) >>> 0;
};

// Puts metersPerUnit into the units-and-tolerances chunk (typecode
// 0x20008031: version 102, unit, three tolerances, two display ints, then
// metres per unit) and renews the chunk's CRC, its last 4 bytes.
const setMetersPerUnit = (metersPerUnit) => (bytes) => {
  const at = bytes.indexOf(Buffer.from([0x31, 0x80, 0x00, 0x20]));
  const length = Number(bytes.readBigInt64LE(at + 4));
  const body = at + 12;
  if (at < 0 || bytes.readInt32LE(body) !== 102 || bytes.readInt32LE(body + 4) !== 11)
    throw new Error('no units-and-tolerances chunk of custom units');
  bytes.writeDoubleLE(metersPerUnit, body + 40);
  bytes.writeUInt32LE(crc32(bytes.subarray(body, body + length - 4)), body + length - 4);
  return bytes;
};

const unitModel = (add) => {
  add(new rhino.Point([1, 2, 3]), 'point');
  add(new rhino.LineCurve([0, 0, 0], [10, 20, 30]), 'line');
  add(rhino.ArcCurve.createFromCircle(new rhino.Circle([5, 5, 0], 0.5)), 'circle');
  const mesh = new rhino.Mesh();
  mesh.vertices().add(0, 0, 0);
  mesh.vertices().add(4, 0, 0);
  mesh.vertices().add(0, 4, 0);
  mesh.faces().addTriFace(0, 1, 2);
  add(mesh, 'triangle');
};

write('points-and-breps.3dm', 0.01, (add) => {
  add(new rhino.Point([1, 2, 3]), 'p1');
  add(new rhino.Point([-4, 0, 0.5]), 'p2');
  add(new rhino.Point([10, 10, 10]), 'p3');
  add(rhino.Brep.createFromBox(new rhino.Box(new rhino.BoundingBox([0, 0, 0], [10, 5, 2]))), 'box');
  add(rhino.Brep.createFromCylinder(new rhino.Cylinder(new rhino.Circle([20, 0, 0], 3), 8), true, true),
      'cylinder');
});

for (const tolerance of [0.01, 0.001]) {
  write(`near-line-tol-${tolerance}.3dm`, tolerance, (add) => {
    const curve = new rhino.NurbsCurve(3, false, 4, 4);
    [[0, 0, 0], [10, 0.004, 0], [20, -0.004, 0], [30, 0, 0]]
      .forEach((p, i) => curve.points().set(i, [p[0], p[1], p[2], 1]));
    [0, 0, 0, 1, 1, 1].forEach((k, i) => curve.knots().set(i, k));
    add(curve, 'near-line');
  });
}

write('units-microns.3dm', 0.5, unitModel, rhino.UnitSystem.Microns);
write('units-decimeters.3dm', 0.001, unitModel, rhino.UnitSystem.Decimeters);
write('units-yards.3dm', 0.001, unitModel, rhino.UnitSystem.Yards);
write('units-custom.3dm', 0.001, unitModel, rhino.UnitSystem.CustomUnits, setMetersPerUnit(0.25));

// A box [x0, x1] x [y0, y1] x [z0, z1] as six quadrangles wound outward;
// `inward` lists faces wound the other way.
const addBox = (mesh, [x0, y0, z0], [x1, y1, z1], inward = []) => {
  const first = mesh.vertices().count;
  for (const z of [z0, z1])
    for (const [x, y] of [[x0, y0], [x1, y0], [x1, y1], [x0, y1]]) mesh.vertices().add(x, y, z);
  const sides = [[0, 3, 2, 1], [4, 5, 6, 7], [0, 1, 5, 4], [1, 2, 6, 5], [2, 3, 7, 6], [3, 0, 4, 7]];
  sides.forEach((side, i) => {
    const v = (inward.includes(i) ? [...side].reverse() : side).map((k) => first + k);
    mesh.faces().addQuadFace(v[0], v[1], v[2], v[3]);
  });
  return mesh;
};

write('shells-two-boxes.3dm', 0.001, (add) => {
  const mesh = new rhino.Mesh();
  addBox(mesh, [0, 0, 0], [1, 1, 1]);
  addBox(mesh, [1, 1, 0], [2, 2, 1]); // shares the edge x = 1, y = 1
  add(mesh, 'two-boxes');
});

write('shells-fan.3dm', 0.001, (add) => {
  const mesh = new rhino.Mesh();
  for (const [x, y, z] of [[0, 0, 0], [1, 0, 0], [0.5, 1, 0], [0.5, -0.5, 0.866], [0.5, -0.5, -0.866]])
    mesh.vertices().add(x, y, z);
  mesh.faces().addTriFace(0, 1, 2);
  mesh.faces().addTriFace(1, 0, 3);
  mesh.faces().addTriFace(0, 1, 4);
  add(mesh, 'fan');
});

write('shells-flipped-box.3dm', 0.001, (add) => {
  add(addBox(new rhino.Mesh(), [0, 0, 0], [1, 1, 1], [0]), 'flipped-box');
});

write('shells-bad-between.3dm', 0.001, (add) => {
  add(addBox(new rhino.Mesh(), [0, 0, 0], [1, 1, 1]), 'box-1');
  const none = new rhino.Mesh();
  for (const [x, y, z] of [[2, 0, 0], [3, 0, 0], [2, 1, 0]]) none.vertices().add(x, y, z);
  add(none, 'no-faces');
  add(addBox(new rhino.Mesh(), [4, 0, 0], [5, 1, 1]), 'box-2');
});
