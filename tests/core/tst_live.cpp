// The live class's messages: the bytes every front end sends, what a follower makes of them,
// and what it refuses.
#include "live/Follower.h"
#include "live/Outbox.h"
#include "support/LoadedForm.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace pr;
using namespace pr::live;

namespace {

const Sender kTeacher{Sender::Role::Teacher, "k7Q2", ""};
const Sender kPupil{Sender::Role::Pupil, "k7Q2", "p12"};

Message actions(std::uint64_t seq, std::vector<Action> list)
{
    Message m;
    m.kind = Message::Kind::Actions;
    m.seq = seq;
    m.actions = std::move(list);
    return m;
}

Action pointer(Action::Kind kind, double x, double y, std::int16_t button = 1)
{
    Action a;
    a.kind = kind;
    a.button = button;
    a.x = x;
    a.y = y;
    return a;
}

Action command(Action::Kind kind, int index = 0)
{
    Action a;
    a.kind = kind;
    a.index = index;
    return a;
}

} // namespace

TEST_CASE("live: every kind of message reads back as written")
{
    Lesson l = loadedLesson();
    l.clickCommand(3);
    l.clickOption(5);
    Message s = snapshot(l, 17);
    CHECK(s.mode == Message::Mode::Memo);
    CHECK(s.pen == 5);
    Action aids = command(Action::Kind::Aids);
    aids.aids = {true, false};
    Action eraser = pointer(Action::Kind::Press, 0.1 + 0.2, -1e6);
    eraser.eraserEnd = true;
    eraser.shift = 7;
    Message follow;
    follow.kind = Message::Kind::Follow;
    follow.follow = true;
    Message end;
    end.kind = Message::Kind::End;
    const std::vector<Message> all = {
        s,
        actions(3, {eraser, pointer(Action::Kind::Move, 303.25, 300), command(Action::Kind::Command, 4),
                    command(Action::Kind::Option, 7), command(Action::Kind::Undo),
                    command(Action::Kind::Redo), command(Action::Kind::ClearWriting), aids}),
        follow, end};
    for (const Message &m : all) {
        const Decoded d = decode(encode(m));
        REQUIRE(d.ok());
        CHECK(d.message.kind == m.kind);
        CHECK(d.message.seq == m.seq);
        CHECK(d.message.board == m.board);
        CHECK(d.message.actions == m.actions); // the coordinates exactly
        CHECK(d.message.follow == m.follow);
        CHECK(d.message.mode == m.mode);
        CHECK(d.message.pen == m.pen);
    }
}

TEST_CASE("live: what the decoder refuses")
{
    const std::string head = "{\"protocol\":1,\"kind\":\"actions\",\"seq\":0}\n";
    const struct {
        std::string bytes;
        Status status;
    } cases[] = {
        {head + "[[\"c\",3]]", Status::Ok},
        {"", Status::Malformed},
        {head, Status::Malformed},                          // no actions
        {head + "[]", Status::Malformed},
        {head + "[[\"c\",5]]", Status::Malformed},          // no fifth button
        {head + "[[\"o\",-1]]", Status::Malformed},
        {head + "[[\"m\",1,0,1e7,0]]", Status::Malformed},  // too far
        {head + "[[\"m\",1,0,\"1\",0]]", Status::Malformed},
        {head + "[[\"m\",8,0,1,0]]", Status::Malformed},
        {head + "[[\"p\",1,0,1,0]]", Status::Malformed},    // which end is missing
        {head + "[[\"x\"]]", Status::Malformed},
        {head + "[[[\"c\",3]]]", Status::Malformed},        // too deep
        {head + "[[\"c\",3]", Status::Malformed},           // cut short
        {"{\"protocol\":1,\"kind\":\"actions\",\"seq\":-1}\n[[\"u\"]]", Status::Malformed},
        {"{\"protocol\":1,\"kind\":\"actions\",\"seq\":0,\"as\":\"teacher\"}\n[[\"u\"]]",
         Status::Malformed},
        {"{\"protocol\":1,\"kind\":\"end\",\"seq\":0}\nx", Status::Malformed},
        {"{\"protocol\":1,\"kind\":\"follow\",\"seq\":0,\"follow\":1}\n", Status::Malformed},
        {"{\"protocol\":0,\"kind\":\"end\",\"seq\":0}\n", Status::Malformed},
        {"{\"protocol\":2,\"kind\":\"something new\"}\n", Status::NewerProtocol},
        {"{\"protocol\":1,\"kind\":\"snapshot\",\"seq\":0,\"mode\":\"memo\",\"pen\":0}\n{}",
         Status::BadBoard},
        {std::string(kMaxMessageBytes + 1, ' '), Status::TooLarge},
    };
    for (const auto &c : cases) {
        CAPTURE(c.bytes.substr(0, 120));
        CHECK(decode(c.bytes).status == c.status);
    }
}

