// The page in Debian's headless Chromium, against the native tools: for
// each image of a table, opened from disk and from a static server on
// 127.0.0.1, the page must show what the native d88ls and d88cut print,
// offer the very files the native d88cut writes (one by one and in the
// zip), list each disk's files as d88ls -l does and offer them as the
// native d88get writes them (one by one and in a zip a disk), offer the
// very D88 the native d88conv writes (or what it says) and each disk as
// the very HFE it writes (or what it says), and fetch nothing from
// anywhere else.
//   node tests/web/page_test.mjs PAGE_FOLDER NATIVE_BUILD [IMAGE...]
// PAGE_FOLDER is build-web/web, NATIVE_BUILD a native build folder (its
// sample.d88, tools and fuzz seeds' maker); further images are tried as
// well. Screenshots of the finished page are left beside PAGE_FOLDER
// (page.png, page-ja.png, page-marked-sectors.png for an image with a
// damaged block, page-imd.png for an image in another container than D88,
// page-files.png and page-files-ja.png for disks with files, and
// page-flux.png and page-flux-ja.png for flux with a track read again).
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { unzipSync } from 'fflate';
import puppeteer from 'puppeteer-core';

const [pageFolder, nativeBuild, ...extraImages] = process.argv.slice(2).map((p) => path.resolve(p));
const d88cut = path.join(nativeBuild, 'extract', 'd88cut');
const d88ls = path.join(nativeBuild, 'd88ls', 'd88ls');
const d88conv = path.join(nativeBuild, 'd88conv', 'd88conv');
const d88get = path.join(nativeBuild, 'd88get', 'd88get');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'd88page.'));
const shiftJis = new TextDecoder('shift_jis');
const utf8Strict = new TextDecoder('utf-8', { fatal: true });
// d88cut's output as a person reads it: its fixed messages are Shift_JIS,
// its own other lines UTF-8 in a UTF-8 locale.
const readable = (bytes) => bytes.toString('latin1').split('\n').map((line) => {
  const raw = Buffer.from(line, 'latin1');
  try { return utf8Strict.decode(raw); } catch { return shiftJis.decode(raw); }
}).join('\n');
let failures = 0;
// The disks of the table made into HFE, refused and made with a warning;
// and the tracks shown as read again, from a container of bits.
const hfeSeen = { made: 0, refused: 0, warned: 0 };
let readAgainSeen = 0;

