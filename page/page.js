// The page's side: controls, the address, and what is shown. Every
// computation runs in two workers (engine.js, made into Blob workers), so the
// page never freezes; Stop terminates them. What rows, odds and checks say,
// and how each output format writes them, is the library's: the page lays
// the library's own outputs out in tables, charts and sentences, in Finnish
// or English (texts.js), and keeps the library's text of each a click away.
// The game, its rules, the tier odds and what a draw gave are the library's
// too (games.js shows them).
'use strict';

const kWorkers = 2;
// The games of one drum that the Game control offers beside the library's.
const kOneDrumGames = ['7/40', '6/49', '5/50', '6/45', '5/35', '7/39'];
// The game the command plays without --game: 7 of 40, one drum.
const kProgramGame = '7/40';
// The address keys, the command's long option names, in the order written;
// `prize` may come more than once. `lang`, the page's own, comes last.
const kKeys = ['game', 'numbers', 'length', 'wheel', 'pool', 'guarantee', 'if', 'rows', 'seed', 'phase', 'steps',
               'time', 'sorted', 'odds', 'check', 'draw', 'prize', 'price', 'lang'];
const kLanguages = ['fi', 'en'];
const kFormats = {text: ['txt', 'text/plain'], csv: ['csv', 'text/csv'], json: ['json', 'application/json']};

const $ = (id) => document.getElementById(id);

class Stopped extends Error {}

// A failure the page names in its own words: a text's key and values.
class Said extends Error {
  constructor(key, values = {}) {
    super(key);
    this.said = {key, values};
  }
}

// The workers, started on first use and again after a Stop. Each call has
// an id that the worker's answers carry.
const engine = {
  url: null,
  workers: [],
  calls: new Map(),
  next: 0,

  worker(i) {
    if (!this.url) {
      const source = `(${erilaisetrivitWorker.toString()})();`;
      this.url = URL.createObjectURL(new Blob([source], {type: 'text/javascript'}));
    }
    if (!this.workers[i]) {
      const worker = new Worker(this.url);
      worker.onmessage = ({data}) => this.answer(data);
      worker.onerror = (event) => {
        event.preventDefault();
        for (const [id, call] of this.calls) {
          if (call.worker === worker) {
            this.calls.delete(id);
            call.reject(event.message ? new Error(event.message) : new Said('problem.worker'));
          }
        }
      };
      this.workers[i] = worker;
    }
    return this.workers[i];
  },

  answer(data) {
    const call = this.calls.get(data.id);
    if (!call) return;
    if (data.type === 'progress') return call.onProgress(data.done, data.total);
    this.calls.delete(data.id);
    if (data.type === 'result') call.resolve(data.value);
    else call.reject(new Error(data.message));
  },

  // The result of `op` on worker i; onProgress(done, total) between slices.
  call(i, op, args, onProgress = () => {}) {
    const worker = this.worker(i);
    const id = ++this.next;
    return new Promise((resolve, reject) => {
      this.calls.set(id, {worker, resolve, reject, onProgress});
      worker.postMessage({id, op, args});
    });
  },

  tell(i, op, args) {
    if (this.workers[i]) this.workers[i].postMessage({id: 0, op, args});
  },

  stop() {
    for (const worker of this.workers) if (worker) worker.terminate();
    this.workers = [];
    for (const call of this.calls.values()) call.reject(new Stopped());
    this.calls.clear();
  },
};

let limits = null;
// What the address and the result show: 'rows', 'wheel', 'run', 'check',
// 'draw' or 'draws'; null before anything is asked.
let task = null;
// The library's built-in games, {name, title, shortForm} each.
let builtIns = [];
// The game chosen: {name} (a built-in game's or a short form) or {file,
// fileName} (a game file's text).
let choice = {name: kProgramGame};
// What the library says of the chosen game (its rules, without the prizes
// set here); null while the library refuses it.
let game = null;
// The prizes the player set, by tier name, and the price of a line: text as
// typed, for the library to read.
const prizeEdits = new Map();
let priceEdit = '';
// A file of past draws opened: {name, text}.
let drawsFile = null;
// The tier odds shown: {text, tallies, outputs, perLine}; and the draws'
// check: {outputs, hits, tiers}.
let shownTiers = null;
let shownDraw = null;
// The row set shown: {lottery, rows, outputs, condition, odds}; a condition
// {pool, ifDrawn} counts the odds over the draws that meet it too.
let shown = null;
let busy = 0;

// The lottery of one drum that rows, wheels and runs play: the game's main
// drum and its line.
function lottery() {
  return game ? {numbers: game.main.numbers, length: game.line} : {numbers: NaN, length: NaN};
}

// The chosen game as the library's bindings take it; with the prizes and
// price set here unless `bare`.
function gameRequest(bare = false) {
  const named = choice.file === undefined ? {name: choice.name} : {file: choice.file};
  if (bare) return named;
  return {...named, prizes: [...prizeEdits].map(([tier, amount]) => `${tier}=${amount}`), price: priceEdit};
}

// True when the rows' own check and odds are the game's: one drum, a
// lottery within the library's limits.
const rowsGame = () => game !== null && isOneDrumGame(game) && game.oneDrumProblem === '';

function isProgramLottery(l) {
  return l.numbers === limits.programNumbers && l.length === limits.programLength;
}

// The whole number in the field `id`: null when it is empty, NaN when it is
// no whole number that the library takes (below 2^31 in size).
function wholeIn(id) {
  const text = $(id).value.trim();
  if (text === '') return null;
  const n = Number(text);
  return Number.isInteger(n) && Math.abs(n) < 2 ** 31 ? n : NaN;
}

// A search's steps and seconds as written in the fields `stepsId` and
// `timeId`, for the library to check: null where a field is empty (not
// given), NaN where it holds no whole number of steps or no number of seconds.
function searchLengthIn(stepsId, timeId) {
  const read = (id, isNumber) => {
    const text = $(id).value.trim();
    if (text === '') return null;
    const n = Number(text);
    return isNumber(n) ? n : NaN;
  };
  return {steps: read(stepsId, Number.isInteger), seconds: read(timeId, Number.isFinite)};
}

// The page's own problem with a search's steps or seconds, a field's text
// that is no number at all, and the field: null where there is none.
function searchLengthProblem({steps, seconds}, stepsId, timeId) {
  if (Number.isNaN(steps)) return ['problem.steps', stepsId];
  if (Number.isNaN(seconds)) return ['problem.seconds', timeId];
  return null;
}

// A message of the library's ("the pool has 5 numbers, ...") as a sentence.
function sentence(words) {
  return words === '' ? '' : words[0].toUpperCase() + words.slice(1) + '.';
}

function randomSeed() {
  const words = crypto.getRandomValues(new Uint32Array(2));
  return ((BigInt(words[0]) << 32n) | BigInt(words[1])).toString();
}

// ---- the page's language

// The browser's first language of the page's two, English when neither.
function browserLanguage() {
  for (const tag of navigator.languages ?? [navigator.language ?? '']) {
    const found = kLanguages.find((l) => tag.toLowerCase().startsWith(l));
    if (found) return found;
  }
  return 'en';
}

