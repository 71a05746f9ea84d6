// The WebAssembly model under node against the desktop program's own code:
// the same display texts, numbers, traces, help texts and PicTeX bytes.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

const site = process.env.BRELLOC_WEB_SITE;
const drivers = process.env.BRELLOC_WEB_DRIVERS;
const exporter = process.env.BRELLOC_EXPORT;
const reference = process.env.BRELLOC_WEB_REFERENCE;
const nativeTable = process.env.BRELLOC_NUMBER_FORMAT_TABLE;
for (const [name, value] of Object.entries({ site, drivers, exporter, reference, nativeTable }))
  assert.ok(value, `${name} is not set`);

const createModule = require(path.join(site, 'brelloc-model.js'));
const { loadModel } = require(path.join(site, 'model.js'));

const run = (program, args) =>
  execFileSync(program, args, { maxBuffer: 64 << 20, stdio: ['ignore', 'pipe', 'pipe'] });

// Grid texts for H/L, N/k, Xmax/L and the number of squares.
const parameterSets = [
  ['0.2', '0.5', '3', '10'],           // start-up values
  ['0.4', '0.5', '3', '10'],
  ['0.37', '0.5', '3', '10'],
  ['0', '0.5', '3', '10'],             // no contour interval
  ['2', '0.5', '1', '10'],             // left drain outside the window
  ['50', '0.5', '3', '10'],
  ['1e300', '0.5', '3', '10'],         // display text of 300 digits
  ['0.2', '0', '3', '10'],             // no infiltration
  ['0.2', '10', '3', '10'],
  ['0.2', '0.5', '40', '20'],          // the largest net
  ['0.3', '0.4', '1', '2'],
  ['0.3', '0.4', '1.5', '7.9'],
  ['0,5', '0.25', '0.5', '21'],        // comma, window below its limit, squares above
  ['  0.35e1xyz', '-0.5', '', 'abc'],
  ['0.2004', '1e-300', '6', '-3'],
  ['0.1', '0.25', '12.5', '12'],
];

function commitAll(model, texts) {
  model.module._brelloc_reset();
  return texts.map((text, row) => model.commitRow(row, text));
}

function exporterArgs(texts) {
  const [hl, nk, xmax, squares] = texts;
  return ['--hl', hl, '--nk', nk, '--xmax', xmax, '--squares', squares];
}

function referenceArgs(texts) {
  return texts.flatMap((text, row) => ['set', String(row), text]);
}

// The probes of two results texts: the same points inside and outside the
// flow region, and the same values to rounding. The probe inverts the map by
// Newton steps on complex numbers, whose quotients and complex sines and
// cosines come from the C++ library: the desktop's (libstdc++ over glibc)
// and the WebAssembly build's (libc++ over musl) round them differently, so
// the last bits of a probe may differ. Everything before the probes is the
// same text.
function assertSameProbes(web, native, what) {
  const head = (text) => text.slice(0, text.indexOf(',\n "probes"'));
  assert.strictEqual(head(web), head(native), `results of ${what}`);
  const a = JSON.parse(web).probes, b = JSON.parse(native).probes;
  assert.strictEqual(a.length, b.length);
  assert.ok(b.some((probe) => probe !== null), `some probes of ${what} inside the flow region`);
  const close = (x, y, where) => {
    if (typeof x === 'object' && x !== null) {
      assert.deepStrictEqual(Object.keys(x), Object.keys(y), where);
      for (const key of Object.keys(x))
        close(x[key], y[key], `${where}.${key}`);
      return;
    }
    assert.strictEqual(typeof x, typeof y, where);
    if (typeof x === 'number')
      assert.ok(Math.abs(x - y) <= 1e-12 * Math.max(1, Math.abs(x), Math.abs(y)), `${where}: ${x} against ${y}`);
    else
      assert.strictEqual(x, y, where);
  };
  for (let k = 0; k < a.length; ++k) {
    assert.strictEqual(a[k] === null, b[k] === null, `probe ${k} of ${what} inside in both`);
    if (a[k] !== null)
      close(a[k], b[k], `probe ${k} of ${what}`);
  }
}

