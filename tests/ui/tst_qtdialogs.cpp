// Qt's own dialogs speak Japanese in the window, as its own texts do: the buttons Qt names
// itself, before and after its Japanese is installed as main installs it.
#include "QtTranslations.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>

#include <QtTest/QtTest>

using namespace pr;

namespace {

QStringList buttonTexts(const QWidget &dialog)
{
    QStringList texts;
    for (const QAbstractButton *b : dialog.findChildren<QAbstractButton *>())
        texts << b->text();
    for (const QLabel *l : dialog.findChildren<QLabel *>())
        texts << l->text();
    return texts;
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT

private slots:
    void dialogsReadJapanese_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("lookIn");
        QTest::newRow("Qt's English") << false << "Cancel" << "&Open" << "Look in:";
        QTest::newRow("Qt's Japanese") << true << "キャンセル" << "開く(&O)" << "アドレス:";
    }
    void dialogsReadJapanese()
    {
        QFETCH(bool, installed);
        QFETCH(QString, cancel);
        QFETCH(QString, open);
        QFETCH(QString, lookIn);
        QTranslator *japanese = nullptr;
        if (installed) {
            japanese = installQtJapanese(*QCoreApplication::instance());
            QVERIFY2(japanese, "qtbase_ja.qm (Debian: qt6-translations-l10n) is not installed");
        }
        QMessageBox box(QMessageBox::Warning, QStringLiteral("板書"), QStringLiteral("本文"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        box.show();
        QVERIFY2(buttonTexts(box).contains(cancel), qPrintable(buttonTexts(box).join(u'|')));

        QFileDialog files(nullptr, QStringLiteral("板書を開く"));
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.show();
        QVERIFY2(buttonTexts(files).contains(open), qPrintable(buttonTexts(files).join(u'|')));
        QVERIFY2(buttonTexts(files).contains(lookIn), qPrintable(buttonTexts(files).join(u'|')));
        if (japanese) {
            QCoreApplication::removeTranslator(japanese);
            delete japanese;
        }
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
