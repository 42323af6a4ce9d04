#include "Follower.h"

#include "lesson/Lesson.h"

namespace pr::live {

namespace {

constexpr std::string_view kLive = "cls.", kKept = "snap.";
constexpr std::size_t kMaxToken = 64;

std::string subjectAfter(std::string_view prefix, const Sender &s)
{
    if (!isToken(s.classTag) || (s.role == Sender::Role::Pupil && !isToken(s.pupil)))
        return {};
    std::string subject = std::string(prefix) + s.classTag;
    return s.role == Sender::Role::Teacher ? subject + ".teacher" : subject + ".pupil." + s.pupil;
}

} // namespace

bool isToken(std::string_view s)
{
    if (s.empty() || s.size() > kMaxToken)
        return false;
    for (const char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '_'))
            return false;
    return true;
}

std::string subjectOf(const Sender &s)
{
    return subjectAfter(kLive, s);
}

std::string snapshotSubjectOf(const Sender &s)
{
    return subjectAfter(kKept, s);
}

std::optional<Sender> senderOf(std::string_view subject, bool *kept)
{
    const std::string_view whole = subject;
    const bool isKept = subject.starts_with(kKept);
    if (!isKept && !subject.starts_with(kLive))
        return std::nullopt;
    subject.remove_prefix(isKept ? kKept.size() : kLive.size());
    const std::size_t dot = subject.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    Sender s;
    s.classTag = std::string(subject.substr(0, dot));
    const std::string_view rest = subject.substr(dot + 1);
    if (rest == "teacher") {
        s.role = Sender::Role::Teacher;
    } else if (rest.starts_with("pupil.")) {
        s.role = Sender::Role::Pupil;
        s.pupil = std::string(rest.substr(6));
    } else {
        return std::nullopt;
    }
    // Every token checked, and nothing more: the subject written back is the one read.
    if (subjectAfter(isKept ? kKept : kLive, s) != whole)
        return std::nullopt;
    if (kept)
        *kept = isKept;
    return s;
}

bool maySend(Sender::Role role, Message::Kind kind)
{
    return role == Sender::Role::Teacher || kind == Message::Kind::Snapshot ||
           kind == Message::Kind::Actions;
}

Follower::Verdict Follower::receive(std::string_view subject, std::string_view bytes,
                                    Lesson &lesson, Message *out, bool withHeaders)
{
    return take(subject, bytes, &lesson, out, withHeaders);
}

Follower::Verdict Follower::controls(std::string_view subject, std::string_view bytes,
                                     Message *out, bool withHeaders)
{
    next_.reset(); // the board is not followed meanwhile
    return take(subject, bytes, nullptr, out, withHeaders);
}

Follower::Verdict Follower::take(std::string_view subject, std::string_view bytes,
                                 Lesson *lesson, Message *out, bool withHeaders)
{
    bool kept = false;
    const std::optional<Sender> from = senderOf(subject, &kept);
    if (!from || *from != followed_ || (withHeaders && !kept)) {
        ++counts_.wrongSender;
        return Verdict::Dropped;
    }
    Decoded d = decode(bytes);
    switch (d.status) {
    case Status::Ok:
        break;
    case Status::TooLarge:
        ++counts_.tooLarge;
        return Verdict::Dropped;
    case Status::Malformed:
        ++counts_.malformed;
        return Verdict::Dropped;
    case Status::BadBoard:
        ++counts_.badBoard;
        return Verdict::Dropped;
    case Status::NewerProtocol:
        return Verdict::Reload;
    }
    Message &m = d.message;
    // What the broker keeps for a sender is its last snapshot, and nothing else.
    if (!maySend(from->role, m.kind) || (kept && m.kind != Message::Kind::Snapshot)) {
        ++counts_.wrongSender;
        return Verdict::Dropped;
    }
    if (!lesson && (m.kind == Message::Kind::Snapshot || m.kind == Message::Kind::Actions)) {
        ++counts_.notFollowed;
        return Verdict::Dropped;
    }
    switch (m.kind) {
    case Message::Kind::Snapshot:
        // A kept snapshot no newer than what the lesson already shows is one from before the
        // actions applied since (a direct get answered late). One on the live subject comes
        // in the sender's order: at the number the lesson stands at, it shows what the lesson
        // shows (a sender sends one now and then for followers that lost their place); at
        // an older number, the sender started again (its page reloaded), and its board is
        // the board now.
        if (next_ && (kept ? m.seq <= *next_ : m.seq == *next_)) {
            ++counts_.outOfOrder;
            return Verdict::Dropped;
        }
        if (!start(*lesson, m)) {
            ++counts_.badBoard;
            return Verdict::Dropped;
        }
        next_ = m.seq;
        break;
    case Message::Kind::Actions:
        if (!next_ || m.seq > *next_) {
            if (next_)
                ++counts_.gaps;
            next_.reset();
            return Verdict::Resync;
        }
        if (m.seq + m.actions.size() <= *next_) {
            ++counts_.outOfOrder; // seen already
            return Verdict::Dropped;
        }
        // Part of it may have been seen (a resent message): only the rest is applied.
        for (std::size_t i = std::size_t(*next_ - m.seq); i < m.actions.size(); ++i)
            apply(*lesson, m.actions[i]);
        next_ = m.seq + m.actions.size();
        break;
    case Message::Kind::Follow:
    case Message::Kind::HandOut:
    case Message::Kind::End:
        ++counts_.applied;
        if (out)
            *out = std::move(m);
        return Verdict::Control;
    }
    ++counts_.applied;
    if (out)
        *out = std::move(m);
    return Verdict::Applied;
}

} // namespace pr::live