function check(what, ok, detail = '') {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${ok || !detail ? '' : `\n     ${detail}`}`);
  if (!ok) failures += 1;
}

// The images: the sample (its one disk marked), the same disk twice with
// only the second marked, and one marked nowhere. The sample's ID sector,
// R 16 of track 0, is the 16th record of 272 bytes after the header.
const sample = fs.readFileSync(path.join(nativeBuild, 'sample.d88'));
const unmarked = Buffer.from(sample);
unmarked[688 + 15 * 272 + 16 + 254] = 0xe5;
// One whose MUS01 is cut from a sector the image marks as read with a data
// CRC error: R 5 of track 75, whose status is byte 8 of its record.
const damaged = Buffer.from(sample);
damaged[688 + 75 * 16 * 272 + 4 * 272 + 8] = 0xb0;
// One whose disk is named in Shift_JIS: ゲーム１ｱｲ and a byte that is none.
const named = Buffer.from(damaged);
Buffer.from([0x83, 0x51, 0x81, 0x5b, 0x83, 0x80, 0x82, 0x50, 0xb1, 0xb2, 0x80]).copy(named, 0);
// The sample in two other containers: a raw image, its sectors in C, H, R
// order (as the sample stores them: 80 tracks of 16 records of 16 + 256
// bytes after the 688-byte header), and an IMD of the same tracks.
const records = Array.from({ length: 80 * 16 },
  (_, k) => sample.subarray(688 + k * 272 + 16, 688 + (k + 1) * 272));
const raw = Buffer.concat(records);
const imd = Buffer.concat([Buffer.from('IMD 1.18: test\r\n\x1a', 'latin1'),
  ...Array.from({ length: 80 }, (_, t) => Buffer.concat([
    Buffer.from([3, t >> 1, t & 1, 16, 1, ...Array.from({ length: 16 }, (__, r) => r + 1)]),
    ...records.slice(t * 16, (t + 1) * 16).map((data) => Buffer.concat([Buffer.from([1]), data]))]))]);
// Disks with files, from the disks in each file system that the fuzz
// seeds' maker formats: FAT12 (a folder; a file of a Shift_JIS name with
// a byte that is none and a ':', which d88get writes as ゲーｱ__.TXT; a
// file whose size its clusters do not hold, which the listing names as a
// problem and d88get does not write), Hu-BASIC, and the sample, which has
// no file system. The FAT12 disk's first track holds more than a
// revolution can, so d88conv makes no HFE of it; and last a disk of odd
// tracks, of whose short sector it makes HFE with a warning.
const seeds = path.join(work, 'seeds');
fs.mkdirSync(seeds);
execFileSync(path.join(nativeBuild, 'fuzz', 'make_fuzz_seeds'), [seeds]);
const fat12 = fs.readFileSync(path.join(seeds, 'file_system_fat12.d88'));
const entryOf = (name) => fat12.indexOf(Buffer.from(name, 'latin1'));
Buffer.from([0x83, 0x51, 0x81, 0x5b, 0xb1, 0x80, 0x3a]).copy(fat12, entryOf('A       TXT'));
fat12.writeUInt32LE(9000, entryOf('B       BIN') + 28);
const withFiles = Buffer.concat([fat12, fs.readFileSync(path.join(seeds, 'file_system_hu-basic.d88')),
  sample, fs.readFileSync(path.join(seeds, 'odd_track.d88'))]);
// Containers of bits, from the seeds' disk of two tracks (the second FM)
// and sectors of each kind, less the byte that picks the fuzzer's name
// for them: as HFE, and as SuperCard Pro flux read over two revolutions,
// the first with two flux changes' times swapped in the data of track 0's
// R 1, whose CRC thus fails there alone.
const seedOf = (name) => fs.readFileSync(path.join(seeds, name)).subarray(1);
function twoRevolutions(scp) {
  const header = Buffer.from(scp.subarray(0, 16 + 168 * 4));
  header[5] = 2;
  header.writeUInt32LE(0, 12);  // no checksum
  const parts = [header];
  let at = header.length;
  for (let n = 0; n < 168; n += 1) {
    const start = scp.readUInt32LE(16 + 4 * n);
    if (start === 0) continue;
    // "TRK", the track's number, then index time, count and offset of
    // each revolution's flux: 16-bit times, high byte first.
    const [index, count, data] = [4, 8, 12].map((k) => scp.readUInt32LE(start + k));
    const flux = scp.subarray(start + data, start + data + 2 * count);
    const first = Buffer.from(flux);
    if (n === 0) {
      let k = 0;
      for (let sum = 0; sum < index * 0.06; k += 1) sum += flux.readUInt16BE(2 * k);
      while (Math.abs(flux.readUInt16BE(2 * k) - flux.readUInt16BE(2 * k + 2)) < 30) k += 1;
      first.writeUInt16BE(flux.readUInt16BE(2 * k + 2), 2 * k);
      first.writeUInt16BE(flux.readUInt16BE(2 * k), 2 * k + 2);
    }
    const track = Buffer.alloc(28);
    track.write(`TRK${String.fromCharCode(n)}`, 'latin1');
    for (const [r, offset] of [28, 28 + 2 * count].entries()) {
      track.writeUInt32LE(index, 4 + 12 * r);
      track.writeUInt32LE(count, 8 + 12 * r);
      track.writeUInt32LE(offset, 12 + 12 * r);
    }
    header.writeUInt32LE(at, 16 + 4 * n);
    parts.push(track, first, flux);
    at += 28 + 4 * count;
  }
  return Buffer.concat(parts);
}
// A name that begins with "-" must not read as an option. An IMD cut short
// in a sector's data, which the tools read as far as it goes and of which
// d88conv makes no D88.
const images = { 'sample.d88': sample, '-second-disk.d88': Buffer.concat([unmarked, sample]),
  'unmarked.d88': unmarked, 'damaged.d88': damaged, 'named.d88': named, 'sample.2d': raw,
  'sample.imd': imd, 'short.imd': imd.subarray(0, imd.length - 100), 'files.d88': withFiles,
  'bits.hfe': seedOf('container_hfe'), 'revolutions.scp': twoRevolutions(seedOf('container_scp')) };
fs.mkdirSync(path.join(work, 'images'));
for (const [name, bytes] of Object.entries(images)) fs.writeFileSync(path.join(work, 'images', name), bytes);
const table = Object.keys(images).map((name) => path.join(work, 'images', name)).concat(extraImages);

// What the native tools print and write for an image, run in the image's
// own folder (d88ls, on its bare name) and in an empty one (d88cut), in
// `language` ('en' or 'ja') as the page runs them, in UTF-8.
function native(image, language) {
  const env = { ...process.env, LC_ALL: '', LC_MESSAGES: '', LC_CTYPE: '', LANGUAGE: language,
    LANG: language === 'ja' ? 'ja_JP.UTF-8' : 'en_US.UTF-8' };
  const listing = spawnSync(d88ls, ['--', path.basename(image)], { cwd: path.dirname(image), env });
  const out = fs.mkdtempSync(path.join(work, 'native-'));
  const cut = spawnSync(d88cut, [image], { cwd: out, env });
  const files = Object.fromEntries(fs.readdirSync(out).map((f) => [f, fs.readFileSync(path.join(out, f))]));
  // The image as a D88, named as the page names it, run where d88ls runs.
  const d88 = (path.basename(image).replace(/\.[^.]*$/, '') || path.basename(image)) + '.d88';
  const converted = fs.mkdtempSync(path.join(work, 'native-d88-'));
  const conv = spawnSync(d88conv, ['--', path.basename(image), path.join(converted, d88)],
    { cwd: path.dirname(image), env });
  const { format, disks } = JSON.parse(spawnSync(d88ls, ['--json', image], { env }).stdout).images[0];
  // Each disk as HFE, named as the page names it (NAME.hfe, or
  // NAME-diskN.hfe of an image of more disks; of one of no disk, what
  // d88conv says), made beside a copy of the image as the page makes it.
  const indices = (disks || []).map((disk) => disk.index);
  const hfe = (indices.length > 0 ? indices : [null]).map((index) => {
    const name = d88.replace(/\.d88$/, indices.length > 1 ? `-disk${index}.hfe` : '.hfe');
    const beside = fs.mkdtempSync(path.join(work, 'native-hfe-'));
    fs.copyFileSync(image, path.join(beside, path.basename(image)));
    const made = spawnSync(d88conv, [...(index === null ? [] : ['--disk', String(index)]), '--',
      path.basename(image), name], { cwd: beside, env });
    return { index, name, status: made.status, said: readable(made.stderr),
      bytes: made.status === 0 ? fs.readFileSync(path.join(beside, name)) : null };
  });
  // Of a container of bits, the tracks d88ls --json -t says were not all
  // taken from their first read, or whose reads disagree, each as d88ls -t
  // lists it: its line and the lines beneath.
  const again = { count: 0, listing: '' };
  if (['hfe', 'mfm', '86f', 'scp'].includes(format)) {
    const tracks = JSON.parse(spawnSync(d88ls, ['--json', '-t', image], { env }).stdout).images[0].disks[0].tracks
      .filter((track) => track.decoding.disagreeing > 0 || track.sectors.some((sector) => sector.read > 0))
      .map((track) => track.track);
    const listed = spawnSync(d88ls, ['-t', '--', path.basename(image)], { cwd: path.dirname(image), env });
    again.count = tracks.length;
    again.listing = listed.stdout.toString('utf8').replace(/\n$/, '').split(/\n(?= {2}\S)/)
      .filter((block) => tracks.includes(Number((/^ {2}\S+ (\d+) \(C /.exec(block) || [])[1]))).join('\n');
  }
  // What d88cut says on standard error of a file it wrote, by its name.
  const notes = {};
  for (const line of readable(cut.stderr).split('\n')) {
    const match = /^d88cut: ([^:]+): (.*)$/.exec(line);
    if (match && match[1] in files) notes[match[1]] = match[2];
  }
  return { listing: listing.stdout.toString('utf8') + listing.stderr.toString('utf8'),
    messages: readable(cut.stdout) + readable(cut.stderr), status: cut.status, files,
    notes, format, d88, conv: { status: conv.status, said: readable(conv.stderr),
      bytes: conv.status === 0 ? fs.readFileSync(path.join(converted, d88)) : null }, hfe, again,
    disks: nativeDisks(image, env) };
}

// The files and folders beneath `folder`, by their paths in it.
function walk(folder, prefix = '', found = { files: {}, folders: [] }) {
  for (const entry of fs.readdirSync(path.join(folder, prefix), { withFileTypes: true })) {
    const name = prefix + entry.name;
    if (entry.isDirectory()) {
      found.folders.push(name);
      walk(folder, name + '/', found);
    } else {
      found.files[name] = fs.readFileSync(path.join(folder, name));
    }
  }
  return found;
}

// Each disk's files as the native tools give them: its file system (d88ls
// --json -l); each file's name, size and type and the problems, as d88ls -l
// lists them beneath the disk's line; and what d88get --disk N writes in an
// empty folder, what it prints ("PATH", or "NAME -> PATH": no path has a
// '>') and what it says of the files it does not write.
function nativeDisks(image, env) {
  const run = (program, args, cwd) => spawnSync(program, args, { cwd, env });
  const json = JSON.parse(run(d88ls, ['--json', '-l', image]).stdout);
  const lines = run(d88ls, ['-l', image]).stdout.toString('utf8').split('\n');
  return (json.images[0].disks || []).map((disk) => {
    const at = lines.findIndex((line) => new RegExp(`^(disk|ディスク) ${disk.index}: `).test(line));
    const beneath = [];
    for (let k = at + 2; at >= 0 && k < lines.length && lines[k].startsWith('    '); k += 1) {
      beneath.push(lines[k]);
    }
    const listed = beneath.map((line) => /^ {4}[ \d]{10} {2}(.*) {2}\(([^()]*)\)$/.exec(line));
    const expected = { index: disk.index, system: disk.filesystem && disk.filesystem.type,
      rows: [], problems: beneath.filter((line, k) => !listed[k]).map((line) => line.trim()) };
    if (!disk.filesystem) return expected;
    expected.rows = disk.filesystem.files.map((file, k) => [listed[k][1],
      file.type === 'folder' ? '' : file.size, listed[k][2]]);
    const out = fs.mkdtempSync(path.join(work, 'native-get-'));
    const got = run(d88get, ['--disk', String(disk.index), image], out);
    expected.written = got.stdout.toString('utf8').split('\n').filter((line) => line !== '')
      .map((line) => (line.includes(' -> ') ? [line.slice(0, line.lastIndexOf(' -> ')),
        line.slice(line.lastIndexOf(' -> ') + 4)] : [line, line]));
    expected.unwritten = Object.fromEntries(got.stderr.toString('utf8').split('\n')
      .map((line) => /^d88get: (.*): ([^:]*)$/.exec(line)).filter((match) => match)
      .map((match) => [match[1], match[2]]));
    Object.assign(expected, walk(out));
    return expected;
  });
}

// The downloads of a page, by name, once Chromium says each is complete.
function watchDownloads(session, folder) {
  const names = {};
  const done = new Set();
  session.on('Browser.downloadWillBegin', (event) => { names[event.guid] = event.suggestedFilename; });
  session.on('Browser.downloadProgress', (event) => {
    if (event.state === 'completed') done.add(names[event.guid]);
  });
  return async (name) => {
    for (let k = 0; k < 400 && !done.has(name); k += 1) {
      await new Promise((resolve) => setTimeout(resolve, 25));
    }
    return done.has(name) ? fs.readFileSync(path.join(folder, name)) : null;
  };
}

// A page whose browser asks for `language` first, as a Japanese or an
// English user's does.
async function newPage(browser, language) {
  const page = await browser.newPage();
  // What the page's policy refuses, which none of its own work may meet.
  await page.evaluateOnNewDocument(() => {
    window.refused = [];
    document.addEventListener('securitypolicyviolation',
      (event) => window.refused.push(`${event.violatedDirective} ${event.blockedURI}`));
  });
  await page.evaluateOnNewDocument((tag) => {
    Object.defineProperty(navigator, 'languages', { get: () => [tag] });
    Object.defineProperty(navigator, 'language', { get: () => tag });
  }, language === 'ja' ? 'ja-JP' : 'en-US');
  return page;
}

// `cached` false: with the browser's HTTP cache off, as for a page whose
// files only its service worker keeps.
async function tryImage(browser, origin, url, image, language = 'en', cached = true) {
  const label = `${origin} ${language} ${path.basename(image)}:`;
  const expected = native(image, language);
  const page = await newPage(browser, language);
  if (!cached) await page.setCacheEnabled(false);
  const foreign = [];
  page.on('request', (request) => {
    const address = request.url();
    const own = address.startsWith(url.replace(/index\.html$/, '')) || /^(data|blob):/.test(address);
    if (!own) foreign.push(address);
  });
  const downloads = fs.mkdtempSync(path.join(work, 'downloads-'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior',
    { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
  const downloaded = watchDownloads(session, downloads);
  await page.goto(url, { waitUntil: 'load' });
  await (await page.$('input[type=file]')).uploadFile(image);
  await page.waitForFunction(() => document.body.dataset.state === 'done', { timeout: 30000 });
  const shown = await page.evaluate(() => ({
    listing: document.getElementById('listing').textContent,
    messages: document.getElementById('messages').textContent,
    status: document.getElementById('cut-status').textContent,
    problem: document.getElementById('problem').hidden ? '' : document.getElementById('problem').textContent,
    links: Array.from(document.querySelectorAll('#files a, #zip a'), (a) => a.download),
    noFiles: !document.getElementById('no-files').hidden,
    lang: document.documentElement.lang,
    heading: document.querySelector('[data-words="holds"]').textContent,
    container: document.getElementById('container').textContent,
    again: document.getElementById('reads').hidden ? null : [document.getElementById('reads-are').textContent,
      document.getElementById('reads-listing').textContent],
    d88: document.getElementById('d88').hidden ? null : [document.querySelector('#d88 a').download,
      document.querySelector('#d88 .size').textContent],
    noD88: document.getElementById('no-d88').hidden ? '' : document.getElementById('no-d88').textContent,
    convSaid: document.getElementById('conv-messages').hidden ? ''
      : document.getElementById('conv-messages').textContent,
    hfe: Array.from(document.querySelectorAll('#hfe li'), (item) => ({
      name: item.querySelector('a') && item.querySelector('a').download,
      words: Array.from(item.childNodes, (node) => (node.nodeName === 'PRE' ? '' : node.textContent)).join(''),
      said: item.querySelector('pre') ? item.querySelector('pre').textContent : '' })),
    notes: Object.fromEntries(Array.from(document.querySelectorAll('#files tbody tr'),
      (row) => [row.querySelector('a').download, row.querySelector('.note').textContent])
      .filter(([, note]) => note !== '')),
  }));
  check(`${label} no problem shown`, shown.problem === '', shown.problem);
  check(`${label} the page is in ${language}`, shown.lang === language &&
    shown.heading === (language === 'ja' ? 'イメージの中身' : 'What the image holds'), shown.heading);
  check(`${label} the listing is d88ls's`, shown.listing === expected.listing, JSON.stringify(shown.listing));
  // The container as d88ls --json names it, in the page's words (most by
  // its name in capitals, for an image given besides the table's).
  const container = { d88: ['D88', 'D88'], raw: ['raw image', 'ベタイメージ'], mfm: ['HxC MFM', 'HxC MFM'],
    scp: ['SuperCard Pro flux', 'SuperCard Pro のフラックスイメージ'] }[expected.format] ||
    [expected.format.toUpperCase(), expected.format.toUpperCase()];
  check(`${label} the container named: ${expected.format}`,
    shown.container.includes(container[language === 'ja' ? 1 : 0]), shown.container);
  // What d88ls -t says of the tracks read again, where there are any.
  check(`${label} ${expected.again.count} tracks read again shown as d88ls -t lists them`,
    expected.again.count === 0 ? shown.again === null : shown.again !== null &&
      shown.again[0].includes(` ${expected.again.count} `) && shown.again[1] === expected.again.listing,
    JSON.stringify(shown.again));
  readAgainSeen += expected.again.count;
  check(`${label} the messages are d88cut's`,
    shown.messages === (expected.messages || (language === 'ja' ? '（なし）' : '(nothing)')),
    JSON.stringify(shown.messages));
  check(`${label} exit status ${expected.status}`, shown.status === (language === 'ja'
    ? `（終了ステータス ${expected.status}）` : `(exit status ${expected.status})`));
  const names = Object.keys(expected.files).sort();
  const fileLinks = shown.links.filter((name) => !name.endsWith('.zip'));
  check(`${label} a link for each of ${names.length} files`, fileLinks.slice().sort().join() === names.join(),
    shown.links.join(' '));
  check(`${label} "no files" said if and only if none`, shown.noFiles === (names.length === 0));
  check(`${label} d88cut's words on ${Object.keys(expected.notes).length} files beside them`,
    JSON.stringify(shown.notes) === JSON.stringify(expected.notes), JSON.stringify(shown.notes));
  // The D88 d88conv writes, with its size, or d88conv's words and status.
  const conv = expected.conv;
  const size = conv.bytes && conv.bytes.length.toLocaleString(language);
  check(`${label} the D88 offered as ${expected.d88} if and only if d88conv writes one`,
    JSON.stringify(shown.d88) === JSON.stringify(conv.bytes && [expected.d88,
      language === 'ja' ? `（${size} バイト）` : `(${size} bytes)`]), JSON.stringify(shown.d88));
  check(`${label} d88conv's words and exit status ${conv.status} shown`, shown.convSaid === conv.said &&
    (conv.status === 0 ? shown.noD88 === '' : shown.noD88.includes(` ${conv.status}`)),
    JSON.stringify([shown.noD88, shown.convSaid]));
  if (shown.d88) {
    await page.click('#d88 a');
    const bytes = await downloaded(expected.d88);
    check(`${label} download ${expected.d88} is byte for byte the native d88conv's`,
      bytes !== null && bytes.equals(conv.bytes));
  }
  // Each disk as HFE: the file the native d88conv writes, with its size,
  // or that it made none and its status; its words, warnings too, beside.
  const made = expected.hfe.filter((one) => one.bytes);
  const many = expected.hfe.length > 1;
  const fits = expected.hfe.length === shown.hfe.length && expected.hfe.every((one, k) => {
    const { name, words, said } = shown.hfe[k];
    const disk = !many ? '' : language === 'ja' ? `ディスク ${one.index}: ` : `Disk ${one.index}: `;
    const size = one.bytes && one.bytes.length.toLocaleString(language);
    return name === (one.bytes && one.name) && said === one.said && words.startsWith(disk) &&
      (one.bytes ? words === disk + one.name + (language === 'ja' ? ` （${size} バイト）` : ` (${size} bytes)`)
        : words.includes(` ${one.status}`));
  });
  check(`${label} each of ${expected.hfe.length} disks as HFE, or d88conv's words (exit status ` +
    `${expected.hfe.map((one) => one.status).join(', ')})`, fits, JSON.stringify(shown.hfe));
  if (made.length > 0) {
    await page.click('#hfe a');
    const bytes = await downloaded(made[0].name);
    let same = bytes !== null && bytes.equals(made[0].bytes);
    const links = await page.$$('#hfe a');
    for (const [k, link] of links.entries()) same = same && (await bytesOf(link)).equals(made[k].bytes);
    check(`${label} each HFE download is byte for byte the native d88conv's`, same && links.length === made.length);
  }
  for (const one of expected.hfe) {
    hfeSeen[one.status !== 0 ? 'refused' : one.said !== '' ? 'warned' : 'made'] += 1;
  }
  for (const name of shown.links) {
    await page.click(`a[download="${name}"]`);
    const bytes = await downloaded(name);
    if (name.endsWith('.zip')) {
      const entries = bytes ? unzipSync(new Uint8Array(bytes)) : {};
      const same = Object.keys(entries).sort().join() === names.join() &&
        names.every((n) => Buffer.from(entries[n]).equals(expected.files[n]));
      check(`${label} the zip holds the same ${names.length} files`, same);
    } else {
      check(`${label} download ${name} is byte for byte the native file`,
        bytes !== null && bytes.equals(expected.files[name]));
    }
  }
  await tryDisks(page, label, expected, language);
  check(`${label} nothing fetched from another origin`, foreign.length === 0, foreign.join(' '));
  const refused = await page.evaluate(() => window.refused);
  check(`${label} nothing of the page's own refused by its policy`, refused.length === 0,
    refused.join(' '));
  return page;
}

