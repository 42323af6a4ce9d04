// Starts loading the site's three faces as soon as the page's head is read, while the module
// and the other scripts are still on their way: the first frame waits on the faces. Loaded
// through the style sheet's @font-face rules, which also work for a page opened from disk
// (a <link rel=preload> of a font does not). ParallelRatio.faces resolves to whether each
// face could be read: [gothic, mincho, italic].
(function (PR) {
  'use strict';

  const load = (font) => document.fonts.load(font).then((faces) => faces.length > 0, () => false);
  PR.faces = Promise.all([
    load('16px "ParallelRatio Gothic"'),
    load('bold 29px "ParallelRatio Mincho"'),
    load('italic 34px "ParallelRatio Italic"'),
  ]);
})(globalThis.ParallelRatio ??= {});
