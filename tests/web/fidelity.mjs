// The WebAssembly module against the native program: for generated alloys of every kind, the
// same CSV columns and the same text reports, byte for byte. long double is 128-bit in WebAssembly and
// 80-bit on x86-64 Linux, so this is the proof that the digits agree.
// Usage: node fidelity.mjs WEB_DIST_GLASSFORM_JS NATIVE_GLASSFORM
import { createRequire } from "node:module";
import { execFileSync, spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const require = createRequire(import.meta.url);
const [, , moduleJs, native] = process.argv;
const wasm = await require(moduleJs)();
const call = (request) => JSON.parse(wasm.handle(JSON.stringify(request)));

const symbols = call({ action: "elements" }).elements.map((e) => e.symbol);
let seed = 20261208;
const random = (n) => {
  seed = (seed * 1103515245 + 12345) % 2147483648;
  return seed % n;
};

const lines = [];
let csv = "";
let text = "";
for (let trial = 0; trial < 600; trial++) {
  const size = 2 + (trial % 3);
  const alloy = Array.from({ length: size }, () => symbols[random(symbols.length)]);
  const chosen = trial % 4 === 0 ? [] : Array.from({ length: size - 1 }, () => 1 + random(30));
  const result = call({ action: "evaluate", symbols: alloy, chosen });
  if (!result.ok) throw new Error(result.error);
  csv += lines.length === 0 ? result.csv : result.csv.slice(result.csv.indexOf("\n") + 1);
  text += (lines.length === 0 ? "" : "\n") + result.report;
  lines.push([...alloy, ...chosen].join(" "));
}
const input = lines.join("\n") + "\n";
// The batch rows end with the input's line number and an empty label, which a single alloy's
// rows do not carry: the comparison is over the columns both sides have.
const nativeCsv = execFileSync(native, ["batch", "--format", "csv"], { input, stdio: ["pipe", "pipe", "ignore"], maxBuffer: 1 << 28 })
  .toString()
  .split("\n")
  .map((line, i) => (i === 0 ? line.replace(/,line,label$/, "") : line.replace(/,\d+,$/, "")))
  .join("\n");
const nativeText = execFileSync(native, ["batch"], { input, stdio: ["pipe", "pipe", "ignore"], maxBuffer: 1 << 28 }).toString();

// Given compositions of 1 to 6 elements: the assessment's text and its JSON row (whose line
// number is the native side's own).
const formulas = [];
let assessText = "";
let assessRows = "";
for (let trial = 0; trial < 300; trial++) {
  const size = 1 + (trial % 6);
  const formula = Array.from({ length: size }, () => symbols[random(symbols.length)] + (1 + random(400)) / 4).join("");
  const result = call({ action: "assess", formula });
  if (!result.ok) throw new Error(result.error);
  assessText += (formulas.length === 0 ? "" : "\n") + result.report;
  delete result.row.line;
  assessRows += JSON.stringify(result.row) + "\n";
  formulas.push(formula);
}
const assessInput = formulas.join("\n") + "\n";
const nativeAssessText = execFileSync(native, ["assess", "--file", "-"], { input: assessInput, stdio: ["pipe", "pipe", "ignore"], maxBuffer: 1 << 28 }).toString();
const nativeAssessRows = execFileSync(native, ["assess", "--file", "-", "--format", "jsonl"], { input: assessInput, stdio: ["pipe", "pipe", "ignore"], maxBuffer: 1 << 28 })
  .toString()
  .trimEnd()
  .split("\n")
  .map((line) => {
    const row = JSON.parse(line);
    delete row.line;
    return JSON.stringify(row) + "\n";
  })
  .join("");

// Screens with the panel's options: the same text and CSV as the native screen.
const screens = [];
for (const [request, args] of [
  [{ kind: "binary", solvent: "Zr" }, ["binary", "--solvent", "Zr"]],
  [{ kind: "ternary", solvent: "Cu", exclude: ["alkali", "precious"], best_variant: true },
   ["ternary", "--solvent", "Cu", "--exclude", "alkali,precious", "--best-variant"]],
  [{ kind: "quaternary", solvent: "Fe", sort: "mismatch", exclude: ["none"], keep_unphysical: true },
   ["quaternary", "--solvent", "Fe", "--sort", "mismatch", "--exclude", "none", "--keep-unphysical"]],
  [{ kind: "binary", solvent: "all", sort: "-x_Zr_at%" }, ["binary", "--solvent", "all", "--sort=-x_Zr_at%"]],
]) {
  const result = call({ action: "screen", top: 20, ...request });
  if (!result.ok) throw new Error(result.error);
  const run = (format) => execFileSync(native, ["screen", ...args, "--top", "20", "--format", format],
                                       { stdio: ["ignore", "pipe", "ignore"], maxBuffer: 1 << 28 }).toString();
  screens.push([`screen ${args.join(" ")} text`, result.text, run("text")]);
  screens.push([`screen ${args.join(" ")} csv`, result.csv, run("csv")]);
}

// A user's element data, as the page hands the files' texts over: the same row as the native
// program with the same files, and a bad file refused with the command line's message.
const dataFiles = ["data/elements_more.tsv", "data/mixing_enthalpy_more.tsv"];
const elementFiles = { elements: { name: dataFiles[0], text: readFileSync(dataFiles[0], "utf8") },
                       mixing_enthalpy: { name: dataFiles[1], text: readFileSync(dataFiles[1], "utf8") } };
const userRow = call({ action: "assess", formula: "Au55Pb22.5Sb22.5", element_files: elementFiles });
const nativeUserRow = JSON.parse(execFileSync(native, ["assess", "--elements", dataFiles[0], "--mixing-enthalpy",
                                                       dataFiles[1], "Au55Pb22.5Sb22.5", "--format", "jsonl"],
                                              { stdio: ["ignore", "pipe", "ignore"] }).toString());
delete nativeUserRow.line;
if (userRow.ok) delete userRow.row.line;
screens.push(["assess with element data", userRow.ok ? JSON.stringify(userRow.row) : userRow.error,
              JSON.stringify(nativeUserRow)]);
const badFiles = { elements: { name: "bad.csv", text: "symbol,radius_nm\nSb,0\n" } };
const badPath = join(mkdtempSync(join(tmpdir(), "glassform-web-")), "bad.csv");
writeFileSync(badPath, badFiles.elements.text);
const badNative = spawnSync(native, ["assess", "--elements", badPath, "Cu"]).stderr.toString()
  .replace(badPath, "bad.csv");
const bad = call({ action: "element_data", element_files: badFiles });
screens.push(["a bad element file", `glassform: error: ${bad.error}\n`, badNative]);

// A map: the same rows as the native map.
const mapResult = call({ action: "map", symbols: ["Cu", "Zr", "Al"], step: "5", field: "p_glass" });
const nativeMap = execFileSync(native, ["map", "Cu", "Zr", "Al", "--step", "5", "--format", "csv"],
                               { stdio: ["ignore", "pipe", "ignore"] }).toString();
screens.push(["map Cu Zr Al --step 5", mapResult.ok ? mapResult.csv : mapResult.error, nativeMap]);
const sliceResult = call({ action: "map", symbols: ["Cu", "Zr", "Al"], step: "5", field: "p_glass",
                          with: "Ni=10" });
const nativeSlice = execFileSync(native, ["map", "Cu", "Zr", "Al", "--step", "5", "--with", "Ni=10",
                                          "--format", "csv"], { stdio: ["ignore", "pipe", "ignore"] }).toString();
screens.push(["map Cu Zr Al --step 5 --with Ni=10", sliceResult.ok ? sliceResult.csv : sliceResult.error,
              nativeSlice]);

let failures = 0;
// Requests the command line would refuse are refused with a message, never answered with rows;
// and a module that has answered thousands of bad formulas still answers a good one.
for (const request of [{ action: "screen", kind: "pentanary", solvent: "Zr" },
                       { action: "screen", kind: "binary", solvent: "Zr", top: -1 },
                       { action: "screen", kind: "binary", solvent: "Zr", top: 2.5 },
                       { action: "screen", kind: "binary", solvent: "Qq" },
                       { action: "assess", formula: "Cu\u2084\u2086Zr46" },
                       { action: "assess", formula: "Cu50\u001b[2JZr50" }]) {
  const result = call(request);
  if (result.ok || !result.error) {
    failures++;
    console.log(`FAIL a bad request was answered: ${JSON.stringify(request)}`);
  }
}
for (let i = 0; i < 5000; i++) call({ action: "assess", formula: `Cu${String.fromCodePoint(0x2080 + (i % 10))}Zr\u00e9${i}` });
const subscript = call({ action: "assess", formula: "Cu\u2084\u2086Zr\u2084\u2086Al\u2088" });
const control = call({ action: "assess", formula: "Cu50\u001b[2JZr50" });
const good = call({ action: "assess", formula: "Cu46Zr46Al8" });
for (const [what, ok] of [
  ["a subscript digit is quoted whole", !subscript.ok && subscript.error.includes("unexpected character '\u2084'")],
  ["an escape byte is escaped", !control.ok && control.error.includes("\\x1B") && !control.error.includes("\u001b")],
  ["after 5,000 bad formulas a good one is assessed", good.ok && good.report.includes("Cu46.00Zr46.00Al8.00")],
]) {
  if (!ok) {
    failures++;
    console.log(`FAIL ${what}`);
  }
}
for (const [name, ours, theirs] of [["csv", csv, nativeCsv], ["text", text, nativeText],
                                    ["assess text", assessText, nativeAssessText],
                                    ["assess rows", assessRows, nativeAssessRows], ...screens]) {
  if (ours === theirs) continue;
  failures++;
  const a = ours.split("\n");
  const b = theirs.split("\n");
  const i = a.findIndex((line, k) => line !== b[k]);
  console.log(`FAIL ${name}: first difference at line ${i + 1}\n  wasm:   ${a[i]}\n  native: ${b[i]}`);
}
console.log(`${lines.length} alloys and ${formulas.length} compositions compared: ${failures === 0 ? "1 passed, 0 failed" : `0 passed, ${failures} failed`}`);
process.exit(failures === 0 ? 0 : 1);
