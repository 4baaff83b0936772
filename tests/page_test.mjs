// The page in a real browser: Debian's chromium, headless, driven by
// playwright-core, against the built page in build/page opened from disk
// (file://) and served by python3's http.server, each result compared with
// what the real command prints in a child process; in English and in
// Finnish, offline from its service worker, and looked over by axe-core.
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
import {runInNewContext} from 'node:vm';
import {chromium} from 'playwright-core';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const pageDir = join(root, 'build', 'page');
const shots = join(root, 'build', 'page-screenshots');
const build = resolve(root, process.env.RIVIT_BUILD ?? 'build/debug');
const command = join(build, 'cli', 'erilaisetrivit-rivit');
const scratch = mkdtempSync(join(tmpdir(), 'page-test-'));
const axeSource = readFileSync(join(root, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8');

// The page's texts (page/texts.js) as the page has them: kTexts,
// libraryMessage and textOf.
const texts = runInNewContext(`${readFileSync(join(root, 'page', 'texts.js'), 'utf8')}
  ({kTexts, kLibraryMessages, libraryMessage, textOf});`, {Intl, BigInt});

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

// What the command says is wrong with `args`: the words after the option or
// the file's line it names.
function refusalWords(...args) {
  const {stderr, status} = rivitWhole(...args);
  assert.equal(status, 2, `${args.join(' ')} is refused`);
  // --game names itself once more, and a game file its file.
  return stderr.match(/^erilaisetrivit-rivit: (?:--[a-z]+|.*:\d+): (.*?)(?: \(see --help\))?\n$/)[1]
      .replace(/^(?:--game: )?(?:[^:]*\.json: )?/, '');
}

const asSentence = (words) => `${words[0].toUpperCase()}${words.slice(1)}.`;

// The command's refusal as the page puts it: a sentence, in `language`.
const refusal = (...args) => asSentence(refusalWords(...args));
const refusalIn = (language, ...args) => asSentence(texts.libraryMessage(language, refusalWords(...args)));

// A figure as the page shows it in `language`, back in the command's digits:
// the groups' spaces and commas out, the decimal comma a point.
function figure(shown, language) {
  const digits = shown.replace(/[\s\u00a0\u202f%]/g, '');
  return language === 'fi' ? digits.replace(',', '.') : digits.replaceAll(',', '');
}

// The odds table that the page shows, back in the command's figures, as the
// command's text prints it: "right exactly at-least share odds" a line.
async function oddsTableFigures(page, language, table = 'odds-table') {
  const oneIn = {en: /^1 in (.*)$/, fi: /^1 \/ (.*)$/}[language];
  const rows = await page.$$eval(`#${table} tbody tr`, (trs) => trs.map((tr) => [...tr.children]
      .map((cell) => cell.textContent)));
  return rows.map(([right, exactly, atLeast, share, odds]) => [right, figure(exactly, language),
    figure(atLeast, language), `${figure(share, language)} %`,
    oneIn.test(odds) ? `1 in ${figure(odds.match(oneIn)[1], language)}` : {never: 'never', 'ei koskaan': 'never'}[odds]]
      .join(' '));
}

// The command's odds table from its text, each line's figures apart by one
// space; the first table, or the condition's second.
function commandOddsFigures(oddsText, which = 0) {
  const tables = oddsText.split(/^right .*\n/m).slice(1);
  return tables[which].split('\n').filter((line) => /^\s*\d+\s/.test(line))
      .map((line) => line.trim().split(/\s+/).join(' '));
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

// A page at `fragment` of the origin, in a browser whose language is
// `locale`, with every page error, console error and request kept for the
// test to assert on: none but for the page's own files (a service worker
// keeps them on the web, and the browser may ask for the icon late); and
// every registration of a service worker counted.
async function open(origin, fragment, {viewport = {width: 1280, height: 900}, locale = 'en-US'} = {}) {
  const context = await browser.newContext({viewport, locale, acceptDownloads: true});
  await context.addInitScript(() => {
    window.registrations = 0;
    const register = navigator.serviceWorker?.register;
    if (register) {
      navigator.serviceWorker.register = function(...args) {
        ++window.registrations;
        return register.apply(this, args);
      };
    }
  });
  const page = await context.newPage();
  const problems = [];
  const requests = [];
  page.on('pageerror', (error) => problems.push(`pageerror: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') problems.push(`console: ${message.text()}`);
  });
  const folder = origins[origin].replace(/index\.html$/, '');
  context.on('request', (request) => {
    if (!request.url().startsWith('blob:') && !request.url().startsWith(folder)) requests.push(request.url());
  });
  await page.goto(origins[origin] + fragment);
  await page.waitForSelector('body[data-ready="true"]');
  return {
    context,
    page,
    problems,
    requests,
    async close() {
      assert.deepEqual(problems, [], 'no page or console error');
      assert.deepEqual(requests, [], 'no request but for the page\'s own files');
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
      // What the library refuses of rows to play or of a run: the command's words, where the result would be.
      for (const [fragment, args] of [['#rows=20&seed=12x', ['--rows', '20', '--seed', '12x']],
        ['#seed=-1&phase=3', ['--seed', '-1', '--phase', '3']],
        ['#rows=20&seed=1&steps=0', ['--rows', '20', '--seed', '1', '--steps', '0']],
        ['#numbers=49&length=6&seed=1', ['--numbers', '49', '--length', '6', '--seed', '1']]]) {
        const {page, close} = await open(origin, fragment);
        await settled(page, 'failed');
        assert.equal(await page.textContent('#error'), refusalWords(...args), fragment);
        await close();
      }
    });

    test('the odds of a run\'s rows are the command\'s --odds, counted over every draw', async () => {
      const {page, close} = await open(origin, '#seed=1&phase=3&odds');
      await page.waitForSelector('#odds-output:not([hidden])');
      await settled(page);
      const odds = rivit('--seed', '1', '--phase', '3', '--odds');
      assert.deepEqual(await oddsTableFigures(page, 'en'), commandOddsFigures(odds));
      const guaranteed = Number(odds.match(/^guaranteed: (\d+)$/m)[1]);
      assert.ok((await page.textContent('#odds-sentences'))
          .includes(`Every draw gives at least ${guaranteed} right in some row.`));
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
      const shared = Number(check.match(/^most shared: (\d+)$/m)[1]);
      const [first, second] = check.match(/^pair: lines (\d+) and (\d+)$/m).slice(1);
      assert.ok((await page.textContent('#sentences')).includes(`No two of your rows share more than ${shared} ` +
          `number${shared === 1 ? '' : 's'}: the rows on lines ${first} and ${second} share ${shared}.`));

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
      // A wheel without T: the command's refusal of --wheel alone, marked at T.
      await page.fill('#wheel-right', '');
      await page.click('#wheel-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#wheel-message'), refusal('--wheel'));
      assert.equal(await page.getAttribute('#wheel-right', 'aria-invalid'), 'true');
      // Seconds out of the library's range: the command's refusal of --time, marked at the seconds.
      await page.fill('#wheel-right', '3');
      await page.fill('#wheel-steps', '');
      await page.fill('#wheel-time', '0');
      await page.click('#wheel-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#wheel-message'),
                   refusal('--wheel', '--pool', '1-12', '--guarantee', '3', '--if', '4', '--time', '0'));
      assert.equal(await page.getAttribute('#wheel-time', 'aria-invalid'), 'true');
      await page.fill('#wheel-time', '');
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
      // M alone asks for the odds over the draws that meet it: the command's --odds --if refuses it alike.
      await page.fill('#check-right', '');
      await page.fill('#check-if', '9');
      await page.click('#check-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#check-message'), refusal('--odds', file, '--pool', '3-22', '--if', '9'));
      assert.equal(await page.getAttribute('#check-if', 'aria-invalid'), 'true');
      // The pool alone, with neither T nor M: the command's --check and --odds refuse it alike.
      await page.fill('#check-if', '');
      await page.click('#check-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#check-message'), refusal('--check', file, '--pool', '3-22'));
      assert.equal(await page.textContent('#check-message'), refusal('--odds', file, '--pool', '3-22'));
      assert.equal(await page.getAttribute('#check-pool', 'aria-invalid'), 'true');
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

    test('a game the library refuses is refused at its control; one whose main drum is no lottery of rows says so',
         async () => {
      const {page, close} = await open(origin, '');
      await page.selectOption('#game', 'other');
      await page.fill('#game-form', '5/150');
      await page.waitForFunction(() => document.getElementById('game-message').textContent !== '');
      assert.equal(await page.textContent('#game-message'), refusal('--game', '5/150', '--odds', '-'));
      assert.equal(await page.getAttribute('#game-form', 'aria-invalid'), 'true');
      await page.fill('#game-form', '11/40');
      await page.waitForFunction(() => document.getElementById('game-message').textContent === '');
      assert.equal(await page.textContent('#lottery-message'), 'Rows to play, wheels and a run play the main drum ' +
                   `alone, which in this game cannot be: ${refusalWords('--numbers', '40', '--length', '11')}.`);
      await page.click('#rows-form button[type="submit"]');
      await settled(page, 'failed');
      assert.equal(await page.textContent('#error'), await page.textContent('#lottery-message'));
      await page.fill('#game-form', '6/49');
      await page.waitForFunction(() => document.getElementById('lottery-message').textContent === '');
      assert.match(page.url(), /#numbers=49&length=6&rows=20&/, 'a game of one drum is the command\'s --numbers and ' +
                   '--length');
      await close();
    });
  });
}

describe('the page\'s words', () => {
  test('both languages hold the same texts, and the markup none but the keys it names', () => {
    const keys = (language) => Object.keys(texts.kTexts[language]).sort();
    assert.deepEqual(keys('fi'), keys('en'));
    const markup = readFileSync(join(root, 'page', 'index.html'), 'utf8');
    const body = markup.slice(markup.indexOf('<body>'));
    assert.equal(body.replace(/<[^>]*>/g, '').trim(), '', 'no text in the markup\'s body');
    for (const [, key] of markup.matchAll(/data-text(?:-[a-z-]+)?="([^"]+)"/g)) {
      assert.ok(key in texts.kTexts.en, `the texts have ${key}`);
    }
  });

  // Each message of the library that the page's inputs can meet, provoked
  // from the real command (a game's among them), has a Finnish form, and
  // every pattern of the page's table is one of these.
  test('every refusal of the library that the page can show has a Finnish form', () => {
    const rows = (name, text) => {
      const file = join(scratch, name);
      writeFileSync(file, text);
      return file;
    };
    const seven = rows('seven.txt', '1 2 3 4 5 6 7\n');
    const ten = rows('ten.txt', '1 2 3 4 5 6 7 8 9 10\n');
    const cases = [
      ['--length', '11'], ['--numbers', '300'],
      ['--wheel', '--pool', '1-x', '--guarantee', '3'], ['--wheel', '--pool', '0-5', '--guarantee', '3'],
      ['--wheel', '--pool', '9-3', '--guarantee', '3'], ['--wheel', '--pool', '1-12,5', '--guarantee', '3'],
      ['--wheel', '--pool', '1-5', '--guarantee', '3'], ['--wheel', '--pool', '1-12', '--guarantee', '5', '--if', '4'],
      ['--wheel', '--pool', '1-12', '--guarantee', '3', '--if', '4', '--rows', '0'],
      ['--wheel', '--pool', '1-40', '--guarantee', '3', '--if', '7', '--rows', '5'],
      ['--wheel', '--pool', '1-40', '--guarantee', '7', '--if', '7'],
      ['--check', rows('empty-field.txt', '1 2 3 4 5 6 7\n1,,2\n')], ['--check', rows('word.txt', '1 2 x 4 5 6 7\n')],
      ['--check', rows('high.txt', '1 2 3 41 5 6 7\n')], ['--check', rows('twice.txt', '1 2 3 3 5 6 7\n')],
      ['--check', rows('one.txt', '1\n')], ['--check', rows('six.txt', '1 2 3 4 5 6\n')],
      ['--check', seven, '--guarantee', '9'], ['--check', seven, '--guarantee', '3', '--if', '9'],
      ['--numbers', '64', '--length', '10', '--check', ten, '--pool', '1-64', '--guarantee', '3', '--if', '10'],
      ['--numbers', '64', '--length', '10', '--odds', ten], ['--odds', seven, '--pool', '1-12', '--if', '9'],
      ['--rows', '0'], ['--seed', '12x'], ['--wheel'], ['--rows', '3', '--steps', '0'], ['--rows', '3', '--time', '0'],
      ['--numbers', '49', '--length', '6'], ['--odds', seven, '--pool', '1-12'],
    ];
    // A row refused in the page is named by its line, as "line 2: ...".
    const messages = [...cases.map((args) => refusalWords(...args)), ...gameRefusals()]
        .flatMap((words) => [words, `line 2: ${words}`]);
    for (const english of messages) {
      const finnish = texts.libraryMessage('fi', english);
      assert.notEqual(finnish, english, `a Finnish form of "${english}"`);
      // A game file's key names, the JSON parser's own detail and the games' names stay as they are.
      const words = finnish.replace(/”[^”]*”|"[^"]*"|ei JSONia: .*|pelit ovat .* tai lyhyt/g, '');
      assert.doesNotMatch(words, /\b(the|is|are|of|numbers?|from|rows?|lines?|draws?|has|not)\b/,
                          `no English left in "${finnish}"`);
      for (const figure of english.match(/\d+/g) ?? []) {
        assert.ok(finnish.replace(/[\s\u00a0]/g, '').includes(figure), `${figure} stays in "${finnish}"`);
      }
      assert.equal(texts.libraryMessage('en', english), english);
    }
    for (const [pattern] of texts.kLibraryMessages) {
      assert.ok(messages.some((message) => pattern.test(message)), `the command can say ${pattern}`);
    }
  });

  test('a Finnish browser gets the page in Finnish: its figures, its sentences and the library\'s refusals',
       async () => {
    const {page, close} = await open('file', '#seed=1&phase=3&odds', {locale: 'fi-FI'});
    await page.waitForSelector('#odds-output:not([hidden])');
    await settled(page);
    assert.equal(await page.getAttribute('html', 'lang'), 'fi');
    assert.equal(await page.textContent('#rows-heading'), 'Pelattavat rivit');
    const odds = rivit('--seed', '1', '--phase', '3', '--odds');
    assert.deepEqual(await oddsTableFigures(page, 'fi'), commandOddsFigures(odds));
    // Finnish digits: a space between groups and a decimal comma, "1 / X" for "1 in X".
    const [, , share, oneIn] = await page.$$eval('#odds-table tbody tr:last-child td',
                                                 (tds) => tds.map((td) => td.textContent));
    assert.match(share.replace(/[\u00a0\u202f]/g, ' '), /^0,000236 %$/);
    assert.match(oneIn.replace(/[\u00a0\u202f]/g, ' '), /^1 \/ 423 717,27$/);
    assert.equal(await page.textContent('#status'), `${(await tableText(page, 'rows-table')).split('\n').length - 1} ` +
                 'riviä.');
    // The library's refusals in Finnish beside their forms, and its own
    // report lines as they are.
    assert.equal(await page.textContent('#summary') + '\n', rivit('--seed', '1', '--counts'));
    await page.fill('#wheel-pool', '1-6');
    await page.click('#wheel-form button[type="submit"]');
    await settled(page, 'failed');
    assert.equal(await page.textContent('#wheel-message'), 'Numeroitasi on 6, vähemmän kuin rivissä (7).');
    assert.equal(await page.textContent('#wheel-message'), refusalIn('fi', '--wheel', '--pool', '1-6', '--guarantee',
                                                                      '3', '--if', '4'));
    await page.fill('#wheel-pool', '1-12');
    await page.click('#wheel-form details.advanced summary');
    await page.fill('#wheel-seed', '12x');
    await page.click('#wheel-form button[type="submit"]');
    await settled(page, 'failed');
    // The library's one wording of a seed that is none, the command's and the page's.
    assert.match(await page.textContent('#wheel-message'), /^”12x” ei ole kokonaisluku 0–18\s446\s744\s/);
    assert.equal(await page.textContent('#wheel-message'), refusalIn('fi', '--wheel', '--pool', '1-12', '--guarantee', '3',
                                                                      '--seed', '12x'));
    assert.equal(await page.getAttribute('#wheel-seed', 'aria-invalid'), 'true');
    await page.selectOption('#game', 'other');
    await page.fill('#game-form', '11/40');
    await page.waitForFunction(() => document.getElementById('lottery-message').textContent !== '');
    assert.match(await page.textContent('#lottery-message'), /: rivissä on 2–10 numeroa, ei 11\.$/);
    await close();
  });

  test('the switch changes the language of every text and keeps it in the address; lang=en overrides the browser',
       async () => {
    const {page, close} = await open('file', '#rows=20&seed=1&steps=20000&odds&lang=en', {locale: 'fi-FI'});
    await page.waitForSelector('#odds-output:not([hidden])');
    await settled(page);
    assert.equal(await page.getAttribute('html', 'lang'), 'en');
    const english = await page.textContent('#sentences');
    assert.match(english, /No two of these rows share more than \d+ numbers?\./);
    const odds = commandOddsFigures(rivit('--rows', '20', '--seed', '1', '--steps', '20000', '--odds'));
    assert.deepEqual(await oddsTableFigures(page, 'en'), odds);
    await page.click('[data-language="fi"]');
    assert.equal(await page.getAttribute('html', 'lang'), 'fi');
    assert.match(page.url(), /&lang=fi$/);
    assert.equal(await page.getAttribute('[data-language="fi"]', 'aria-pressed'), 'true');
    // What a result says is said again in the new language, and its figures written in it.
    assert.match(await page.textContent('#sentences'), /Millään kahdella näistä riveistä/);
    assert.match(await page.textContent('#result-heading'), /^20 pelattavaa riviä, siemen 1$/);
    assert.deepEqual(await oddsTableFigures(page, 'fi'), odds);
    assert.match(await page.textContent('#odds-table thead'), /Oikein.*Arvontoja.*Vähintään.*Osuus/);
    const left = await page.evaluate(() => [...document.querySelectorAll('[data-text]')]
        .filter((element) => element.textContent.trim() === '').map((element) => element.dataset.text));
    assert.deepEqual(left, [], 'every text is filled');
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.getAttribute('html', 'lang'), 'fi', 'the address keeps the language');
    await close();
  });
});

describe('the play slip', () => {
  // The slip's pressed numbers, in the order of the slip.
  const pressed = (page, slip = '#row-slip') => page.$$eval(`${slip} button[aria-pressed="true"]`,
                                                            (buttons) => buttons.map((b) => Number(b.textContent)));

  test('tapping makes rows in the text, typing in the text presses the numbers, and a full row\'s next tap ' +
       'starts a new row', async () => {
    const {page, close} = await open('file', '#numbers=45&length=6');
    assert.equal(await page.locator('#row-slip button[data-number]').count(), 45);
    const size = await page.locator('#row-slip button[data-number="1"]').boundingBox();
    assert.ok(size.width >= 44 && size.height >= 44, `a number is ${size.width} x ${size.height} px`);
    for (const n of [5, 12, 3]) await page.click(`#row-slip button[data-number="${n}"]`);
    assert.equal(await page.inputValue('#your-rows'), '5 12 3');
    assert.equal(await page.textContent('#row-slip-count'), '3 of 6 numbers picked in this row');
    await page.click('#row-slip button[data-number="12"]');
    assert.equal(await page.inputValue('#your-rows'), '5 3', 'a second tap takes a number out');
    for (const n of [20, 30, 40, 45]) await page.click(`#row-slip button[data-number="${n}"]`);
    await page.click('#row-slip button[data-number="1"]');
    assert.equal(await page.inputValue('#your-rows'), '5 3 20 30 40 45\n1');
    assert.deepEqual(await pressed(page), [1]);
    // By keyboard: the arrows move along the slip, Space presses.
    await page.focus('#row-slip button[data-number="1"]');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('Space');
    assert.equal(await page.inputValue('#your-rows'), '5 3 20 30 40 45\n1 2');
    // The text edited: the slip follows the caret's row.
    await page.fill('#your-rows', '7, 8; 9\n10 11 12 13 14 15');
    await page.evaluate(() => {
      const area = document.getElementById('your-rows');
      area.focus();
      area.setSelectionRange(0, 0);
    });
    await page.keyboard.press('End');
    assert.deepEqual(await pressed(page), [7, 8, 9]);
    await page.keyboard.press('ArrowDown');
    assert.deepEqual(await pressed(page), [10, 11, 12, 13, 14, 15]);
    await close();
  });

  test('Quick pick fills the row at random, rows that the command reads; the wheel\'s slip writes its pool',
       async () => {
    const {page, close} = await open('file', '');
    await page.click('#row-slip button[data-number="40"]');
    for (let i = 0; i < 5; ++i) await page.click('#quick-pick');
    const text = await page.inputValue('#your-rows');
    const lines = text.split('\n');
    assert.equal(lines.length, 5);
    assert.ok(lines[0].startsWith('40 '), 'the row begun is filled');
    const file = join(scratch, 'quick-pick.txt');
    writeFileSync(file, `${text}\n`);
    assert.match(rivit('--check', file), /^rows: 5$/m, 'the command reads five rows of 7 of 40');
    assert.equal(new Set(lines).size, 5, 'five different rows');
    await page.click('#check-form button[type="submit"]');
    await settled(page);
    await page.click('#pool-slip summary');
    await page.fill('#wheel-pool', '');
    for (const n of [3, 4, 5, 9, 11, 12, 13]) await page.click(`#pool-slip button[data-number="${n}"]`);
    assert.equal(await page.inputValue('#wheel-pool'), '3-5, 9, 11-13');
    await page.fill('#wheel-pool', '1-3, 40');
    assert.deepEqual(await pressed(page, '#pool-slip'), [1, 2, 3, 40]);
    await close();
  });
});

describe('on a phone\'s home screen', () => {
  test('over http the page installs its files, then opens and counts the odds with no network', async () => {
    const {context, page, close} = await open('http', '#seed=1&phase=2');
    await settled(page);
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller) {
        await new Promise((done) => navigator.serviceWorker.addEventListener('controllerchange', done));
      }
    });
    assert.equal(await page.evaluate(() => window.registrations), 1);
    const manifest = await (await fetch(await page.getAttribute('link[rel="manifest"]', 'href')
        .then((href) => new URL(href, origins.http)))).json();
    assert.equal(manifest.display, 'standalone');
    assert.equal(manifest.start_url, '.');
    for (const icon of manifest.icons) {
      const png = Buffer.from(await (await fetch(new URL(icon.src, origins.http))).arrayBuffer());
      assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, icon.sizes, `${icon.src} is a PNG of its size`);
    }
    await context.setOffline(true);
    await page.goto(origins.http + '#seed=1&phase=2&odds');
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    await page.waitForSelector('#odds-output:not([hidden])');
    await settled(page);
    assert.deepEqual(await oddsTableFigures(page, 'en'), commandOddsFigures(rivit('--seed', '1', '--phase', '2',
                                                                                   '--odds')));
    await context.setOffline(false);
    await close();
  });

  test('from disk the page registers no service worker', async () => {
    const {page, close} = await open('file', '#seed=1&phase=1');
    await settled(page);
    assert.equal(await page.evaluate(() => window.registrations), 0);
    await close();
  });
});