TEST_CASE("live: subjects name their senders, and nothing else passes for one")
{
    CHECK(subjectOf(kTeacher) == "cls.k7Q2.teacher");
    CHECK(subjectOf(kPupil) == "cls.k7Q2.pupil.p12");
    CHECK(senderOf("cls.k7Q2.pupil.p12") == kPupil);
    CHECK(senderOf("cls.k7Q2.teacher") == kTeacher);
    for (const char *bad : {"cls.k7Q2", "cls..teacher", "cls.k7Q2.pupil.", "cls.k7Q2.pupil.a.b",
                            "cls.k7Q2.teacher.x", "cls.*.teacher", "cls.k7Q2.pupil.>",
                            "xcls.k7Q2.teacher", "cls.k 7.teacher"})
        CHECK_FALSE(senderOf(bad).has_value());
    CHECK(subjectOf({Sender::Role::Pupil, "k7Q2", "a.b"}).empty());
    bool kept = false;
    CHECK(snapshotSubjectOf(kPupil) == "snap.k7Q2.pupil.p12");
    CHECK(senderOf("snap.k7Q2.pupil.p12", &kept) == kPupil);
    CHECK(kept);
    CHECK_FALSE(senderOf("snap.k7Q2.pupils.p12").has_value());
    CHECK(maySend(Sender::Role::Pupil, Message::Kind::Actions));
    CHECK_FALSE(maySend(Sender::Role::Pupil, Message::Kind::HandOut));
    CHECK_FALSE(maySend(Sender::Role::Pupil, Message::Kind::End));
}

TEST_CASE("live: a follower shows the teacher's board, and drops what does not belong")
{
    // The teacher slides the copy, writes a stroke in memo mode and takes a snapshot midway.
    Lesson teacher = loadedLesson();
    const std::vector<Action> first = {pointer(Action::Kind::Press, 300, 300),
                                       pointer(Action::Kind::Move, 377.5, 300),
                                       pointer(Action::Kind::Release, 377.5, 300),
                                       command(Action::Kind::Command, 3),
                                       command(Action::Kind::Option, 2)};
    const std::vector<Action> second = {pointer(Action::Kind::Press, 100, 100),
                                        pointer(Action::Kind::Move, 150, 120),
                                        pointer(Action::Kind::Release, 150, 120)};
    for (const Action &a : first)
        apply(teacher, a);
    const std::string snap = encode(snapshot(teacher, first.size()));
    for (const Action &a : second)
        apply(teacher, a);
    const std::string next = encode(actions(first.size(), second));
    const std::string subject = subjectOf(kTeacher);

    Lesson pupil = loadedLesson();
    Follower f(kTeacher);
    // Before any snapshot, actions cannot be placed: the follower asks for one.
    CHECK(f.receive(subject, next, pupil) == Follower::Verdict::Resync);
    CHECK(f.receive(subject, snap, pupil) == Follower::Verdict::Applied);
    CHECK(f.receive(subject, next, pupil) == Follower::Verdict::Applied);
    CHECK(pupil.board() == teacher.board());
    CHECK(pupil.strokes().size() == 1);

    // The same again, an older kept snapshot, another sender, a pupil's hand-out: all dropped.
    CHECK(f.receive(subject, next, pupil) == Follower::Verdict::Dropped);
    CHECK(f.receive(snapshotSubjectOf(kTeacher), snap, pupil) == Follower::Verdict::Dropped);
    CHECK(f.counts().outOfOrder == 2);
    CHECK(f.receive(subjectOf(kPupil), next, pupil) == Follower::Verdict::Dropped);
    CHECK(f.receive("cls.other.teacher", next, pupil) == Follower::Verdict::Dropped);
    CHECK(f.counts().wrongSender == 2);
    CHECK(pupil.board() == teacher.board());

    // Messages missed: nothing is applied until the next snapshot.
    const std::string later = encode(actions(first.size() + second.size() + 4,
                                             {command(Action::Kind::Command, 1)}));
    CHECK(f.receive(subject, later, pupil) == Follower::Verdict::Resync);
    CHECK(f.counts().gaps == 1);
    CHECK_FALSE(f.synced());
    CHECK(pupil.board() == teacher.board());

    // A pupil's own board followed by the teacher: a pupil may not send the teacher's kinds.
    Follower ofPupil(kPupil);
    Message handOut = snapshot(teacher, 0);
    handOut.kind = Message::Kind::HandOut;
    CHECK(ofPupil.receive(subjectOf(kPupil), encode(handOut), teacher) ==
          Follower::Verdict::Dropped);
    CHECK(ofPupil.counts().wrongSender == 1);
    // The broker's answer to a pupil's direct get, sent to the teacher's live subject.
    CHECK(f.receive(subject, snap, pupil, nullptr, true) == Follower::Verdict::Dropped);
    CHECK(f.receive(subject, "{\"protocol\":9}\n", pupil) == Follower::Verdict::Reload);
    // The kept snapshot starts a follower as the live one does; actions are never kept.
    Lesson late = loadedLesson();
    Follower g(kTeacher);
    CHECK(g.receive(snapshotSubjectOf(kTeacher), next, late) == Follower::Verdict::Dropped);
    CHECK(g.receive(snapshotSubjectOf(kTeacher), snap, late) == Follower::Verdict::Applied);
    CHECK(g.receive(subject, next, late) == Follower::Verdict::Applied);
    CHECK(late.board() == teacher.board());

    // The teacher's page reloaded: its live snapshot counts from an older number, and is its
    // board now; a late kept one from before the reload is not.
    Lesson again = loadedLesson();
    const std::string restarted = encode(snapshot(again, 2));
    CHECK(g.receive(subject, restarted, late) == Follower::Verdict::Applied);
    CHECK(late.board() == again.board());
    CHECK(g.receive(snapshotSubjectOf(kTeacher), encode(snapshot(teacher, 1)), late) ==
          Follower::Verdict::Dropped);
    CHECK(g.receive(subject, encode(actions(2, {command(Action::Kind::Command, 3)})), late) ==
          Follower::Verdict::Applied);
    // The sender's snapshot now and then, at the number the follower stands at: nothing new.
    CHECK(g.receive(subject, encode(snapshot(late, 3)), late) == Follower::Verdict::Dropped);

    // The pupil explores its own board: the teacher's controls come through, its board not,
    // and following again starts from a snapshot.
    handOut.seq = 9;
    Message got;
    CHECK(g.controls(subject, encode(handOut), &got) == Follower::Verdict::Control);
    CHECK(got.kind == Message::Kind::HandOut);
    CHECK(g.controls(subject, encode(actions(3, {command(Action::Kind::Command, 3)}))) ==
          Follower::Verdict::Dropped);
    CHECK(g.controls(subjectOf(kPupil), encode(handOut)) == Follower::Verdict::Dropped);
    CHECK(g.counts().notFollowed == 1);
    CHECK(g.receive(subject, encode(actions(4, {command(Action::Kind::Command, 3)})), late) ==
          Follower::Verdict::Resync);
}

