// The page's side: controls, the address, and what is shown. Every
// computation runs in two workers (engine.js, made into Blob workers), so the
// page never freezes; Stop terminates them. What rows, odds and checks say,
// and how each output format writes them, is the library's: the page lays
// the library's own outputs out in tables and charts.
'use strict';

const kWorkers = 2;
const kPresets = {'40/7': [40, 7], '49/6': [49, 6], '50/5': [50, 5], '45/6': [45, 6], '35/5': [35, 5], '39/7': [39, 7]};
// The address keys, the command's long option names, in the order written.
const kKeys = ['numbers', 'length', 'wheel', 'pool', 'guarantee', 'if', 'rows', 'seed', 'phase', 'steps', 'time',
               'sorted', 'odds', 'check'];
const kFormats = {text: ['txt', 'text/plain'], csv: ['csv', 'text/csv'], json: ['json', 'application/json']};

const $ = (id) => document.getElementById(id);

class Stopped extends Error {}

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
            call.reject(new Error(event.message || 'the worker failed'));
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
// What the address and the result show: 'rows', 'wheel', 'run' or 'check';
// null before anything is asked.
let task = null;
// The row set shown: {lottery, rows, outputs, condition, odds}; a condition
// {pool, ifDrawn} counts the odds over the draws that meet it too.
let shown = null;
let busy = 0;

function lottery() {
  return {numbers: Number($('numbers').value), length: Number($('length').value)};
}

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

// A message of the library's ("the pool has 5 numbers, ...") as a sentence.
function sentence(words) {
  return words === '' ? '' : words[0].toUpperCase() + words.slice(1) + '.';
}

function randomSeed() {
  const words = crypto.getRandomValues(new Uint32Array(2));
  return ((BigInt(words[0]) << 32n) | BigInt(words[1])).toString();
}

// ---- progress, status and errors

function setStatus(text) {
  $('status').textContent = text;
}

function showError(text) {
  $('error').textContent = text;
}

function progressOf(label, parts) {
  const done = new Array(parts).fill(0);
  const total = new Array(parts).fill(0);
  $('progress-label').textContent = label;
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
  showError('');
  $('result').hidden = false;
  try {
    await what();
    return 'done';
  } catch (error) {
    if (error instanceof Stopped) {
      setStatus('Stopped.');
      return 'stopped';
    }
    showError(error.message);
    return 'failed';
  } finally {
    if (--busy === 0) $('progress-area').hidden = true;
  }
}

// ---- tables and charts

function cell(tag, text) {
  const element = document.createElement(tag);
  element.textContent = text;
  return element;
}

// A table from the lines of the library's CSV: the header, then a row each.
function fillTable(table, csv, numbered) {
  const [header, ...lines] = csv.trimEnd().split('\n');
  const head = document.createElement('tr');
  if (numbered) head.append(cell('th', 'row'));
  for (const name of header.split(',')) head.append(cell('th', name));
  table.tHead.replaceChildren(head);
  const body = document.createDocumentFragment();
  lines.forEach((line, i) => {
    const tr = document.createElement('tr');
    if (numbered) tr.append(cell('th', String(i + 1)));
    for (const field of line.split(',')) tr.append(cell('td', field));
    body.append(tr);
  });
  table.tBodies[0].replaceChildren(body);
}

const kSvg = 'http://www.w3.org/2000/svg';

function svg(tag, attributes, text) {
  const element = document.createElementNS(kSvg, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, String(value));
  if (text !== undefined) element.textContent = text;
  return element;
}

// A bar chart of `values` labelled by `labels`, with the value over each bar.
function barChart(container, title, labels, values, marked = () => false) {
  const kWidth = 640;
  const kHeight = 220;
  const kBase = 190;
  const step = kWidth / values.length;
  const most = Math.max(1, ...values);
  const chart = svg('svg', {viewBox: `0 0 ${kWidth} ${kHeight}`, role: 'img', 'aria-label': title});
  chart.append(svg('title', {}, title));
  values.forEach((value, i) => {
    const height = (value / most) * (kBase - 30);
    const x = i * step;
    chart.append(svg('rect', {x: x + step * 0.15, y: kBase - height, width: step * 0.7, height,
                              class: marked(i) ? 'bar marked' : 'bar'}));
    chart.append(svg('text', {x: x + step / 2, y: kBase + 16, class: 'label'}, labels[i]));
    if (values.length <= 16) chart.append(svg('text', {x: x + step / 2, y: kBase - height - 4, class: 'value'},
                                              value.toLocaleString('en')));
  });
  container.replaceChildren(chart);
}

