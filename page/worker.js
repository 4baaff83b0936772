// The page's worker: one computation of the companion's library at a time,
// on the module built from page/bindings.cpp (createRivit, defined just
// before this text in the same worker script). A long one goes in slices,
// reporting between them, so that the page shows its progress and may end it
// by terminating the worker; the page never waits on one.
//
// Messages in: {id, op, args}; out, with the same id: {type: 'progress',
// done, total}, {type: 'result', value} or {type: 'error', message}. A
// short operation may arrive while a long one runs; it is answered between
// two slices. {op: 'hear', args: {news}} carries the news of the other lane
// of the race whose lane this worker runs (rivit/jobs.h).

const rivit = createRivit();

// Counting goes on for about this long between two looks at the messages,
// so that the page's Stop and the progress bar are answered at once.
const kCountMilliseconds = 100;

const yieldToMessages = () => new Promise((resolve) => setTimeout(resolve, 0));

// The lane of a race that this worker runs, while it runs: the news of the
// other lane, from the other worker, goes to it.
let lane = null;

// A job's slices, as the library hands them, until it is done; the progress
// reported and the messages answered after each.
async function inSlices(job, advance, post, shareDone) {
  while (!job.done()) {
    advance();
    post({type: 'progress', done: shareDone(), total: 1});
    await yieldToMessages();
  }
}

// One lane of the race of a request for rows; its news, for the page to carry
// to the other lane's worker and to ask the result of both.
async function search(module, args, post) {
  const job = new module.RaceLaneJob(args.lottery, args.request, args.which);
  lane = job;
  try {
    const start = performance.now();
    const elapsed = () => (performance.now() - start) / 1000;
    await inSlices(job, () => job.advance(elapsed()), post, () => job.shareDone(elapsed()));
    return job.news();
  } finally {
    lane = null;
    job.delete();
  }
}

// The wheel search of a request until its rows are proven fewest, or for
// `steps` steps (the default for null), or for `seconds` (null: by steps).
async function wheel(module, args, post) {
  const start = performance.now();
  const elapsed = () => (performance.now() - start) / 1000;
  const job = new module.WheelSearchJob(args.lottery, args.request, args.steps ?? null, args.seconds ?? null);
  try {
    await inSlices(job, () => job.advance(elapsed()), post, () => job.shareDone(elapsed()));
    return job.result(elapsed());
  } finally {
    job.delete();
  }
}

// The counts that go in pieces: the odds of rows (with a condition or none),
// the check of a guarantee and the tier odds of a game's lines; each worker
// counts the share `args.which` of `args.counters` that the library deals it.
const kCounts = {
  tiers: (module, args) => new module.TierJob(args.game, args.text, args.counters, args.which),
  odds: (module, args) => new module.OddsJob(args.lottery, args.rows, args.condition ?? null, args.counters,
                                             args.which),
  guarantee: (module, args) => new module.GuaranteeJob(args.lottery, args.rows, args.request, args.counters,
                                                       args.which),
};

// A worker's share of a count of `args.kind`, and its tally.
async function count(module, args, post) {
  const job = kCounts[args.kind](module, args);
  try {
    const countFor = () => {
      const start = performance.now();
      do job.advance(); while (!job.done() && performance.now() - start < kCountMilliseconds);
    };
    await inSlices(job, countFor, post, () => job.shareDone());
    return job.tally();
  } finally {
    job.delete();
  }
}

// The operations that end at once.
const kImmediate = {
  limits: (module) => module.limits(),
  run: (module, args) => module.run(args.lottery, args.seed, args.phase, args.sorted),
  check: (module, args) => module.check(args.lottery, args.text, args.sorted),
  rowsOutputs: (module, args) => module.rowsOutputs(args.rows, args.sorted),
  raceResult: (module, args) => module.raceResult(args.lottery, args.request, args.news, args.took),
  oddsReport: (module, args) => module.oddsReport(args.lottery, args.rows, args.condition ?? null, args.tallies),
  rowsRequest: (module, args) => module.rowsRequest(args.lottery, args.request),
  wheelRequest: (module, args) => module.wheelRequest(args.lottery, args.request),
  guaranteeRequest: (module, args) => module.guaranteeRequest(args.lottery, args.request),
  oddsRequest: (module, args) => module.oddsRequest(args.lottery, args.condition ?? null),
  games: (module) => module.games(),
  gameInfo: (module, args) => module.gameInfo(args.game),
  tierPieces: (module, args) => module.tierPieces(args.game, args.text),
  gameOdds: (module, args) => module.gameOdds(args.game, args.text, args.tallies),
  checkDraws: (module, args) => module.checkDraws(args.game, args.text, args.draw ?? null, args.draws ?? null),
  checkGuarantee: (module, args) => module.checkGuarantee(args.lottery, args.text, args.request, args.tallies),
};
const kLong = {search, wheel, count};

onmessage = async (event) => {
  const {id, op, args} = event.data;
  if (op === 'hear') {
    if (lane) lane.hear(args.news);
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
