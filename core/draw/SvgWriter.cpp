#include "SvgWriter.h"

#include "StrokeRaster.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace pr::svg {

namespace {

// The share of the em above the baseline in the Japanese faces (IPA P Gothic and Mincho:
// 1802 / 2048): text hangs from its box's top edge, as a label's caption does.
constexpr double kAscent = 1802.0 / 2048.0;

// Appends code point `c` as UTF-8, or as a character reference where a parser would change
// it (line ends inside attributes and text are normalised on reading).
void appendCodePoint(std::string &out, std::uint32_t c, bool attribute)
{
    switch (c) {
    case '&': out += "&amp;"; return;
    case '<': out += "&lt;"; return;
    case '>': out += "&gt;"; return;
    case '"': out += "&quot;"; return;
    case '\r': out += "&#13;"; return;
    case '\t':
        if (attribute) {
            out += "&#9;";
            return;
        }
        break;
    case '\n':
        if (attribute) {
            out += "&#10;";
            return;
        }
        break;
    default: break;
    }
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The characters an XML 1.0 document may hold at all.
bool xmlChar(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// UTF-8 `s` as XML character data: every byte that does not start a well-formed sequence
// becomes U+FFFD, characters XML cannot hold are left out.
void appendEscaped(std::string &out, std::string_view s, bool attribute = false)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = std::uint8_t(s[i]);
        std::uint32_t c = 0xFFFD;
        std::size_t len = 1;
        auto cont = [&](std::size_t k) {
            return i + k < s.size() && (std::uint8_t(s[i + k]) & 0xC0) == 0x80;
        };
        if (b < 0x80) {
            c = b;
        } else if (b >= 0xC2 && b <= 0xDF && cont(1)) {
            c = (std::uint32_t(b & 0x1F) << 6) | (std::uint8_t(s[i + 1]) & 0x3F);
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(1) && cont(2)) {
            const std::uint32_t v = (std::uint32_t(b & 0x0F) << 12) |
                                    (std::uint32_t(std::uint8_t(s[i + 1]) & 0x3F) << 6) |
                                    (std::uint8_t(s[i + 2]) & 0x3F);
            if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) { // not overlong, no surrogate
                c = v;
                len = 3;
            }
        } else if (b >= 0xF0 && b <= 0xF4 && cont(1) && cont(2) && cont(3)) {
            const std::uint32_t v = (std::uint32_t(b & 0x07) << 18) |
                                    (std::uint32_t(std::uint8_t(s[i + 1]) & 0x3F) << 12) |
                                    (std::uint32_t(std::uint8_t(s[i + 2]) & 0x3F) << 6) |
                                    (std::uint8_t(s[i + 3]) & 0x3F);
            if (v >= 0x10000 && v <= 0x10FFFF) {
                c = v;
                len = 4;
            }
        }
        if (xmlChar(c))
            appendCodePoint(out, c, attribute);
        i += len;
    }
}

std::string colour(Rgb c)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string s = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        s += kHex[(c >> shift) & 0xF];
    return s;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char &ch : out)
        if (ch >= 'A' && ch <= 'Z')
            ch = char(ch - 'A' + 'a');
    return out;
}

// Whether CSS takes `name` as a family name unquoted: words of ASCII letters, digits and
// hyphens, none a generic family or starting with a digit or hyphen. Readers that take the
// attribute as one name (some do) find an unquoted first name.
bool plainName(std::string_view name)
{
    static constexpr std::string_view kReserved[] = {
        "serif", "sans-serif", "monospace", "cursive", "fantasy", "system-ui",
        "inherit", "initial", "unset", "default", "revert"};
    bool wordStart = true;
    for (char ch : name) {
        const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
        const bool inner = (ch >= '0' && ch <= '9') || ch == '-'; // not first in a word
        if (ch == ' ' && !wordStart)
            wordStart = true;
        else if (letter || (inner && !wordStart))
            wordStart = false;
        else
            return false;
    }
    return !wordStart &&
           std::find(std::begin(kReserved), std::end(kReserved), lowered(name)) ==
               std::end(kReserved);
}

// One family name as CSS has it, quoted unless it is plain.
std::string family(const std::string &name)
{
    if (plainName(name))
        return name;
    std::string out = "'";
    for (char ch : name) {
        if (std::uint8_t(ch) < 0x20) // a CSS string holds no line end
            continue;
        if (ch == '\'' || ch == '\\')
            out += '\\';
        out += ch;
    }
    return out + "'";
}

// A CSS font-family list: each name once (in any case), then the generic family.
std::string families(const std::vector<std::string> &names, const char *generic)
{
    std::string out;
    std::vector<std::string> seen;
    for (const std::string &name : names) {
        const std::string lower = lowered(name);
        if (name.empty() || std::find(seen.begin(), seen.end(), lower) != seen.end())
            continue;
        seen.push_back(lower);
        out += family(name) + ", ";
    }
    return out + generic;
}