TEST_CASE("live: what a teacher's outbox sends keeps a follower equal, undo included")
{
    Lesson teacher = loadedLesson(), pupil = loadedLesson();
    // The pupil wrote on its own board before following: no undo may bring that back.
    for (const Action &a : {command(Action::Kind::Command, 3), pointer(Action::Kind::Press, 500, 90),
                            pointer(Action::Kind::Move, 520, 99),
                            pointer(Action::Kind::Release, 520, 99)})
        apply(pupil, a);
    REQUIRE(pupil.strokes().size() == 1);
    Outbox out;
    Follower f(kTeacher);
    const std::string subject = subjectOf(kTeacher);
    // What the teacher's front end does each frame: the actions taken, a snapshot when one is
    // wanted and can be taken.
    const auto frame = [&] {
        if (const std::string m = out.take(); !m.empty())
            f.receive(subject, m, pupil);
        if (out.snapshotWanted())
            if (const std::string s = out.snapshot(teacher); !s.empty())
                CHECK(f.receive(subject, s, pupil) == Follower::Verdict::Applied);
    };
    // Before the class: a slide, then a stroke, which the first undo in class takes back.
    for (const Action &a : {pointer(Action::Kind::Press, 300, 300), pointer(Action::Kind::Move, 330, 300),
                            pointer(Action::Kind::Release, 330, 300), command(Action::Kind::Command, 3),
                            pointer(Action::Kind::Press, 60, 60), pointer(Action::Kind::Move, 70, 60),
                            pointer(Action::Kind::Release, 70, 60),
                            command(Action::Kind::Command, 3)})
        out.act(teacher, a);
    out.setRecording(true);
    CHECK(out.snapshotWanted()); // the class starts from the board as it is
    out.act(teacher, command(Action::Kind::Undo));
    frame();
    CHECK(pupil.board() == teacher.board());
    CHECK(pupil.strokes().empty());
    out.act(teacher, pointer(Action::Kind::Press, 330, 300));
    out.act(teacher, pointer(Action::Kind::Move, 360, 300));
    frame();
    out.act(teacher, pointer(Action::Kind::Release, 360, 300));
    frame();
    CHECK(f.synced());
    for (const Action &a : {command(Action::Kind::Command, 3), pointer(Action::Kind::Press, 90, 90),
                            pointer(Action::Kind::Move, 140, 95),
                            pointer(Action::Kind::Release, 140, 95), command(Action::Kind::Undo),
                            command(Action::Kind::Command, 1), command(Action::Kind::Undo),
                            command(Action::Kind::Redo), command(Action::Kind::Undo),
                            command(Action::Kind::Undo), command(Action::Kind::Undo),
                            command(Action::Kind::Undo)}) {
        out.act(teacher, a);
        frame();
        CHECK(pupil.board() == teacher.board());
    }
    // More than one message holds, between two frames: a snapshot follows instead.
    for (std::size_t i = 0; i <= kMaxActions; ++i)
        out.act(teacher, pointer(Action::Kind::Move, 100 + double(i % 50), 100, 0));
    CHECK(out.take().empty());
    CHECK(out.snapshotWanted());
    frame();
    CHECK(pupil.board() == teacher.board());
    CHECK(f.counts().gaps == 0);
}
