// Writes examples/bracket.3dm: a small angle bracket in millimetres with
// what the import handles: points, curves of every common kind, B-reps and
// meshes. Run: npm ci && node make-example.mjs ../../examples/bracket.3dm
import rhino3dm from 'rhino3dm';
import fs from 'node:fs';

const out = process.argv[2];
if (!out) {
  console.error('usage: node make-example.mjs OUTPUT.3dm');
  process.exit(2);
}

const rhino = await rhino3dm();
const doc = new rhino.File3dm();
doc.settings().modelUnitSystem = rhino.UnitSystem.Millimeters;
doc.settings().modelAbsoluteTolerance = 0.01;

const layer = (name, r, g, b) => {
  const l = new rhino.Layer();
  l.name = name;
  l.color = { r, g, b, a: 255 };
  return doc.layers().add(l);
};
const outline = layer('Outline', 0, 0, 0);
const holes = layer('Holes', 200, 0, 0);
const solids = layer('Solids', 0, 90, 200);
const meshes = layer('Meshes', 0, 150, 60);

const add = (geometry, name, layerIndex) => {
  const a = new rhino.ObjectAttributes();
  a.name = name;
  a.layerIndex = layerIndex;
  doc.objects().add(geometry, a);
};

// Base plate outline, 80 x 50, with a chamfered corner, as a closed polyline.
add(new rhino.PolylineCurve([[0, 0, 0], [80, 0, 0], [80, 40, 0], [70, 50, 0], [0, 50, 0], [0, 0, 0]]),
    'plate-outline', outline);

// Four mounting holes: circles in the XY plane, their centres as points.
const centres = [[12, 12, 0], [68, 12, 0], [12, 38, 0], [58, 38, 0]];
centres.forEach((c, i) => {
  add(rhino.ArcCurve.createFromCircle(new rhino.Circle(c, 4)), `hole-${i + 1}`, holes);
  add(new rhino.Point(c), `hole-centre-${i + 1}`, holes);
});

// A slot: two lines and two half circles joined into one polycurve.
const slot = new rhino.PolyCurve();
slot.appendSegment(new rhino.LineCurve([30, 20, 0], [45, 20, 0]));
slot.appendSegment(rhino.ArcCurve.createFromArc(rhino.Arc.createFromPoints([45, 20, 0], [48, 23, 0], [45, 26, 0])));
slot.appendSegment(new rhino.LineCurve([45, 26, 0], [30, 26, 0]));
slot.appendSegment(rhino.ArcCurve.createFromArc(rhino.Arc.createFromPoints([30, 26, 0], [27, 23, 0], [30, 20, 0])));
add(slot, 'slot', outline);

// Fillet between plate and upright, drawn on the side face (an arc outside XY).
const side = { origin: [0, 10, 10], xAxis: [0, -1, 0], yAxis: [0, 0, -1], zAxis: [1, 0, 0] };
const filletCircle = new rhino.Circle(side.origin, 10);
filletCircle.plane = side;
const fillet = new rhino.Arc(filletCircle, Math.PI / 2);
add(rhino.ArcCurve.createFromArc(fillet), 'fillet-edge', outline);

// A cable run: an open cubic NURBS curve through space.
const cable = new rhino.NurbsCurve(3, false, 4, 6);
[[5, 45, 0], [20, 60, 15], [40, 45, 30], [60, 60, 30], [75, 45, 45], [80, 50, 60]]
  .forEach((p, i) => cable.points().set(i, [p[0], p[1], p[2], 1]));
[0, 0, 0, 1, 2, 3, 3, 3].forEach((k, i) => cable.knots().set(i, k));
add(cable, 'cable-run', outline);

// Upright flange and a boss, as B-reps.
add(rhino.Brep.createFromBox(new rhino.Box(new rhino.BoundingBox([0, 0, 0], [80, 6, 60]))), 'upright', solids);
add(rhino.Brep.createFromCylinder(new rhino.Cylinder(new rhino.Circle([40, 6, 35], 6), 8), true, true),
    'boss', solids);

// Meshes: a closed gusset (triangular prism: two triangles, three quads) and
// an open, slightly warped cover plate of quads.
const mesh = (vertices, faces) => {
  const m = new rhino.Mesh();
  for (const v of vertices) m.vertices().add(v[0], v[1], v[2]);
  for (const f of faces) {
    if (f.length === 3) m.faces().addTriFace(f[0], f[1], f[2]);
    else m.faces().addQuadFace(f[0], f[1], f[2], f[3]);
  }
  m.normals().computeNormals();
  return m;
};
add(mesh([[36, 6, 0], [36, 36, 0], [36, 6, 30], [44, 6, 0], [44, 36, 0], [44, 6, 30]],
         [[0, 2, 1], [3, 4, 5], [0, 1, 4, 3], [1, 2, 5, 4], [0, 3, 5, 2]]), 'gusset', meshes);
const cover = [];
for (let j = 0; j <= 2; j++) for (let i = 0; i <= 3; i++) cover.push([i * 20, 50 + j * 10, 62 + (i % 2) * 1.5 * j]);
const quads = [];
for (let j = 0; j < 2; j++) for (let i = 0; i < 3; i++) {
  const a = j * 4 + i;
  quads.push([a, a + 1, a + 5, a + 4]);
}
add(mesh(cover, quads), 'cover-plate', meshes);

const options = new rhino.File3dmWriteOptions();
options.version = 8;
fs.writeFileSync(out, doc.toByteArrayOptions(options));
console.log(`wrote ${out}`);