// The bytes a link of the page downloads.
const bytesOf = async (link) => Buffer.from(await link.evaluate(async (a) =>
  Array.from(new Uint8Array(await (await fetch(a.href)).arrayBuffer()))));

// The files on the disks: each disk's section as the native tools give
// the disk (its file system, files and problems), a download of each file
// the native d88get writes, under the name it writes it as and with its
// bytes, d88get's words beside each it does not write, and a zip a disk of
// its files and folders. The bytes are read from the links themselves:
// headless Chromium does not always start one more download of a page that
// has made many, and the downloads above show that the page's links
// download.
async function tryDisks(page, label, expected, language) {
  const sections = await page.$$('#disks section.disk');
  check(`${label} a section for each of ${expected.disks.length} disks`,
    sections.length === expected.disks.length, String(sections.length));
  const none = language === 'ja' ? '読めるファイルシステムではありません' : 'no file system';
  for (const [k, disk] of expected.disks.entries()) {
    if (!sections[k]) break;
    const at = `${label} disk ${disk.index}:`;
    const shown = await sections[k].evaluate((section) => ({
      heading: section.querySelector('h3').textContent,
      problems: Array.from(section.querySelectorAll('.problems li'), (item) => item.textContent),
      rows: Array.from(section.querySelectorAll('tbody tr'), (row) =>
        Array.from(row.cells, (cell, c) => (c === 0 ? cell.firstChild.textContent : cell.textContent))),
      links: Array.from(section.querySelectorAll('tbody a'), (link) => [link.textContent, link.download]),
      notes: Object.fromEntries(Array.from(section.querySelectorAll('tbody .note'),
        (note) => [note.parentElement.firstChild.textContent, note.textContent])),
      zip: section.querySelector('p > a[download]') && section.querySelector('p > a[download]').download,
    }));
    const rows = disk.rows.map(([name, size, type]) =>
      [name, size === '' ? '' : size.toLocaleString(language), type]);
    check(`${at} ${disk.system || 'no file system'}, ${rows.length} files and ` +
      `${disk.problems.length} problems as d88ls -l lists them`, shown.heading.toLowerCase()
      .includes(disk.system ? disk.system.replace('cpm', 'cp/m') : none) &&
      JSON.stringify([shown.rows, shown.problems]) === JSON.stringify([rows, disk.problems]),
      JSON.stringify(shown));
    if (!disk.system) continue;
    const written = disk.written.map(([name, file]) => [name, file.slice(file.lastIndexOf('/') + 1)]);
    check(`${at} a download for each of the ${written.length} files d88get writes, under its name, ` +
      'and its words on the rest', JSON.stringify([shown.links, shown.notes]) ===
      JSON.stringify([written, disk.unwritten]), JSON.stringify([shown.links, shown.notes]));
    const links = await sections[k].$$('tbody a');
    let same = links.length === written.length;
    for (const [n, link] of links.entries()) {
      same = same && n < written.length && (await bytesOf(link)).equals(disk.files[disk.written[n][1]]);
    }
    check(`${at} each download is byte for byte the native d88get's`, same);
    const zipName = `${expected.d88.replace(/\.d88$/, '')}-disk${disk.index}-files.zip`;
    if (shown.zip !== (written.length > 0 ? zipName : null)) {
      check(`${at} a zip of its files as ${zipName}`, false, shown.zip);
      continue;
    }
    if (!shown.zip) continue;
    const entries = unzipSync(new Uint8Array(await bytesOf(await sections[k].$('p > a[download]'))));
    const names = Object.keys(entries);
    check(`${at} the zip holds d88get's ${Object.keys(disk.files).length} files and ` +
      `${disk.folders.length} folders`, names.filter((name) => name.endsWith('/')).sort().join() ===
      disk.folders.map((folder) => folder + '/').sort().join() &&
      names.filter((name) => !name.endsWith('/')).sort().join() === Object.keys(disk.files).sort().join() &&
      Object.entries(disk.files).every(([name, data]) => Buffer.from(entries[name]).equals(data)),
      names.join(' '));
  }
}