// The face a text element names itself: the first given, or the generic family.
std::string firstFamily(const std::vector<std::string> &names, const char *generic)
{
    for (const std::string &name : names)
        if (!name.empty())
            return family(name);
    return generic;
}

// The faces by class, for the text elements. A reader that follows CSS takes the whole list
// from this style sheet, which outranks the elements' font-family attributes; one that
// ignores style sheets (SVG Tiny), or takes the attribute as a single name, gets the
// attribute's first face alone.
std::string styleSheet(const Options &o)
{
    // Base64 holds no character that could end the rule or the string; a face whose data
    // does not read as base64 is left out.
    std::vector<const Options::EmbeddedFace *> carried;
    std::string faces;
    for (const Options::EmbeddedFace &e : o.embedded) {
        if (e.family.empty() || e.woff2Base64.empty() ||
            e.woff2Base64.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789+/=") != std::string::npos)
            continue;
        carried.push_back(&e);
        faces += "@font-face{font-family:" + family(e.family) +
                 ";font-weight:" + (e.bold ? "bold" : "normal") +
                 ";font-style:" + (e.italic ? "italic" : "normal") +
                 ";src:url(data:font/woff2;base64," + e.woff2Base64 + ") format('woff2')}\n";
    }
    const auto list = [&](look::Face face, const std::vector<std::string> &names) {
        std::vector<std::string> all;
        for (const Options::EmbeddedFace *e : carried)
            if (e->face == face)
                all.push_back(e->family);
        all.insert(all.end(), names.begin(), names.end());
        return all;
    };
    return faces +
           ".gothic{font-family:" + families(list(look::Face::Gothic, o.gothic), "sans-serif") +
           "}\n.mincho{font-family:" + families(list(look::Face::Mincho, o.mincho), "serif") +
           "}\n.italic{font-family:" + families(list(look::Face::Italic, o.italic), "serif") +
           "}\n";
}

class Writer {
public:
    explicit Writer(std::string &out) : out_(out) {}

    Writer &raw(std::string_view s)
    {
        out_ += s;
        return *this;
    }
    // ` name="value"`, value escaped.
    Writer &attr(std::string_view name, std::string_view value)
    {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        appendEscaped(out_, value, true);
        out_ += '"';
        return *this;
    }
    Writer &attr(std::string_view name, double v) { return attr(name, number(v)); }
    Writer &rect(const Box &b)
    {
        return attr("x", b.x).attr("y", b.y).attr("width", b.w).attr("height", b.h);
    }
    Writer &text(std::string_view s)
    {
        appendEscaped(out_, s);
        return *this;
    }

private:
    std::string &out_;
};

void appendNumber(std::string &out, double v)
{
    if (!std::isfinite(v)) {
        out += '0';
        return;
    }
    const long long milli = std::llround(std::clamp(v, -1e12, 1e12) * 1000);
    const unsigned long long a = milli < 0 ? 0ull - (unsigned long long)milli : milli;
    char buf[32];
    char *p = buf;
    if (milli < 0)
        *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf, a / 1000).ptr;
    if (unsigned frac = unsigned(a % 1000)) {
        *p++ = '.';
        for (unsigned div = 100; frac; div /= 10) {
            *p++ = char('0' + frac / div);
            frac %= div;
        }
    }
    out.append(buf, p);
}


void appendPoint(std::string &out, char command, double x, double y)
{
    out += command;
    appendNumber(out, x);
    out += ' ';
    appendNumber(out, y);
}

