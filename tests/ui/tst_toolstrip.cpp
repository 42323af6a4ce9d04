// The strip of tool buttons beside the form: where it shows and what room it takes, and its
// buttons clicked on the real window, through to the file and print dialogs.
#include "BoardPicture.h"
#include "ToolStrip.h"
#include "ScaledIndicatorStyle.h"
#include "ControlTexts.h"
#include "layout/WindowLayout.h"
#include "WindowTestUtil.h"

#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QMimeData>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QClipboard>
#include <QtGui/QShortcut>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtSvg/QSvgRenderer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolButton>

using namespace pr;

namespace {

void showAt(MainWindow &w, QSize size)
{
    w.resize(size);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

QToolButton *buttonOf(const MainWindow &w, ToolId tool)
{
    return w.toolStrip()->button(w.toolAction(tool));
}

// Clicks a strip button as a pointer would, through the window system.
void clickTool(MainWindow &w, ToolId tool)
{
    QToolButton *b = buttonOf(w, tool);
    QVERIFY(b && b->isVisible());
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {},
                      b->mapTo(&w, b->rect().center()));
}

// Runs `answer` on the modal dialog of type D once it is open (the dialogs are modal, so
// this is queued before the click that opens one).
template <typename D, typename F> void whenDialogOpens(F answer)
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto *d = qobject_cast<D *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(d);
        }
    });
    poll->start();
}

// Types a file name into an open file dialog, as a user would.
void typeFileName(QFileDialog *d, const QString &path)
{
    d->setDirectory(QFileInfo(path).absolutePath());
    auto *edit = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(QFileInfo(path).fileName());
}

} // namespace

class TestToolStrip : public QObject {
    Q_OBJECT

private slots:
    void hiddenAtTheDesignSize()
    {
        MainWindow w;
        wt::showAndWait(w);
        QVERIFY(!w.toolStrip()->isVisible());
        QCOMPARE(w.formScale(), 1.0);
        QCOMPARE(w.surface()->geometry(), QRect(8, 48, 793, 641));
    }

    void takesOnlyRoomTheFormLeaves()
    {
        MainWindow w;
        // Full HD, as a 16:9 projector in full screen: the form as large as the height
        // allows, as without the strip, and the strip in the spare third beside it.
        showAt(w, QSize(1920, 1080));
        const double s = 1080 / 702.0;
        QCOMPARE(w.formScale(), s);
        QCOMPARE(w.formScale(), WindowLayout(1920, 1080, 1, FrontEnd::Desktop).scale());
        QVERIFY(w.toolStrip()->isVisible());
        const QRect surface = w.surface()->geometry();
        QVERIFY(std::abs(surface.width() - 793 * s) <= 2);
        const QRect strip = w.toolStrip()->geometry();
        QVERIFY(strip.left() > w.commandButton(2)->geometry().right()); // right of 終了
        QVERIFY(strip.left() > surface.right());
        QVERIFY(strip.right() < 1920);
        // Form and strip centred together.
        const int leftMargin = w.heading()->geometry().left() - int(16 * s);
        QVERIFY(std::abs((1920 - 1 - strip.right()) - leftMargin) <= 2);
        // Big buttons, one below the other inside the strip, captions readable from afar.
        int bottom = -1;
        QCOMPARE(w.toolStrip()->shownButtons().size(), qsizetype(stripTools(FrontEnd::Desktop).size()));
        for (QToolButton *b : w.toolStrip()->shownButtons()) {
            QVERIFY(strip.contains(b->geometry().translated(strip.topLeft())));
            QVERIFY(b->geometry().top() > bottom);
            bottom = b->geometry().bottom();
            QVERIFY(b->height() >= 60);
            QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextOnly);
            QVERIFY(b->font().pixelSize() >= 20);
            QVERIFY(b->fontMetrics().horizontalAdvance(b->text()) < b->width());
        }
        QVERIFY(bottom <= surface.bottom() - strip.top());