// The switch between 日本語 and English: it changes the page's words and
// its lang at once, and the page keeps the choice for the next visit.
async function trySwitch(browser, origin, url) {
  const label = `${origin} the language switch:`;
  const page = await newPage(browser, 'ja');
  await page.goto(url, { waitUntil: 'load' });
  const state = () => page.evaluate(() => [document.documentElement.lang,
    document.querySelector('label[for=image]').textContent,
    document.querySelector('button[aria-pressed=true]').dataset.lang]);
  const japanese = JSON.stringify(['ja', 'ディスクイメージを選択', 'ja']);
  const english = JSON.stringify(['en', 'Choose a disk image', 'en']);
  check(`${label} Japanese for a Japanese browser`, JSON.stringify(await state()) === japanese);
  await page.click('button[data-lang=en]');
  check(`${label} English once chosen`, JSON.stringify(await state()) === english);
  await page.reload({ waitUntil: 'load' });
  check(`${label} English kept over a reload`, JSON.stringify(await state()) === english);
  await page.keyboard.press('Tab');  // the first thing on the page: 日本語
  await page.keyboard.press('Enter');
  check(`${label} Japanese again, by keyboard`, JSON.stringify(await state()) === japanese);
  await page.evaluate(() => localStorage.clear());
  await page.close();
}

