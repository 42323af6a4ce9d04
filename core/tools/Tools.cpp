#include "Tools.h"

#include "form/QBColor.h"
#include "lesson/Lesson.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace pr {

namespace {

constexpr auto Ctrl = Key::Ctrl, Shift = Key::Shift, Alt = Key::Alt;

// Icons: path data in a 24 x 24 box, stroked 2 units wide with round caps and joins.
constexpr std::string_view kIconUndo = "M9 14 4 9l5-5M4 9h10.5a5.5 5.5 0 0 1 0 11H11";
constexpr std::string_view kIconRedo = "M15 14l5-5-5-5M20 9H9.5a5.5 5.5 0 0 0 0 11H13";
constexpr std::string_view kIconClear =
    "M8 20h12M4.6 15.4l9.8-9.8a2 2 0 0 1 2.8 0l2.2 2.2a2 2 0 0 1 0 2.8L10 20H9.2zM9 11l5 5";
constexpr std::string_view kIconOpen =
    "M3 7a2 2 0 0 1 2-2h4l2 2h8a2 2 0 0 1 2 2v8a2 2 0 0 1-2 2H5a2 2 0 0 1-2-2z";
constexpr std::string_view kIconSave =
    "M12 3v12M7 10l5 5 5-5M4 17v2a2 2 0 0 0 2 2h12a2 2 0 0 0 2-2v-2";
constexpr std::string_view kIconRestore = "M3.5 12a8.5 8.5 0 1 0 2.5-6M3 3v5h5M12 7.5V12l3 2";
constexpr std::string_view kIconPicture = "M4 4h16v16H4zM4 16l5-5 4 4 3-3 4 4M15.5 8.5h.01";
constexpr std::string_view kIconCopy = "M8 8h12v12H8zM4 16V4h12";
constexpr std::string_view kIconPrint =
    "M6 9V3h12v6M6 18H4v-7a2 2 0 0 1 2-2h12a2 2 0 0 1 2 2v7h-2M6 14h12v7H6z";
constexpr std::string_view kIconShare = "M12 3v12M7 8l5-5 5 5M5 12v7a2 2 0 0 0 2 2h10a2 2 0 0 0 2-2v-7";
constexpr std::string_view kIconHelp =
    "M12 21.5a9.5 9.5 0 1 0 0-19 9.5 9.5 0 0 0 0 19zM9.2 9a2.9 2.9 0 0 1 5.6 1c0 2-2.8 2.6-2.8 "
    "4M12 17.5h.01";
constexpr std::string_view kIconFullScreen = "M3 8V3h5M16 3h5v5M21 16v5h-5M8 21H3v-5";
constexpr std::string_view kIconPointer = "M5 3l14 8.5-6.5 1.5L9.5 19z";
// A chalk's round tip over its stick: the surface's colours.
constexpr std::string_view kIconColours =
    "M12 21.5a9.5 9.5 0 1 0 0-19 9.5 9.5 0 0 0 0 19zM12 2.5v19M12 7h6M12 12h9M12 17h6";
constexpr std::string_view kIconRatios = "M4 20 10 4M14 20l6-16M9 12h.01M15 12h.01M3 12h2M19 12h2";
constexpr std::string_view kIconTriangles = "M12 3 3 20h18zM12 3l-3.5 7h7z";
// Two heads and a board: a class.
constexpr std::string_view kIconClass = "M3 4h18v10H3zM8 21a3 3 0 0 1 6 0M11 15.5h.01M16 21a3 3 0 0 1 5 0";
constexpr std::string_view kIconMore =
    "M4.5 12a1 1 0 1 0 2 0 1 1 0 1 0-2 0M11 12a1 1 0 1 0 2 0 1 1 0 1 0-2 0M17.5 12a1 1 0 1 0 2 "
    "0 1 1 0 1 0-2 0";

// The pens in the order of the digits that choose them: the upper row, then the lower.
int digitOfPen(int index) { return index >= 4 ? index - 3 : index + 5; }

constexpr const char *kDigits[9] = {"0", "1", "2", "3", "4", "5", "6", "7", "8"};

Tool pen(int index)
{
    const bool thick = index >= 4;
    const int colour = index % 4;
    // The form's own captions of the pens, which also name their colours.
    static constexpr const char *kColours[4] = {"赤色", "黄色", "青色", "消しゴム"};
    const std::string size = thick ? "太い" : "細い";
    const std::string row = thick ? "太字" : "細字";
    Tool t;
    t.id = ToolId::Pen;
    t.index = index;
    t.caption = kColours[colour];
    // The two rows repeat the same captions; the row's own caption tells them apart.
    t.name = row + " " + t.caption;
    if (colour == 3) {
        t.description = "メモの間に選べます。" + size + "消しゴムで、書き込みを消します。";
        t.tip = size + "消しゴム";
    } else {
        t.description = "メモの間に選べます。" + size + kColours[colour] + "の線で図に書き込みます。";
        t.tip = size + kColours[colour] + "のペン";
    }
    t.keys = {{0, kDigits[digitOfPen(index)]}};
    t.toggles = true; // the chosen pen shows as on, on the strip of a touch screen
    return t;
}

std::vector<Tool> makeTable()
{
    std::vector<Tool> t;
    // The form's command buttons, named by their own captions.
    const auto command = [&t](ToolId id, int number, std::string caption,
                              std::string description, std::string tip, std::string help,
                              std::vector<Key> keys, bool toggles = false) {
        Tool c;
        c.id = id;
        c.index = number;
        c.name = c.caption = std::move(caption);
        c.description = std::move(description);
        c.tip = std::move(tip);
        c.help = std::move(help);
        c.keys = std::move(keys);
        c.toggles = toggles;
        t.push_back(std::move(c));
    };
    command(ToolId::Reset, 1, "初期画面",
            "図を最初の状態に戻します。メモの書き込みと対角線は消え、メモと対角線のモードも"
            "終わります。",
            "最初の画面に戻す", "初期画面（最初の画面に戻す）",
            {{Alt | Shift, "R"}, {Ctrl, "R", FrontEnd::Desktop}});
    command(ToolId::End, 2, "終了", "プログラムを終了します。", "プログラムを終える", "終了",
            {{Ctrl | Shift, "Q"}, {Ctrl, "Q", FrontEnd::Desktop}});
    command(ToolId::Memo, 3, "メモ",
            "メモのモードを始めます。もう一度押すと終わります。メモの間は、選んだペンで図に"
            "書き込み、消しゴムで消せます。",
            "図に書き込む", "メモ（始める・終える）", {{Ctrl, "M"}}, true);
    command(ToolId::Diagonal, 4, "対角線",
            "対角線のモードを始めます。もう一度押すと終わります。記号のついた点を2つ続けて"
            "押すと、その間に赤い線を引きます。5本引くと終わります。",
            "点と点を結ぶ", "対角線（始める・終える）", {{Ctrl, "D"}}, true);
    for (int i = 0; i < 8; ++i)
        t.push_back(pen(i));

    // The strip, in its order and groups.
    const auto add = [&t](ToolId id, int group, std::string caption, std::string name,
                          std::string description, std::vector<Key> keys,
                          std::string_view icon) -> Tool & {
        Tool tool;
        tool.id = id;
        tool.caption = caption;
        tool.name = std::move(name);
        tool.description = std::move(description);
        tool.tip = tool.name;
        tool.keys = std::move(keys);
        tool.group = group;
        tool.icon = icon;
        t.push_back(std::move(tool));
        return t.back();
    };
    add(ToolId::Undo, 0, "元に戻す", "元に戻す", "最後の操作を取り消します。", {{Ctrl, "Z"}},
        kIconUndo);
    add(ToolId::Redo, 0, "やり直し", "やり直し", "取り消した操作をもう一度行います。",
        {{Ctrl | Shift, "Z"}, {Ctrl, "Y"}}, kIconRedo);
    add(ToolId::ClearWriting, 0, "書き込みを消す", "書き込みだけを消す",
        "メモの書き込みをすべて消します。図はそのままです。", {}, kIconClear);
    add(ToolId::Open, 1, "開く", "板書を開く", "保存した板書を開きます。", {{Ctrl, "O"}},
        kIconOpen);
    add(ToolId::Save, 1, "保存", "板書を保存",
        "今の板書をファイルに保存します。あとで開いて続けられます。", {{Ctrl, "S"}}, kIconSave);
    add(ToolId::Restore, 1, "前回の板書", "前回の板書を開く",
        "前回終わったとき、または止まったときの板書に戻します。",
        {{Ctrl | Shift, "O"}, {Ctrl | Shift, "T", FrontEnd::Desktop}}, kIconRestore);
    add(ToolId::SaveImage, 2, "画像で保存", "画像として保存",
        "図と書き込みを PNG または SVG の画像として保存します。PNG は 2 倍の大きさが標準です。",
        {{Ctrl, "E"}}, kIconPicture);
    add(ToolId::Copy, 2, "コピー", "画像をコピー",
        "図と書き込みを画像としてクリップボードにコピーします。ほかのアプリに貼り付けられます。",
        {{Ctrl, "C"}}, kIconCopy)
        .done = "画像をコピーしました";
    add(ToolId::Print, 2, "印刷", "印刷する", "図と書き込みを、用紙に合わせた大きさで印刷します。",
        {{Ctrl, "P"}}, kIconPrint);
    // A page offers it where the browser has a share sheet; the desktop has none.
    add(ToolId::Share, 2, "共有", "画像を共有", "図と書き込みの画像を、ほかのアプリに送ります。",
        {}, kIconShare)
        .offered = FrontEnd::Web;
    add(ToolId::Help, 3, "使い方", "使い方", "使い方とキーの一覧を表示します。", {{0, "F1"}},
        kIconHelp)
        .help = "この使い方";
    Tool &full = add(ToolId::FullScreen, 3, "全画面", "全画面表示",
                     "全画面表示にします。もう一度で元に戻ります。", {{0, "F11"}}, kIconFullScreen);
    full.toggles = true;
    full.help = "全画面表示（切り替え）";
    Tool &pointer = add(ToolId::LargePointer, 3, "大きい矢印", "大きいポインター",
                        "図の上のマウスポインターを大きくします。もう一度で元に戻ります。",
                        {{Ctrl | Shift, "L"}, {Ctrl, "L", FrontEnd::Desktop}}, kIconPointer);
    pointer.toggles = true;
    pointer.help = "大きいポインター（切り替え）";
    // Alt+Shift+C: Ctrl+Shift+C opens a browser's inspector, Ctrl+Shift+K Firefox's console.
    Tool &colours = add(ToolId::ColourSafe, 3, "見やすい色", "見やすい色",
                        "図と書き込みを、色覚の違いにかかわらず見分けやすい色にします。黒板は濃い緑に"
                        "なります。もう一度で元の色に戻ります。板書の中身は変わりません。",
                        {{Alt | Shift, "C"}}, kIconColours);
    colours.toggles = true;
    colours.help = "見やすい色（切り替え）";
    Tool &ratios = add(ToolId::Ratios, 4, "比を表示", "長さと比を表示",
                       "ℓ、m と写した直線の上で平行線が切り取る長さと、その比を図に書き添えます。"
                       "写した直線を動かすと、Ｅ、Ｆ から m までの長さとその比が動きにつれて変わり"
                       "ます。長さは画面の 10 ピクセルを 1 とした値で、p と q、q と r の間がちょうど"
                       " 10 と 15 になります。写した直線は ℓ を平行に動かしたものなので、DE と EF は"
                       " AB と BC に等しくなります。もう一度で消えます。",
                       {{Alt | Shift, "H"}}, kIconRatios);
    ratios.toggles = true;
    ratios.help = "比を表示（切り替え）";
    Tool &triangles = add(ToolId::Triangles, 4, "相似な三角形", "相似な三角形に色をつける",
                          "図に今ある相似な三角形に薄く色をつけ、等しい角に同じ印をつけます。"
                          "写した直線が Ａ' を通るときは Ａ'ＥＢ' と Ａ'ＦＣ'、2本の延長と Ｇ があるとき"
                          "は ＧＡＡ'、ＧＢＢ'、ＧＣＣ' です。そのどちらでもないときは何も塗りません。"
                          "もう一度で消えます。",
                          {{Alt | Shift, "S"}}, kIconTriangles);
    triangles.toggles = true;
    triangles.tip = "相似な三角形に色をつける（写した直線が Ａ' を通るとき、または Ｇ があるとき）";
    triangles.help = "相似な三角形（切り替え）";
    // The page joins from its own address (#join); the desktop asks for the class's address.
    // Off the strip, whose room the page's strip shares: in the desktop's menus and by key.
    add(ToolId::JoinClass, -1, "授業に参加…", "授業に参加",
        "先生が始めた授業に、生徒として、または先生として参加します。生徒は先生の板書を"
        "見るか、自分で書くかを選べます。",
        {{Ctrl, "J", FrontEnd::Desktop}}, kIconClass)
        .offered = FrontEnd::Desktop;
    add(ToolId::More, -1, "その他", "その他の道具", "ここに並ばない道具を一覧で開きます。", {},
        kIconMore);
    return t;
}

const std::vector<Tool> &table()
{
    static const std::vector<Tool> t = makeTable();
    return t;
}

std::string upper(std::string_view key)
{
    std::string s(key);
    if (s.size() == 1)
        s[0] = char(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

} // namespace

std::string Key::text() const
{
    std::string s;
    if (mods & Ctrl)
        s += "Ctrl+";
    if (mods & Alt)
        s += "Alt+";
    if (mods & Shift)
        s += "Shift+";
    return s + std::string(key);
}

std::span<const Tool> tools() { return table(); }

std::span<const ClassControl> classControls()
{
    static const std::vector<ClassControl> controls = {
        {ClassControlId::HandOut, true, "配る",
         "今の板書を全員に配ります。生徒はそれを自分の板書として続けられます。", "",
         "先生の板書を配りました"},
        {ClassControlId::AllFollow, true, "全員に先生の板書",
         "生徒全員の画面を先生の板書に戻します。", "", "全員が先生の板書を見ています"},
        {ClassControlId::EndClass, true, "授業を終える",
         "授業を終えます。生徒の板書はそれぞれの端末に残ります。", "もう一度押すと終わります",
         "授業を終えました。"},
        {ClassControlId::Follow, false, "先生の板書",
         "先生の板書を見ます。その間は自分では書けません。", "", ""},
        {ClassControlId::Explore, false, "自分で", "今の板書から、自分で書いたり動かしたりします。",
         "", ""},
    };
    return controls;
}

const ClassControl &classControl(ClassControlId id)
{
    for (const ClassControl &c : classControls())
        if (c.id == id)
            return c;
    return classControls().front();
}

const Tool &tool(ToolId id, int index)
{
    for (const Tool &t : table())
        if (t.id == id && (id != ToolId::Pen || t.index == index))
            return t;
    return table().back();
}

const Tool &commandTool(int number)
{
    static constexpr ToolId kCommands[4] = {ToolId::Reset, ToolId::End, ToolId::Memo,
                                            ToolId::Diagonal};
    return tool(kCommands[number >= 1 && number <= 4 ? number - 1 : 0]);
}

const Tool &penTool(int index) { return tool(ToolId::Pen, index); }

std::vector<const Tool *> stripTools(FrontEnd frontEnd, bool shareSheet, bool imageClipboard,
                                     bool touchPens)
{
    std::vector<const Tool *> strip;
    for (const Tool &t : table()) {
        if (t.group < 0 || !offeredOn(t.offered, frontEnd) ||
            (t.id == ToolId::Share && !shareSheet) || (t.id == ToolId::Copy && !imageClipboard))
            continue;
        if (touchPens && !strip.empty() && t.group != strip.front()->group &&
            strip.back()->group == strip.front()->group)
            for (int digit = 1; digit <= 8; ++digit)
                strip.push_back(&penTool(digit <= 4 ? digit + 3 : digit - 5));
        strip.push_back(&t);
    }
    return strip;
}

const Key *shownKey(const Tool &t, FrontEnd frontEnd)
{
    for (const Key &k : t.keys)
        if (offeredOn(k.where, frontEnd))
            return &k;
    return nullptr;
}

std::string toolTip(const Tool &t, FrontEnd frontEnd)
{
    const Key *k = shownKey(t, frontEnd);
    return k ? t.tip + " (" + k->text() + ")" : t.tip;
}

const Tool *toolForKey(std::uint8_t mods, std::string_view key, FrontEnd frontEnd)
{
    const std::string wanted = upper(key);
    for (const Tool &t : table()) {
        if (!offeredOn(t.offered, frontEnd))
            continue;
        for (const Key &k : t.keys)
            if (k.mods == mods && k.key == wanted && offeredOn(k.where, frontEnd))
                return &t;
    }
    return nullptr;
}

bool changesBoard(ToolId id)
{
    switch (id) {
    case ToolId::Reset:
    case ToolId::End:
    case ToolId::Memo:
    case ToolId::Diagonal:
    case ToolId::Pen:
    case ToolId::Undo:
    case ToolId::Redo:
    case ToolId::ClearWriting:
    case ToolId::Open:
    case ToolId::Restore:
    case ToolId::Ratios:
    case ToolId::Triangles:
        return true;
    default:
        return false;
    }
}

bool toolEnabled(const Tool &t, const Lesson &lesson, const ToolContext &context)
{
    const Form1 &f = lesson.form;
    if (context.following && changesBoard(t.id))
        return false;
    switch (t.id) {
    case ToolId::Reset:
        return f.Command1.Enabled;
    case ToolId::End:
        return f.Command2.Enabled;
    case ToolId::Memo:
        return f.Command3.Enabled;
    case ToolId::Diagonal:
        return f.Command4.Enabled;
    case ToolId::Pen:
        return t.index >= 0 && t.index <= 7 && f.Option1[t.index].Enabled;
    case ToolId::Undo:
        return lesson.canUndo();
    case ToolId::Redo:
        return lesson.canRedo();
    case ToolId::ClearWriting:
        return !lesson.strokes().empty() && !lesson.gestureInProgress();
    case ToolId::Restore:
        return context.lastBoard;
    default:
        return true;
    }
}

bool toolChecked(const Tool &t, const Lesson &lesson, const ToolContext &context)
{
    const Form1 &f = lesson.form;
    switch (t.id) {
    case ToolId::Memo:
        return f.st.memoMode;
    case ToolId::Diagonal:
        return f.st.diagonalMode;
    case ToolId::Pen:
        return t.index >= 0 && t.index <= 7 && f.Option1[t.index].Value;
    case ToolId::LargePointer:
        return context.largePointer;
    case ToolId::FullScreen:
        return context.fullScreen;
    case ToolId::ColourSafe:
        return context.colourSafe;
    case ToolId::Ratios:
        return f.aids.ratios;
    case ToolId::Triangles:
        return f.aids.triangles;
    default:
        return false;
    }
}

std::string toolIconSvg(const Tool &t, std::string_view colour)
{
    if (t.id == ToolId::Pen && t.index >= 0 && t.index <= 7) {
        const bool thick = t.index >= 4;
        const std::string head = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\" "
                                 "width=\"24\" height=\"24\" stroke=\"" +
                                 std::string(colour) + "\" stroke-width=\"1.5\">";
        if (t.index % 4 == 3) // the eraser: a block, tilted, as wide as it rubs
            return head +
                   "<path fill=\"#ffffff\" stroke-linejoin=\"round\" "
                   "transform=\"rotate(-35 12 12)\" d=\"" +
                   std::string(thick ? "M4 7.5h16v9H4zM10 7.5v9" : "M6 9.5h12v5H6zM10.5 9.5v5") +
                   "\"/></svg>";
        static constexpr int kInks[3] = {kPenRed, kPenYellow, kPenBlue};
        const Rgb ink = QBColor(kInks[t.index % 4]);
        char fill[8];
        std::snprintf(fill, sizeof fill, "#%02x%02x%02x", unsigned(redOf(ink)),
                      unsigned(greenOf(ink)), unsigned(blueOf(ink)));
        return head + "<circle cx=\"12\" cy=\"12\" r=\"" + (thick ? "8" : "4.5") + "\" fill=\"" +
               fill + "\"/></svg>";
    }
    if (t.icon.empty())
        return {};
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\" width=\"24\" "
           "height=\"24\" fill=\"none\" stroke=\"" +
           std::string(colour) +
           "\" stroke-width=\"2\" stroke-linecap=\"round\" stroke-linejoin=\"round\">"
           "<path d=\"" +
           std::string(t.icon) + "\"/></svg>";
}

std::vector<HelpItem> usage()
{
    return {
        {"動かす", "p と r の間で、ℓ を写した赤い直線をドラッグすると、左右に動きます。"
                   "交点 Ｄ、Ｅ、Ｆ もいっしょに動きます。"},
        {"延長する", "p より上で ℓ の近く、または m の近くを押すと、その直線の延長が現れます。"
                     "離すと白くなり、2本の延長の交わる点に Ｇ がつきます。"},
        {"メモ", "押してからペン（太字・細字、赤色・黄色・青色）を選び、図に書き込みます。"
                 "消しゴムで消せます。もう一度押すと終わります。"},
        {"対角線", "押してから、記号のついた点を2つ続けて押すと、その間に赤い線を引きます。"
                   "5本引くと終わります。"},
        {"初期画面", "押すか、図の上で右ボタンを押すと、最初の画面に戻ります。"},
        {"比と相似", "「比を表示」で、平行線が ℓ、m、写した直線から切り取る長さと、その比が図に出ます。"
                     "長さは画面の 10 ピクセルを 1 とした値で、p と q、q と r の間がちょうど 10 と 15 "
                     "になるので、比 2 : 3 と見比べられます。写した直線は ℓ を平行に動かしたものなので、"
                     "DE と EF は AB と BC に等しくなります。写した直線を動かすと EB' と FC' とその比が"
                     "変わり、Ａ' を通るとき 2 : 5 になります。「相似な三角形」は、そのときの Ａ'ＥＢ' と "
                     "Ａ'ＦＣ'、または Ｇ があるときの ＧＡＡ'、ＧＢＢ'、ＧＣＣ' に色をつけます。"},
        {"元に戻す", "書き込み、動かした直線、対角線、初期画面に戻したことも、一つずつ取り消せ"
                     "ます。板書は自動で残り、「前回の板書」で次に開いたときに戻せます。"},
    };
}

std::vector<KeyHelp> keyHelp(FrontEnd frontEnd)
{
    std::vector<KeyHelp> rows;
    const auto keyOf = [frontEnd](const Tool &t) {
        const Key *k = shownKey(t, frontEnd);
        return k ? k->text() : std::string();
    };
    // Every key of a tool on the front end, the one its tooltip names first.
    const auto row = [&](const Tool &t) {
        if (!offeredOn(t.offered, frontEnd) || !shownKey(t, frontEnd))
            return;
        std::string keys;
        for (const Key &k : t.keys)
            if (offeredOn(k.where, frontEnd))
                keys += (keys.empty() ? "" : ", ") + k.text();
        rows.push_back({keys, t.help.empty() ? t.tip : t.help});
    };
    row(tool(ToolId::Reset));
    row(tool(ToolId::Diagonal));
    row(tool(ToolId::Memo));
    rows.push_back({keyOf(penTool(4)) + " – " + keyOf(penTool(7)),
                    "太字のペン：赤色、黄色、青色、消しゴム"});
    rows.push_back({keyOf(penTool(0)) + " – " + keyOf(penTool(3)),
                    "細字のペン：赤色、黄色、青色、消しゴム"});
    row(tool(ToolId::End));
    row(tool(ToolId::LargePointer));
    row(tool(ToolId::ColourSafe));
    row(tool(ToolId::Ratios));
    row(tool(ToolId::Triangles));
    row(tool(ToolId::FullScreen));
    rows.push_back({"Esc", "全画面表示を終える"});
    rows.push_back({"Tab", "次のボタンへ（ペンの中は矢印キーで選ぶ）"});
    rows.push_back({"スペース", "選んだボタンを押す"});
    row(tool(ToolId::Help));
    for (const Tool *t : stripTools(frontEnd))
        if (t->id != ToolId::Help && t->id != ToolId::FullScreen &&
            t->id != ToolId::LargePointer && t->id != ToolId::ColourSafe &&
            t->id != ToolId::Ratios && t->id != ToolId::Triangles)
            row(*t);
    return rows;
}

} // namespace pr
