// A small pool of threads over a table of cases.
#include "parallel_cases.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace kqbad {

void RunCasesInParallel(const std::vector<NamedCase>& cases, unsigned width) {
    if (const char* jobs = std::getenv("KQ_BADINPUT_JOBS"); jobs != nullptr && std::atoi(jobs) > 0)
        width = static_cast<unsigned>(std::atoi(jobs));
    std::atomic<size_t> next{0};
    const auto worker = [&] {
        for (size_t i = next++; i < cases.size(); i = next++) {
            SCOPED_TRACE("case " + cases[i].name);
            cases[i].run();
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < width && t < cases.size(); ++t) threads.emplace_back(worker);
    for (std::thread& thread : threads) thread.join();
}

}  // namespace kqbad
