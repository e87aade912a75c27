// Validations per second of the CJK sample (the typical code with a Chinese alternate-language
// template) in node through pavenda.wasm, beside the native command-line tool in the same run.
//
//   node bench/js-validate.mjs [BUILD_DIR [COUNT]]     defaults: build 30000 (a third of them CJK)
import { execFileSync, spawnSync } from "node:child_process";
import { fileURLToPath } from "node:url";

const root = fileURLToPath(new URL("..", import.meta.url));
const build = process.argv[2] ?? `${root}build`;
const count = Number(process.argv[3] ?? 30000);
const { validate } = await import(`${root}bindings/js/pavenda.js`);

// The payload maker writes the minimal, typical and CJK cases in turn; every third line is CJK.
const made = execFileSync(`${build}/bin/pavenda-bench-payloads`, [String(count)], { maxBuffer: 1 << 30 });
const cjk = made
  .toString()
  .split("\n")
  .filter((line, i) => line && i % 3 === 2);
const input = cjk.join("\n") + "\n";

function best(runs, body) {
  let fastest = Infinity;
  for (let i = 0; i < runs; i++) {
    const start = process.hrtime.bigint();
    body();
    fastest = Math.min(fastest, Number(process.hrtime.bigint() - start) / 1e9);
  }
  return fastest;
}

let invalid = 0;
const node = best(5, () => {
  for (const payload of cjk) invalid += validate(payload).length;
});
if (invalid !== 0) throw new Error("the CJK sample should be valid");
const native = best(5, () => {
  const run = spawnSync(`${build}/bin/pavenda`, ["validate", "--jobs", "1"], { input, maxBuffer: 1 << 30 });
  if (run.status !== 0) throw new Error(`pavenda validate: status ${run.status}`);
});

const rate = (seconds) => Math.round(cjk.length / seconds).toLocaleString("en");
console.log(`CJK payloads: ${cjk.length}, best of 5 runs`);
console.log(`node (pavenda.wasm):       ${rate(node)} validations/s`);
console.log(`native (pavenda validate): ${rate(native)} validations/s (one thread, process start included)`);
console.log(`ratio native/node:         ${(node / native).toFixed(2)}x`);
