// The page: a sound (a built-in loop or the visitor's file) played through the reverb's
// worklet, the panel in the canvas, the programs, the A/B switch and the download.
import { createHallmereNode } from './hallmere-worklet.js';
import createPanelModule from './hallmere-panel.js';
import { bufferToWav, renderBuffer } from './offline-render.js';

const kLoops = [
  { file: 'drums.wav', title: 'Drums' },
  { file: 'pluck.wav', title: 'Plucked chord' },
  { file: 'clicks.wav', title: 'Clicks' },
];
const kIdleMillis = 33; // the panel's idle, about thirty times a second
const kOwnSound = 'own';

const $ = (id) => document.getElementById(id);

function say(text, problem = false) {
  $('message').textContent = text;
  $('message').classList.toggle('problem', problem);
}

// The panel module in the canvas, its events routed as a window system routes them.
class PanelView {
  constructor(module, canvas, reverb) {
    this.module = module;
    this.canvas = canvas;
    this.reverb = reverb;
    this.busy = false; // a press or wheel turn is inside the module
    this.stored = new Map(); // values stored elsewhere, handed over at the next idle
    this.peak = 0;
    this.gate = 0;
    module.pointer = { buttons: 0, shiftKey: false, ctrlKey: false, altKey: false, x: 0, y: 0 };
    module.showPanel = (rgba, width, height) => {
      canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
    };
    module.setPanelCursor = (css) => {
      canvas.style.cursor = css;
    };
    module.onPanelEdit = (step, index, value) => {
      if (step === 1) reverb.setParameter(index, value);
    };
    module.takeMeterPeak = () => {
      const peak = this.peak;
      this.peak = 0;
      return peak;
    };
    module.gateState = () => this.gate;
  }

  open() {
    this.reverb.values.forEach((value, index) => this.module._hallmere_panel_store(index, value));
    this.canvas.width = this.module._hallmere_panel_width();
    this.canvas.height = this.module._hallmere_panel_height();
    if (!this.module._hallmere_panel_open()) throw new Error('the panel could not be built');
    for (const type of ['pointerdown', 'pointermove', 'pointerup', 'pointercancel']) {
      this.canvas.addEventListener(type, (event) => this.pointer(event));
    }
    this.canvas.addEventListener('wheel', (event) => this.wheel(event), { passive: false });
    setInterval(() => this.idle(), kIdleMillis);
  }

  track(event) {
    const box = this.canvas.getBoundingClientRect();
    Object.assign(this.module.pointer, {
      buttons: event.buttons,
      shiftKey: event.shiftKey,
      ctrlKey: event.ctrlKey,
      altKey: event.altKey,
      x: Math.floor(((event.clientX - box.left) * this.canvas.width) / box.width),
      y: Math.floor(((event.clientY - box.top) * this.canvas.height) / box.height),
    });
  }

  async pointer(event) {
    this.track(event);
    if (event.type !== 'pointerdown' || this.busy) return;
    event.preventDefault();
    this.canvas.setPointerCapture(event.pointerId);
    this.canvas.focus();
    await this.inside('hallmere_panel_press', ['number', 'number'], [this.module.pointer.x, this.module.pointer.y]);
  }

  async wheel(event) {
    event.preventDefault();
    this.track(event);
    if (this.busy || event.deltaY === 0) return;
    await this.inside('hallmere_panel_wheel', ['number'], [event.deltaY < 0 ? 1 : -1]);
  }

  // A call that may sleep inside the module (a drag): nothing else enters it meanwhile.
  async inside(name, types, args) {
    this.busy = true;
    try {
      await this.module.ccall(name, null, types, args, { async: true });
    } finally {
      this.busy = false;
    }
  }

  store(values) {
    values.forEach((value, index) => this.stored.set(index, value));
  }

  idle() {
    this.reverb.meter().then(({ peak, gate }) => {
      this.peak = Math.max(this.peak, peak);
      this.gate = gate;
    });
    if (this.busy) return; // the drag's own idle runs the panel meanwhile
    for (const [index, value] of this.stored) this.module._hallmere_panel_store(index, value);
    this.stored.clear();
    this.module._hallmere_panel_idle();
  }
}

// The sound: a buffer played from the start, once or looping, into the reverb and past it.
class Player {
  constructor(context, reverb) {
    this.context = context;
    this.buffer = null;
    this.source = null;
    this.dry = new GainNode(context, { gain: 0 });
    this.wet = new GainNode(context, { gain: 1 });
    this.input = new GainNode(context);
    this.input.connect(reverb.node).connect(this.wet).connect(context.destination);
    this.input.connect(this.dry).connect(context.destination);
  }

  get playing() {
    return this.source !== null;
  }

  async play(loop) {
    this.stop();
    await this.context.resume();
    this.source = new AudioBufferSourceNode(this.context, { buffer: this.buffer, loop });
    this.source.connect(this.input);
    this.source.onended = () => {
      if (this.source && !this.source.loop) this.stop();
      this.onchange?.();
    };
    this.source.start();
  }

