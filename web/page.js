// The page: hands the chosen image to d88ls and d88cut, compiled to
// WebAssembly, shows what they print and offers the files d88cut wrote.
// Each run gets a fresh instance of its module, as each command-line run
// gets a fresh process: a module's runtime ends with its main.
'use strict';

const shiftJis = new TextDecoder('shift_jis');
const utf8 = new TextDecoder('utf-8');
const $ = (id) => document.getElementById(id);
let links = [];  // object URLs of the last run, let go with the next
let latest = 0;  // the run whose results the page shows; an older one shows none

// Runs `program` (createD88ls or createD88cut) once: the image is put at
// /images/NAME, the run starts in `folder` (made for it if it is another).
// Standard output and error come back as the bytes the program wrote, with
// the files left in `folder`.
async function run(factory, name, image, folder, args) {
  const out = [];
  const err = [];
  const runtime = [];
  const module = await factory({
    thisProgram: factory === createD88cut ? 'd88cut' : 'd88ls',
    stdout: (byte) => out.push(byte),
    stderr: (byte) => err.push(byte),
    // The runtime's own words (an abort), never the program's output.
    print: (line) => runtime.push(line),
    printErr: (line) => runtime.push(line),
  });
  module.FS.mkdir('/images');
  module.FS.writeFile('/images/' + name, image);
  if (!module.FS.analyzePath(folder).exists) module.FS.mkdir(folder);
  module.FS.chdir(folder);
  let status;
  try {
    status = module.callMain(args);
  } catch (error) {
    throw new Error(`${module.thisProgram} stopped: ${error.message} ${runtime.join(' ')}`);
  }
  const left = folder === '/images' ? [] : module.FS.readdir(folder);
  const files = left.filter((file) => file !== '.' && file !== '..')
    .map((file) => ({ name: file, data: module.FS.readFile(folder + '/' + file) }));
  return { status, out: new Uint8Array(out), err: new Uint8Array(err), files };
}

async function sha256(data) {
  if (!window.crypto || !crypto.subtle) return '(needs https, or the page opened from disk)';
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
  $('files').tBodies[0].replaceChildren();
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
    bytes.textContent = file.data.length.toLocaleString('en');
    const hash = row.insertCell();
    hash.className = 'hash';
    hash.textContent = await sha256(file.data);
  }
  const entries = Object.fromEntries(files.map((file) => [file.name, file.data]));
  const zip = download(stem + '-files.zip', fflate.zipSync(entries, { level: 6 }));
  zip.textContent = `All ${files.length} files as one .zip (${zip.download})`;
  $('zip').replaceChildren(zip);
  $('files').hidden = false;
  $('zip').hidden = false;
}

async function cut(file, ignored) {
  const me = ++latest;
  clear();
  document.body.dataset.state = 'running';
  $('status').textContent = `Cutting ${file.name}…`;
  let status = '';
  try {
    let image;
    try {
      image = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      throw new Error(`${file.name} cannot be read: ${error.message}`);
    }
    // "--": a name that begins with "-" is a name, not an option.
    const listing = await run(createD88ls, file.name, image, '/images', ['--', file.name]);
    const cutting = await run(createD88cut, file.name, image, '/out', ['/images/' + file.name]);
    if (me !== latest) return;  // another file was chosen meanwhile
    $('result-name').textContent = `${file.name} (${image.length.toLocaleString('en')} bytes)`;
    $('listing').textContent = utf8.decode(listing.out) + utf8.decode(listing.err);
    // d88cut's Japanese messages are Shift_JIS bytes, as a pipe gets them.
    const cutErr = shiftJis.decode(cutting.err);
    $('messages').textContent = shiftJis.decode(cutting.out) + cutErr || '(nothing)';
    $('cut-status').textContent = `(exit status ${cutting.status})`;
    $('result').hidden = false;
    const count = cutting.files.length;
    if (count === 0) {
      $('no-files').hidden = false;
      status = `${file.name}: no files were cut.`;
    } else {
      const notes = notesByFile(cutErr, cutting.files);
      await showFiles(cutting.files, file.name.replace(/\.[^.]*$/, '') || file.name, notes);
      if (me !== latest) return;
      status = `${file.name}: ${count} file${count === 1 ? '' : 's'} cut.`;
      if (notes.size > 0) {
        status += ` ${notes.size} of them ${notes.size === 1 ? 'has' : 'have'} a note: the image` +
          ' marks sectors they were cut from.';
      }
    }
  } catch (error) {
    if (me !== latest) return;
    $('problem').textContent = error.message;
    $('problem').hidden = false;
  }
  if (ignored > 0) {
    status += ` ${ignored} more dropped file${ignored === 1 ? ' was' : 's were'} left alone:` +
      ' drop one image at a time.';
  }
  $('status').textContent = status;
  document.body.dataset.state = 'done';
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