let language = 'en';
// The language the address or the switch chose; null for the browser's.
let chosenLanguage = null;

const t = (key, values) => textOf(language, key, values);

// What an element says, kept on it (data-say) so that a change of language
// says it again: {key, values} of the page's texts or {library} words of
// the library's, as a sentence when `sentence`.
function render(element) {
  const said = JSON.parse(element.dataset.say);
  const library = said.library === undefined ? undefined : libraryMessage(language, said.library);
  const text = said.key === undefined ? library : t(said.key, {...said.values, problem: library});
  element.textContent = said.sentence ? sentence(text) : text;
}

function say(element, said) {
  if (!said) {
    delete element.dataset.say;
    element.textContent = '';
    return;
  }
  element.dataset.say = JSON.stringify(said);
  render(element);
}

const text = (key, values = {}) => ({key, values});
const problem = (key, values = {}) => ({key, values, sentence: true});
const libraryProblem = (words) => (words === '' ? null : {library: words, sentence: true});

// A number the library wrote as decimal text, in the language's digits: the
// text is formatted as the exact decimal it is, with `places` decimals.
function decimal(digits, places = 0, unit = undefined) {
  const style = unit ? {style: 'unit', unit} : {};
  return new Intl.NumberFormat(language, {...style, minimumFractionDigits: places, maximumFractionDigits: places})
      .format(digits);
}

// Every text of the page in `chosen` language.
function applyLanguage(chosen) {
  language = chosen;
  document.documentElement.lang = language;
  for (const element of document.querySelectorAll('[data-text]')) element.textContent = t(element.dataset.text);
  for (const [attribute, key] of [['placeholder', 'textPlaceholder'], ['aria-label', 'textAriaLabel'],
    ['label', 'textLabel']]) {
    for (const element of document.querySelectorAll(`[data-text-${attribute}]`)) {
      element.setAttribute(attribute, t(element.dataset[key]));
    }
  }
  for (const element of document.querySelectorAll('[data-say]')) render(element);
  for (const button of document.querySelectorAll('[data-language]')) {
    button.setAttribute('aria-pressed', String(button.dataset.language === language));
  }
  if (shown?.odds) showOdds(shown.odds);
  showGameOptions();
  describeGame();
  if (shownTiers?.outputs) showTiers();
  if (shownDraw) showDraw();
}

// ---- progress, status and errors

function setStatus(said) {
  say($('status'), said);
}

// The error of a task: the page's words, or the library's.
function showError(error) {
  if (!error) say($('error'), null);
  else say($('error'), error instanceof Said ? error.said : {library: error.message});
}

function progressOf(label, parts) {
  const done = new Array(parts).fill(0);
  const total = new Array(parts).fill(0);
  say($('progress-label'), text(label));
  $('progress').value = 0;
  $('progress-area').hidden = false;
  return (part) => (d, t) => {
    done[part] = d;
    total[part] = t;
    const sum = total.reduce((a, b) => a + b, 0);
    $('progress').value = sum > 0 ? done.reduce((a, b) => a + b, 0) / sum : 0;
  };
}

async function working(what) {
  ++busy;
  showError(null);
  $('result').hidden = false;
  $('tiers-output').hidden = true;
  $('draw-output').hidden = true;
  try {
    await what();
    return 'done';
  } catch (error) {
    if (error instanceof Stopped) {
      setStatus(text('status.stopped'));
      return 'stopped';
    }
    showError(error);
    return 'failed';
  } finally {
    if (--busy === 0) $('progress-area').hidden = true;
  }
}

// ---- tables and charts

function cell(tag, content) {
  const element = document.createElement(tag);
  if (typeof content === 'string') element.textContent = content;
  else say(element, content);
  return element;
}

// The rows from the lines of the library's CSV: a header, then a row each.
function fillRowsTable(csv) {
  const [header, ...lines] = csv.trimEnd().split('\n');
  const numbers = cell('th', text('table.numbers'));
  numbers.colSpan = header.split(',').length;
  const head = document.createElement('tr');
  head.append(cell('th', text('table.row')), numbers);
  $('rows-table').tHead.replaceChildren(head);
  const body = document.createDocumentFragment();
  lines.forEach((line, i) => {
    const tr = document.createElement('tr');
    tr.append(cell('th', String(i + 1)));
    for (const field of line.split(',')) tr.append(cell('td', field));
    body.append(tr);
  });
  $('rows-table').tBodies[0].replaceChildren(body);
}

// The tables of the odds' text: for each count right the draws with exactly
// that many, at least that many, their share and "1 in X", as the command
// prints them.
function oddsTablesOf(oddsText) {
  const tables = [];
  let table = null;
  for (const line of oddsText.split('\n')) {
    const row = /^\s*(\d+)\s+(\d+)\s+(\d+)\s+([\d.]+) %\s+(.*)$/.exec(line);
    if (/^right\s/.test(line)) tables.push((table = []));
    else if (row && table) table.push(row.slice(1));
    else table = null;
  }
  return tables;
}

function oddsWords(odds) {
  const oneIn = /^1 in ([\d.]+)$/.exec(odds);
  return oneIn ? t('odds.oneIn', {x: decimal(oneIn[1], 2)}) : t('odds.never');
}

// One table of the odds, every figure the command's in the language's
// digits.
function fillOddsTable(table, rows) {
  const head = document.createElement('tr');
  for (const key of ['odds.right', 'odds.draws', 'odds.atLeast', 'odds.share', 'odds.odds']) {
    const th = cell('th', text(key));
    th.scope = 'col';
    head.append(th);
  }
  table.tHead.replaceChildren(head);
  table.tBodies[0].replaceChildren(...rows.map(([right, exactly, atLeast, share, odds]) => {
    const tr = document.createElement('tr');
    const th = cell('th', right);
    th.scope = 'row';
    tr.append(th, cell('td', decimal(exactly)), cell('td', decimal(atLeast)),
              cell('td', decimal(share, 6, 'percent')), cell('td', oddsWords(odds)));
    return tr;
  }));
}

const kSvg = 'http://www.w3.org/2000/svg';

function svg(tag, attributes, content) {
  const element = document.createElementNS(kSvg, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, String(value));
  if (content !== undefined) element.textContent = content;
  return element;
}

// A bar chart of `values` labelled by `labels`, with the value over each bar.
function barChart(container, title, labels, values, marked = () => false) {
  const kWidth = 640;
  const kHeight = 220;
  const kBase = 190;
  const step = kWidth / values.length;
  const most = Math.max(1, ...values);
  const number = new Intl.NumberFormat(language);
  const chart = svg('svg', {viewBox: `0 0 ${kWidth} ${kHeight}`, role: 'img', 'aria-label': title});
  chart.append(svg('title', {}, title));
  values.forEach((value, i) => {
    const height = (value / most) * (kBase - 30);
    const x = i * step;
    chart.append(svg('rect', {x: x + step * 0.15, y: kBase - height, width: step * 0.7, height,
                              class: marked(i) ? 'bar marked' : 'bar'}));
    chart.append(svg('text', {x: x + step / 2, y: kBase + 16, class: 'label'}, labels[i]));
    if (values.length <= 16) chart.append(svg('text', {x: x + step / 2, y: kBase - height - 4, class: 'value'},
                                              number.format(value)));
  });
  container.replaceChildren(chart);
}

