#include "FuzzEvents.h"

#include "lesson/Lesson.h"
#include "FontFamilies.h"
#include "LetterImages.h"
#include "SurfaceWidget.h"
#include "StrokeLayer.h"
#include "support/FormInvariants.h"
#include "support/ScriptPlayer.h"
#include "support/StrokeCounter.h"

#include <QtGui/QImage>
#include <QtWidgets/QApplication>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <cstdlib>
#include <memory>

using pr::EventScript;
using pr::Form1;
using pr::Lesson;

namespace {

struct Resources {
    pr::FontFamilies fonts;
    pr::LetterImages letters;
};
Resources *resources = nullptr;

[[noreturn]] void fail(const std::string &what, const EventScript &script, std::size_t upto,
                       const char *route)
{
    EventScript shown;
    shown.events.assign(script.events.begin(),
                        script.events.begin() +
                            std::ptrdiff_t(std::min(upto, script.events.size())));
    std::fprintf(stderr, "rule broken (%s) after event %zu: %s\nscript up to there:\n%s\n", route,
                 upto, what.c_str(), shown.toText().c_str());
    std::abort();
}

// Core only, through the lesson's entry points with the positions as written: the state rules
// hold whatever arrives, nothing non-finite gets into the form, and each primitive event (a
// label click is a press and a release) changes only what it may.
void replayOnCore(const EventScript &script)
{
    pr::StrokeLayer layer; // the real raster, fed whatever the core draws
    StrokeCounter counter(&layer);
    Lesson lesson;
    Form1 &f = lesson.form;
    f.gamen.setSink(&counter);
    lesson.Form_Load();
    const FormInvariants rules(f);
    for (std::size_t i = 0; i < script.events.size(); ++i) {
        for (const EventScript::Event &e : EventScript::primitives(f, script.events[i])) {
            const Form1 before = f;
            const long clears = counter.clears, segments = counter.segments;
            EventScript::apply(lesson, e);
            std::string failure = rules.checkState(f);
            if (failure.empty())
                failure = FormInvariants::checkFinite(f);
            if (failure.empty())
                failure = rules.checkTransition(before, f, e, counter.clears - clears,
                                                counter.segments - segments, counter.last);
            if (!failure.empty())
                fail(failure, script, i + 1, "core");
            f.endRequested = false;
        }
    }
}

// Through the surface widget with its stroke layer, at one of the scales a window gives it:
// besides the state rules, nothing non-finite may reach the form, and the surface paints
// whatever the form holds.
void replayOnSurface(const EventScript &script)
{
    Lesson lesson;
    Form1 &f = lesson.form;
    pr::SurfaceWidget surface(f, resources->fonts, resources->letters);
    // The window scales the surface with its size; the input's length picks a scale.
    static constexpr double kScales[] = {1, 0.75, 1.5};
    const double scale = kScales[script.events.size() % std::size(kScales)];
    surface.resize(int(std::ceil(793 * scale)), int(std::ceil(641 * scale)));
    surface.setScale(scale);
    f.gamen.setSink(&surface.strokeLayer());
    lesson.Form_Load();
    surface.syncFromCore();
    const FormInvariants rules(f);
    ScriptPlayer player(lesson, surface);
    for (std::size_t i = 0; i < script.events.size(); ++i) {
        player.deliver(script.events[i]);
        std::string failure = rules.checkState(f);
        if (failure.empty())
            failure = FormInvariants::checkFinite(f);
        if (!failure.empty())
            fail(failure, script, i + 1, "surface");
        f.endRequested = false;
    }
    QImage image(surface.size(), QImage::Format_RGB32);
    surface.render(&image);
    f.gamen.setSink(nullptr);
}

} // namespace

void fuzzInitialise()
{
    if (resources)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_events";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives as long as the process
    resources = new Resources;
    QString error;
    if (!resources->letters.load(&error)) {
        std::fprintf(stderr, "letters failed to load: %s\n", qPrintable(error));
        std::abort();
    }
}

void fuzzScript(const EventScript &script)
{
    replayOnCore(script);
    replayOnSurface(script);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzInitialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzInitialise();
    fuzzScript(EventScript::fromBytes({data, size}));
    return 0;
}