// ---- showing a row set

function showRows(set) {
  shown = set;
  fillTable($('rows-table'), set.outputs.csv, true);
  $('rows-output').hidden = false;
  $('odds-output').hidden = true;
}

// Every piece of a count shared between the workers, each piece to the one
// with fewer draws so far: an even split, the same every time. The tallies,
// one a worker.
async function countInPieces(label, draws, args) {
  const pieces = [[], []];
  const load = [0, 0];
  draws.forEach((d, piece) => {
    const to = load[0] <= load[1] ? 0 : 1;
    pieces[to].push(piece);
    load[to] += d;
  });
  const progress = progressOf(label, kWorkers);
  return Promise.all(pieces.map((share, i) => engine.call(i, 'count', {...args, pieces: share}, progress(i))));
}

async function countOdds(set) {
  const {numbers, length} = set.lottery;
  if (!(await engine.call(0, 'drawsWithinReach', {numbers, length}))) {
    throw new Error('This lottery has too many possible draws to count them all.');
  }
  const {rows, condition = null} = set;
  const draws = await engine.call(0, 'oddsPieces', {numbers, length, rows});
  const tallies = await countInPieces('Counting every draw', draws, {kind: 'odds', numbers, length, rows, condition});
  const outputs = await engine.call(0, 'oddsReport', {numbers, length, rows, condition, tallies});
  set.odds = outputs;
  showOdds(outputs);
}

function showOdds(outputs) {
  fillTable($('odds-table'), outputs.csv, false);
  const lines = outputs.text.trimEnd().split('\n');
  const after = lines.findIndex((line) => line.startsWith('guaranteed'));
  // Below the table, the lines that it does not hold: a condition's table of
  // draws is in its _if columns.
  const tableLine = (line) => /^right\s/.test(line) || /^\s*\d+\s+\d+\s+\d+/.test(line);
  $('odds-summary').textContent = after >= 0 ? lines.slice(after).filter((line) => !tableLine(line)).join('\n') : '';
  const odds = JSON.parse(outputs.json);
  barChart($('hits-chart'), 'Draws by the most numbers right in one row', odds.best.map((_, k) => `${k} right`),
           odds.best);
  // The least used numbers stand out, as the odds' "least used" line names them.
  const least = Math.min(...odds.balance);
  barChart($('balance-chart'), 'Rows holding each number', odds.balance.map((_, i) => String(i + 1)), odds.balance,
           (i) => odds.balance[i] === least);
  $('odds-output').hidden = false;
}

async function afterRows(set, withOdds) {
  showRows(set);
  if (withOdds) await countOdds(set);
}

// ---- the three tasks

function sorted() {
  return $('sorted').checked;
}

async function runTask() {
  const l = lottery();
  if (!isProgramLottery(l)) {
    throw new Error(`A run of erilaisetrivit plays ${limits.programLength} of ${limits.programNumbers}: ` +
                    'choose that game for it.');
  }
  const seed = $('run-seed').value.trim();
  const phase = Number($('phase').value);
  setStatus(`Running the search with seed ${seed}…`);
  const run = await engine.call(0, 'run', {seed, phase, sorted: sorted()});
  if (run.error) throw new Error(run.error);
  $('result-heading').textContent = `A run with seed ${seed}: the rows of phase ${phase}`;
  $('summary').textContent = run.reportLines.join('\n');
  setStatus(`${run.rows.length} rows.`);
  await afterRows({lottery: l, rows: run.rows, outputs: run.outputs}, $('odds').checked);
}

