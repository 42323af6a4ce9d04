#pragma once
#include <QtCore/QObject>
#include <cstdint>
#include <utility>
#include <vector>

class QWidget;

namespace prbench {

// Ends a start-up measurement at the first frame a window shows. It stamps the monotonic
// clock at the phases the probe's main marks, at the window's first paint event, and once
// the repaint carrying that event has been flushed to the window system; then it writes
// one line on stdout and quits the application.
//
// The line reads "probe name=ns name=ns ... hwm_kib=N anon_kib=N file_kib=N": times in
// CLOCK_MONOTONIC nanoseconds; at the first frame, the peak resident set and the resident
// anonymous memory and file pages (mapped libraries and fonts, shared with other processes).
class FirstFrameProbe : public QObject {
public:
    explicit FirstFrameProbe(std::int64_t mainEntryNs);

    void mark(const char *phase);
    void watch(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void report();

    std::vector<std::pair<const char *, std::int64_t>> marks_;
    bool painted_ = false;
};

} // namespace prbench
