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
    // The live class: joining, a pupil's bar, the teacher's bar and grid (the bars' controls
    // are the core's, as on the desktop).
    classBar: '授業',
    classJoin: '授業に参加',
    classCode: 'クラスコード',
    className: '名前（出席番号でもよい）',
    classJoinButton: '参加する',
    classFillIn: 'クラスコードと名前を入れてください',
    classWrongCode: 'クラスコードが違います',
    classLocked: 'この授業には今は参加できません',
    classBusy: '少し待ってからもう一度どうぞ',
    classUnreachable: '授業につながりません',
    classConnecting: '接続中…',
    classOnline: '接続中',
    classOffline: '再接続中…',
    classEnded: '先生が授業を終えました。板書はこの端末に残っています。',
    classRemoved: 'この授業には参加できなくなりました。板書はこの端末に残っています。',
    classReload: '新しい版になりました。ページを読み込み直してください。',
    classCodeShown: 'コード',
    classBoards: '生徒の板書',
    classLock: '締め切る',
    classRemove: '外す',
    classConfirmRemove: 'もう一度押すと外します',
    classHideNames: '名前を隠す',
    classNone: 'まだ誰も参加していません',
    classPresent: '発表',
    classBack: '戻る',
    classJoinAt: '参加するには',
    classOver: '授業を終えました。',
    classNotTeacher: '先生のアドレスではありません',
  };
})(typeof module !== 'undefined' ? module.exports : (globalThis.ParallelRatio ??= {}));
