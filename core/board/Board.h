#pragma once
#include "board/BoardError.h"
#include "board/Stroke.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pr {

struct Form1;

// A whole board as a file keeps it: where the figure's movable parts are and every stroke.
// Modes, the pen and the pointer are not part of a board; an opened board starts with every
// mode off, as after 初期画面. Positions are logical surface pixels.
//
// Only what the user can see is kept: a parked line or label is "not shown", whatever
// coordinates it was parked with. Two boards compare equal when they show the same thing.
struct Board {
    // Ｄ, Ｅ, Ｆ on the copy of ℓ. Their tops never change, only how far they slid.
    struct CopyLabel {
        float left = 0;
        bool visible = true;
        bool highlighted = false; // light magenta: hidden while the copy was held
        bool operator==(const CopyLabel &) const = default;
    };
    // A construction line between two point labels (0..5: Ａ, Ｂ, Ｃ, Ａ', Ｂ', Ｃ'), or parked.
    struct ConstructionLine {
        bool shown = false;
        int from = 0, to = 0; // both ends on `from` while only the first end is chosen
        bool operator==(const ConstructionLine &) const = default;
    };

    // A prolongation above ℓ or m: white once a release committed it, light magenta while
    // pressed (and after a press that another press took over before the release).
    enum class Prolongation { Hidden, Shown, Highlighted };

    float copyX1 = 400, copyX2 = 150; // ends of the copy of ℓ (y 150 and 550)
    bool copyHighlighted = false;     // light magenta: a press on it that another took over
    std::array<CopyLabel, 3> copyLabels{{{316}, {255}, {163}}};
    Prolongation prolongationL = Prolongation::Hidden, prolongationM = Prolongation::Hidden;
    bool pointG = false; // Ｇ, placed by the release that committed a prolongation
    std::array<ConstructionLine, 5> lines{};
    int nextLine = 0; // 0..4, the construction line the next two clicks build
    std::vector<Stroke> strokes;
    bool ratios = false, triangles = false; // the aids shown over it (比を表示, 相似な三角形)

    // The board the form shows with these strokes.
    static Board of(const Form1 &form, const std::vector<Stroke> &strokes);
    // Lays the figure's part of the board on a form that was just reset (strokes aside).
    void applyTo(Form1 &form) const;

    // No fault if the board is one the lesson's handlers can produce: the copy of ℓ a
    // translate of ℓ with Ｄ, Ｅ, Ｆ on its crossings, shown or hidden as a slide leaves them
    // (or as a reset keeps them), Ｇ with a prolongation, the construction lines in the order
    // they are built, strokes in the pens' colours and widths. Otherwise what is wrong.
    [[nodiscard]] BoardFault check() const;

    std::size_t pointCount() const;

    bool operator==(const Board &) const = default;

    // Limits that keep a hostile file from exhausting memory: 4 Mi points are 32 MiB.
    static constexpr std::size_t kMaxPoints = std::size_t(4) << 20;
    static constexpr std::size_t kMaxStrokes = std::size_t(1) << 20;
};

} // namespace pr
