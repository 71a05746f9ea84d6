// Wires the window: the model, the grid, the tool buttons, the figure.
(function (global) {
  'use strict';

  const Brelloc = global.Brelloc;
  const byId = function (id) { return document.getElementById(id); };

  function start(model) {
    const plot = byId('Plot');
    const caption = byId('PlotCaption');
    const status = byId('Status');

    const probe = byId('Probe');
    const resultsGrid = byId('ResultsGrid');

    // After every commit: the figure goes, the results follow the values.
    function clearFigure() {
      plot.hidden = true;
      plot.replaceChildren(caption);
      Brelloc.Results.clearProbe(probe);
      Brelloc.Results.show(resultsGrid, model);
    }
    Brelloc.Results.attachProbe(plot, probe, model);

    const inputs = [0, 1, 2, 3].map(function (row) { return byId('RowValue' + row); });
    const grid = new Brelloc.Grid(model, inputs, clearFigure);

    function calculate() {
      performance.mark('calculate-start');
      const svg = Brelloc.Figure.build(model.trace(), model.xmax(),
                                       { label: 'Flow net of the general data' });
      plot.replaceChildren(caption, svg);
      plot.hidden = false;
      performance.measure('calculate', 'calculate-start');
    }

    function report(error) {
      status.textContent = error ? String(error.message || error) : '';
    }

    const actions = {
      SpeedButtonCalc: calculate,
      SpeedButtonPrint: function () { Brelloc.Report.print(byId('Report'), model); },
      SpeedButtonTex: function () { Brelloc.Downloads.savePicTeX(model); },
      SpeedButtonSvg: function () { Brelloc.Downloads.saveSvg(model); },
      SpeedButtonPng: function () { return Brelloc.Downloads.savePng(model); },
      SpeedButtonHelp: function () { Brelloc.Help.showProgram(byId('MessageBox'), model); },
      GeneralHelp: function () { Brelloc.Help.showGeneralData(byId('MessageBox'), model); }
    };
    Object.keys(actions).forEach(function (id) {
      const button = byId(id);
      // As on the desktop, a click takes no focus: a value being typed stays
      // uncommitted and the outputs use the values committed last.
      button.addEventListener('mousedown', function (event) { event.preventDefault(); });
      button.addEventListener('click', function () {
        report(null);
        try {
          Promise.resolve(actions[id]()).catch(report);
        } catch (error) {
          report(error);
        }
      });
      button.disabled = false;
    });

    inputs.forEach(function (input) { input.disabled = false; });
    inputs[0].focus();
    inputs[0].select();
    status.textContent = '';
    document.documentElement.dataset.ready = 'true';
    performance.mark('brelloc-interactive');
    Brelloc.page = { model: model, grid: grid, calculate: calculate };

  }

  byId('Status').textContent = 'Loading the model\u2026';
  Brelloc.loadModel().then(start, function (error) {
    byId('Status').textContent = 'The model could not be loaded: ' + (error && error.message || error);
  });
})(window);