// The main views, each in both languages, on a desktop and a 390 px phone:
// no serious or critical fault that axe-core finds, no sideways scroll, and
// their screenshots.
describe('every main view, in both languages, on a desktop and a phone', () => {
  // Each view: its address, what the player does there, and what it shows.
  const slipRow = async (page) => {
    for (const n of [1, 2, 3, 4, 5, 6, 7]) await page.click(`#row-slip button[data-number="${n}"]`);
    await page.click('#quick-pick');
  };
  const views = [
    ['rows', '#rows=20&seed=1&steps=20000&odds', null, '#odds-output'],
    ['wheel', '#wheel&pool=1-12&guarantee=3&if=4&seed=1&steps=1000&odds', null, '#odds-output'],
    ['check', '#pool=1-12&guarantee=3&if=4&check', async (page) => {
      await slipRow(page);
      await page.click('#check-form button[type="submit"]');
    }, '#odds-output'],
    ['run', '#seed=1&phase=2', null, '#rows-output'],
    ['tiers', '#game=eurojackpot&check&prize=3%2B1%3D15.40', async (page) => {
      await page.fill('#your-rows', '3 11 24 38 45 + 2 9\n1 2 3 4 5 + 1 12\n7 13 21 30 44 + 5 11\n');
      await page.click('#check-form button[type="submit"]');
    }, '#tiers-output'],
    ['draw', '#game=lotto&check&draw=3%207%2012%2019%2022%2031%2038%20%2B%2040', async (page) => {
      await page.fill('#your-rows', '1 4 9 16 25 31 36\n3 7 12 19 22 31 40\n2 8 14 20 26 32 38\n');
      await page.click('#draw-slip summary');
      await page.click('#draw-form button[type="submit"]');
    }, '#draw-output'],
  ];
  for (const language of ['en', 'fi']) {
    for (const [name, fragment, play, shows] of views) {
      test(`${name} in ${language === 'fi' ? 'Finnish' : 'English'}`, async () => {
        const {page, close} = await open('file', `${fragment}&lang=${language}`);
        if (play) await play(page);
        await settled(page);
        await page.waitForSelector(`${shows}:not([hidden])`);
        const devices = [['desktop', {width: 1280, height: 900}], ['phone', {width: 390, height: 844}]];
        for (const [device, viewport] of devices) {
          await page.setViewportSize(viewport);
          await page.evaluate(axeSource);
          const faults = await page.evaluate(async () => (await axe.run(document, {preload: false})).violations
              .filter((fault) => fault.impact === 'serious' || fault.impact === 'critical')
              .map((fault) => `${fault.id}: ${fault.nodes.map((node) => node.target.join(' ')).join(', ')}`));
          assert.deepEqual(faults, [], `${name} ${device}`);
          if (device === 'phone') {
            const wide = await page.evaluate(() => document.documentElement.scrollWidth);
            assert.ok(wide <= viewport.width, `the page is ${wide} px wide`);
          }
          await page.screenshot({path: join(shots, `${name}-${device}-${language}.png`), fullPage: true});
        }
        await close();
      });
    }
  }
});

