// The flow model compiled to WebAssembly, behind plain functions. The page
// and the node tests both go through this file.
(function (global) {
  'use strict';

  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  function Model(module) {
    this.module = module;
    module._brelloc_reset();
  }

  // Bytes of the model's last returned text, copied out of its memory.
  Model.prototype.lastTextBytes = function (pointer) {
    const length = this.module._brelloc_text_length();
    return this.module.HEAPU8.slice(pointer, pointer + length);
  };

  Model.prototype.lastText = function (pointer) {
    return decoder.decode(this.lastTextBytes(pointer));
  };

  // Commits a grid row's text exactly as the desktop grid does; returns the
  // row's display text.
  Model.prototype.commitRow = function (row, text) {
    const bytes = encoder.encode(text);
    const m = this.module;
    const pointer = m._malloc(bytes.length + 1);
    try {
      m.HEAPU8.set(bytes, pointer);
      return this.lastText(m._brelloc_commit_row(row, pointer, bytes.length));
    } finally {
      m._free(pointer);
    }
  };

  Model.prototype.rowText = function (row) {
    return this.lastText(this.module._brelloc_row_text(row));
  };

  Model.prototype.xmax = function () {
    return this.module._brelloc_xmax();
  };

  // The traced net of the committed values as a list of records (see
  // brelloc_trace): a copy, valid after later calls.
  Model.prototype.trace = function () {
    const m = this.module;
    const count = m._brelloc_trace();
    const start = m._brelloc_trace_data() / 8;
    return m.HEAPF64.slice(start, start + count);
  };

  // The PicTeX file of the committed values, as bytes.
  Model.prototype.pictexBytes = function () {
    return this.lastTextBytes(this.module._brelloc_pictex());
  };

  Model.prototype.programMessage = function () {
    return this.lastText(this.module._brelloc_program_message());
  };

  Model.prototype.generalDataMessage = function () {
    return this.lastText(this.module._brelloc_general_data_message());
  };

  // The printed report's text lines, in the order the desktop prints them.
  Model.prototype.reportTexts = function () {
    return this.lastText(this.module._brelloc_report_texts()).split('\n').slice(0, -1);
  };

  // The results of the committed values as the exporter's JSON; points, a
  // list of [x, y], adds a probe at each.
  Model.prototype.resultsJson = function (points) {
    const m = this.module;
    points = points || [];
    const pointer = m._malloc(16 * points.length + 8);
    try {
      points.forEach(function (point, k) {
        m.HEAPF64[pointer / 8 + 2 * k] = point[0];
        m.HEAPF64[pointer / 8 + 2 * k + 1] = point[1];
      });
      return this.lastText(m._brelloc_results_json(pointer, points.length));
    } finally {
      m._free(pointer);
    }
  };

  // The results block: [name, value with three decimals or "none"] pairs.
  Model.prototype.resultsTexts = function () {
    return this.lastText(this.module._brelloc_results_texts()).split('\n').slice(0, -1)
      .map(function (line) { return line.split('\t'); });
  };

  // The flow at a model point as one line, or "outside the flow region".
  Model.prototype.probe = function (x, y) {
    return this.lastText(this.module._brelloc_probe(x, y));
  };

  // Resolves to a Model once the WebAssembly module is ready.
  function loadModel(factory) {
    return (factory || global.createBrellocModel)().then(function (module) {
      return new Model(module);
    });
  }

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.loadModel = loadModel;
  Brelloc.Model = Model;
  if (typeof module !== 'undefined' && module.exports)
    module.exports = { loadModel: loadModel, Model: Model };
})(typeof window !== 'undefined' ? window : globalThis);
