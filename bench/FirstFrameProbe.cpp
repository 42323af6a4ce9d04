#include "FirstFrameProbe.h"

#include "ProcessStats.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QTimer>
#include <QtWidgets/QWidget>
#include <cstdio>

namespace prbench {

FirstFrameProbe::FirstFrameProbe(std::int64_t mainEntryNs)
{
    marks_.reserve(8);
    marks_.emplace_back("main", mainEntryNs);
}

void FirstFrameProbe::mark(const char *phase) { marks_.emplace_back(phase, monotonicNs()); }

void FirstFrameProbe::watch(QWidget *window) { window->installEventFilter(this); }

bool FirstFrameProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (!painted_ && event->type() == QEvent::Paint) {
        painted_ = true;
        mark("paint");
        // Paint events of the window and its children are sent within one backing-store
        // sync, which flushes before returning to the event loop; a zero timer therefore
        // fires once the whole first frame has been handed to the window system.
        QTimer::singleShot(0, this, [this] { report(); });
    }
    return QObject::eventFilter(watched, event);
}

void FirstFrameProbe::report()
{
    mark("frame");
    std::printf("probe");
    for (const auto &[name, ns] : marks_)
        std::printf(" %s=%lld", name, static_cast<long long>(ns));
    std::printf(" hwm_kib=%ld anon_kib=%ld file_kib=%ld\n", peakRssKiB(), statusKiB("RssAnon"),
                statusKiB("RssFile"));
    std::fflush(stdout);
    QCoreApplication::quit();
}

} // namespace prbench
