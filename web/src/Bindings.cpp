// The lesson as a JavaScript class of the WebAssembly module: the page calls the entry
// points and reads back the form's controls, the draw list and what each action changed.
// Every text the page shows comes from here, out of the form.

#include "draw/Aids.h"
#include "draw/DrawList.h"
#include "draw/Look.h"
#include "draw/StrokeRaster.h"
#include "draw/SvgWriter.h"
#include "lesson/Lesson.h"
#include "form/QBColor.h"
#include "form/Twips.h"
#include "board/Board.h"
#include "board/BoardFile.h"
#include "board/KeepNotice.h"
#include "layout/WindowLayout.h"
#include "live/Follower.h"
#include "live/Outbox.h"
#include "tools/Access.h"
#include "tools/Tools.h"

#include <cmath>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pr::web {

namespace {

using emscripten::val;

// Boxes, text styles and draw items cross to JavaScript as plain objects, by the
// registration at the end of this file.
val box(const Box &b) { return val(b); }

const char *faceName(look::Face f)
{
    switch (f) {
    case look::Face::Mincho:
        return "mincho";
    case look::Face::Italic:
        return "italic";
    case look::Face::Gothic:
        break;
    }
    return "gothic";
}

val pairOf(const std::string &text, const char *face)
{
    val pair = val::array();
    pair.call<void>("push", text);
    pair.call<void>("push", std::string(face));
    return pair;
}

// A control on the window: its caption, its place in twips and its font.
val control(const std::string &caption, int left, int top, int width, int height, FontRole font)
{
    val o = val::object();
    o.set("caption", caption);
    o.set("left", left);
    o.set("top", top);
    o.set("width", width);
    o.set("height", height);
    o.set("font", val(look::textStyle(font)));
    return o;
}

val windowLabel(const WindowLabel &l)
{
    val o = control(l.Caption, l.Left, l.Top, l.Width, l.Height, l.Font);
    o.set("back", l.BackColor);
    o.set("fore", l.ForeColor);
    return o;
}

const char *kindName(DrawKind k)
{
    switch (k) {
    case DrawKind::None:
        return "none";
    case DrawKind::StrokeLayer:
        return "strokeLayer";
    case DrawKind::Fill:
        return "fill";
    case DrawKind::Segment:
        return "segment";
    case DrawKind::Text:
        return "text";
    case DrawKind::Image:
        return "image";
    case DrawKind::Outline:
        return "outline";
    case DrawKind::Triangle:
        return "triangle";
    case DrawKind::Arc:
        return "arc";
    }
    return "none";
}

// The fields of a draw item that JavaScript reads by another type than the core's.
std::string itemKind(const DrawItem &d) { return kindName(d.kind); }
int itemImage(const DrawItem &d) { return int(d.image); }
int itemAlpha(const DrawItem &d) { return d.alpha; }
Box itemBounds(const DrawItem &d) { return d.bounds(); }
std::string styleFace(const look::TextStyle &t) { return faceName(t.face); }
// The page never hands an item back: its setters are there because embind asks for them.
template <typename T, typename V> void readOnly(T &, V) {}

// The raster's steps, packed 9 numbers a step: kind (RasterOp::Kind's order, named by
// rasterKinds()), x1, y1, x2, y2, width, colour, w, h. A frame after a resize carries every
// segment of the board, which one typed array hands over at once.
val rasterOps(const std::vector<RasterOp> &ops)
{
    std::vector<double> packed;
    packed.reserve(ops.size() * 9);
    for (const RasterOp &op : ops)
        packed.insert(packed.end(), {double(op.kind), op.x1, op.y1, op.x2, op.y2, op.width,
                                     double(op.colour), double(op.w), double(op.h)});
    return val::global("Float64Array")
        .new_(emscripten::typed_memory_view(packed.size(), packed.data()))
        .call<val>("slice");
}

val rect(const PixelRect &r)
{
    val o = val::object();
    o.set("x", r.x);
    o.set("y", r.y);
    o.set("w", r.w);
    o.set("h", r.h);
    return o;
}

const char *toolName(ToolId id)
{
    switch (id) {
    case ToolId::Reset: return "reset";
    case ToolId::End: return "end";
    case ToolId::Memo: return "memo";
    case ToolId::Diagonal: return "diagonal";
    case ToolId::Pen: return "pen";
    case ToolId::Undo: return "undo";
    case ToolId::Redo: return "redo";
    case ToolId::ClearWriting: return "clearWriting";
    case ToolId::Open: return "open";
    case ToolId::Save: return "save";
    case ToolId::Restore: return "restore";
    case ToolId::SaveImage: return "saveImage";
    case ToolId::Copy: return "copy";
    case ToolId::Print: return "print";
    case ToolId::Share: return "share";
    case ToolId::Help: return "help";
    case ToolId::FullScreen: return "fullScreen";
    case ToolId::LargePointer: return "largePointer";
    case ToolId::ColourSafe: return "colourSafe";
    case ToolId::Ratios: return "ratios";
    case ToolId::Triangles: return "triangles";
    case ToolId::JoinClass: return "joinClass";
    case ToolId::More: return "more";
    }
    return "more";
}

const char *toolsAtName(ToolsAt at)
{
    switch (at) {
    case ToolsAt::Beside: return "beside";
    case ToolsAt::Strip: return "strip";
    case ToolsAt::Row: return "row";
    case ToolsAt::Keys: break;
    }
    return "keys";
}

// A tool by its place in tools(): the page names tools by that index.
int indexOf(const Tool *t) { return t ? int(t - tools().data()) : -1; }

// The board as earlier versions of the page kept it in localStorage (plain data: numbers,
// booleans and arrays, a stroke's points one flat array x0, y0, x1, y1 ...), read once to
// convert it to the board file. Values may be anything: numbers that are not numbers become
// NaN, which Board::check refuses.
double number(const val &v)
{
    return v.typeOf().as<std::string>() == "number" ? v.as<double>() : std::nan("");
}

bool flag(const val &v) { return v.typeOf().as<std::string>() == "boolean" && v.as<bool>(); }

int whole(const val &v)
{
    const double d = number(v);
    // Out of range or NaN: a value check() refuses.
    return d >= -1e9 && d <= 1e9 ? int(d) : -1;
}

std::size_t length(const val &v)
{
    if (!val::global("Array").call<bool>("isArray", v))
        return 0;
    return v["length"].as<std::size_t>();
}

// False if the data is not a board at all; check() judges the values.
bool oldBoardFrom(const val &o, Board &b)
{
    if (o.typeOf().as<std::string>() != "object" || o.isNull())
        return false;
    b.copyX1 = float(number(o["copyX1"]));
    b.copyX2 = float(number(o["copyX2"]));
    b.copyHighlighted = flag(o["copyHighlighted"]);
    const val labels = o["copyLabels"];
    if (length(labels) != b.copyLabels.size())
        return false;
    for (std::size_t i = 0; i < b.copyLabels.size(); ++i) {
        const val e = labels[i];
        if (length(e) != 3)
            return false;
        b.copyLabels[i] = {float(number(e[0])), flag(e[1]), flag(e[2])};
    }
    const auto prolongation = [](const val &v, Board::Prolongation &p) {
        const int n = whole(v);
        if (n < 0 || n > 2)
            return false;
        p = Board::Prolongation(n);
        return true;
    };
    if (!prolongation(o["prolongationL"], b.prolongationL) ||
        !prolongation(o["prolongationM"], b.prolongationM))
        return false;
    b.pointG = flag(o["pointG"]);
    const val lines = o["lines"];
    if (length(lines) != b.lines.size())
        return false;
    for (std::size_t i = 0; i < b.lines.size(); ++i) {
        const val e = lines[i];
        if (length(e) != 3)
            return false;
        b.lines[i] = {flag(e[0]), whole(e[1]), whole(e[2])};
    }
    b.nextLine = whole(o["nextLine"]);
    const val strokes = o["strokes"];
    const std::size_t n = length(strokes);
    if (n > Board::kMaxStrokes)
        return false;
    std::size_t total = 0;
    b.strokes.clear();
    b.strokes.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const val e = strokes[i];
        if (length(e) != 4)
            return false;
        Stroke s;
        const double colour = number(e[0]);
        if (!(colour >= 0 && colour <= 4294967295.0))
            return false;
        s.colour = Rgb(colour);
        s.width = whole(e[1]);
        s.eraser = flag(e[2]);
        const val points = e[3];
        const std::size_t m = length(points);
        total += m / 2;
        if (m % 2 != 0 || total > Board::kMaxPoints)
            return false;
        s.points.reserve(m / 2);
        for (std::size_t k = 0; k < m; k += 2)
            s.points.push_back({float(number(points[k])), float(number(points[k + 1]))});
        b.strokes.push_back(std::move(s));
    }
    return true;
}

} // namespace

