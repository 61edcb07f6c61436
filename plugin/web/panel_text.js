// Text for the toolkit's web surface (gui/surface_web.cpp), inside the panel module: one
// scratch canvas to measure and draw on, the toolkit's font requests as CSS fonts, and its
// single-byte texts as strings.
let hallmereScratch = null;

Module.hallmereTextContext = (width, height) => {
  if (!hallmereScratch) hallmereScratch = new OffscreenCanvas(1, 1).getContext('2d', { willReadFrequently: true });
  const canvas = hallmereScratch.canvas;
  if (canvas.width < width || canvas.height < height) {
    canvas.width = Math.max(canvas.width, width);
    canvas.height = Math.max(canvas.height, height);
  }
  return hallmereScratch;
};

// Arial is asked for by its metric twin first, as the native panel does.
Module.hallmereFont = (face, height, weight, italic) => {
  const family = face === 'Arial' ? '"Liberation Sans", Arial, sans-serif' : `"${face}", sans-serif`;
  return `${italic ? 'italic ' : ''}${weight} ${height}px ${family}`;
};

Module.hallmereLatin1 = (pointer) => {
  let text = '';
  for (let at = pointer; HEAPU8[at] !== 0; ++at) text += String.fromCharCode(HEAPU8[at]);
  return text;
};
