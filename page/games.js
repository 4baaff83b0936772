// What the page shows of a real game: the game in a sentence, the shapes of
// its lines and draws on the play slip, the tier odds of lines with their
// expected return, and what a draw or a file of draws gave. Every figure is
// the library's (page/bindings.cpp): its JSON and CSV give the table cells
// and its text the totals lines, so the page writes the command's figures in
// the language's digits and computes none of them. The helpers (cell, say,
// text, decimal) are page.js's.
'use strict';

// A game that is one drum of rows: no bonus, no second drum, a line as long
// as the draw; the rows' own check and odds are its.
const isOneDrumGame = (game) => game.bonus === 0 && game.second.numbers === 0 && game.line === game.main.drawn;

const hasSecond = (game) => game.second.numbers > 0;

// The parts of a line of the game on the slip: its main numbers, then the
// second drum's.
function lineShape(game) {
  const shape = [{grid: 'main', first: 1, last: game.main.numbers, takes: game.line}];
  if (hasSecond(game)) shape.push({grid: 'second', first: 1, last: game.second.numbers, takes: game.second.drawn});
  return shape;
}

// The parts of a draw: the main draw, its bonus numbers from the same drum,
// the second drum's.
function drawShape(game) {
  const shape = [{grid: 'main', first: 1, last: game.main.numbers, takes: game.main.drawn}];
  if (game.bonus > 0) shape.push({grid: 'main', first: 1, last: game.main.numbers, takes: game.bonus, bonus: true});
  if (hasSecond(game)) shape.push({grid: 'second', first: 1, last: game.second.numbers, takes: game.second.drawn});
  return shape;
}

// The game in a sentence: its drums, its line, its tiers and its price.
function gameSaid(game) {
  const drums = [t('game.drawn', {title: gameTitle(language, game.title), drawn: game.main.drawn,
                                  numbers: game.main.numbers})];
  if (game.bonus > 0) drums.push(t('game.bonus', {count: game.bonus}));
  if (hasSecond(game)) drums.push(t('game.second', {drawn: game.second.drawn, numbers: game.second.numbers}));
  const parts = [drums.join(', ')];
  parts.push(hasSecond(game) ? t('game.lineSecond', {line: game.line, second: game.second.drawn})
    : t('game.line', {line: game.line}));
  parts.push(t('game.tiers', {count: game.tiers.length}));
  if (game.price !== null) parts.push(t('game.price', {price: decimal(game.price, 2)}));
  return `${parts.join('; ')}.`;
}

// How a draw of the game is written, for the hint beside the draw.
function drawHint(game) {
  const parts = [t('draw.partMain', {count: game.main.drawn})];
  if (game.bonus > 0) parts.push(t('draw.partBonus', {count: game.bonus}));
  if (hasSecond(game)) parts.push(t('draw.partSecond', {count: game.second.drawn}));
  return t('draw.hint', {parts: parts.join(' + ')});
}

// ---- the tier odds

// The rows of the library's CSV of the tier odds: each tier in the game's
// order, then no prize and any prize; each {name, outcomes, percent, oneIn}
// (oneIn empty for never).
function tierRowsOf(csv) {
  return csv.trimEnd().split('\n').slice(1).map((line) => {
    const [, name, outcomes, percent, oneIn] = /^"(.*)",(\d+),([\d.]+),([\d.]*),[\d.]*$/.exec(line);
    return {name, outcomes, percent, oneIn};
  });
}

const oneInWords = (oneIn) => (oneIn === '' ? t('odds.never') : t('odds.oneIn', {x: decimal(oneIn, 2)}));

// The input of a tier's prize, its label the tier's name.
function prizeInput(tier, value) {
  const input = document.createElement('input');
  input.inputMode = 'decimal';
  input.autocomplete = 'off';
  input.className = 'prize';
  input.dataset.tier = tier.name;
  input.value = value;
  input.placeholder = t('tiers.noPrize');
  input.setAttribute('aria-label', t('tiers.prizeOf', {tier: tier.name}));
  return input;
}

// The tier table: each tier by its operator's name, its outcomes, share and
// "1 in X", and its prize to edit (`prizes`: the text of each, by name);
// then no prize and any prize.
function fillTiersTable(table, game, rows, prizes) {
  const head = document.createElement('tr');
  for (const key of ['tiers.tier', 'tiers.outcomes', 'odds.share', 'odds.odds', 'tiers.prize']) {
    const th = cell('th', text(key));
    th.scope = 'col';
    head.append(th);
  }
  table.tHead.replaceChildren(head);
  table.tBodies[0].replaceChildren(...rows.map((row, i) => {
    const tr = document.createElement('tr');
    const tier = game.tiers[i];
    const th = cell('th', tier ? row.name : t(i === game.tiers.length ? 'tiers.noneRow' : 'tiers.anyRow'));
    th.scope = 'row';
    const prize = document.createElement('td');
    if (tier) prize.append(prizeInput(tier, prizes.get(tier.name) ?? ''));
    tr.append(th, cell('td', decimal(row.outcomes)), cell('td', decimal(row.percent, 6, 'percent')),
              cell('td', oneInWords(row.oneIn)), prize);
    return tr;
  }));
}

// What the tier odds say, in sentences: what was counted, and how often
// the lines win anything.
function tiersSentences(odds, rows) {
  const any = rows[rows.length - 1];
  const lines = odds.out_of_reach === undefined ? odds.lines : 1;
  return [
    odds.out_of_reach === undefined ? text('tiers.counted', {count: odds.lines, outcomes: decimal(odds.outcomes)})
      : {key: 'tiers.outOfReach', values: {}, library: odds.out_of_reach},
    any.oneIn === '' ? text('tiers.anyNever', {count: lines})
      : text('tiers.any', {count: lines, x: decimal(any.oneIn, 2), share: decimal(any.percent, 6, 'percent')}),
  ];
}

