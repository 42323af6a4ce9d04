// MainWindow's pictures of the board: to the clipboard, to a PNG or SVG file, to the printer.
#include "MainWindow.h"

#include "BoardPicture.h"
#include "SurfaceWidget.h"
#include "ToolStrip.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>
#include <QtGui/QClipboard>
#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QVBoxLayout>

namespace pr {

BoardPicture MainWindow::board() const { return board(shownPalette()); }

BoardPicture MainWindow::board(look::Palette palette) const
{
    return BoardPicture(DrawList::build(lesson_.form, palette), lesson_.strokes(), fonts_,
                        letters_, palette);
}

void MainWindow::copyBoard()
{
    QGuiApplication::clipboard()->setMimeData(board().toMimeData());
    // Nothing on the board changes, so say briefly that it worked, at the button pressed, or
    // at the pointer for the key.
    const QWidget *button = toolStrip_->button(toolAction(ToolId::Copy));
    const QPoint at = button && button->isVisible() ? button->mapToGlobal(button->rect().center())
                                                    : QCursor::pos();
    QToolTip::showText(at, QStringLiteral("画像をコピーしました"), this, {}, 1500);
}

void MainWindow::printBoard()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(BoardPicture::title());
    printer.setPageOrientation(QPageLayout::Landscape); // the board is wider than high
    QPrintDialog dialog(&printer, this);
    const QString caption = qText(tool(ToolId::Print).caption);
    dialog.setWindowTitle(caption);
    // White paper unless asked: a sheet of solid green wastes ink and reads badly. Where the
    // system's own dialog shows no tab of ours, white it is.
    auto *ground = new QWidget;
    ground->setWindowTitle(QStringLiteral("黒板の色"));
    auto *asShown = new QCheckBox(QStringLiteral("画面と同じ黒板の色で印刷する"), ground);
    (new QVBoxLayout(ground))->addWidget(asShown);
    dialog.setOptionTabs({ground});
    if (dialog.exec() != QDialog::Accepted)
        return;
    const look::Palette palette = asShown->isChecked() ? shownPalette() : look::Palette::Paper;
    if (!board(palette).print(printer))
        QMessageBox::warning(this, caption, qText(cannotPrintMessage()));
}

void MainWindow::saveBoardImage()
{
    // PNG at twice the design size unless another is chosen; SVG as vectors.
    static const double kScales[] = {2, 1, 4};
    QStringList filters;
    for (double k : kScales) {
        const QSize px = (BoardPicture::size() * k).toSize();
        filters << QStringLiteral("PNG 画像 %1倍 %2×%3 (*.png)").arg(k).arg(px.width()).arg(px.height());
    }
    const QString white = QStringLiteral("白い紙 ");
    filters << white + filters.front();
    filters << QStringLiteral("SVG 画像 (*.svg)") << white + QStringLiteral("SVG 画像 (*.svg)");
    static QString folder = [] {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        return QDir(pictures).exists() ? pictures : QDir::homePath();
    }();
    const QString name = QStringLiteral("%1 %2.png").arg(
        BoardPicture::title(),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hhmm")));
    QString chosen = filters.front();
    const QString caption = qText(tool(ToolId::SaveImage).caption);
    QString path = QFileDialog::getSaveFileName(this, caption,
                                                QDir(folder).filePath(name),
                                                filters.join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    const qsizetype filter = filters.indexOf(chosen);
    const bool svgChosen = chosen.endsWith(QStringLiteral("(*.svg)"));
    const bool paper = chosen.startsWith(white);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
        path += svgChosen ? QStringLiteral(".svg") : QStringLiteral(".png");
    folder = QFileInfo(path).absolutePath();
    const double scale = filter >= 0 && filter < 3 ? kScales[filter] : 2;
    QString error;
    if (!board(paper ? look::Palette::Paper : shownPalette()).save(path, scale, &error))
        QMessageBox::warning(this, caption,
                             qText(cannotSaveMessage(Saved::Picture,
                                                     BoardStore::saveProblem(path, 1 << 20),
                                                     error.toStdString())));
}

} // namespace pr
