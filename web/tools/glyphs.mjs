// Writes the characters each face of the site shows, one text file per face, for the font
// subsets: every text of the form, read from the lesson's module itself (captions, labels on
// the surface whether shown or not), and the page's own messages. Run by the build after the
// module is linked, so the subsets follow any change of a text.
//
//   node glyphs.mjs MODULE.js MESSAGES.js OUTDIR
//     writes OUTDIR/glyphs-<face>.txt for the faces gothic, mincho and italic (UTF-8, no
//     newline)
import { mkdirSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';

const [modulePath, messagesPath, outDir] = process.argv.slice(2);
if (!outDir) {
  console.error('usage: node glyphs.mjs MODULE.js MESSAGES.js OUTDIR');
  process.exit(2);
}

const require = createRequire(import.meta.url);
const module = await require(resolve(modulePath))();
const lesson = new module.Lesson();
const faces = { gothic: new Set(), mincho: new Set(), italic: new Set() };
const addText = (text, face) => {
  if (!(face in faces)) throw new Error(`unknown face ${face} for ${JSON.stringify(text)}`);
  for (const ch of text) faces[face].add(ch);
};
for (const [text, face] of lesson.texts()) addText(text, face);
lesson.delete();

// The page's own texts are set in the gothic face, as its controls are.
const { messages } = require(resolve(messagesPath));
for (const text of Object.values(messages)) addText(text, 'gothic');

mkdirSync(outDir, { recursive: true });
for (const [face, chars] of Object.entries(faces)) {
  // Sorted by code point, so that the same texts always give the same file.
  const text = [...chars].filter((c) => c.trim() !== '' || c === ' ')
    .sort((a, b) => a.codePointAt(0) - b.codePointAt(0)).join('');
  writeFileSync(join(outDir, `glyphs-${face}.txt`), text);
}
