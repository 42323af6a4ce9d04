// The line letters ℓ, m, p, q, r drawn as outlines of their italic face: in the bitmaps'
// boxes with the bitmaps' ink, sharp when the window is large, and the bitmaps again where
// the face is missing.
#include "WindowTestUtil.h"
#include "DrawListPainter.h"
#include "FontFamilies.h"
#include "GlyphImages.h"
#include "LetterGlyphs.h"
#include "LetterImages.h"
#include "draw/Aids.h"
#include "draw/DrawList.h"

#include <QtGui/QPainter>
#include <cmath>

using namespace pr;

namespace {

constexpr ImageId kLetters[] = {ImageId::LetterL, ImageId::LetterM, ImageId::LetterP,
                                ImageId::LetterQ, ImageId::LetterR};

// The draw item of a letter in the initial figure.
DrawItem letterItem(const Form1 &f, ImageId id)
{
    for (const DrawItem &d : DrawList::build(f).items)
        if (d.kind == DrawKind::Image && d.image == id)
            return d;
    return {};
}

// The item alone, painted as the surface paints it, `scale` device pixels per logical pixel,
// with the image's top-left corner at the origin.
QImage paintAlone(const DrawListPainter &painter, const DrawItem &d, double scale)
{
    QImage img(QSize(int(std::ceil(d.box.w * scale)), int(std::ceil(d.box.h * scale))),
               QImage::Format_RGB32);
    img.fill(Qt::black); // neither the green nor the ink: shows any part of the box left out
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);
    p.translate(-d.box.x, -d.box.y);
    painter.paint(p, d);
    return img;
}

// How far a pixel is from the green towards white, 0..1 (the green's red and blue are 0, the
// ink's 255, so red and blue together tell).
double inkOf(QRgb c) { return (qRed(c) + qBlue(c)) / 510.0; }

// Root mean square of the difference in ink between two images of the same size.
double inkDistance(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const double e = inkOf(a.pixel(x, y)) - inkOf(b.pixel(x, y));
            sum += e * e;
        }
    return std::sqrt(sum / (a.width() * a.height()));
}

// The pixels at least half ink, as a rectangle in the image's pixels.
QRect inkBox(const QImage &img, QRect within)
{
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (inkOf(img.pixel(x, y)) >= 0.5)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Edge pixels (between a tenth and nine tenths ink) per pixel of ink: a glyph filled at
// the device's resolution has edges one pixel wide, a small bitmap scaled up has wide blurs.
double blurOf(const QImage &img, QRect within)
{
    int edge = 0, ink = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) {
            const double v = inkOf(img.pixel(x, y));
            edge += v > 0.1 && v < 0.9;
            ink += v >= 0.5;
        }
    return ink ? double(edge) / ink : 1e9;
}

bool faceInstalled() { return LetterGlyphs::isInstalled(LetterGlyphs::familyName()); }

} // namespace

class TestLetters : public QObject {
    Q_OBJECT

    FontFamilies fonts_;
    LetterImages letters_;

private slots:
    void initTestCase()
    {
        QVERIFY(letters_.load());
        // The Debian package depends on it and set-up installs it, so its absence is a fault
        // of the machine, not a reason to test the bitmaps only.
        QVERIFY2(faceInstalled(), "P052 Italic is not installed (Debian: fonts-urw-base35)");
    }

    void theFaceHasEveryLetter()
    {
        const LetterGlyphs glyphs;
        QVERIFY(glyphs.available());
        for (ImageId id : kLetters) {
            const look::LetterGlyph g = look::letterGlyph(id);
            QVERIFY2(glyphs.outline(g.text, look::kLetterStyle.pixelSize), g.text);
        }
        // A character the face lacks gives no outline, so the bitmap shows instead.
        QVERIFY(!glyphs.outline("\xE5\xB9\xB3", look::kLetterStyle.pixelSize)); // 平
        QVERIFY(!LetterGlyphs(QStringLiteral("No Such Face Anywhere")).available());
    }

