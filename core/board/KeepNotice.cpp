#include "KeepNotice.h"

namespace pr {

std::string keepNotice(KeepProblem problem, std::string_view detail)
{
    std::string text = "板書を保存できません";
    switch (problem) {
    case KeepProblem::FolderUnavailable: text += ": 保存先のフォルダーを作れません"; break;
    case KeepProblem::FolderReadOnly: text += ": 保存先のフォルダーに書き込めません"; break;
    case KeepProblem::DiskFull: text += ": ディスクがいっぱいです"; break;
    case KeepProblem::StorageOff:
        text += ": このブラウザーは保存を許可していません（プライベート ブラウズなど）";
        break;
    case KeepProblem::StorageFull: text += ": ブラウザーの保存領域がいっぱいです"; break;
    case KeepProblem::Other: break;
    }
    text += "。画面の板書は消えていません。次の授業に残すには「保存」でファイルにしてください。";
    if (!detail.empty()) {
        text += "（";
        text += detail;
        text += "）";
    }
    return text;
}

std::string damagedBoardNotice(std::string_view where)
{
    std::string text = "前回の板書が壊れていて開けません。画面の板書はそのままで、授業はこのまま"
                       "続けられます。壊れた板書は消さずに別の名前で残しました: ";
    text += where;
    return text;
}

std::string cannotOpenMessage(const BoardFault &fault)
{
    return "このファイルは開けません: " + fault.text() + "。画面の板書はそのままです。" +
           fault.advice();
}

std::string cannotSaveMessage(Saved what, SaveProblem problem, std::string_view detail)
{
    std::string text = what == Saved::Picture ? "画像を保存できません: " : "保存できません: ";
    text += problem == SaveProblem::DiskFull ? "ディスクがいっぱいです" : "ファイルに書けません";
    if (!detail.empty()) {
        text += " (";
        text += detail;
        text += ")";
    }
    text += "。画面の板書は消えていません。";
    text += problem == SaveProblem::DiskFull
                ? "空きのある別の場所（USB メモリーなど）を選んで保存してください。"
                : "書き込める別のフォルダーを選んで保存してください。";
    return text;
}

std::string cannotPrintMessage()
{
    return "印刷できませんでした。画面の板書はそのままです。プリンターの電源と用紙を確かめて、"
           "もう一度印刷してください。";
}

} // namespace pr