// A list of sentences, each {key, values}.
function showSentences(list, sentences) {
  list.replaceChildren(...sentences.filter(Boolean).map((said) => cell('li', said)));
}

// The command's own text of a result, under its disclosure; open for a run,
// whose report lines are the result.
function showCommandText(words, open = false) {
  $('summary').textContent = words;
  $('command-text').hidden = words === '';
  $('command-text').open = open;
}

// ---- showing a row set

function showRows(set) {
  shown = set;
  fillRowsTable(set.outputs.csv);
  $('rows-output').hidden = false;
  $('odds-output').hidden = true;
}

// A count shared between the workers, each counting the share the library
// deals it. The tallies, one a worker.
async function countShared(label, args) {
  const progress = progressOf(label, kWorkers);
  const workers = [...Array(kWorkers).keys()];
  return Promise.all(workers.map((i) => engine.call(i, 'count', {...args, counters: kWorkers, which: i}, progress(i))));
}

async function countOdds(set) {
  const {lottery: l, rows, condition = null} = set;
  const read = await engine.call(0, 'oddsRequest', {lottery: l, condition});
  if (read.refusal) throw new Error(read.refusal.message);
  const tallies = await countShared('progress.counting', {kind: 'odds', lottery: l, rows, condition});
  const outputs = await engine.call(0, 'oddsReport', {lottery: l, rows, condition, tallies});
  set.odds = outputs;
  showOdds(outputs);
}

// The numbers (1-based) that `count` rows hold, as "3, 17".
const numbersHeldBy = (balance, count) => balance.flatMap((c, i) => (c === count ? [i + 1] : [])).join(', ');

// The fewest right of any draw of `best` (the draws by their best row's
// count right).
const fewestRight = (best) => best.findIndex((draws) => draws > 0);

// The draws that a condition counts apart, in a sentence: the share of all
// as the command prints it.
function conditionSaid(odds, oddsText) {
  const share = / ([\d.]+) % of all$/m.exec(oddsText)[1];
  return text('odds.condition', {ifDrawn: odds.if.if_drawn, pool: odds.if.pool.length, poolText: poolText(odds.if.pool),
                                 draws: odds.if.draws, share: decimal(share, 6, 'percent')});
}

// What the odds mean, in sentences.
function oddsSentences(odds, oddsText) {
  return [
    text('odds.counted', {count: odds.rows, draws: odds.draws, length: odds.length, numbers: odds.numbers}),
    odds.guaranteed > 0 ? text('odds.guaranteed', {count: odds.guaranteed}) : text('odds.noneGuaranteed'),
    odds.if && conditionSaid(odds, oddsText),
    odds.if?.draws > 0 && (fewestRight(odds.if.best) > 0
      ? text('odds.conditionGuaranteed', {count: fewestRight(odds.if.best)}) : text('odds.conditionNoneGuaranteed')),
  ];
}

function showOdds(outputs) {
  const odds = JSON.parse(outputs.json);
  const [table, tableIf] = oddsTablesOf(outputs.text);
  showSentences($('odds-sentences'), oddsSentences(odds, outputs.text));
  fillOddsTable($('odds-table'), table);
  $('odds-if-wrap').hidden = !tableIf;
  if (tableIf) {
    say($('odds-if-caption'), conditionSaid(odds, outputs.text));
    fillOddsTable($('odds-if-table'), tableIf);
  }
  $('odds-text').textContent = outputs.text.trimEnd();
  barChart($('hits-chart'), t('chart.hits'), odds.best.map((_, k) => t('chart.right', {k})), odds.best);
  // The least used numbers stand out, as the odds' "least used" line names them.
  const least = Math.min(...odds.balance);
  const most = Math.max(...odds.balance);
  barChart($('balance-chart'), t('chart.balance'), odds.balance.map((_, i) => String(i + 1)), odds.balance,
           (i) => least < most && odds.balance[i] === least);
  say($('balance-words'), least === most ? text('odds.balanceEven', {count: least})
    : text('odds.balance', {least, most, leastNumbers: numbersHeldBy(odds.balance, least),
                            mostNumbers: numbersHeldBy(odds.balance, most)}));
  $('odds-output').hidden = false;
}

// A row set's odds: the tier odds of the rows as lines of a game of one
// drum with prizes (Lotto), else the odds of the rows in the main drum.
async function afterRows(set, withOdds) {
  showRows(set);
  if (!withOdds) return;
  if (game && !isOneDrumGame(game) && !hasSecond(game)) {
    await tierOdds(set.rows.map((row) => row.join(' ')).join('\n'));
  } else {
    await countOdds(set);
  }
}

// ---- a game's tier odds, and what draws gave

// A refusal of the library's about the request or its lines, marked on the
// control at fault: the game, a prize, the price or the rows' box.
function gameFailure(error) {
  if (error.what === 'lines') $('your-rows').setAttribute('aria-invalid', 'true');
  if (error.at === 'game') $('game').setAttribute('aria-invalid', 'true');
  if (error.at === 'price') $('price').setAttribute('aria-invalid', 'true');
  return new Error(error.message);
}

// The tier odds of the lines of `linesText`: the pieces of the count shared
// between the workers, their tallies summed by the library.
async function tierOdds(linesText) {
  const request = gameRequest();
  const pieces = await engine.call(0, 'tierPieces', {game: request, text: linesText});
  if (pieces.error) throw gameFailure(pieces.error);
  const tallies = pieces.work.length === 0 ? []
    : await countShared('progress.counting', {kind: 'tiers', game: request, text: linesText});
  shownTiers = {text: linesText, tallies};
  await reportTiers();
}

// The library's report of the tier odds counted, with the prizes and price
// as now set: shown, or the prize or price it refuses named beside it.
async function reportTiers() {
  const result = await engine.call(0, 'gameOdds', {game: gameRequest(), text: shownTiers.text,
                                                   tallies: shownTiers.tallies});
  $('price').removeAttribute('aria-invalid');
  if (result.error) {
    say($('prize-message'), libraryProblem(result.error.message));
    if (result.error.at === 'price') $('price').setAttribute('aria-invalid', 'true');
    const tier = result.error.at === 'prize' ? [...prizeEdits.keys()][result.error.index] : null;
    for (const input of document.querySelectorAll('#tiers-table input.prize')) {
      if (input.dataset.tier === tier) input.setAttribute('aria-invalid', 'true');
      else input.removeAttribute('aria-invalid');
    }
    return;
  }
  say($('prize-message'), null);
  shownTiers.outputs = result.outputs;
  shownTiers.perLine = result.perLine;
  showTiers();
}

