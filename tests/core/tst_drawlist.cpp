// The draw list: what the surface shows, back to front, in the one look every front end
// shares, and the area to repaint when the form changes.
#include "draw/Aids.h"
#include "draw/DrawList.h"
#include "draw/Look.h"
#include "form/QBColor.h"
#include "form/Stacking.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>

using namespace pr;

// So that a failed comparison shows the boxes.
template <> struct doctest::StringMaker<Box> {
    static doctest::String convert(const Box &b)
    {
        std::ostringstream s;
        s << "(" << b.x << ", " << b.y << ", " << b.w << " x " << b.h << ")";
        return s.str().c_str();
    }
};

namespace {

constexpr std::size_t kElements = kStackingFrontToBack.size();

// The slot of an element: elements follow the border, backmost first.
std::size_t slotOf(ElementKind kind, int index)
{
    const std::size_t slot = DrawList::slotOf(kind, index);
    if (slot == 0)
        FAIL("no such element");
    return slot;
}

// The slot whose text reads `caption`, or the list's size.
std::size_t slotOfCaption(const DrawList &list, const std::string &caption)
{
    for (std::size_t i = 0; i < list.items.size(); ++i)
        if (list.items[i].kind == DrawKind::Text && list.items[i].caption == caption)
            return i;
    return list.items.size();
}

Box boxOf(float left, float top, float width, float height) { return {left, top, width, height}; }

// Whether an item shows a line, a label, a letter or the cursor with the form's properties.
std::string depicts(const DrawItem &d, const Line &l)
{
    if (d.kind != DrawKind::Segment)
        return "not a segment";
    if (!(d.x1 == l.X1 && d.y1 == l.Y1 && d.x2 == l.X2 && d.y2 == l.Y2))
        return "not the line's ends";
    return d.colour == l.BorderColor ? "" : "not the line's colour";
}

std::string depicts(const DrawItem &d, const Label &l)
{
    if (!l.Visible)
        return d.kind == DrawKind::None ? "" : "a hidden label shows";
    if (d.kind != DrawKind::Text)
        return "not a text";
    if (!(d.box == boxOf(l.Left, l.Top, l.Width, l.Height)))
        return "not the label's box";
    if (d.caption != l.Caption || d.colour != l.ForeColor || d.back != l.BackColor)
        return "not the label's caption or colours";
    return d.text == look::textStyle(l.Font) ? "" : "not the label's font";
}

std::string depicts(const DrawItem &d, const Image &i)
{
    if (d.kind != DrawKind::Image)
        return "not an image";
    if (!(d.box == boxOf(i.Left, i.Top, i.Width, i.Height)))
        return "not the image's box";
    if (d.image != i.Picture)
        return "not the image's bitmap";
    // The same letter as an outline, where a front end has the face: the bitmap's letter,
    // white, its pen origin inside the box, on a box as green as the surface around it.
    static const char *const letters[kImageIdCount] = {"\xE2\x84\x93", "m", "p", "q", "r"};
    if (d.caption != letters[int(i.Picture)] || d.text != look::kLetterStyle)
        return "not the bitmap's letter in the letters' face";
    if (!(d.x1 > d.box.x && d.x1 < d.box.right() && d.y1 > d.box.y && d.y1 < d.box.bottom()))
        return "the letter's origin lies outside its box";
    return d.colour == QBColor(15) && d.back == QBColor(2) ? "" : "not white on the green";
}

std::string depicts(const DrawItem &d, const Shape &s)
{
    if (!s.Visible)
        return d.kind == DrawKind::None ? "" : "a hidden cursor shows";
    if (d.kind != DrawKind::Outline)
        return "not an outline";
    if (!(d.box == boxOf(s.Left, s.Top, s.Width, s.Height)))
        return "not the cursor's box";
    return d.colour == look::kEraserOutline && d.width == look::strokeWidth(s.BorderWidth)
               ? ""
               : "not the cursor's outline";
}

std::string depicts(const DrawItem &d, const Form1 &f, ElementRef r)
{
    switch (r.kind) {
    case ElementKind::Line1:
        return depicts(d, f.Line1[r.index]);
    case ElementKind::Line2:
        return depicts(d, f.Line2[r.index]);
    case ElementKind::Line3:
        return depicts(d, f.Line3[r.index]);
    case ElementKind::Line4:
        return depicts(d, f.Line4[r.index]);
    case ElementKind::Label2:
        return depicts(d, f.Label2[r.index]);
    case ElementKind::Label3:
        return depicts(d, f.Label3[r.index]);
    case ElementKind::Image1:
        return depicts(d, f.Image1[r.index]);
    case ElementKind::Shape1:
        return depicts(d, f.Shape1);
    }
    return "unknown element";
}

// Every element slot shows its element, in stacking order from the back.
void checkEveryElement(const DrawList &list, const Form1 &f)
{
    REQUIRE(list.items.size() == DrawList::kFirstElement + kElements + aids::kSlots);
    for (std::size_t p = 0; p < kElements; ++p) {
        const std::size_t slot =
            DrawList::slotOf(kStackingFrontToBack[p].kind, kStackingFrontToBack[p].index);
        CAPTURE(slot);
        CAPTURE(int(kStackingFrontToBack[p].kind));
        CAPTURE(kStackingFrontToBack[p].index);
        const std::string wrong = depicts(list.items[slot], f, kStackingFrontToBack[p]);
        CHECK_MESSAGE(wrong.empty(), wrong);
    }
}

// The colour the border paints at a pixel (the last of its fills covering the pixel's
// centre), or nothing.
std::optional<Rgb> borderAt(const DrawList &list, int px, int py)
{
    std::optional<Rgb> colour;
    for (std::size_t i = 1; i < DrawList::kFirstElement; ++i) {
        const Box &b = list.items[i].box;
        if (b.x <= px + 0.5 && px + 0.5 < b.right() && b.y <= py + 0.5 && py + 0.5 < b.bottom())
            colour = list.items[i].colour;
    }
    return colour;
}

// The area that repaints the slots given, as they were and as they are.
Box areaOfSlots(const DrawList &before, const DrawList &after,
                std::initializer_list<std::size_t> slots)
{
    Box area;
    for (std::size_t s : slots)
        area = area.united(before.items[s].bounds()).united(after.items[s].bounds());
    return area.intersected(after.outer);
}

bool contains(const Box &outer, const Box &inner)
{
    return outer.x <= inner.x && outer.y <= inner.y && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

} // namespace

TEST_SUITE_BEGIN("draw list");

// --- the initial screen ---------------------------------------------------------------------
TEST_CASE("initialScreenItems")
{
    const Lesson l = loadedLesson();
    const Form1 &f = l.form;
    const DrawList list = DrawList::build(f);

    CHECK(list.outer == Box{-PictureBox::kBorder, -PictureBox::kBorder, PictureBox::kOuterWidth,
                            PictureBox::kOuterHeight});
    CHECK(list.clip == Box{0, 0, PictureBox::kInnerWidth, PictureBox::kInnerHeight});

    REQUIRE(list.items.size() == DrawList::kFirstElement + kElements + aids::kSlots);
    const DrawItem &layer = list.items[0];
    CHECK(layer.kind == DrawKind::StrokeLayer);
    CHECK(layer.colour == f.gamen.BackColor);
    CHECK(layer.box == list.outer);
    for (std::size_t i = 1; i < DrawList::kFrameEnd; ++i) {
        CAPTURE(i);
        CHECK(list.items[i].kind == DrawKind::Fill);
        CHECK(!list.items[i].clipped); // the border lies outside the inner area
    }
    // The aids are off: their slots show nothing.
    std::vector<std::size_t> aidSlots;
    for (std::size_t k = 0; k < DrawList::kTriangleSlots; ++k)
        aidSlots.push_back(DrawList::kFirstTriangle + k);
    const std::size_t elementsEnd = list.items.size() - aids::kTextSlots - aids::kArcSlots;
    for (std::size_t i = elementsEnd; i < list.items.size(); ++i)
        aidSlots.push_back(i);
    for (std::size_t i : aidSlots)
        CHECK(list.items[i].kind == DrawKind::None);
    const auto isAid = [&](std::size_t i) {
        return std::find(aidSlots.begin(), aidSlots.end(), i) != aidSlots.end();
    };

    // One slot per element: a segment per line, a text per label shown, an image per letter,
    // and the cursor, hidden for now.
    int segments = 0, texts = 0, images = 0, none = 0, other = 0;
    for (std::size_t i = DrawList::kFirstElement; i < elementsEnd; ++i) {
        if (isAid(i))
            continue;
        const DrawItem &d = list.items[i];
        segments += d.kind == DrawKind::Segment;
        texts += d.kind == DrawKind::Text;
        images += d.kind == DrawKind::Image;
        none += d.kind == DrawKind::None;
        other += d.kind == DrawKind::StrokeLayer || d.kind == DrawKind::Fill ||
                 d.kind == DrawKind::Outline;
        CAPTURE(i);
        CHECK(d.clipped == (d.kind != DrawKind::None)); // every element is cut to the inner area
    }
    CHECK(segments == int(f.Line1.size + f.Line2.size + f.Line3.size + f.Line4.size));
    CHECK(texts == int(f.Label2.size + f.Label3.size));
    CHECK(images == int(f.Image1.size));
    CHECK(none == 1);
    CHECK(other == 0);

    checkEveryElement(list, f);
}

TEST_CASE("theEraserCursorIsFrontmost")
{
    Lesson l = loadedLesson();
    const Form1 &f = l.form;
    const std::size_t last = DrawList::kFirstElement + kElements + DrawList::kTriangleSlots - 1;
    CHECK(slotOf(ElementKind::Shape1, 0) == last);
    CHECK(DrawList::build(f).items[last].kind == DrawKind::None); // hidden

    l.clickCommand(3);
    l.clickOption(7);
    l.move(0, 0, 300, 300);
    DrawList list = DrawList::build(f);
    REQUIRE(list.items.size() == last + 1 + aids::kTextSlots + aids::kArcSlots);
    const DrawItem &cursor = list.items[last];
    CHECK(cursor.kind == DrawKind::Outline);
    CHECK(cursor.box == boxOf(f.Shape1.Left, f.Shape1.Top, f.Shape1.Width, f.Shape1.Height));
    CHECK(cursor.box.w == 25.0); // the thick eraser's footprint
    CHECK(cursor.width == look::strokeWidth(f.Shape1.BorderWidth));
    CHECK(cursor.colour == look::kEraserOutline);
    checkEveryElement(list, f);

    l.clickCommand(3);
    CHECK(DrawList::build(f).items.back().kind == DrawKind::None);
}

TEST_CASE("theCopysLabelsLieBeneathThePointLabels")
{
    const Lesson l = loadedLesson();
    const DrawList list = DrawList::build(l.form);
    const struct {
        const char *copy, *point;
    } pairs[] = {{"Ｄ", "Ａ"}, {"Ｅ", "Ｂ"}, {"Ｆ", "Ｃ"}};
    for (const auto &p : pairs) {
        INFO(std::string(p.copy));
        const std::size_t under = slotOfCaption(list, p.copy),
                          over = slotOfCaption(list, p.point);
        REQUIRE(under < list.items.size()); // present, as text
        REQUIRE(over < list.items.size());
        CHECK(under < over);
        // Exactly beneath: the same top-left corner (each box is as wide as its letter).
        CHECK(list.items[under].box.x == list.items[over].box.x);
        CHECK(list.items[under].box.y == list.items[over].box.y);
        CHECK(list.items[under].colour == rgb(255, 0, 0));
        CHECK(list.items[over].colour == rgb(255, 255, 255));
    }
    // Ｇ is shown too, parked above the surface.
    const std::size_t g = slotOfCaption(list, "Ｇ");
    REQUIRE(g < list.items.size());
    CHECK(!list.items[g].box.intersects(list.clip));
}

TEST_CASE("fontRolesGiveTheStyles")
{
    // The design's point sizes, at 96 dots per inch.
    const auto px = [](double points) { return int(std::lround(points * 96 / 72)); };
    CHECK(look::textStyle(FontRole::Default) == look::TextStyle{look::Face::Gothic, px(9), false});
    CHECK(look::textStyle(FontRole::Gothic16) ==
          look::TextStyle{look::Face::Gothic, px(12), false});
    CHECK(look::textStyle(FontRole::Gothic32B) ==
          look::TextStyle{look::Face::Gothic, px(24), true});
    CHECK(look::textStyle(FontRole::Mincho29B) ==
          look::TextStyle{look::Face::Mincho, px(21.75), true});

    // Every label on the surface is in the bold mincho.
    const Lesson l = loadedLesson();
    const DrawList list = DrawList::build(l.form);
    int texts = 0;
    for (const DrawItem &d : list.items)
        if (d.kind == DrawKind::Text) {
            ++texts;
            INFO(d.caption);
            CHECK(d.text == look::textStyle(FontRole::Mincho29B));
        }
    CHECK(texts == int(l.form.Label2.size + l.form.Label3.size));
}

TEST_CASE("lineWidthsAndEnds")
{
    Lesson l = loadedLesson();
    l.clickCommand(4);
    clickPointLabel(l, 0);
    clickPointLabel(l, 4); // one construction line on the surface
    const Form1 &f = l.form;
    const DrawList list = DrawList::build(f);
    const auto widthOf = [&](ElementKind kind, int index) {
        return list.items[slotOf(kind, index)].width;
    };
    for (int i = 0; i <= 4; ++i) {
        CAPTURE(i);
        CHECK(widthOf(ElementKind::Line1, i) == 4.0f);
        CHECK(widthOf(ElementKind::Line4, i) == 4.0f);
    }
    for (int i = 0; i <= 2; ++i) {
        CAPTURE(i);
        CHECK(widthOf(ElementKind::Line2, i) == 4.0f);
    }
    for (int i = 0; i <= 5; ++i) {
        CAPTURE(i);
        CHECK(widthOf(ElementKind::Line3, i) == 2.0f);
    }
    // Round ends, so that a line of no length yet (after the first click) shows as a dot.
    for (const DrawItem &d : list.items)
        if (d.kind == DrawKind::Segment)
            CHECK(d.roundEnds);
    // Design widths below one still draw a hairline.
    CHECK(look::strokeWidth(0) == 1.0f);
    CHECK(look::strokeWidth(-2) == 1.0f);
    CHECK(look::strokeWidth(1) == 1.0f);
    CHECK(look::strokeWidth(3) == 3.0f);
}

TEST_CASE("theSunkenBorder")
{
    const Lesson l = loadedLesson();
    const DrawList list = DrawList::build(l.form);
    const int left = int(list.outer.x), top = int(list.outer.y);
    const int right = int(list.outer.right()) - 1, bottom = int(list.outer.bottom()) - 1;
    int wrong = 0;
    // Two rings of one pixel around the inner area, nothing inside it: each ring dark along
    // its top and left, light along its bottom and right (the corners where they meet light),
    // the inner ring a shade nearer to the middle.
    for (int py = top; py <= bottom; ++py)
        for (int px = left; px <= right; ++px) {
            const bool inside = list.clip.x <= px && px < list.clip.right() &&
                                list.clip.y <= py && py < list.clip.bottom();
            const int ring = std::min({px - left, py - top, right - px, bottom - py});
            std::optional<Rgb> expected;
            if (!inside) {
                REQUIRE(ring <= 1); // the border is two pixels wide
                const bool light = px == right - ring || py == bottom - ring;
                expected = ring == 0 ? (light ? look::kBorderOuterLight : look::kBorderOuterShadow)
                                     : (light ? look::kBorderInnerLight : look::kBorderInnerShadow);
            }
            if (borderAt(list, px, py) != expected && ++wrong <= 5) {
                CAPTURE(px);
                CAPTURE(py);
                CHECK(borderAt(list, px, py) == expected);
            }
        }
    CHECK(wrong == 0);
    // The inner area is what remains: the outer box less two pixels on every side.
    CHECK(list.clip == Box{list.outer.x + 2, list.outer.y + 2, list.outer.w - 4, list.outer.h - 4});
}

// --- what to repaint --------------------------------------------------------------------------
TEST_CASE("boxArithmetic")
{
    const Box a{0, 0, 10, 10}, b{5, -5, 10, 10}, empty{3, 3, 0, 7};
    CHECK(a.united(b) == Box{0, -5, 15, 15});
    CHECK(a.intersected(b) == Box{5, 0, 5, 5});
    CHECK(a.united(empty) == a);
    CHECK(empty.united(a) == a);
    CHECK(empty.isEmpty());
    CHECK(Box{0, 0, -1, 5}.isEmpty());
    CHECK(a.intersected(Box{10, 0, 5, 5}).isEmpty()); // touching edges share no area
    CHECK(!a.intersects(Box{10, 0, 5, 5}));
    CHECK(a.grown(1) == Box{-1, -1, 12, 12});
}

TEST_CASE("itemBounds")
{
    DrawItem d;
    CHECK(d.bounds().isEmpty()); // None
    d.kind = DrawKind::Segment;
    d.x1 = 30, d.y1 = 10, d.x2 = 10, d.y2 = 20, d.width = 4;
    CHECK(d.bounds() == Box{10 - 3, 10 - 3, 20 + 6, 10 + 6}); // half the width and a pixel
    d.x2 = 30, d.y2 = 10; // a dot
    CHECK(d.bounds() == Box{27, 7, 6, 6});
    d.kind = DrawKind::Text;
    d.box = {5, 6, 7, 8};
    CHECK(d.bounds() == Box{4, 5, 9, 10});
}

TEST_CASE("nothingChangedRepaintsNothing")
{
    Lesson l = loadedLesson();
    const DrawList before = DrawList::build(l.form);
    CHECK(DrawList::changedArea(before, DrawList::build(l.form)).isEmpty());
    // A press that selects nothing records the pointer, which nothing shows.
    l.press(1, 0, 600, 600);
    l.release(1, 0, 600, 600);
    CHECK(DrawList::changedArea(before, DrawList::build(l.form)).isEmpty());
}

TEST_CASE("aSlideOfTheCopyRepaintsTheCopyAndItsLabels")
{
    const Box away{700, 560, 10, 10}; // far from the copy, wherever it slides here
    for (float to : {337.25f, 452.5f /* Ｄ hides on Ａ' */, 200.0f}) {
        CAPTURE(to);
        Lesson l = loadedLesson();
        l.press(1, 0, 300, 300);
        const DrawList before = DrawList::build(l.form);
        l.move(1, 0, to, 300);
        const DrawList after = DrawList::build(l.form);

        const std::size_t copy = slotOf(ElementKind::Line2, 0);
        const std::size_t d = slotOf(ElementKind::Label3, 2), e = slotOf(ElementKind::Label3, 3),
                          f = slotOf(ElementKind::Label3, 4);
        for (std::size_t i = 0; i < after.items.size(); ++i) {
            CAPTURE(i);
            const bool moved = i == copy || i == d || i == e || i == f;
            CHECK((before.items[i] == after.items[i]) == !moved);
        }
        const Box area = DrawList::changedArea(before, after);
        CHECK(area == areaOfSlots(before, after, {copy, d, e, f}));
        CHECK(!area.intersects(away));
    }
}

// With the aids on, a slide changes texts below and beside the figure too: each changed
// slot lies in one of the boxes, and the boxes leave out what lies between them.
TEST_CASE("aSlideWithTheAidsRepaintsApartWhatLiesApart")
{
    Lesson l = loadedLesson();
    l.setAids({true, true});
    l.press(1, 0, 300, 300);
    l.move(1, 0, 320, 300);
    const DrawList before = DrawList::build(l.form);
    l.move(1, 0, 323, 300);
    const DrawList after = DrawList::build(l.form);
    const std::vector<Box> boxes = DrawList::changedAreas(before, after);
    REQUIRE(boxes.size() >= 2);
    double sum = 0;
    for (const Box &b : boxes)
        sum += b.w * b.h;
    const Box all = DrawList::changedArea(before, after);
    CHECK(sum < 0.8 * all.w * all.h);
    for (std::size_t i = 0; i < after.items.size(); ++i) {
        if (before.items[i] == after.items[i])
            continue;
        for (const Box &b : {before.items[i].bounds(), after.items[i].bounds()}) {
            const Box in = b.intersected(after.outer);
            if (in.isEmpty())
                continue;
            CAPTURE(i);
            CHECK(std::any_of(boxes.begin(), boxes.end(),
                              [&](const Box &o) { return contains(o, in); }));
        }
    }
}

TEST_CASE("moveWithoutAnythingShownToFollow")
{
    SUBCASE("an idle move in normal mode")
    {
        Lesson l = loadedLesson();
        const DrawList before = DrawList::build(l.form);
        l.move(0, 0, 123, 45);
        CHECK(DrawList::changedArea(before, DrawList::build(l.form)).isEmpty());
    }
    SUBCASE("hovering in memo mode with a colour pen")
    {
        Lesson l = loadedLesson();
        l.clickCommand(3);
        const DrawList before = DrawList::build(l.form);
        l.move(0, 0, 123, 45);
        CHECK(DrawList::changedArea(before, DrawList::build(l.form)).isEmpty());
    }
    SUBCASE("a stroke, which the stroke layer repaints itself")
    {
        Lesson l = loadedLesson();
        l.clickCommand(3);
        l.press(1, 0, 100, 100);
        const DrawList before = DrawList::build(l.form);
        l.move(1, 0, 150, 120);
        CHECK(DrawList::changedArea(before, DrawList::build(l.form)).isEmpty());
    }
    SUBCASE("hovering with the eraser moves its outline")
    {
        Lesson l = loadedLesson();
        l.clickCommand(3);
        l.clickOption(3);
        l.move(0, 0, 100, 100);
        const DrawList before = DrawList::build(l.form);
        l.move(0, 0, 130, 90);
        const DrawList after = DrawList::build(l.form);
        const std::size_t cursor = slotOf(ElementKind::Shape1, 0);
        CHECK(DrawList::changedArea(before, after) == areaOfSlots(before, after, {cursor}));
        CHECK(DrawList::changedArea(before, after) ==
              before.items[cursor].bounds().united(after.items[cursor].bounds()));
    }
}

TEST_CASE("aLabelShownOrHidden")
{
    const Lesson l = loadedLesson();
    Form1 hidden = l.form;
    hidden.Label3[3].Visible = false; // Ｅ
    const DrawList shown = DrawList::build(l.form), gone = DrawList::build(hidden);
    const Label &label = l.form.Label3[3];
    const Box box = boxOf(label.Left, label.Top, label.Width, label.Height).grown(1);
    CHECK(DrawList::changedArea(gone, shown) == box);
    CHECK(DrawList::changedArea(shown, gone) == box);
}

TEST_CASE("theAreaIsCutToTheOuterBox")
{
    SUBCASE("a construction line leaves its parking place")
    {
        Lesson l = loadedLesson();
        l.clickCommand(4);
        const DrawList before = DrawList::build(l.form);
        clickPointLabel(l, 0);
        const DrawList after = DrawList::build(l.form);
        const std::size_t line = slotOf(ElementKind::Line4, 0);
        const Box raw = before.items[line].bounds().united(after.items[line].bounds());
        REQUIRE(!contains(after.outer, raw)); // parked beyond the right edge
        const Box area = DrawList::changedArea(before, after);
        CHECK(area == raw.intersected(after.outer));
        CHECK(area.right() == after.outer.right());
    }
    SUBCASE("Ｇ comes down from above the surface")
    {
        Lesson l = loadedLesson();
        l.press(1, 0, 100, 100);
        const DrawList before = DrawList::build(l.form);
        l.release(1, 0, 100, 100);
        const DrawList after = DrawList::build(l.form);
        const Box area = DrawList::changedArea(before, after);
        CHECK(contains(after.outer, area));
        CHECK(area.y == after.outer.y);
        CHECK(area == areaOfSlots(before, after,
                                  {slotOf(ElementKind::Line2, 1), slotOf(ElementKind::Label3, 1)}));
    }
    SUBCASE("a slide far beyond the surface")
    {
        Lesson l = loadedLesson();
        l.press(1, 0, 300, 300);
        const DrawList before = DrawList::build(l.form);
        l.move(1, 0, 1e6, 300);
        const Box area = DrawList::changedArea(before, DrawList::build(l.form));
        CHECK(contains(before.outer, area));
        CHECK(area.right() == before.outer.right());
    }
}

TEST_CASE("aChangeBeneathTheElementsRepaintsAll")
{
    const Lesson l = loadedLesson();
    const DrawList before = DrawList::build(l.form);
    SUBCASE("the surface's colour")
    {
        Form1 f = l.form;
        f.gamen.BackColor = QBColor(1);
        CHECK(DrawList::changedArea(before, DrawList::build(f)) == before.outer);
    }
    SUBCASE("the border")
    {
        DrawList after = before;
        after.items[3].colour = rgb(1, 2, 3);
        CHECK(DrawList::changedArea(before, after) == before.outer);
    }
    SUBCASE("lists of different lengths")
    {
        DrawList after = before;
        after.items.pop_back();
        CHECK(DrawList::changedArea(before, after) == before.outer);
    }
}

TEST_SUITE_END();

// The area to repaint for each kind of primitive that changes, worked out from the form's
// own element (its coordinates before and after, and half its line's width), not from the
// draw list: a segment (the copy slid), a text (Ｇ placed), an outline (the eraser cursor).
TEST_CASE("theRepaintAreaHoldsEachChangedElementAsTheFormPlacesIt")
{
    struct Rect {
        double l, t, r, b;
    };
    const struct {
        const char *what;
        void (*setUp)(Lesson &);
        void (*change)(Lesson &);
        Rect (*element)(const Form1 &);
    } cases[] = {
        {"a segment", [](Lesson &l) { l.press(1, 0, 300, 300); }, // the copy held
         [](Lesson &l) { l.move(1, 0, 420, 300); },
         [](const Form1 &f) {
             const Line &c = f.Line2[0];
             const double half = look::strokeWidth(c.BorderWidth) / 2;
             return Rect{std::min(c.X1, c.X2) - half, std::min(c.Y1, c.Y2) - half,
                         std::max(c.X1, c.X2) + half, std::max(c.Y1, c.Y2) + half};
         }},
        {"a text", [](Lesson &l) { l.press(1, 0, 100, 100); }, // ℓ's prolongation
         [](Lesson &l) { l.release(1, 0, 100, 100); },          // places Ｇ
         [](const Form1 &f) {
             const Label &g = f.Label3[1];
             return Rect{g.Left, g.Top, double(g.Left) + g.Width, double(g.Top) + g.Height};
         }},
        {"an outline",
         [](Lesson &l) {
             l.clickCommand(3);
             l.clickOption(7); // the thick eraser's cursor
             l.move(0, 0, 200, 150);
         },
         [](Lesson &l) { l.move(0, 0, 500, 400); },
         [](const Form1 &f) {
             const Shape &s = f.Shape1;
             return Rect{s.Left, s.Top, double(s.Left) + s.Width, double(s.Top) + s.Height};
         }},
    };
    for (const auto &c : cases) {
        CAPTURE(std::string(c.what));
        Lesson l = loadedLesson();
        c.setUp(l);
        const Rect before = c.element(l.form);
        const DrawList a = DrawList::build(l.form);
        c.change(l);
        const Rect after = c.element(l.form);
        const Box area = DrawList::changedArea(a, DrawList::build(l.form));
        double right = -1e9;
        for (const Rect &r : {before, after}) {
            if (r.b < -2) // parked above the surface (Ｇ before the release)
                continue;
            CHECK(area.x <= r.l);
            CHECK(area.y <= std::max(r.t, -2.0));
            CHECK(area.right() >= r.r);
            CHECK(area.bottom() >= r.b);
            right = std::max(right, r.r);
        }
        // and not much more, where the element changes alone (the release that places Ｇ
        // also turns the prolongation white)
        if (c.what != std::string("a text"))
            CHECK(area.right() <= right + 2);
    }
}