test('the WebAssembly model', async (t) => {
  const model = await loadModel(createModule);

  await t.test('PicTeX files are byte for byte the native exporter\'s', () => {
    for (const texts of parameterSets) {
      commitAll(model, texts);
      const web = Buffer.from(model.pictexBytes());
      const native = run(exporter, [...exporterArgs(texts), '--pictex', '-']);
      assert.ok(native.length > 500, `native file for ${texts}`);
      assert.ok(web.equals(native), `PicTeX of ${JSON.stringify(texts)}: ${web.length} bytes ` +
        `against the exporter's ${native.length}`);
    }
  });

  await t.test('a PicTeX file after a second commit of the same rows is the exporter\'s too', () => {
    // The second commit reads the display text back, as leaving a row again does.
    // (Display texts within the exporter's 40 characters: the exporter reads
    // no more, where the grid reads its own display text whole.)
    for (const texts of [['0.2004', '0.5004', '3.0006', '10'], ['0.0005', '0.0015', '2.9995', '2']]) {
      const shown = commitAll(model, texts);
      shown.forEach((text, row) => model.commitRow(row, text));
      const native = run(exporter, [...exporterArgs(shown), '--pictex', '-']);
      assert.ok(Buffer.from(model.pictexBytes()).equals(native), JSON.stringify(shown));
    }
  });

  await t.test('grid commits give the desktop grid\'s display texts', () => {
    const texts = ['abc', '  0.35e1xyz', '0,25', '-0.5', '', '0.5', '6', '1', '21', '7.9', ' 12abc',
      '+5', '99999999999', ' '.repeat(40) + '5', '0.2004', '1e999', 'nan', 'inf', '-inf', '0x1p4',
      '1e300', '4.', '.5', '1e-400', '\u00a05', '\u20ac3', 'x'.repeat(100), '3' + '0'.repeat(60)];
    for (let row = 0; row < 4; ++row) {
      const args = texts.flatMap((text) => ['set', String(row), text]);
      const native = run(reference, [...args, 'none']).toString().split('\n').slice(0, -1);
      model.module._brelloc_reset();
      const web = texts.map((text) => model.commitRow(row, text));
      assert.deepStrictEqual(web, native, `row ${row}`);
    }
  });

  await t.test('the start-up display texts', () => {
    model.module._brelloc_reset();
    assert.deepStrictEqual([0, 1, 2, 3].map((row) => model.rowText(row)),
      ['       0.200', '       0.500', '       3.000', '    10']);
  });

  await t.test('traces hold the native tracer\'s curves and segments', () => {
    for (const texts of parameterSets) {
      commitAll(model, texts);
      const trace = model.trace();
      const curves = [];
      const segments = { potential: 0, stream: 0 };
      let family = null;
      for (let i = 0; i < trace.length;) {
        if (trace[i] === 0) {
          curves.push(trace[i + 1]);
          for (let k = 0; k < 2 * trace[i + 1]; ++k)
            assert.ok(Number.isFinite(trace[i + 2 + k]) || k < 2, 'finite curve samples');
          i += 2 + 2 * trace[i + 1];
        } else if (trace[i] === 1) {
          family = trace[i + 1] === 0 ? 'potential' : 'stream';
          i += 2;
        } else {
          assert.strictEqual(trace[i], 2, `record kind at ${i}`);
          assert.ok(family, 'a segment before its family');
          ++segments[family];
          i += 5;
        }
      }
      const native = run(reference, [...referenceArgs(texts), 'counts']).toString()
        .split('\n').slice(texts.length).join('\n');
      assert.strictEqual(`curves ${curves.join(' ')}\npotential ${segments.potential}\n` +
        `stream ${segments.stream}\n`, native, JSON.stringify(texts));
    }
  });

  await t.test('results and probes are the exporter\'s JSON', () => {
    const points = [[0.5, 0], [0.5, -1], [0.1, 0.1], [2, -0.5], [-1, -0.2], [0.9, 0.05], [5, 5],
      [1, 0], [0, 0.2]];
    for (const texts of parameterSets) {
      commitAll(model, texts);
      const native = run(exporter, [...exporterArgs(texts), '--results', '-']).toString();
      assert.strictEqual(model.resultsJson(), native, JSON.stringify(texts));
      const probeArgs = points.flatMap(([x, y]) => ['--probe', `${x},${y}`]);
      const nativeProbes = run(exporter, [...exporterArgs(texts), '--results', '-', ...probeArgs]).toString();
      assertSameProbes(model.resultsJson(points), nativeProbes, JSON.stringify(texts));
    }
  });

  await t.test('the results block and the probe line carry the JSON\'s numbers', () => {
    commitAll(model, ['0.3', '0.4', '3', '10']);
    const json = JSON.parse(model.resultsJson([[0.5, -1], [5, 5]]));
    const three = (value) => value.toFixed(3);
    assert.deepStrictEqual(model.resultsTexts(), [
      ['Divide x/L', three(json.divide.x)],
      ['Divide y/L', three(json.divide.y)],
      ['Stagnation point x/L', three(json.stagnation_point.x)],
      ['Water-table top x/L', three(json.water_table_top.x)],
      ['Water-table top y/L', three(json.water_table_top.y)],
      ['Infiltration to the left drain', three(json.infiltration_to_left_drain)],
      ['Infiltration to the right drain', three(json.infiltration_to_right_drain)],
    ]);
    const probe = json.probes[0];
    const q = Math.hypot(probe.specific_discharge.x, probe.specific_discharge.y);
    assert.strictEqual(model.probe(0.5, -1),
      `x/L 0.500  y/L -1.000  h/L ${three(probe.head)}  (h-y)/L ${three(probe.pressure_head)}  ` +
      `psi/kL ${three(probe.stream_function)}  q/k ${three(q)}`);
    assert.strictEqual(json.probes[1], null);
    assert.strictEqual(model.probe(5, 5), 'outside the flow region');
    // Where a quantity does not exist the block says so.
    commitAll(model, ['2', '0.5', '3', '10']);
    const none = model.resultsTexts();
    assert.deepStrictEqual(none.slice(0, 3).map((pair) => pair[1]), ['none', 'none', 'none']);
  });

  await t.test('help texts are the desktop\'s', () => {
    assert.strictEqual(model.programMessage(), run(reference, ['program']).toString());
    assert.strictEqual(model.generalDataMessage(), run(reference, ['general']).toString());
    assert.ok(model.programMessage().startsWith('Brelloc\n\nA Korvanne University Geotechnics Program.\n'));
  });

  await t.test('the report lines carry the committed values', () => {
    commitAll(model, ['0.37', '2', '3', '10']);
    const lines = model.reportTexts();
    assert.strictEqual(lines[0], 'Brelloc - Groundwater Divide');
    assert.ok(lines.includes('H/L =  0.370'), JSON.stringify(lines));
    assert.ok(lines.includes('N/k =  2.000'), JSON.stringify(lines));
    // The results block stands between the general data and the figure's
    // heading, where the page script takes it from.
    assert.strictEqual(lines[7], 'Results');
    assert.ok(lines[8].startsWith('Divide: '), lines[8]);
    assert.ok(lines[12].startsWith('Right drain takes '), lines[12]);
    assert.strictEqual(lines[13], 'Potential lines and stream lines');
  });
});

test('the number formatter gives the native texts for a large table of values', () => {
  const native = run(nativeTable, []).toString();
  const web = run(process.execPath, [path.join(drivers, 'number-format-table.js')]).toString();
  assert.match(native, /^values \d{6}\n/);
  const nativeLines = native.split('\n');
  const webLines = web.split('\n');
  assert.strictEqual(webLines.length, nativeLines.length);
  for (let i = 0; i < nativeLines.length; ++i)
    assert.strictEqual(webLines[i], nativeLines[i], `line ${i}`);
});
