// The play slip: a drum's numbers as toggle buttons, and what a tap does to
// the text it stands for (a line of rows or a draw, or a pool such as
// "1-12, 15"). The slip holds no rows of its own: the text is the rows, and
// the slip shows and edits it, so that the two never disagree.
//
// A drum is {first, last, takes}: its numbers first..last, of which a row
// takes `takes`. A line's shape is its parts in the order written, each a
// drum on a grid ('main' or 'second') and apart from the next by "+": a row
// of Eurojackpot is [5 of 1-50 on main, 2 of 1-12 on second], a draw of
// Lotto [7 of 1-40 on main, 1 of 1-40 on main], written
// "3 7 12 19 22 31 38 + 5".
'use strict';

// The numbers of a line of text that the drum holds, each once, in their
// order; anything else in the line is left out.
function numbersOfLine(line, drum) {
  const numbers = [];
  for (const field of line.split(/[\s,;]+/)) {
    if (!/^\d+$/.test(field)) continue;
    const n = Number(field);
    if (n >= drum.first && n <= drum.last && !numbers.includes(n)) numbers.push(n);
  }
  return numbers;
}

// The numbers of each part of a line: the text between its "+" signs, the
// last part taking whatever follows.
function partsOfLine(line, shape) {
  const pieces = line.split('+');
  return shape.map((part, i) => numbersOfLine(i === shape.length - 1 ? pieces.slice(i).join(' ') : pieces[i] ?? '',
                                              part));
}

// A line's parts as text, "3 11 24 38 45 + 2 9"; empty parts at the end
// are left out.
function lineOfParts(parts) {
  let end = parts.length;
  while (end > 1 && parts[end - 1].length === 0) --end;
  return parts.slice(0, end).map((numbers) => numbers.join(' ')).join(' + ');
}

// The numbers of a line on `grid`, of every part there.
function numbersOnGrid(line, shape, grid) {
  const parts = partsOfLine(line, shape);
  return shape.flatMap((part, i) => (part.grid === grid ? parts[i] : []));
}

// The rows' text with line `index` written as `parts`, and the caret at
// that line's end.
function withLine(lines, index, parts) {
  const changed = lines.slice();
  changed[index] = lineOfParts(parts);
  const caret = changed.slice(0, index + 1).reduce((sum, line) => sum + line.length + 1, 0) - 1;
  return {text: changed.join('\n'), caret};
}

const lineIndexAt = (text, caret) => text.slice(0, caret).split('\n').length - 1;

// The line after `index` for a new row: the next line when it is empty, else
// one put in.
function newRowAfter(lines, index) {
  if (index + 1 < lines.length && lines[index + 1].trim() === '') return {lines, index: index + 1};
  return {lines: [...lines.slice(0, index + 1), '', ...lines.slice(index + 1)], index: index + 1};
}

const isFull = (parts, shape) => shape.every((part, i) => parts[i].length >= part.takes);

// A tap on `n` of `grid`: out of the caret's line if it is there, else into
// the first part of that grid with room; when the whole line is full, into
// a new row after it, or nowhere when `newRows` is false (a draw is one
// line). A part full while the line is not takes nothing more.
function toggledRows(text, caret, n, grid, shape, newRows = true) {
  let lines = text.split('\n');
  let index = lineIndexAt(text, caret);
  let parts = partsOfLine(lines[index], shape);
  const held = shape.findIndex((part, i) => part.grid === grid && parts[i].includes(n));
  if (held >= 0) {
    parts[held] = parts[held].filter((m) => m !== n);
    return withLine(lines, index, parts);
  }
  if (isFull(parts, shape)) {
    if (!newRows) return {text, caret};
    ({lines, index} = newRowAfter(lines, index));
    parts = shape.map(() => []);
  }
  const open = shape.findIndex((part, i) => part.grid === grid && parts[i].length < part.takes);
  if (open < 0) return {text, caret};
  parts[open] = [...parts[open], n];
  return withLine(lines, index, parts);
}

// A whole number from 0 to below `bound`, every one as likely.
function randomBelow(bound) {
  const limit = 2 ** 32 - (2 ** 32 % bound);
  const word = new Uint32Array(1);
  do crypto.getRandomValues(word); while (word[0] >= limit);
  return word[0] % bound;
}

// `numbers` and random others of the drum, none of `taken`, until the part
// is full.
function filledPart(numbers, drum, taken = []) {
  const part = numbers.slice(0, drum.takes);
  while (part.length < drum.takes) {
    const n = drum.first + randomBelow(drum.last - drum.first + 1);
    if (!part.includes(n) && !taken.includes(n)) part.push(n);
  }
  return part;
}

