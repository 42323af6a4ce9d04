#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pr {

class Lesson;

// Every action the window offers besides working the surface, in one table that both front
// ends build their buttons, tool strip, tooltips, help and key handling from: the form's
// command buttons and pens, the board's tools and the window's own (help, full screen, the
// large pointer).
//
// Keys. No single function key resets or ends anything: presenter remotes send F5, Esc and
// the page keys, and a stray press must not wipe the class's writing. F1 and F11 keep their
// usual meanings (help, full screen). No key is one a browser keeps for itself or acts on
// before the page can stop it (Ctrl+W, Ctrl+T, Ctrl+N; Ctrl+Q quits Firefox and WebKit
// browsers, Ctrl+Shift+T reopens a tab in Chromium, Ctrl+R and Ctrl+L are WebKit's): where
// the desktop had such a key, it keeps it as a second one of its own (web/README.md lists
// what each engine does with each key). The pens take the digits in the order the tab key
// visits them: 1-4 the upper row (太字), 5-8 the lower row (細字).
enum class ToolId : std::uint8_t {
    Reset,    // 初期画面, the form's Command1
    End,      // 終了, Command2
    Memo,     // メモ, Command3
    Diagonal, // 対角線, Command4
    Pen,      // a pen option, Option1(index)
    Undo,
    Redo,
    ClearWriting,
    Open,
    Save,
    Restore, // the board the last run or another page left (前回の板書)
    SaveImage,
    Copy,
    Print,
    Share, // the board's picture to the device's share sheet
    Help,
    FullScreen,
    LargePointer,
    ColourSafe, // 見やすい色: the surface in chalk every colour vision tells apart
    Ratios,     // 比を表示: the lengths and ratios the parallels cut
    Triangles,  // 相似な三角形: the similar triangles the figure shows, shaded
    JoinClass,  // 授業に参加: a live class, as its teacher or a pupil
    More, // その他: the tools a short strip has no room for, as a menu
};

// Where a tool or a key is offered.
enum class FrontEnd : std::uint8_t { Desktop = 1, Web = 2, Both = 3 };

constexpr bool offeredOn(FrontEnd where, FrontEnd frontEnd)
{
    return (std::uint8_t(where) & std::uint8_t(frontEnd)) != 0;
}

struct Key {
    enum Mod : std::uint8_t { Ctrl = 1, Shift = 2, Alt = 4 };
    std::uint8_t mods = 0;
    // The key as both toolkits name it: a capital letter, a digit, "F1" .. "F12".
    std::string_view key;
    FrontEnd where = FrontEnd::Both;

    // "Ctrl+Shift+T": the portable text that Qt's key sequences read and write.
    std::string text() const;
};

struct Tool {
    ToolId id = ToolId::More;
    int index = 0;           // the pen's option index 0..7, the command button's number 1..4
    std::string caption;     // on its button: the form's own caption for its controls
    std::string name;        // accessible name
    std::string description; // what it does, for assistive technology
    std::string tip;         // tooltip, without the key
    std::string help;        // the help's line for its key; empty: the tooltip
    std::vector<Key> keys;   // the first one that works on a front end is the one it names
    FrontEnd offered = FrontEnd::Both;
    int group = -1; // group of the tool strip, in order; -1 for the form's own controls
    // Its icon for the narrow strip: SVG path data in a 24 x 24 box, stroked with round
    // caps and joins, 2 units wide, in the button's text colour.
    std::string_view icon;
    bool toggles = false; // shows an on state (a mode, the large pointer, full screen)
    // Said briefly once it worked, for a tool whose work does not show (コピー); else empty.
    std::string done;
};

// The whole table: the form's commands, its eight pens, then the strip's tools in order.
std::span<const Tool> tools();
// The entry of a tool (index: the pen's or command's, ignored for the others).
const Tool &tool(ToolId id, int index = 0);
const Tool &commandTool(int number); // 1..4
const Tool &penTool(int index);      // 0..7

// The tools of the strip on a front end, in order (その他 not among them). 共有 is there
// only where the device has a share sheet, コピー only where pictures can go to the
// clipboard (a browser allows it in a secure context only). On a touch screen the eight pens
// follow the first group, in the order of their keys, as buttons a finger can hit: the form's
// own pen options are small and close together.
std::vector<const Tool *> stripTools(FrontEnd frontEnd, bool shareSheet = false,
                                     bool imageClipboard = true, bool touchPens = false);

// The key a tooltip names on a front end, or null.
const Key *shownKey(const Tool &t, FrontEnd frontEnd);
// "tip (Ctrl+Z)"; the tip alone without a key.
std::string toolTip(const Tool &t, FrontEnd frontEnd);

// The tool a key press stands for on a front end, or null. key as in Key::key (a letter in
// either case).
const Tool *toolForKey(std::uint8_t mods, std::string_view key, FrontEnd frontEnd);

// The live class's controls, on the bar a window in a class shows: the teacher's, then a
// pupil's. Their texts are the page's own for the same controls.
enum class ClassControlId : std::uint8_t {
    HandOut,   // 配る: the teacher's board for every pupil's own copy
    AllFollow, // 全員に先生の板書
    EndClass,  // 授業を終える, on a second press
    Follow,    // a pupil's 先生の板書
    Explore,   // a pupil's 自分で
};
struct ClassControl {
    ClassControlId id = ClassControlId::Follow;
    bool teacher = false; // on the teacher's bar, else on a pupil's
    std::string caption;
    std::string description; // for assistive technology
    std::string confirm;     // the caption asking for a second press; empty: none
    std::string done;        // said once it worked; empty: nothing to say
};
std::span<const ClassControl> classControls();
const ClassControl &classControl(ClassControlId id);

// What the window knows of its tools beyond the lesson.
struct ToolContext {
    bool lastBoard = true; // 前回の板書 has a board to offer
    bool largePointer = false;
    bool fullScreen = false;
    bool colourSafe = false;
    // The board shows another's (a pupil following the teacher's in a class): only that
    // board's messages change it, and no tool that would.
    bool following = false;
};

// Whether the tool changes the board (what a board file or a class's message holds).
bool changesBoard(ToolId id);

// Whether a click or key works the tool now, and whether it shows as on.
bool toolEnabled(const Tool &t, const Lesson &lesson, const ToolContext &context);
bool toolChecked(const Tool &t, const Lesson &lesson, const ToolContext &context);

// The tool's icon as a whole SVG document in a 24 x 24 box, stroked in `colour` (CSS, e.g.
// "#000000"); empty for a tool without one. A pen's icon is a dot of its ink, large for the
// thick pens and small for the thin, ringed in `colour` so that yellow shows on a light
// button; an eraser's is an eraser of its width.
std::string toolIconSvg(const Tool &t, std::string_view colour);

// The help's account of how the lesson is worked, in its order: what, and how.
struct HelpItem {
    std::string what, how;
};
std::vector<HelpItem> usage();

// Every key the window answers on a front end, in the order the help lists them.
struct KeyHelp {
    std::string keys; // "Ctrl+O", "Ctrl+Shift+Q, Ctrl+Q", "1 – 4"
    std::string what;
};
std::vector<KeyHelp> keyHelp(FrontEnd frontEnd);

} // namespace pr
