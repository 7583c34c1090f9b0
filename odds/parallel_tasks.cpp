#include "parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace odds {

int CoreCount()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void RunTasks(int tasks, int threads, const std::function<void(int task)>& task)
{
    std::atomic<int> next{0};
    const auto work = [&next, tasks, &task] {
        for (int t; (t = next++) < tasks;)
            task(t);
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < std::min(threads, tasks); ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
}

}  // namespace odds
