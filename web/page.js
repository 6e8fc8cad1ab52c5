// The page: hands the chosen image to d88ls, d88cut, d88conv and d88get,
// compiled to WebAssembly as one module, shows what they print and offers
// the files on each disk as d88get writes them, the files d88cut wrote,
// the image as a D88 and each disk as HFE. Each run gets a fresh instance of the module, as each
// command-line run gets a fresh process: a module's runtime ends with its
// main.
'use strict';

// The page's words, in Japanese and English. The tools speak the page's
// language too: it is handed to them as their environment's.
const words = {
  en: {
    title: 'd88cut in the browser',
    intro: 'Cuts the files <code>PROG</code>, <code>FMBANK</code> and <code>MUS00</code> to ' +
      '<code>MUS04</code> out of a floppy-disk image, from the disk that is marked for them ' +
      '(an <code>A</code> at byte 254 of sector 16 on track 0), and offers the image as a D88 ' +
      'and each disk as HFE for a floppy emulator. ' +
      'It lists the files on each disk in N88-BASIC, F-BASIC, Hu-BASIC, MZ-BASIC, FAT12, ' +
      'Human68k or CP/M, to download one by one or a disk\'s all as one .zip. ' +
      'Besides D88 it reads raw images (.2d, .2hd, .img, …), FDI, DIM, DCP/DCU, NFD, FDD, IMD, ' +
      'DSK, TD0 and DMK, and the bits or flux of a disk\'s tracks as HFE, HxC MFM, 86F and ' +
      'SuperCard Pro (.scp) keep them.',
    choose: 'Choose a disk image',
    or: 'or drop it anywhere on this page.',
    private: 'The image stays on this computer: the page reads it here and sends it nowhere. ' +
      'Once loaded, the page asks nothing of any server.',
    resultsFor: 'Results for',
    holds: 'What the image holds',
    said: 'What d88cut said',
    files: 'Files cut out',
    onDisks: 'Files on the disks',
    noFiles: 'No files were cut: d88cut found no marked disk in this file (d88ls above says why).',
    file: 'File', note: 'Note', bytes: 'Bytes', type: 'Type',
    asD88: 'The image as a D88',
    d88Is: 'Every disk of the image, each sector with its ID, data and marks, in one D88 file:',
    noD88: (status) => `d88conv made no D88 of this image (exit status ${status}):`,
    asHfe: 'The image as HFE',
    hfeIs: 'HFE is what a USB floppy emulator reads in place of a real machine\'s floppy drive.',
    hfeDisk: (index) => `Disk ${index}: `,
    noHfe: (status) => `d88conv made no HFE (exit status ${status}):`,
    footer: 'The same programs run here as on the command line, compiled to WebAssembly; the ' +
      'files are the disk\'s sectors byte for byte.',
    // The containers by the names d88ls gives them.
    container: (format) => (format === 'd88' ? 'Container: D88.'
      : `Container: ${containerNames.en[format] || format}, read as the D88 it would be.`),
    cutting: (name) => `Cutting ${name}…`,
    cutNone: (name) => `${name}: no files were cut.`,
    cut: (name, count) => `${name}: ${count} file${count === 1 ? '' : 's'} cut.`,
    noted: (count) => ` ${count} of them ${count === 1 ? 'has' : 'have'} a note: the image ` +
      'marks sectors they were cut from.',
    ignored: (count) => ` ${count} more dropped file${count === 1 ? ' was' : 's were'} left ` +
      'alone: drop one image at a time.',
    zip: (count, name) => `All ${count} files as one .zip (${name})`,
    onDisksFound: (count) => ` The disks hold ${count} file${count === 1 ? '' : 's'}.`,
    disk: (index, name) => (name ? `Disk ${index} “${name}”` : `Disk ${index}`),
    fileSystem: (type, files, folders) => `: ${type}, ${files + folders === 0 ? 'no files'
      : [files > 0 ? `${files} file${files === 1 ? '' : 's'}` : '',
        folders > 0 ? `${folders} folder${folders === 1 ? '' : 's'}` : '']
        .filter((part) => part !== '').join(' and ')}`,
    noFileSystem: ': no file system these tools read',
    savedAs: (path) => `saved as ${path}`,
    diskZip: (count, index, name) => (count === 1 ? `The one file of disk ${index} as a .zip`
      : `All ${count} files of disk ${index} as one .zip`) + ` (${name})`,
    getSaid: (status) => `What d88get said (exit status ${status}):`,
    status: (status) => `(exit status ${status})`,
    nothing: '(nothing)',
    noHash: '(needs https, or the page opened from disk)',
    unreadable: (name, why) => `${name} cannot be read: ${why}`,
    stopped: (program, why) => `${program} stopped: ${why}`,
    size: (name, bytes) => `${name} (${bytes} bytes)`,
    bytesOf: (bytes) => `(${bytes} bytes)`,
    readAgain: (count) => `Read from the bits: on ${count} track${count === 1 ? '' : 's'} not ` +
      'every sector was taken from the first read of the track, or its reads disagreed (d88ls -t):',
  },
  ja: {
    title: 'd88cut（ブラウザー版）',
    intro: 'フロッピーディスクのイメージから、マーカーの付いたディスク（トラック 0 のセクタ 16、' +
      '254 バイト目が <code>A</code>）を探し、<code>PROG</code>・<code>FMBANK</code>・' +
      '<code>MUS00</code>～<code>MUS04</code> のファイルを切り出します。イメージを D88 形式に' +
      '変換したファイルや、ディスクごとにフロッピーエミュレーター用の HFE 形式にしたファイルも' +
      '作れます。N88-BASIC・F-BASIC・Hu-BASIC・MZ-BASIC・FAT12・Human68k・' +
      'CP/M のディスクなら、中のファイルを一覧にして、1 つずつでも、ディスクごとに .zip に' +
      'まとめてでもダウンロードできます。D88 のほか、ベタイメージ（.2d・.2hd・.img など）、FDI・DIM・' +
      'DCP/DCU・NFD・FDD・IMD・DSK・TD0・DMK の各形式と、トラックのビット列やフラックスを記録した ' +
      'HFE・HxC MFM・86F・SuperCard Pro（.scp）の各形式を読み込めます。',
    choose: 'ディスクイメージを選択',
    or: '（このページにドロップしても読み込めます）',
    private: 'イメージはこのコンピューターから出ません。ページはここで読むだけで、どこにも' +
      '送りません。読み込んだ後は、どのサーバーにも何も問い合わせません。',
    resultsFor: '結果:',
    holds: 'イメージの中身',
    said: 'd88cut の出力',
    files: '切り出したファイル',
    onDisks: 'ディスク内のファイル',
    noFiles: 'ファイルは切り出されませんでした。マーカーの付いたディスクが見つかりません（理由は' +
      '上の d88ls の表示を見てください）。',
    file: 'ファイル', note: '備考', bytes: 'バイト数', type: '種類',
    asD88: 'D88 形式のイメージ',
    d88Is: 'イメージ内の全ディスクを、セクタごとの ID・データ・状態（エラーの記録など）も含めて、' +
      '1 つの D88 ファイルにまとめたもの:',
    noD88: (status) => `このイメージは D88 形式に変換できませんでした（終了ステータス ${status}）:`,
    asHfe: 'HFE 形式のイメージ',
    hfeIs: 'HFE 形式は、実機のフロッピードライブの代わりに接続する USB フロッピーエミュレーターで' +
      '使います。',
    hfeDisk: (index) => `ディスク ${index}: `,
    noHfe: (status) => `HFE 形式に変換できませんでした（終了ステータス ${status}）:`,
    container: (format) => (format === 'd88' ? '形式: D88'
      : `形式: ${containerNames.ja[format] || format}。読み込み時に D88 形式へ変換しています。`),
    footer: 'コマンドラインと同じプログラムを WebAssembly にして、ここで動かしています。' +
      'ファイルはディスクのセクタそのままです。',
    cutting: (name) => `${name} を処理しています…`,
    cutNone: (name) => `${name}: ファイルは切り出されませんでした。`,
    cut: (name, count) => `${name}: ${count} 個のファイルを切り出しました。`,
    noted: (count) => `そのうち ${count} 個は、イメージにエラーなどが記録されたセクタから切り出して` +
      'います（備考欄）。',
    ignored: (count) => `ほかにドロップされた ${count} 個のファイルは使っていません。` +
      'イメージは 1 つずつドロップしてください。',
    zip: (count, name) => `${count} 個のファイルをまとめた .zip（${name}）`,
    onDisksFound: (count) => `ディスク内のファイルは ${count} 個です。`,
    disk: (index, name) => (name ? `ディスク ${index}「${name}」` : `ディスク ${index}`),
    fileSystem: (type, files, folders) => `: ${type}、${files + folders === 0 ? 'ファイルなし'
      : [files > 0 ? `ファイル ${files} 個` : '', folders > 0 ? `フォルダー ${folders} 個` : '']
        .filter((part) => part !== '').join('、')}`,
    noFileSystem: ': 読めるファイルシステムではありません',
    savedAs: (path) => `保存名: ${path}`,
    diskZip: (count, index, name) => `ディスク ${index} の ${count} 個のファイルをまとめた .zip` +
      `（${name}）`,
    getSaid: (status) => `d88get の出力（終了ステータス ${status}）:`,
    status: (status) => `（終了ステータス ${status}）`,
    nothing: '（なし）',
    noHash: '（https か、ローカルファイルとして開いたページで表示されます）',
    unreadable: (name, why) => `${name} を読めません: ${why}`,
    stopped: (program, why) => `${program} が異常終了しました: ${why}`,
    size: (name, bytes) => `${name}（${bytes} バイト）`,
    bytesOf: (bytes) => `（${bytes} バイト）`,
    readAgain: (count) => `ビット列の読み取り: ${count} トラックで、1 回目の読み取りでは正しく` +
      '読めなかったセクタがあったか、読み取りごとに結果が食い違いました（d88ls -t）:',
  },
};
// What the page calls the containers d88ls names (d88, raw, fdi, ...).
const containerNames = {
  en: { raw: 'a raw image (the sectors alone, no header)', edsk: 'extended DSK',
    scp: 'SuperCard Pro flux' },
  ja: { raw: 'ベタイメージ（ヘッダーのないセクタの並び）', edsk: '拡張 DSK',
    scp: 'SuperCard Pro のフラックスイメージ' },
};
for (const [format, name] of Object.entries({ fdi: 'FDI', dim: 'DIM', dcp: 'DCP/DCU', nfd: 'NFD',
  vfd: 'FDD', imd: 'IMD', dsk: 'DSK', td0: 'TD0', dmk: 'DMK', hfe: 'HFE', mfm: 'HxC MFM',
  '86f': '86F' })) {
  containerNames.en[format] = name;
  containerNames.ja[format] = name;
}
// The containers of a disk's bits or flux, whose tracks the reader decodes,
// from more than one read of a track where the file has them.
const bitContainers = new Set(['hfe', 'mfm', '86f', 'scp']);
// What the page calls the file systems d88ls names (n88-basic, fat12, ...).
const fileSystemNames = { 'n88-basic': 'N88-BASIC', 'f-basic': 'F-BASIC', 'hu-basic': 'Hu-BASIC',
  'mz-basic': 'MZ-BASIC', fat12: 'FAT12', human68k: 'Human68k', cpm: 'CP/M' };