// A file of `text` in the scratch folder, by its name.
function scratchFile(name, text) {
  const file = join(scratch, name);
  writeFileSync(file, text);
  return file;
}

// The tier table the page shows: each row's name and figures back in the
// command's digits.
async function tierTable(page, language = 'en') {
  const rows = await page.$$eval('#tiers-table tbody tr', (trs) => trs.map((tr) => [...tr.children]
      .map((cell) => cell.textContent)));
  return rows.map(([name, outcomes, share, odds]) => ({name, outcomes: Number(figure(outcomes, language)),
                                                      share: figure(share, language), odds}));
}

// The lines of a draws check table: each row's number, tier and prize.
const drawTable = (page) => page.$$eval('#draw-lines tbody tr', (trs) => trs.map((tr) => [...tr.children]
    .map((cell) => cell.textContent)));

// The command's refusals of the games, lines, draws, prizes and prices that
// the page can meet, each as the page would show it; and a count out of
// reach.
function gameRefusals() {
    const ej = scratchFile('ej-one-line.txt', '1 2 3 4 5 + 1 2\n');
  const lotto = scratchFile('lotto-one-line.txt', '1 2 3 4 5 6 7\n');
  const lines = (name, text) => ['--game', 'eurojackpot', '--odds', scratchFile(name, text)];
  const gameFile = (name, json) => ['--game', scratchFile(name, json), '--odds', lotto];
  const cases = [
    ['--game', 'nosuch', '--odds', ej], ['--game', '5/x', '--odds', ej], ['--game', '5/150', '--odds', ej],
    ['--game', '50/60', '--odds', ej], ['--game', '5/50+2/150', '--odds', ej], ['--game', '5/50+7', '--odds', ej],
    ['--game', '21/90 21', '--odds', ej],
    lines('plus.txt', '1 2 3 4 5 6 7 + 1\n'), lines('noplus.txt', '1 2 3 4 5\n'),
    lines('twoplus.txt', '1 2 3 4 5 + 1 + 2\n'), lines('second.txt', '1 2 3 4 5 + 1\n'),
    lines('main.txt', '1 2 3 4 + 1 2\n'), lines('high.txt', '1 2 3 4 5 + 1 13\n'),
    ['--game', 'lotto', '--odds', scratchFile('lotto-plus.txt', '1 2 3 4 5 6 7 + 1\n')],
    ['--game', 'lotto', '--check', lotto, '--draw', '1 2 3 4 5 6 7'],
    ['--game', 'lotto', '--check', lotto, '--draw', '1 2 3 4 5 6 + 7'],
    ['--game', 'lotto', '--check', lotto, '--draw', '1 2 3 4 5 6 7 + 8 9'],
    ['--game', 'eurojackpot', '--check', ej, '--draw', '1 2 3 4 5 + 1'],
    ['--game', '7/35+1+1/20', '--check', scratchFile('au.txt', '1 2 3 4 5 6 7 + 1\n'), '--draw',
     '1 2 3 4 5 6 7 + 8 + 1 2'],
    ['--game', 'lotto', '--check', lotto, '--draws', scratchFile('dated.txt', '2026-13-01 1 2 3 4 5 6 7 + 8\n')],
    ['--game', 'eurojackpot', '--odds', ej, '--prize', '3+1=1,505'], ['--game', 'eurojackpot', '--odds', ej, '--price', 'x'],
    gameFile('not-json.json', '{'), gameFile('list.json', '[]'), gameFile('key.json', '{"name": "x", "colour": 1}'),
    gameFile('missing.json', '{"name": "x"}'), gameFile('empty.json', '{"name": "", "main": {}, "tiers": []}'),
    gameFile('main.json', '{"name": "x", "main": 3, "tiers": []}'),
    gameFile('whole.json', '{"name": "x", "main": {"numbers": -1, "drawn": 7}, "tiers": []}'),
    gameFile('text.json', '{"name": 1, "main": {"numbers": 40, "drawn": 7}, "tiers": []}'),
    gameFile('tiers.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "tiers": 1}'),
    gameFile('no-tiers.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "tiers": []}'),
    gameFile('hits.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "tiers": [{"name": "8", "main": 8}]}'),
    gameFile('no-name.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "tiers": [{"name": ""}]}'),
    gameFile('amount.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "price": "1", "tiers": [{"name": "7"}]}'),
    gameFile('cents.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "price": 1.005, "tiers": [{"name": "7"}]}'),
    gameFile('large.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "price": 2e9, "tiers": [{"name": "7"}]}'),
    gameFile('bonus.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7, "bonus": 9}, "tiers": [{"name": "7"}]}'),
    gameFile('line.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "line": 40, "tiers": [{"name": "7"}]}'),
    gameFile('drawn.json', '{"name": "x", "main": {"numbers": 40, "drawn": 40}, "tiers": [{"name": "7"}]}'),
    gameFile('second.json', '{"name": "x", "main": {"numbers": 40, "drawn": 7}, "second": {"numbers": 1, ' +
             '"drawn": 1}, "tiers": [{"name": "7"}]}'),
  ];
  // The counts the page refuses as the library words them (rivit/tier_odds.cpp): lines of too many numbers, a
  // short form whose outcomes pass 64 bits.
  return [...cases.map((args) => refusalWords(...args)), 'the lines hold 61 numbers: too many to count every outcome',
          'the lines hold 61 numbers and 12 of the second drum: too many to count every outcome',
          'the game has too many outcomes to count exactly'];
}

