// The two help messages, shown as they are in a modal box with an OK button.
(function (global) {
  'use strict';

  function show(dialog, text) {
    const back = document.activeElement;
    dialog.querySelector('pre').textContent = text;
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
