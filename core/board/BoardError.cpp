#include "BoardError.h"

namespace pr {

namespace {

// What a code says; `where` is added where the code names a thing by number.
const char *words(BoardError e)
{
    using E = BoardError;
    switch (e) {
    case E::None: return "";
    case E::Unreadable: return "ファイルを読めません";
    case E::TooLarge: return "ファイルが大きすぎます (64 MiB まで)";
    case E::NotJson: return "JSON として読めません";
    case E::Picture: return "画像";
    case E::NotABoard: return "板書のファイルではありません";
    case E::WrongFormat: return "板書のファイルではありません (format が違います)";
    case E::NoFormat: return "板書のファイルではありません (format がありません)";
    case E::WrongVersion: return "この版の板書のファイルは読めません";
    case E::TooDeep: return "入れ子が深すぎます";
    case E::UnknownMember: return "知らない項目があります";
    case E::RepeatedMember: return "同じ項目が二度あります";
    case E::MissingMember: return "必要な項目が欠けています";
    case E::MisplacedValue: return "置けない場所に値があります";
    case E::LabelCount: return "copy.labels は 3 つです";
    case E::LineCount: return "constructionLines は 5 本です";
    case E::ProlongationValue: return "延長線は hidden, shown, highlighted のどれかです";
    case E::ColourSyntax: return "色は #rrggbb で書きます";
    case E::WidthRange: return "線の太さが範囲外です";
    case E::PointPairs: return "点の座標が x, y の組になっていません";
    case E::FigureRange: return "ℓ の写しの位置が範囲外です";
    case E::CopySlant: return "ℓ の写しが ℓ を横にずらした形ではありません";
    case E::CopyLabelsOff: return "が ℓ の写しと平行線の交点にありません";
    case E::LabelShownOnM: return "が Ａ', Ｂ', Ｃ' と重なるのに見えています";
    case E::LabelHiddenOffM: return "が Ａ', Ｂ', Ｃ' から離れているのに隠れています";
    case E::PointG: return "Ｇ と延長線の表示が合いません";
    case E::LineEnds: return "の端の点がありません";
    case E::LinesAndNextLine: return "引いてある対角線と次に引く対角線の番号が合いません";
    case E::NextLineRange: return "次に引く対角線の番号が範囲外です";
    case E::TooManyStrokes: return "書き込みの線が多すぎます";
    case E::TooManyPoints: return "書き込みの点が多すぎます";
    case E::Pen: return "の色と太さはペンにありません";
    case E::EraserColour: return "の消しゴムの指定が色と合いません";
    case E::TooFewPoints: return "の点が足りません";
    case E::PointRange: return "の点の座標が範囲外です";
    case E::NoLastBoard: return "前回の板書はありません";
    }
    return "";
}

// The plain words a fault starts with: what the teacher sees of it. The reader's own words
// (words()) follow in brackets where they are technical.
enum class Kind { None, Unreadable, TooLarge, Damaged, Picture, NotABoard, Newer, Changed, Other };

Kind kindOf(BoardError e)
{
    using E = BoardError;
    switch (e) {
    case E::None: return Kind::None;
    case E::Unreadable: return Kind::Unreadable;
    case E::TooLarge: return Kind::TooLarge;
    case E::NotJson: return Kind::Damaged;
    case E::Picture: return Kind::Picture;
    case E::NotABoard:
    case E::WrongFormat:
    case E::NoFormat: return Kind::NotABoard;
    case E::WrongVersion: return Kind::Newer;
    case E::NoLastBoard: return Kind::Other;
    default: return Kind::Changed;
    }
}

} // namespace

std::string BoardFault::text() const
{
    using E = BoardError;
    std::string technical;
    switch (code) {
    case E::CopyLabelsOff:
    case E::LabelShownOnM:
    case E::LabelHiddenOffM: {
        static const char *const names[] = {"Ｄ", "Ｅ", "Ｆ"};
        technical = where >= 0 && where < 3 ? names[where] : "Ｄ, Ｅ, Ｆ";
        break;
    }
    case E::LineEnds: technical = "対角線 " + std::to_string(where + 1) + " "; break;
    case E::Pen:
    case E::EraserColour:
    case E::TooFewPoints:
    case E::PointRange:
    case E::PointPairs:
        technical = "書き込みの線 " + std::to_string(where + 1) + " ";
        break;
    default: break;
    }
    if (code == E::PointPairs)
        technical += "の";
    technical += words(code);
    if (code == E::NotJson && where >= 0)
        technical += "、" + std::to_string(where) + " バイト目";

    std::string out;
    switch (kindOf(code)) {
    case Kind::None: return {};
    case Kind::Unreadable: out = "ファイルを読めません"; technical.clear(); break;
    case Kind::TooLarge: out = words(code); technical.clear(); break;
    case Kind::Damaged: out = "ファイルが途中で切れているか、壊れています"; break;
    case Kind::Picture:
        return "これは画像のファイル" + (detail.empty() ? std::string() : "（" + detail + "）") +
               "で、板書のファイルではありません";
    case Kind::NotABoard: out = "板書のファイルではありません"; break;
    case Kind::Newer: out = "この版のプログラムでは読めない板書のファイルです"; break;
    case Kind::Changed: out = "板書のファイルが壊れているか、書き換えられています"; break;
    case Kind::Other: out = words(code); technical.clear(); break;
    }
    if (code == E::NotABoard)
        technical.clear(); // the plain words already say it all
    if (!detail.empty())
        technical += (technical.empty() ? "" : "、") + detail;
    if (!technical.empty())
        out += "（" + technical + "）";
    return out;
}

std::string BoardFault::advice() const
{
    switch (kindOf(code)) {
    case Kind::None: return {};
    case Kind::Unreadable:
        return "ファイルの場所と、読む許可があるかを確かめて、もう一度開いてください。";
    case Kind::Picture:
        return "「開く」で開けるのは「保存」で保存した板書のファイル（.prboard）です。";
    case Kind::Newer:
        return "保存したときと同じか新しい版のプログラムで開いてください。";
    case Kind::Other: return {};
    default:
        return "「保存」で保存した板書のファイル（.prboard）を選んでください。";
    }
}

} // namespace pr
