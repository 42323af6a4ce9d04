#include "LetterImages.h"

#include <QtGui/QImageReader>

namespace pr {

QString LetterImages::resourceOf(ImageId id)
{
    switch (id) {
    case ImageId::LetterL:
        return QStringLiteral(":/letters/letter_l.jpg");
    case ImageId::LetterM:
        return QStringLiteral(":/letters/letter_m.jpg");
    case ImageId::LetterP:
        return QStringLiteral(":/letters/letter_p.jpg");
    case ImageId::LetterQ:
        return QStringLiteral(":/letters/letter_q.jpg");
    case ImageId::LetterR:
        return QStringLiteral(":/letters/letter_r.jpg");
    }
    return {};
}

bool LetterImages::load(QString *error)
{
    bool ok = true;
    for (int i = 0; i < kImageIdCount; ++i) {
        const auto id = ImageId(i);
        ok = load(id, resourceOf(id), error) && ok;
    }
    return ok;
}

bool LetterImages::load(ImageId id, const QString &resource, QString *error)
{
    QImageReader reader(resource, "jpeg");
    QImage image = reader.read();
    QImage &slot = images_[std::size_t(id)];
    if (image.isNull()) {
        slot = QImage();
        if (error)
            *error += QStringLiteral("%1: %2\n").arg(resource, reader.errorString());
        return false;
    }
    slot = image.convertToFormat(QImage::Format_RGB32);
    return true;
}

} // namespace pr
