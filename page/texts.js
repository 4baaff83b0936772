// Every text of the page in Finnish and in English, one table a language
// with the same keys, and the library's messages (always English) in
// Finnish. The markup carries only keys (data-text, data-text-placeholder,
// data-text-aria-label); page.js fills them in the page's language.
//
// A text may hold {name} for a value given with it; a text that depends on a
// count is {one, other} chosen by the value `count` (Intl.PluralRules).
'use strict';

const kTexts = {
  en: {
    'page.title': 'Erilaiset rivit: lottery rows that differ',
    'page.heading': 'Erilaiset rivit',
    'page.lead': 'Lottery rows that share as few numbers as possible, and the exact odds of any rows. Everything is ' +
        'computed here, in this browser: nothing is sent anywhere.',
    'language.label': 'Kieli – Language',
    'language.fi': 'Suomeksi',
    'language.en': 'In English',

    'lottery.heading': 'Your game',
    'lottery.game': 'Game',
    'lottery.games': 'Games by name',
    'lottery.oneDrum': 'One drum',
    'lottery.preset.7/40': '7 of 40',
    'lottery.preset.6/49': '6 of 49',
    'lottery.preset.5/50': '5 of 50',
    'lottery.preset.6/45': '6 of 45',
    'lottery.preset.5/35': '5 of 35',
    'lottery.preset.7/39': '7 of 39',
    'lottery.other': 'Other: a short form',
    'lottery.file': 'Open a game file',
    'lottery.shortForm': 'Short form',
    'lottery.shortFormHint': '6/45: 6 of 45; 7/40+1: and 1 extra number; 5/50+2/12: and 2 of 12 from a second drum; ' +
        '20/70 10: Keno, 10 spots.',
    'lottery.fileLabel': 'Game file (JSON)',
    'game.drawn': '{title}: {drawn} of {numbers} drawn',
    'game.bonus': {one: 'then 1 extra number from the rest', other: 'then {count} extra numbers from the rest'},
    'game.second': 'and {drawn} of {numbers} from a second drum',
    'game.line': 'a line holds {line} numbers',
    'game.lineSecond': 'a line holds {line} numbers + {second}',
    'game.tiers': {one: '1 prize tier', other: '{count} prize tiers'},
    'game.price': 'a line costs {price}',

    'rows.heading': 'Rows to play',
    'rows.about': 'Rows that share as few numbers as the search can find.',
    'rows.count': 'Rows',
    'rows.submit': 'Find rows',

    'advanced.summary': 'Advanced',
    'advanced.about': 'The same seed and steps give the same rows, here and in the command.',
    'advanced.seed': 'Seed',
    'advanced.steps': 'Steps',
    'advanced.defaultSteps': 'default',
    'advanced.seconds': 'or seconds',

    'check.heading': 'Your rows',
    'check.about': 'Tap your numbers on the slip, or type or paste rows, one a line, or drop a file of them on the ' +
        'box; Check tells how much they overlap and their exact odds.',
    'check.rows': 'Your rows, one a line',
    'check.rowsHint': 'The numbers apart by spaces, commas or semicolons.',
    'check.rowsHintSecond': 'A line: its {line} main numbers, then “+” and its {second} of the second drum, as ' +
        '3 11 24 38 45 + 2 9.',

    'draw.heading': 'This week\'s draw',
    'draw.about': 'What your rows above won: each row\'s numbers right, its prize tier and its prize.',
    'draw.label': 'The draw',
    'draw.hint': 'As drawn: {parts}.',
    'draw.partMain': '{count} numbers',
    'draw.partBonus': {one: '1 extra number', other: '{count} extra numbers'},
    'draw.partSecond': '{count} of the second drum',
    'draw.slipSummary': 'Mark the draw on a slip',
    'draw.submit': 'Check your rows',
    'draw.file': 'Or open a file of past draws',
    'draw.fileHint': 'One draw a line, optionally after its date: 2026-12-05 3 7 12 19 22 31 38 + 5.',
    'check.file': 'Open a file of rows',
    'check.guarantee': 'A guarantee to check, if you like',
    'check.guaranteeHint': 'Whether some row has at least T right whenever at least M of your numbers (such as ' +
        '1-12) are drawn; M alone counts the odds over those draws too.',
    'check.submit': 'Check',

    'slip.rowHeading': 'Play slip',
    'slip.rowAbout': 'A tap puts a number in the row the cursor is on in the box below, or takes it out; once the ' +
        'row is full, the next number starts a new row.',
    'slip.group': 'Numbers 1 to {last}',
    'slip.rowCount': '{picked} of {takes} numbers picked in this row',
    'slip.rowCountSecond': '{picked} of {takes} numbers and {second} of {secondTakes} of the second drum picked in ' +
        'this row',
    'slip.second': 'Second drum: {takes} of 1 to {last}',
    'slip.secondGroup': 'Second drum, numbers 1 to {last}',
    'slip.drawCount': '{marked} of {takes} numbers of the draw marked',
    'slip.poolSummary': 'Pick your numbers on a slip',
    'slip.poolCount': {one: '1 number picked; a row takes {takes}',
                       other: '{count} numbers picked; a row takes {takes}'},
    'slip.quickPick': 'Quick pick',
    'slip.newRow': 'New row',

    'pool.label': 'Your numbers',
    'pool.every': 'every number',
    'pool.hint': 'Numbers and ranges: 1-12, or 3, 7, 11, 19, 24, 30.',
    'guarantee.right': 'T right',
    'guarantee.ifDrawn': 'if M drawn',
    'guarantee.sameAsT': 'T',

    'wheel.heading': 'Wheel',
    'wheel.about': 'The fewest rows of your numbers such that whenever at least M of the drawn numbers are yours, ' +
        'some row has at least T right.',
    'wheel.guarantee': 'Guarantee',
    'wheel.rows': 'Rows at most',
    'wheel.fewest': 'fewest',
    'wheel.submit': 'Find a wheel',

    'run.heading': 'A run of erilaisetrivit',
    'run.about': 'The rows the program keeps, phase by phase, and its five report lines. 7 of 40 only.',
    'run.phase': 'Phase',
    'run.phase.1': '1: no shared numbers',
    'run.phase.2': '2: at most 1 shared',
    'run.phase.3': '3: at most 2 shared',
    'run.phase.4': '4: at most 3 shared',
    'run.phase.5': '5: at most 4 shared',
    'run.submit': 'Show the run',

    'options.label': 'Options',
    'options.sorted': 'Each row\'s numbers in ascending order',
    'options.odds': 'Count the exact odds of the rows shown',

    'result.stop': 'Stop',
    'result.commandText': 'The command\'s own text',
    'result.copyText': 'Copy this text',
    'result.rowsActions': 'The rows',
    'result.copyRows': 'Copy the rows',
    'result.downloadText': 'Download text',
    'result.downloadCsv': 'Download CSV',
    'result.downloadJson': 'Download JSON',
    'result.print': 'Print',
    'result.rowsCaption': 'The rows',
    'table.row': 'Row',
    'table.numbers': 'Numbers',

    'tiers.heading': 'The odds of each prize',
    'tiers.caption': 'Every possible draw of {title}, by the best prize tier any of your rows wins',
    'tiers.captionOneLine': 'Every possible draw of {title}, by the prize tier of one row',
    'tiers.tier': 'Tier',
    'tiers.outcomes': 'Draws',
    'tiers.prize': 'Prize',
    'tiers.prizeOf': 'Prize of tier {tier}',
    'tiers.noPrize': 'none set',
    'tiers.noneRow': 'No prize',
    'tiers.anyRow': 'Any prize',
    'tiers.counted': {one: 'This row is counted against all {outcomes} possible draws.',
                      other: 'These {count} rows are counted against all {outcomes} possible draws.'},
    'tiers.outOfReach': 'Not counted for all your rows: {problem}. The table gives the odds of one row.',
    'tiers.any': {one: 'It wins a prize in 1 of every {x} draws: {share} of them.',
                  other: 'They win a prize in 1 of every {x} draws: {share} of them.'},
    'tiers.anyNever': {one: 'It never wins a prize.', other: 'They never win a prize.'},
    'tiers.price': 'Price of a row',
    'tiers.priceHint': 'Change a prize in the table, or the price, for the expected return.',
    'tiers.actions': 'The odds of each prize',
    'return.unknown': 'No tier has a prize: write the prizes in the table for the expected return.',
    'return.perDraw': {one: 'On average this row wins {prize} a draw.',
                       other: 'On average these {count} rows win {prize} a draw, {perLine} a row.'},
    'return.perUnit': 'They cost {cost} a draw: each euro spent brings back {perUnit} on average.',
    'return.cost': 'They cost {cost} a draw.',
    'return.unpriced': 'Tiers with no prize set count as winning nothing: {tiers}.',

    'draws.caption': 'Draw by draw',
    'draws.actions': 'What the draws gave',
    'draws.headingOne': 'Your rows against the draw {draw}',
    'draws.headingDated': 'Your rows against the draw of {date}: {draw}',
    'draws.headingMany': {one: 'Your rows against 1 draw', other: 'Your rows against {count} draws'},
    'draws.linesCaption': 'Each row against {draw}, its numbers drawn marked',
    'draws.totalsCaption': 'Rows that won each tier',
    'draws.totalsCaptionMany': 'Rows that won each tier, over all the draws',
    'draws.right': 'Right',
    'draws.noTier': 'no prize',
    'draws.notFixed': 'not fixed',
    'draws.lines': 'Rows',
    'draws.number': 'Draw',
    'draws.date': 'Date',
    'draws.draw': 'Numbers',
    'draws.winning': 'Winning rows',
    'draws.prizes': 'Fixed prizes',
    'draws.totals': {one: '1 row, {winning} winning: fixed prizes {prizes}.',
                     other: '{count} rows, {winning} winning: fixed prizes {prizes}.'},
    'draws.over': 'Over {draws} draws, {count} rows played, {winning} winning: fixed prizes {prizes}.',
    'draws.overUnfixed': 'Over {draws} draws, {count} rows played, {winning} winning: fixed prizes {prizes}, besides ' +
        'the tiers whose prize is not fixed.',
    'draws.totalsUnfixed': {one: '1 row, {winning} winning: fixed prizes {prizes}, besides the tiers whose prize ' +
        'is not fixed.', other: '{count} rows, {winning} winning: fixed prizes {prizes}, besides the tiers whose ' +
        'prize is not fixed.'},

    'odds.heading': 'The exact odds',
    'odds.caption': 'Every possible draw, by the most numbers right in any one of your rows',
    'odds.actions': 'The odds',
    'odds.downloadText': 'Download the odds as text',
    'odds.right': 'Right',
    'odds.draws': 'Draws',
    'odds.atLeast': 'At least',
    'odds.share': 'Share',
    'odds.odds': 'Odds',
    'odds.oneIn': '1 in {x}',
    'odds.never': 'never',
    'odds.hitsCaption': 'How many numbers the best row has right, over every possible draw.',
    'odds.balanceCaption': 'How many rows hold each number.',
    'odds.counted': {one: 'This row is counted against all {draws} possible draws of {length} numbers from 1 to ' +
        '{numbers}.', other: 'These {count} rows are counted against all {draws} possible draws of {length} numbers ' +
        'from 1 to {numbers}.'},
    'odds.guaranteed': {one: 'Every draw gives at least 1 right in some row.',
                        other: 'Every draw gives at least {count} right in some row.'},
    'odds.noneGuaranteed': 'Some draws give no row a single number right.',
    'odds.condition': 'If at least {ifDrawn} of your {pool} numbers ({poolText}) are drawn: {draws} draws, ' +
        '{share} of all.',
    'odds.conditionGuaranteed': 'In every such draw some row has at least {count} right.',
    'odds.conditionNoneGuaranteed': 'Even then some draws give no row a single number right.',
    'odds.balanceEven': 'Every number is in {count} rows.',
    'odds.balance': 'Each number is in {least} to {most} rows: in {least}, marked in orange, {leastNumbers}; in ' +
        '{most}, {mostNumbers}.',
    'chart.hits': 'Draws by the most numbers right in one row',
    'chart.right': '{k} right',
    'chart.balance': 'Rows holding each number',

    'found.shared': {one: 'No two of these rows share more than 1 number.',
                     other: 'No two of these rows share more than {count} numbers.'},
    'found.disjoint': 'No two of these rows share a number.',
    'found.pairs': {one: '1 pair of rows shares {shared}.', other: '{count} pairs of rows share {shared}.'},
    'found.usage': {one: 'The most used number is in 1 more row than the least used.',
                    other: 'The most used number is in {count} more rows than the least used.'},
    'found.even': 'Every number is in the same number of rows, give or take none.',
    'found.proven': 'No {rows} rows can do better.',

    'wheel.holds': {one: 'Whenever {ifDrawn} of the drawn numbers are among your {pool}, this row has at least ' +
        '{right} right.', other: 'Whenever {ifDrawn} of the drawn numbers are among your {pool}, one of these ' +
        '{count} rows has at least {right} right.'},
    'wheel.fails': 'Of the {sets} ways to draw {ifDrawn} of your {pool} numbers, {uncovered} leave every row below ' +
        '{right} right; {covered} % are covered.',
    'wheel.fewestProven': 'No fewer rows can do it.',
    'wheel.bound': 'No wheel of this guarantee has fewer than {bound} rows.',

    'check.count': {one: 'You have 1 row.', other: 'You have {count} rows.'},
    'check.noPair': 'With fewer than two rows there is nothing to compare.',
    'check.disjoint': 'No two of your rows share a number.',
    'check.shared': {one: 'No two of your rows share more than 1 number: the rows on lines {first} and {second} ' +
        'share 1.', other: 'No two of your rows share more than {count} numbers: the rows on lines {first} and ' +
        '{second} share {count}.'},
    'check.holds': 'Whenever {ifDrawn} of the drawn numbers are among your {pool}, one of your rows has at least ' +
        '{right} right.',
    'check.fails': 'Not guaranteed: of the {sets} ways to draw {ifDrawn} of your {pool} numbers, {failing} leave ' +
        'every row below {right} right, such as {example}.',

    'run.sentence': {one: 'The rows that phase {phase} keeps: no two of them share more than 1 number.',
                     other: 'The rows that phase {phase} keeps: no two of them share more than {count} numbers.'},
    'run.disjoint': 'The rows that phase {phase} keeps: no two of them share a number.',
    'run.report': 'The program\'s report, in Finnish as it prints it, is the command\'s own text below.',

    'heading.rows': '{rows} rows to play, seed {seed}',
    'heading.run': 'A run with seed {seed}: the rows of phase {phase}',
    'heading.check': 'Your rows',
    'heading.wheel': 'A wheel of {pool}: {right} right if {ifDrawn} drawn, seed {seed}',

    'status.searchingRows': 'Searching for {rows} rows with seed {seed}…',
    'status.rowsFound': {one: '1 row found.', other: '{count} rows found.'},
    'status.running': 'Running the search with seed {seed}…',
    'status.rows': {one: '1 row.', other: '{count} rows.'},
    'status.rowsRead': {one: '1 row read.', other: '{count} rows read.'},
    'status.searchingWheel': 'Searching for a wheel of {pool}, {right} right if {ifDrawn} drawn, seed {seed}…',
    'status.stopped': 'Stopped.',
    'status.rowsCopied': 'The rows are copied.',
    'status.textCopied': 'The text is copied.',
    'status.noCopy': 'This browser did not let the page copy: select the text and copy it.',
    'progress.searching': 'Searching',
    'progress.counting': 'Counting every draw',
    'progress.checking': 'Checking the guarantee',

    'problem.tWhole': 'T is a whole number',
    'problem.mWhole': 'M is a whole number',
    'problem.rowsWhole': 'the rows are a whole number',
    'problem.steps': 'the steps are a whole number',
    'problem.seconds': 'the seconds are a number',
    'problem.oneDrum': 'Rows to play, wheels and a run play the main drum alone, which in this game cannot be: ' +
        '{problem}.',
    'problem.noDraw': 'write the draw, or open a file of past draws',
    'problem.worker': 'the computation failed',

    'footer.offline': 'Works offline, and goes on a phone\'s home screen.',
    'footer.command': 'The same seed gives the same rows as the command',
    'footer.commandName': 'erilaisetrivit-rivit',
  },

  fi: {
    'page.title': 'Erilaiset rivit: lottorivit, jotka eroavat toisistaan',
    'page.heading': 'Erilaiset rivit',
    'page.lead': 'Lottorivit, joilla on keskenään mahdollisimman vähän yhteisiä numeroita, ja minkä tahansa ' +
        'rivien tarkat todennäköisyydet. Kaikki lasketaan tässä selaimessa: mitään ei lähetetä minnekään.',
    'language.label': 'Kieli – Language',
    'language.fi': 'Suomeksi',
    'language.en': 'In English',

    'lottery.heading': 'Pelisi',
    'lottery.game': 'Peli',
    'lottery.games': 'Pelit nimeltä',
    'lottery.oneDrum': 'Yksi rumpu',
    'lottery.preset.7/40': '7/40',
    'lottery.preset.6/49': '6/49',
    'lottery.preset.5/50': '5/50',
    'lottery.preset.6/45': '6/45',
    'lottery.preset.5/35': '5/35',
    'lottery.preset.7/39': '7/39',
    'lottery.other': 'Muu: lyhyt muoto',
    'lottery.file': 'Avaa pelitiedosto',
    'lottery.shortForm': 'Lyhyt muoto',
    'lottery.shortFormHint': '6/45: 6 numeroa 45:stä; 7/40+1: ja 1 lisänumero; 5/50+2/12: ja 2 numeroa 12:sta ' +
        'toisesta rummusta; 20/70 10: Keno, 10 numeroa.',
    'lottery.fileLabel': 'Pelitiedosto (JSON)',
    'game.drawn': '{title}: arvotaan {drawn} numeroa 1–{numbers}',
    'game.bonus': {one: 'sitten 1 lisänumero lopuista', other: 'sitten {count} lisänumeroa lopuista'},
    'game.second': 'ja {drawn} numeroa 1–{numbers} toisesta rummusta',
    'game.line': 'rivissä on {line} numeroa',
    'game.lineSecond': 'rivissä on {line} numeroa + {second}',
    'game.tiers': {one: '1 voittoluokka', other: '{count} voittoluokkaa'},
    'game.price': 'rivi maksaa {price}',

    'rows.heading': 'Pelattavat rivit',
    'rows.about': 'Rivit, joilla on keskenään niin vähän yhteisiä numeroita kuin haku löytää.',
    'rows.count': 'Rivejä',
    'rows.submit': 'Etsi rivit',

    'advanced.summary': 'Lisäasetukset',
    'advanced.about': 'Sama siemen ja askeleet antavat samat rivit, täällä ja komennossa.',
    'advanced.seed': 'Siemen',
    'advanced.steps': 'Askeleet',
    'advanced.defaultSteps': 'oletus',
    'advanced.seconds': 'tai sekunnit',

    'check.heading': 'Omat rivisi',
    'check.about': 'Rastita numerosi kupongista, kirjoita tai liitä rivit, yksi rivi riviään, tai pudota tiedosto ' +
        'laatikkoon; Tarkista kertoo, paljonko rivit menevät päällekkäin, ja niiden tarkat todennäköisyydet.',
    'check.rows': 'Rivisi, yksi rivi riviään',
    'check.rowsHint': 'Numerot välilyönnein, pilkuin tai puolipistein erotettuina.',
    'check.rowsHintSecond': 'Rivi: sen {line} päänumeroa, sitten ”+” ja sen {second} numeroa toisesta rummusta, ' +
        'kuten 3 11 24 38 45 + 2 9.',

    'draw.heading': 'Tämän viikon arvonta',
    'draw.about': 'Mitä yllä olevat rivisi voittivat: kunkin rivin oikeat numerot, voittoluokka ja voitto.',
    'draw.label': 'Arvonta',
    'draw.hint': 'Arvontajärjestyksessä: {parts}.',
    'draw.partMain': '{count} numeroa',
    'draw.partBonus': {one: '1 lisänumero', other: '{count} lisänumeroa'},
    'draw.partSecond': '{count} numeroa toisesta rummusta',
    'draw.slipSummary': 'Merkitse arvonta kuponkiin',
    'draw.submit': 'Tarkista rivisi',
    'draw.file': 'Tai avaa aiempien arvontojen tiedosto',
    'draw.fileHint': 'Yksi arvonta riviään, halutessasi päivämäärän jälkeen: 2026-12-05 3 7 12 19 22 31 38 + 5.',
    'check.file': 'Avaa rivitiedosto',
    'check.guarantee': 'Tarkistettava takuu, jos haluat',
    'check.guaranteeHint': 'Onko jollakin rivillä vähintään T oikein aina, kun numeroistasi (kuten 1-12) ' +
        'arvotaan vähintään M; pelkkä M laskee todennäköisyydet myös näissä arvonnoissa.',
    'check.submit': 'Tarkista',

    'slip.rowHeading': 'Kuponki',
    'slip.rowAbout': 'Napautus lisää numeron alla olevan laatikon kohdistimen riville tai poistaa sen; kun rivi on ' +
        'täynnä, seuraava numero aloittaa uuden rivin.',
    'slip.group': 'Numerot 1–{last}',
    'slip.rowCount': 'Tällä rivillä {picked}/{takes} numeroa',
    'slip.rowCountSecond': 'Tällä rivillä {picked}/{takes} numeroa ja toisesta rummusta {second}/{secondTakes}',
    'slip.second': 'Toinen rumpu: {takes} numeroa 1–{last}',
    'slip.secondGroup': 'Toinen rumpu, numerot 1–{last}',
    'slip.drawCount': 'Arvonnasta merkitty {marked}/{takes} numeroa',
    'slip.poolSummary': 'Valitse numerosi kupongista',
    'slip.poolCount': {one: 'Valittu 1 numero; rivissä on {takes}',
                       other: 'Valittu {count} numeroa; rivissä on {takes}'},
    'slip.quickPick': 'Pikapeli',
    'slip.newRow': 'Uusi rivi',

    'pool.label': 'Numerosi',
    'pool.every': 'kaikki numerot',
    'pool.hint': 'Numeroita ja välejä: 1-12 tai 3, 7, 11, 19, 24, 30.',
    'guarantee.right': 'T oikein',
    'guarantee.ifDrawn': 'jos M arvotaan',
    'guarantee.sameAsT': 'T',

    'wheel.heading': 'Harava',
    'wheel.about': 'Vähiten rivejä numeroistasi niin, että aina kun arvotuista numeroista vähintään M on sinun, ' +
        'jollakin rivillä on vähintään T oikein.',
    'wheel.guarantee': 'Takuu',
    'wheel.rows': 'Rivejä enintään',
    'wheel.fewest': 'vähiten',
    'wheel.submit': 'Etsi harava',

    'run.heading': 'Erilaisetrivit-ohjelman ajo',
    'run.about': 'Rivit, jotka ohjelma pitää vaihe vaiheelta, ja sen viisi raporttiriviä. Vain 7/40.',
    'run.phase': 'Vaihe',
    'run.phase.1': '1: ei yhteisiä numeroita',
    'run.phase.2': '2: enintään 1 yhteinen',
    'run.phase.3': '3: enintään 2 yhteistä',
    'run.phase.4': '4: enintään 3 yhteistä',
    'run.phase.5': '5: enintään 4 yhteistä',
    'run.submit': 'Näytä ajo',

    'options.label': 'Valinnat',
    'options.sorted': 'Jokaisen rivin numerot suuruusjärjestyksessä',
    'options.odds': 'Laske näytettyjen rivien tarkat todennäköisyydet',

    'result.stop': 'Pysäytä',
    'result.commandText': 'Komennon oma teksti',
    'result.copyText': 'Kopioi teksti',
    'result.rowsActions': 'Rivit',
    'result.copyRows': 'Kopioi rivit',
    'result.downloadText': 'Lataa tekstinä',
    'result.downloadCsv': 'Lataa CSV',
    'result.downloadJson': 'Lataa JSON',
    'result.print': 'Tulosta',
    'result.rowsCaption': 'Rivit',
    'table.row': 'Rivi',
    'table.numbers': 'Numerot',

    'tiers.heading': 'Kunkin voiton todennäköisyys',
    'tiers.caption': 'Jokainen pelin {title} mahdollinen arvonta sen mukaan, mikä on paras voittoluokka, jonka ' +
        'jokin riveistäsi voittaa',
    'tiers.captionOneLine': 'Jokainen pelin {title} mahdollinen arvonta yhden rivin voittoluokan mukaan',
    'tiers.tier': 'Voittoluokka',
    'tiers.outcomes': 'Arvontoja',
    'tiers.prize': 'Voitto',
    'tiers.prizeOf': 'Voittoluokan {tier} voitto',
    'tiers.noPrize': 'ei asetettu',
    'tiers.noneRow': 'Ei voittoa',
    'tiers.anyRow': 'Jokin voitto',
    'tiers.counted': {one: 'Tämä rivi on laskettu kaikkia {outcomes} mahdollista arvontaa vastaan.',
                      other: 'Nämä {count} riviä on laskettu kaikkia {outcomes} mahdollista arvontaa vastaan.'},
    'tiers.outOfReach': 'Kaikkia rivejäsi ei laskettu: {problem}. Taulukossa on yhden rivin todennäköisyydet.',
    'tiers.any': {one: 'Se voittaa jotakin keskimäärin kerran {x} arvonnassa: {share} arvonnoista.',
                  other: 'Ne voittavat jotakin keskimäärin kerran {x} arvonnassa: {share} arvonnoista.'},
    'tiers.anyNever': {one: 'Se ei voita koskaan.', other: 'Ne eivät voita koskaan.'},
    'tiers.price': 'Rivin hinta',
    'tiers.priceHint': 'Muuta voittoa taulukossa tai hintaa, niin näet odotetun palautuksen.',
    'tiers.actions': 'Kunkin voiton todennäköisyys',
    'return.unknown': 'Millään voittoluokalla ei ole voittoa: kirjoita voitot taulukkoon, niin näet odotetun ' +
        'palautuksen.',
    'return.perDraw': {one: 'Tämä rivi voittaa keskimäärin {prize} arvontaa kohden.',
                       other: 'Nämä {count} riviä voittavat keskimäärin {prize} arvontaa kohden, {perLine} riviä ' +
                           'kohden.'},
    'return.perUnit': 'Ne maksavat {cost} arvonnassa: jokainen pelattu euro tuo takaisin keskimäärin {perUnit}.',
    'return.cost': 'Ne maksavat {cost} arvonnassa.',
    'return.unpriced': 'Voittoluokat, joille ei ole asetettu voittoa, lasketaan voitottomiksi: {tiers}.',

    'draws.caption': 'Arvonta arvonnalta',
    'draws.actions': 'Mitä arvonnat antoivat',
    'draws.headingOne': 'Rivisi arvontaa {draw} vastaan',
    'draws.headingDated': 'Rivisi arvontaa {date} vastaan: {draw}',
    'draws.headingMany': {one: 'Rivisi 1 arvontaa vastaan', other: 'Rivisi {count} arvontaa vastaan'},
    'draws.linesCaption': 'Jokainen rivi arvontaa {draw} vastaan, arvotut numerot merkittyinä',
    'draws.totalsCaption': 'Kunkin voittoluokan voittaneet rivit',
    'draws.totalsCaptionMany': 'Kunkin voittoluokan voittaneet rivit kaikissa arvonnoissa',
    'draws.right': 'Oikein',
    'draws.noTier': 'ei voittoa',
    'draws.notFixed': 'ei kiinteä',
    'draws.lines': 'Rivejä',
    'draws.number': 'Arvonta',
    'draws.date': 'Päivä',
    'draws.draw': 'Numerot',
    'draws.winning': 'Voittavia rivejä',
    'draws.prizes': 'Kiinteät voitot',
    'draws.totals': {one: '1 rivi, voittavia {winning}: kiinteät voitot {prizes}.',
                     other: '{count} riviä, voittavia {winning}: kiinteät voitot {prizes}.'},
    'draws.over': '{draws} arvonnassa pelattiin {count} riviä, voittavia {winning}: kiinteät voitot {prizes}.',
    'draws.overUnfixed': '{draws} arvonnassa pelattiin {count} riviä, voittavia {winning}: kiinteät voitot ' +
        '{prizes}, ja lisäksi voittoluokat, joiden voitto ei ole kiinteä.',
    'draws.totalsUnfixed': {one: '1 rivi, voittavia {winning}: kiinteät voitot {prizes}, ja lisäksi voittoluokat, ' +
        'joiden voitto ei ole kiinteä.', other: '{count} riviä, voittavia {winning}: kiinteät voitot {prizes}, ja ' +
        'lisäksi voittoluokat, joiden voitto ei ole kiinteä.'},

    'odds.heading': 'Tarkat todennäköisyydet',
    'odds.caption': 'Jokainen mahdollinen arvonta sen mukaan, montako oikein paras rivisi saa',
    'odds.actions': 'Todennäköisyydet',
    'odds.downloadText': 'Lataa todennäköisyydet tekstinä',
    'odds.right': 'Oikein',
    'odds.draws': 'Arvontoja',
    'odds.atLeast': 'Vähintään',
    'odds.share': 'Osuus',
    'odds.odds': 'Todennäköisyys',
    'odds.oneIn': '1 / {x}',
    'odds.never': 'ei koskaan',
    'odds.hitsCaption': 'Montako oikein paras rivi saa, kaikissa mahdollisissa arvonnoissa.',
    'odds.balanceCaption': 'Kuinka monella rivillä kukin numero on.',
    'odds.counted': {one: 'Tämä rivi on laskettu kaikkia {draws} mahdollista arvontaa vastaan ({length} numeroa ' +
        'väliltä 1–{numbers}).', other: 'Nämä {count} riviä on laskettu kaikkia {draws} mahdollista arvontaa vastaan ' +
        '({length} numeroa väliltä 1–{numbers}).'},
    'odds.guaranteed': {one: 'Jokainen arvonta antaa jollekin riville vähintään 1 oikein.',
                        other: 'Jokainen arvonta antaa jollekin riville vähintään {count} oikein.'},
    'odds.noneGuaranteed': 'Jotkin arvonnat eivät anna millekään riville yhtään oikein.',
    'odds.condition': 'Jos numeroistasi ({pool}: {poolText}) arvotaan vähintään {ifDrawn}: {draws} arvontaa, ' +
        '{share} kaikista.',
    'odds.conditionGuaranteed': 'Jokaisessa tällaisessa arvonnassa jollakin rivillä on vähintään {count} oikein.',
    'odds.conditionNoneGuaranteed': 'Silloinkin jotkin arvonnat eivät anna millekään riville yhtään oikein.',
    'odds.balanceEven': 'Jokainen numero on {count} rivillä.',
    'odds.balance': 'Kukin numero on {least}–{most} rivillä: {least} rivillä, oranssilla merkittyinä, ' +
        '{leastNumbers}; {most} rivillä {mostNumbers}.',
    'chart.hits': 'Arvonnat parhaan rivin oikeiden numeroiden mukaan',
    'chart.right': '{k} oikein',
    'chart.balance': 'Rivejä kutakin numeroa kohden',

    'found.shared': {one: 'Millään kahdella näistä riveistä ei ole yhteisiä numeroita enempää kuin 1.',
                     other: 'Millään kahdella näistä riveistä ei ole yhteisiä numeroita enempää kuin {count}.'},
    'found.disjoint': 'Millään kahdella näistä riveistä ei ole yhteisiä numeroita.',
    'found.pairs': {one: '1 riviparilla on {shared} yhteistä.', other: '{count} riviparilla on {shared} yhteistä.'},
    'found.usage': 'Eniten käytetty numero on {count} rivillä enemmän kuin vähiten käytetty.',
    'found.even': 'Jokainen numero on yhtä monella rivillä.',
    'found.proven': 'Mitkään {rows} riviä eivät pärjää paremmin.',

    'wheel.holds': {one: 'Aina kun arvotuista numeroista {ifDrawn} on {pool} numerosi joukossa, tällä rivillä on ' +
        'vähintään {right} oikein.', other: 'Aina kun arvotuista numeroista {ifDrawn} on {pool} numerosi joukossa, ' +
        'jollakin näistä {count} rivistä on vähintään {right} oikein.'},
    'wheel.fails': 'Kun numeroistasi ({pool}) arvotaan {ifDrawn}, {uncovered} tapaa {sets}:stä jättää jokaisen ' +
        'rivin alle {right} oikean; {covered} % on katettu.',
    'wheel.fewestProven': 'Vähemmillä riveillä se ei onnistu.',
    'wheel.bound': 'Tämän takuun haravassa on aina vähintään {bound} riviä.',

    'check.count': {one: 'Sinulla on 1 rivi.', other: 'Sinulla on {count} riviä.'},
    'check.noPair': 'Alle kahdessa rivissä ei ole mitään verrattavaa.',
    'check.disjoint': 'Millään kahdella rivilläsi ei ole yhteisiä numeroita.',
    'check.shared': {one: 'Millään kahdella rivilläsi ei ole yhteisiä numeroita enempää kuin 1: tekstirivien ' +
        '{first} ja {second} riveillä on 1 yhteinen.', other: 'Millään kahdella rivilläsi ei ole yhteisiä numeroita ' +
        'enempää kuin {count}: tekstirivien {first} ja {second} riveillä on {count} yhteistä.'},
    'check.holds': 'Aina kun arvotuista numeroista {ifDrawn} on {pool} numerosi joukossa, jollakin rivilläsi on ' +
        'vähintään {right} oikein.',
    'check.fails': 'Ei taattu: kun numeroistasi ({pool}) arvotaan {ifDrawn}, {failing} tapaa {sets}:stä jättää ' +
        'jokaisen rivin alle {right} oikean, esimerkiksi {example}.',

    'run.sentence': {one: 'Vaiheen {phase} rivit: millään kahdella ei ole yhteisiä numeroita enempää kuin 1.',
                     other: 'Vaiheen {phase} rivit: millään kahdella ei ole yhteisiä numeroita enempää kuin {count}.'},
    'run.disjoint': 'Vaiheen {phase} rivit: millään kahdella ei ole yhteisiä numeroita.',
    'run.report': 'Ohjelman raportti on alla komennon omana tekstinä, sellaisena kuin ohjelma sen tulostaa.',

    'heading.rows': '{rows} pelattavaa riviä, siemen {seed}',
    'heading.run': 'Ajo siemenellä {seed}: vaiheen {phase} rivit',
    'heading.check': 'Omat rivisi',
    'heading.wheel': 'Harava numeroille {pool}: {right} oikein, jos {ifDrawn} arvotaan, siemen {seed}',

    'status.searchingRows': 'Haetaan {rows} riviä siemenellä {seed}…',
    'status.rowsFound': {one: 'Löytyi 1 rivi.', other: 'Löytyi {count} riviä.'},
    'status.running': 'Ajetaan haku siemenellä {seed}…',
    'status.rows': {one: '1 rivi.', other: '{count} riviä.'},
    'status.rowsRead': {one: 'Luettiin 1 rivi.', other: 'Luettiin {count} riviä.'},
    'status.searchingWheel': 'Haetaan haravaa numeroille {pool}, {right} oikein, jos {ifDrawn} arvotaan, siemen ' +
        '{seed}…',
    'status.stopped': 'Pysäytetty.',
    'status.rowsCopied': 'Rivit on kopioitu.',
    'status.textCopied': 'Teksti on kopioitu.',
    'status.noCopy': 'Selain ei antanut sivun kopioida: valitse teksti ja kopioi se.',
    'progress.searching': 'Haetaan',
    'progress.counting': 'Lasketaan jokainen arvonta',
    'progress.checking': 'Tarkistetaan takuuta',

    'problem.tWhole': 'T on kokonaisluku',
    'problem.mWhole': 'M on kokonaisluku',
    'problem.rowsWhole': 'rivien määrä on kokonaisluku',
    'problem.steps': 'askeleet ovat kokonaisluku',
    'problem.seconds': 'sekunnit ovat luku',
    'problem.oneDrum': 'Pelattavat rivit, haravat ja ajo pelaavat pelkkää päärumpua, mikä ei tässä pelissä ' +
        'onnistu: {problem}.',
    'problem.noDraw': 'kirjoita arvonta tai avaa aiempien arvontojen tiedosto',
    'problem.worker': 'laskenta epäonnistui',

    'footer.offline': 'Toimii ilman verkkoa, ja sen voi lisätä puhelimen aloitusnäytölle.',
    'footer.command': 'Sama siemen antaa samat rivit kuin komento',
    'footer.commandName': 'erilaisetrivit-rivit',
  },
};