describe('real games', () => {
  test('a Eurojackpot line made on the slip: its tier odds are the command\'s --game eurojackpot --odds', async () => {
    const {page, close} = await open('file', '#game=eurojackpot');
    assert.equal(await page.inputValue('#game'), 'eurojackpot');
    const main = (n) => page.click(`#row-slip .slip[data-drum="main"] button[data-number="${n}"]`);
    const second = (n) => page.click(`#row-slip .slip[data-drum="second"] button[data-number="${n}"]`);
    assert.equal(await page.locator('#row-slip .slip[data-drum="second"] button').count(), 12);
    for (const n of [3, 11, 24, 38]) await main(n);
    await second(2);
    await main(45);
    await main(46);  // the main part is full: nothing
    await second(9);
    assert.equal(await page.inputValue('#your-rows'), '3 11 24 38 45 + 2 9');
    await page.click('#quick-pick');
    await page.click('#check-form button[type="submit"]');
    await page.waitForSelector('#tiers-output:not([hidden])');
    await settled(page);
    const file = scratchFile('ej.txt', `${await page.inputValue('#your-rows')}\n`);
    const json = rivit('--game', 'eurojackpot', '--odds', file, '--format', 'json');
    const odds = JSON.parse(json);
    const shown = await tierTable(page);
    assert.deepEqual(shown.map((row) => [row.name, row.outcomes]),
                     [...odds.tiers.map((tier) => [tier.name, tier.outcomes]), ['No prize', odds.none],
                      ['Any prize', odds.any]]);
    const text = rivit('--game', 'eurojackpot', '--odds', file);
    const oneIn = (name) => text.match(new RegExp(`^${name.replace('+', '\\+')}\\s.* 1 in ([\\d.]+)$`, 'm'))[1];
    assert.equal(shown[0].odds.replace(/,/g, ''), `1 in ${oneIn('5+2')}`);
    assert.match(await page.textContent('#tiers-sentences'), new RegExp(`in 1 of every ${oneIn('any prize')} draws`));
    assert.equal(await downloaded(page, 'tiers', 'json'), json);
    assert.equal(await downloaded(page, 'tiers', 'text'), text);
    assert.equal(await page.textContent('#tiers-text') + '\n', text);
    await close();
  });

  test('a Lotto draw marked on the slip: each row\'s hits and tier are the command\'s --check --draw', async () => {
    const rows = '1 4 9 16 25 31 36\n3 7 12 19 22 31 40\n2 8 14 20 26 32 38\n3 7 12 19 22 31 38\n5 6 10 11 13 15 17\n';
    const {page, close} = await open('file', '#game=lotto');
    await page.fill('#your-rows', rows);
    await page.click('#draw-slip summary');
    for (const n of [3, 7, 12, 19, 22, 31, 38, 40]) await page.click(`#draw-slip button[data-number="${n}"]`);
    const draw = '3 7 12 19 22 31 38 + 40';
    assert.equal(await page.inputValue('#draw'), draw, 'the eighth number is the extra number');
    await page.click('#draw-form button[type="submit"]');
    await page.waitForSelector('#draw-output:not([hidden])');
    await settled(page);
    const file = scratchFile('lotto-rows.txt', rows);
    const json = rivit('--game', 'lotto', '--check', file, '--draw', draw, '--format', 'json');
    const check = JSON.parse(json);
    const shown = await drawTable(page);
    assert.deepEqual(shown.map(([line, , right, tier]) => [Number(line), right, tier]),
                     check.lines.map((line) => [line.line, `${line.main}+${line.bonus}`, line.tier ?? 'no prize']));
    const marked = await page.$$eval('#draw-lines tbody tr:nth-child(2) mark', (marks) => marks.map((m) => m.textContent));
    assert.deepEqual(marked, ['3', '7', '12', '19', '22', '31', '40'], 'the numbers drawn, the extra one too');
    assert.equal(await downloaded(page, 'draw', 'json'), json);
    assert.equal(await downloaded(page, 'draw', 'csv'),
                 rivit('--game', 'lotto', '--check', file, '--draw', draw, '--format', 'csv'));
    assert.match(page.url(), /#game=lotto&check&draw=3%207%2012%2019%2022%2031%2038%20%2B%2040$/);
    // A draw the library refuses is refused beside it, in its words.
    await page.fill('#draw', '3 7 12 19 22 31 38');
    await page.click('#draw-form button[type="submit"]');
    await settled(page, 'failed');
    assert.equal(await page.textContent('#draw-message'),
                 refusal('--game', 'lotto', '--check', file, '--draw', '3 7 12 19 22 31 38'));
    await close();
  });

  test('a file of past draws: draw by draw and in total, the command\'s --draws', async () => {
    const rows = '3 11 24 38 45 + 2 9\n1 2 3 4 5 + 1 12\n';
    const draws = 'date,n1,n2,n3,n4,n5,+,s1,s2\n2026-12-04,3,11,24,38,44,+,2,8\n2026-12-11 1 2 3 4 5 + 1 12\n' +
        '2026-12-18 6 7 8 9 10 + 3 4\n';
    const {page, close} = await open('file', '#game=eurojackpot');
    await page.fill('#your-rows', rows);
    const file = scratchFile('ej-draws.txt', draws);
    await page.setInputFiles('#draws-file', file);
    await page.waitForSelector('#draw-output:not([hidden])');
    await settled(page);
    const lines = scratchFile('ej-lines.txt', rows);
    const text = rivit('--game', 'eurojackpot', '--check', lines, '--draws', file);
    assert.equal(await downloaded(page, 'draw', 'text'), text);
    const totals = [...text.matchAll(/^lines: (\d+), winning: (\d+),/gm)].map((m) => m.slice(1));
    assert.deepEqual(await page.$$eval('#draws-table tbody tr', (trs) => trs.map((tr) => tr.children[3].textContent)),
                     totals.slice(0, 3).map(([, winning]) => winning));
    const [played, winning] = totals[3];
    assert.match(await page.textContent('#draw-sentences'), new RegExp(`^Over 3 draws, ${played} rows played, ` +
                                                                        `${winning} winning`));
    await close();
  });

  test('prizes edited on the page give the command\'s expected return with --prize and --price; the address ' +
       'keeps them', async () => {
    const {page, close} = await open('file', '#game=eurojackpot');
    const rows = '3 11 24 38 45 + 2 9\n1 2 3 4 5 + 1 12\n7 8 9 10 11 + 3 4\n';
    await page.fill('#your-rows', rows);
    await page.click('#check-form button[type="submit"]');
    await page.waitForSelector('#tiers-output:not([hidden])');
    await settled(page);
    assert.match(await page.textContent('#return-sentences'), /^No tier has a prize/);
    await page.fill('#tiers-table input[data-tier="3+1"]', '15.40');
    await page.press('#tiers-table input[data-tier="3+1"]', 'Enter');
    await page.fill('#tiers-table input[data-tier="5+2"]', '10000000');
    await page.press('#tiers-table input[data-tier="5+2"]', 'Tab');
    await page.fill('#price', '2.5');
    await page.press('#price', 'Tab');
    await page.waitForFunction(() => /2\.5/.test(location.hash));
    const file = scratchFile('ej-prizes.txt', rows);
    const args = ['--game', 'eurojackpot', '--odds', file, '--prize', '3+1=15.40', '--prize', '5+2=10000000',
                  '--price', '2.5'];
    await page.waitForFunction(() => /back/.test(document.getElementById('return-sentences').textContent));
    assert.equal(await downloaded(page, 'tiers', 'text'), rivit(...args));
    const expected = JSON.parse(rivit(...args, '--format', 'json')).expected;
    const one = JSON.parse(rivit('--game', 'eurojackpot', '--prize', '3+1=15.40', '--prize', '5+2=10000000',
                                 '--odds', scratchFile('ej-one.txt', '1 2 3 4 5 + 1 2\n'), '--format', 'json')).expected;
    const sentences = await page.textContent('#return-sentences');
    assert.ok(sentences.includes(`On average these 3 rows win ${expected.prize} a draw, ${one.prize} a row.`), sentences);
    assert.ok(sentences.includes(`They cost ${expected.cost} a draw: each euro spent brings back ` +
                                 `${expected.per_unit.toFixed(4)} on average.`), sentences);
    assert.match(page.url(), /&prize=5%2B2%3D10000000&prize=3%2B1%3D15.40&price=2.5$|&prize=3%2B1%3D15.40&prize=5%2B2%3D10000000&price=2.5$/);
    // A prize that is no amount: the library's words beside the table, and the input marked.
    await page.fill('#tiers-table input[data-tier="4+0"]', '1,505');
    await page.press('#tiers-table input[data-tier="4+0"]', 'Tab');
    await page.waitForFunction(() => document.getElementById('prize-message').textContent !== '');
    assert.equal(await page.textContent('#prize-message'), asSentence(refusalWords(...args, '--prize', '4+0=1,505')));
    assert.equal(await page.getAttribute('#tiers-table input[data-tier="4+0"]', 'aria-invalid'), 'true');
    await close();
  });

  test('a game file opened: its game and its prizes, as the command reads the file', async () => {
    const described = JSON.parse(rivit('--game', 'lotto', '--describe'));
    described.name = 'my-lotto';
    described.title = 'My Lotto';
    described.tiers[4].prize = 10;
    const gameFile = scratchFile('my-lotto.json', JSON.stringify(described));
    const {page, close} = await open('file', '');
    await page.selectOption('#game', 'file');
    await page.setInputFiles('#game-file', gameFile);
    await page.waitForFunction(() => /My Lotto/.test(document.getElementById('game-about').textContent));
    const rows = '1 2 3 4 5 6 7\n8 9 10 11 12 13 14\n';
    await page.fill('#your-rows', rows);
    await page.click('#check-form button[type="submit"]');
    await page.waitForSelector('#tiers-output:not([hidden])');
    await settled(page);
    const lines = scratchFile('my-lotto-rows.txt', rows);
    assert.equal(await downloaded(page, 'tiers', 'json'), rivit('--game', gameFile, '--odds', lines, '--format', 'json'));
    assert.equal(await page.inputValue('#tiers-table input[data-tier="4"]'), '10.00');
    // A file the library refuses: its words at the control.
    await page.setInputFiles('#game-file', scratchFile('broken.json', '{"name": "x"}'));
    await page.waitForFunction(() => document.getElementById('game-message').textContent !== '');
    assert.equal(await page.textContent('#game-message'), refusal('--game', join(scratch, 'broken.json'), '--odds', lines));
    await close();
  });

  test('in Finnish: a bad line named by its line, and the tier table in Finnish digits', async () => {
    const {page, close} = await open('file', '#game=eurojackpot', {locale: 'fi-FI'});
    const bad = '3 11 24 38 45 + 2 9\n1 2 3 4 5\n';
    await page.fill('#your-rows', bad);
    await page.click('#check-form button[type="submit"]');
    await settled(page, 'failed');
    const file = scratchFile('ej-bad.txt', bad);
    assert.equal(await page.textContent('#error'),
                 texts.libraryMessage('fi', `line 2: ${refusalWords('--game', 'eurojackpot', '--odds', file)}`));
    assert.match(await page.textContent('#error'), /^tekstirivi 2: /);
    assert.equal(await page.getAttribute('#your-rows', 'aria-invalid'), 'true');
    await page.selectOption('#game', 'lotto');
    await page.fill('#your-rows', '1 2 3 4 5 6 7\n');
    await page.click('#check-form button[type="submit"]');
    await page.waitForSelector('#tiers-output:not([hidden])');
    await settled(page);
    const shown = await tierTable(page, 'fi');
    const sixPlusOne = shown.find((row) => row.name === '6+1');
    assert.equal(sixPlusOne.odds.replace(/[\u00a0\u202f]/g, ' '), '1 / 2 663 365,71');
    const one = JSON.parse(rivit('--game', 'lotto', '--odds', scratchFile('one.txt', '1 2 3 4 5 6 7\n'), '--format',
                                 'json'));
    assert.deepEqual(shown.map((row) => row.outcomes), [...one.tiers.map((tier) => tier.outcomes), one.none, one.any]);
    assert.match(await page.textContent('#tiers-sentences'), /Se voittaa jotakin keskimäärin kerran 49,60 arvonnassa/);
    await close();
  });

  // Rows of a small pool, whose union the count goes through quickly.
  test('a wheel\'s rows in Lotto: their tier odds are the command\'s --game lotto --odds of those rows', async () => {
    const {page, close} = await open('file', '#game=lotto&wheel&pool=1-10&guarantee=3&if=4&seed=1&steps=300&odds');
    await page.waitForSelector('#tiers-output:not([hidden])');
    await settled(page);
    const rows = scratchFile('lotto-wheel.txt', await downloaded(page, 'rows', 'text'));
    assert.equal(await downloaded(page, 'tiers', 'json'), rivit('--game', 'lotto', '--odds', rows, '--format', 'json'));
    await close();
  });

});
