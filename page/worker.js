// The page's worker: one computation of the companion's library at a time,
// on the module built from page/bindings.cpp (createRivit, defined just
// before this text in the same worker script). A long one goes in slices,
// reporting between them, so that the page shows its progress and may end it
// by terminating the worker; the page never waits on one.
//
// Messages in: {id, op, args}; out, with the same id: {type: 'progress',
// done, total}, {type: 'result', value} or {type: 'error', message}. A
// short operation may arrive while a long one runs; it is answered between
// two slices.

const rivit = createRivit();

// A slice of work takes about this long, so that a cap from the page is read
// soon and the progress bar moves.
const kSliceMilliseconds = 100;

const yieldToMessages = () => new Promise((resolve) => setTimeout(resolve, 0));

let capSteps = null;

// Slices of `advance(units)` until `finished()`, each sized to take about
// kSliceMilliseconds by the speed of the one before.
async function inSlices(advance, finished, report) {
  let units = 1000;
  while (!finished()) {
    const start = performance.now();
    advance(units);
    const took = performance.now() - start;
    report();
    units = Math.max(1, Math.round(took > 0 ? (units * kSliceMilliseconds) / took : units * 2));
    await yieldToMessages();
  }
}

async function search(module, args, post) {
  const rows = new module.RowsSearchJob(args.numbers, args.length, args.rows, args.seed, args.steps, args.seconds,
                                         args.which);
  try {
    const start = performance.now();
    const elapsed = () => (performance.now() - start) / 1000;
    await inSlices(
      (units) => {
        if (capSteps !== null) {
          rows.cap(capSteps);
          capSteps = null;
        }
        rows.advance(units, elapsed());
      },
      () => rows.done(),
      () => {
        const total = args.seconds > 0 ? args.seconds : args.steps;
        post({type: 'progress', done: args.seconds > 0 ? elapsed() : rows.stepsTaken(), total});
      });
    return rows.result();
  } finally {
    rows.delete();
  }
}

async function countOdds(module, args, post) {
  const count = new module.OddsJob(args.numbers, args.length, args.rows);
  try {
    let next = 0;
    let counted = 0;
    const total = args.pieces.reduce((sum, piece) => sum + count.drawsOf(piece), 0);
    await inSlices(
      (units) => {
        for (const end = Math.min(args.pieces.length, next + units); next < end; ++next) {
          count.count(args.pieces[next]);
          counted += count.drawsOf(args.pieces[next]);
        }
      },
      () => next === args.pieces.length,
      () => post({type: 'progress', done: counted, total}));
    return count.tally();
  } finally {
    count.delete();
  }
}

// The operations that end at once.
const kImmediate = {
  limits: (module) => module.limits(),
  lotteryProblem: (module, args) => module.lotteryProblem(args.numbers, args.length),
  drawsWithinReach: (module, args) => module.drawsWithinReach(args.numbers, args.length),
  run: (module, args) => module.run(args.seed, args.phase, args.sorted),
  check: (module, args) => module.check(args.numbers, args.length, args.text, args.sorted),
  rowsOutputs: (module, args) => module.rowsOutputs(args.rows, args.sorted),
  better: (module, args) => module.betterOf(args.first, args.second),
  foundSummary: (module, args) => module.foundSummary(args.found, args.seconds),
  oddsPieces: (module, args) => module.oddsPieces(args.numbers, args.length, args.rows),
  oddsReport: (module, args) => module.oddsReport(args.numbers, args.length, args.rows, args.tally),
  defaultSteps: (module, args) => module.defaultSteps(args.rows),
};
const kLong = {search, countOdds};

onmessage = async (event) => {
  const {id, op, args} = event.data;
  if (op === 'cap') {
    capSteps = args.steps;
    return;
  }
  const post = (message) => postMessage({id, ...message});
  try {
    const module = await rivit;
    const value = op in kLong ? await kLong[op](module, args, post) : kImmediate[op](module, args);
    post({type: 'result', value});
  } catch (error) {
    post({type: 'error', message: String(error && error.message ? error.message : error)});
  }
};