// The lesson as the page drives it, the module's JavaScript class Lesson: the form loaded
// with the page's stroke raster as its sink, and the draw list the page was last given, so
// that each action hands over only what it changed.
class PageLesson {
public:
    PageLesson()
    {
        lesson_.form.gamen.setSink(&raster_);
        raster_.setSource(&lesson_.strokes());
        lesson_.Form_Load();
        shown_ = DrawList::build(lesson_.form);
    }
    ~PageLesson() { lesson_.form.gamen.setSink(nullptr); }
    PageLesson(const PageLesson &) = delete;
    PageLesson &operator=(const PageLesson &) = delete;

    // Every action goes through the outbox, which keeps it for the class while there is one.
    void clickCommand(int number) { act(commandAction(live::Action::Kind::Command, number)); }
    void clickOption(int index) { act(commandAction(live::Action::Kind::Option, index)); }
    // Positions arrive as JavaScript numbers, which may be anything: the lesson sorts out
    // what it can use (and the class gets only what it used). Button and shift codes are
    // those of Lesson.
    void press(int button, int shift, double x, double y) { pressWith(button, shift, x, y, false); }
    // eraserEnd: a pen pressed with its eraser end; the lesson decides what it does.
    void pressWith(int button, int shift, double x, double y, bool eraserEnd)
    {
        live::Action a = pointerAction(live::Action::Kind::Press, button, shift, x, y);
        a.eraserEnd = eraserEnd;
        act(a);
    }
    void move(int buttons, int shift, double x, double y)
    {
        act(pointerAction(live::Action::Kind::Move, buttons, shift, x, y));
    }
    void release(int button, int shift, double x, double y)
    {
        act(pointerAction(live::Action::Kind::Release, button, shift, x, y));
    }
    int pointLabelAt(double x, double y) const { return lesson_.pointLabelAt(x, y); }

    // The board's history. Undo and redo draw the whole layer again on the sink, which the
    // page takes with the other changes.
    bool undo() { return recorded(lesson_.undo(), live::Action::Kind::Undo); }
    bool redo() { return recorded(lesson_.redo(), live::Action::Kind::Redo); }
    void clearWriting() { act(commandAction(live::Action::Kind::ClearWriting)); }
    // 比を表示 and 相似な三角形 on or off (a view of the board, no step to undo).
    void toggleRatios() { setAids({!lesson_.form.aids.ratios, lesson_.form.aids.triangles}); }
    void toggleTriangles() { setAids({lesson_.form.aids.ratios, !lesson_.form.aids.triangles}); }
    void setAids(Form1::Aids aids)
    {
        live::Action a = commandAction(live::Action::Kind::Aids);
        a.aids = aids;
        act(a);
    }