// A static server for `folder` on 127.0.0.1, which counts the requests it
// gets and can be stopped at once, open connections and all.
function serve(folder) {
  const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
    '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml', '.png': 'image/png' };
  const sockets = new Set();
  const server = http.createServer((request, response) => {
    server.requests += 1;
    let name = path.join(folder, path.normalize(decodeURIComponent(request.url.split('?')[0])));
    if (name === folder || name === folder + path.sep) name = path.join(folder, 'index.html');
    fs.readFile(name.startsWith(folder) ? name : '', (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
      response.end(error ? '' : data);
    });
  });
  server.requests = 0;
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  server.stop = () => new Promise((resolve) => {
    server.close(resolve);
    for (const socket of sockets) socket.destroy();
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The installable page, from 127.0.0.1: its manifest as Chromium reads it,
// its service worker in charge, no connection to another origin, a file
// handed over as an installed page gets it, and then, with the server gone
// and no HTTP cache, the page loaded and an image cut all the same.
async function tryApp(browser, server, url) {
  const label = 'the installable page:';
  const page = await newPage(browser, 'en');
  await page.goto(url, { waitUntil: 'load' });
  const session = await page.createCDPSession();
  const manifest = await session.send('Page.getAppManifest');
  check(`${label} Chromium reads its manifest without an error`,
    manifest.errors.length === 0 && manifest.data.includes('file_handlers'),
    JSON.stringify(manifest.errors));
  // Every name the tools read is offered by the chooser, in both cases,
  // and is one the installed page is opened with.
  const names = ['.d88', '.d77', '.d68', '.d98', '.88d', '.1dd', '.2d', '.2dd', '.2hd', '.hdm',
    '.xdf', '.dup', '.img', '.hd5', '.hd4', '.dd6', '.dd9', '.1d', '.hdb', '.ddb', '.fdi', '.dim',
    '.dcp', '.dcu', '.nfd', '.fdd', '.imd', '.dsk', '.td0', '.dmk', '.hfe', '.mfm', '.86f', '.scp'];
  const accept = (await page.$eval('#image', (input) => input.accept)).split(',');
  const handled = JSON.parse(manifest.data).file_handlers.flatMap((handler) =>
    Object.values(handler.accept).flat());
  const missing = names.filter((name) => !accept.includes(name) || !accept.includes(name.toUpperCase()) ||
    !handled.includes(name));
  check(`${label} the chooser and the file handlers take all ${names.length} kinds of image`,
    missing.length === 0, missing.join(' '));
  const scope = await page.evaluate(async () => (await navigator.serviceWorker.ready).scope);
  await page.reload({ waitUntil: 'load' });
  check(`${label} its service worker takes charge`,
    await page.evaluate(() => navigator.serviceWorker.controller !== null), scope);

  // A fetch to another origin (another port) is refused by the page's own
  // policy, and never reaches that server.
  const other = await serve(path.join(work, 'images'));
  const outcome = await page.evaluate((address) => fetch(address).then(() => 'arrived', () => 'refused'),
    `http://127.0.0.1:${other.address().port}/sample.d88`);
  check(`${label} a fetch to another origin is refused and never arrives`,
    outcome === 'refused' && other.requests === 0, `${outcome}, ${other.requests} requests`);
  await other.stop();
  await page.close();

  // The system's file manager hands an installed page a file through the
  // launch queue, which a page outside an installed app has not: given one.
  const launched = await newPage(browser, 'en');
  await launched.evaluateOnNewDocument(() => {
    Object.defineProperty(window, 'launchQueue', { configurable: true,
      value: { setConsumer: (consumer) => { window.launchConsumer = consumer; } } });
  });
  await launched.goto(url, { waitUntil: 'load' });
  const sample = fs.readFileSync(table[0]).toString('base64');
  await launched.evaluate((bytes) => {
    const data = Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0));
    window.launchConsumer({ files: [{ getFile: async () => new File([data], 'launched.d88') }] });
  }, sample);
  await launched.waitForFunction(() => document.body.dataset.state === 'done', { timeout: 30000 });
  const result = await launched.evaluate(() => [document.getElementById('result-name').textContent,
    document.querySelectorAll('#files tbody tr').length]);
  check(`${label} a file from the launch queue is cut`,
    result[0].startsWith('launched.d88') && result[1] === 7, JSON.stringify(result));
  await launched.close();

  await server.stop();
  const offline = await tryImage(browser, 'offline', url, table[0], 'en', false);
  await offline.screenshot({ path: path.join(path.dirname(pageFolder), 'page-offline.png'), fullPage: true });
  await offline.close();
}

