// The page's speed beside the command's: each case timed in headless
// chromium on build/page (opened from disk) from the click to the table
// shown, and the same request to the optimised command, best of `kRounds`.
//
//   node bench/page_bench.mjs build/bench/cli/erilaisetrivit-rivit
import {spawnSync} from 'node:child_process';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';
import {chromium} from 'playwright-core';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const command = resolve(process.argv[2]);
const kRounds = 3;
// The seed of bench/odds_bench.cpp, whose whole run keeps 2862 rows.
const kOddsSeed = '20261208';
const kCases = [
  {name: `odds of a whole run (seed ${kOddsSeed})`, target: 1, fragment: `#seed=${kOddsSeed}&phase=5`,
   form: 'run-form', odds: true, args: ['--seed', kOddsSeed, '--odds']},
  {name: `tier odds of a whole run's rows in Lotto (seed ${kOddsSeed})`, fragment: `#game=lotto&seed=${kOddsSeed}&phase=5`,
   form: 'run-form', odds: true, args: ['--seed', kOddsSeed, '--game', 'lotto', '--odds']},
  {name: '--rows 20 --seed 1', fragment: '#rows=20&seed=1', form: 'rows-form', args: ['--rows', '20', '--seed', '1']},
  {name: '--rows 130 --seed 1', fragment: '#rows=130&seed=1', form: 'rows-form',
   args: ['--rows', '130', '--seed', '1']},
];
const kMostRatio = 3;

function nativeSeconds(args) {
  let best = Infinity;
  for (let i = 0; i < kRounds; ++i) {
    const start = process.hrtime.bigint();
    const run = spawnSync(command, args, {stdio: 'ignore'});
    if (run.status !== 0) throw new Error(`${command} ${args.join(' ')}: status ${run.status}`);
    best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e9);
  }
  return best;
}

async function pageSeconds(browser, item) {
  const url = pathToFileURL(join(root, 'build', 'page', 'index.html')).href + item.fragment;
  let best = Infinity;
  for (let i = 0; i < kRounds; ++i) {
    const page = await browser.newPage();
    await page.goto(url);
    await page.waitForFunction(() => document.body.dataset.state === 'done', null, {timeout: 600000});
    if (item.odds) await page.check('#odds');
    const start = Date.now();
    await page.click(`#${item.form} button[type="submit"]`);
    await page.waitForFunction(() => document.body.dataset.state !== 'working', null, {timeout: 600000});
    best = Math.min(best, (Date.now() - start) / 1000);
    await page.close();
  }
  return best;
}

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
});
console.log('| case | page | command | page / command | target |');
console.log('|---|---:|---:|---:|---|');
for (const item of kCases) {
  const web = await pageSeconds(browser, item);
  const native = nativeSeconds(item.args);
  const ratio = web / native;
  const targets = [`<= ${kMostRatio}x${ratio <= kMostRatio ? '' : ' (missed)'}`];
  if (item.target) targets.unshift(`< ${item.target} s${web < item.target ? '' : ' (missed)'}`);
  console.log(`| ${item.name} | ${web.toFixed(2)} s | ${native.toFixed(2)} s | ${ratio.toFixed(2)}x | ${targets.join(', ')} |`);
}
await browser.close();