    // The live class: what this board sends (recording from the class's start), and the
    // board this page follows, if any. Messages are the core's bytes (UTF-8 text); the page
    // publishes and delivers them and decides nothing about them.
    void liveRecord(bool on) { outbox_.setRecording(on); }
    // Recording that takes up a class again, numbering from `first` (a whole number below
    // 2^53, which a page's number holds exactly).
    void liveRecordFrom(double first)
    {
        outbox_.setRecording(true, first >= 0 && first < 9007199254740992.0
                                       ? std::uint64_t(first) : 0);
    }
    std::string liveTake() { return outbox_.take(); }
    bool liveSnapshotWanted() const { return outbox_.snapshotWanted(); }
    std::string liveSnapshot() { return outbox_.snapshot(lesson_); }
    static std::string liveSubject(bool teacher, const std::string &classTag,
                                   const std::string &pupil, bool kept)
    {
        const live::Sender s{teacher ? live::Sender::Role::Teacher : live::Sender::Role::Pupil,
                             classTag, teacher ? std::string() : pupil};
        return kept ? live::snapshotSubjectOf(s) : live::subjectOf(s);
    }
    // Follows the teacher's board (or with teacher false, a pupil's): every message from
    // then on goes to liveReceive.
    void liveFollow(bool teacher, const std::string &classTag, const std::string &pupil)
    {
        follower_.emplace(live::Sender{
            teacher ? live::Sender::Role::Teacher : live::Sender::Role::Pupil, classTag,
            teacher ? std::string() : pupil});
        exploring_ = false;
    }
    void liveUnfollow() { follower_.reset(); }
    // The board goes its own way (自分で) while the followed teacher's controls still come
    // through liveReceive; liveFollow follows the board again.
    void liveExplore() { exploring_ = true; }
    // A teacher's control for the class: "follow" (every pupil to the teacher's board, or
    // with follow false free to explore), "hand-out" (this board for every pupil's own) or
    // "end"; empty for another kind.
    std::string liveControl(const std::string &kind, bool follow)
    {
        using K = live::Message::Kind;
        const K k = kind == "hand-out" ? K::HandOut : kind == "follow" ? K::Follow : K::End;
        if (k == K::End && kind != "end")
            return {};
        return live::encode(live::control(k, lesson_, outbox_.sent(), follow));
    }
    // What a message did: verdict "applied", "dropped", "resync" (ask for the snapshot),
    // "reload" (a newer program sent it) or "control" (kind "follow" with follow, "hand-out",
    // "end": for the page to act on). A handed-out board waits for liveTakeHandOut.
    // withHeaders: the message came with NATS headers (see live::Follower::receive).
    val liveReceive(const std::string &subject, const std::string &bytes, bool withHeaders)
    {
        static constexpr const char *kVerdicts[] = {"applied", "dropped", "resync", "reload",
                                                    "control"};
        static constexpr const char *kKinds[] = {"snapshot", "actions", "follow", "hand-out",
                                                 "end"};
        val o = val::object();
        if (!follower_) {
            o.set("verdict", "dropped");
            return o;
        }
        live::Message m;
        const live::Follower::Verdict v =
            exploring_ ? follower_->controls(subject, bytes, &m, withHeaders)
                       : follower_->receive(subject, bytes, lesson_, &m, withHeaders);
        o.set("verdict", kVerdicts[std::size_t(v)]);
        if (v == live::Follower::Verdict::Applied || v == live::Follower::Verdict::Control) {
            o.set("kind", kKinds[std::size_t(m.kind)]);
            o.set("follow", m.follow);
            if (m.kind == live::Message::Kind::HandOut)
                handOut_ = std::move(m);
        }
        return o;
    }
    // The board last handed out, opened as this page's own (one step to undo); false if none.
    bool liveTakeHandOut()
    {
        if (!handOut_)
            return false;
        const bool opened = live::start(lesson_, *handOut_);
        handOut_.reset();
        outbox_.wantSnapshot();
        return opened;
    }
    val liveCounts() const
    {
        val o = val::object();
        if (follower_) {
            const live::Follower::Counts &c = follower_->counts();
            o.set("applied", double(c.applied));
            o.set("malformed", double(c.malformed));
            o.set("tooLarge", double(c.tooLarge));
            o.set("badBoard", double(c.badBoard));
            o.set("wrongSender", double(c.wrongSender));
            o.set("outOfOrder", double(c.outOfOrder));
            o.set("gaps", double(c.gaps));
            o.set("notFollowed", double(c.notFollowed));
        }
        return o;
    }

    bool canUndo() const { return lesson_.canUndo(); }
    bool canRedo() const { return lesson_.canRedo(); }
    bool hasWriting() const { return !lesson_.strokes().empty(); }
    bool gestureInProgress() const { return lesson_.gestureInProgress(); }
    // The lesson's change counter; a double holds it exactly up to 2^53 changes.
    double revision() const { return double(lesson_.revision()); }

