// libFuzzer target: a live class message from anyone. Any bytes must be refused with a status
// or read as a message that writes back to bytes reading as the same message; a follower fed
// them, under the teacher's subject and then a pupil's, applies or drops them and never
// crashes, hangs or leaks.
//
//   fuzz_live -max_total_time=30 -max_len=65536 -dict=tests/fuzz/live.dict
//             <scratch corpus> tests/fuzz/live-corpus
#include "live/Follower.h"
#include "lesson/Lesson.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace pr::live;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const Decoded d = decode(bytes);
    if (d.ok()) {
        const Decoded again = decode(encode(d.message));
        const Message &a = d.message, &b = again.message;
        if (!again.ok() || a.kind != b.kind || a.seq != b.seq || !(a.board == b.board) ||
            a.actions != b.actions || a.follow != b.follow || a.mode != b.mode || a.pen != b.pen)
            std::abort();
    }
    const Sender teacher{Sender::Role::Teacher, "c1", ""}, pupil{Sender::Role::Pupil, "c1", "p1"};
    for (const Sender &s : {teacher, pupil}) {
        pr::Lesson lesson;
        lesson.Form_Load();
        Follower f(s);
        // As a snapshot would start it, so that actions are applied too.
        f.receive(subjectOf(s), encode(snapshot(lesson, 0)), lesson);
        f.receive(subjectOf(s), bytes, lesson);
    }
    return 0;
}
