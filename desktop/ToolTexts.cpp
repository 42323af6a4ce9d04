#include "ToolTexts.h"

namespace pr {

QString toolCaption(Tool tool)
{
    switch (tool) {
    case Tool::Undo:
        return QStringLiteral("元に戻す");
    case Tool::Redo:
        return QStringLiteral("やり直し");
    case Tool::ClearWriting:
        return QStringLiteral("書き込みを消す");
    case Tool::Open:
        return QStringLiteral("開く");
    case Tool::Save:
        return QStringLiteral("保存");
    case Tool::Restore:
        return QStringLiteral("前回の板書");
    case Tool::SaveImage:
        return QStringLiteral("画像で保存");
    case Tool::Copy:
        return QStringLiteral("コピー");
    case Tool::Print:
        return QStringLiteral("印刷");
    }
    return {};
}

ControlText toolText(Tool tool)
{
    switch (tool) {
    case Tool::Undo:
        return {QStringLiteral("最後の操作を取り消します。"), QStringLiteral("元に戻す"),
                QKeySequence(QKeySequence::Undo)};
    case Tool::Redo:
        return {QStringLiteral("取り消した操作をもう一度行います。"), QStringLiteral("やり直し"),
                QKeySequence(QKeySequence::Redo)};
    case Tool::ClearWriting:
        return {QStringLiteral("メモの書き込みをすべて消します。図はそのままです。"),
                QStringLiteral("書き込みだけを消す"), QKeySequence()};
    case Tool::Open:
        return {QStringLiteral("保存した板書を開きます。"), QStringLiteral("板書を開く"),
                QKeySequence(QKeySequence::Open)};
    case Tool::Save:
        return {QStringLiteral("今の板書をファイルに保存します。あとで開いて続けられます。"),
                QStringLiteral("板書を保存"), QKeySequence(QKeySequence::Save)};
    case Tool::Restore:
        return {QStringLiteral("前回終わったとき、または止まったときの板書に戻します。"),
                QStringLiteral("前回の板書を開く"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)};
    case Tool::SaveImage:
        return {QStringLiteral("図と書き込みを PNG または SVG の画像として保存します。"
                               "PNG は 2 倍の大きさが標準です。"),
                QStringLiteral("画像として保存"), QKeySequence(Qt::CTRL | Qt::Key_E)};
    case Tool::Copy:
        return {QStringLiteral("図と書き込みを画像としてクリップボードにコピーします。"
                               "ほかのアプリに貼り付けられます。"),
                QStringLiteral("画像をコピー"), QKeySequence(QKeySequence::Copy)};
    case Tool::Print:
        return {QStringLiteral("図と書き込みを、用紙に合わせた大きさで印刷します。"),
                QStringLiteral("印刷する"), QKeySequence(QKeySequence::Print)};
    }
    return {};
}

QList<KeyHelp> toolKeyHelp()
{
    QList<KeyHelp> keys;
    for (Tool tool : kAllTools) {
        const ControlText t = toolText(tool);
        if (!t.key.isEmpty())
            keys.append({t.key.toString(QKeySequence::NativeText), t.tip});
    }
    return keys;
}

} // namespace pr