        // Just wide enough for the large buttons at 768 px's height, then just too narrow: the
        // form is never shrunk to make room, and the narrow strip of icons takes over.
        const auto style = [&w] { return w.toolStrip()->shownButtons().front()->toolButtonStyle(); };
        const double s768 = 768 / 702.0;
        const int wide = int(std::ceil((811 + WindowLayout::kBesideWidth) * s768));
        w.resize(wide, 768);
        QTRY_COMPARE(style(), Qt::ToolButtonTextOnly);
        QCOMPARE(w.formScale(), s768);
        w.resize(wide - 1, 768);
        QTRY_COMPARE(style(), Qt::ToolButtonIconOnly);
        QCOMPARE(w.formScale(), s768);
        QVERIFY(std::abs(w.surface()->geometry().left() -
                         (8 * s768 + (wide - 1 - 811 * s768 - WindowLayout::kStripWidth) / 2.0)) <= 1);
        // Tall windows have their tools in a row under the form.
        w.resize(1080, 1920);
        QTRY_VERIFY(w.toolStrip()->geometry().top() >= w.surface()->geometry().bottom());
    }

    // On a touch screen the strip offers the pens too, as fingertip buttons that work the
    // form's options; Tab goes on from 終了 to the strip, and the ring stays in its gaps.
    void touchScreenPensOnTheStrip()
    {
        MainWindow w;
        w.setTouchPens(true);
        showAt(w, {1024, 768});
        QApplication::setActiveWindow(&w);
        for (int i = 0; i < 8; ++i) {
            QToolButton *b = w.toolStrip()->button(w.penAction(i));
            QVERIFY(b && b->isVisible());
            QCOMPARE(b->size(), QSize(WindowLayout::kTarget, WindowLayout::kTarget));
            QVERIFY(!b->isEnabled()); // the pens wait for メモ, on the strip as on the form
        }
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton);
        QToolButton *thickBlue = w.toolStrip()->button(w.penAction(6));
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {},
                          thickBlue->mapTo(&w, thickBlue->rect().center()));
        QCOMPARE(w.form().selectedOption1(), 6);
        QVERIFY(w.optionButton(6)->isChecked());
        QVERIFY(thickBlue->isChecked());
        QVERIFY(!w.toolStrip()->button(w.penAction(0))->isChecked());
        QCOMPARE(QApplication::focusWidget() == thickBlue, false); // a click keeps the focus

        w.commandButton(2)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.windowHandle(), Qt::Key_Tab);
        QWidget *next = QApplication::focusWidget();
        QVERIFY(next && next->parentWidget() == w.toolStrip());
        QCOMPARE(w.focusRingTarget(), next);
        const QVariant width = next->property(ScaledIndicatorStyle::kRingWidth),
                       gap = next->property(ScaledIndicatorStyle::kRingGap);
        QVERIFY(width.toInt() >= 1);
        QVERIFY(width.toInt() + gap.toInt() <= 4); // the icon buttons are 4 px apart
        QApplication::processEvents();
        const QImage shot = w.grab().toImage();
        const QRect allowed = QRect(next->mapTo(&w, QPoint()), next->size()).adjusted(-4, -4, 4, 4);
        int inside = 0, outside = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (QColor(shot.pixel(x, y)) == ScaledIndicatorStyle::focusColour())
                    ++(allowed.contains(QPoint(x, y) / shot.devicePixelRatio()) ? inside : outside);
        QVERIFY(inside > 4 * WindowLayout::kTarget);
        QCOMPARE(outside, 0);

        w.setTouchPens(false);
        QTRY_VERIFY(!w.toolStrip()->button(w.penAction(6)));
    }

    void formAndToolsWhereTheCoreSays()
    {
        // The same table of sizes as the web edition's layout test.
        QFile file(QStringLiteral(PR_WINDOW_SIZES));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray sizes = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(sizes.size() >= 10);
        MainWindow w;
        showAt(w, QSize(811, 702));
        const auto near = [](const QRect &got, const PixelRect &want) {
            return std::abs(got.x() - want.x) <= 1 && std::abs(got.y() - want.y) <= 1 &&
                   std::abs(got.width() - want.w) <= 1 && std::abs(got.height() - want.h) <= 1;
        };
        for (const QJsonValue &v : sizes) {
            const QSize size(v[QStringLiteral("w")].toInt(), v[QStringLiteral("h")].toInt());
            const QByteArray what = v[QStringLiteral("what")].toString().toUtf8();
            w.resize(size);
            QTRY_COMPARE(w.size(), size);
            const WindowLayout want(size.width(), size.height(), w.devicePixelRatioF(),
                                    FrontEnd::Desktop);
            const PictureBox &p = w.form().gamen;
            QVERIFY2(near(w.surface()->geometry(), want.place(p.Left, p.Top, p.Width, p.Height)),
                     what);
            for (int n = 1; n <= 4; ++n) {
                const CommandButton &b = n == 1 ? w.form().Command1 : n == 2 ? w.form().Command2
                                        : n == 3 ? w.form().Command3 : w.form().Command4;
                QVERIFY2(near(w.commandButton(n)->geometry(),
                              want.place(b.Left, b.Top, b.Width, b.Height)), what);
            }
            const QList<QToolButton *> shown = w.toolStrip()->shownButtons();
            QCOMPARE(shown.size(), qsizetype(want.buttons().size()));
            const QPoint origin = w.toolStrip()->geometry().topLeft();
            for (qsizetype i = 0; i < shown.size(); ++i) {
                QVERIFY2(near(shown[i]->geometry().translated(origin), want.buttons()[size_t(i)].box),
                         what);
                QVERIFY(shown[i]->width() >= 44 && shown[i]->height() >= 44);
            }
            // and 授業に参加…, which no strip has room for, last in the menu.
            if (want.toolsAt() != ToolsAt::Keys) {
                QCOMPARE(w.toolStrip()->moreMenu()->actions().size(),
                         qsizetype(want.menu().size()) + 1);
                QCOMPARE(w.toolStrip()->moreMenu()->actions().last(),
                         w.toolAction(ToolId::JoinClass));
            }
        }
    }

    void everyKeyDoesOneThing()
    {
        // Qt runs neither of two shortcuts that share a key, so a clash silently loses both.
        MainWindow w;
        QMap<QKeySequence, QString> owners;
        const auto take = [&owners](const QKeySequence &key, const QString &owner) {
            if (key.isEmpty())
                return;
            QVERIFY2(!owners.contains(key), qPrintable(key.toString() + QStringLiteral(": ") +
                                                       owners.value(key) + QStringLiteral(", ") +
                                                       owner));
            owners.insert(key, owner);
        };
        for (const QAction *a : w.findChildren<QAction *>())
            for (const QKeySequence &key : a->shortcuts())
                take(key, a->text());
        for (const QShortcut *s : w.findChildren<QShortcut *>())
            take(s->key(), s->objectName());
        for (const QAbstractButton *b : w.findChildren<QAbstractButton *>())
            if (!qobject_cast<const QToolButton *>(b)) // the strip's show their action's key
                take(b->shortcut(), b->accessibleName());
        // The help and the strip's tooltips name the tools' keys.
        for (const KeyHelp &k : keyHelp(FrontEnd::Desktop)) {
            if (k.keys.find("–") != std::string::npos)
                continue; // a range of pens
            for (QString one : qText(k.keys).split(QStringLiteral(", "))) {
                one.replace(QStringLiteral("スペース"), QStringLiteral("Space")); // named in Japanese
                const QKeySequence key = QKeySequence::fromString(one, QKeySequence::PortableText);
                QVERIFY2(owners.contains(key) || key == QKeySequence(Qt::Key_Escape) ||
                             key == QKeySequence(Qt::Key_Tab) || key == QKeySequence(Qt::Key_Space),
                         k.keys.c_str());
            }
        }
        showAt(w, QSize(1920, 1080));
        for (const Tool *tool : stripTools(FrontEnd::Desktop)) {
            const QList<QKeySequence> keys = keysOf(*tool);
            for (const QKeySequence &key : keys)
                QVERIFY(owners.contains(key));
            if (!keys.isEmpty())
                QVERIFY(buttonOf(w, tool->id)->toolTip().contains(
                    keys.front().toString(QKeySequence::NativeText)));
        }
    }

    void historyButtonsFollowTheHistory()
    {
        MainWindow w;
        showAt(w, QSize(1920, 1080));
        for (ToolId tool : {ToolId::Undo, ToolId::Redo, ToolId::ClearWriting})
            QVERIFY(!buttonOf(w, tool)->isEnabled());
        QVERIFY(buttonOf(w, ToolId::Open)->isEnabled());
        QTest::mouseClick(w.commandButton(3), Qt::LeftButton); // メモ
        wt::press(w, {100, 200});
        wt::move(w, {100, 300});
        QVERIFY(!buttonOf(w, ToolId::ClearWriting)->isEnabled()); // not while writing
        wt::release(w, {100, 300});
        QVERIFY(buttonOf(w, ToolId::Undo)->isEnabled());
        QVERIFY(buttonOf(w, ToolId::ClearWriting)->isEnabled());
        QVERIFY(!buttonOf(w, ToolId::Redo)->isEnabled());

        clickTool(w, ToolId::Undo);
        QVERIFY(w.lesson().strokes().empty());
        QVERIFY(!buttonOf(w, ToolId::Undo)->isEnabled());
        QVERIFY(buttonOf(w, ToolId::Redo)->isEnabled());
        clickTool(w, ToolId::Redo);
        QCOMPARE(w.lesson().strokes().size(), std::size_t(1));
        clickTool(w, ToolId::ClearWriting);
        QVERIFY(w.lesson().strokes().empty());
        QVERIFY(!buttonOf(w, ToolId::ClearWriting)->isEnabled());
        // The picture of the board follows: no writing left on it.
        QCOMPARE(w.board().toImage(1).pixel(102, 232) & 0xffffff, 0x008000u);
        QVERIFY(buttonOf(w, ToolId::ClearWriting)->toolTip().indexOf(u'(') < 0); // no key to name
    }

    // 見やすい色 repaints the surface and its pictures and leaves the board as it was; a
    // print or picture on paper is white with dark chalk.
    void colourSafeChangesOnlyTheLook()
    {
        MainWindow w;
        showAt(w, QSize(1920, 1080));
        w.commandButton(3)->click();
        wt::press(w, {100, 200});
        wt::move(w, {100, 300});
        wt::release(w, {100, 300});
        const Board before = w.lesson().board();
        const auto surfaceAt = [&w](QPointF p) {
            const QImage shot = w.surface()->grab().toImage();
            return shot.pixel((w.surface()->strokeLayer().toWidget(p) * shot.devicePixelRatio())
                                  .toPoint()) & 0xffffff;
        };
        const struct {
            look::Palette palette;
            QRgb ground, ink;
        } kLooks[] = {{look::Palette::Lesson, 0x008000, 0xff0000},
                      {look::Palette::ColourSafe, 0x173d2b, 0xff775b},
                      {look::Palette::Lesson, 0x008000, 0xff0000}};
        for (const auto &l : kLooks) {
            if ((l.palette == look::Palette::ColourSafe) != w.colourSafe())
                clickTool(w, ToolId::ColourSafe);
            QCOMPARE(buttonOf(w, ToolId::ColourSafe)->isChecked(), w.colourSafe());
            QCOMPARE(surfaceAt({300, 150}), l.ground);
            QCOMPARE(surfaceAt({100, 280}), l.ink);
            const QImage picture = w.board().toImage(1);
            QCOMPARE(picture.pixel(302, 152) & 0xffffff, l.ground);
            QCOMPARE(picture.pixel(102, 282) & 0xffffff, l.ink);
            QCOMPARE(w.lesson().board(), before);
        }
        const QImage paper = w.board(look::Palette::Paper).toImage(1);
        QCOMPARE(paper.pixel(302, 152) & 0xffffff, 0xffffffu);
        QCOMPARE(paper.pixel(102, 282) & 0xffffff, 0x920106u);
        QVERIFY(qGray(paper.pixel(102, 282)) < 100); // dark in grey scale too
    }

    void copyButtonPutsTheBoardOnTheClipboard()
    {
        MainWindow w;
        showAt(w, QSize(1920, 1080));
        QGuiApplication::clipboard()->clear();
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!data || !data->hasImage());
        clickTool(w, ToolId::Copy);
        data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasImage());
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), QSize(1586, 1282));
    }

    void saveImageButtonAsksForAFileAndWritesIt()
    {
        MainWindow w;
        showAt(w, QSize(1920, 1080));
        QTemporaryDir dir;
        // PNG, twice the design size, unless chosen otherwise; the extension is added.
        const QString png = dir.filePath(QStringLiteral("板書"));
        whenDialogOpens<QFileDialog>([png](QFileDialog *d) {
            typeFileName(d, png);
            static_cast<QDialog *>(d)->accept(); // as the dialog's own button does
        });
        clickTool(w, ToolId::SaveImage);
        QTRY_VERIFY(QFile::exists(png + QStringLiteral(".png")));
        QCOMPARE(QImage(png + QStringLiteral(".png")).size(), QSize(1586, 1282));

        // Another scale among the choices.
        const QString one = dir.filePath(QStringLiteral("one.png"));
        whenDialogOpens<QFileDialog>([one](QFileDialog *d) {
            d->selectNameFilter(d->nameFilters().at(1));
            typeFileName(d, one);
            static_cast<QDialog *>(d)->accept(); // as the dialog's own button does
        });
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        wt::key(w, Qt::Key_E, Qt::ControlModifier); // the same through its key
        QTRY_VERIFY(QFile::exists(one));
        QCOMPARE(QImage(one).size(), QSize(793, 641));

        const QString svg = dir.filePath(QStringLiteral("board.svg"));
        whenDialogOpens<QFileDialog>([svg](QFileDialog *d) {
            typeFileName(d, svg);
            static_cast<QDialog *>(d)->accept(); // as the dialog's own button does
        });
        clickTool(w, ToolId::SaveImage);
        QTRY_VERIFY(QFile::exists(svg));
        QVERIFY(QSvgRenderer(svg).isValid());

        // Cancelled: nothing is written.
        whenDialogOpens<QFileDialog>([](QFileDialog *d) { d->reject(); });
        clickTool(w, ToolId::SaveImage);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    }

    void printButtonOpensThePrintDialog()
    {
        MainWindow w;
        showAt(w, QSize(1920, 1080));
        bool landscape = false;
        whenDialogOpens<QPrintDialog>([&landscape](QPrintDialog *d) {
            landscape = d->printer()->pageLayout().orientation() == QPageLayout::Landscape;
            d->reject();
        });
        clickTool(w, ToolId::Print);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY(landscape); // the board is wider than high
    }
};

QTEST_MAIN(TestToolStrip)
#include "tst_toolstrip.moc"
