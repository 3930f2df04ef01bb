// Writes points-and-breps.3dm: three points and two B-reps, no curves, no
// meshes (millimetres, archive version 8). Run it beside an installed
// rhino3dm, for example:
//   cd tools/make-example && npm ci && cp ../../tests/tools/data/make-points-and-breps.mjs . &&
//   node make-points-and-breps.mjs ../../tests/tools/data/points-and-breps.3dm
import rhino3dm from 'rhino3dm';
import fs from 'node:fs';

const out = process.argv[2];
if (!out) {
  console.error('usage: node make-points-and-breps.mjs OUTPUT.3dm');
  process.exit(2);
}
const rhino = await rhino3dm();
const doc = new rhino.File3dm();
doc.settings().modelUnitSystem = rhino.UnitSystem.Millimeters;
doc.settings().modelAbsoluteTolerance = 0.01;
const add = (geometry, name) => {
  const a = new rhino.ObjectAttributes();
  a.name = name;
  doc.objects().add(geometry, a);
};
add(new rhino.Point([1, 2, 3]), 'p1');
add(new rhino.Point([-4, 0, 0.5]), 'p2');
add(new rhino.Point([10, 10, 10]), 'p3');
add(rhino.Brep.createFromBox(new rhino.Box(new rhino.BoundingBox([0, 0, 0], [10, 5, 2]))), 'box');
add(rhino.Brep.createFromCylinder(new rhino.Cylinder(new rhino.Circle([20, 0, 0], 3), 8), true, true),
    'cylinder');
const options = new rhino.File3dmWriteOptions();
options.version = 8;
fs.writeFileSync(out, doc.toByteArrayOptions(options));
