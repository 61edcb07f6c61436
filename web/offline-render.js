// Renders audio through the reverb's worklet faster than real time, in an
// OfflineAudioContext: the page's download and tools/web.sh render both use it.
import { createHallmereNode } from './hallmere-worklet.js';
import { encodeFloatWav, wavSampleRate } from './wav.js';

// The rendered stereo AudioBuffer: the input and tailSeconds more (0 cuts the tail at the
// input's end, as vsthost render does without --tail). settings: program and values.
export async function renderBuffer(input, settings, tailSeconds = 0) {
  const length = input.length + Math.round(tailSeconds * input.sampleRate);
  const context = new OfflineAudioContext(2, length, input.sampleRate);
  const reverb = await createHallmereNode(context, settings);
  const source = new AudioBufferSourceNode(context, { buffer: input });
  source.connect(reverb.node).connect(context.destination);
  source.start(0);
  return context.startRendering();
}

// Decodes a file at its own rate where it is a WAV file (no resampling, so the samples are
// the file's own), at 48 kHz otherwise. Throws with a readable message when it cannot.
export async function decodeFile(bytes, name) {
  const rate = wavSampleRate(bytes) || 48000;
  const probe = new OfflineAudioContext(1, 1, Math.min(Math.max(rate, 8000), 384000));
  try {
    return await probe.decodeAudioData(bytes.slice(0));
  } catch (error) {
    throw new Error(`${name} is not an audio file this browser can read (${error.message || error.name})`);
  }
}

export function bufferToWav(buffer) {
  const channels = [];
  for (let c = 0; c < buffer.numberOfChannels; ++c) channels.push(buffer.getChannelData(c));
  return encodeFloatWav(channels, buffer.sampleRate);
}

// WAV bytes in, WAV bytes out.
export async function renderWav(bytes, program) {
  const input = await decodeFile(bytes, 'the input');
  if (input.length === 0) throw new Error('the input holds no sound');
  return bufferToWav(await renderBuffer(input, { program }));
}