async function rowsTask() {
  const l = lottery();
  const rows = Number($('rows').value);
  const seed = $('rows-seed').value.trim();
  const seconds = Number($('time').value) || 0;
  const steps = Number($('steps').value) || (await engine.call(0, 'defaultSteps', {rows}));
  setStatus(`Searching for ${rows} rows with seed ${seed}…`);
  const progress = progressOf('Searching', kWorkers);
  const started = performance.now();
  const args = {...l, rows, seed, steps, seconds};
  const found = await Promise.all([0, 1].map((which) => engine.call(which, 'search', {...args, which}, progress(which))
      .then((result) => {
        // Rows proven best: the other search cannot win after more steps.
        if (result.provenBest) engine.tell(1 - which, 'cap', {steps: result.stepsTaken});
        return result;
      })));
  const best = found[await engine.call(0, 'better', {first: found[0], second: found[1]})];
  const outputs = await engine.call(0, 'rowsOutputs', {...l, rows: best.rows, sorted: sorted()});
  $('result-heading').textContent = `${rows} rows to play, seed ${seed}`;
  const took = (performance.now() - started) / 1000;
  $('summary').textContent = await engine.call(0, 'foundSummary', {found: best, seconds: took});
  setStatus(`${best.rows.length} rows found.`);
  await afterRows({lottery: l, rows: best.rows, outputs}, $('odds').checked);
}

// The guarantee asked of the pasted rows: T right (null: none) if M drawn
// (M = T when empty, as the command takes it) from the pool ('': every
// number).
function checkGuarantee() {
  const right = wholeIn('check-right');
  const ifDrawn = wholeIn('check-if');
  return {pool: $('check-pool').value.trim(), right, ifDrawn: ifDrawn ?? right};
}

async function checkTask() {
  const l = lottery();
  const text = $('your-rows').value;
  const checked = await engine.call(0, 'check', {...l, text, sorted: sorted()});
  const area = $('your-rows');
  if (checked.bad) {
    area.setAttribute('aria-invalid', 'true');
    $('rows-output').hidden = true;
    $('odds-output').hidden = true;
    $('summary').textContent = '';
    $('result-heading').textContent = 'Your rows';
    setStatus('');
    area.focus();
    throw new Error(checked.bad.message);
  }
  area.removeAttribute('aria-invalid');
  $('result-heading').textContent = 'Your rows';
  const {pool, right, ifDrawn} = checkGuarantee();
  let check = checked.check;
  if (right !== null) {
    const args = {...l, rows: checked.rows, pool, right, ifDrawn};
    const draws = await engine.call(0, 'guaranteePieces', args);
    const tallies = await countInPieces('Checking the guarantee', draws, {kind: 'guarantee', ...args});
    check = await engine.call(0, 'checkGuarantee', {...l, text, pool, right, ifDrawn, tallies});
  }
  $('summary').textContent = check.text.trimEnd();
  setStatus(`${checked.rows.length} rows read.`);
  const condition = ifDrawn === null ? null : {pool, ifDrawn};
  await afterRows({lottery: l, rows: checked.rows, outputs: checked.outputs, condition}, checked.rows.length > 0);
}

// The wheel asked for, as the command takes --pool, --guarantee, --if,
// --rows, --seed, --steps and --time: M = T when empty, no budget when the
// rows are empty, the default steps when the steps are.
function wheelRequest() {
  const right = wholeIn('wheel-right');
  const ifDrawn = wholeIn('wheel-if');
  const time = $('wheel-time').value.trim();
  return {pool: $('wheel-pool').value.trim(), right, ifDrawn: ifDrawn ?? right, rows: wholeIn('wheel-rows'),
          seed: $('wheel-seed').value.trim(), steps: wholeIn('wheel-steps'), seconds: time === '' ? 0 : Number(time)};
}

async function wheelTask() {
  const l = lottery();
  const {pool, right, ifDrawn, rows, seed, steps: asked, seconds} = wheelRequest();
  const args = {...l, pool, right, ifDrawn, rows};
  const steps = seconds > 0 ? 0 : asked ?? (await engine.call(0, 'defaultWheelSteps', args));
  const numbers = pool === '' ? `1-${l.numbers}` : pool;
  setStatus(`Searching for a wheel of ${numbers}, ${right} right if ${ifDrawn} drawn, seed ${seed}…`);
  const progress = progressOf('Searching', 1);
  const found = await engine.call(0, 'wheel', {...args, seed, steps, seconds}, progress(0));
  const outputs = await engine.call(0, 'rowsOutputs', {...l, rows: found.rows, sorted: sorted()});
  $('result-heading').textContent = `A wheel of ${numbers}: ${right} right if ${ifDrawn} drawn, seed ${seed}`;
  $('summary').textContent = found.summary;
  setStatus(`${found.rows.length} rows found.`);
  await afterRows({lottery: l, rows: found.rows, outputs, condition: {pool, ifDrawn}}, $('odds').checked);
}