    // The board on show as a board file's text, and such a text shown instead: empty if it
    // was, otherwise why not, in Japanese. checkBoard only says whether it could be.
    std::string board() const { return BoardFile::write(lesson_.board()); }
    std::string openBoard(const std::string &text)
    {
        const BoardFile::Result read = BoardFile::read(text);
        lastFault_ = read.ok() ? lesson_.openBoard(read.board) : read.fault;
        if (lastFault_.ok())
            outbox_.wantSnapshot();
        return lastFault_.text();
    }
    std::string checkBoard(const std::string &text) const { return BoardFile::read(text).error(); }
    std::string boardFileType() const { return std::string(BoardFile::kMediaType); }
    std::string boardFileExtension() const { return std::string(BoardFile::kExtension); }
    // The board as an SVG document (the desktop's picture: the core's writer, the letters as
    // text in the italic), and its title, which a file's name starts with.
    std::string boardSvg() const { return svgIn(palette_); }
    // In a palette (0 the lesson's, 1 見やすい色, 2 white paper), for printing on white.
    std::string boardSvgIn(int palette) const { return svgIn(paletteOf(palette)); }
    std::string svgIn(look::Palette p) const
    {
        svg::Options o;
        o.palette = p;
        o.embedded = faces_;
        return svg::write(DrawList::build(lesson_.form, p), lesson_.strokes(), o);
    }
    // A face the SVG carries from now on (the site's own subset, WOFF2 in base64), so that it
    // looks the same on a machine without the faces. face: "gothic", "mincho" or "italic".
    void embedFace(const std::string &face, const std::string &family,
                   const std::string &woff2Base64, bool bold, bool italic)
    {
        const look::Face f = face == "mincho"   ? look::Face::Mincho
                             : face == "italic" ? look::Face::Italic
                                                : look::Face::Gothic;
        faces_.push_back({f, family, woff2Base64, bold, italic});
    }
    // The surface's colours from the next takeChanges() on: the whole surface and raster
    // come again in the new palette.
    void setPalette(int palette)
    {
        palette_ = paletteOf(palette);
        raster_.setPalette(palette_);
    }
    static look::Palette paletteOf(int palette)
    {
        return palette == 1 ? look::Palette::ColourSafe
               : palette == 2 ? look::Palette::Paper
                              : look::Palette::Lesson;
    }
    std::string boardPictureTitle() const { return svg::kTitle; }
    // A board kept by an earlier version of the page, as a board file's text; empty if it
    // is no board the lesson could show.
    std::string convertOldBoard(const val &data) const
    {
        Board b;
        return oldBoardFrom(data, b) && b.check().ok() ? BoardFile::write(b) : std::string();
    }

    // The window's design, read once to build the page: captions, places in twips, colours
    // and fonts of every control, and the surface's size in logical pixels.
    val design() const
    {
        const Form1 &f = lesson_.form;
        val o = val::object();
        o.set("caption", f.Caption);
        o.set("twipsPerPixel", kTwipsPerPixel);
        o.set("clientWidth", f.ClientWidth);
        o.set("clientHeight", f.ClientHeight);
        o.set("back", f.BackColor);
        o.set("heading", windowLabel(f.Label1));

        val rows = val::array();
        for (const WindowLabel &l : f.Label4)
            rows.call<void>("push", windowLabel(l));
        o.set("rowCaptions", rows);

        const CommandButton *buttons[4] = {&f.Command1, &f.Command2, &f.Command3, &f.Command4};
        val commands = val::array();
        for (int n = 1; n <= 4; ++n) {
            const CommandButton &b = *buttons[n - 1];
            val c = control(b.Caption, b.Left, b.Top, b.Width, b.Height, b.Font);
            c.set("number", n);
            commands.call<void>("push", c);
        }
        o.set("commands", commands);

        val options = val::array();
        for (int i = f.Option1.first; i <= f.Option1.last; ++i) {
            const OptionButton &b = f.Option1[i];
            val c = control(b.Caption, b.Left, b.Top, b.Width, b.Height, FontRole::Default);
            c.set("index", i);
            c.set("back", b.BackColor);
            c.set("fore", kBlack);
            options.call<void>("push", c);
        }
        o.set("options", options);

        const PictureBox &p = f.gamen;
        val s = val::object();
        s.set("left", p.Left);
        s.set("top", p.Top);
        s.set("width", p.Width);
        s.set("height", p.Height);
        s.set("outerWidth", PictureBox::kOuterWidth);
        s.set("outerHeight", PictureBox::kOuterHeight);
        s.set("border", PictureBox::kBorder);
        s.set("back", p.BackColor);
        o.set("surface", s);
        // The notice about the kept board, in the band below the figure.
        const auto twips = [](double px) { return int(std::lround(px * kTwipsPerPixel)); };
        o.set("notice", control({}, p.Left + twips(PictureBox::kBorder + kNoticeBox.left),
                                p.Top + twips(PictureBox::kBorder + kNoticeBox.top),
                                twips(kNoticeBox.width), twips(kNoticeBox.height),
                                FontRole::Default));
        o.set("imageCount", kImageIdCount);
        return o;
    }

    // Where everything goes in a viewport of width x height CSS pixels at this pixel ratio:
    // the same layout as the desktop window's (WindowLayout). share: the browser has a share
    // sheet, so 共有 is among the tools; clipboard: it can put a picture on the clipboard, so
    // コピー is (by default it can).
    val layoutAt(int width, int height, double dpr, bool share) const
    {
        return layoutAt(width, height, dpr, share, true);
    }

    val layoutAt(int width, int height, double dpr, bool share, bool clipboard) const
    {
        return layoutAt(width, height, dpr, share, clipboard, false);
    }

