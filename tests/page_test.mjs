// The page in a real browser: Debian's chromium, headless, driven by
// playwright-core, against the built page in build/page opened from disk
// (file://) and served by python3's http.server, each result compared with
// what the real command prints in a child process.
//
//   RIVIT_BUILD=build/debug node --test tests/page_test.mjs
import {after, before, describe, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync, spawn, spawnSync} from 'node:child_process';
import {existsSync, mkdirSync, mkdtempSync, readFileSync, writeFileSync} from 'node:fs';
import {createServer} from 'node:net';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';
import {chromium} from 'playwright-core';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const pageDir = join(root, 'build', 'page');
const shots = join(root, 'build', 'page-screenshots');
const build = resolve(root, process.env.RIVIT_BUILD ?? 'build/debug');
const command = ['cli', 'rivit'].map((dir) => join(build, dir, 'erilaisetrivit-rivit')).find(existsSync);
const scratch = mkdtempSync(join(tmpdir(), 'page-test-'));

// What the command writes to standard output for `args`.
function rivit(...args) {
  return execFileSync(command, args, {encoding: 'utf8', maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'pipe']});
}

// The command's line on standard error that tells what rows it found, less
// the time they took.
function foundSummary(...args) {
  const {stderr} = spawnSync(command, args, {encoding: 'utf8'});
  return untimed(stderr.split('\n').find((line) => line.startsWith('rows: ')));
}

const untimed = (summary) => summary.replace(/, [0-9.]+ s$/, '');

// The command's standard output and standard error for `args`, whatever its
// status: a check whose guarantee fails ends with 1.
function rivitWhole(...args) {
  const {stdout, stderr, status} = spawnSync(command, args, {encoding: 'utf8', maxBuffer: 1 << 28});
  return {stdout, stderr, status};
}

// What the command says is wrong with `args` (the words after the option it
// names), as the page puts it: a sentence.
function refusal(...args) {
  const {stderr, status} = rivitWhole(...args);
  assert.equal(status, 2, `${args.join(' ')} is refused`);
  const words = stderr.match(/^erilaisetrivit-rivit: --[a-z]+: (.*) \(see --help\)\n$/)[1];
  return `${words[0].toUpperCase()}${words.slice(1)}.`;
}

function freePort() {
  return new Promise((done) => {
    const probe = createServer();
    probe.listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => done(port));
    });
  });
}

let browser;
let server;
let origins;

before(async () => {
  assert.ok(command, `no erilaisetrivit-rivit under ${build}`);
  assert.ok(existsSync(join(pageDir, 'index.html')), 'no build/page/index.html: make page');
  mkdirSync(shots, {recursive: true});
  const port = await freePort();
  server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', pageDir],
                 {stdio: 'ignore'});
  const served = `http://127.0.0.1:${port}/`;
  for (let tries = 0;; ++tries) {
    try {
      await fetch(served);
      break;
    } catch (error) {
      if (tries > 100) throw error;
      await new Promise((r) => setTimeout(r, 50));
    }
  }
  origins = {file: pathToFileURL(join(pageDir, 'index.html')).href, http: `${served}index.html`};
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
});

after(async () => {
  await browser?.close();
  server?.kill();
});

// A page at `fragment` of the origin, with every page error, console error
// and request after the load kept for the test to assert on.
async function open(origin, fragment, viewport = {width: 1280, height: 900}) {
  const context = await browser.newContext({viewport, acceptDownloads: true});
  const page = await context.newPage();
  const problems = [];
  const requests = [];
  page.on('pageerror', (error) => problems.push(`pageerror: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') problems.push(`console: ${message.text()}`);
  });
  let loaded = false;
  page.on('request', (request) => {
    if (loaded && !request.url().startsWith('blob:')) requests.push(request.url());
  });
  await page.goto(origins[origin] + fragment);
  await page.waitForSelector('body[data-ready="true"]');
  loaded = true;
  return {
    page,
    problems,
    requests,
    async close() {
      assert.deepEqual(problems, [], 'no page or console error');
      assert.deepEqual(requests, [], 'no request once loaded');
      await context.close();
    },
  };
}

// The latest task's end, as the page marks it.
async function settled(page, expected = 'done') {
  await page.waitForFunction(() => (document.body.dataset.state ?? 'working') !== 'working');
  assert.equal(await page.getAttribute('body', 'data-state'), expected);
}

// The rows table as the command's text: one line a row, its cells by spaces.
async function tableText(page, id) {
  return page.$$eval(`#${id} tbody tr`, (rows) => rows.map((row) => [...row.querySelectorAll('td')]
      .map((td) => td.textContent).join(' ') + '\n').join(''));
}

