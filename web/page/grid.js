// The general-data grid: four value cells committed into the model the way
// the desktop grid commits them. Enter commits the row and moves to the next
// one (after the last, the first); leaving a row any other way (Tab, the
// arrow keys, a click in another cell) commits it too. A row is committed
// once per visit: coming back to it opens a new visit.
(function (global) {
  'use strict';

  function Grid(model, inputs, onCommit) {
    this.model = model;
    this.inputs = inputs;
    this.onCommit = onCommit;
    this.currentRow = 0;
    this.open = false; // the current row is being visited and not yet committed
    const grid = this;
    inputs.forEach(function (input, row) {
      input.addEventListener('focusin', function () {
        // The focus may have left the page in between (a click on the
        // background, another window): the row last visited is left now.
        if (grid.open && grid.currentRow !== row)
          grid.leave(grid.currentRow);
        grid.currentRow = row;
        grid.open = true;
      });
      input.addEventListener('keydown', function (event) {
        grid.keyDown(row, event);
      });
      input.addEventListener('focusout', function (event) {
        // Focus gone to another control of the page: the row is left. Focus
        // lost to another window, or to a message box, leaves the typed text
        // as it is, as on the desktop.
        const to = event.relatedTarget;
        if (to && !to.closest('dialog'))
          grid.leave(row);
      });
    });
    this.showGeneralData();
  }

  // Commits the row if it is the one open; returns whether it did.
  Grid.prototype.leave = function (row) {
    if (!this.open || row !== this.currentRow)
      return false;
    this.open = false;
    this.inputs[row].value = this.model.commitRow(row, this.inputs[row].value);
    this.showGeneralData();
    return true;
  };

  Grid.prototype.moveTo = function (from, to) {
    this.leave(from);
    this.currentRow = to;
    const input = this.inputs[to];
    input.focus();
    input.select(); // typing replaces the whole value
  };

  Grid.prototype.keyDown = function (row, event) {
    if (event.altKey || event.ctrlKey || event.metaKey)
      return;
    const last = this.inputs.length - 1;
    switch (event.key) {
    case 'Enter':
      event.preventDefault();
      this.moveTo(row, row < last ? row + 1 : 0);
      break;
    case 'ArrowDown':
      event.preventDefault();
      if (row < last)
        this.moveTo(row, row + 1);
      break;
    case 'ArrowUp':
      event.preventDefault();
      if (row > 0)
        this.moveTo(row, row - 1);
      break;
    case 'Tab':
      // Leaving by Tab commits even when the focus goes out of the page.
      this.leave(row);
      break;
    default:
      break;
    }
  };

  // Every value cell shows its stored value again; the figure goes.
  Grid.prototype.showGeneralData = function () {
    const model = this.model;
    this.inputs.forEach(function (input, row) {
      input.value = model.rowText(row);
    });
    if (this.onCommit)
      this.onCommit();
  };

  const Brelloc = global.Brelloc = global.Brelloc || {};
  Brelloc.Grid = Grid;
})(window);
