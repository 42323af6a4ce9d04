#pragma once
#include "Message.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Who may send what in a class, and one board followed from its sender's messages.
//
// Subjects name the sender, and only the subject proves who sent a message (the broker's
// permissions let each sender publish on its own subjects alone): the teacher's board on
// cls.<class>.teacher, a pupil's on cls.<class>.pupil.<pupil>, and the last snapshot of each,
// which the broker keeps, on snap.<class>.teacher and snap.<class>.pupil.<pupil>. Class and
// pupil are tokens of 1 to 64 letters, digits, '-' or '_'.
namespace pr::live {

struct Sender {
    enum class Role : std::uint8_t { Teacher, Pupil };
    Role role = Role::Teacher;
    std::string classTag;
    std::string pupil; // Pupil only
    bool operator==(const Sender &) const = default;
};

bool isToken(std::string_view s);
// Empty if a token is not one.
std::string subjectOf(const Sender &sender);
std::string snapshotSubjectOf(const Sender &sender);
// The sender of either subject; `kept` tells whether it was a kept snapshot's.
std::optional<Sender> senderOf(std::string_view subject, bool *kept = nullptr);

// Whether `role` may send a message of `kind`: the teacher anything, a pupil only its own
// board (snapshots and actions).
bool maySend(Sender::Role role, Message::Kind kind);

// Keeps a lesson equal to one sender's board. Messages arrive in the sender's order; one
// that is malformed, too large, from another subject, not the sender's to send, or out of
// order is dropped and counted, never applied. A gap (messages missed while away) leaves the
// lesson as it is until the next snapshot, which the caller then asks for.
class Follower {
public:
    explicit Follower(Sender followed) : followed_(std::move(followed)) {}

    enum class Verdict : std::uint8_t {
        Applied,  // the lesson now shows the sender's board after the message
        Dropped,  // not applied (see counts)
        Resync,   // the lesson missed messages: it waits for a snapshot
        Reload,   // from a newer program: the page is to reload
        Control,  // a teacher's Follow, HandOut or End, for the caller to act on
    };
    struct Counts {
        std::uint64_t applied = 0, malformed = 0, tooLarge = 0, badBoard = 0, wrongSender = 0,
                      outOfOrder = 0, gaps = 0, notFollowed = 0;
    };

    // `message` receives what was decoded when the verdict is Applied or Control.
    // `withHeaders`: the message came with headers of the broker's. A sender's own message
    // has none; one that has came from the broker on someone's request (a kept snapshot
    // answering a direct get, which a pupil may have sent to any subject it names).
    Verdict receive(std::string_view subject, std::string_view bytes, Lesson &lesson,
                    Message *message = nullptr, bool withHeaders = false);

    // The sender's controls alone (Follow, HandOut, End), checked as receive() checks them,
    // while the board goes its own way: its snapshots and actions are dropped, and the board
    // followed again starts from the next snapshot.
    Verdict controls(std::string_view subject, std::string_view bytes, Message *message = nullptr,
                     bool withHeaders = false);

    const Counts &counts() const { return counts_; }
    bool synced() const { return next_.has_value(); } // a snapshot has been applied

private:
    Verdict take(std::string_view subject, std::string_view bytes, Lesson *lesson,
                 Message *message, bool withHeaders);

    Sender followed_;
    std::optional<std::uint64_t> next_; // the seq the next actions must start at
    Counts counts_;
};

} // namespace pr::live