async function downloaded(page, kind, format) {
  const [download] = await Promise.all([page.waitForEvent('download'),
    page.click(`[data-download="${kind}"][data-format="${format}"]`)]);
  return readFileSync(await download.path(), 'utf8');
}

for (const origin of ['file', 'http']) {
  describe(`the page from ${origin}`, () => {
    test('a run by seed and phase: its rows and report lines, in every format, are the command\'s', async () => {
      const {page, close} = await open(origin, '#seed=1&phase=3');
      await settled(page);
      assert.equal(await tableText(page, 'rows-table'), rivit('--seed', '1', '--phase', '3'));
      assert.equal(await page.textContent('#summary') + '\n', rivit('--seed', '1', '--counts'));
      for (const format of ['text', 'csv', 'json']) {
        assert.equal(await downloaded(page, 'rows', format), rivit('--seed', '1', '--phase', '3', '--format', format));
      }
      if (origin === 'file') {
        await page.screenshot({path: join(shots, 'run-desktop.png'), fullPage: true});
      }
      // Another phase, chosen at the control: the address follows it.
      await page.selectOption('#phase', '1');
      await page.click('#run-form button[type="submit"]');
      await settled(page);
      assert.match(page.url(), /#seed=1&phase=1$/);
      assert.equal(await tableText(page, 'rows-table'), rivit('--seed', '1', '--phase', '1'));
      await close();
    });

    test('rows to play by seed and steps, in two lotteries, are the command\'s, sorted or not', async () => {
      for (const [fragment, args] of [
        ['#rows=20&seed=1', ['--rows', '20', '--seed', '1']],
        ['#rows=130&seed=1&steps=3000', ['--rows', '130', '--seed', '1', '--steps', '3000']],
        ['#numbers=49&length=6&rows=30&seed=5&steps=20000&sorted',
         ['--numbers', '49', '--length', '6', '--rows', '30', '--seed', '5', '--steps', '20000', '--sorted']],
      ]) {
        const {page, close} = await open(origin, fragment);
        await settled(page);
        assert.equal(await tableText(page, 'rows-table'), rivit(...args), fragment);
        assert.equal(await downloaded(page, 'rows', 'json'), rivit(...args, '--format', 'json'), fragment);
        assert.equal(untimed(await page.textContent('#summary')), foundSummary(...args), fragment);
        await close();
      }
    });

    test('the odds of a run\'s rows are the command\'s --odds, counted over every draw', async () => {
      const {page, close} = await open(origin, '#seed=1&phase=3&odds');
      await page.waitForSelector('#odds-output:not([hidden])');
      await settled(page);
      const csv = rivit('--seed', '1', '--phase', '3', '--odds', '--format', 'csv');
      assert.equal(await tableText(page, 'odds-table'), csv.split('\n').slice(1).map((l) => l.replaceAll(',', ' '))
          .filter((l) => l).map((l) => `${l}\n`).join(''));
      for (const format of ['text', 'csv', 'json']) {
        assert.equal(await downloaded(page, 'odds', format),
                     rivit('--seed', '1', '--phase', '3', '--odds', '--format', format));
      }
      const bars = await page.$$eval('#hits-chart rect', (rects) => rects.length);
      assert.equal(bars, 8, 'one bar for each count right, 0 to 7');
      await close();
    });

    test('pasted rows: the check and the exact odds are the command\'s; a bad row is named by its line', async () => {
      const {page, close} = await open(origin, '#numbers=45&length=6');
      const rows = rivit('--numbers', '45', '--length', '6', '--rows', '12', '--seed', '3', '--steps', '5000');
      const file = join(scratch, 'rows.txt');
      writeFileSync(file, rows);
      await page.fill('#your-rows', rows);
      await page.click('#check-form button[type="submit"]');
      await page.waitForSelector('#odds-output:not([hidden])');
      await settled(page);
      const check = rivit('--numbers', '45', '--length', '6', '--check', file);
      assert.equal(await page.textContent('#summary') + '\n', check);
      assert.equal(await downloaded(page, 'odds', 'text'), rivit('--numbers', '45', '--length', '6', '--odds', file));

      const bad = '1 2 3 4 5 6\n3 5 7 9 11 13 40\n';
      await page.fill('#your-rows', bad);
      await page.click('#check-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#error'), 'line 2: 7 numbers, a row has 6');
      assert.equal(await page.inputValue('#your-rows'), bad, 'the player\'s text stays as it was');
      assert.equal(await page.getAttribute('#your-rows', 'aria-invalid'), 'true');
      if (origin === 'file') await page.screenshot({path: join(shots, 'check-error-desktop.png'), fullPage: true});
      await close();
    });

    test('a wheel by seed and steps: its rows, its line and its downloads are the command\'s', async () => {
      for (const [fragment, args] of [
        ['#wheel&pool=1-12&guarantee=3&if=4&seed=1&steps=1000',
         ['--wheel', '--pool', '1-12', '--guarantee', '3', '--if', '4', '--seed', '1', '--steps', '1000']],
        ['#numbers=49&length=6&wheel&pool=5-22&guarantee=3&if=5&rows=4&seed=7&steps=150',
         ['--numbers', '49', '--length', '6', '--wheel', '--pool', '5-22', '--guarantee', '3', '--if', '5',
          '--rows', '4', '--seed', '7', '--steps', '150']],
      ]) {
        const {page, close} = await open(origin, fragment);
        await settled(page);
        assert.ok(page.url().endsWith(fragment), `the address stays ${fragment}`);
        assert.equal(await tableText(page, 'rows-table'), rivit(...args), fragment);
        const line = rivitWhole(...args).stderr.split('\n').find((l) => l.startsWith('rows: '));
        assert.equal(untimed(await page.textContent('#summary')), untimed(line), fragment);
        for (const format of ['text', 'csv', 'json']) {
          assert.equal(await downloaded(page, 'rows', format), rivit(...args, '--format', format), fragment);
        }
        if (origin === 'file' && args.includes('1-12')) {
          await page.screenshot({path: join(shots, 'wheel-desktop.png'), fullPage: true});
        }
        await close();
      }
    });

    test('a wheel refused is refused beside its form in the library\'s words; Stop ends a long one', async () => {
      const {page, close} = await open(origin, '#wheel&pool=1-12&guarantee=3&if=4&seed=1&steps=300');
      await settled(page);
      const shown = await tableText(page, 'rows-table');
      const summary = await page.textContent('#summary');
      for (const [pool, right, drawn] of [['1-x', '3', '4'], ['1-6', '3', '4'], ['1-12', '5', '4']]) {
        await page.fill('#wheel-pool', pool);
        await page.fill('#wheel-right', right);
        await page.fill('#wheel-if', drawn);
        await page.click('#wheel-form button[type="submit"]');
        await settled(page, 'failed');
        const words = refusal('--wheel', '--pool', pool, '--guarantee', right, '--if', drawn);
        assert.equal(await page.textContent('#wheel-message'), words);
        assert.equal(await page.getAttribute('#wheel-pool', 'aria-invalid'), right === '3' ? 'true' : null, pool);
        assert.equal(await tableText(page, 'rows-table'), shown, 'the rows shown stay');
        assert.equal(await page.textContent('#summary'), summary, 'their line stays');
        assert.equal(await page.inputValue('#wheel-pool'), pool, 'the player\'s text stays as it was');
      }
      await page.fill('#wheel-pool', '1-20');
      await page.fill('#wheel-right', '4');
      await page.fill('#wheel-if', '6');
      await page.fill('#wheel-steps', '100000000');
      await page.click('#wheel-form button[type="submit"]');
      // The search starts only once the form is accepted: by then its old message must be gone.
      await page.waitForFunction(() => !document.getElementById('progress-area').hidden);
      assert.equal(await page.textContent('#wheel-message'), '', 'the message goes with its cause');
      await page.click('#stop');
      await settled(page, 'stopped');
      assert.ok(await page.isHidden('#progress-area'));
      await close();
    });

    test('pasted rows with a guarantee: its line is the command\'s --check --guarantee, the odds its --odds --if',
         async () => {
      // A wheel of 1-16 checked on more numbers, where the first set it fails
      // for is not the first set of all.
      const {page, close} = await open(origin, '#pool=3-22&guarantee=3&if=5&check');
      assert.equal(await page.inputValue('#check-pool'), '3-22');
      const rows = rivit('--wheel', '--pool', '1-16', '--guarantee', '3', '--if', '4', '--seed', '1', '--steps', '300');
      const file = join(scratch, 'guarantee-rows.txt');
      writeFileSync(file, rows);
      await page.fill('#your-rows', rows);
      await page.click('#check-form button[type="submit"]');
      await page.waitForSelector('#odds-output:not([hidden])');
      await settled(page);
      const check = rivitWhole('--check', file, '--pool', '3-22', '--guarantee', '3', '--if', '5');
      assert.equal(check.status, 1, 'the guarantee fails, so that the page must find the same first set');
      assert.equal(await page.textContent('#summary') + '\n', check.stdout);
      for (const format of ['text', 'csv', 'json']) {
        assert.equal(await downloaded(page, 'odds', format),
                     rivit('--odds', file, '--pool', '3-22', '--if', '5', '--format', format), format);
      }
      assert.match(page.url(), /#pool=3-22&guarantee=3&if=5&check$/);
      await page.fill('#check-right', '8');
      await page.click('#check-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#check-message'),
                   refusal('--check', file, '--pool', '3-22', '--guarantee', '8', '--if', '5'));
      await close();
    });

    test('Stop ends a long search at once, and the page goes on working', async () => {
      const {page, close} = await open(origin, '#rows=400&seed=1&steps=500000000');
      await page.waitForSelector('#progress-area:not([hidden])');
      await page.waitForFunction(() => document.getElementById('progress').value > 0);
      const started = Date.now();
      await page.click('#stop');
      await settled(page, 'stopped');
      assert.ok(Date.now() - started < 2000, 'stopped within two seconds');
      assert.ok(await page.isHidden('#progress-area'));
      assert.equal(await page.textContent('#status'), 'Stopped.');
      await page.fill('#rows', '5');
      await page.fill('#steps', '1000');
      await page.click('#rows-form button[type="submit"]');
      await settled(page);
      assert.equal(await tableText(page, 'rows-table'), rivit('--rows', '5', '--seed', '1', '--steps', '1000'));
      await close();
    });

    test('a lottery out of the library\'s limits is refused at its control', async () => {
      const {page, close} = await open(origin, '');
      await page.fill('#length', '11');
      await page.waitForFunction(() => document.getElementById('lottery-message').textContent !== '');
      assert.equal(await page.textContent('#lottery-message'), 'A row has 2 to 10 numbers, not 11.');
      assert.equal(await page.getAttribute('#length', 'aria-invalid'), 'true');
      await page.fill('#length', '6');
      await page.fill('#numbers', '49');
      await page.waitForFunction(() => document.getElementById('lottery-message').textContent === '');
      assert.equal(await page.inputValue('#preset'), '49/6');
      await close();
    });

    if (origin === 'file') {
      test('on a 390 px phone: no sideways scroll, and the screenshots of the main views', async () => {
        const phone = {width: 390, height: 844};
        for (const [name, fragment] of [['rows', '#rows=20&seed=1&steps=20000&odds'], ['run', '#seed=1&phase=2'],
          ['wheel', '#wheel&pool=1-12&guarantee=3&if=4&seed=1&steps=1000']]) {
          const {page, close} = await open(origin, fragment, phone);
          await settled(page);
          if (fragment.includes('odds')) await page.waitForSelector('#odds-output:not([hidden])');
          const wide = await page.evaluate(() => document.documentElement.scrollWidth);
          assert.ok(wide <= phone.width, `the page is ${wide} px wide`);
          await page.screenshot({path: join(shots, `${name}-phone.png`), fullPage: true});
          if (name === 'rows') {
            await page.setViewportSize({width: 1280, height: 900});
            await page.screenshot({path: join(shots, 'rows-desktop.png'), fullPage: true});
          }
          await close();
        }
      });
    }
  });
}