// The library's messages, which it writes in English, in Finnish: a pattern
// of the English words and the Finnish made of its parts; `again` puts a
// part that is a message of its own in Finnish, and `count` writes a whole
// number as Finnish groups its digits. These are the messages that the
// page's inputs can meet (a lottery and a pool are checked before a wheel
// or a guarantee is, so the wheel's own words for those never show). A
// message that no pattern matches is shown in English.
// Why a wheel too large to search whole is not searched in parts.
const kWheelTooLarge = {
  'a budget of rows is searched only whole': 'eikä rajattua rivimäärää haeta osissa',
  'no split of the pool into parts is smaller': 'eikä mikään numeroiden jako osiin ole pienempi',
};

// What a draw's "+" parts hold, and how many of a line's parts there are.
const kAfterPlus = {
  'its bonus numbers': 'lisänumeroita',
  'its second drum\'s numbers': 'toisen rummun numeroita',
  'the bonus and the second drum\'s numbers': 'lisänumeroita ja toisen rummun numeroita',
};
const plusParts = (count) => (count === 'no' ? 'ei ”+”-osaa' : `${count} ”+”-${count === '1' ? 'osa' : 'osaa'}`);
const numbersWord = (count) => (count === '1' ? 'numero' : 'numeroa');
const kHolder = {line: 'rivissä', draw: 'arvonnassa'};
const kDrum = {
  main: {in: 'päärummussa', from: 'päärummusta'},
  second: {in: 'toisessa rummussa', from: 'toisesta rummusta'},
};