// The path data is written straight into the document: it holds digits, signs, points,
// spaces and the letters M and L only, nothing to escape.
void writeStroke(std::string &out, const Stroke &stroke, const Box &inner, look::Palette palette)
{
    if (stroke.points.empty())
        return;
    const double width = std::max(1, stroke.width);
    // A stroke that stays near the surface is one polyline; one that strays far (a pointer
    // flung off the window) goes segment by segment, each cut to where the pen's ends still
    // reach the inner area, which keeps far-off numbers out of the file and gives the same
    // shape.
    const Box roomy = inner.grown(100);
    bool strays = false;
    for (const StrokePoint &p : stroke.points)
        strays = strays || !(p.x >= roomy.x && p.x <= roomy.right() && p.y >= roomy.y &&
                             p.y <= roomy.bottom());
    const std::size_t start = out.size();
    out += "<path d=\"";
    const std::size_t data = out.size();
    if (!strays) {
        appendPoint(out, 'M', stroke.points[0].x, stroke.points[0].y);
        // A stroke of one point is a dot: a subpath of no length shows its round caps.
        const std::size_t from = stroke.points.size() == 1 ? 0 : 1;
        for (std::size_t i = from; i < stroke.points.size(); ++i)
            appendPoint(out, i == from ? 'L' : ' ', stroke.points[i].x, stroke.points[i].y);
    } else {
        const Box near = inner.grown(width / 2 + 1);
        for (std::size_t i = 1; i < stroke.points.size(); ++i) {
            double ax = stroke.points[i - 1].x, ay = stroke.points[i - 1].y;
            double bx = stroke.points[i].x, by = stroke.points[i].y;
            if (clipSegment(ax, ay, bx, by, near.x, near.y, near.w, near.h)) {
                appendPoint(out, 'M', ax, ay);
                appendPoint(out, 'L', bx, by);
            }
        }
        if (out.size() == data) { // nothing of it reaches the surface
            out.resize(start);
            return;
        }
    }
    out += '"';
    Writer(out).attr("stroke", colour(look::paint(palette, stroke.colour))).attr("stroke-width", width).raw("/>\n");
}

// An element's primitive, already known to reach the inner area.
void writeItem(std::string &out, const DrawItem &d, std::size_t slot, const Options &o)
{
    Writer w(out);
    // The box a label or letter is cut to, named after the item's slot, which is unique.
    auto clipToBox = [&] {
        const std::string id = "box" + std::to_string(slot);
        w.raw("<clipPath").attr("id", id).raw("><rect").rect(d.box).raw("/></clipPath>\n");
        w.raw("<g").attr("clip-path", "url(#" + id + ")").raw(">\n");
        w.raw("<rect").rect(d.box).attr("fill", colour(d.back)).raw("/>\n");
    };
    switch (d.kind) {
    case DrawKind::None:
    case DrawKind::StrokeLayer:
    case DrawKind::Outline: // the eraser cursor: a pointer, not part of the board
        return;
    case DrawKind::Fill:
        w.raw("<rect").rect(d.box).attr("fill", colour(d.colour)).raw("/>\n");
        return;
    case DrawKind::Triangle:
        w.raw("<path")
            .attr("d", "M" + number(d.x1) + " " + number(d.y1) + "L" + number(d.x2) + " " +
                           number(d.y2) + "L" + number(d.x3) + " " + number(d.y3) + "Z")
            .attr("fill", colour(d.colour))
            .attr("fill-opacity", number(d.alpha / 255.0))
            .raw("/>\n");
        return;
    case DrawKind::Arc: {
        // Counter-clockwise on screen is SVG's negative sweep.
        const double r = d.box.w, pi = 3.14159265358979323846;
        const double a0 = d.x2 * pi / 180, a1 = (d.x2 + d.y2) * pi / 180;
        w.raw("<path")
            .attr("d", "M" + number(d.x1 + r * std::cos(a0)) + " " +
                           number(d.y1 - r * std::sin(a0)) + "A" + number(r) + " " + number(r) +
                           " 0 0 " + (d.y2 > 0 ? "0 " : "1 ") + number(d.x1 + r * std::cos(a1)) +
                           " " + number(d.y1 - r * std::sin(a1)))
            .attr("fill", "none")
            .attr("stroke", colour(d.colour))
            .attr("stroke-width", d.width)
            .raw("/>\n");
        return;
    }
    case DrawKind::Segment:
        if (d.x1 == d.x2 && d.y1 == d.y2) {
            if (d.roundEnds)
                w.raw("<circle")
                    .attr("cx", d.x1)
                    .attr("cy", d.y1)
                    .attr("r", d.width / 2.0)
                    .attr("fill", colour(d.colour))
                    .raw("/>\n");
            return;
        }
        w.raw("<line")
            .attr("x1", d.x1)
            .attr("y1", d.y1)
            .attr("x2", d.x2)
            .attr("y2", d.y2)
            .attr("stroke", colour(d.colour))
            .attr("stroke-width", d.width);
        if (d.roundEnds)
            w.attr("stroke-linecap", "round");
        w.raw("/>\n");
        return;
    case DrawKind::Text: {
        clipToBox();
        const bool mincho = d.text.face == look::Face::Mincho;
        const double baseline = d.box.y + kAscent * d.text.pixelSize;
        if (const std::string outline = o.textOutline ? o.textOutline(d) : std::string();
            !outline.empty()) {
            w.raw("<path")
                .attr("transform", "translate(" + number(d.box.x) + " " + number(baseline) + ")")
                .attr("d", outline)
                .attr("fill", colour(d.colour))
                .attr("role", "img")
                .attr("aria-label", d.caption)
                .raw("/>\n</g>\n");
            return;
        }
        w.raw("<text")
            .attr("x", d.box.x)
            .attr("y", baseline)
            .attr("class", mincho ? "mincho" : "gothic")
            .attr("font-family", mincho ? firstFamily(o.mincho, "serif")
                                               : firstFamily(o.gothic, "sans-serif"))
            .attr("font-size", d.text.pixelSize);
        if (d.text.bold)
            w.attr("font-weight", "bold");
        w.attr("fill", colour(d.colour)).raw(" xml:space=\"preserve\">").text(d.caption);
        w.raw("</text>\n</g>\n");
        return;
    }
    case DrawKind::Image: {
        clipToBox();
        const std::string outline = o.letterOutline ? o.letterOutline(d) : std::string();
        if (!outline.empty()) {
            w.raw("<path")
                .attr("transform", "translate(" + number(d.x1) + " " + number(d.y1) + ")")
                .attr("d", outline)
                .attr("fill", colour(d.colour))
                .attr("role", "img")
                .attr("aria-label", d.caption)
                .raw("/>\n");
        } else {
            w.raw("<text")
                .attr("x", d.x1)
                .attr("y", d.y1)
                .attr("class", "italic")
                .attr("font-family", firstFamily(o.italic, "serif"))
                .attr("font-size", d.text.pixelSize)
                .attr("font-style", "italic")
                .attr("fill", colour(d.colour))
                .raw(">")
                .text(d.caption)
                .raw("</text>\n");
        }
        w.raw("</g>\n");
        return;
    }
    }
}

} // namespace