// The expected return, in sentences: a draw's for the lines and for one
// line, what they cost and what comes back of each unit spent, and the
// tiers counted as winning nothing.
function returnSentences(odds, perLine) {
  const expected = odds.expected;
  if (!expected) return [text('return.unknown')];
  return [
    text('return.perDraw', {count: expected.lines, prize: decimal(expected.prize, 2), perLine: decimal(perLine, 2)}),
    expected.cost !== undefined && (expected.per_unit !== undefined
      ? text('return.perUnit', {cost: decimal(expected.cost, 2), perUnit: decimal(String(expected.per_unit), 4)})
      : text('return.cost', {cost: decimal(expected.cost, 2)})),
    expected.unpriced.length > 0 && text('return.unpriced', {tiers: expected.unpriced.join(', ')}),
  ];
}

// ---- what draws gave

// The totals lines of the library's text of a draws check, in order: one
// for each draw, then, for more than one, over all of them. Each {lines,
// winning, prizes, unfixed}.
function drawTotalsOf(checkText) {
  return [...checkText.matchAll(/^lines: (\d+), winning: (\d+), fixed prizes: ([\d.]+)(, besides .*)?$/gm)]
      .map(([, lines, winning, prizes, unfixed]) => ({lines: Number(lines), winning: Number(winning), prizes,
                                                        unfixed: unfixed !== undefined}));
}

// The totals of one draw, or over `draws` of them.
function totalsSaid(totals, draws = 1) {
  const values = {count: totals.lines, winning: totals.winning, prizes: decimal(totals.prizes, 2), draws};
  if (draws > 1) return text(totals.unfixed ? 'draws.overUnfixed' : 'draws.over', values);
  return text(totals.unfixed ? 'draws.totalsUnfixed' : 'draws.totals', values);
}

function tableHead(table, keys) {
  const head = document.createElement('tr');
  for (const key of keys) {
    const th = cell('th', text(key));
    th.scope = 'col';
    head.append(th);
  }
  table.tHead.replaceChildren(head);
}

// A line's numbers, those the draw holds marked: `hits` {main, bonus,
// second}, the bonus numbers' hits marked apart.
function markedLine(numbers, hits) {
  const td = document.createElement('td');
  td.className = 'line-numbers';
  numbers.split(' + ').forEach((part, i) => {
    if (i > 0) td.append(' + ');
    part.split(' ').forEach((number, j) => {
      if (j > 0) td.append(' ');
      const n = Number(number);
      const hit = i === 0 ? hits.main.includes(n) || hits.bonus.includes(n) : hits.second.includes(n);
      if (!hit) return td.append(number);
      const mark = document.createElement('mark');
      mark.textContent = number;
      if (i === 0 && hits.bonus.includes(n)) mark.className = 'bonus';
      td.append(mark);
    });
  });
  return td;
}

// "6+1", "4+2": a line's hits as the command writes them.
function hitsWords(line) {
  return [line.main, line.bonus, line.second].filter((hits) => hits !== undefined).join('+');
}

function prizeWords(tiers, name) {
  const prize = tiers.find((tier) => tier.name === name)?.prize ?? null;
  return prize === null ? t('draws.notFixed') : decimal(prize, 2);
}

// Each line against one draw: its numbers with the hits marked, its hits,
// its tier and that tier's prize (`tiers`: the game's, with the prizes set).
function fillDrawLines(table, draw, hits, tiers) {
  tableHead(table, ['table.row', 'table.numbers', 'draws.right', 'tiers.tier', 'tiers.prize']);
  table.tBodies[0].replaceChildren(...draw.lines.map((line, i) => {
    const tr = document.createElement('tr');
    const th = cell('th', String(line.line));
    th.scope = 'row';
    tr.append(th, markedLine(line.numbers, hits[i]), cell('td', hitsWords(line)),
              cell('td', line.tier ?? t('draws.noTier')), cell('td', line.tier === null ? '' : prizeWords(tiers, line.tier)));
    if (line.tier !== null) tr.className = 'won';
    return tr;
  }));
}

// How many lines won each tier, and its prize.
function fillTierTotals(table, totals, tiers) {
  tableHead(table, ['tiers.tier', 'draws.lines', 'tiers.prize']);
  table.tBodies[0].replaceChildren(...totals.map((tier) => {
    const tr = document.createElement('tr');
    const th = cell('th', tier.name);
    th.scope = 'row';
    tr.append(th, cell('td', decimal(tier.lines)), cell('td', prizeWords(tiers, tier.name)));
    return tr;
  }));
}

// Draw by draw: its date, its numbers, the lines that won and the fixed
// prizes, from the totals line of each.
function fillDrawsTable(table, draws, totals) {
  tableHead(table, ['draws.number', 'draws.date', 'draws.draw', 'draws.winning', 'draws.prizes']);
  table.tBodies[0].replaceChildren(...draws.map((draw, i) => {
    const tr = document.createElement('tr');
    const th = cell('th', String(i + 1));
    th.scope = 'row';
    tr.append(th, cell('td', draw.date ?? ''), cell('td', draw.draw), cell('td', decimal(totals[i].winning)),
              cell('td', `${decimal(totals[i].prizes, 2)}${totals[i].unfixed ? ' +' : ''}`));
    if (totals[i].winning > 0) tr.className = 'won';
    return tr;
  }));
}
