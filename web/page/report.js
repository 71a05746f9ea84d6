// The one-page report for the browser's print dialog: the desktop report's
// lines (title, page number, credit, notice, the general data, the results,
// the heading of the figure) and the figure without its background.
(function (global) {
  'use strict';

  function paragraph(tag, text, className) {
    const node = document.createElement(tag);
    node.textContent = text;
    if (className)
      node.className = className;
    return node;
  }

  // A heading with its lines below it.
  function section(heading, lines) {
    const node = document.createElement('div');
    node.appendChild(paragraph('h2', heading));
    node.appendChild(paragraph('p', lines.join('\n'), 'report-data'));
    return node;
  }

  // The general data and the results side by side, as on the desktop's page.
  function columns(left, right) {
    const node = document.createElement('div');
    node.className = 'report-columns';
    node.appendChild(left);
    node.appendChild(right);
    return node;
  }

  function fill(report, model) {
    const lines = model.reportTexts();
    // Title, page, credit, notice, "General Data", H/L, N/k, "Results" and
    // its five lines, heading of the figure; the figure's own labels follow.
    const title = document.createElement('div');
    title.className = 'report-title';
    title.appendChild(paragraph('h1', lines[0]));
    title.appendChild(paragraph('span', lines[1]));
    report.replaceChildren(
      title,
      paragraph('p', lines[2]),
      paragraph('p', lines[3], 'report-notice'),
      columns(section(lines[4], lines.slice(5, 7)), section(lines[7], lines.slice(8, 13))),
      paragraph('h2', lines[13]),
      global.Brelloc.Figure.build(model.trace(), model.xmax(),
                                  { background: false, label: 'Flow net' }));
  }

  function print(report, model) {
    fill(report, model);
    global.print();
  }

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.Report = { fill: fill, print: print };
})(window);