    // At their natural size the outlines cover the bitmaps' ink: pixel by pixel nearly (half
    // a pixel off would differ twice as much), its bounding box to within a pixel on every
    // side, and the box around it filled with the same green.
    void outlinesLieWhereTheBitmapsInkIs()
    {
        Lesson lesson;
        lesson.Form_Load();
        const DrawListPainter vectors(fonts_, letters_);
        const DrawListPainter bitmaps(fonts_, letters_, LetterGlyphs(QString()));
        for (ImageId id : kLetters) {
            const DrawItem d = letterItem(lesson.form, id);
            QCOMPARE(d.kind, DrawKind::Image);
            const QImage v = paintAlone(vectors, d, 1), b = paintAlone(bitmaps, d, 1);
            QCOMPARE(b, letters_.image(id)); // the fallback is the bitmap itself
            const QRect vi = inkBox(v, v.rect()), bi = inkBox(b, b.rect());
            const QByteArray where = QByteArray(look::letterGlyph(id).text) + ": outline " +
                                     QByteArray::number(vi.x()) + "," + QByteArray::number(vi.y()) +
                                     " " + QByteArray::number(vi.width()) + "x" +
                                     QByteArray::number(vi.height()) + ", bitmap " +
                                     QByteArray::number(bi.x()) + "," + QByteArray::number(bi.y()) +
                                     " " + QByteArray::number(bi.width()) + "x" +
                                     QByteArray::number(bi.height());
            QVERIFY2(!vi.isEmpty(), where);
            const double distance = inkDistance(v, b);
            QVERIFY2(distance < 0.1, qPrintable(QString::fromUtf8(where) +
                                                QStringLiteral(", distance %1").arg(distance)));
            QVERIFY2(std::abs(vi.left() - bi.left()) <= 1 && std::abs(vi.right() - bi.right()) <= 1 &&
                         std::abs(vi.top() - bi.top()) <= 1 &&
                         std::abs(vi.bottom() - bi.bottom()) <= 1,
                     where);
            // Away from the ink the box is the bitmap's green, corner to corner.
            for (QPoint corner : {v.rect().topLeft(), v.rect().topRight(), v.rect().bottomLeft(),
                                  v.rect().bottomRight()})
                QCOMPARE(v.pixel(corner) & 0xffffffu, 0x008000u);
        }
    }

    // Three times larger, the outlines' edges are a fraction as wide as the scaled bitmaps'.
    void outlinesStaySharpWhenLarge()
    {
        Lesson lesson;
        lesson.Form_Load();
        const DrawListPainter vectors(fonts_, letters_);
        const DrawListPainter bitmaps(fonts_, letters_, LetterGlyphs(QString()));
        for (ImageId id : kLetters) {
            const DrawItem d = letterItem(lesson.form, id);
            const QImage v = paintAlone(vectors, d, 3), b = paintAlone(bitmaps, d, 3);
            const double vb = blurOf(v, v.rect()), bb = blurOf(b, b.rect());
            QVERIFY2(vb < 0.6 * bb, qPrintable(QStringLiteral("%1: outline %2, bitmap %3")
                                                   .arg(QString::fromUtf8(look::letterGlyph(id).text))
                                                   .arg(vb)
                                                   .arg(bb)));
        }
    }