std::vector<std::string> defaultFamilies(look::Face face)
{
    switch (face) {
    case look::Face::Gothic:
        return {"IPAPGothic", "IPA Pゴシック", "ＭＳ Ｐゴシック", "MS PGothic", "Noto Sans CJK JP",
                "Hiragino Kaku Gothic ProN"};
    case look::Face::Mincho:
        return {"IPAPMincho", "IPA P明朝", "ＭＳ Ｐ明朝", "MS PMincho", "Noto Serif CJK JP",
                "Hiragino Mincho ProN"};
    case look::Face::Italic: // faces of the same design, which have ℓ
        return {"P052", "URW Palladio L", "Palatino Linotype", "Palatino"};
    }
    return {};
}

std::string number(double v)
{
    std::string s;
    appendNumber(s, v);
    return s;
}

std::string write(const DrawList &list, const std::vector<Stroke> &strokes, const Options &o)
{
    std::string out;
    std::size_t points = 0;
    for (const Stroke &s : strokes)
        points += s.points.size();
    out.reserve(16384 + points * 16);
    Writer w(out);
    const Box &outer = list.outer, &inner = list.clip;
    w.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    w.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"")
        .attr("width", outer.w)
        .attr("height", outer.h)
        .attr("viewBox", "0 0 " + number(outer.w) + " " + number(outer.h))
        .raw(">\n<title>")
        .text(o.title)
        .raw("</title>\n");
    if (!o.description.empty())
        w.raw("<desc>").text(o.description).raw("</desc>\n");
    w.raw("<defs>\n<style type=\"text/css\">\n").text(styleSheet(o)).raw("</style>\n");
    w.raw("<clipPath id=\"inner\"><rect").rect(inner).raw("/></clipPath>\n</defs>\n");
    // Surface coordinates inside, as the draw list has them.
    w.raw("<g")
        .attr("transform", "translate(" + number(-outer.x) + " " + number(-outer.y) + ")")
        .raw(">\n");

    const DrawItem *layer = list.items.empty() ? nullptr : &list.items.front();
    if (layer && layer->kind == DrawKind::StrokeLayer)
        w.raw("<rect").rect(outer).attr("fill", colour(layer->colour)).raw("/>\n");

    // The stroke layer: the raster's segments in order, an eraser's in the surface's colour
    // over the ink before it, and beneath every element.
    w.raw("<g clip-path=\"url(#inner)\" fill=\"none\" stroke-linecap=\"round\" "
          "stroke-linejoin=\"round\">\n");
    for (const Stroke &s : strokes)
        writeStroke(out, s, inner, o.palette);
    w.raw("</g>\n");

    w.raw("<g clip-path=\"url(#inner)\">\n");
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        const DrawItem &d = list.items[i];
        if (d.clipped && d.bounds().intersects(inner))
            writeItem(out, d, i, o);
    }
    w.raw("</g>\n");
    // The frame last: it also covers whatever reaches past the inner area in a reader that
    // does not clip.
    for (std::size_t i = 0; i < list.items.size(); ++i)
        if (!list.items[i].clipped && list.items[i].kind == DrawKind::Fill)
            writeItem(out, list.items[i], i, o);
    w.raw("</g>\n</svg>\n");
    return out;
}

} // namespace pr::svg
