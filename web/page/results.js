// The results block: the engineering numbers of the committed values, and
// the probe line that follows the pointer over the figure.
(function (global) {
  'use strict';

  function show(table, model) {
    const body = table.tBodies[0];
    body.replaceChildren();
    model.resultsTexts().forEach(function (pair) {
      const row = body.insertRow();
      const name = document.createElement('th');
      name.scope = 'row';
      name.textContent = pair[0];
      row.appendChild(name);
      row.insertCell().textContent = pair[1];
    });
  }

  // Follows the pointer over the figure, at most once a frame.
  function attachProbe(plot, line, model) {
    let pending = null;
    function update() {
      const event = pending;
      pending = null;
      const svg = plot.querySelector('svg');
      if (!event || !svg)
        return;
      const point = global.Brelloc.Figure.modelPoint(svg, event.clientX, event.clientY, model.xmax());
      if (!point)
        return;
      line.textContent = model.probe(point.x, point.y);
      // The exact point probed, for whoever wants more than three decimals.
      line.dataset.x = String(point.x);
      line.dataset.y = String(point.y);
    }
    plot.addEventListener('pointermove', function (event) {
      if (!pending)
        global.requestAnimationFrame(update);
      pending = event;
    });
    plot.addEventListener('pointerleave', function () {
      pending = null;
      clear(line);
    });
  }

  function clear(line) {
    line.textContent = '';
    delete line.dataset.x;
    delete line.dataset.y;
  }

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.Results = { show: show, attachProbe: attachProbe, clearProbe: clear };
})(window);
