#include "FontConfigWarmUp.h"

#if defined(PR_HAVE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

namespace pr {

FontConfigWarmUp::FontConfigWarmUp()
{
#if defined(PR_HAVE_FONTCONFIG)
    // FcInit is safe to call from any thread; Qt's own later call finds the configuration
    // loaded and returns at once.
    thread_ = std::thread([] { FcInit(); });
#endif
}

FontConfigWarmUp::~FontConfigWarmUp() { wait(); }

void FontConfigWarmUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace pr
