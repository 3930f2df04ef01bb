// The peer in the reading benchmark: openNURBS (the rhino3dm npm package)
// reads the same files under Node. Prints lines in bench_reader's format.
//
//   node bench-rhino3dm.mjs NODE_MODULES_DIR [--repeat N] FILE...
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const args = process.argv.slice(2);
const modules = args.shift();
let repeat = 1;
const files = [];
for (let i = 0; i < args.length; i++) {
  if (args[i] === '--repeat') repeat = Number(args[++i]);
  else files.push(args[i]);
}
const require = createRequire(path.join(modules, 'bench.js'));
const rhino3dm = require('rhino3dm');
const rhino = await rhino3dm({ printErr: () => {} });

const mb = () => process.resourceUsage().maxRSS / 1024; // maxRSS is in kilobytes
const baseMB = mb();
let totalSeconds = 0;
let totalBytes = 0;
let failures = 0;
for (const f of files) {
  let best = Infinity;
  let items = 0;
  let bytes = 0;
  for (let r = 0; r < Math.max(1, repeat); r++) {
    const t0 = process.hrtime.bigint();
    const data = fs.readFileSync(f); // our reader's time includes reading the file too
    const doc = rhino.File3dm.fromByteArray(new Uint8Array(data.buffer, data.byteOffset, data.length));
    const t1 = process.hrtime.bigint();
    if (!doc) { console.log(`FAILED ${f}: rhino3dm read nothing`); failures++; break; }
    items = doc.objects().count;
    bytes = data.length;
    doc.delete();
    best = Math.min(best, Number(t1 - t0) / 1e9);
  }
  if (best !== Infinity) {
    console.log(`file ${f} seconds ${best.toFixed(6)} bytes ${bytes} items ${items}`);
    totalSeconds += best;
    totalBytes += bytes;
  }
}
console.log(`total seconds ${totalSeconds.toFixed(6)} bytes ${totalBytes} files ${files.length} failed ${failures} peak_mb ${mb().toFixed(1)} base_mb ${baseMB.toFixed(1)}`);
