// What the program remembers between runs: the window's place, size and state and the large
// pointer come back as they were left, and a damaged settings file is left aside, the window
// opening as it would with none.
#include "MainWindow.h"
#include "WindowSettings.h"

#include <QtCore/QSettings>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtGui/QScreen>
#include <QtTest/QtTest>

using namespace pr;

namespace {

constexpr QSize kMinimum(200, 175);

// A settings file of its own for each case, in a temporary directory.
class Scratch {
public:
    Scratch() : path_(dir_.filePath(QStringLiteral("settings.ini"))) {}
    QString path() const { return path_; }
    void write(const QByteArray &bytes) const
    {
        QFile f(path_);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

// What a window with no settings at all opens as, on this screen.
QSize startSize()
{
    MainWindow reference;
    reference.fitToScreen();
    return reference.size();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Whatever goes wrong, the user's own settings are never touched.
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("parallel-ratio-tests"));
    }

    // ---- where a saved rectangle may go -------------------------------------------------

    void placeable_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("expected"); // null: left aside

        const QRect hd(0, 0, 1920, 1040), left(-1280, 0, 1280, 1024);
        QTest::newRow("on the screen") << QRect(100, 80, 811, 702) << QList{hd}
                                       << QRect(100, 80, 811, 702);
        QTest::newRow("partly past the right edge")
            << QRect(1500, 80, 811, 702) << QList{hd} << QRect(1109, 80, 811, 702);
        QTest::newRow("partly above the top") << QRect(100, -300, 811, 702) << QList{hd}
                                              << QRect(100, 0, 811, 702);
        QTest::newRow("screen left of the primary")
            << QRect(-1200, 100, 811, 702) << QList{hd, left} << QRect(-1200, 100, 811, 702);
        QTest::newRow("across two screens, onto the one it shares most with")
            << QRect(-200, 100, 811, 702) << QList{hd, left} << QRect(0, 100, 811, 702);
        QTest::newRow("screen that is gone") << QRect(-1200, 100, 811, 702) << QList{hd}
                                             << QRect();
        QTest::newRow("off every screen") << QRect(5000, 5000, 811, 702) << QList{hd, left}
                                          << QRect();
        QTest::newRow("larger than the screen") << QRect(0, 0, 4000, 3000) << QList{hd}
                                                << QRect();
        QTest::newRow("wider than the screen") << QRect(0, 0, 2400, 700) << QList{hd}
                                               << QRect();
        QTest::newRow("taller than the screen") << QRect(0, 0, 800, 1100) << QList{hd}
                                                << QRect();
        QTest::newRow("smaller than the window may be") << QRect(10, 10, 50, 40) << QList{hd}
                                                        << QRect();
        QTest::newRow("no screens") << QRect(0, 0, 811, 702) << QList<QRect>{} << QRect();
    }
    void placeable()
    {
        QFETCH(QRect, saved);
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, expected);
        const std::optional<QRect> got = WindowSettings::placeable(saved, kMinimum, screens);
        QCOMPARE(got.has_value(), !expected.isNull());
        if (got) {
            QCOMPARE(*got, expected);
            QCOMPARE(got->size(), saved.size()); // moved, never resized
        }
    }

    // ---- round trips through a file -----------------------------------------------------

    void placeAndSizeComeBack()
    {
        Scratch file;
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect where(avail.left() + 40, avail.top() + 30, 600, 450);
        {
            QSettings s(file.path(), QSettings::IniFormat);
            WindowSettings remembered(s);
            MainWindow w;
            w.setGeometry(where);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            remembered.saveWindow(w);
        }
        QSettings s(file.path(), QSettings::IniFormat);
        MainWindow again;
        WindowSettings(s).showWindow(again, false);
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.geometry(), where);
        QVERIFY(!again.isFullScreen());
        QVERIFY(!again.isMaximized());
    }

    void fullScreenComesBackWithItsNormalPlace()
    {
        Scratch file;
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect normal(avail.left() + 20, avail.top() + 20, 500, 400);
        {
            QSettings s(file.path(), QSettings::IniFormat);
            MainWindow w;
            w.setGeometry(normal);
            w.showFullScreen();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(w.isFullScreen());
            WindowSettings(s).saveWindow(w);
        }
        QSettings s(file.path(), QSettings::IniFormat);
        MainWindow again;
        WindowSettings(s).showWindow(again, false);
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QVERIFY(again.isFullScreen());
        again.showNormal();
        QTRY_COMPARE(again.geometry(), normal);
    }

    void maximisedComesBack()
    {
        Scratch file;
        {
            QSettings s(file.path(), QSettings::IniFormat);
            MainWindow w;
            w.resize(500, 400);
            w.showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(w.isMaximized());
            WindowSettings(s).saveWindow(w);
        }
        QSettings s(file.path(), QSettings::IniFormat);
        MainWindow again;
        WindowSettings(s).showWindow(again, false);
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QVERIFY(again.isMaximized());
    }

    void fullScreenAskedForWinsOverTheFile()
    {
        Scratch file;
        file.write("[window]\nfullScreen=false\n");
        QSettings s(file.path(), QSettings::IniFormat);
        MainWindow w;
        WindowSettings(s).showWindow(w, true);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.isFullScreen());
    }

    void largePointerComesBack()
    {
        Scratch file;
        {
            QSettings s(file.path(), QSettings::IniFormat);
            WindowSettings remembered(s);
            QVERIFY(!remembered.largePointer()); // off unless chosen
            remembered.setLargePointer(true);
        }
        {
            QSettings s(file.path(), QSettings::IniFormat);
            WindowSettings remembered(s);
            QVERIFY(remembered.largePointer());
            remembered.setLargePointer(false);
        }
        QSettings s(file.path(), QSettings::IniFormat);
        QVERIFY(!WindowSettings(s).largePointer());
    }

    void nothingSavedMeansTheStartSize()
    {
        Scratch file;
        QSettings s(file.path(), QSettings::IniFormat);
        MainWindow w;
        WindowSettings(s).showWindow(w, false);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), startSize());
    }

    // ---- damaged files ------------------------------------------------------------------

    void damagedFileIsLeftAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        QTest::newRow("garbage bytes") << garbage;
        QTest::newRow("garbage after a header") << QByteArray("[window]\n") + garbage;
        QTest::newRow("cut short") << QByteArray("[window]\nx=10\ny=1");
        QTest::newRow("absurd size")
            << QByteArray("[window]\nx=0\ny=0\nwidth=100000\nheight=90000\n");
        QTest::newRow("zero size") << QByteArray("[window]\nx=0\ny=0\nwidth=0\nheight=0\n");
        QTest::newRow("negative size")
            << QByteArray("[window]\nx=10\ny=10\nwidth=-811\nheight=-702\n");
        QTest::newRow("huge negative position")
            << QByteArray("[window]\nx=-2147483648\ny=-2147483600\nwidth=600\nheight=400\n");
        QTest::newRow("beyond int")
            << QByteArray("[window]\nx=99999999999999999\ny=10\nwidth=600\nheight=400\n");
        QTest::newRow("off every screen")
            << QByteArray("[window]\nx=30000\ny=20000\nwidth=600\nheight=400\n");
        QTest::newRow("not numbers")
            << QByteArray("[window]\nx=left\ny=@Rect(1 2 3 4)\nwidth=wide\nheight=1e3\n");
        QTest::newRow("switches that are not true or false")
            << QByteArray("[window]\nfullScreen=banana\nmaximized=2\n[pointer]\nlarge=yes\n");
        QTest::newRow("empty") << QByteArray();
    }
    void damagedFileIsLeftAside()
    {
        QFETCH(QByteArray, contents);
        Scratch file;
        file.write(contents);
        QSettings s(file.path(), QSettings::IniFormat);
        WindowSettings remembered(s);
        MainWindow w;
        remembered.showWindow(w, false);
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), startSize());
        QVERIFY(!w.isFullScreen());
        QVERIFY(!w.isMaximized());
        QVERIFY(!remembered.largePointer());
        // And the next save writes a good file over it.
        remembered.saveWindow(w);
        QSettings reread(file.path(), QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("window/width")).toInt(), w.normalGeometry().width());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
