#include "LetterImages.h"

#include <QtGui/QImageReader>

namespace pr {

bool LetterImages::load(const QStringList &resources, QString *error)
{
    bool ok = true;
    for (const QString &resource : resources) {
        QImageReader reader(resource, "jpeg");
        QImage image = reader.read();
        if (image.isNull()) {
            ok = false;
            if (error)
                *error += QStringLiteral("%1: %2\n").arg(resource, reader.errorString());
            continue;
        }
        images_.insert(resource, image.convertToFormat(QImage::Format_RGB32));
    }
    return ok;
}

} // namespace pr
