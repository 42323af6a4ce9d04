// The page's own texts, those the form does not hold. Kept apart so that the build can read
// them too: the site's font subsets must hold every glyph the page shows.
(function (PR) {
  'use strict';

  PR.messages = {
    // Shown over the initial screen after 終了: a page cannot close its own tab.
    ended: '授業を終わりました',
    restart: 'もう一度始める',
    // Named for screen readers on the overlay; shown in the gothic face like the rest.
    endedTitle: '終了',
    // The tool strip's name for screen readers; the tools' own texts are the core's.
    tools: '道具',
    // The help's box and its parts.
    help: '使い方',
    keys: 'キー',
    // The notice below the figure about the kept board, and its buttons.
    notice: '板書のお知らせ',
    save: '保存',
    close: '閉じる',
    boardFileName: '板書',
    // 前回の板書 with several boards kept: each named by when it was kept (月, 日 and the
    // time's digits), or as kept by an earlier version of the page.
    chooseBoard: 'どの板書を開きますか',
    openElsewhere: '（ほかのタブで開いています）',
    earlierBoard: '以前に残した板書',
    savedAtGlyphs: '0123456789:月日',
    // 画像で保存: which kind of picture, as the surface shows or on white paper.
    choosePicture: 'どの形式で保存しますか',
    pngPicture: 'PNG 画像',
    svgPicture: 'SVG 画像（拡大しても鮮明）',
    paperPngPicture: '白い紙の PNG 画像（印刷用）',
    paperSvgPicture: '白い紙の SVG 画像（印刷用）',
  };
})(typeof module !== 'undefined' ? module.exports : (globalThis.ParallelRatio ??= {}));
