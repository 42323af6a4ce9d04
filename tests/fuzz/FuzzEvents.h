#pragma once
#include "support/EventScript.h"

#include <cstddef>
#include <cstdint>

// The fuzz target's work, shared by the libFuzzer build and the plain replay of kept inputs.
// Both replays abort with the script on stderr when a rule breaks, so the input that broke
// it is kept as a crash.

// Starts the offscreen application and loads fonts and letters once.
void fuzzInitialise();

// Replays the script twice: into the lesson's entry points with every position as written,
// then through the surface widget as the window system delivers it, checking the form's
// rules after each event (no unusable position may reach the form), and finally paints the
// surface.
void fuzzScript(const pr::EventScript &script);

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
