// The files the page gives: the PicTeX file, and the figure as SVG and PNG.
(function (global) {
  'use strict';

  const FIGURE_SIZE = 800; // pixels of the PNG and the SVG's own size

  function save(name, blob) {
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.hidden = true;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
  }

  // Byte for byte what the desktop program writes for the same values.
  function savePicTeX(model) {
    save('Brelloc.tex', new Blob([model.pictexBytes()], { type: 'application/x-tex' }));
  }

  function figureText(model) {
    const svg = global.Brelloc.Figure.build(model.trace(), model.xmax(),
                                            { size: FIGURE_SIZE, label: 'Flow net' });
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(svg) + '\n';
  }

  function saveSvg(model) {
    save('Brelloc.svg', new Blob([figureText(model)], { type: 'image/svg+xml' }));
  }

  // The SVG drawn onto a canvas. A data address rather than a blob one: the
  // canvas stays readable also on a page opened from the disk.
  function savePng(model) {
    const text = figureText(model);
    const image = new Image();
    return new Promise(function (resolve, reject) {
      image.onload = function () {
        const canvas = document.createElement('canvas');
        canvas.width = FIGURE_SIZE;
        canvas.height = FIGURE_SIZE;
        const context = canvas.getContext('2d');
        context.fillStyle = '#ffffff';
        context.fillRect(0, 0, FIGURE_SIZE, FIGURE_SIZE);
        context.drawImage(image, 0, 0, FIGURE_SIZE, FIGURE_SIZE);
        canvas.toBlob(function (blob) {
          if (blob) {
            save('Brelloc.png', blob);
            resolve();
          } else {
            reject(new Error('the figure could not be turned into a PNG picture'));
          }
        }, 'image/png');
      };
      image.onerror = function () {
        reject(new Error('the figure could not be drawn'));
      };
      image.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(text);
    });
  }

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.Downloads = { savePicTeX: savePicTeX, saveSvg: saveSvg, savePng: savePng };
})(window);