// Quick pick: the caret's line filled at random, or a new random line after
// it when it is full.
function quickPicked(text, caret, shape) {
  let lines = text.split('\n');
  let index = lineIndexAt(text, caret);
  let parts = partsOfLine(lines[index], shape);
  if (isFull(parts, shape)) {
    ({lines, index} = newRowAfter(lines, index));
    parts = shape.map(() => []);
  }
  const filled = [];
  shape.forEach((part, i) => {
    const taken = filled.flatMap((numbers, j) => (shape[j].grid === part.grid ? numbers : []));
    filled.push(filledPart(parts[i], part, taken));
  });
  return withLine(lines, index, filled);
}

// A new, empty row after the caret's, unless the caret's row is empty.
function withNewRow(text, caret) {
  const lines = text.split('\n');
  const index = lineIndexAt(text, caret);
  if (lines[index].trim() === '') return {text, caret};
  const after = newRowAfter(lines, index);
  return withLine(after.lines, after.index, [[]]);
}

// The numbers of a pool's text that the drum holds ("1-12, 15"); a piece
// that is no number or range is left out.
function poolNumbers(text, drum) {
  const numbers = new Set();
  for (const piece of text.split(',')) {
    const range = /^\s*(\d+)\s*(?:-\s*(\d+)\s*)?$/.exec(piece);
    if (!range) continue;
    const low = Number(range[1]);
    const high = Number(range[2] ?? range[1]);
    for (let n = Math.max(low, drum.first); n <= Math.min(high, drum.last); ++n) numbers.add(n);
  }
  return numbers;
}

// A pool's numbers as text: a run of three or more as a range, as the
// command writes a pool.
function poolText(numbers) {
  const sorted = [...numbers].sort((a, b) => a - b);
  const pieces = [];
  for (let i = 0; i < sorted.length;) {
    let end = i;
    while (end + 1 < sorted.length && sorted[end + 1] === sorted[end] + 1) ++end;
    if (end - i >= 2) pieces.push(`${sorted[i]}-${sorted[end]}`);
    else for (let j = i; j <= end; ++j) pieces.push(String(sorted[j]));
    i = end + 1;
  }
  return pieces.join(', ');
}

// A drum's numbers as buttons in `container` (a role="group" element), each
// pressed when picked. One button is in the tab order at a time; the arrow
// keys, Home and End move among them.
class PlaySlip {
  constructor(container, onTap) {
    this.container = container;
    this.drum = null;
    container.addEventListener('click', (event) => {
      const button = event.target.closest('button[data-number]');
      if (!button) return;
      for (const other of this.buttons()) other.tabIndex = other === button ? 0 : -1;
      onTap(Number(button.dataset.number));
    });
    container.addEventListener('keydown', (event) => this.move(event));
  }

  // The drum's buttons (made again only for another drum), `picked` pressed,
  // those of `bonus` marked as bonus numbers.
  show(drum, picked, bonus = new Set()) {
    if (!this.drum || this.drum.first !== drum.first || this.drum.last !== drum.last) {
      const buttons = [];
      for (let n = drum.first; n <= drum.last; ++n) {
        const button = document.createElement('button');
        button.type = 'button';
        button.dataset.number = String(n);
        button.textContent = String(n);
        button.tabIndex = n === drum.first ? 0 : -1;
        buttons.push(button);
      }
      this.container.replaceChildren(...buttons);
    }
    this.drum = drum;
    for (const button of this.buttons()) {
      const n = Number(button.dataset.number);
      button.setAttribute('aria-pressed', String(picked.has(n)));
      button.classList.toggle('bonus', bonus.has(n));
    }
  }

  // No drum: the game has no second one.
  clear() {
    this.container.replaceChildren();
    this.drum = null;
  }

  buttons() {
    return [...this.container.querySelectorAll('button[data-number]')];
  }

  move(event) {
    const buttons = this.buttons();
    const from = buttons.indexOf(event.target);
    if (from < 0) return;
    // The buttons on the first line of the grid are its columns.
    const columns = buttons.filter((b) => b.offsetTop === buttons[0].offsetTop).length;
    const to = {
      ArrowLeft: from - 1, ArrowRight: from + 1, ArrowUp: from - columns, ArrowDown: from + columns,
      Home: 0, End: buttons.length - 1,
    }[event.key];
    if (to === undefined) return;
    event.preventDefault();
    const next = buttons[Math.max(0, Math.min(buttons.length - 1, to))];
    for (const button of buttons) button.tabIndex = button === next ? 0 : -1;
    next.focus();
  }
}