// Every file of the page, those in its folders too.
const size = fs.readdirSync(pageFolder, { recursive: true }).map((f) => fs.statSync(path.join(pageFolder, f)))
  .reduce((sum, stat) => sum + (stat.isFile() ? stat.size : 0), 0);
check(`the page is under 500 KB (${size} bytes)`, size < 500 * 1024);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-quic'],
  userDataDir: path.join(work, 'profile'),
});
const server = await serve(pageFolder);
try {
  const origins = { 'file://': `file://${pageFolder}/index.html`,
    'http://127.0.0.1': `http://127.0.0.1:${server.address().port}/index.html` };
  for (const [origin, url] of Object.entries(origins)) {
    for (const image of table) {
      const page = await tryImage(browser, origin, url, image);
      // Screenshots of the finished page: the sample, a damaged block, an
      // image in another container, disks with files, and flux.
      const shot = { [table[0]]: 'page.png', [table[3]]: 'page-marked-sectors.png',
        [table[6]]: 'page-imd.png', [table[8]]: 'page-files.png', [table[10]]: 'page-flux.png' }[image];
      if (origin === 'file://' && shot) {
        await page.screenshot({ path: path.join(path.dirname(pageFolder), shot), fullPage: true });
      }
      await page.close();
    }
    // In Japanese, for a Japanese user: the page, the tools' words and the
    // disk's name, as the native tools give them to a Japanese user.
    const named = table.find((image) => path.basename(image) === 'named.d88');
    const page = await tryImage(browser, origin, url, named, 'ja');
    if (origin === 'file://') {
      await page.screenshot({ path: path.join(path.dirname(pageFolder), 'page-ja.png'), fullPage: true });
    }
    await page.close();
    // And d88conv's words, where it makes no D88, and the disks' files, their
    // problems and d88get's words, as a Japanese user reads them.
    await (await tryImage(browser, origin, url, table[7], 'ja')).close();
    // And what d88ls -t says of the tracks of flux read again.
    const flux = await tryImage(browser, origin, url, table[10], 'ja');
    if (origin === 'file://') {
      await flux.screenshot({ path: path.join(path.dirname(pageFolder), 'page-flux-ja.png'), fullPage: true });
    }
    await flux.close();
    const files = await tryImage(browser, origin, url, table[8], 'ja');
    if (origin === 'file://') {
      await files.screenshot({ path: path.join(path.dirname(pageFolder), 'page-files-ja.png'), fullPage: true });
    }
    await files.close();
    await trySwitch(browser, origin, url);
  }
  await tryApp(browser, server, origins['http://127.0.0.1']);
} finally {
  await server.stop();
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
}
check(`tracks read again met (${readAgainSeen})`, readAgainSeen > 0);
check(`d88conv's HFE met made, refused and made with a warning (${JSON.stringify(hfeSeen)})`,
  Object.values(hfeSeen).every((count) => count > 0));
console.log(failures === 0 ? 'page: all checks passed' : `page: ${failures} checks failed`);
process.exit(failures === 0 ? 0 : 1);
