#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pr {

struct Form1;
class Lesson;

// A replayable record of what reaches the window: presses, moves and releases on the
// surface, and clicks on the command buttons, the pen options and the point labels.
//
// Scripts are replayed through the lesson's entry points, so a click on a disabled button is
// ignored as it is on screen. Pointer positions are logical surface pixels, passed on exactly
// as written: non-finite and huge values are kept (the lesson, not the script, decides what
// it can use). A click on a point label is what a user makes of it: a left press and release
// at the label's centre.
//
// Text form, one event a line (or separated by ';'), '#' starting a comment that runs to the
// end of its line:
//   press B X Y [S]     B: button (1 left, 2 right, 4 middle), S: shift state (default 0)
//   move B X Y [S]      B: buttons held
//   release B X Y [S]
//   command N           N: 1 初期画面, 2 終了, 3 メモ, 4 対角線
//   option I            I: pen option 0..7
//   label I             I: point label 0..5 (Ａ, Ｂ, Ｃ, Ａ', Ｂ', Ｃ'); others are ignored
// Numbers are written in their shortest exact form, so text read back gives the same bits
// (NaN payloads aside).
class EventScript {
public:
    enum class Kind : std::uint8_t { Press, Move, Release, Command, Option, Label };

    struct Event {
        Kind kind = Kind::Move;
        std::int16_t button = 0; // Press/Release: the button; Move: the buttons held
        std::int16_t shift = 0;
        float x = 0, y = 0; // pointer events only; logical surface pixels
        int index = 0;      // Command: 1..4; Option: 0..7; Label: 0..5 (others ignored)

        bool isPointer() const { return kind <= Kind::Release; }
        bool operator==(const Event &) const = default;

        static Event press(int button, float x, float y, int shift = 0);
        static Event move(int buttons, float x, float y, int shift = 0);
        static Event release(int button, float x, float y, int shift = 0);
        static Event command(int number);
        static Event option(int index);
        static Event label(int index);
    };

    std::vector<Event> events;

    // Longest script fromBytes produces, so any input replays in bounded time.
    static constexpr std::size_t kMaxDecodedEvents = 100000;

    std::string toText(char separator = '\n') const;
    static std::string eventText(const Event &e);

    // Parses the text form; on a malformed event returns nothing and says which (counting
    // events, not lines), if asked.
    static std::optional<EventScript> fromText(std::string_view text, std::string *error = nullptr);

    // Decodes any byte string into a script (never fails), for fuzzing. Pointer positions
    // come mostly on a quarter-pixel grid around the surface; a flag bit in the opcode reads
    // raw float bits instead, so NaN, infinities and huge values occur as well.
    static EventScript fromBytes(std::span<const std::uint8_t> bytes);

    // The events the lesson's entry points receive for `e`, in order: a label click is a
    // left press and a left release (shift 0) at the centre of Label2(I) as `form` has it, or
    // nothing for an index outside 0..5; any other event stands for itself. Rules that hold
    // per event (FormInvariants::checkTransition) are checked per primitive event.
    static std::vector<Event> primitives(const Form1 &form, const Event &e);

    // Delivers one event to the lesson as a user's input would reach it.
    static void apply(Lesson &lesson, const Event &e);
    void replay(Lesson &lesson) const;
};

} // namespace pr
