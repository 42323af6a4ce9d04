// The board as a picture: PNG at a chosen scale against the window's own pixels, SVG read back
// by another renderer against the PNG, the clipboard after a copy, printing to PDF, saving.
#include "BoardPicture.h"
#include "ControlTexts.h"
#include "FontFamilies.h"
#include "LetterGlyphs.h"
#include "WindowTestUtil.h"

#include <QtCore/QMimeData>
#include <QtCore/QTemporaryDir>
#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtGui/QPainter>
#include <QtPrintSupport/QPrinter>
#include <QtSvg/QSvgRenderer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace pr;

namespace {

constexpr QRgb Red = 0xff0000, Yellow = 0xffff00, Green = 0x008000;

bool differs(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b)) >
           tolerance;
}

// Pixels whose colours differ by more than `tolerance` (sum over the channels).
int countDiffering(const QImage &a, const QImage &b, int tolerance = 120)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += differs(a.pixel(x, y), b.pixel(x, y), tolerance) ? 1 : 0;
    return n;
}

// Two renderings of a board at `scale` compared apart from the text, whose glyphs each
// renderer (and each size) shapes its own way: differing pixels outside the text boxes, and
// the share of the text boxes' pixels that differ.
struct Comparison {
    int outside = 0;
    double textShare = 0;
};

Comparison compareBoards(const MainWindow &w, const QImage &a, const QImage &b, double scale)
{
    Comparison c;
    if (a.size() != b.size()) {
        c.outside = a.width() * a.height();
        return c;
    }
    QRegion text;
    for (const DrawItem &item : w.surface()->shownList().items)
        if (item.kind == DrawKind::Text || item.kind == DrawKind::Outline)
            text += QRectF((item.box.x + 2 - 1) * scale, (item.box.y + 2 - 1) * scale,
                           (item.box.w + 2) * scale, (item.box.h + 2) * scale)
                        .toAlignedRect();
    int inText = 0, differingInText = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool d = differs(a.pixel(x, y), b.pixel(x, y), 120);
            if (text.contains(QPoint(x, y))) {
                ++inText;
                differingInText += d ? 1 : 0;
            } else {
                c.outside += d ? 1 : 0;
            }
        }
    c.textShare = inText ? double(differingInText) / inText : 0;
    return c;
}

QImage renderSvg(const QByteArray &svg, QSize size)
{
    QSvgRenderer renderer(svg);
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    if (!renderer.isValid())
        return img;
    QPainter p(&img);
    renderer.render(&p);
    return img;
}

QRgb at(const QImage &board, double scale, QPointF surfacePoint)
{
    const QPointF q = (surfacePoint + QPointF(2, 2)) * scale;
    return board.pixel(int(q.x()), int(q.y())) & 0xffffffu;
}

