#pragma once
#include "board/Board.h"
#include "form/Form1.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The live class's messages: what the teacher's board and each pupil's board send over the
// broker, the same bytes from every front end. A message is a header line of JSON, a line
// feed, and its body: for a snapshot or a handed-out board the board file's text (checked by
// BoardFile::read), for actions a JSON array of the lesson's actions as they entered the
// core, so that a follower replays exactly what was done. Coordinates are logical surface
// pixels.
//
//   {"protocol":1,"kind":"actions","seq":42}
//   [["p",1,0,300,300,0],["m",1,0,303.5,300],["r",1,0,303.5,300],["c",3],["a",1,0]]
//
// decode() trusts nothing: anything malformed, too large or of a newer protocol is refused
// with a status, after work in proportion to its size.
namespace pr {
class Lesson;
}

namespace pr::live {

inline constexpr int kProtocol = 1;
// The broker is started with this as its largest payload: a board of 100,000 segments.
inline constexpr std::size_t kMaxMessageBytes = std::size_t(8) << 20;
inline constexpr std::size_t kMaxActions = 4096; // in one message
inline constexpr std::size_t kMaxHeaderBytes = 256;

// One action as it entered the lesson (Lesson's entry points).
struct Action {
    enum class Kind : std::uint8_t {
        Press,        // button, shift, x, y, eraserEnd
        Move,         // button (those held), shift, x, y
        Release,      // button, shift, x, y
        Command,      // index 1..4
        Option,       // index 0..7
        Undo,
        Redo,
        ClearWriting,
        Aids,         // aids
    };
    Kind kind = Kind::Move;
    std::int16_t button = 0, shift = 0; // 0..7 each
    double x = 0, y = 0;                // finite, within ±1e6
    bool eraserEnd = false;
    int index = 0;
    Form1::Aids aids;
    bool operator==(const Action &) const = default;
};

struct Message {
    enum class Kind : std::uint8_t {
        Snapshot, // the sender's whole board, after `seq` actions: a follower starts from it
        Actions,  // actions that follow the one numbered seq - 1
        Follow,   // teacher: every pupil to 先生の板書 (follow) or free to explore
        HandOut,  // teacher: 配る, this board to every pupil's own copy
        End,      // teacher: the class is over
    };
    // Snapshot and HandOut: the mode and pen the actions after it work in (a snapshot is
    // taken between gestures, with no construction line begun).
    enum class Mode : std::uint8_t { Normal, Memo, Diagonal };

    Kind kind = Kind::Actions;
    std::uint64_t seq = 0; // the sender's count of actions, from 0 at the class's start
    Board board;           // Snapshot, HandOut
    Mode mode = Mode::Normal;
    int pen = 0;           // the chosen pen option, 0..7
    std::vector<Action> actions; // Actions: 1 to kMaxActions
    bool follow = false;   // Follow
};

enum class Status : std::uint8_t {
    Ok,
    TooLarge,      // beyond kMaxMessageBytes
    Malformed,     // not this format, or a value out of range
    NewerProtocol, // from a newer program: the page is to reload, not to guess
    BadBoard,      // a board the lesson could not have produced
};

struct Decoded {
    Status status = Status::Malformed;
    Message message; // when ok
    bool ok() const { return status == Status::Ok; }
};

std::string encode(const Message &message);
Decoded decode(std::string_view bytes);

// Runs an action through the lesson's entry points, as the sender's front end did.
void apply(Lesson &lesson, const Action &action);

// The lesson's board, mode and pen as a snapshot after `seq` actions; and a lesson brought to
// a snapshot's (or a handed-out board's) state, as one step of its history. False, and the
// lesson as it was, if the board does not open.
Message snapshot(const Lesson &lesson, std::uint64_t seq);
bool start(Lesson &lesson, const Message &snapshot);
// A teacher's control after `seq` actions: Follow (every pupil to the teacher's board, or with
// follow false free to explore), HandOut (the lesson's board for every pupil's own) or End.
Message control(Message::Kind kind, const Lesson &lesson, std::uint64_t seq, bool follow = false);

} // namespace pr::live