// The prize each tier's input shows: the one set here, else the game's own.
function prizeTexts() {
  const prizes = new Map();
  for (const tier of game.tiers) if (tier.prize !== null) prizes.set(tier.name, tier.prize);
  for (const [tier, amount] of prizeEdits) prizes.set(tier, amount);
  return prizes;
}

function showTiers() {
  const {outputs, perLine} = shownTiers;
  const odds = JSON.parse(outputs.json);
  const rows = tierRowsOf(outputs.csv);
  showSentences($('tiers-sentences'), tiersSentences(odds, rows));
  say($('tiers-caption'), text(odds.out_of_reach === undefined ? 'tiers.caption' : 'tiers.captionOneLine',
                               {title: gameTitle(language, game.title)}));
  fillTiersTable($('tiers-table'), game, rows, prizeTexts());
  $('price').value = priceEdit || (game.price ?? '');
  showSentences($('return-sentences'), returnSentences(odds, perLine));
  $('tiers-text').textContent = outputs.text.trimEnd();
  $('tiers-output').hidden = false;
}

// A prize or the price changed: the expected return again, from the tallies
// already counted.
async function pricesChanged(input) {
  if (input.id === 'price') {
    priceEdit = input.value.trim() === (game.price ?? '') ? '' : input.value.trim();
  } else {
    const own = game.tiers.find((tier) => tier.name === input.dataset.tier).prize ?? '';
    const typed = input.value.trim();
    if (typed === '' || typed === own) prizeEdits.delete(input.dataset.tier);
    else prizeEdits.set(input.dataset.tier, typed);
  }
  writeAddress();
  if (shownTiers?.outputs) await reportTiers();
}

// The lines of the rows' box against the draw written, or against each of
// a file of draws (`drawsText`), as the command's --check with --draw or
// --draws.
async function drawTask(drawsText = null) {
  const rowsText = $('your-rows').value;
  const request = gameRequest();
  const args = {game: request, text: rowsText, ...(drawsText === null ? {draw: $('draw').value} : {draws: drawsText})};
  const checked = await engine.call(0, 'checkDraws', args);
  if (checked.error) {
    $('rows-output').hidden = true;
    $('odds-output').hidden = true;
    throw gameFailure(checked.error);
  }
  $('your-rows').removeAttribute('aria-invalid');
  const info = await engine.call(0, 'gameInfo', {game: request});
  shownDraw = {outputs: checked.outputs, hits: checked.hits ?? null, tiers: info.tiers};
  say($('result-heading'), text('heading.check'));
  showSentences($('sentences'), []);
  showCommandText('');
  $('rows-output').hidden = true;
  $('odds-output').hidden = true;
  showDraw();
  setStatus(null);
}

function showDraw() {
  const {outputs, hits, tiers} = shownDraw;
  const check = JSON.parse(outputs.json);
  const totals = drawTotalsOf(outputs.text);
  const many = check.draws !== undefined;
  say($('draw-output-heading'), many ? text('draws.headingMany', {count: check.draws.length})
    : text(check.date ? 'draws.headingDated' : 'draws.headingOne', {draw: check.draw, date: check.date}));
  $('draw-lines-wrap').hidden = many;
  $('draws-wrap').hidden = !many;
  if (many) {
    fillDrawsTable($('draws-table'), check.draws, totals);
  } else {
    say($('draw-lines-caption'), text('draws.linesCaption', {draw: check.draw}));
    fillDrawLines($('draw-lines'), check, hits, tiers);
  }
  say($('draw-totals-caption'), text(many ? 'draws.totalsCaptionMany' : 'draws.totalsCaption'));
  fillTierTotals($('draw-totals'), check.tiers, tiers);
  showSentences($('draw-sentences'), [totalsSaid(totals[totals.length - 1], many ? check.draws.length : 1)]);
  $('draw-text').textContent = outputs.text.trimEnd();
  $('draw-output').hidden = false;
}

// ---- the tasks

function sorted() {
  return $('sorted').checked;
}

async function runTask() {
  const l = lottery();
  const seed = $('run-seed').value.trim();
  const phase = Number($('phase').value);
  setStatus(text('status.running', {seed}));
  const run = await engine.call(0, 'run', {lottery: l, seed, phase, sorted: sorted()});
  if (run.refusal) throw new Error(run.refusal.message);
  say($('result-heading'), text('heading.run', {seed, phase}));
  const shared = phase - 1;
  showSentences($('sentences'), [shared === 0 ? text('run.disjoint', {phase}) : text('run.sentence', {phase,
    count: shared}), text('run.report')]);
  showCommandText(run.reportLines.join('\n'), true);
  setStatus(text('status.rows', {count: run.rows.length}));
  await afterRows({lottery: l, rows: run.rows, outputs: run.outputs}, $('odds').checked);
}

// What the rows found are worth, in sentences.
function foundSentences(found) {
  const {largestShared, pairsAtLargest, usageRange} = found.score;
  return [
    largestShared === 0 ? text('found.disjoint') : text('found.shared', {count: largestShared}),
    largestShared > 0 && text('found.pairs', {count: pairsAtLargest, shared: largestShared}),
    usageRange === 0 ? text('found.even') : text('found.usage', {count: usageRange}),
    found.provenBest && text('found.proven', {rows: found.rows.length}),
  ];
}

async function rowsTask() {
  const l = lottery();
  const rows = Number($('rows').value);
  const seed = $('rows-seed').value.trim();
  // An empty field is one not given: the library's default steps, a search by steps.
  const length = searchLengthIn('steps', 'time');
  const unread = searchLengthProblem(length, 'steps', 'time');
  if (unread) throw new Said(unread[0]);
  const request = {rows, seed, ...length};
  const read = await engine.call(0, 'rowsRequest', {lottery: l, request});
  if (read.refusal) throw new Error(read.refusal.message);
  setStatus(text('status.searchingRows', {rows, seed}));
  const progress = progressOf('progress.searching', kWorkers);
  const started = performance.now();
  const args = {lottery: l, request};
  // The race's two lanes, one a worker, each lane's news carried to the other.
  const news = await Promise.all([0, 1].map((which) => engine.call(which, 'search', {...args, which}, progress(which))
      .then((told) => {
        engine.tell(1 - which, 'hear', {news: told});
        return told;
      })));
  const took = (performance.now() - started) / 1000;
  const best = await engine.call(0, 'raceResult', {...args, news, took});
  const outputs = await engine.call(0, 'rowsOutputs', {rows: best.rows, sorted: sorted()});
  say($('result-heading'), text('heading.rows', {rows, seed}));
  showSentences($('sentences'), foundSentences(best));
  showCommandText(best.summary);
  setStatus(text('status.rowsFound', {count: best.rows.length}));
  await afterRows({lottery: l, rows: best.rows, outputs}, $('odds').checked);
}

// The guarantee asked of the pasted rows, as written: T right (null: none)
// if M drawn (null: not given) from the pool ('': not given), for the
// library to read.
function checkGuarantee() {
  return {pool: $('check-pool').value.trim(), right: wholeIn('check-right'), ifDrawn: wholeIn('check-if')};
}