// Memo: a thick red stroke, a thick yellow one partly wiped by the thick eraser (whose
// cursor is left on the surface); then the copy of ℓ slid 120 px to the right.
void writeAndSlide(MainWindow &w)
{
    QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
    QTest::mouseClick(w.optionButton(4), Qt::LeftButton); // thick red
    wt::press(w, {100, 200});
    wt::move(w, {130, 300});
    wt::move(w, {100, 420});
    wt::release(w, {100, 420});
    QTest::mouseClick(w.optionButton(5), Qt::LeftButton); // thick yellow
    wt::press(w, {600, 150});
    wt::move(w, {700, 160});
    wt::release(w, {700, 160});
    QTest::mouseClick(w.optionButton(7), Qt::LeftButton); // thick eraser
    wt::press(w, {690, 120});
    wt::move(w, {690, 200});
    wt::release(w, {690, 200});
    wt::move(w, {500, 500}); // the cursor rests here
    QTest::mouseClick(w.commandButton(3), Qt::LeftButton); // memo off, strokes stay
    wt::press(w, {300, 300});
    wt::move(w, {420, 300});
    wt::release(w, {420, 300});
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void pngIsTheSurfaceAtTheChosenScale()
    {
        MainWindow w;
        wt::showAndWait(w);
        writeAndSlide(w);
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QTest::mouseClick(w.optionButton(7), Qt::LeftButton);
        wt::move(w, {500, 500}); // the eraser's outline shows on screen ...
        const QImage screen = wt::grabSurface(w);
        QCOMPARE(screen.size(), QSize(793, 641));
        QCOMPARE(screen.pixel(wt::windowPoint(w, {500, 488.5}) - w.surface()->pos()) & 0xffffff,
                 0u);

        const QImage big = w.board().toImage(2);
        QCOMPARE(big.size(), QSize(1586, 1282));
        // ... but not on the board, which shows the writing and the slid copy.
        QCOMPARE(at(big, 2, {500, 488.5}), Green);
        QCOMPARE(at(big, 2, {109, 230}), Red);
        QCOMPARE(at(big, 2, {620, 152}), Yellow);
        QCOMPARE(at(big, 2, {690, 159}), Green); // wiped
        QCOMPARE(at(big, 2, {368.75 + 120, 200}), Red);
        QCOMPARE(at(big, 2, {-1.5, -1.5}), qRgb(128, 128, 128) & 0xffffffu); // the frame

        // Scaled down, it is the window's surface but for antialiased edges and the text,
        // whose glyphs are shaped for each size.
        const QImage small = big.scaled(screen.size(), Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
        Comparison c = compareBoards(w, small, screen, 1);
        QVERIFY2(c.outside < 50 && c.textShare < 0.2,
                 qPrintable(QStringLiteral("%1 %2").arg(c.outside).arg(c.textShare)));

        const QImage one = w.board().toImage(1);
        QCOMPARE(one.size(), QSize(793, 641));
        c = compareBoards(w, one, screen, 1);
        QVERIFY2(c.outside < 50 && c.textShare < 0.2,
                 qPrintable(QStringLiteral("%1 %2").arg(c.outside).arg(c.textShare)));
        QCOMPARE(w.board().toImage(1.5).size(), QSize(1190, 962));
    }

    void svgReadsBackAsThePng()
    {
        MainWindow w;
        wt::showAndWait(w);
        const QImage before = w.board().toImage(2);
        writeAndSlide(w);
        const QByteArray svg = w.board().toSvg();
        QVERIFY(svg.startsWith("<?xml"));
        // The labels as outlines in the window's faces, named by their captions: the same
        // on a machine without the faces.
        QVERIFY(svg.contains(QStringLiteral("aria-label=\"Ａ'\"").toUtf8()));
        QVERIFY(!svg.contains("class=\"mincho\""));
        QVERIFY(svg.contains("viewBox=\"0 0 793 641\""));
        QCOMPARE(QSvgRenderer(svg).defaultSize(), QSize(793, 641)); // in pixels, not rounded up
        // The style sheet names the window's face before the faces other machines may have;
        // the letters as outlines where the window draws them so. The same board gives the
        // same bytes.
        QVERIFY(svg.contains("IPAPMincho, 'IPA P明朝'"));
        QCOMPARE(svg.contains("class=\"italic\""), !LetterGlyphs().available());
        QCOMPARE(w.board().toSvg(), svg);

        const QImage png = w.board().toImage(2);
        const QImage back = renderSvg(svg, png.size());
        QCOMPARE(at(back, 2, {109, 230}), Red);
        QCOMPARE(at(back, 2, {620, 152}), Yellow);
        QCOMPARE(at(back, 2, {690, 159}), Green);
        QCOMPARE(at(back, 2, {368.75 + 120, 200}), Red);
        // Another renderer draws text and edges its own way.
        const Comparison c = compareBoards(w, back, png, 2);
        QVERIFY2(c.outside < 100 && c.textShare < 0.15,
                 qPrintable(QStringLiteral("%1 %2").arg(c.outside).arg(c.textShare)));
        // Any stroke or slide is far more than that.
        QVERIFY(compareBoards(w, before, png, 2).outside > 2000);
    }

    void strokesFarOffAreCutAtTheEdge()
    {
        // A pointer flung far off the window: the stroke reaches the surface's edge and no
        // further, in the picture as on screen, without bringing huge numbers to a painter.
        MainWindow w;
        wt::showAndWait(w);
        w.handle([](Lesson &l) {
            l.clickCommand(3);
            l.clickOption(4); // thick red
            l.press(1, 0, 100, 100);
            l.move(1, 0, 9e5, 100);
            l.move(1, 0, 9e5, -9e5);
            l.release(1, 0, 9e5, -9e5);
        });
        QCOMPARE(w.lesson().strokes().size(), std::size_t(1));
        const QImage board = w.board().toImage(1);
        const QImage screen = wt::grabSurface(w);
        for (const double x : {101.0, 400.0, 787.0})
            QCOMPARE(at(board, 1, {x, 100}), Red);
        QCOMPARE(at(board, 1, {790, 100}), qRgb(255, 255, 255) & 0xffffffu); // the frame's edge
        QVERIFY(countDiffering(board, screen) < 50);
        const QImage back = renderSvg(w.board().toSvg(), QSize(793, 641));
        const Comparison c = compareBoards(w, back, board, 1);
        QVERIFY2(c.outside < 50, qPrintable(QString::number(c.outside)));
    }

    void copyPutsImageAndSvgOnTheClipboard()
    {
        MainWindow w;
        wt::showActive(w);
        writeAndSlide(w);
        QGuiApplication::clipboard()->clear();
        wt::key(w, Qt::Key_C, Qt::ControlModifier);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QVERIFY(data->hasImage());
        const QImage img = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(img.size(), QSize(1586, 1282));
        QCOMPARE(at(img, 2, {109, 230}), Red);
        QVERIFY(data->data(QStringLiteral("image/svg+xml")).contains("<svg"));
    }

    void printFitsThePage()
    {
        MainWindow w;
        wt::showAndWait(w);
        writeAndSlide(w);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("board.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        w.board().print(printer);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.size() > 10000);
        QVERIFY(bytes.contains("/MediaBox [0 0 842")); // A4 on its side

        // Fitted and centred: on a tall page the board spans the width, with equal margins
        // above and below; on a wide one the height.
        const QImage board = w.board().toImage(1);
        for (const QSize size : {QSize(793, 1641), QSize(1793, 641)}) {
            QImage page(size, QImage::Format_RGB32);
            page.fill(Qt::white);
            w.board().print(page);
            const QPoint offset((size.width() - 793) / 2, (size.height() - 641) / 2);
            const QPoint margins[2][2] = {{{396, -1}, {396, 641}}, {{-1, 320}, {793, 320}}};
            for (const QPoint m : margins[size.width() > 793 ? 1 : 0]) {
                QCOMPARE(page.pixel(offset + m) & 0xffffff, 0xffffffu);
            }
            QVERIFY(countDiffering(page.copy(QRect(offset, board.size())), board) < 50);
        }
    }

    void savesPngOrSvgByName()
    {
        MainWindow w;
        wt::showAndWait(w);
        writeAndSlide(w);
        QTemporaryDir dir;
        QString error;
        QVERIFY(w.board().save(dir.filePath(QStringLiteral("a.png")), 1, &error));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("a.png"))).size(), QSize(793, 641));
        QVERIFY(w.board().save(dir.filePath(QStringLiteral("b.SVG")), 1, &error));
        QFile svg(dir.filePath(QStringLiteral("b.SVG")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(QSvgRenderer(svg.readAll()).isValid());

        const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/c.svg"));
        QVERIFY(!w.board().save(nowhere, 2, &error));
        QVERIFY(error.contains(nowhere));
        error.clear();
        QVERIFY(!w.board().save(dir.filePath(QStringLiteral("no/such/d.png")), 2, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