// The language chosen on the page before, else the browser's first of
// Japanese and English.
const storedLanguage = (() => {
  try { return localStorage.getItem('d88cut-language'); } catch { return null; }
})();
let language = words[storedLanguage] ? storedLanguage
  : (navigator.languages || [navigator.language]).map((tag) => String(tag).slice(0, 2))
    .find((tag) => tag === 'ja' || tag === 'en') || 'en';
const say = (key, ...values) => {
  const text = words[language][key];
  return typeof text === 'function' ? text(...values) : text;
};

function showLanguage() {
  document.documentElement.lang = language;
  document.title = say('title');
  for (const element of document.querySelectorAll('[data-words]')) {
    element.innerHTML = say(element.dataset.words);  // the page's own words, markup and all
  }
  for (const button of document.querySelectorAll('nav.languages button')) {
    button.setAttribute('aria-pressed', String(button.dataset.lang === language));
  }
}

const shiftJis = new TextDecoder('shift_jis');
const utf8Strict = new TextDecoder('utf-8', { fatal: true });

// What d88cut wrote, line by line: its fixed messages are Shift_JIS bytes,
// as a pipe gets them, and its own other lines are in the page's UTF-8.
function decodeMessages(bytes) {
  const lines = [];
  let start = 0;
  for (let k = 0; k <= bytes.length; k += 1) {
    if (k < bytes.length && bytes[k] !== 0x0a) continue;
    const line = bytes.subarray(start, k);
    let text;
    try { text = utf8Strict.decode(line); } catch { text = shiftJis.decode(line); }
    lines.push(text);
    start = k + 1;
  }
  return lines.join('\n');
}