// What the check of rows found, in sentences.
function checkSentences(check) {
  const sentences = [text('check.count', {count: check.rows})];
  if (check.most_shared === null) sentences.push(text('check.noPair'));
  else if (check.most_shared === 0) sentences.push(text('check.disjoint'));
  else sentences.push(text('check.shared', {count: check.most_shared, first: check.pair[0], second: check.pair[1]}));
  const g = check.guarantee;
  if (g) {
    const values = {ifDrawn: g.if_drawn, pool: g.pool_numbers, right: g.right};
    sentences.push(g.holds ? text('check.holds', values)
      : text('check.fails', {...values, sets: g.sets, failing: g.failing_sets, example: g.example.join(' ')}));
  }
  return sentences;
}

// The rows of the box: a game of one drum's check and odds, else the tier
// odds of the game's lines.
async function checkTask() {
  if (!rowsGame()) {
    say($('result-heading'), text('heading.check'));
    $('rows-output').hidden = true;
    $('odds-output').hidden = true;
    showSentences($('sentences'), []);
    showCommandText('');
    setStatus(null);
    await tierOdds($('your-rows').value);
    $('your-rows').removeAttribute('aria-invalid');
    return;
  }
  const l = lottery();
  const rowsText = $('your-rows').value;
  const checked = await engine.call(0, 'check', {lottery: l, text: rowsText, sorted: sorted()});
  const area = $('your-rows');
  say($('result-heading'), text('heading.check'));
  if (checked.bad) {
    area.setAttribute('aria-invalid', 'true');
    $('rows-output').hidden = true;
    $('odds-output').hidden = true;
    showSentences($('sentences'), []);
    showCommandText('');
    setStatus(null);
    area.focus();
    throw new Error(checked.bad.message);
  }
  area.removeAttribute('aria-invalid');
  const request = checkGuarantee();
  let check = checked.check;
  if (request.right !== null) {
    const tallies = await countShared('progress.checking', {kind: 'guarantee', lottery: l, rows: checked.rows, request});
    check = await engine.call(0, 'checkGuarantee', {lottery: l, text: rowsText, request, tallies});
  }
  const report = JSON.parse(check.json);
  showSentences($('sentences'), checkSentences(report));
  showCommandText(check.text.trimEnd());
  setStatus(text('status.rowsRead', {count: checked.rows.length}));
  // The odds over the draws of the guarantee's M, as the library read it, or of the M given alone.
  const ifDrawn = report.guarantee?.if_drawn ?? request.ifDrawn;
  const condition = ifDrawn === null ? null : {pool: request.pool, ifDrawn};
  await afterRows({lottery: l, rows: checked.rows, outputs: checked.outputs, condition}, checked.rows.length > 0);
}

// The wheel asked for, as written, for the library to read as the command's
// --pool, --guarantee, --if, --rows and --seed; and the search's --steps and
// --time. An empty field is one not given (null or '').
function wheelRequest() {
  return {pool: $('wheel-pool').value.trim(), right: wholeIn('wheel-right'), ifDrawn: wholeIn('wheel-if'),
          rows: wholeIn('wheel-rows'), seed: $('wheel-seed').value.trim(),
          ...searchLengthIn('wheel-steps', 'wheel-time')};
}

// What the wheel found promises, in sentences.
function wheelSentences(found, right, ifDrawn) {
  const values = {ifDrawn, pool: found.poolNumbers, right};
  const sentences = [found.uncovered === 0 ? text('wheel.holds', {...values, count: found.rows.length})
    : text('wheel.fails', {...values, sets: found.sets, uncovered: found.uncovered,
                           covered: decimal(/([\d.]+) % covered/.exec(found.summary)[1], 4)})];
  const fewest = found.uncovered === 0 && found.rows.length === found.lowerBound;
  sentences.push(fewest ? text('wheel.fewestProven') : text('wheel.bound', {bound: found.lowerBound}));
  return sentences;
}

async function wheelTask() {
  const l = lottery();
  const {steps, seconds, ...request} = wheelRequest();
  const {pool, seed} = request;
  // The guarantee as the library read it: M = T where M is not given.
  const {right, ifDrawn} = await engine.call(0, 'wheelRequest', {lottery: l, request});
  const numbers = pool === '' ? `1-${l.numbers}` : pool;
  setStatus(text('status.searchingWheel', {pool: numbers, right, ifDrawn, seed}));
  const progress = progressOf('progress.searching', 1);
  const found = await engine.call(0, 'wheel', {lottery: l, request, steps, seconds}, progress(0));
  const outputs = await engine.call(0, 'rowsOutputs', {rows: found.rows, sorted: sorted()});
  say($('result-heading'), text('heading.wheel', {pool: numbers, right, ifDrawn, seed}));
  showSentences($('sentences'), wheelSentences(found, right, ifDrawn));
  showCommandText(found.summary);
  setStatus(text('status.rowsFound', {count: found.rows.length}));
  await afterRows({lottery: l, rows: found.rows, outputs, condition: {pool, ifDrawn}}, $('odds').checked);
}

const kTasks = {rows: rowsTask, wheel: wheelTask, run: runTask, check: checkTask, draw: () => drawTask(),
                draws: () => drawTask(drawsFile.text)};

// ---- what a task's own form asks, checked before it starts

// Shows `said` (a problem in the page's words or the library's, or null)
// beside the form whose message is `message`, the fields `invalid` marked;
// true when there is none.
function formAccepted(message, fields, said, invalid = []) {
  say($(message), said);
  for (const id of fields) {
    if (said && invalid.includes(id)) $(id).setAttribute('aria-invalid', 'true');
    else $(id).removeAttribute('aria-invalid');
  }
  return !said;
}

// A refusal of the library's, {field, message} or none, as said beside a
// form; and the fields of the form that set the option it names.
const refusalSaid = (refusal) => (refusal ? libraryProblem(refusal.message) : null);
const refusedFields = (refusal, fields) => (refusal ? fields[refusal.field] ?? [] : []);

const kWheelFields = ['wheel-pool', 'wheel-right', 'wheel-if', 'wheel-rows', 'wheel-seed', 'wheel-steps', 'wheel-time'];
// The wheel's fields by the option the library names; a refusal of the
// request as a whole (--wheel) marks none.
const kWheelRefused = {'--pool': ['wheel-pool'], '--seed': ['wheel-seed'], '--guarantee': ['wheel-right'],
                       '--steps': ['wheel-steps'], '--time': ['wheel-time']};

async function wheelAccepted() {
  const accepted = (problem, invalid) => formAccepted('wheel-message', kWheelFields, problem, invalid);
  const w = wheelRequest();
  const wrong = [['wheel-right', 'problem.tWhole'], ['wheel-if', 'problem.mWhole'], ['wheel-rows', 'problem.rowsWhole']]
      .find(([id]) => Number.isNaN(wholeIn(id)));
  if (wrong) return accepted(problem(wrong[1]), [wrong[0]]);
  const unread = searchLengthProblem(w, 'wheel-steps', 'wheel-time');
  if (unread) return accepted(problem(unread[0]), [unread[1]]);
  const {refusal} = await engine.call(0, 'wheelRequest', {lottery: lottery(), request: w});
  return accepted(refusalSaid(refusal), refusedFields(refusal, kWheelRefused));
}

