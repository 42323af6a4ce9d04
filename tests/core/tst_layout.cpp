// Where the form and the tools go at the window sizes classrooms have, and the table of tools
// the front ends build their buttons and keys from.
#include "form/Form1.h"
#include "layout/WindowLayout.h"
#include "lesson/Lesson.h"
#include "tools/Access.h"
#include "tools/Tools.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

using namespace pr;

namespace {

bool overlap(const PixelRect &a, const PixelRect &b)
{
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

struct Case {
    int w, h;
    double dpr;
    ToolsAt at;
    std::size_t shown; // buttons shown on the desktop, その他 included
};

// An XGA projector, an iPad both ways, Full HD and 4K, a small laptop at 125 %, a netbook, a
// window of the form's own proportions ...
// ... and the narrowest window of 768 px's height with the full-size column, and one less.
const Case kCases[] = {
    {811, 702, 1, ToolsAt::Keys, 0},      {820, 712, 1, ToolsAt::Keys, 0},
    {947, 702, 1, ToolsAt::Strip, 10},    {1037, 768, 1, ToolsAt::Beside, 15},
    {1036, 768, 1, ToolsAt::Strip, 15},
    {1024, 768, 1, ToolsAt::Strip, 15},   {1180, 820, 2, ToolsAt::Beside, 15},
    {1920, 1080, 1, ToolsAt::Beside, 15}, {3840, 2160, 2, ToolsAt::Beside, 15},
    {1366, 768, 1.25, ToolsAt::Beside, 15}, {1280, 800, 1.5, ToolsAt::Beside, 15},
    {640, 480, 1, ToolsAt::Strip, 7},     {820, 1180, 2, ToolsAt::Row, 15},
    {768, 1024, 1, ToolsAt::Row, 15},     {480, 640, 1, ToolsAt::Row, 7},
    {900, 702, 1.5, ToolsAt::Strip, 10},
};

} // namespace

TEST_CASE("the form fills the window as without tools, and the tools take the room it leaves")
{
    for (const Case &c : kCases) {
        // The web edition where the device has a share sheet, and where not, as the desktop.
        for (bool share : {false, true}) {
            CAPTURE(c.w);
            CAPTURE(c.h);
            CAPTURE(c.dpr);
            const std::vector<const Tool *> strip = stripTools(FrontEnd::Web, share);
            const WindowLayout g(c.w, c.h, c.dpr, strip);
            CHECK(g.scale() == doctest::Approx(std::min(c.w / 811.0, c.h / 702.0)));
            if (!share)
                CHECK(g.toolsAt() == c.at);
            const PixelRect form = g.place(0, 0, 811 * 15, 702 * 15);
            CHECK(form.x >= 0);
            CHECK(form.right() <= c.w);
            // Edges on whole device pixels where whole logical ones allow it.
            CHECK(form.x % g.step() == 0);
            CHECK(std::fmod(form.x * c.dpr, 1.0) == 0);
            if (share && g.toolsAt() != c.at)
                continue; // one tool more may need a smaller kind of strip
            if (c.at == ToolsAt::Keys) {
                CHECK(g.buttons().empty());
                continue;
            }
            if (!share) {
                CHECK(g.buttons().size() == c.shown);
                CHECK(stripTools(FrontEnd::Web, false).size() == stripTools(FrontEnd::Desktop).size());
            }
            // Every tool of the strip reachable: on a button or in その他's menu.
            std::set<const Tool *> reachable(g.menu().begin(), g.menu().end());
            for (const ToolButtonPlace &b : g.buttons()) {
                reachable.insert(b.tool);
                CHECK(b.box.w >= WindowLayout::kTarget);
                CHECK(b.box.h >= WindowLayout::kTarget);
                CHECK(b.box.x >= 0);
                CHECK(b.box.y >= 0);
                CHECK(b.box.right() <= c.w);
                CHECK(b.box.bottom() <= c.h);
                CHECK_FALSE(overlap(b.box, form));
                for (const ToolButtonPlace &o : g.buttons())
                    CHECK((&o == &b || !overlap(o.box, b.box)));
            }
            for (const Tool *t : strip)
                CHECK(reachable.count(t) == 1);
            CHECK(reachable.count(&tool(ToolId::More)) == !g.menu().empty());
            // Form and tools centred together.
            const PixelRect area = g.toolArea();
            const int left = std::min(form.x, area.x), top = std::min(form.y, area.y);
            const int right = std::max(form.right(), area.right());
            const int bottom = std::max(form.bottom(), area.bottom());
            if (c.at == ToolsAt::Row)
                CHECK(std::abs(top - (c.h - bottom)) <= g.step() + 1);
            else
                CHECK(std::abs(left - (c.w - right)) <= g.step() + 1);
        }
    }
}

TEST_CASE("controls are placed from their twips, with shared edges shared")
{
    const WindowLayout one(811, 702, 1, FrontEnd::Web);
    CHECK(one.place(120, 720, 11895, 9615) == PixelRect{8, 48, 793, 641});
    CHECK(one.fontPixels(12) == 12);
    const WindowLayout g(1622 + 50, 1404, 1, FrontEnd::Desktop);
    CHECK(g.scale() == 2.0);
    CHECK(g.toolsAt() == ToolsAt::Keys); // 50 px to spare: no strip of 44 px buttons fits
    CHECK(g.place(120, 720, 11895, 9615) == PixelRect{41, 96, 1586, 1282});
    const PixelRect a = g.place(100, 100, 333, 77), b = g.place(433, 100, 200, 77);
    CHECK(a.right() == b.x);
}

TEST_CASE("each pen takes a press on its own box of at least 24 x 24 px around it")
{
    const Form1 form;
    // The design size, and an iPad's screen with the page added to its home screen.
    for (const std::pair<int, int> &size : {std::pair{811, 702}, std::pair{1024, 768}}) {
        const int w = size.first, h = size.second; // not bindings: a capture cannot take those
        CAPTURE(w);
        const WindowLayout g(w, h, 2, FrontEnd::Web);
        for (int i = 0; i < 8; ++i) {
            CAPTURE(i);
            const OptionButton &o = form.Option1[i];
            const PixelRect hit = g.place(optionHitArea(form, i));
            const PixelRect shown = g.place(o.Left, o.Top, o.Width, o.Height);
            CHECK(hit.w >= 24);
            CHECK(hit.h >= 24);
            CHECK(hit.contains(shown.x + 8, shown.y + shown.h / 2)); // its circle
            CHECK(g.optionAt(form, hit.x, hit.y) == i);
            CHECK(g.optionAt(form, hit.right() - 1, hit.bottom() - 1) == i);
            for (int j = 0; j < i; ++j)
                CHECK_FALSE(overlap(hit, g.place(optionHitArea(form, j))));
        }
        // Above the thick red pen, at the window's edge: still that pen; on 終了, on the
        // surface and on メモ: none.
        const PixelRect thickRed = g.place(form.Option1[4].Left, 0, 1, 1);
        CHECK(g.optionAt(form, thickRed.x + 2, thickRed.y) == 4);
        for (const CommandButton *b : {&form.Command2, &form.Command3})
            CHECK(g.optionAt(form, g.place(b->Left, b->Top, b->Width, b->Height).x + 2,
                             g.place(b->Left, b->Top, b->Width, b->Height).y + 2) == -1);
        const PixelRect surface = g.place(form.gamen.Left, form.gamen.Top, 15, 15);
        CHECK(g.optionAt(form, surface.x + 1, surface.y) == -1);
    }
}

TEST_CASE("a touch screen's strip has the pens after the first group, as fingertip buttons")
{
    struct Touch {
        int w, h;
        ToolsAt at;
        bool pens;
    };
    // An iPad both ways, a touch panel large enough for the full-size column, a phone-sized
    // window where the pens leave no room for その他.
    for (const Touch &c : {Touch{1024, 768, ToolsAt::Strip, true}, Touch{768, 1024, ToolsAt::Row, true},
                           Touch{3840, 2160, ToolsAt::Beside, false}, Touch{640, 480, ToolsAt::Strip, false}}) {
        CAPTURE(c.w);
        const WindowLayout g(c.w, c.h, 1, stripTools(FrontEnd::Web, false, true, true));
        CHECK(g.toolsAt() == c.at);
        std::vector<int> pens;
        for (const ToolButtonPlace &b : g.buttons())
            if (b.tool->id == ToolId::Pen) {
                pens.push_back(b.tool->index);
                CHECK(b.box.w == 44);
                CHECK(b.box.h == 44);
            }
        if (!c.pens) {
            CHECK(pens.empty());
            continue;
        }
        CHECK(pens == std::vector<int>{4, 5, 6, 7, 0, 1, 2, 3}); // the keys' order
        CHECK(g.buttons()[3].tool->id == ToolId::Pen);            // after 元に戻す … 消す
        CHECK(toolIconSvg(penTool(5), "#000").find("#ffff00") != std::string::npos);
    }
    CHECK(stripTools(FrontEnd::Desktop, false, true, true).size() ==
          stripTools(FrontEnd::Desktop).size() + 8);
}

TEST_CASE("a tool's focus ring stays in the gap to the next button")
{
    std::vector<Case> cases(std::begin(kCases), std::end(kCases));
    cases.push_back({1700, 1404, 2, ToolsAt::Strip, 13}); // a strip beside a form at scale 2
    for (const Case &c : cases) {
        CAPTURE(c.w);
        CAPTURE(c.h);
        const WindowLayout g(c.w, c.h, c.dpr, FrontEnd::Desktop);
        CHECK(g.toolsAt() == c.at);
        const FocusRing ring = g.toolFocusRing();
        CHECK(ring.width >= 1);
        const auto &b = g.buttons();
        for (std::size_t i = 1; i < b.size(); ++i) {
            const int apart = g.toolsAt() == ToolsAt::Row ? b[i].box.x - b[i - 1].box.right()
                                                          : b[i].box.y - b[i - 1].box.bottom();
            CHECK(ring.gap + ring.width <= apart);
        }
    }
}

TEST_CASE("the captions of the large buttons fit their buttons")
{
    for (double s : {1.0, 1.5, 2.0, 3.0}) {
        const WindowLayout g(int(2000 * s), int(768 * s), 1, FrontEnd::Desktop);
        REQUIRE(g.toolsAt() == ToolsAt::Beside);
        for (const ToolButtonPlace &b : g.buttons()) {
            const double ems = double(std::count_if(b.tool->caption.begin(), b.tool->caption.end(),
                                                    [](char ch) { return (ch & 0xC0) != 0x80; }));
            CHECK(ems * g.captionPixels() <= b.box.w);
        }
        CHECK(g.captionPixels() >= int(14 * s));
    }
}

TEST_CASE("one table of tools: every key does one thing, none is a browser's own")
{
    // Keys the browsers keep for themselves, or that quit one.
    // Keys a browser keeps for itself, or acts on before a page can stop it, in Chromium,
    // Firefox or WebKit.
    const std::set<std::string> browsers = {"Ctrl+W", "Ctrl+T", "Ctrl+N", "Ctrl+Q", "Ctrl+R",
                                            "Ctrl+L", "Ctrl+Shift+T", "Ctrl+Shift+N",
                                            "Ctrl+Shift+W", "Ctrl+Shift+R"};
    for (FrontEnd fe : {FrontEnd::Desktop, FrontEnd::Web}) {
        std::set<std::string> seen;
        for (const Tool &t : tools()) {
            CAPTURE(t.name);
            CHECK_FALSE(t.caption.empty());
            CHECK_FALSE(t.name.empty());
            CHECK_FALSE(t.description.empty());
            if (t.group >= 0 || t.id == ToolId::More)
                CHECK(toolIconSvg(t, "#000").find("<path d=\"M") != std::string::npos);
            if (!offeredOn(t.offered, fe))
                continue;
            for (const Key &k : t.keys) {
                if (!offeredOn(k.where, fe))
                    continue;
                CHECK(seen.insert(k.text()).second);
                if (fe == FrontEnd::Web)
                    CHECK(browsers.count(k.text()) == 0);
                // The key finds its tool, a letter in either case.
                std::string lower(k.key);
                if (lower.size() == 1)
                    lower[0] = char(std::tolower(static_cast<unsigned char>(lower[0])));
                CHECK(toolForKey(k.mods, lower, fe) == &t);
            }
        }
        // The help lists every key of the strip.
        std::string help;
        for (const KeyHelp &k : keyHelp(fe))
            help += k.keys + ",";
        for (const Tool *t : stripTools(fe))
            if (const Key *k = shownKey(*t, fe))
                CHECK(help.find(k->text() + ",") != std::string::npos);
    }
    CHECK(toolForKey(Key::Ctrl, "q", FrontEnd::Desktop) == &tool(ToolId::End));
    CHECK(toolForKey(Key::Ctrl, "q", FrontEnd::Web) == nullptr);
    CHECK(toolForKey(0, "4", FrontEnd::Web) == &penTool(7)); // the upper row's eraser
    CHECK(stripTools(FrontEnd::Desktop).size() + 1 == stripTools(FrontEnd::Web, true).size()); // 共有
}

TEST_CASE("a tool is enabled and on as the lesson and the window are")
{
    Lesson lesson;
    lesson.Form_Load();
    const ToolContext none{false, false, false};
    CHECK_FALSE(toolEnabled(tool(ToolId::Undo), lesson, none));
    CHECK_FALSE(toolEnabled(tool(ToolId::Restore), lesson, none));
    CHECK(toolEnabled(tool(ToolId::Restore), lesson, {true, false, false}));
    lesson.clickCommand(3); // メモ
    CHECK(toolChecked(tool(ToolId::Memo), lesson, none));
    CHECK(toolEnabled(penTool(0), lesson, none));
    lesson.press(1, 0, 100, 100);
    lesson.move(1, 0, 150, 120);
    CHECK_FALSE(toolEnabled(tool(ToolId::ClearWriting), lesson, none)); // not mid-stroke
    lesson.release(1, 0, 150, 120);
    CHECK(toolEnabled(tool(ToolId::ClearWriting), lesson, none));
    CHECK(toolEnabled(tool(ToolId::Undo), lesson, none));
    CHECK(toolChecked(tool(ToolId::LargePointer), lesson, {true, true, false}));
    // Following the teacher's board in a class: nothing that changes the board, the rest as
    // before.
    ToolContext following = none;
    following.following = true;
    for (const Tool &t : tools())
        if (toolEnabled(t, lesson, none))
            CHECK(toolEnabled(t, lesson, following) == !changesBoard(t.id));
    CHECK(changesBoard(ToolId::Undo));
    CHECK_FALSE(changesBoard(ToolId::SaveImage));
    // The form's controls keep their own captions.
    CHECK(commandTool(1).caption == lesson.form.Command1.Caption);
    CHECK(commandTool(4).caption == lesson.form.Command4.Caption);
    for (int i = 0; i < 8; ++i)
        CHECK(penTool(i).caption == lesson.form.Option1[i].Caption);
}

TEST_CASE("Tab visits the form's controls left to right, each once, and the ring stays visible")
{
    // Left to right on screen: the form's design puts 初期画面 leftmost and 終了 rightmost.
    const Form1 f;
    const CommandButton *commands[] = {&f.Command1, &f.Command2, &f.Command3, &f.Command4};
    std::set<std::pair<int, int>> seen;
    std::vector<int> commandLefts;
    for (FormControl c : kTabChain) {
        CHECK(seen.insert({int(c.id), c.index}).second);
        if (c.id != ToolId::Pen)
            commandLefts.push_back(commands[c.index - 1]->Left);
    }
    CHECK(seen.insert({int(kTabChainEnd.id), kTabChainEnd.index}).second);
    CHECK(seen.size() == 12); // four buttons, eight pens
    commandLefts.push_back(commands[kTabChainEnd.index - 1]->Left);
    CHECK(std::is_sorted(commandLefts.begin(), commandLefts.end()));

    const struct {
        double scale;
        int width, gap;
    } rings[] = {{1, 3, 1}, {0.4, 2, 1}, {2, 6, 2}, {std::nan(""), 3, 1}, {-1, 3, 1}};
    for (const auto &r : rings) {
        CAPTURE(r.scale);
        CHECK(focusRing(r.scale).width == r.width);
        CHECK(focusRing(r.scale).gap == r.gap);
    }
}

TEST_CASE("every control of a class's bar is in the table once, the teacher's first")
{
    bool pupils = false;
    for (const ClassControl &c : classControls()) {
        CAPTURE(c.caption);
        CHECK(&classControl(c.id) == &c);
        CHECK_FALSE(c.caption.empty());
        CHECK_FALSE(c.description.empty());
        const bool teacherAfterPupils = pupils && c.teacher;
        CHECK_FALSE(teacherAfterPupils);
        pupils = pupils || !c.teacher;
    }
    for (ClassControlId id : {ClassControlId::HandOut, ClassControlId::AllFollow,
                              ClassControlId::EndClass, ClassControlId::Follow,
                              ClassControlId::Explore})
        CHECK(classControl(id).id == id);
    // Ending a class asks twice; nothing else does.
    CHECK_FALSE(classControl(ClassControlId::EndClass).confirm.empty());
}
