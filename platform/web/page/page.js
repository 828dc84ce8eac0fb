// The page around the viewer: its menu bar, title, canvas events, drops,
// file picker, message box and downloads. The viewer (kelvane.js or
// kelvane-legacy.js, chosen by ?generation=) asks for these through
// Module.page; every event becomes a window message in the queue it takes
// them from. Files never leave the browser: dropped and picked files are
// written into the viewer's in-memory file system.
'use strict';

(function () {
  // Window messages and flags, by the numbers the viewer uses.
  const MSG = { size: 0x0005, keyDown: 0x0100, command: 0x0111, mouseMove: 0x0200, wheel: 0x020A, dropFiles: 0x0233 };
  const BUTTON = { left: 0x0001, right: 0x0002, shift: 0x0004, control: 0x0008, middle: 0x0010 };
  const WHEEL_DELTA = 120;
  const KEYS = { Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Escape: 0x1B };
  const OTHER_KEY = 0xFF;

  const params = new URLSearchParams(location.search);
  const legacy = params.get('generation') === 'legacy';
  const fixedSize = /^(\d+)x(\d+)$/.exec(params.get('size') || '');
  const canvas = document.getElementById('canvas');
  const stage = document.getElementById('stage');
  const titleLine = document.getElementById('title');

  const queue = [];
  let wake = null;
  const idle = [];
  let waiting = false;
  let dropped = [];
  let menus = [];
  let batches = 0;

  function post(message, wParam, lParam) {
    queue.push([message >>> 0, wParam >>> 0, lParam | 0]);
    if (wake) wake();
  }
  const pack = (x, y) => ((y & 0xFFFF) << 16) | (x & 0xFFFF);

  // Writes browser File objects into a fresh folder, in the order given, and
  // returns their paths there.
  async function store(files) {
    const folder = '/files/' + (++batches);
    Module.FS.mkdirTree(folder);
    const paths = [];
    for (const file of files) {
      const name = file.name.replace(/[\/\n\r\0]/g, '_') || 'file';
      const path = folder + '/' + name;
      Module.FS.writeFile(path, new Uint8Array(await file.arrayBuffer()));
      paths.push(path);
    }
    return paths;
  }

  // The folders whose files the viewer was handed. It reads a file whole
  // when it opens it (a model's archive beside it too) and the page's files
  // never change, so once it asks for the next ones these can go.
  let handedOut = [];
  function releaseHandedOut() {
    for (const folder of handedOut) {
      for (const name of Module.FS.readdir(folder)) if (name !== '.' && name !== '..') Module.FS.unlink(folder + '/' + name);
      Module.FS.rmdir(folder);
    }
    handedOut = [];
  }
  const folderOf = (path) => path.slice(0, path.lastIndexOf('/'));

  async function open(files) {
    if (!files.length || !Module.FS) return;
    dropped = dropped.concat(await store(files));
    post(MSG.dropFiles, 0, 0);
  }

  // ---- menu bar ----
  const bar = document.getElementById('menubar');
  let openMenu = null;
  function closeMenus() {
    if (openMenu) openMenu.classList.remove('open');
    openMenu = null;
  }
  function setMenuBar(description) {
    menus = description;
    closeMenus();
    bar.textContent = '';
    for (const menu of description) {
      const box = document.createElement('div');
      box.className = 'menu';
      const button = document.createElement('button');
      button.textContent = menu.title;
      button.setAttribute('aria-haspopup', 'menu');
      const list = document.createElement('ul');
      list.setAttribute('role', 'menu');
      for (const item of menu.items) {
        const li = document.createElement('li');
        li.setAttribute('role', 'menuitemcheckbox');
        li.setAttribute('aria-checked', item.checked ? 'true' : 'false');
        li.dataset.command = item.id;
        li.textContent = item.label;
        if (item.ctrlKey) {
          const key = document.createElement('span');
          key.className = 'key';
          key.textContent = 'Ctrl+' + item.ctrlKey;
          li.appendChild(key);
        }
        li.addEventListener('click', (e) => {
          e.stopPropagation();
          closeMenus();
          post(MSG.command, item.id, 0);
        });
        list.appendChild(li);
      }
      button.addEventListener('click', (e) => {
        e.stopPropagation();
        const wasOpen = openMenu === box;
        closeMenus();
        if (!wasOpen) {
          box.classList.add('open');
          openMenu = box;
        }
      });
      button.addEventListener('mouseenter', () => {
        if (openMenu && openMenu !== box) {
          closeMenus();
          box.classList.add('open');
          openMenu = box;
        }
      });
      box.append(button, list);
      bar.appendChild(box);
    }
  }
  document.addEventListener('click', closeMenus);

  // ---- canvas size ----
  function setCanvasSize(width, height) {
    if (canvas.width === width && canvas.height === height) return;
    canvas.width = width;
    canvas.height = height;
    post(MSG.size, 0, pack(width, height));
  }
  if (fixedSize) {
    canvas.width = +fixedSize[1];
    canvas.height = +fixedSize[2];
  } else {
    stage.classList.add('fill');
    const fit = () => setCanvasSize(Math.max(1, stage.clientWidth), Math.max(1, stage.clientHeight));
    canvas.width = Math.max(1, stage.clientWidth);
    canvas.height = Math.max(1, stage.clientHeight);
    new ResizeObserver(fit).observe(stage);
  }

  // ---- mouse and keys ----
  function flags(e) {
    let f = 0;
    if (e.buttons & 1) f |= BUTTON.left;
    if (e.buttons & 2) f |= BUTTON.right;
    if (e.buttons & 4) f |= BUTTON.middle;
    if (e.shiftKey) f |= BUTTON.shift;
    if (e.ctrlKey) f |= BUTTON.control;
    return f;
  }
  function position(e) {
    const r = canvas.getBoundingClientRect();
    const x = Math.round((e.clientX - r.left) * canvas.width / (r.width || 1));
    const y = Math.round((e.clientY - r.top) * canvas.height / (r.height || 1));
    return pack(x, y);
  }
  canvas.addEventListener('pointerdown', (e) => {
    canvas.focus();
    // A drag goes on outside the canvas, as it does outside a window.
    canvas.setPointerCapture(e.pointerId);
  });
  canvas.addEventListener('pointermove', (e) => post(MSG.mouseMove, flags(e), position(e)));
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    if (e.deltaY === 0) return;
    post(MSG.mouseMove, flags(e), position(e));
    const delta = e.deltaY < 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    post(MSG.wheel, ((delta & 0xFFFF) << 16) | flags(e), position(e));
  }, { passive: false });

  function virtualKey(e) {
    if (e.key in KEYS) return KEYS[e.key];
    if (/^[a-zA-Z0-9]$/.test(e.key)) return e.key.toUpperCase().charCodeAt(0);
    return OTHER_KEY;
  }
  function commandOfCtrlKey(letter) {
    for (const menu of menus) for (const item of menu.items) if (item.ctrlKey === letter) return item.id;
    return 0;
  }
  document.addEventListener('keydown', (e) => {
    if (document.querySelector('dialog[open]') || e.target.closest('select, input, a')) return;
    if (e.altKey || e.metaKey) return;
    const key = virtualKey(e);
    if (e.ctrlKey) {
      // Ctrl with a menu item's key runs the item; other Ctrl keys stay the browser's.
      const command = key !== OTHER_KEY ? commandOfCtrlKey(String.fromCharCode(key)) : 0;
      if (!command) return;
      e.preventDefault();
      post(MSG.command, command, 0);
      return;
    }
    if (key !== OTHER_KEY || e.key === 'Escape') e.preventDefault();
    closeMenus();
    post(MSG.keyDown, key, 0);
  });

  // ---- drops ----
  let dragDepth = 0;
  document.addEventListener('dragenter', (e) => {
    e.preventDefault();
    if (++dragDepth === 1) document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', () => {
    if (--dragDepth <= 0) dragDepth = 0, document.body.classList.remove('dragging');
  });
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    dragDepth = 0;
    document.body.classList.remove('dragging');
    open(Array.from(e.dataTransfer.files));
  });

  // ---- the sample ----
  const samples = legacy ? ['legacy_head.ebo', 'head.fsh'] : ['head.ebo', 'head.fsh'];
  document.getElementById('open-sample').addEventListener('click', async (e) => {
    e.preventDefault();
    try {
      const files = await Promise.all(samples.map(async (name) => {
        const response = await fetch('samples/' + name);
        if (!response.ok) throw new Error(name + ': ' + response.status + ' ' + response.statusText);
        return new File([await response.blob()], name);
      }));
      await open(files);
    } catch (error) {
      setTitle('The sample could not be fetched: ' + error.message);
    }
  });

  // ---- generation switch ----
  const choice = document.getElementById('generation');
  choice.value = legacy ? 'legacy' : 'current';
  choice.addEventListener('change', () => {
    params.set('generation', choice.value);
    location.search = params.toString();
  });

  function setTitle(text) {
    document.title = text;
    titleLine.textContent = text;
  }

  // ---- what the viewer asks of the page ----
  const page = {
    setMenuBar,
    setTitle,
    canvasSize: () => [canvas.width, canvas.height],
    takeMessage: () => queue.shift() || null,
    takeDroppedFiles() {
      releaseHandedOut();
      const files = dropped;
      dropped = [];
      handedOut = [...new Set(files.map(folderOf))];
      return files;
    },
    // Resolves when a message comes or after `milliseconds` (never, when
    // negative).
    waitForMessage(milliseconds) {
      if (queue.length) return Promise.resolve();
      waiting = true;
      for (const resolve of idle.splice(0)) resolve();
      return new Promise((resolve) => {
        // Ends this wait once, by a message or by its timer, whichever
        // comes first; the other then finds it ended.
        let timer = null;
        const done = () => {
          if (wake !== done) return;
          wake = null;
          waiting = false;
          clearTimeout(timer);
          resolve();
        };
        wake = done;
        if (milliseconds >= 0) timer = setTimeout(done, milliseconds);
      });
    },
    post,
    // Resolves once the viewer has handled every message and waits for
    // more (for tests and measurements).
    whenIdle: () => new Promise((resolve) => (waiting && !queue.length ? resolve() : idle.push(resolve))),
    showMessage(caption, text) {
      const dialog = document.getElementById('message');
      dialog.querySelector('h2').textContent = caption;
      dialog.querySelector('pre').textContent = text;
      return new Promise((resolve) => {
        dialog.addEventListener('close', () => { canvas.focus(); resolve(); }, { once: true });
        dialog.showModal();
      });
    },
    // The browser's file picker; the path of the chosen file once stored,
    // or null when the user cancels.
    chooseFile(accept, title) {
      releaseHandedOut();
      return new Promise((resolve) => {
        const settle = (path) => {
          if (path) handedOut = [folderOf(path)];
          resolve(path);
        };
        const input = document.createElement('input');
        input.type = 'file';
        input.accept = accept;
        input.title = title;
        input.addEventListener('change', async () => {
          const files = Array.from(input.files || []);
          settle(files.length ? (await store(files.slice(0, 1)))[0] : null);
        });
        // Every current browser tells of a cancelled picker.
        input.addEventListener('cancel', () => settle(null));
        input.click();
      });
    },
    downloads: [],
    download(path) {
      const bytes = Module.FS.readFile(path);
      const name = path.slice(path.lastIndexOf('/') + 1);
      page.downloads.push({ name, size: bytes.length });
      const link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([bytes]));
      link.download = name;
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    },
  };

  window.Module = {
    canvas,
    page,
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
    onAbort: (what) => setTitle('The viewer stopped: ' + what),
  };
  setTitle('Loading Kelvane\u2026');
  const script = document.createElement('script');
  script.src = legacy ? 'kelvane-legacy.js' : 'kelvane.js';
  script.onerror = () => setTitle('The viewer could not be loaded from ' + script.src);
  document.body.appendChild(script);
})();
