#pragma once
#include <cstdint>

namespace pr {

// The bitmaps the form embeds, by id; a front end maps each id to its own resource.
enum class ImageId : std::uint8_t { LetterL, LetterM, LetterP, LetterQ, LetterR };
inline constexpr int kImageIdCount = 5;

// An image element inside the surface, shown at its natural size. Width and Height are the
// bitmap's pixel size (fixed); Left/Top are logical surface pixels.
struct Image {
    ImageId Picture = ImageId::LetterL;
    float Left = 0, Top = 0;
    float Width = 0, Height = 0;

    bool operator==(const Image &) const = default;
};

} // namespace pr
