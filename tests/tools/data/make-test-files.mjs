// Writes the command-line import's test files into a folder (millimetres,
// archive version 8):
//   points-and-breps.3dm    three points and two B-reps, no curves, no meshes
//   near-line-tol-0.01.3dm  a cubic NURBS curve within 0.004 of a straight
//   near-line-tol-0.001.3dm line, with absolute tolerance 0.01 and 0.001
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

const write = (name, tolerance, fill) => {
  const doc = new rhino.File3dm();
  doc.settings().modelUnitSystem = rhino.UnitSystem.Millimeters;
  doc.settings().modelAbsoluteTolerance = tolerance;
  fill((geometry, objectName) => {
    const a = new rhino.ObjectAttributes();
    a.name = objectName;
    doc.objects().add(geometry, a);
  });
  const options = new rhino.File3dmWriteOptions();
  options.version = 8;
  fs.writeFileSync(path.join(folder, name), doc.toByteArrayOptions(options));
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
