#pragma once
#include <thread>

namespace pr {

// Reads the system's font configuration on a second thread while the main thread connects
// to the display, so the first text the window shows does not wait for it. Where fonts are
// not configured through fontconfig this does nothing. Only start-up uses it; every event
// handler runs on the main thread.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    // Waits until the configuration is read (at once where there is nothing to read).
    void wait();

private:
    std::thread thread_;
};

} // namespace pr
