#include "HelpDialog.h"

#include "AppIcon.h"
#include "ControlTexts.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace pr {

namespace {

QString helpHtml(const QString &boardFolder)
{
    QString keys;
    for (const KeyHelp &k : keyHelp(FrontEnd::Desktop))
        keys += QStringLiteral("<tr><td style='padding-right:1.5em'><b>%1</b></td><td>%2</td></tr>")
                    .arg(qText(k.keys).toHtmlEscaped(), qText(k.what).toHtmlEscaped());
    QString items;
    for (const HelpItem &i : usage())
        items += QStringLiteral("<li><b>%1</b>：%2</li>")
                     .arg(qText(i.what).toHtmlEscaped(), qText(i.how).toHtmlEscaped());
    return QStringLiteral(
               "<h3>使い方</h3><ul>%3</ul>"
               "%2"
               "<h3>キー</h3><table>%1</table>"
               "<p><i>赤い ℓ の写しをドラッグし、p より上を押して ℓ や m を延長します。"
               "メモで書き込み、対角線で記号のついた点を結び、初期画面か右クリックで"
               "最初に戻ります。</i></p>")
        .arg(keys, boardFolder.isEmpty()
                       ? QString()
                       : QStringLiteral("<p>板書を残すフォルダー: %1<br>"
                                        "壊れて開けない板書は消さずに、同じフォルダーに "
                                        "board-damaged-（日付と時刻）.json として残します。</p>")
                             .arg(boardFolder.toHtmlEscaped()),
             items);
}

} // namespace

HelpDialog::HelpDialog(const QString &boardFolder, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("使い方 — 平行線と線分の比"));
    label_ = new QLabel(helpHtml(boardFolder), this);
    label_->setTextFormat(Qt::RichText);
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    aboutButton_ = buttons->addButton(QStringLiteral("このプログラムについて"),
                                      QDialogButtonBox::ActionRole);
    aboutButton_->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    connect(aboutButton_, &QPushButton::clicked, this, &HelpDialog::showAbout);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(buttons);
    // About 36 full-width characters a line: the help stays a short read, not a tall strip.
    label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(QChar(0x3042)) * 36);
}

QString HelpDialog::text() const
{
    return label_->text();
}

QString HelpDialog::aboutText()
{
    return QStringLiteral("平行線と線分の比\n"
                          "%1 バージョン %2\n\n"
                          "MIT ライセンス (MIT License)\n"
                          "Copyright (c) 2026 parallel-ratio developers")
        .arg(applicationName(), applicationVersion());
}

void HelpDialog::showAbout()
{
    if (!aboutBox_) {
        aboutBox_ = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("このプログラムについて"),
                                    aboutText(), QMessageBox::Close, this);
        aboutBox_->setIconPixmap(applicationIcon().pixmap(64));
        aboutBox_->button(QMessageBox::Close)->setText(QStringLiteral("閉じる"));
        aboutBox_->setAttribute(Qt::WA_DeleteOnClose);
    }
    aboutBox_->open();
}

} // namespace pr
