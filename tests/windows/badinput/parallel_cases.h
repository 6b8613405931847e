// Independent cases of one table, run at the same time: each drives its own
// program in its own folders, and most of a case is waiting for Wine. Every
// failure carries the case's name.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kqbad {

struct NamedCase {
    std::string name;
    std::function<void()> run;
};

// Runs every case, at most `width` at once (KQ_BADINPUT_JOBS overrides), and
// returns when all have ended.
void RunCasesInParallel(const std::vector<NamedCase>& cases, unsigned width = 6);

}  // namespace kqbad
