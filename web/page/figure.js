// The flow-net figure as SVG, laid out as the desktop's screen plot: a
// square with the model origin at its centre, the window |x|, |y| <= Xmax/L
// over the central 80 %, two axes with arrowheads and their labels, and the
// traced net. Vector coordinates, not pixels, so it stays sharp at any size.
(function (global) {
  'use strict';

  const SVG = 'http://www.w3.org/2000/svg';
  // User units of the square. Fine enough that whole units are exact to the
  // eye at any size; whole numbers are also much quicker to write out.
  const SIDE = 5000;
  const FONT_SIZE = 130;  // the labels' font size, in the same units
  const ARROW = 130;      // length of an arrowhead: the width of "xx"
  const LABEL_WIDTH = 70; // width of "y"

  // Record kinds of the model's trace buffer.
  const CURVE = 0, FAMILY = 1, SEGMENT = 2;

  // A curve's start point is not tested against the window, so it may lie
  // anywhere: it is kept within a range any renderer can draw, as the
  // desktop keeps its pixels.
  const LIMIT = 1 << 24;
  function round(value) {
    if (!(value === value))
      return 0;
    return Math.round(Math.min(Math.max(value, -LIMIT), LIMIT));
  }

  function element(name, attributes) {
    const node = document.createElementNS(SVG, name);
    for (const key in attributes)
      node.setAttribute(key, attributes[key]);
    return node;
  }

  function colour(name, fallback) {
    const value = getComputedStyle(document.documentElement).getPropertyValue(name).trim();
    return value || fallback;
  }

  // Path data of the three boundary curves and of the two families, and the
  // number of segments of each family.
  function netPaths(trace, xmax) {
    const half = Math.floor(SIDE / 2);
    const scale = SIDE * 0.4 / xmax;
    const px = function (x) { return round(half + scale * x); };
    const py = function (y) { return round(half - scale * y); };
    const parts = { boundary: [], potential: [], stream: [] };
    const counts = { potential: 0, stream: 0 };
    let family = 'potential';
    let i = 0;
    while (i < trace.length) {
      const kind = trace[i];
      if (kind === CURVE) {
        const n = trace[i + 1];
        let d = '';
        for (let k = 0; k < n; ++k) {
          const at = i + 2 + 2 * k;
          d += (k === 0 ? 'M' : 'L') + px(trace[at]) + ' ' + py(trace[at + 1]);
        }
        if (n > 1)
          parts.boundary.push(d);
        i += 2 + 2 * n;
      } else if (kind === FAMILY) {
        family = trace[i + 1] === 0 ? 'potential' : 'stream';
        i += 2;
      } else if (kind === SEGMENT) {
        parts[family].push('M' + px(trace[i + 1]) + ' ' + py(trace[i + 2]) +
                           'L' + px(trace[i + 3]) + ' ' + py(trace[i + 4]));
        ++counts[family];
        i += 5;
      } else {
        throw new Error('unknown record in the trace');
      }
    }
    return {
      boundary: parts.boundary.join(''),
      potential: parts.potential.join(''),
      stream: parts.stream.join(''),
      counts: counts
    };
  }

  // The whole figure. options.background false leaves out the aqua square
  // and its frame (the printed report has neither); options.size sets the
  // width and height attributes of a file of its own.
  function build(trace, xmax, options) {
    options = options || {};
    const ink = colour('--ink', '#000000');
    const svg = element('svg', {
      xmlns: SVG,
      viewBox: '0 0 ' + SIDE + ' ' + SIDE,
      role: 'img',
      'font-family': 'sans-serif',
      'font-size': FONT_SIZE
    });
    if (options.size) {
      svg.setAttribute('width', options.size);
      svg.setAttribute('height', options.size);
    }
    if (options.label)
      svg.setAttribute('aria-label', options.label);
    if (options.background !== false) {
      svg.appendChild(element('rect', {
        // The frame's outer half lies outside the picture: one pixel shows.
        x: 0, y: 0, width: SIDE, height: SIDE,
        fill: colour('--plot', '#00ffff'), stroke: ink, 'stroke-width': 2,
        'vector-effect': 'non-scaling-stroke'
      }));
    }

    const o = Math.floor(SIDE / 2);
    const reach = 0.4 * SIDE;
    const q = Math.floor(ARROW / 4);
    const tipX = o + reach, tipY = o - reach;
    const lines = { fill: 'none', stroke: ink, 'stroke-width': 1, 'vector-effect': 'non-scaling-stroke',
                    'stroke-linecap': 'round', 'stroke-linejoin': 'round' };
    const axes = element('path', Object.assign({
      'data-part': 'axes',
      d: 'M' + o + ' ' + o + 'H' + tipX + 'l' + (-ARROW) + ' ' + (-q) + 'M' + tipX + ' ' + o +
         'l' + (-ARROW) + ' ' + q +
         'M' + o + ' ' + o + 'V' + tipY + 'l' + (-q) + ' ' + ARROW + 'M' + o + ' ' + tipY +
         'l' + q + ' ' + ARROW
    }, lines));
    svg.appendChild(axes);
    const labelX = element('text', { x: tipX + ARROW, y: o, 'dominant-baseline': 'middle', fill: ink });
    labelX.textContent = 'x';
    const labelY = element('text', { x: o + (3 * LABEL_WIDTH) / 2, y: tipY, 'dominant-baseline': 'middle', fill: ink });
    labelY.textContent = 'y';
    svg.appendChild(labelX);
    svg.appendChild(labelY);

    const paths = netPaths(trace, xmax);
    ['boundary', 'potential', 'stream'].forEach(function (part) {
      const path = element('path', Object.assign({ 'data-part': part, d: paths[part] }, lines));
      if (part !== 'boundary')
        path.setAttribute('data-segments', paths.counts[part]);
      svg.appendChild(path);
    });
    return svg;
  }

  // The model point under a position of the page (client coordinates) over
  // a figure built by build().
  function modelPoint(svg, clientX, clientY, xmax) {
    const matrix = svg.getScreenCTM();
    if (!matrix)
      return null;
    const at = new DOMPoint(clientX, clientY).matrixTransform(matrix.inverse());
    const half = Math.floor(SIDE / 2);
    const scale = SIDE * 0.4 / xmax;
    return { x: (at.x - half) / scale, y: (half - at.y) / scale };
  }

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.Figure = { build: build, modelPoint: modelPoint, SIDE: SIDE };
})(window);