const kTasks = {rows: rowsTask, wheel: wheelTask, run: runTask, check: checkTask};

// ---- what a task's own form asks, checked before it starts

// Shows `problem` (the library's words, or '') beside the form whose message
// is `message`, the fields `invalid` marked; true when there is none.
function formAccepted(message, fields, problem, invalid = []) {
  $(message).textContent = sentence(problem);
  for (const id of fields) {
    if (problem !== '' && invalid.includes(id)) $(id).setAttribute('aria-invalid', 'true');
    else $(id).removeAttribute('aria-invalid');
  }
  return problem === '';
}

const kWheelFields = ['wheel-pool', 'wheel-right', 'wheel-if', 'wheel-rows', 'wheel-seed', 'wheel-steps', 'wheel-time'];

async function wheelAccepted() {
  const accepted = (problem, invalid) => formAccepted('wheel-message', kWheelFields, problem, invalid);
  const w = wheelRequest();
  const wrong = [['wheel-right', 'T'], ['wheel-if', 'M'], ['wheel-rows', 'the rows']]
      .find(([id]) => Number.isNaN(wholeIn(id)));
  if (wrong) return accepted(`${wrong[1]} is a whole number`, [wrong[0]]);
  if (w.right === null) return accepted('a wheel needs T, the numbers right', ['wheel-right']);
  if (Number.isNaN(w.steps) || (w.steps !== null && w.steps < 1)) {
    return accepted('the steps are a whole number from 1', ['wheel-steps']);
  }
  if (!(w.seconds >= 0)) return accepted('the seconds are a number above 0', ['wheel-time']);
  const args = {...lottery(), pool: w.pool, right: w.right, ifDrawn: w.ifDrawn, rows: w.rows, seed: w.seed};
  const poolProblem = await engine.call(0, 'poolProblem', args);
  if (poolProblem !== '') return accepted(poolProblem, ['wheel-pool']);
  return accepted(await engine.call(0, 'wheelProblem', args), []);
}

const kCheckFields = ['check-pool', 'check-right', 'check-if'];

async function checkAccepted() {
  const accepted = (problem, invalid) => formAccepted('check-message', kCheckFields, problem, invalid);
  const wrong = [['check-right', 'T'], ['check-if', 'M']].find(([id]) => Number.isNaN(wholeIn(id)));
  if (wrong) return accepted(`${wrong[1]} is a whole number`, [wrong[0]]);
  const {pool, right, ifDrawn} = checkGuarantee();
  const args = {...lottery(), pool, right, ifDrawn};
  if (right === null && ifDrawn === null) {
    return accepted(pool === '' ? '' : 'your numbers go with T right, or with M drawn for the odds', ['check-pool']);
  }
  const poolProblem = await engine.call(0, 'poolProblem', args);
  if (poolProblem !== '') return accepted(poolProblem, ['check-pool']);
  if (right !== null) return accepted(await engine.call(0, 'guaranteeProblem', args), ['check-right', 'check-if']);
  return accepted(await engine.call(0, 'conditionProblem', args), ['check-if']);
}

const kAccepted = {wheel: wheelAccepted, check: checkAccepted};

// The body's data-state says where the latest task is: working, then done,
// failed or stopped.
async function start(name) {
  // One task at a time: a new one ends the one running.
  if (busy) engine.stop();
  document.body.dataset.state = 'working';
  task = name;
  writeAddress();
  const accepted = (await lotteryAccepted()) && (!(name in kAccepted) || (await kAccepted[name]()));
  document.body.dataset.state = accepted ? await working(kTasks[name]) : 'failed';
}

// ---- the lottery's limits

