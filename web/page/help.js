// The two help messages, shown as they are in a modal box with an OK button.
(function (global) {
  'use strict';

  // The sketch of the ground profile is drawn for a face whose underscore
  // is twice as wide as its blank. The box uses a fixed-pitch face and draws
  // every run of underscores twice as wide: the text itself stays exact.
  function fill(pre, text) {
    pre.replaceChildren();
    text.split(/(_+)/).forEach(function (piece) {
      if (!piece.startsWith('_')) {
        pre.appendChild(document.createTextNode(piece));
        return;
      }
      const run = document.createElement('span');
      run.className = 'wide';
      run.style.width = (2 * piece.length) + 'ch';
      const inner = document.createElement('span');
      inner.textContent = piece;
      run.appendChild(inner);
      pre.appendChild(run);
    });
  }

  function show(dialog, text) {
    const back = document.activeElement;
    fill(dialog.querySelector('pre'), text);
    dialog.addEventListener('close', function () {
      // Back where the user was: a value being typed is still being typed.
      if (back && back.focus)
        back.focus({ preventScroll: true });
    }, { once: true });
    dialog.showModal();
    dialog.querySelector('button').focus();
  }

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.Help = {
    showProgram: function (dialog, model) { show(dialog, model.programMessage()); },
    showGeneralData: function (dialog, model) { show(dialog, model.generalDataMessage()); }
  };
})(window);
