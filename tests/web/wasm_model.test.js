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
