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
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QToolTip>

namespace pr {

BoardPicture MainWindow::board() const
{
    return BoardPicture(surface_->shownList(), lesson_.strokes(), fonts_, letters_);
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
    if (dialog.exec() == QDialog::Accepted && !board().print(printer))
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
    filters << QStringLiteral("SVG 画像 (*.svg)");
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
    const bool svgChosen = filter == filters.size() - 1;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg"))
        path += svgChosen ? QStringLiteral(".svg") : QStringLiteral(".png");
    folder = QFileInfo(path).absolutePath();
    const double scale = filter >= 0 && !svgChosen ? kScales[filter] : 2;
    QString error;
    if (!board().save(path, scale, &error))
        QMessageBox::warning(this, caption,
                             qText(cannotSaveMessage(Saved::Picture,
                                                     BoardStore::saveProblem(path, 1 << 20),
                                                     error.toStdString())));
}

} // namespace pr