    // touch: a touch screen, whose strip offers the pens as well. Each pen has its room
    // (`hit`), where a press chooses it and its focus ring goes.
    val layoutAt(int width, int height, double dpr, bool share, bool clipboard, bool touch) const
    {
        const Form1 &f = lesson_.form;
        const WindowLayout g(width, height, dpr,
                             stripTools(FrontEnd::Web, share, clipboard, touch));
        const auto placed = [&g](int left, int top, int w, int h, FontRole font) {
            val o = rect(g.place(left, top, w, h));
            o.set("fontPixels", g.fontPixels(look::textStyle(font).pixelSize));
            return o;
        };
        val o = val::object();
        o.set("scale", g.scale());
        o.set("heading", placed(f.Label1.Left, f.Label1.Top, f.Label1.Width, f.Label1.Height,
                                f.Label1.Font));
        val rows = val::array();
        for (const WindowLabel &l : f.Label4)
            rows.call<void>("push", placed(l.Left, l.Top, l.Width, l.Height, l.Font));
        o.set("rowCaptions", rows);
        val commands = val::array();
        for (const CommandButton *b : {&f.Command1, &f.Command2, &f.Command3, &f.Command4})
            commands.call<void>("push", placed(b->Left, b->Top, b->Width, b->Height, b->Font));
        o.set("commands", commands);
        val options = val::array();
        for (int i = f.Option1.first; i <= f.Option1.last; ++i) {
            const OptionButton &b = f.Option1[i];
            val option = placed(b.Left, b.Top, b.Width, b.Height, FontRole::Default);
            option.set("hit", rect(g.place(optionHitArea(f, i))));
            options.call<void>("push", option);
        }
        o.set("options", options);
        const PictureBox &p = f.gamen;
        o.set("surface", rect(g.place(p.Left, p.Top, p.Width, p.Height)));
        val notice = rect(g.notice(p));
        notice.set("fontPixels", g.fontPixels(look::textStyle(FontRole::Default).pixelSize));
        o.set("notice", notice);
        o.set("toolsAt", std::string(toolsAtName(g.toolsAt())));
        o.set("toolArea", rect(g.toolArea()));
        o.set("captionPixels", g.captionPixels());
        val buttons = val::array();
        for (const ToolButtonPlace &b : g.buttons()) {
            val e = rect(b.box);
            e.set("tool", indexOf(b.tool));
            buttons.call<void>("push", e);
        }
        o.set("buttons", buttons);
        val menu = val::array();
        for (const Tool *t : g.menu())
            menu.call<void>("push", indexOf(t));
        o.set("menu", menu);
        const FocusRing ring = focusRing(g.scale());
        val focus = val::object();
        focus.set("width", ring.width);
        focus.set("gap", ring.gap);
        focus.set("colour", ring.colour);
        o.set("focusRing", focus);
        const FocusRing toolRing = g.toolFocusRing();
        val toolFocus = val::object();
        toolFocus.set("width", toolRing.width);
        toolFocus.set("gap", toolRing.gap);
        o.set("toolFocusRing", toolFocus);
        return o;
    }

    // The table of tools as the page offers them: the form's commands and pens, then the
    // strip's tools in order. Keys are those that work in the page; tips name the first.
    // The live class's controls, the same as the desktop's: [{id, teacher, caption,
    // description, confirm, done}].
    val classControls() const
    {
        static constexpr const char *kIds[] = {"handOut", "allFollow", "endClass", "follow",
                                               "explore"};
        val list = val::array();
        for (const ClassControl &c : pr::classControls()) {
            val o = val::object();
            o.set("id", std::string(kIds[std::size_t(c.id)]));
            o.set("teacher", c.teacher);
            o.set("caption", c.caption);
            o.set("description", c.description);
            o.set("confirm", c.confirm);
            o.set("done", c.done);
            list.call<void>("push", o);
        }
        return list;
    }

    val tools() const
    {
        val list = val::array();
        for (const Tool &t : pr::tools()) {
            val o = val::object();
            o.set("id", std::string(toolName(t.id)));
            o.set("index", t.index);
            o.set("caption", t.caption);
            o.set("name", t.name);
            o.set("description", t.description);
            o.set("tip", toolTip(t, FrontEnd::Web));
            o.set("offered", offeredOn(t.offered, FrontEnd::Web));
            o.set("group", t.group);
            o.set("toggles", t.toggles);
            o.set("icon", toolIconSvg(t, "currentColor"));
            o.set("done", t.done);
            val keys = val::array();
            for (const Key &k : t.keys) {
                if (!offeredOn(k.where, FrontEnd::Web))
                    continue;
                val key = val::object();
                key.set("ctrl", (k.mods & Key::Ctrl) != 0);
                key.set("shift", (k.mods & Key::Shift) != 0);
                key.set("alt", (k.mods & Key::Alt) != 0);
                key.set("key", std::string(k.key));
                key.set("text", k.text());
                keys.call<void>("push", key);
            }
            o.set("keys", keys);
            list.call<void>("push", o);
        }
        return list;
    }

    // The tool (its index in tools()) a key press stands for, or -1. mods: 1 ctrl (or the
    // command key), 2 shift, 4 alt.
    int toolForKey(int mods, const std::string &key) const
    {
        return indexOf(pr::toolForKey(std::uint8_t(mods), key, FrontEnd::Web));
    }

    // What the page knows of its tools beyond the lesson, read by every frame().
    // following: the board follows the teacher's in a class, and input leaves it alone.
    void setToolContext(bool lastBoard, bool largePointer, bool fullScreen, bool colourSafe,
                        bool following)
    {
        context_ = {lastBoard, largePointer, fullScreen, colourSafe, following};
    }

    // Every key the page answers, for its help: [keys, what] pairs.
    val keyHelp() const
    {
        val list = val::array();
        for (const KeyHelp &k : pr::keyHelp(FrontEnd::Web)) {
            val pair = val::array();
            pair.call<void>("push", k.keys);
            pair.call<void>("push", k.what);
            list.call<void>("push", pair);
        }
        return list;
    }

