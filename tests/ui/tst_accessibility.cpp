// The window as assistive technology reads it: every control named, the eight pens told
// apart, each button's purpose described, the mode buttons' state, and the surface a
// graphic with a name and a description of the figure.
#include "WindowTestUtil.h"

#include <QtGui/QAccessible>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

using namespace pr;

namespace {

QAccessibleInterface *iface(QObject *o)
{
    return QAccessible::queryAccessibleInterface(o);
}

QString name(QObject *o) { return iface(o)->text(QAccessible::Name); }
QString description(QObject *o) { return iface(o)->text(QAccessible::Description); }

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    // Everything the window holds, as a screen reader walks it.
    void everyChildOfTheWindowHasItsOwnName()
    {
        MainWindow w;
        wt::showAndWait(w);
        QAccessibleInterface *window = iface(&w);
        QVERIFY(window);
        QCOMPARE(window->text(QAccessible::Name), w.windowTitle());
        QSet<QString> names;
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface *child = window->child(i);
            QVERIFY(child);
            const QString n = child->text(QAccessible::Name);
            QVERIFY2(!n.trimmed().isEmpty(),
                     qPrintable(QStringLiteral("unnamed child %1 (%2)")
                                    .arg(i)
                                    .arg(child->object()->metaObject()->className())));
            QVERIFY2(!names.contains(n), qPrintable(n));
            names.insert(n);
        }
        // The heading, two row captions, four buttons, eight pens, the surface, the tool
        // strip and the board's notice; the focus ring is no child a reader should meet.
        QCOMPARE(window->childCount(), 18);
    }

    void pensAreToldApartByTheirRow()
    {
        MainWindow w;
        wt::showAndWait(w); // laid out, for the rows
        QSet<QString> names, descriptions;
        for (int i = 0; i < 8; ++i) {
            QRadioButton *o = w.optionButton(i);
            const QString n = name(o);
            // Its own caption and the caption of the row it sits in.
            const QLabel *row = w.rowCaption(o->y() < w.optionButton((i + 4) % 8)->y() ? 0 : 1);
            QVERIFY2(n.contains(o->text()) && n.contains(row->text()), qPrintable(n));
            QCOMPARE(iface(o)->role(), QAccessible::RadioButton);
            names.insert(n);
            descriptions.insert(description(o));
            QVERIFY(!description(o).isEmpty());
        }
        QCOMPARE(names.size(), 8);
        QCOMPARE(descriptions.size(), 8);
        // The thick pens are the upper row.
        QVERIFY(name(w.optionButton(4)).contains(QStringLiteral("太字")));
        QVERIFY(name(w.optionButton(0)).contains(QStringLiteral("細字")));
        QVERIFY(name(w.optionButton(3)).contains(QStringLiteral("消しゴム")));
    }

    void buttonsSayWhatTheyDo()
    {
        MainWindow w;
        QSet<QString> descriptions;
        for (int n = 1; n <= 4; ++n) {
            QPushButton *b = w.commandButton(n);
            QCOMPARE(name(b), b->text()); // the visible caption, unchanged
            // A button that stays pressed while its mode is on is a toggle to Qt.
            QCOMPARE(iface(b)->role(), n >= 3 ? QAccessible::CheckBox : QAccessible::Button);
            QVERIFY(description(b).size() > b->text().size());
            descriptions.insert(description(b));
        }
        QCOMPARE(descriptions.size(), 4);
        QVERIFY(description(w.commandButton(4)).contains(QStringLiteral("線")));
        QVERIFY(description(w.commandButton(3)).contains(QStringLiteral("書き込")));
        for (QLabel *l : {w.heading(), w.rowCaption(0), w.rowCaption(1)}) {
            QCOMPARE(name(l), l->text());
            QVERIFY(!description(l).isEmpty());
        }
    }

    void modeButtonsReportTheirState()
    {
        MainWindow w;
        wt::showAndWait(w);
        QPushButton *memo = w.commandButton(3);
        QVERIFY(iface(memo)->state().checkable);
        QVERIFY(!iface(memo)->state().checked);
        QTest::mouseClick(memo, Qt::LeftButton);
        QVERIFY(iface(memo)->state().checked);
        QVERIFY(iface(w.commandButton(4))->state().disabled);
        QTest::mouseClick(w.commandButton(1), Qt::LeftButton);
        QVERIFY(!iface(memo)->state().checked);
        QVERIFY(!iface(w.commandButton(1))->state().checkable);
    }

    void surfaceIsAGraphicThatDescribesTheFigure()
    {
        MainWindow w;
        QAccessibleInterface *s = iface(w.surface());
        QVERIFY(s);
        QCOMPARE(s->role(), QAccessible::Graphic);
        QVERIFY(!s->text(QAccessible::Name).isEmpty());
        const QString d = s->text(QAccessible::Description);
        for (const char *part : {"p", "q", "r", "ℓ", "m", "Ａ", "Ｂ", "Ｃ", "Ａ'", "Ｃ'", "Ｇ"})
            QVERIFY2(d.contains(QString::fromUtf8(part)), part);
        QVERIFY(!s->state().focusable); // it shows, it takes no keys
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
