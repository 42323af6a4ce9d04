// The board's picture as SVG, read back: well-formed XML of the board's size, every text
// escaped, the writing painted as the raster paints it, the same bytes each time.
#include "draw/SvgWriter.h"
#include "form/QBColor.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace pr;

namespace {

struct Node {
    std::string name, text;
    std::vector<std::pair<std::string, std::string>> attrs;
    std::vector<Node> children;

    std::string attr(std::string_view key) const
    {
        for (const auto &[k, v] : attrs)
            if (k == key)
                return v;
        return {};
    }
};

// A strict reader of the XML the writer may produce: declaration, elements, attributes in
// double quotes, text, the five named entities and character references. Anything else,
// an unbalanced tag or a stray '<' or '&' fails with `error` set.
struct Reader {
    std::string_view s;
    std::size_t i = 0;
    std::string error;

    bool fail(const char *why)
    {
        if (error.empty())
            error = std::string(why) + " at " + std::to_string(i);
        return false;
    }
    bool decode(std::string &out, char end)
    {
        while (i < s.size() && s[i] != end) {
            const auto c = std::uint8_t(s[i]);
            if (c == '<' || (c < 0x20 && c != '\t' && c != '\n' && c != '\r'))
                return fail("stray character");
            if (s[i] != '&') {
                out += s[i++];
                continue;
            }
            const std::size_t semi = s.find(';', i);
            if (semi == std::string_view::npos)
                return fail("open entity");
            const std::string_view e = s.substr(i + 1, semi - i - 1);
            static const std::pair<std::string_view, char> named[] = {
                {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
            bool known = false;
            for (const auto &[n, c] : named)
                if (e == n) {
                    out += c;
                    known = true;
                }
            if (!known && e.size() > 1 && e[0] == '#' && e[1] != 'x') {
                const long c = std::strtol(std::string(e.substr(1)).c_str(), nullptr, 10);
                if (c == 9 || c == 10 || c == 13) {
                    out += char(c);
                    known = true;
                }
            }
            if (!known)
                return fail("unknown entity");
            i = semi + 1;
        }
        return true;
    }
    std::string name()
    {
        const std::size_t from = i;
        while (i < s.size() && (std::isalnum(std::uint8_t(s[i])) || (s[i] && std::strchr(":-_", s[i]))))
            ++i;
        return std::string(s.substr(from, i - from));
    }
    void space()
    {
        while (i < s.size() && std::strchr(" \n\t\r", s[i]) && s[i])
            ++i;
    }
    bool element(Node &n)
    {
        if (s.substr(i, 1) != "<" || (++i, n.name = name()).empty())
            return fail("no element");
        for (space(); i < s.size() && s[i] != '>' && s[i] != '/'; space()) {
            std::string key = name(), value;
            if (key.empty() || s.substr(i, 2) != "=\"")
                return fail("bad attribute");
            i += 2;
            if (!decode(value, '"') || i++ >= s.size())
                return fail("open attribute");
            n.attrs.emplace_back(key, value);
        }
        if (s.substr(i, 2) == "/>")
            return i += 2, true;
        if (s.substr(i, 1) != ">")
            return fail("open tag");
        ++i;
        while (true) {
            if (!decode(n.text, '<') || i >= s.size())
                return fail("unclosed element");
            if (s.substr(i, 2) == "</") {
                i += 2;
                if (name() != n.name || s.substr(i, 1) != ">")
                    return fail("mismatched end tag");
                return ++i, true;
            }
            n.children.emplace_back();
            if (!element(n.children.back()))
                return false;
        }
    }
    std::optional<Node> document()
    {
        if (s.substr(0, 5) != "<?xml" || (i = s.find("?>")) == std::string_view::npos)
            return fail("no declaration"), std::nullopt;
        i += 2;
        space();
        Node root;
        if (!element(root))
            return std::nullopt;
        space();
        if (i != s.size())
            return fail("after the root"), std::nullopt;
        return root;
    }
};

Node parsed(const std::string &doc)
{
    Reader r{doc, 0, {}};
    std::optional<Node> root = r.document();
    INFO(r.error);
    REQUIRE(root);
    return *root;
}

void collect(const Node &n, std::string_view name, std::vector<const Node *> &out)
{
    if (n.name == name)
        out.push_back(&n);
    for (const Node &c : n.children)
        if (c.name != "clipPath")
            collect(c, name, out);
}

double distanceToSegment(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The colour a reader shows at surface point (x, y), from the rectangles, lines, circles and
// stroked paths in document order (round caps; text and clips left aside).
std::string colourAt(const Node &n, double x, double y, std::string colour = "")
{
    const auto num = [&](const char *k) { return std::atof(n.attr(k).c_str()); };
    if (n.name == "clipPath")
        return colour;
    if (n.name == "rect" && !n.attr("fill").empty() && x >= num("x") && y >= num("y") &&
        x < num("x") + num("width") && y < num("y") + num("height"))
        colour = n.attr("fill");
    if (n.name == "circle" && std::hypot(x - num("cx"), y - num("cy")) <= num("r"))
        colour = n.attr("fill");
    if (n.name == "line" && distanceToSegment(x, y, num("x1"), num("y1"), num("x2"), num("y2")) <=
                                num("stroke-width") / 2)
        colour = n.attr("stroke");
    if (n.name == "path" && !n.attr("stroke").empty()) {
        std::vector<std::vector<double>> subpaths; // x, y, x, y ...
        const std::string d = n.attr("d");
        for (const char *p = d.c_str(); *p;) {
            if (*p == 'M')
                subpaths.emplace_back();
            if (std::isalpha(std::uint8_t(*p)) || *p == ' ') {
                ++p;
                continue;
            }
            char *end;
            subpaths.back().push_back(std::strtod(p, &end));
            p = end;
        }
        for (const std::vector<double> &v : subpaths)
            for (std::size_t k = 0; k + 3 < v.size(); k += 2)
                if (distanceToSegment(x, y, v[k], v[k + 1], v[k + 2], v[k + 3]) <=
                    num("stroke-width") / 2)
                    colour = n.attr("stroke");
    }
    for (const Node &c : n.children)
        colour = colourAt(c, x, y, colour);
    return colour;
}

// Memo: a thick red stroke across line p, wiped in its middle by the thick eraser, whose
// cursor is left on the surface; then the copy of ℓ slid to the right.
Lesson writtenLesson()
{
    Lesson l = loadedLesson();
    const float p = l.form.Line1[kParallelP].Y1;
    l.clickCommand(3);
    l.clickOption(4); // thick red
    l.press(1, 0, 420, p - 40);
    l.move(1, 0, 420, p + 40);
    l.release(1, 0, 420, p + 40);
    l.clickOption(7); // thick eraser
    l.press(1, 0, 400, p);
    l.move(1, 0, 440, p);
    l.release(1, 0, 440, p);
    l.move(0, 0, 300, 580);
    return l;
}

} // namespace

TEST_CASE("the board's picture is well-formed SVG of the board's size, the same bytes each time")
{
    Lesson l = writtenLesson();
    const std::string doc = svg::write(DrawList::build(l.form), l.strokes());
    CHECK(doc == svg::write(DrawList::build(writtenLesson().form), writtenLesson().strokes()));
    const Node root = parsed(doc);
    CHECK(root.name == "svg");
    CHECK(root.attr("viewBox") == "0 0 793 641");
    CHECK(root.attr("width") == "793");
    CHECK(root.attr("height") == "641");
    REQUIRE(!root.children.empty());
    CHECK(root.children[0].name == "title");
    CHECK(root.children[0].text == svg::kTitle);

    // Colours where a reader paints them (in surface pixels, as the document's group has
    // them): the writing wiped where the eraser went, beneath the figure's line, which no
    // eraser reaches; the frame; no eraser cursor.
    const double p = l.form.Line1[kParallelP].Y1;
    const Node &board = root;
    const std::string red = "#ff0000", green = "#008000", figure = "#ffffff";
    CHECK(colourAt(board, 422, p - 30) == red);
    CHECK(colourAt(board, 422, p - 8) == green);
    CHECK(colourAt(board, 422, p) == figure);
    CHECK(colourAt(board, -1.5, -1.5) == "#808080");
    const Shape &cursor = l.form.Shape1;
    REQUIRE(cursor.Visible);
    CHECK(colourAt(board, cursor.Left + 1.5, cursor.Top + cursor.Height / 2) == green);
}

TEST_CASE("every text of the picture reads back as it was, whatever it holds")
{
    const struct {
        const char *text, *readBack;
    } cases[] = {
        {"<script>alert(1)</script>", "<script>alert(1)</script>"},
        {"&amp; \"x\" 'y' ]]> <!--", "&amp; \"x\" 'y' ]]> <!--"},
        {"a\x01" "b\x1f\x7f" "c", "ab\x7f" "c"},        // C0 controls XML cannot hold
        {"\xff\xc3 ok \xe2\x84", "\xEF\xBF\xBD\xEF\xBF\xBD ok \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xed\xa0\x80|\xc0\xaf", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"line\r\nend\ttab", "line\r\nend\ttab"},
        {"Ａ'ℓ𝑚", "Ａ'ℓ𝑚"},
    };
    for (const auto &c : cases) {
        INFO(c.text);
        Lesson l = loadedLesson();
        l.form.Label2[kPointA].Caption = c.text;
        svg::Options o;
        o.title = o.description = c.text;
        o.mincho.insert(o.mincho.begin(), c.text); // the labels' face, in attributes
        const Node root = parsed(svg::write(DrawList::build(l.form), {}, o));
        CHECK(root.children.at(0).text == c.readBack);
        CHECK(root.children.at(1).text == c.readBack);
        std::vector<const Node *> texts;
        collect(root, "text", texts);
        bool found = false;
        for (const Node *t : texts)
            found = found || t->text == c.readBack;
        CHECK(found);
    }
}

TEST_CASE("writing flung far off the surface is cut at its edge, letters are text or outlines")
{
    Lesson l = loadedLesson();
    l.clickCommand(3);
    l.clickOption(4);
    l.press(1, 0, 100, 100);
    l.move(1, 0, 9e5, 100);
    l.move(1, 0, 9e5, -9e5);
    l.release(1, 0, 9e5, -9e5);
    const DrawList list = DrawList::build(l.form);
    const Node root = parsed(svg::write(list, l.strokes()));
    std::vector<const Node *> paths;
    collect(root, "path", paths);
    REQUIRE(paths.size() == 1);
    const std::string d = paths[0]->attr("d");
    for (const char *p = d.c_str(); *p;) {
        char *end;
        if (std::isdigit(std::uint8_t(*p)) || *p == '-')
            CHECK(std::abs(std::strtod(p, &end)) < 900);
        p = std::isdigit(std::uint8_t(*p)) || *p == '-' ? end : p + 1;
    }
    for (const double x : {101.0, 400.0, 787.0})
        CHECK(colourAt(root, x, 100) == "#ff0000");

    // Five letters, as text in the italic or as the outlines a front end hands over.
    const auto elements = [&](const svg::Options &o, const char *name, const char *italic) {
        const Node root = parsed(svg::write(list, {}, o));
        std::vector<const Node *> found;
        collect(root, name, found);
        return std::count_if(found.begin(), found.end(), [&](const Node *n) {
            return !italic || (n->attr("font-style") == italic && n->attr("class") == italic &&
                               n->attr("font-family") == "P052");
        });
    };
    CHECK(elements({}, "text", "italic") == 5);
    svg::Options outlined;
    outlined.letterOutline = [](const DrawItem &) { return std::string("M0 0L10 -20L5 0Z"); };
    CHECK(elements(outlined, "text", "italic") == 0);
    CHECK(elements(outlined, "text", nullptr) == elements({}, "text", nullptr) - 5);
    CHECK(elements(outlined, "path", nullptr) == 5);
    // The labels too, each named by its caption; then no text is left.
    outlined.textOutline = [](const DrawItem &) { return std::string("M0 0L10 -20L5 0Z"); };
    CHECK(elements(outlined, "text", nullptr) == 0);
    const Node outlines = parsed(svg::write(list, {}, outlined));
    std::vector<const Node *> shapes;
    collect(outlines, "path", shapes);
    CHECK(std::count_if(shapes.begin(), shapes.end(),
                        [](const Node *n) { return n->attr("aria-label") == "Ａ'"; }) == 1);
}

TEST_CASE("a face the document carries goes first in its list; a damaged one is left out")
{
    svg::Options o;
    o.embedded = {{look::Face::Mincho, "ParallelRatio Mincho", "d09GMgABAAA+/=", true, false},
                  {look::Face::Italic, "Broken", "AAAA) format('woff2')}*{x:y", false, true}};
    const std::string doc = svg::write(DrawList::build(Form1()), {}, o);
    CHECK(doc.find("@font-face{font-family:ParallelRatio Mincho;font-weight:bold;font-style:"
                   "normal;src:url(data:font/woff2;base64,d09GMgABAAA+/=) format('woff2')}") !=
          std::string::npos);
    CHECK(doc.find(".mincho{font-family:ParallelRatio Mincho, IPAPMincho") != std::string::npos);
    CHECK(doc.find("*{x:y") == std::string::npos);
    CHECK(doc.find("font-family:Broken") == std::string::npos);
}

TEST_CASE("numbers are written the same in every locale, to a thousandth")
{
    const struct {
        double v;
        const char *text;
    } cases[] = {{0, "0"}, {-0.0001, "0"}, {1.5, "1.5"}, {-2.25, "-2.25"}, {0.1 + 0.2, "0.3"},
                 {368.7504, "368.75"}, {-1e15, "-1000000000000"}, {NAN, "0"}, {789, "789"},
                 {0.007, "0.007"}};
    for (const auto &c : cases)
        CHECK(svg::number(c.v) == c.text);
}