  stop() {
    if (!this.source) return;
    const source = this.source;
    this.source = null;
    source.stop();
    source.disconnect();
  }

  setWet(wet) {
    this.wet.gain.value = wet ? 1 : 0;
    this.dry.gain.value = wet ? 0 : 1;
  }
}

class Page {
  async start() {
    this.context = new AudioContext();
    this.reverb = await createHallmereNode(this.context);
    this.player = new Player(this.context, this.reverb);
    this.player.onchange = () => this.showTransport();
    this.panel = new PanelView(await createPanelModule(), $('panel'), this.reverb);
    this.panel.open();
    this.sounds = new Map();
    this.ownName = '';
    this.fillMenus();
    this.wire();
    await this.choose(kLoops[0].file);
    say('Ready: press Play, turn the knobs, try the programs.');
  }

  fillMenus() {
    for (const loop of kLoops) $('sound').add(new Option(loop.title, loop.file));
    this.reverb.programs.forEach((name, index) => $('program').add(new Option(`${index + 1}. ${name}`, index)));
    $('program').value = this.reverb.program;
  }

  wire() {
    $('sound').addEventListener('change', () => this.choose($('sound').value));
    $('play').addEventListener('click', () => this.togglePlay());
    $('loop').addEventListener('change', () => {
      if (this.player.source) this.player.source.loop = $('loop').checked;
    });
    $('wet').addEventListener('click', () => {
      const wet = $('wet').getAttribute('aria-pressed') !== 'true';
      $('wet').setAttribute('aria-pressed', String(wet));
      $('wet').textContent = wet ? 'B: wet' : 'A: dry';
      this.player.setWet(wet);
    });
    $('program').addEventListener('change', async () => {
      const state = await this.reverb.setProgram(Number($('program').value));
      this.panel.store(state.values);
    });
    $('download').addEventListener('click', () => this.download());
    $('file').addEventListener('change', () => {
      if ($('file').files[0]) this.takeFile($('file').files[0]);
      $('file').value = '';
    });
    const drop = $('drop');
    drop.addEventListener('dragover', (event) => {
      event.preventDefault();
      drop.classList.add('over');
    });
    drop.addEventListener('dragleave', () => drop.classList.remove('over'));
    drop.addEventListener('drop', (event) => {
      event.preventDefault();
      drop.classList.remove('over');
      const file = event.dataTransfer.files[0];
      if (file) this.takeFile(file);
    });
  }

  async choose(key) {
    if (!this.sounds.has(key)) {
      const response = await fetch(key);
      if (!response.ok) throw new Error(`cannot load ${key}`);
      this.sounds.set(key, await this.context.decodeAudioData(await response.arrayBuffer()));
    }
    this.player.buffer = this.sounds.get(key);
    $('sound').value = key;
    if (this.player.playing) await this.player.play($('loop').checked);
    this.showTransport();
  }

  // A file of the visitor's own: what the browser cannot decode is reported, and the
  // sound and everything else stay as they were.
  async takeFile(file) {
    let buffer;
    try {
      buffer = await this.context.decodeAudioData(await file.arrayBuffer());
    } catch {
      say(`Cannot play “${file.name}”: it is not an audio file this browser can read.`, true);
      return;
    }
    if (buffer.length === 0) {
      say(`Cannot play “${file.name}”: it holds no sound.`, true);
      return;
    }
    this.sounds.set(kOwnSound, buffer);
    let option = [...$('sound').options].find((o) => o.value === kOwnSound);
    if (!option) $('sound').add((option = new Option('', kOwnSound)));
    option.text = file.name;
    this.ownName = file.name.replace(/\.[^.]*$/, '');
    await this.choose(kOwnSound);
    say(`Loaded “${file.name}”.`);
  }

  async togglePlay() {
    if (this.player.playing) this.player.stop();
    else await this.player.play($('loop').checked);
    this.showTransport();
  }

  showTransport() {
    $('play').disabled = !this.player.buffer;
    $('download').disabled = !this.player.buffer;
    $('play').textContent = this.player.playing ? 'Stop' : 'Play';
  }

  // The sound once through the reverb as the panel is set now, with its tail, as a WAV file.
  async download() {
    $('download').disabled = true;
    say('Rendering…');
    try {
      const state = await this.reverb.state();
      const rendered = await renderBuffer(this.player.buffer, state, state.tail);
      const link = document.createElement('a');
      const program = this.reverb.programs[state.program];
      const name = $('sound').value === kOwnSound ? this.ownName : $('sound').value.replace('.wav', '');
      link.href = URL.createObjectURL(new Blob([bufferToWav(rendered)], { type: 'audio/wav' }));
      link.download = `${name} - Hallmere ${program}.wav`;
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 10000);
      say(`Rendered ${rendered.duration.toFixed(1)} s.`);
    } catch (error) {
      say(`Cannot render: ${error.message}`, true);
    } finally {
      $('download').disabled = false;
    }
  }
}

const page = new Page();
window.hallmerePage = page; // for the page's own tests
page.start().catch((error) => say(`Hallmere cannot start here: ${error.message}`, true));
