// Replays kept fuzz inputs without libFuzzer: every file named on the command line, or
// found (not recursively) in a directory named there. Files ending in ".script" hold an
// event script in its text form; all others are raw fuzz input. A broken rule aborts.
#include "FuzzEvents.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto &entry : fs::directory_iterator(arg))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s FILE|DIR...: no input found\n", argv[0]);
        return 2;
    }

    fuzzInitialise();
    std::size_t events = 0;
    for (const fs::path &file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (!in && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 2;
        }
        pr::EventScript script;
        if (file.extension() == ".script") {
            std::string error;
            const auto parsed = pr::EventScript::fromText(bytes, &error);
            if (!parsed) {
                std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
                return 2;
            }
            script = *parsed;
        } else {
            script = pr::EventScript::fromBytes(
                {reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()});
        }
        fuzzScript(script);
        events += script.events.size();
    }
    std::printf("replayed %zu kept inputs, %zu events, every rule held\n", files.size(), events);
    std::printf("fuzz_replay: %zu passed, 0 failed\n", files.size());
    return 0;
}