    // The help's account of how the lesson is worked: [what, how] pairs.
    val usage() const
    {
        val list = val::array();
        for (const HelpItem &i : pr::usage()) {
            val pair = val::array();
            pair.call<void>("push", i.what);
            pair.call<void>("push", i.how);
            list.call<void>("push", pair);
        }
        return list;
    }

    // How the form reads to the keyboard and to assistive technology: the table indices of
    // its controls in the order Tab visits them, and the surface's name and description.
    val access() const
    {
        val chain = val::array();
        const auto push = [&chain](FormControl c) {
            chain.call<void>("push", indexOf(&tool(c.id, c.index)));
        };
        for (FormControl c : kTabChain)
            push(c);
        push(kTabChainEnd);
        val o = val::object();
        o.set("tabChain", chain);
        o.set("surfaceName", std::string(surfaceName()));
        o.set("surfaceDescription", std::string(surfaceDescription()));
        return o;
    }

    // The board openBoard last refused, as the teacher is told: what is wrong, what stays,
    // what to do.
    std::string cannotOpen() const { return cannotOpenMessage(lastFault_); }
    // A file the browser could not read (`why`: its error).
    std::string cannotRead(const std::string &why) const
    {
        return cannotOpenMessage({BoardError::Unreadable, -1, why});
    }
    // A board file the page could not write (`why`: the browser's error; `full`: its
    // storage is used up).
    std::string cannotSave(const std::string &why, bool full) const
    {
        return cannotSaveMessage(Saved::Board, full ? SaveProblem::DiskFull : SaveProblem::NotWritable,
                                 why);
    }

    // Everything the page brings in line after an action, in one call: the window's caption,
    // whether 終了 was clicked, what changed on the surface, each tool's state as one byte
    // in the order of tools() (1 enabled, 2 on; the form's buttons and pens among them), the
    // change counter and whether a gesture is in progress.
    val frame()
    {
        val o = val::object();
        o.set("caption", lesson_.form.Caption);
        o.set("endRequested", lesson_.form.endRequested);
        o.set("changes", takeChanges());
        std::vector<std::uint8_t> states;
        states.reserve(pr::tools().size());
        for (const Tool &t : pr::tools())
            states.push_back(std::uint8_t((toolEnabled(t, lesson_, context_) ? 1 : 0) |
                                          (toolChecked(t, lesson_, context_) ? 2 : 0)));
        o.set("tools", val::global("Uint8Array")
                           .new_(emscripten::typed_memory_view(states.size(), states.data()))
                           .call<val>("slice"));
        o.set("revision", revision());
        o.set("gesture", gestureInProgress());
        return o;
    }

    // The page's stroke raster: device pixels, and device pixels per logical surface pixel.
    void setRaster(int pixelWidth, int pixelHeight, double k) { raster_.setGeometry(pixelWidth, pixelHeight, k); }

    // The numbers of the raster's steps in takeChanges().raster.
    val rasterKinds() const
    {
        val o = val::object();
        using K = RasterOp::Kind;
        const std::pair<const char *, K> kinds[] = {
            {"make", K::Make},     {"drop", K::Drop}, {"keep", K::Keep},
            {"swap", K::Swap},     {"forget", K::Forget}, {"fill", K::Fill},
            {"endFill", K::EndFill}, {"segment", K::Segment}};
        for (const auto &[name, kind] : kinds)
            o.set(name, int(kind));
        return o;
    }

    // A pointer event on the surface and the frame after it: one call into the module per
    // event. kind: 0 press, 1 move, 2 release, 3 a press of a pen's eraser end.
    val pointer(int kind, int button, int shift, double x, double y)
    {
        if (context_.following)
            ; // the board is the teacher's
        else if (kind == 0 || kind == 3)
            pressWith(button, shift, x, y, kind == 3);
        else if (kind == 1)
            move(button, shift, x, y);
        else
            release(button, shift, x, y);
        return frame();
    }

    // What the window's own controls show now: its caption, which buttons are enabled,
    // which pen is selected, and whether 終了 was clicked.
    val state() const
    {
        const Form1 &f = lesson_.form;
        val o = val::object();
        o.set("caption", f.Caption);
        const CommandButton *buttons[4] = {&f.Command1, &f.Command2, &f.Command3, &f.Command4};
        val commands = val::array();
        for (const CommandButton *b : buttons)
            commands.call<void>("push", b->Enabled);
        o.set("commandsEnabled", commands);
        val enabled = val::array(), selected = val::array();
        for (const OptionButton &b : f.Option1) {
            enabled.call<void>("push", b.Enabled);
            selected.call<void>("push", b.Value);
        }
        o.set("optionsEnabled", enabled);
        o.set("optionsSelected", selected);
        o.set("endRequested", f.endRequested);
        return o;
    }

