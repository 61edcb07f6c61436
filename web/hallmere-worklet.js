// Hallmere's reverb as an AudioWorklet, for any web application:
//
//   import { createHallmereNode } from './hallmere-worklet.js';
//   const reverb = await createHallmereNode(audioContext);
//   source.connect(reverb.node).connect(audioContext.destination);
//
// This one module is both halves: loaded on the page it exports createHallmereNode; loaded
// by audioWorklet.addModule (which createHallmereNode does with this very file) it
// registers the processor. The engine is hallmere.wasm beside it, handed to the processor
// as bytes and instantiated there. Each 128-frame render quantum is one call of the engine.
const kProcessorName = 'hallmere-reverb';

// Reads a C string the engine returned (its texts are ASCII); the worklet scope has no
// TextDecoder.
function cString(memory, pointer) {
  const bytes = new Uint8Array(memory.buffer, pointer);
  let text = '';
  for (let i = 0; bytes[i] !== 0; ++i) text += String.fromCharCode(bytes[i]);
  return text.trimEnd();
}

if (typeof registerProcessor === 'function') {
  class HallmereProcessor extends AudioWorkletProcessor {
    constructor(options) {
      super();
      const { wasm, program, values } = options.processorOptions;
      try {
        this.start(wasm, program, values);
      } catch (error) {
        this.engine = 0;
        this.port.postMessage({ type: 'error', message: String(error.message || error) });
      }
      this.port.onmessage = (event) => this.answer(event.data);
    }

    start(wasm, program, values) {
      const imports = {
        wasi_snapshot_preview1: {
          proc_exit: (code) => {
            throw new Error(`the engine stopped (exit ${code})`);
          },
        },
      };
      const instance = new WebAssembly.Instance(new WebAssembly.Module(wasm), imports);
      const calls = instance.exports;
      calls._initialize();
      this.calls = calls;
      this.engine = calls.hallmere_create(sampleRate);
      if (!this.engine) throw new Error(`the engine cannot run at ${sampleRate} Hz`);
      // The engine's memory never grows, so these views stay valid: process() only copies.
      const frames = calls.hallmere_quantum_frames();
      const view = (which) => new Float32Array(calls.memory.buffer, calls.hallmere_buffer(this.engine, which), frames);
      this.inLeft = view(0);
      this.inRight = view(1);
      this.outLeft = view(2);
      this.outRight = view(3);
      calls.hallmere_set_program(this.engine, program | 0);
      (values || []).forEach((value, index) => calls.hallmere_set_parameter(this.engine, index, value));
      const memory = calls.memory;
      const parameters = [];
      for (let i = 0; i < calls.hallmere_parameter_count(); ++i) {
        parameters.push({
          name: cString(memory, calls.hallmere_parameter_name(i)),
          label: cString(memory, calls.hallmere_parameter_label(i)),
        });
      }
      const programs = [];
      for (let p = 0; p < calls.hallmere_program_count(); ++p) {
        programs.push(cString(memory, calls.hallmere_program_name(this.engine, p)));
      }
      this.port.postMessage({ type: 'ready', parameters, programs, ...this.state() });
    }

    state() {
      const calls = this.calls;
      const values = [];
      for (let i = 0; i < calls.hallmere_parameter_count(); ++i) values.push(calls.hallmere_parameter(this.engine, i));
      return { program: calls.hallmere_program(this.engine), values, tail: calls.hallmere_tail_seconds(this.engine) };
    }

    // Messages arrive between render quanta, never inside process().
    answer(message) {
      if (!this.engine) return;
      const calls = this.calls;
      switch (message.type) {
        case 'parameter':
          calls.hallmere_set_parameter(this.engine, message.index, message.value);
          break;
        case 'program':
          calls.hallmere_set_program(this.engine, message.program);
          this.port.postMessage({ type: 'state', id: message.id, ...this.state() });
          break;
        case 'state':
          this.port.postMessage({ type: 'state', id: message.id, ...this.state() });
          break;
        case 'meter':
          this.port.postMessage({
            type: 'meter',
            id: message.id,
            peak: calls.hallmere_take_peak(this.engine),
            gate: calls.hallmere_gate_state(this.engine),
          });
          break;
        default:
          break;
      }
    }

    // No allocation, lock or wait: copies into the engine's buffers, one call, copies out.
    // A mono input feeds both sides, as a mono file does in vsthost.
    process(inputs, outputs) {
      if (!this.engine) return false;
      const input = inputs[0];
      const output = outputs[0];
      if (input.length > 0) {
        this.inLeft.set(input[0]);
        this.inRight.set(input[input.length > 1 ? 1 : 0]);
      } else {
        this.inLeft.fill(0);
        this.inRight.fill(0);
      }
      this.calls.hallmere_render(this.engine, this.outLeft.length);
      output[0].set(this.outLeft);
      if (output.length > 1) output[1].set(this.outRight);
      return true;
    }
  }
  registerProcessor(kProcessorName, HallmereProcessor);
}

