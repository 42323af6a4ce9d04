// The window icon and the application id that names the installed desktop entry, metainfo
// and theme icon.
#include "AppIcon.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QXmlStreamReader>
#include <QtGui/QImage>
#include <QtTest/QtTest>

using namespace pr;

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void everySizeIsEmbedded()
    {
        const QIcon icon = applicationIcon();
        QList<QSize> expected;
        for (int size : kIconSizes)
            expected << QSize(size, size);
        QCOMPARE(icon.availableSizes(), expected);
        for (int size : kIconSizes) {
            const QString path =
                QStringLiteral(":/icons/%1x%1/apps/%2.png").arg(size).arg(applicationId());
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(size, size));
        }
    }

    // The largest size shows the figure: white parallels on the surface green inside a
    // rounded square with transparent corners.
    void largestSizeShowsTheFigureOnGreen()
    {
        QImage image(QStringLiteral(":/icons/256x256/apps/%1.png").arg(applicationId()));
        image = image.convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(qAlpha(image.pixel(1, 1)), 0);
        QCOMPARE(image.pixel(20, 60), qRgb(0, 128, 0));
        for (int y : {82, 128, 197})
            QCOMPARE(image.pixel(40, y), qRgb(255, 255, 255));
        // Between the parallels, left of the transversals: green again.
        QCOMPARE(image.pixel(40, 105), qRgb(0, 128, 0));
    }

    // The drawings the PNGs are made from, and the scalable icon that is installed, are
    // well-formed SVG documents on a square canvas.
    void svgSourcesAreSquareSvgDocuments_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("scalable") << QStringLiteral("icons/%1.svg").arg(applicationId());
        QTest::newRow("16") << QStringLiteral("icons/small/icon-16.svg");
        QTest::newRow("32") << QStringLiteral("icons/small/icon-32.svg");
    }
    void svgSourcesAreSquareSvgDocuments()
    {
        QFETCH(QString, file);
        QFile svg(QDir(QStringLiteral(PR_RESOURCES_DIR)).filePath(file));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name(), QStringLiteral("svg"));
        QCOMPARE(xml.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg"));
        const QStringList box =
            xml.attributes().value(QStringLiteral("viewBox")).toString().split(u' ');
        QCOMPARE(box.size(), 4);
        QCOMPARE(box[2], box[3]);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }

    // The id names the files that are installed for the desktop (the entry and metainfo as
    // the build configures them).
    void idNamesTheDesktopFiles()
    {
        const QDir resources(QStringLiteral(PR_RESOURCES_DIR));
        const QDir generated(QStringLiteral(PR_GENERATED_DIR));
        const QString id = applicationId();
        QVERIFY(generated.exists(QStringLiteral("%1.desktop").arg(id)));
        QVERIFY(generated.exists(QStringLiteral("%1.metainfo.xml").arg(id)));
        QVERIFY(resources.exists(QStringLiteral("icons/%1.svg").arg(id)));
        QFile desktop(generated.filePath(QStringLiteral("%1.desktop").arg(id)));
        QVERIFY(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
        QVERIFY(desktop.readAll().split('\n').contains(("Icon=" + id).toUtf8()));
    }

    // On X11 the window's class is the application's name, whatever the program file is
    // called (this test's is not); the desktop entry names the same class, so a dock puts
    // the running window with its launcher.
    void desktopEntryNamesTheWindowClass()
    {
        setApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationName(), applicationName());
        QVERIFY(QCoreApplication::applicationFilePath().endsWith(QStringLiteral("tst_app_icon")));
        QFile desktop(QDir(QStringLiteral(PR_GENERATED_DIR))
                          .filePath(QStringLiteral("%1.desktop").arg(applicationId())));
        QVERIFY(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
        const QList<QByteArray> lines = desktop.readAll().split('\n');
        QVERIFY(lines.contains(("StartupWMClass=" + applicationName()).toUtf8()));
        // The settings are kept under the same name.
        QCOMPARE(QCoreApplication::organizationName(), applicationName());
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_app_icon.moc"