const kCheckFields = ['check-pool', 'check-right', 'check-if'];
const kCheckRefused = {'--pool': ['check-pool'], '--guarantee': ['check-right', 'check-if'], '--if': ['check-if']};

async function checkAccepted() {
  const accepted = (problem, invalid) => formAccepted('check-message', kCheckFields, problem, invalid);
  const wrong = [['check-right', 'problem.tWhole'], ['check-if', 'problem.mWhole']]
      .find(([id]) => Number.isNaN(wholeIn(id)));
  if (wrong) return accepted(problem(wrong[1]), [wrong[0]]);
  const request = checkGuarantee();
  if (request.right === null && request.ifDrawn === null && request.pool === '') return accepted(null);
  // T asks for the guarantee's check; M alone for the odds over the draws that put M in the pool, and the
  // library refuses the pool alone.
  const {refusal} = request.right !== null
    ? await engine.call(0, 'guaranteeRequest', {lottery: lottery(), request})
    : await engine.call(0, 'oddsRequest', {lottery: lottery(), condition: request});
  return accepted(refusalSaid(refusal), refusedFields(refusal, kCheckRefused));
}

// The draw written, as the library reads it for the game, checked before
// the lines are.
async function drawAccepted() {
  const accepted = (said) => formAccepted('draw-message', ['draw'], said, ['draw']);
  if ($('draw').value.trim() === '') return accepted(problem('problem.noDraw'));
  const checked = await engine.call(0, 'checkDraws', {game: gameRequest(true), text: '', draw: $('draw').value});
  return accepted(checked.error?.what === 'draw' ? libraryProblem(checked.error.message) : null);
}

const kAccepted = {wheel: wheelAccepted, check: async () => !rowsGame() || checkAccepted(), draw: drawAccepted};
// The tasks that play the game's main drum as a lottery of one drum.
const kOneDrumTasks = ['rows', 'wheel', 'run'];

// The body's data-state says where the latest task is: working, then done,
// failed or stopped.
async function start(name) {
  // One task at a time: a new one ends the one running.
  if (busy) engine.stop();
  document.body.dataset.state = 'working';
  task = name;
  const known = await gameAccepted();
  writeAddress();
  const accepted = known && oneDrumAccepted(name) && (!(name in kAccepted) || (await kAccepted[name]()));
  document.body.dataset.state = accepted ? await working(kTasks[name]) : 'failed';
}

// ---- the game

const oneDrumSaid = () => ({key: 'problem.oneDrum', values: {}, library: game.oneDrumProblem});

// A task of one drum where the game's main drum is no lottery of one drum:
// refused, and why said where its result would be.
function oneDrumAccepted(name) {
  if (!kOneDrumTasks.includes(name) || game.oneDrumProblem === '') return true;
  $('result').hidden = false;
  say($('error'), oneDrumSaid());
  return false;
}

// The chosen game as the library reads it: described and its slips shown,
// or its refusal said at the Game control.
async function gameAccepted() {
  const info = await engine.call(0, 'gameInfo', {game: gameRequest(true)});
  game = info.error ? null : info;
  say($('game-message'), info.error ? libraryProblem(info.error.message) : null);
  for (const id of ['game', 'game-form', 'game-file']) $(id).removeAttribute('aria-invalid');
  if (info.error) $(choice.file === undefined ? 'game-form' : 'game-file').setAttribute('aria-invalid', 'true');
  describeGame();
  return game !== null;
}

// What the page says of the game beside its controls, and the controls that
// follow it: the hints, the guarantee (for rows of one drum) and the slips.
function describeGame() {
  $('game-about').textContent = game ? gameSaid(game) : '';
  say($('lottery-message'), game && game.oneDrumProblem !== '' ? oneDrumSaid() : null);
  $('check-guarantee').hidden = !rowsGame();
  say($('your-rows-hint'), game && hasSecond(game)
    ? text('check.rowsHintSecond', {line: game.line, second: game.second.drawn}) : text('check.rowsHint'));
  $('draw-hint').textContent = game ? drawHint(game) : '';
  showSlips();
}

// The library's games in the Game control, by name and country.
function showGameOptions() {
  const selected = $('game').value;
  $('built-in-games').replaceChildren(...builtIns.map((each) => {
    const option = document.createElement('option');
    option.value = each.name;
    option.textContent = `${gameTitle(language, each.title)}, ${each.shortForm}`;
    return option;
  }));
  if (selected) $('game').value = selected;
}

// The Game control as `choice` is: a game it lists, a short form under
// Other, or a game file.
function showChoice() {
  const name = choice.file === undefined ? choice.name : null;
  const listed = name !== null && (builtIns.some((each) => each.name === name) || kOneDrumGames.includes(name));
  $('game').value = choice.file !== undefined ? 'file' : listed ? name : 'other';
  if ($('game').value === 'other') $('game-form').value = name;
  showGameFields();
}

function showGameFields() {
  const value = $('game').value;
  $('game-form-field').hidden = value !== 'other';
  $('game-form-hint').hidden = value !== 'other';
  $('game-file-field').hidden = value !== 'file';
}

// Another game: its own prizes and price, and no result of the former one.
async function gameChanged(chosen) {
  choice = chosen;
  prizeEdits.clear();
  priceEdit = '';
  shownTiers = null;
  shownDraw = null;
  $('tiers-output').hidden = true;
  $('draw-output').hidden = true;
  await gameAccepted();
  writeAddress();
}

async function gameChosen() {
  const value = $('game').value;
  showGameFields();
  if (value === 'file') {
    if ($('game-file').files[0]) await gameFileOpened($('game-file').files[0]);
    return;
  }
  if (value === 'other' && $('game-form').value.trim() === '') $('game-form').value = game?.shortForm ?? kProgramGame;
  await gameChanged({name: value === 'other' ? $('game-form').value.trim() : value});
}

async function gameFileOpened(file) {
  if (file) await gameChanged({file: await file.text(), fileName: file.name});
}

// ---- the play slips: each a view of the text it edits

let rowSlips = null;
let drawSlips = null;
let poolSlip = null;

// The pressed numbers of each grid of a line of `shape`; those of a bonus
// part apart.
function slipNumbers(line, shape) {
  const parts = partsOfLine(line, shape);
  const on = (grid, bonus) => new Set(shape.flatMap((part, i) => (part.grid === grid && (!bonus || part.bonus)
    ? parts[i] : [])));
  return {main: on('main', false), bonus: on('main', true), second: on('second', false), parts};
}

