// The window as a user first sees it: layout, captions, enabled states, the initial figure's
// pixels, the letter bitmaps, 初期画面 and 終了.
#include "WindowTestUtil.h"
#include "form/QBColor.h"
#include "FontFamilies.h"

#include <QtCore/QTimer>
#include <QtGui/QFontDatabase>
#include <QtGui/QImageReader>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace pr;

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void captionAndLayoutAtScaleOne()
    {
        MainWindow w;
        wt::showAndWait(w);
        QCOMPARE(w.windowTitle(), QStringLiteral("平行線と線分の比 (by Vorlane)"));
        QCOMPARE(w.size(), QSize(811, 702));
        QCOMPARE(w.formScale(), 1.0);
        // Twips / 15.
        QCOMPARE(w.heading()->geometry(), QRect(16, 8, 125, 33));
        QCOMPARE(w.commandButton(1)->geometry(), QRect(152, 8, 73, 33));
        QCOMPARE(w.commandButton(4)->geometry(), QRect(264, 8, 73, 33));
        QCOMPARE(w.commandButton(3)->geometry(), QRect(352, 8, 73, 33));
        QCOMPARE(w.commandButton(2)->geometry(), QRect(736, 8, 65, 33));
        QCOMPARE(w.rowCaption(0)->geometry(), QRect(432, 10, 24, 12));
        QCOMPARE(w.optionButton(4)->geometry(), QRect(464, 8, 57, 17));
        QCOMPARE(w.optionButton(3)->geometry(), QRect(632, 24, 81, 17));
        QCOMPARE(w.surface()->geometry(), QRect(8, 48, 793, 641));
    }

    void captionsEnabledStatesAndPen()
    {
        MainWindow w;
        wt::showAndWait(w);
        QCOMPARE(w.commandButton(1)->text(), QStringLiteral("初期画面"));
        QCOMPARE(w.commandButton(2)->text(), QStringLiteral("終了"));
        QCOMPARE(w.commandButton(3)->text(), QStringLiteral("メモ"));
        QCOMPARE(w.commandButton(4)->text(), QStringLiteral("対角線"));
        QCOMPARE(w.heading()->text(), QStringLiteral("相似と比"));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(w.commandButton(n)->isEnabled());
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!w.optionButton(i)->isEnabled());
            QCOMPARE(w.optionButton(i)->isChecked(), i == 0);
        }
    }

    void fontsAreInstalledFamilies()
    {
        const FontFamilies fonts;
        const QStringList installed = QFontDatabase::families();
        QVERIFY(installed.contains(fonts.gothic(), Qt::CaseInsensitive));
        QVERIFY(installed.contains(fonts.mincho(), Qt::CaseInsensitive));
        QCOMPARE(fonts.font(FontRole::Mincho29B, 1).pixelSize(), 29);
        QVERIFY(fonts.font(FontRole::Mincho29B, 1).bold());
        QCOMPARE(fonts.font(FontRole::Gothic32B, 2).pixelSize(), 64);

        const QStringList some = {QStringLiteral("IPAPGothic"), QStringLiteral("Foo")};
        QCOMPARE(FontFamilies::firstInstalled({QStringLiteral("ＭＳ Ｐゴシック"),
                                               QStringLiteral("ipapgothic")},
                                              some),
                 QStringLiteral("ipapgothic"));
        QVERIFY(FontFamilies::firstInstalled({QStringLiteral("Bar")}, some).isEmpty());
    }

    void letterBitmapsAreBaselineJpegs()
    {
        MainWindow w;
        QVERIFY2(w.resourceErrors().isEmpty(), qPrintable(w.resourceErrors()));
        const QSize sizes[5] = {{24, 34}, {35, 24}, {24, 34}, {24, 31}, {24, 27}};
        for (int i = 0; i <= 4; ++i) {
            const QString path = LetterImages::resourceOf(w.form().Image1[i].Picture);
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            const QByteArray bytes = file.readAll();
            QVERIFY(bytes.startsWith("\xFF\xD8"));
            QVERIFY2(bytes.contains("\xFF\xC0"), "baseline frame");
            QVERIFY2(!bytes.contains("\xFF\xC2"), "not progressive");
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("jpeg"));
            const QImage img = reader.read();
            QCOMPARE(img.size(), sizes[i]);
            QCOMPARE(QSizeF(w.form().Image1[i].Width, w.form().Image1[i].Height),
                     QSizeF(sizes[i]));
        }
    }

    void aMissingResourceIsReported()
    {
        LetterImages letters;
        QString error;
        QVERIFY(!letters.load(ImageId::LetterQ, QStringLiteral(":/letters/letter_x.jpg"), &error));
        QVERIFY(error.contains(QStringLiteral("letter_x")));
        QVERIFY(letters.image(ImageId::LetterQ).isNull());
        QVERIFY(letters.load(&error)); // the embedded ones load
        QVERIFY(!letters.image(ImageId::LetterQ).isNull());
    }

    void initialFigurePixels()
    {
        MainWindow w;
        wt::showAndWait(w);
        const QImage img = wt::grabSurface(w);
        const auto at = [&](double x, double y) { return wt::surfacePixel(w, img, {x, y}); };
        const QRgb white = qRgb(255, 255, 255) & 0xffffff, green = qRgb(0, 128, 0) & 0xffffff;
        const QRgb red = qRgb(255, 0, 0) & 0xffffff, yellow = qRgb(255, 255, 0) & 0xffffff;

        QCOMPARE(at(700, 600), green);          // empty surface
        QCOMPARE(at(100, 250), white);          // p
        QCOMPARE(at(600, 350), white);          // q
        QCOMPARE(at(720, 500), white);          // r
        QCOMPARE(at(480, 200), white);          // m
        QCOMPARE(at(368.75, 200), red);         // the copy of ℓ covers ℓ
        QCOMPARE(at(679, 250), yellow);         // tip of the arrowhead mark on p
        QCOMPARE(at(679, 500), yellow);         // and on r
        QVERIFY(wt::countNear(w, img, {662, 240, 16, 8}, qRgb(255, 255, 0), 30) > 10);
        QCOMPARE(at(453, 65), green);           // prolongations parked
        // Point labels: white glyph pixels on their green box; the letters likewise.
        QVERIFY(wt::countNear(w, img, {316, 219, 24, 29}, qRgb(255, 255, 255)) > 20);
        QVERIFY(wt::countNear(w, img, {492, 219, 34, 29}, qRgb(255, 255, 255)) > 20);
        QVERIFY(wt::countNear(w, img, {316, 219, 24, 29}, qRgb(0, 128, 0), 10) > 200);
        for (const QRectF &letter : {QRectF(396, 160, 24, 34), QRectF(476, 160, 35, 24),
                                     QRectF(50, 214, 24, 34), QRectF(50, 470, 24, 27)})
            QVERIFY(wt::countNear(w, img, letter, qRgb(255, 255, 255)) > 15);
        // Ｄ, Ｅ, Ｆ are hidden beneath Ａ, Ｂ, Ｃ: no red text inside Ａ's box.
        QCOMPARE(wt::countNear(w, img, {318, 221, 16, 22}, qRgb(255, 0, 0), 90), 0);
    }

    void headingAndBackgroundPixels()
    {
        MainWindow w;
        wt::showAndWait(w);
        const QImage img = w.grab().toImage();
        QCOMPARE(img.pixel(3, 3) & 0xffffff, qRgb(192, 255, 192) & 0xffffff);
        QCOMPARE(img.pixel(805, 695) & 0xffffff, qRgb(192, 255, 192) & 0xffffff);
        QCOMPARE(img.pixel(17, 9) & 0xffffff, qRgb(0, 128, 0) & 0xffffff);
        int brightGreen = 0;
        for (int y = 8; y < 41; ++y)
            for (int x = 16; x < 141; ++x)
                brightGreen += (img.pixel(x, y) & 0xffffff) == (qRgb(0, 255, 0) & 0xffffff);
        QVERIFY(brightGreen > 100);
    }

    void resetButtonRestoresTheScreen()
    {
        MainWindow w;
        wt::showAndWait(w);
        const QImage initial = wt::grabSurface(w);
        // Slide the copy, show a prolongation, then go back.
        wt::press(w, {300, 300});
        wt::move(w, {380, 300});
        wt::release(w, {380, 300});
        wt::click(w, {100, 100});
        QVERIFY(wt::grabSurface(w) != initial);
        QTest::mouseClick(w.commandButton(1), Qt::LeftButton);
        QCOMPARE(wt::grabSurface(w), initial);
        QTest::mouseClick(w.commandButton(1), Qt::LeftButton);
        QCOMPARE(wt::grabSurface(w), initial);
    }

    void quitButtonEndsTheEventLoop()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTimer::singleShot(0, &w, [&w] { QTest::mouseClick(w.commandButton(2), Qt::LeftButton); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // never reached
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(w.form().endRequested);
    }

    void closingTheWindowEndsTheEventLoop()
    {
        MainWindow w;
        wt::showAndWait(w);
        QTimer::singleShot(0, &w, [&w] { w.close(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