    // Every text the form can show, with the face it is shown in, as [text, face] pairs:
    // the window's caption, every control's caption, every label on the surface whether
    // shown now or not, and the line letters. The build makes the site's font subsets from this list, so that they
    // hold each glyph the lesson may need and no other.
    val texts() const
    {
        const Form1 &f = lesson_.form;
        val list = val::array();
        auto add = [&list](const std::string &text, FontRole role) {
            list.call<void>("push", pairOf(text, faceName(look::textStyle(role).face)));
        };
        add(f.Caption, FontRole::Default);
        add(f.Label1.Caption, f.Label1.Font);
        for (const WindowLabel &l : f.Label4)
            add(l.Caption, l.Font);
        for (const CommandButton *b : {&f.Command1, &f.Command2, &f.Command3, &f.Command4})
            add(b->Caption, b->Font);
        for (const OptionButton &b : f.Option1)
            add(b.Caption, FontRole::Default);
        for (const Label &l : f.Label2)
            add(l.Caption, l.Font);
        for (const Label &l : f.Label3)
            add(l.Caption, l.Font);
        for (int i = 0; i < kImageIdCount; ++i)
            list.call<void>("push", pairOf(look::letterGlyph(ImageId(i)).text,
                                           faceName(look::kLetterStyle.face)));
        for (const DrawItem &d : shown_.items)
            if (d.kind == DrawKind::Text || d.kind == DrawKind::Image)
                list.call<void>("push", pairOf(d.caption, faceName(d.text.face)));
        for (const Tool &t : pr::tools())
            add(t.caption + t.done, FontRole::Default);
        for (const ClassControl &c : pr::classControls())
            add(c.caption + c.confirm + c.done, FontRole::Default);
        // The aids' lengths and ratios, in the gothic.
        list.call<void>("push", pairOf("0123456789.:=–' ABCDEF", faceName(aids::kTextStyle.face)));
        for (const HelpItem &i : pr::usage())
            add(i.what + i.how, FontRole::Default);
        for (const KeyHelp &k : pr::keyHelp(FrontEnd::Web))
            add(k.keys + k.what, FontRole::Default);
        for (const char *problem : {"storageOff", "storageFull", "other"})
            add(keepNotice(problem, {}), FontRole::Default);
        add(damagedBoardNotice({}), FontRole::Default);
        for (int e = 0; e <= int(BoardError::NoLastBoard); ++e)
            add(cannotOpenMessage({BoardError(e), 1234567890, "PNG"}), FontRole::Default);
        for (SaveProblem p : {SaveProblem::NotWritable, SaveProblem::DiskFull})
            add(cannotSaveMessage(Saved::Board, p, {}), FontRole::Default);
        return list;
    }

    // The notice when the board cannot be kept (problem: storageOff, storageFull, other) and
    // when a damaged kept board was set aside under `where`.
    std::string keepNotice(const std::string &problem, const std::string &detail) const
    {
        const KeepProblem p = problem == "storageOff"    ? KeepProblem::StorageOff
                              : problem == "storageFull" ? KeepProblem::StorageFull
                                                         : KeepProblem::Other;
        return pr::keepNotice(p, detail);
    }
    std::string damagedNotice(const std::string &where) const
    {
        return pr::damagedBoardNotice(where);
    }

    // The whole draw list as last handed over: its boxes and every slot, back to front.
    val drawList() const
    {
        const DrawList &d = shown_;
        val o = val::object();
        o.set("outer", box(d.outer));
        o.set("clip", box(d.clip));
        o.set("firstElement", DrawList::kFirstElement);
        val items = val::array();
        for (const DrawItem &i : d.items)
            items.call<void>("push", val(i));
        o.set("items", items);
        return o;
    }

    // What the last actions changed: the stroke raster's steps and the pixels they changed
    // (null if none), the changed slots as [index, item] pairs, and the area those slots
    // need repainted (null if none).
    val takeChanges()
    {
        val o = val::object();
        const std::vector<RasterOp> steps = raster_.take();
        const RasterRect rasterArea = raster_.takeDirty();
        DrawList now = DrawList::build(lesson_.form, palette_);
        const Box area = DrawList::changedArea(shown_, now);
        o.set("raster", rasterOps(steps));
        o.set("rasterBack", look::paint(palette_, raster_.background()));
        o.set("rasterArea", rasterArea.empty()
                                ? val::null()
                                : box(Box{double(rasterArea.x), double(rasterArea.y),
                                          double(rasterArea.w), double(rasterArea.h)}));
        // Every differing slot, even one wholly off the surface, so the page's copy stays equal.
        val slots = val::array();
        for (std::size_t i = 0; i < now.items.size(); ++i) {
            if (i < shown_.items.size() && shown_.items[i] == now.items[i])
                continue;
            val pair = val::array();
            pair.call<void>("push", i);
            pair.call<void>("push", val(now.items[i]));
            slots.call<void>("push", pair);
        }
        shown_ = std::move(now);
        o.set("slots", slots);
        o.set("area", area.isEmpty() ? val::null() : box(area));
        return o;
    }

private:
    static live::Action commandAction(live::Action::Kind kind, int index = 0)
    {
        live::Action a;
        a.kind = kind;
        a.index = index;
        return a;
    }
    static live::Action pointerAction(live::Action::Kind kind, int button, int shift, double x,
                                double y)
    {
        live::Action a;
        a.kind = kind;
        a.button = std::int16_t(button);
        a.shift = std::int16_t(shift);
        a.x = x;
        a.y = y;
        return a;
    }
    void act(const live::Action &a) { outbox_.act(lesson_, a); }
    bool recorded(bool done, live::Action::Kind kind)
    {
        if (done)
            outbox_.record(commandAction(kind));
        return done;
    }

    StrokeRaster raster_; // declared before the lesson: the form points at it while it lives
    Lesson lesson_;
    DrawList shown_; // the list as last handed over: the page's copy of the surface
    BoardFault lastFault_; // why openBoard last refused a board (none if it opened)
    ToolContext context_;
    look::Palette palette_ = look::Palette::Lesson;
    std::vector<svg::Options::EmbeddedFace> faces_; // carried by the SVG (embedFace)
    live::Outbox outbox_;
    std::optional<live::Follower> follower_;
    bool exploring_ = false; // the follower hands over controls alone
    std::optional<live::Message> handOut_;
};