    // The window at three times its size shows the letters as outlines, in their places.
    void theWindowShowsOutlinesAtScaleThree()
    {
        MainWindow w;
        w.resize(811 * 3, 702 * 3);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.formScale(), 3.0);
        const QImage img = wt::grabSurface(w);
        const DrawListPainter bitmaps(fonts_, letters_, LetterGlyphs(QString()));
        // p, q, r: no line crosses their boxes.
        for (ImageId id : {ImageId::LetterP, ImageId::LetterQ, ImageId::LetterR}) {
            const DrawItem d = letterItem(w.form(), id);
            const double k = img.devicePixelRatio();
            const QRect box = QRectF(w.surface()->toWidget({d.box.x, d.box.y}) * k,
                                     w.surface()->toWidget({d.box.right(), d.box.bottom()}) * k)
                                  .toAlignedRect() &
                              img.rect();
            const QImage b = paintAlone(bitmaps, d, 3 * k);
            const double shown = blurOf(img, box), scaled = blurOf(b, b.rect());
            QVERIFY2(shown < 0.6 * scaled, qPrintable(QStringLiteral("%1 vs %2").arg(shown).arg(scaled)));
            // The same ink as the letter drawn alone, at the same place.
            const QRect ink = inkBox(img, box).translated(-box.topLeft());
            const QRect alone = inkBox(paintAlone(DrawListPainter(fonts_, letters_), d, 3 * k),
                                       b.rect());
            QVERIFY2((ink.topLeft() - alone.topLeft()).manhattanLength() <= 2 &&
                         std::abs(ink.width() - alone.width()) <= 1 &&
                         std::abs(ink.height() - alone.height()) <= 1,
                     look::letterGlyph(id).text);
        }
    }
    // Texts past Qt's own glyph cache (a label at 2.7 × is 78 device pixels) are copied from
    // images of their glyphs, smaller ones drawn from a kept layout: either way they look as
    // Qt's drawText draws them, at any offset within a pixel.
    void largeTextsLookAsQtDrawsThem()
    {
        Lesson lesson;
        lesson.Form_Load();
        DrawItem label;
        for (const DrawItem &d : DrawList::build(lesson.form).items)
            if (d.kind == DrawKind::Text && d.caption == "\xEF\xBC\xA1'") // Ａ'
                label = d;
        QCOMPARE(label.kind, DrawKind::Text);
        DrawItem aid = label;
        aid.caption = "EB' : FC' = 2 : 5";
        aid.text = aids::kTextStyle;
        aid.box.w = 300;
        const DrawListPainter painter(fonts_, letters_);
        for (const DrawItem &d : {label, aid})
            for (double scale : {1.0, 2.7, 3.3}) {
                DrawItem at = d;
                at.box.x += 0.37; // a fraction of a device pixel away from the grid
                const QRectF box = DrawListPainter::toQt(at.box);
                const QFont font = fonts_.font(d.text, 1.0);
                const auto paint = [&](bool direct) {
                    QImage img(QSize(int(std::ceil(d.box.w * scale)) + 2,
                                     int(std::ceil(d.box.h * scale)) + 2),
                               QImage::Format_RGB32);
                    img.fill(Qt::black);
                    QPainter p(&img);
                    p.setRenderHint(QPainter::Antialiasing);
                    p.scale(scale, scale);
                    p.translate(-d.box.x, -d.box.y);
                    if (!direct) {
                        painter.paint(p, at);
                        return img;
                    }
                    [&] { QCOMPARE(GlyphImages::wanted(p, font), scale > 2); }();
                    p.fillRect(box, QColor(d.back));
                    p.setClipRect(box);
                    p.setFont(font);
                    p.setPen(QColor(d.colour));
                    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                               QString::fromUtf8(d.caption.c_str()));
                    return img;
                };
                const QImage cached = paint(false), direct = paint(true);
                const QByteArray where = QByteArray(d.caption.c_str()) + " at " +
                                         QByteArray::number(scale);
                QVERIFY2(!inkBox(cached, cached.rect()).isEmpty(), where);
                // An edge may cross the half-ink mark a pixel apart, by the rounded offset.
                const QRect a = inkBox(cached, cached.rect()), b = inkBox(direct, direct.rect());
                QVERIFY2(std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
                             std::abs(a.right() - b.right()) <= 1 &&
                             std::abs(a.bottom() - b.bottom()) <= 1,
                         where);
                const double distance = inkDistance(cached, direct);
                QVERIFY2(distance < 0.015, where + ", distance " + QByteArray::number(distance));
            }
    }
};

QTEST_MAIN(TestLetters)
#include "tst_letters.moc"
