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

} // namespace

std::string BoardFault::text() const
{
    using E = BoardError;
    std::string out;
    switch (code) {
    case E::CopyLabelsOff:
    case E::LabelShownOnM:
    case E::LabelHiddenOffM: {
        static const char *const names[] = {"Ｄ", "Ｅ", "Ｆ"};
        out = where >= 0 && where < 3 ? names[where] : "Ｄ, Ｅ, Ｆ";
        break;
    }
    case E::LineEnds: out = "対角線 " + std::to_string(where + 1) + " "; break;
    case E::Pen:
    case E::EraserColour:
    case E::TooFewPoints:
    case E::PointRange:
    case E::PointPairs:
        out = "書き込みの線 " + std::to_string(where + 1) + " ";
        break;
    default: break;
    }
    if (code == E::PointPairs)
        out += "の";
    out += words(code);
    if (code == E::NotJson && where >= 0)
        out += "（" + std::to_string(where) + " バイト目）";
    if (!detail.empty())
        out += "（" + detail + "）";
    return out;
}

} // namespace pr
