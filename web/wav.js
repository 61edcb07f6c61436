// WAV files as the page and tools/web.sh exchange them: 32-bit float out, laid out exactly
// as vsthost writes it (an 18-byte "fmt " chunk, a "fact" chunk, then "data"), so the two
// renders compare byte for byte; and the sample rate of a WAV file, read from its header,
// so an offline render runs at the file's own rate.

export function encodeFloatWav(channels, sampleRate) {
  const channelCount = channels.length;
  const frames = channelCount > 0 ? channels[0].length : 0;
  const dataBytes = frames * channelCount * 4;
  const bytes = new ArrayBuffer(12 + 8 + 18 + 12 + 8 + dataBytes);
  const view = new DataView(bytes);
  let at = 0;
  const tag = (text) => {
    for (let i = 0; i < 4; ++i) view.setUint8(at++, text.charCodeAt(i));
  };
  const u16 = (v) => {
    view.setUint16(at, v, true);
    at += 2;
  };
  const u32 = (v) => {
    view.setUint32(at, v, true);
    at += 4;
  };
  tag('RIFF');
  u32(bytes.byteLength - 8);
  tag('WAVE');
  tag('fmt ');
  u32(18);
  u16(3); // IEEE float
  u16(channelCount);
  u32(sampleRate);
  u32(sampleRate * channelCount * 4);
  u16(channelCount * 4);
  u16(32);
  u16(0); // no further format bytes
  tag('fact');
  u32(4);
  u32(frames);
  tag('data');
  u32(dataBytes);
  for (let frame = 0; frame < frames; ++frame) {
    for (let c = 0; c < channelCount; ++c) {
      view.setFloat32(at, channels[c][frame], true);
      at += 4;
    }
  }
  return bytes;
}

// The rate in the "fmt " chunk, or null when the bytes are not a RIFF WAVE file with one.
export function wavSampleRate(bytes) {
  const view = new DataView(bytes);
  const text = (at) => String.fromCharCode(...new Uint8Array(bytes, at, 4));
  if (bytes.byteLength < 12 || text(0) !== 'RIFF' || text(8) !== 'WAVE') return null;
  for (let at = 12; at + 8 <= bytes.byteLength; ) {
    const size = view.getUint32(at + 4, true);
    if (text(at) === 'fmt ') return at + 16 <= bytes.byteLength ? view.getUint32(at + 12, true) : null;
    at += 8 + size + (size & 1);
  }
  return null;
}