const kLibraryMessages = [
  // The lottery (rivit/lottery.h).
  [/^a row has (\d+) to (\d+) numbers, not (-?\d+)$/, (m) => `rivissä on ${m[1]}–${m[2]} numeroa, ei ${m[3]}`],
  [/^a lottery of rows of (\d+) has (\d+) to (\d+) numbers, not (-?\d+)$/,
   (m) => `${m[1]} numeron rivien lotossa on ${m[2]}–${m[3]} numeroa, ei ${m[4]}`],
  // A pool (rivit/pool.cpp, rivit/wheel.cpp).
  [/^"(.*)" is not a number or a range of numbers$/, (m) => `”${m[1]}” ei ole numero eikä numeroväli`],
  [/^"(.*)" runs from high to low$/, (m) => `väli ”${m[1]}” kulkee suuremmasta pienempään`],
  [/^(\d+) is in the pool twice$/, (m) => `${m[1]} on numeroissasi kahdesti`],
  [/^the pool has (\d+) numbers, fewer than a row's (\d+)$/,
   (m) => `numeroitasi on ${m[1]}, vähemmän kuin rivissä (${m[2]})`],
  // A row (rivit/read.cpp); a number out of range reads the same in a pool.
  [/^(\S+) is not from 1 to (\d+)$/, (m) => `${m[1]} ei ole väliltä 1–${m[2]}`],
  [/^a field is empty$/, () => 'kenttä on tyhjä'],
  [/^"(.*)" is not a number$/, (m) => `”${m[1]}” ei ole numero`],
  [/^(\d+) appears twice$/, (m) => `${m[1]} on rivillä kahdesti`],
  [/^(\d+) numbers?, a row has (\d+)$/,
   (m) => `${m[1]} ${m[1] === '1' ? 'numero' : 'numeroa'}, rivissä on ${m[2]}`],
  [/^line (\d+): (.*)$/, (m, again) => `tekstirivi ${m[1]}: ${again(m[2])}`],
  // A wheel (rivit/wheel.cpp).
  [/^a guarantee of (\d+) if (\d+) needs 1 <= right <= drawn <= (\d+)$/,
   (m) => `takuu ”${m[1]} oikein, jos ${m[2]} arvotaan” vaatii, että 1 ≤ oikein ≤ arvotut ≤ ${m[3]}`],
  [/^a budget of rows is from 1 to (\d+)$/, (m, again, count) => `rivejä voi rajata 1–${count(m[1])} riviin`],
  [/^the pool's (\d+) sets of (\d+) are more than the (\d+) that a search counts, and (.*)$/,
   (m, again, count) => `numeroistasi saa ${count(m[1])} ${m[2]} numeron joukkoa, enemmän kuin haun laskemat ` +
       `${count(m[3])}, ${kWheelTooLarge[m[4]] ?? m[4]}`],
  // A guarantee and the odds (rivit/guarantee.cpp, rivit/odds.cpp, rivit/request.cpp).
  [/^the guarantee's T is from 1 to (\d+), the numbers in a row$/,
   (m) => `takuun T on 1–${m[1]}, rivin numeroiden määrä`],
  [/^the guarantee's M is from T to (\d+), no more than a row's numbers or the pool's$/,
   (m) => `takuun M on T–${m[1]}, enintään rivin tai numeroidesi määrä`],
  [/^(\d+) sets of (\d+) from (\d+) numbers are more than (\d+) to check one by one$/,
   (m, again, count) => `${m[3]} numerosta saa ${count(m[1])} ${m[2]} numeron joukkoa, enemmän kuin ` +
       `${count(m[4])}, jotka voi tarkistaa yksitellen`],
  [/^(\d+) draws of (\d+) from (\d+) are more than (\d+) to count one by one$/,
   (m, again, count) => `${m[2]} numeron arvontoja ${m[3]} numerosta on ${count(m[1])}, enemmän kuin ` +
       `${count(m[4])}, jotka voi laskea yksitellen`],
  [/^M is from 1 to (\d+)$/, (m) => `M on 1–${m[1]}`],
  [/^a guarantee needs T, the numbers right$/, () => 'takuu tarvitsee T:n, oikeiden numeroiden määrän'],
  [/^the pool goes with T right, or with M drawn for the odds$/,
   () => 'numerosi tarvitsevat T oikein -takuun tai todennäköisyyksiä varten M:n'],
  // Rows to play, a seed and a search's length (rivit/optimise.cpp, rivit/request.cpp).
  [/^M is from 1 to (\d+) in this lottery$/, (m) => `rivien määrä on tässä lotossa 1–${m[1]}`],
  [/^"(.*)" is not an integer from 0 to (\d+)$/, (m, again, count) => `”${m[1]}” ei ole kokonaisluku 0–${count(m[2])}`],
  [/^a run's rows are (\d+) of (\d+)$/, (m) => `ajon riveissä on ${m[1]}/${m[2]}`],
  [/^the steps are from 1 to (\d+)$/, (m, again, count) => `askeleita on 1–${count(m[1])}`],
  [/^the seconds are from 0\.001 to (\d+)$/, (m, again, count) => `sekunteja on 0,001–${count(m[1])}`],
  // A game by name or short form, and its rules (rivit/game.cpp).
  [/^"(.*)" is no game: the games are (.*), or a short form such as (.*) or (.*)$/,
   (m) => `”${m[1]}” ei ole peli: pelit ovat ${m[2]} tai lyhyt muoto kuten ${m[3]} tai ${m[4]}`],
  [/^"(.*)" is no short form of a game: (.*) or (.*), as (.*) or (.*)$/,
   (m) => `”${m[1]}” ei ole pelin lyhyt muoto: ${m[2]} tai ${m[3]}, kuten ${m[4]} tai ${m[5]}`],
  [/^(\d+\/\d+[\d/+]*(?: \d+)?): (.*)$/, (m, again) => `${m[1]}: ${again(m[2])}`],
  [/^the (main|second) drum has 2 to (\d+) numbers, not (-?\d+)$/,
   (m) => `${kDrum[m[1]].in} on 2–${m[2]} numeroa, ei ${m[3]}`],
  [/^the (main|second) drum draws 1 to (\d+) of its (\d+) numbers, not (-?\d+)$/,
   (m) => `${kDrum[m[1]].from} arvotaan 1–${m[2]} sen ${m[3]} numerosta, ei ${m[4]}`],
  [/^a game draws 0 to (\d+) bonus numbers, not (-?\d+)$/, (m) => `pelissä arvotaan 0–${m[1]} lisänumeroa, ei ${m[2]}`],
  [/^a line holds 1 to (\d+) main numbers, not (-?\d+)$/, (m) => `rivissä on 1–${m[1]} päänumeroa, ei ${m[2]}`],
  [/^a game has 1 to (\d+) tiers, not (\d+)$/, (m) => `pelissä on 1–${m[1]} voittoluokkaa, ei ${m[2]}`],
  [/^the tier "(.*)" asks for hits that no line can have$/,
   (m) => `voittoluokka ”${m[1]}” vaatii osumia, joita millään rivillä ei voi olla`],
  [/^a tier has no name$/, () => 'voittoluokalla ei ole nimeä'],
  // A game file (rivit/game.cpp); the JSON parser's own words stay as they are.
  [/^not JSON: (.*)$/, (m) => `ei JSONia: ${m[1]}`],
  [/^the game file is not an object$/, () => 'pelitiedosto ei ole JSON-olio'],
  [/^"(.*)" is not an object$/, (m) => `”${m[1]}” ei ole JSON-olio`],
  [/^unknown key "(.*)"$/, (m) => `tuntematon avain ”${m[1]}”`],
  [/^"(.*)" is missing$/, (m) => `”${m[1]}” puuttuu`],
  [/^"(.*)" is empty$/, (m) => `”${m[1]}” on tyhjä`],
  [/^"(.*)" is not a list$/, (m) => `”${m[1]}” ei ole lista`],
  [/^"(.*)" is not text: (.*)$/, (m) => `”${m[1]}” ei ole tekstiä: ${m[2]}`],
  [/^"(.*)" is not a whole number from 0 to (\d+): (.*)$/,
   (m, again, count) => `”${m[1]}” ei ole kokonaisluku 0–${count(m[2])}: ${m[3]}`],
  [/^"(.*)" is not an amount from 0 to (\d+): (.*)$/,
   (m, again, count) => `”${m[1]}” ei ole rahasumma 0–${count(m[2])}: ${m[3]}`],
  [/^"(.*)" is not an amount: (.*)$/, (m) => `”${m[1]}” ei ole rahasumma: ${m[2]}`],
  [/^"(.*)" is not a whole number of cents: (.*)$/, (m) => `”${m[1]}” ei ole tasasentteinä: ${m[2]}`],
  // A game's lines and draws (rivit/game_lines.cpp).
  [/^a "\+" part, (.*) has no second drum$/,
   (m) => `”+”-osa, mutta pelissä ${gameTitle('fi', m[1])} ei ole toista rumpua`],
  [/^(no|\d+) "\+" parts?, a line has one, before its second drum's numbers$/,
   (m) => `${plusParts(m[1])}, rivissä on yksi ennen toisen rummun numeroita`],
  [/^(no|\d+) "\+" parts?, a draw has (\d+), before (.*)$/,
   (m) => `${plusParts(m[1])}, arvonnassa on ${m[2]} ennen ${kAfterPlus[m[3]] ?? m[3]}`],
  [/^(\d+) numbers? after (the last )?"\+", a (line|draw) has (\d+)$/,
   (m) => `${m[1]} ${numbersWord(m[1])} ${m[2] ? 'viimeisen ' : ''}”+”:n jälkeen, ${kHolder[m[3]]} on ${m[4]}`],
  [/^(\d+) numbers?, a (line|draw) has (\d+)$/, (m) => `${m[1]} ${numbersWord(m[1])}, ${kHolder[m[2]]} on ${m[3]}`],
  [/^(\d+) bonus numbers?, a draw has (\d+)$/,
   (m) => `${m[1]} ${m[1] === '1' ? 'lisänumero' : 'lisänumeroa'}, arvonnassa on ${m[2]}`],
  [/^"(.*)" is not a date \(YYYY-MM-DD\)$/, (m) => `”${m[1]}” ei ole päivämäärä (VVVV-KK-PP)`],
  // The tier odds (rivit/tier_odds.cpp).
  [/^the game has too many outcomes to count exactly$/,
   () => 'pelissä on liian monta mahdollista arvontaa tarkasti laskettavaksi'],
  [/^the lines hold (\d+) numbers( and (\d+) of the second drum)?: too many to count every outcome$/,
   (m) => `riveissä on ${m[1]} numeroa${m[3] ? ` ja toisesta rummusta ${m[3]}` : ''}: liian monta jokaisen ` +
       'arvonnan laskemiseen'],
  // Prizes and the price (rivit/prizes.cpp, and the command's --price).
  [/^"(.*)" is not an amount such as 2\.50$/, (m) => `”${m[1]}” ei ole rahasumma, kuten 2.50`],
];

// The countries of the library's game titles, "Lotto (Finland)", in Finnish.
const kCountries = {
  Finland: 'Suomi', Europe: 'Eurooppa', 'United States': 'Yhdysvallat', 'United Kingdom': 'Iso-Britannia',
  Ireland: 'Irlanti', Australia: 'Australia', Canada: 'Kanada', Italy: 'Italia',
};

// A game's title in `language`: its country in Finnish where it has one.
function gameTitle(language, title) {
  const country = /^(.*) \((.*)\)$/.exec(title);
  if (language !== 'fi' || !country || !(country[2] in kCountries)) return title;
  return `${country[1]} (${kCountries[country[2]]})`;
}

// A message of the library's in the language `language`: Finnish where a
// pattern knows it, else the library's English.
function libraryMessage(language, english) {
  if (language !== 'fi') return english;
  const count = (digits) => new Intl.NumberFormat('fi').format(BigInt(digits));
  const again = (text) => libraryMessage(language, text);
  for (const [pattern, finnish] of kLibraryMessages) {
    const match = pattern.exec(english);
    if (match) return finnish(match, again, count);
  }
  return english;
}

// The text `key` of `language` with its {names} replaced: a number by the
// language's digits, anything else as it is.
function textOf(language, key, values = {}) {
  let text = kTexts[language][key];
  if (text === undefined) throw new Error(`no text ${key}`);
  if (typeof text === 'object') text = text[new Intl.PluralRules(language).select(values.count)] ?? text.other;
  const number = new Intl.NumberFormat(language);
  return text.replace(/\{(\w+)\}/g, (_, name) => {
    const value = values[name];
    return typeof value === 'number' ? number.format(value) : String(value);
  });
}
