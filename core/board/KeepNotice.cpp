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
    std::string text = "前回の板書が壊れていて開けません。消さずに別の名前で残しました: ";
    text += where;
    return text;
}

std::string cannotOpenMessage(std::string_view why)
{
    return "このファイルは開けません: " + std::string(why) + "。画面の板書はそのままです。";
}

std::string cannotSaveMessage(std::string_view why)
{
    return "保存できません: " + std::string(why) +
           "。画面の板書は消えていません。別の場所を選んで保存してください。";
}

} // namespace pr