EMSCRIPTEN_BINDINGS(parallel_ratio)
{
    using emscripten::value_object;
    value_object<Box>("Box").field("x", &Box::x).field("y", &Box::y).field("w", &Box::w).field(
        "h", &Box::h);
    value_object<look::TextStyle>("TextStyle")
        .field("face", &styleFace, &readOnly<look::TextStyle, std::string>)
        .field("pixelSize", &look::TextStyle::pixelSize)
        .field("bold", &look::TextStyle::bold);
    // Every field of every item; a field its kind does not use keeps its default.
    value_object<DrawItem>("DrawItem")
        .field("kind", &itemKind, &readOnly<DrawItem, std::string>)
        .field("clipped", &DrawItem::clipped)
        .field("roundEnds", &DrawItem::roundEnds)
        .field("colour", &DrawItem::colour)
        .field("back", &DrawItem::back)
        .field("x1", &DrawItem::x1)
        .field("y1", &DrawItem::y1)
        .field("x2", &DrawItem::x2)
        .field("y2", &DrawItem::y2)
        .field("x3", &DrawItem::x3)
        .field("y3", &DrawItem::y3)
        .field("alpha", &itemAlpha, &readOnly<DrawItem, int>)
        .field("box", &DrawItem::box)
        .field("width", &DrawItem::width)
        .field("style", &DrawItem::text)
        .field("caption", &DrawItem::caption)
        .field("image", &itemImage, &readOnly<DrawItem, int>)
        .field("bounds", &itemBounds, &readOnly<DrawItem, Box>);

    emscripten::class_<PageLesson>("Lesson")
        .constructor<>()
        .function("clickCommand", &PageLesson::clickCommand)
        .function("clickOption", &PageLesson::clickOption)
        .function("press", &PageLesson::press)
        .function("move", &PageLesson::move)
        .function("release", &PageLesson::release)
        .function("pointLabelAt", &PageLesson::pointLabelAt)
        .function("undo", &PageLesson::undo)
        .function("redo", &PageLesson::redo)
        .function("clearWriting", &PageLesson::clearWriting)
        .function("toggleRatios", &PageLesson::toggleRatios)
        .function("toggleTriangles", &PageLesson::toggleTriangles)
        .function("canUndo", &PageLesson::canUndo)
        .function("canRedo", &PageLesson::canRedo)
        .function("hasWriting", &PageLesson::hasWriting)
        .function("gestureInProgress", &PageLesson::gestureInProgress)
        .function("revision", &PageLesson::revision)
        .function("board", &PageLesson::board)
        .function("openBoard", &PageLesson::openBoard)
        .function("checkBoard", &PageLesson::checkBoard)
        .function("boardFileType", &PageLesson::boardFileType)
        .function("boardFileExtension", &PageLesson::boardFileExtension)
        .function("boardSvg", &PageLesson::boardSvg)
        .function("boardSvgIn", &PageLesson::boardSvgIn)
        .function("embedFace", &PageLesson::embedFace)
        .function("setPalette", &PageLesson::setPalette)
        .function("boardPictureTitle", &PageLesson::boardPictureTitle)
        .function("convertOldBoard", &PageLesson::convertOldBoard)
        .function("design", &PageLesson::design)
        .function("layoutAt",
                  emscripten::select_overload<val(int, int, double, bool) const>(&PageLesson::layoutAt))
        .function("layoutAt", emscripten::select_overload<val(int, int, double, bool, bool) const>(
                                  &PageLesson::layoutAt))
        .function("layoutAt",
                  emscripten::select_overload<val(int, int, double, bool, bool, bool) const>(
                      &PageLesson::layoutAt))
        .function("tools", &PageLesson::tools)
        .function("classControls", &PageLesson::classControls)
        .function("toolForKey", &PageLesson::toolForKey)
        .function("setToolContext", &PageLesson::setToolContext)
        .function("keyHelp", &PageLesson::keyHelp)
        .function("usage", &PageLesson::usage)
        .function("access", &PageLesson::access)
        .function("cannotOpen", &PageLesson::cannotOpen)
        .function("cannotSave", &PageLesson::cannotSave)
        .function("cannotRead", &PageLesson::cannotRead)
        .function("frame", &PageLesson::frame)
        .function("pointer", &PageLesson::pointer)
        .function("setRaster", &PageLesson::setRaster)
        .function("rasterKinds", &PageLesson::rasterKinds)
        .function("state", &PageLesson::state)
        .function("drawList", &PageLesson::drawList)
        .function("takeChanges", &PageLesson::takeChanges)
        .function("texts", &PageLesson::texts)
        .function("keepNotice", &PageLesson::keepNotice)
        .function("damagedNotice", &PageLesson::damagedNotice)
        .function("liveRecord", &PageLesson::liveRecord)
        .function("liveRecordFrom", &PageLesson::liveRecordFrom)
        .function("liveTake", &PageLesson::liveTake)
        .function("liveSnapshotWanted", &PageLesson::liveSnapshotWanted)
        .function("liveSnapshot", &PageLesson::liveSnapshot)
        .class_function("liveSubject", &PageLesson::liveSubject)
        .function("liveFollow", &PageLesson::liveFollow)
        .function("liveUnfollow", &PageLesson::liveUnfollow)
        .function("liveExplore", &PageLesson::liveExplore)
        .function("liveControl", &PageLesson::liveControl)
        .function("liveReceive", &PageLesson::liveReceive)
        .function("liveTakeHandOut", &PageLesson::liveTakeHandOut)
        .function("liveCounts", &PageLesson::liveCounts);
}

} // namespace pr::web
