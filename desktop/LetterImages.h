#pragma once
#include "form/Image.h"

#include <QtCore/QString>
#include <QtGui/QImage>
#include <array>

namespace pr {

// The letter bitmaps ℓ, m, p, q, r, decoded once from the embedded JPEG resources and looked
// up by the core's image id.
class LetterImages {
public:
    // The Qt resource holding an image id's bitmap.
    static QString resourceOf(ImageId id);

    // Decodes every letter; false (with a message naming each failure) if any fails.
    bool load(QString *error = nullptr);
    // Decodes one resource as the bitmap of `id`; false (with a message) if it fails or is
    // not JPEG, and then the id shows nothing.
    bool load(ImageId id, const QString &resource, QString *error = nullptr);

    // The decoded image, or a null image if it was never loaded.
    const QImage &image(ImageId id) const { return images_[std::size_t(id)]; }

private:
    std::array<QImage, kImageIdCount> images_;
};

} // namespace pr
