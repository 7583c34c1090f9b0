#pragma once

#include <functional>

namespace odds {

// The threads to count on: one for each core.
int CoreCount();

// Runs task(0) .. task(tasks - 1) on up to the given number of threads (the
// caller's among them), each thread taking the next task not yet taken, so
// give the largest tasks the lowest numbers.
void RunTasks(int tasks, int threads, const std::function<void(int task)>& task);

}  // namespace odds
