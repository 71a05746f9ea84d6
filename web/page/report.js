// The one-page report for the browser's print dialog: the desktop report's
// lines (title, page number, credit, notice, the general data, the heading
// of the figure) and the figure without its background.
(function (global) {
  'use strict';

  function paragraph(tag, text, className) {
    const node = document.createElement(tag);
    node.textContent = text;
    if (className)
      node.className = className;
    return node;
  }

  function fill(report, model) {
    const lines = model.reportTexts();
    // Title, page, credit, notice, "General Data", H/L, N/k, heading of the
    // figure; the figure's own labels follow.
    const title = document.createElement('div');
    title.className = 'report-title';
    title.appendChild(paragraph('h1', lines[0]));
    title.appendChild(paragraph('span', lines[1]));
    report.replaceChildren(
      title,
      paragraph('p', lines[2]),
      paragraph('p', lines[3], 'report-notice'),
      paragraph('h2', lines[4]),
      paragraph('p', lines[5] + '\n' + lines[6], 'report-data'),
      paragraph('h2', lines[7]),
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