// The reverb's node with the calls that reach its engine. Requests are answered in order
// by the processor; none of them waits for audio.
class HallmereNode {
  constructor(node, ready) {
    this.node = node;
    this.parameters = ready.parameters;
    this.programs = ready.programs;
    this.program = ready.program;
    this.values = ready.values;
    this.tail = ready.tail;
    this.pending = new Map();
    this.nextId = 1;
    node.port.onmessage = (event) => this.received(event.data);
  }

  received(message) {
    const resolve = this.pending.get(message.id);
    if (!resolve) return;
    this.pending.delete(message.id);
    if (message.type === 'state') {
      this.program = message.program;
      this.values = message.values;
      this.tail = message.tail;
    }
    resolve(message);
  }

  request(message) {
    const id = this.nextId++;
    return new Promise((resolve) => {
      this.pending.set(id, resolve);
      this.node.port.postMessage({ ...message, id });
    });
  }

  // index: 0..12 as in `parameters`; value: normalised, 0..1.
  setParameter(index, value) {
    this.values[index] = value;
    this.node.port.postMessage({ type: 'parameter', index, value });
  }

  // Resolves with { program, values, tail } once the engine has the program (tail: how
  // many seconds the output may go on after the input stops).
  setProgram(program) {
    return this.request({ type: 'program', program });
  }

  // { program, values } as the engine holds them now.
  state() {
    return this.request({ type: 'state' });
  }

  // { peak, gate }: the output peak since the previous call and the gate (0 open, 1 hold,
  // 2 release).
  meter() {
    return this.request({ type: 'meter' });
  }
}

// Loads the worklet (once per context) and the engine, and resolves with a HallmereNode
// whose `node` has one input and a stereo output. Options: wasmUrl (default: hallmere.wasm
// beside this module) or wasmBytes, program (0..7) and values (normalised, by index) set
// before the first quantum.
export async function createHallmereNode(context, options = {}) {
  const wasmUrl = options.wasmUrl || new URL('./hallmere.wasm', import.meta.url);
  const loadBytes = async () => {
    if (options.wasmBytes) return options.wasmBytes;
    const response = await fetch(wasmUrl);
    if (!response.ok) throw new Error(`cannot load ${wasmUrl}: ${response.status}`);
    return response.arrayBuffer();
  };
  const [wasm] = await Promise.all([loadBytes(), context.audioWorklet.addModule(import.meta.url)]);
  const node = new AudioWorkletNode(context, kProcessorName, {
    numberOfInputs: 1,
    numberOfOutputs: 1,
    outputChannelCount: [2],
    channelCountMode: 'max',
    channelInterpretation: 'discrete',
    processorOptions: { wasm, program: options.program || 0, values: options.values },
  });
  const ready = await new Promise((resolve, reject) => {
    node.port.onmessage = (event) => {
      if (event.data.type === 'ready') resolve(event.data);
      else reject(new Error(`Hallmere: ${event.data.message}`));
    };
  });
  return new HallmereNode(node, ready);
}