async function lotteryAccepted() {
  const l = lottery();
  const problem = !Number.isInteger(l.numbers) || !Number.isInteger(l.length)
    ? 'the lottery is two whole numbers'
    : await engine.call(0, 'lotteryProblem', l);
  const fine = problem === '';
  const message = fine ? '' : problem[0].toUpperCase() + problem.slice(1) + '.';
  for (const id of ['numbers', 'length']) {
    $(id).setCustomValidity(message);
    if (message) $(id).setAttribute('aria-invalid', 'true');
    else $(id).removeAttribute('aria-invalid');
  }
  $('lottery-message').textContent = message;
  return fine;
}

function matchPreset() {
  const key = `${$('numbers').value}/${$('length').value}`;
  $('preset').value = key in kPresets ? key : 'other';
}

// ---- the address

function readAddress() {
  const keys = new Map();
  for (const part of location.hash.replace(/^#/, '').split('&')) {
    if (!part) continue;
    const [key, value = ''] = part.split('=');
    keys.set(decodeURIComponent(key), decodeURIComponent(value));
  }
  return keys;
}

function writeAddress() {
  const keys = new Map();
  const l = lottery();
  if (!isProgramLottery(l)) {
    keys.set('numbers', l.numbers);
    keys.set('length', l.length);
  }
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
  } else if (task === 'check') {
    keys.set('check', '');
    for (const [key, id] of [['pool', 'check-pool'], ['guarantee', 'check-right'], ['if', 'check-if']]) {
      if ($(id).value) keys.set(key, $(id).value);
    }
  }
  if ($('sorted').checked) keys.set('sorted', '');
  if ($('odds').checked) keys.set('odds', '');
  const parts = kKeys.filter((key) => keys.has(key))
      .map((key) => (keys.get(key) === '' ? key : `${key}=${encodeURIComponent(keys.get(key))}`));
  history.replaceState(null, '', parts.length ? `#${parts.join('&')}` : location.pathname + location.search);
}

// The controls as the address says, and the task it names, or null.
function applyAddress() {
  const keys = readAddress();
  $('numbers').value = keys.get('numbers') ?? String(limits.programNumbers);
  $('length').value = keys.get('length') ?? String(limits.programLength);
  matchPreset();
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

function download(kind, format) {
  const outputs = kind === 'odds' ? shown.odds : shown.outputs;
  const [extension, type] = kFormats[format];
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([outputs[format]], {type}));
  link.download = `${kind === 'odds' ? 'odds' : 'rows'}.${extension}`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

async function copyRows() {
  try {
    await navigator.clipboard.writeText(shown.outputs.text);
    setStatus('The rows are copied.');
  } catch {
    setStatus('This browser did not let the page copy: select the table and copy it.');
  }
}

// ---- reading a file of rows

async function readFileInto(file) {
  if (!file) return;
  $('your-rows').value = await file.text();
  await start('check');
}

function wire() {
  $('preset').addEventListener('change', () => {
    const preset = kPresets[$('preset').value];
    if (preset) [$('numbers').value, $('length').value] = preset.map(String);
    lotteryAccepted();
    writeAddress();
  });
  for (const id of ['numbers', 'length']) {
    $(id).addEventListener('input', () => {
      matchPreset();
      lotteryAccepted();
      writeAddress();
    });
  }
  for (const [form, name] of [['rows-form', 'rows'], ['wheel-form', 'wheel'], ['run-form', 'run'],
    ['check-form', 'check']]) {
    $(form).addEventListener('submit', (event) => {
      event.preventDefault();
      start(name);
    });
    $(form).addEventListener('input', () => {
      task = name;
      writeAddress();
    });
  }
  for (const id of ['sorted', 'odds']) $(id).addEventListener('change', writeAddress);
  $('stop').addEventListener('click', () => engine.stop());
  $('copy').addEventListener('click', copyRows);
  $('print').addEventListener('click', () => window.print());
  for (const button of document.querySelectorAll('[data-download]')) {
    button.addEventListener('click', () => download(button.dataset.download, button.dataset.format));
  }
  $('rows-file').addEventListener('change', (event) => readFileInto(event.target.files[0]));
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
  if (named === 'check') {
    task = 'check';
    $('your-rows').focus();
  } else if (named) {
    await start(named);
  } else {
    await lotteryAccepted();
  }
}

async function main() {
  limits = await engine.call(0, 'limits', {});
  wire();
  document.body.dataset.ready = 'true';
  await begin();
}

main().catch((error) => showError(error.message));