const utf8 = new TextDecoder('utf-8');
const $ = (id) => document.getElementById(id);
let links = [];  // object URLs of the last run, let go with the next
let latest = 0;  // the run whose results the page shows; an older one shows none

// What a run left in `folder`, its folders walked: the files, by their
// paths beneath it ("SYS/CONFIG.SYS"), and the folders.
function collect(FS, folder) {
  const files = [];
  const folders = [];
  const walk = (prefix) => {
    for (const entry of FS.readdir(`${folder}/${prefix}`)) {
      if (entry === '.' || entry === '..') continue;
      const name = prefix + entry;
      if (FS.isDir(FS.stat(`${folder}/${name}`).mode)) {
        folders.push(name);
        walk(name + '/');
      } else {
        files.push({ name, data: FS.readFile(`${folder}/${name}`) });
      }
    }
  };
  walk('');
  return { files, folders };
}

// Runs `program` ('d88ls', 'd88cut', 'd88conv' or 'd88get') once: the
// image is put at /images/NAME, the run starts in `folder` (made for it if
// it is not /images), and the files and folders it leaves in `output`, if
// given, come back with the bytes it wrote on standard output and error.
async function run(program, name, image, args, folder = '/images', output = null) {
  const out = [];
  const err = [];
  const runtime = [];
  const module = await createD88tools({
    thisProgram: program,  // the module runs the tool its argv[0] names
    // The tools speak the page's language, in UTF-8.
    preRun: [(instance) => {
      instance.ENV.LANG = language === 'ja' ? 'ja_JP.UTF-8' : 'en_US.UTF-8';
      instance.ENV.LANGUAGE = language;
    }],
    stdout: (byte) => out.push(byte),
    stderr: (byte) => err.push(byte),
    // The runtime's own words (an abort), never the program's output.
    print: (line) => runtime.push(line),
    printErr: (line) => runtime.push(line),
  });
  module.FS.mkdir('/images');
  module.FS.writeFile('/images/' + name, image);
  for (const made of [folder, output]) {
    if (made && !module.FS.analyzePath(made).exists) module.FS.mkdir(made);
  }
  module.FS.chdir(folder);
  let status;
  try {
    status = module.callMain(args);
  } catch (error) {
    throw new Error(say('stopped', module.thisProgram, `${error.message} ${runtime.join(' ')}`));
  }
  const { files, folders } = output ? collect(module.FS, output) : { files: [], folders: [] };
  return { status, out: new Uint8Array(out), err: new Uint8Array(err), files, folders };
}

