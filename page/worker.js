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

// The most steps of a wheel search in one slice, as the command takes them.
const kWheelSlice = 20000;

// The wheel search of a request until its rows are proven fewest, or for
// `steps` steps, or for `seconds`, in the command's slices: a 64th of the
// steps or of the default steps, whichever is fewer, a few hundredths of a
// second. The same steps give the same rows however they are sliced.
async function wheel(module, args, post) {
  const start = performance.now();
  const elapsed = () => (performance.now() - start) / 1000;
  const {numbers, length, pool, right, ifDrawn, rows, seed, seconds} = args;
  const job = new module.WheelSearchJob(numbers, length, pool, right, ifDrawn, rows, seed);
  try {
    const last = seconds > 0 ? Infinity : args.steps;
    const fewest = Math.min(last, module.defaultWheelSteps(numbers, length, pool, right, ifDrawn, rows));
    const slice = Math.max(1, Math.min(Math.floor(fewest / 64), kWheelSlice));
    while (!job.done() && job.stepsTaken() < last && !(seconds > 0 && elapsed() >= seconds)) {
      job.advance(Math.min(slice, last - job.stepsTaken()));
      post({type: 'progress', done: seconds > 0 ? elapsed() : job.stepsTaken(), total: seconds > 0 ? seconds : last});
      await yieldToMessages();
    }
    return job.result(elapsed());
  } finally {
    job.delete();
  }
}

// The counts that go in pieces: the odds of rows (with a condition or none),
// the check of a guarantee and the tier odds of a game's lines.
const kCounts = {
  tiers: (module, args) => new module.TierJob(args.game, args.text),
  odds: (module, args) => new module.OddsJob(args.numbers, args.length, args.rows, args.condition ?? null),
  guarantee: (module, args) => new module.GuaranteeJob(args.numbers, args.length, args.rows, args.pool, args.right,
                                                       args.ifDrawn),
};

// The pieces `args.pieces` of a count of `args.kind`, and their tally.
async function count(module, args, post) {
  const job = kCounts[args.kind](module, args);
  try {
    let next = 0;
    let counted = 0;
    const total = args.pieces.reduce((sum, piece) => sum + job.drawsOf(piece), 0);
    await inSlices(
      (units) => {
        for (const end = Math.min(args.pieces.length, next + units); next < end; ++next) {
          job.count(args.pieces[next]);
          counted += job.drawsOf(args.pieces[next]);
        }
      },
      () => next === args.pieces.length,
      () => post({type: 'progress', done: counted, total}));
    return job.tally();
  } finally {
    job.delete();
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
  oddsReport: (module, args) => module.oddsReport(args.numbers, args.length, args.rows, args.condition ?? null,
                                                  args.tallies),
  defaultSteps: (module, args) => module.defaultSteps(args.rows),
  poolProblem: (module, args) => module.poolProblem(args.numbers, args.length, args.pool),
  wheelProblem: (module, args) => module.wheelProblem(args.numbers, args.length, args.pool, args.right, args.ifDrawn,
                                                      args.rows, args.seed),
  defaultWheelSteps: (module, args) => module.defaultWheelSteps(args.numbers, args.length, args.pool, args.right,
                                                                args.ifDrawn, args.rows),
  guaranteeProblem: (module, args) => module.guaranteeProblem(args.numbers, args.length, args.pool, args.right,
                                                              args.ifDrawn),
  conditionProblem: (module, args) => module.conditionProblem(args.numbers, args.length, args.pool, args.ifDrawn),
  guaranteePieces: (module, args) => module.guaranteePieces(args.numbers, args.length, args.rows, args.pool,
                                                            args.right, args.ifDrawn),
  games: (module) => module.games(),
  gameInfo: (module, args) => module.gameInfo(args.game),
  tierPieces: (module, args) => module.tierPieces(args.game, args.text),
  gameOdds: (module, args) => module.gameOdds(args.game, args.text, args.tallies),
  checkDraws: (module, args) => module.checkDraws(args.game, args.text, args.draw ?? null, args.draws ?? null),
  checkGuarantee: (module, args) => module.checkGuarantee(args.numbers, args.length, args.text, args.pool,
                                                          args.right, args.ifDrawn, args.tallies),
};
const kLong = {search, wheel, count};

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
