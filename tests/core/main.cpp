// The core's tests, one executable: doctest's own main, so its command line picks cases
// (-tc, -ts, -sc) and reporters.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>
