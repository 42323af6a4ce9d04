#pragma once
#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtGui/QImage>

namespace pr {

// The letter bitmaps ℓ, m, p, q, r, decoded once from the embedded JPEG resources.
class LetterImages {
public:
    // Decodes every resource named; false (with a message) if any fails or is not JPEG.
    bool load(const QStringList &resources, QString *error = nullptr);

    // The decoded image, or a null image if it was never loaded.
    QImage image(const QString &resource) const { return images_.value(resource); }

private:
    QHash<QString, QImage> images_;
};

} // namespace pr