async function sha256(data) {
  if (!window.crypto || !crypto.subtle) return say('noHash');
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', data));
  return Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
}

function download(name, data) {
  const link = document.createElement('a');
  link.download = name;
  link.href = URL.createObjectURL(new Blob([data], { type: 'application/octet-stream' }));
  link.textContent = name;
  links.push(link.href);
  return link;
}

function clear() {
  links.forEach((url) => URL.revokeObjectURL(url));
  links = [];
  $('result').hidden = true;
  $('problem').hidden = true;
  $('files').hidden = true;
  $('no-files').hidden = true;
  $('zip').hidden = true;
  $('d88').hidden = true;
  $('no-d88').hidden = true;
  $('conv-messages').hidden = true;
  $('reads').hidden = true;
  $('hfe').replaceChildren();
  $('files').tBodies[0].replaceChildren();
  $('on-disks').hidden = true;
  $('disks').replaceChildren();
}

// The container d88ls names on the image's line, "NAME: FORMAT[, ...]",
// which it prints first for an image in any container but D88; null for
// a line it does not name one on.
function containerOf(listing, name) {
  const line = listing.split('\n', 1)[0];
  if (!line.startsWith(name + ': ')) return 'd88';
  const format = /^([a-z0-9]+)(?:,|$| \()/.exec(line.slice(name.length + 2));
  return format && format[1] in containerNames.en ? format[1] : null;
}

// The tracks of a container of bits (it holds one disk) that d88ls
// --json -t (`described`) says were not all taken from their first read,
// or whose reads disagree, with the lines d88ls -t (`listing`) gives each:
// its own and those beneath it. The count of them, and the lines.
function tracksReadAgain(described, listing) {
  let disk = null;
  try { [disk] = JSON.parse(described).images[0].disks || []; } catch { disk = null; }
  const again = new Set((disk ? disk.tracks || [] : []).filter((track) => track.decoding &&
    (track.decoding.disagreeing > 0 || track.sectors.some((sector) => sector.read > 0)))
    .map((track) => track.track));
  const lines = [];
  let kept = false;
  for (const line of listing.split('\n')) {
    const track = /^ {2}\S+ (\d+) \(C /.exec(line);
    if (track) kept = again.has(Number(track[1]));
    else if (!line.startsWith('    ')) kept = false;
    if (kept) lines.push(line);
  }
  return { count: again.size, lines };
}

// What d88conv made of the image: the D88 to download, or what it said.
function showConversion(converting, name) {
  const made = converting.files.find((file) => file.name === name);
  const said = decodeMessages(converting.err);
  if (converting.status === 0 && made) {
    const link = download(name, made.data);
    $('d88').querySelector('a').replaceWith(link);
    $('d88').querySelector('.size').textContent =
      say('bytesOf', made.data.length.toLocaleString(language));
    $('d88').hidden = false;
  } else {
    $('no-d88').textContent = say('noD88', converting.status);
    $('no-d88').hidden = false;
  }
  $('conv-messages').textContent = said;
  $('conv-messages').hidden = said === '';
}

// What d88conv made of each disk as HFE (`made`, with the disk's index
// and the file's name): a download and its size, or that it made none;
// and what it said, its warnings too. A disk's index stands before it
// where the image has more than one.
function showHfe(made) {
  for (const { index, name, converting } of made) {
    const item = $('hfe').appendChild(document.createElement('li'));
    if (made.length > 1) item.append(say('hfeDisk', index));
    const file = converting.status === 0 && converting.files.find((one) => one.name === name);
    if (file) {
      const size = document.createElement('span');
      size.className = 'size';
      size.textContent = say('bytesOf', file.data.length.toLocaleString(language));
      item.append(download(name, file.data), ' ', size);
    } else {
      item.append(say('noHfe', converting.status));
    }
    const said = decodeMessages(converting.err);
    if (said !== '') item.appendChild(document.createElement('pre')).textContent = said;
  }
}

// d88cut's words on standard error about a file it wrote ("d88cut: MUS01:
// sector ... is marked ..."), by the file's name.
function notesByFile(err, files) {
  const notes = new Map();
  for (const line of err.split('\n')) {
    const match = /^d88cut: ([^:]+): (.*)$/.exec(line);
    if (match && files.some((file) => file.name === match[1])) notes.set(match[1], match[2]);
  }
  return notes;
}

async function showFiles(files, stem, notes) {
  const body = $('files').tBodies[0];
  $('files').classList.toggle('with-notes', notes.size > 0);
  for (const file of files) {
    const row = body.insertRow();
    row.insertCell().append(download(file.name, file.data));
    const note = row.insertCell();
    note.className = 'note';
    note.textContent = notes.get(file.name) || '';
    const bytes = row.insertCell();
    bytes.className = 'bytes';
    bytes.textContent = file.data.length.toLocaleString(language);
    const hash = row.insertCell();
    hash.className = 'hash';
    hash.textContent = await sha256(file.data);
  }
  const entries = Object.fromEntries(files.map((file) => [file.name, file.data]));
  const zip = download(stem + '-files.zip', fflate.zipSync(entries, { level: 6 }));
  zip.textContent = say('zip', files.length, zip.download);
  $('zip').replaceChildren(zip);
  $('files').hidden = false;
  $('zip').hidden = false;
}

// What d88ls -l says of each disk's files, in the page's language, by the
// disk's index: the disk's name as listed (a quote in it is \x22), each
// file's name as listed and its type, and what is wrong.
// The file system's line comes first after the disk's; every line of it
// but that is indented by four: "    SIZE  NAME  (TYPE)" for a file, the
// file system's problems after them.
function filesListed(listing) {
  const disks = new Map();
  const lines = listing.split('\n');
  for (let k = 0; k < lines.length; k += 1) {
    const disk = /^(?:disk|ディスク) (\d+): [^"]*"([^"]*)"/.exec(lines[k]);
    if (!disk) continue;
    const listed = { name: disk[2], files: [], problems: [] };
    for (k += 2; k < lines.length && lines[k].startsWith('    '); k += 1) {
      const line = /^ {4}[ \d]{9}\d {2}(.*) {2}\(([^()]*)\)$/.exec(lines[k]);
      if (line) listed.files.push({ name: line[1], type: line[2] });
      else listed.problems.push(lines[k].trim());
    }
    k -= 1;
    disks.set(Number(disk[1]), listed);
  }
  return disks;
}

// What d88get wrote, a line a file: "PATH", or "NAME -> PATH" where the
// name it is listed by is not one this system takes. No path has a '>',
// so the last " -> " is the one between them.
function writtenPaths(out) {
  return out.split('\n').filter((line) => line !== '').map((line) => {
    const arrow = line.lastIndexOf(' -> ');
    return arrow < 0 ? { name: line, path: line }
      : { name: line.slice(0, arrow), path: line.slice(arrow + 4) };
  });
}

// The files and folders d88get wrote as one zip, its folders as folders.
// (Objects of no prototype, so that no name on a disk is one of theirs.)
function zipOf(files, folders) {
  const tree = Object.create(null);
  const folderAt = (path) => path.split('/').reduce((node, part) => {
    if (!(part in node)) node[part] = Object.create(null);
    return node[part];
  }, tree);
  for (const folder of folders) folderAt(folder);
  for (const file of files) {
    const slash = file.name.lastIndexOf('/');
    const node = slash < 0 ? tree : folderAt(file.name.slice(0, slash));
    node[file.name.slice(slash + 1)] = file.data;
  }
  return fflate.zipSync(tree, { level: 6 });
}

// A disk of the image as d88ls --json -l lists it (`disk`), with the words
// of d88ls -l on its files (`listed`) and what d88get made of it
// (`getting`, for a disk with a file system): the file system and its
// problems, a row for each file (its name as listed, size and type) whose
// name is a download of the file as d88get wrote it, and the disk's all as
// one zip.
function showDisk(disk, listed, getting, stem) {
  const section = document.createElement('section');
  section.className = 'disk';
  const heading = document.createElement('h3');
  const system = disk.filesystem;
  const folders = system ? system.files.filter((file) => file.type === 'folder').length : 0;
  const files = system ? system.files.length - folders : 0;
  heading.textContent = say('disk', disk.index, listed.name ?? disk.name) + (system
    ? say('fileSystem', fileSystemNames[system.type] || system.type, files, folders)
    : say('noFileSystem'));
  section.append(heading);
  if (!system) return { section, count: 0 };
  if (listed.problems.length > 0) {
    const problems = document.createElement('ul');
    problems.className = 'problems';
    for (const problem of listed.problems) {
      problems.appendChild(document.createElement('li')).textContent = problem;
    }
    section.append(problems);
  }
  const written = writtenPaths(utf8.decode(getting.out));
  const said = decodeMessages(getting.err).split('\n').filter((line) => line !== '');
  const table = document.createElement('table');
  table.className = 'disk-files';
  table.createTHead().insertRow().append(...['file', 'bytes', 'type'].map((key) => {
    const cell = document.createElement('th');
    cell.className = key;
    cell.textContent = say(key);
    return cell;
  }));
  const body = table.createTBody();
  let next = 0;
  for (const [k, file] of system.files.entries()) {
    const words = listed.files[k] || { name: file.name, type: file.type };
    const row = body.insertRow();
    const name = row.insertCell();
    name.className = 'name';
    const bytes = row.insertCell();
    bytes.className = 'bytes';
    const type = row.insertCell();
    type.className = 'type';
    type.textContent = words.type;
    if (file.type === 'folder') {
      name.textContent = words.name;
      continue;
    }
    bytes.textContent = file.size.toLocaleString(language);
    const made = next < written.length && written[next].name === words.name ? written[next++] : null;
    const data = made && getting.files.find((got) => got.name === made.path);
    if (data) {
      const link = download(made.path.slice(made.path.lastIndexOf('/') + 1), data.data);
      link.textContent = words.name;
      name.append(link);
      if (made.path !== words.name) {
        name.appendChild(document.createElement('small')).textContent = say('savedAs', made.path);
      }
    } else {
      // Not written: d88get's words on it beneath its name.
      name.textContent = words.name;
      const at = said.findIndex((line) => line.startsWith(`d88get: ${words.name}: `));
      if (at >= 0) {
        const note = name.appendChild(document.createElement('small'));
        note.className = 'note';
        note.textContent = said.splice(at, 1)[0].slice(`d88get: ${words.name}: `.length);
      }
    }
  }
  if (system.files.length > 0) section.append(table);
  if (getting.files.length > 0) {
    const zipName = `${stem}-disk${disk.index}-files.zip`;
    const zip = download(zipName, zipOf(getting.files, getting.folders));
    zip.textContent = say('diskZip', getting.files.length, disk.index, zipName);
    section.appendChild(document.createElement('p')).append(zip);
  }
  if (said.length > 0) {
    const words = document.createElement('p');
    words.textContent = say('getSaid', getting.status);
    const pre = document.createElement('pre');
    pre.textContent = said.join('\n');
    section.append(words, pre);
  }
  return { section, count: files };
}

async function cut(file, ignored) {
  const me = ++latest;
  clear();
  document.body.dataset.state = 'running';
  $('status').textContent = say('cutting', file.name);
  let status = '';
  try {
    let image;
    try {
      image = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      throw new Error(say('unreadable', file.name, error.message));
    }
    // "--": a name that begins with "-" is a name, not an option.
    const listing = await run('d88ls', file.name, image, ['--', file.name]);
    const format = listing.status === 0 ? containerOf(utf8.decode(listing.out), file.name) : null;
    // A container of bits: its tracks as d88ls -t lists them, for what it
    // says of the reads they were decoded from.
    const tracks = bitContainers.has(format) ? [
      await run('d88ls', file.name, image, ['--json', '-t', '--', file.name]),
      await run('d88ls', file.name, image, ['-t', '--', file.name])] : null;
    const cutting = await run('d88cut', file.name, image, ['/images/' + file.name], '/out', '/out');
    // The image as a D88, named as the image is but for its extension; the
    // run stays in /images, so that what d88conv says names the image as
    // the user does.
    const stem = file.name.replace(/\.[^.]*$/, '') || file.name;
    const converting = await run('d88conv', file.name, image,
      ['--', file.name, '/d88/' + stem + '.d88'], '/images', '/d88');
    // The files on the disks: which there are, from the JSON; what d88ls
    // says of them, in the page's language; and each disk's as d88get
    // writes them, in a folder of their own.
    const described = await run('d88ls', file.name, image, ['--json', '-l', '--', file.name]);
    const explained = await run('d88ls', file.name, image, ['-l', '--', file.name]);
    let disks = [];
    try {
      disks = JSON.parse(utf8.decode(described.out)).images.flatMap((one) => one.disks || []);
    } catch { disks = []; }  // no image d88ls opens: no disks
    const gotten = [];
    for (const disk of disks) {
      gotten.push(disk.filesystem ? await run('d88get', file.name, image,
        ['--disk', String(disk.index), '--', '/images/' + file.name], '/get', '/get') : null);
    }
    // Each disk as HFE: NAME.hfe, or NAME-diskN.hfe where the image holds
    // more disks than one; of an image of no disk, d88conv's words on why.
    // Written beside the image, so that what d88conv says names the image
    // and the file made as the user does.
    const hfe = [];
    for (const index of disks.length > 0 ? disks.map((disk) => disk.index) : [null]) {
      const name = disks.length > 1 ? `${stem}-disk${index}.hfe` : `${stem}.hfe`;
      const which = index === null ? [] : ['--disk', String(index)];
      hfe.push({ index, name, converting: await run('d88conv', file.name, image,
        [...which, '--', file.name, name], '/images', '/images') });
    }
    if (me !== latest) return;  // another file was chosen meanwhile
    $('result-name').textContent = say('size', file.name, image.length.toLocaleString(language));
    const listed = utf8.decode(listing.out);
    $('container').textContent = format ? say('container', format) : '';
    $('listing').textContent = listed + utf8.decode(listing.err);
    const again = tracks ? tracksReadAgain(utf8.decode(tracks[0].out), utf8.decode(tracks[1].out))
      : { count: 0 };
    if (again.count > 0) {
      $('reads-are').textContent = say('readAgain', again.count);
      $('reads-listing').textContent = again.lines.join('\n');
      $('reads').hidden = false;
    }
    // d88cut's Japanese messages are Shift_JIS bytes, as a pipe gets them.
    const cutErr = decodeMessages(cutting.err);
    $('messages').textContent = decodeMessages(cutting.out) + cutErr || say('nothing');
    $('cut-status').textContent = say('status', cutting.status);
    $('result').hidden = false;
    const listedFiles = filesListed(utf8.decode(explained.out));
    let onDisks = 0;
    for (const [k, disk] of disks.entries()) {
      const shown = showDisk(disk, listedFiles.get(disk.index) || { files: [], problems: [] },
        gotten[k], stem);
      $('disks').append(shown.section);
      onDisks += shown.count;
    }
    $('on-disks').hidden = disks.length === 0;
    const count = cutting.files.length;
    if (count === 0) {
      $('no-files').hidden = false;
      status = say('cutNone', file.name);
    } else {
      const notes = notesByFile(cutErr, cutting.files);
      await showFiles(cutting.files, stem, notes);
      if (me !== latest) return;
      status = say('cut', file.name, count);
      if (notes.size > 0) status += say('noted', notes.size);
    }
    if (onDisks > 0) status += say('onDisksFound', onDisks);
    showConversion(converting, stem + '.d88');
    showHfe(hfe);
  } catch (error) {
    if (me !== latest) return;
    $('problem').textContent = error.message;
    $('problem').hidden = false;
  }
  if (ignored > 0) status += say('ignored', ignored);
  $('status').textContent = status;
  document.body.dataset.state = 'done';
}

// The language switch: kept for the next visit; results already shown are
// in the language they were made in, until the next image.
for (const button of document.querySelectorAll('nav.languages button')) {
  button.addEventListener('click', () => {
    language = button.dataset.lang;
    try { localStorage.setItem('d88cut-language', language); } catch { /* not kept */ }
    showLanguage();
  });
}
showLanguage();

// Installed, the page is opened with the disk images the system's file
// manager hands it (the manifest's file handlers).
if ('launchQueue' in window) {
  window.launchQueue.setConsumer(async (launch) => {
    if (!launch.files || launch.files.length === 0) return;
    cut(await launch.files[0].getFile(), launch.files.length - 1);
  });
}

// Served from a web server, the page keeps its files for use with no
// network (service-worker.js); opened from disk it needs none.
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('service-worker.js').catch(() => {});
}

$('image').addEventListener('change', () => {
  const file = $('image').files[0];
  if (file) cut(file, 0);
});
// Emptied as the chooser opens, so that the same file chosen again runs
// again, while the name of the one chosen stays in view.
$('image').addEventListener('click', () => { $('image').value = ''; });
// A file dropped anywhere on the page; the browser would open it otherwise.
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  const files = event.dataTransfer.files;
  if (files.length === 0) return;
  $('image').value = '';  // the chooser names no file but the one the results are for
  cut(files[0], files.length - 1);
});