// Two grids, the second shown only for a game with a second drum.
function showGrids(slips, area, shape, line) {
  const numbers = slipNumbers(line, shape);
  const main = shape[0];
  slips.main.show(main, numbers.main, numbers.bonus);
  slips.main.container.setAttribute('aria-label', t('slip.group', {last: main.last}));
  const second = shape.find((part) => part.grid === 'second');
  area.querySelector('[data-second]').hidden = !second;
  if (second) {
    slips.second.show(second, numbers.second);
    slips.second.container.setAttribute('aria-label', t('slip.secondGroup', {last: second.last}));
    say(area.querySelector('[data-second]'), text('slip.second', {last: second.last, takes: second.takes}));
  } else {
    slips.second.clear();
    slips.second.container.removeAttribute('aria-label');
  }
  return numbers;
}

// The slips as their texts say: the numbers of the row the caret is on, of
// the draw, and of the wheel's pool.
function showSlips() {
  if (!rowSlips) return;
  for (const id of ['row-slip', 'pool-slip', 'draw-slip']) $(id).hidden = !game;
  if (!game) return;
  const area = $('your-rows');
  const rowShape = lineShape(game);
  const row = showGrids(rowSlips, $('row-slip'), rowShape,
                        area.value.split('\n')[lineIndexAt(area.value, area.selectionStart)]);
  const [picked, second] = [row.parts[0].length, row.parts[1]?.length ?? 0];
  say($('row-slip-count'), hasSecond(game)
    ? text('slip.rowCountSecond', {picked, takes: game.line, second, secondTakes: game.second.drawn})
    : text('slip.rowCount', {picked, takes: game.line}));
  const draw = showGrids(drawSlips, $('draw-slip'), drawShape(game), $('draw').value);
  say($('draw-slip-count'), text('slip.drawCount', {marked: draw.parts.flat().length,
                                                    takes: drawShape(game).reduce((sum, part) => sum + part.takes, 0)}));
  $('pool-slip').hidden = game.oneDrumProblem !== '';
  if (game.oneDrumProblem !== '') return;
  const drum = rowShape[0];
  poolSlip.container.setAttribute('aria-label', t('slip.group', {last: drum.last}));
  const pool = poolNumbers($('wheel-pool').value, drum);
  poolSlip.show(drum, pool);
  say($('pool-slip-count'), text('slip.poolCount', {count: pool.size, takes: drum.takes}));
}

// A text field changed by `edit(text, caret)`, as if typed.
function editField(field, edit) {
  const edited = edit(field.value, field.selectionStart ?? 0);
  field.value = edited.text;
  if (field === document.activeElement || field.tagName === 'TEXTAREA') {
    field.setSelectionRange(edited.caret, edited.caret);
  }
  field.dispatchEvent(new Event('input', {bubbles: true}));
}

const editRows = (edit) => editField($('your-rows'), edit);

function togglePool(n) {
  const pool = poolNumbers($('wheel-pool').value, lineShape(game)[0]);
  if (pool.has(n)) pool.delete(n);
  else pool.add(n);
  $('wheel-pool').value = poolText(pool);
  $('wheel-pool').dispatchEvent(new Event('input', {bubbles: true}));
}

// The two grids of a slip's area, a tap on each editing `field` as a line
// of the shape `shape()`; `newRows` for the rows' box.
function slipsOf(area, field, shape, newRows) {
  const grid = (name) => new PlaySlip(area.querySelector(`.slip[data-drum="${name}"]`),
                                      (n) => editField(field, (value, caret) => toggledRows(value, newRows ? caret : 0, n,
                                                                                            name, shape(), newRows)));
  return {main: grid('main'), second: grid('second')};
}

function wireSlips() {
  rowSlips = slipsOf($('row-slip'), $('your-rows'), () => lineShape(game), true);
  drawSlips = slipsOf($('draw-slip'), $('draw'), () => drawShape(game), false);
  poolSlip = new PlaySlip($('pool-slip').querySelector('.slip'), togglePool);
  $('quick-pick').addEventListener('click', () => editRows((rows, caret) => quickPicked(rows, caret, lineShape(game))));
  $('new-row').addEventListener('click', () => editRows(withNewRow));
  for (const type of ['input', 'click', 'keyup', 'focus']) $('your-rows').addEventListener(type, showSlips);
  for (const id of ['wheel-pool', 'draw']) $(id).addEventListener('input', showSlips);
}

// ---- the address

// The address's keys and values; `prize`, which may come more than once,
// as a list.
function readAddress() {
  const keys = new Map([['prize', []]]);
  for (const part of location.hash.replace(/^#/, '').split('&')) {
    if (!part) continue;
    const equals = part.includes('=') ? part.indexOf('=') : part.length;
    const key = decodeURIComponent(part.slice(0, equals));
    const value = decodeURIComponent(part.slice(equals + 1));
    if (key === 'prize') keys.get('prize').push(value);
    else keys.set(key, value);
  }
  return keys;
}

// The game as the command names it: a game of one drum by --numbers and
// --length (nothing for 7 of 40), any other by --game. A game file is not
// kept in the address.
function gameKeys(keys) {
  if (choice.file !== undefined) return;
  if (game && isOneDrumGame(game) && /^\d+\/\d+$/.test(choice.name)) {
    if (!isProgramLottery(lottery())) {
      keys.set('numbers', game.main.numbers);
      keys.set('length', game.line);
    }
  } else {
    keys.set('game', choice.name);
  }
  if (prizeEdits.size > 0) keys.set('prize', [...prizeEdits].map(([tier, amount]) => `${tier}=${amount}`));
  if (priceEdit) keys.set('price', priceEdit);
}

function writeAddress() {
  const keys = new Map();
  gameKeys(keys);
  if (task === 'wheel') {
    keys.set('wheel', '');
    keys.set('pool', $('wheel-pool').value);
    keys.set('guarantee', $('wheel-right').value);
    for (const [key, id] of [['if', 'wheel-if'], ['rows', 'wheel-rows'], ['steps', 'wheel-steps'],
      ['time', 'wheel-time']]) {
      if ($(id).value) keys.set(key, $(id).value);
    }
    keys.set('seed', $('wheel-seed').value);
  } else if (task === 'rows') {
    keys.set('rows', $('rows').value);
    keys.set('seed', $('rows-seed').value);
    if ($('steps').value) keys.set('steps', $('steps').value);
    if ($('time').value) keys.set('time', $('time').value);
  } else if (task === 'run') {
    keys.set('seed', $('run-seed').value);
    keys.set('phase', $('phase').value);
  } else if (task === 'check' && rowsGame()) {
    keys.set('check', '');
    for (const [key, id] of [['pool', 'check-pool'], ['guarantee', 'check-right'], ['if', 'check-if']]) {
      if ($(id).value) keys.set(key, $(id).value);
    }
  } else if (['check', 'draw', 'draws'].includes(task)) {
    keys.set('check', '');
    if (task === 'draw' && $('draw').value.trim()) keys.set('draw', $('draw').value.trim());
  }
  if ($('sorted').checked) keys.set('sorted', '');
  if ($('odds').checked) keys.set('odds', '');
  if (chosenLanguage) keys.set('lang', chosenLanguage);
  const part = (key, value) => (value === '' ? key : `${key}=${encodeURIComponent(value)}`);
  const parts = kKeys.filter((key) => keys.has(key))
      .flatMap((key) => [keys.get(key)].flat().map((value) => part(key, value)));
  history.replaceState(null, '', parts.length ? `#${parts.join('&')}` : location.pathname + location.search);
}

// The controls as the address says, and the task it names, or null.
function applyAddress() {
  const keys = readAddress();
  chosenLanguage = kLanguages.includes(keys.get('lang')) ? keys.get('lang') : null;
  applyLanguage(chosenLanguage ?? browserLanguage());
  // Seed, steps and seconds stay folded away unless the address sets the
  // steps or seconds.
  for (const details of document.querySelectorAll('details.advanced')) {
    details.open = keys.has('steps') || keys.has('time');
  }
  const oneDrum = `${keys.get('length') ?? limits.programLength}/${keys.get('numbers') ?? limits.programNumbers}`;
  choice = {name: keys.get('game') ?? oneDrum};
  showChoice();
  prizeEdits.clear();
  for (const setting of keys.get('prize')) {
    const equals = setting.lastIndexOf('=');
    prizeEdits.set(setting.slice(0, equals), setting.slice(equals + 1));
  }
  priceEdit = keys.get('price') ?? '';
  $('draw').value = keys.get('draw') ?? '';
  const has = (key) => keys.has(key);
  $('sorted').checked = has('sorted');
  $('odds').checked = has('odds');
  if (has('wheel')) {
    $('wheel-pool').value = keys.get('pool') ?? '';
    $('wheel-right').value = keys.get('guarantee') ?? '';
    $('wheel-if').value = keys.get('if') ?? '';
    $('wheel-rows').value = keys.get('rows') ?? '';
    $('wheel-seed').value = keys.get('seed') ?? randomSeed();
    $('wheel-steps').value = keys.get('steps') ?? '';
    $('wheel-time').value = keys.get('time') ?? '';
    return 'wheel';
  }
  if (has('rows')) {
    $('rows').value = keys.get('rows');
    $('rows-seed').value = keys.get('seed') ?? randomSeed();
    $('steps').value = keys.get('steps') ?? '';
    $('time').value = keys.get('time') ?? '';
    return 'rows';
  }
  if (has('draw')) return 'draw';
  if (has('check')) {
    $('check-pool').value = keys.get('pool') ?? '';
    $('check-right').value = keys.get('guarantee') ?? '';
    $('check-if').value = keys.get('if') ?? '';
    return 'check';
  }
  if (has('seed') || has('phase') || has('odds')) {
    $('run-seed').value = keys.get('seed') ?? randomSeed();
    $('phase').value = keys.get('phase') ?? String(limits.phases);
    return 'run';
  }
  return null;
}

// ---- output: copy, download, print

// The outputs of each kind of result, and the name its download takes.
const kOutputs = {
  rows: [() => shown.outputs, 'rows'],
  odds: [() => shown.odds, 'odds'],
  tiers: [() => shownTiers.outputs, 'tier-odds'],
  draw: [() => shownDraw.outputs, 'draws-check'],
};

function download(kind, format) {
  const [outputs, name] = kOutputs[kind];
  const [extension, type] = kFormats[format];
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([outputs()[format]], {type}));
  link.download = `${name}.${extension}`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

async function copy(words, copied) {
  try {
    await navigator.clipboard.writeText(words);
    setStatus(text(copied));
  } catch {
    setStatus(text('status.noCopy'));
  }
}

// ---- reading a file of rows, or of draws

async function readFileInto(file) {
  if (!file) return;
  $('your-rows').value = await file.text();
  await start('check');
}

async function readDraws(file) {
  if (!file) return;
  drawsFile = {name: file.name, text: await file.text()};
  await start('draws');
}

function wire() {
  $('game').addEventListener('change', gameChosen);
  $('game-form').addEventListener('input', () => gameChanged({name: $('game-form').value.trim()}));
  $('game-file').addEventListener('change', (event) => gameFileOpened(event.target.files[0]));
  for (const [form, name] of [['rows-form', 'rows'], ['wheel-form', 'wheel'], ['run-form', 'run'],
    ['check-form', 'check'], ['draw-form', 'draw']]) {
    $(form).addEventListener('submit', (event) => {
      event.preventDefault();
      start(name);
    });
    $(form).addEventListener('input', (event) => {
      if (event.target.type === 'file') return;
      task = name;
      writeAddress();
    });
  }
  for (const id of ['sorted', 'odds']) $(id).addEventListener('change', writeAddress);
  $('stop').addEventListener('click', () => engine.stop());
  $('copy').addEventListener('click', () => copy(shown.outputs.text, 'status.rowsCopied'));
  $('copy-summary').addEventListener('click', () => copy(`${$('summary').textContent}\n`, 'status.textCopied'));
  for (const button of document.querySelectorAll('[data-copy]')) {
    button.addEventListener('click', () => copy(kOutputs[button.dataset.copy][0]().text, 'status.textCopied'));
  }
  for (const button of document.querySelectorAll('[data-language]')) {
    button.addEventListener('click', () => {
      chosenLanguage = button.dataset.language;
      applyLanguage(chosenLanguage);
      writeAddress();
    });
  }
  wireSlips();
  $('print').addEventListener('click', () => window.print());
  for (const button of document.querySelectorAll('[data-download]')) {
    button.addEventListener('click', () => download(button.dataset.download, button.dataset.format));
  }
  $('rows-file').addEventListener('change', (event) => readFileInto(event.target.files[0]));
  $('draws-file').addEventListener('change', (event) => readDraws(event.target.files[0]));
  $('tiers-output').addEventListener('change', (event) => {
    if (event.target.matches('input.prize, #price')) pricesChanged(event.target);
  });
  const area = $('your-rows');
  area.addEventListener('dragover', (event) => event.preventDefault());
  area.addEventListener('drop', (event) => {
    event.preventDefault();
    readFileInto(event.dataTransfer.files[0]);
  });
  window.addEventListener('hashchange', () => begin());
}

async function begin() {
  const named = applyAddress();
  if (!$('rows-seed').value) $('rows-seed').value = randomSeed();
  if (!$('run-seed').value) $('run-seed').value = randomSeed();
  if (!$('wheel-seed').value) $('wheel-seed').value = randomSeed();
  if (named === 'check' || named === 'draw') {
    // The rows are the player's, never in the address: the box waits for them.
    task = named;
    $('your-rows').focus();
    await gameAccepted();
  } else if (named) {
    await start(named);
  } else {
    await gameAccepted();
  }
}

// On the web (not from disk), a service worker keeps the page's files so
// that it opens and counts with no network, from a phone's home screen too.
function keepOffline() {
  if (!/^https?:$/.test(location.protocol) || !('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('service-worker.js').catch(() => {});
}

async function main() {
  applyLanguage(browserLanguage());
  keepOffline();
  limits = await engine.call(0, 'limits', {});
  builtIns = await engine.call(0, 'games', {});
  showGameOptions();
  wire();
  document.body.dataset.ready = 'true';
  await begin();
}

main().catch((error) => showError(error));
