#include "assets/image_decode_queue.h"

#include <algorithm>

#include "core/file_fault_log.h"

namespace torvane {
namespace {

constexpr int kWorkers = 2;

// The file at path decoded within budgetPixels.
DecodedImage decodeWithin(const std::string& path, std::size_t budgetPixels)
{
    ImageBudget budget(budgetPixels * 4);
    return readImageFile(path.c_str(), budget);
}

} // namespace

SharedImageBudget& processImageBudget()
{
    static SharedImageBudget textures(kTextureBudgetBytes);
    return textures;
}

std::size_t ImageDecodeQueue::remainingBudgetPixels()
{
    const std::lock_guard lock(budget.mutex);
    return budget.budget.remainingPixels();
}

ImageDecodeQueue::~ImageDecodeQueue()
{
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    workers.clear(); // joins
}

void ImageDecodeQueue::prefetch(const std::string& path)
{
    {
        const std::lock_guard lock(mutex);
        auto [entry, added] = jobs.try_emplace(path);
        if (!added) {
            return;
        }
        entry->second = std::make_unique<Job>();
        entry->second->path = path;
        waiting.push_back(entry->second.get());
    }
    if (workers.empty()) {
        for (int i = 0; i < kWorkers; ++i) {
            workers.emplace_back([this] { work(); });
        }
    }
    changed.notify_all();
}

void ImageDecodeQueue::work()
{
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return stopping || (!waiting.empty() && aheadCount < kImagesDecodedAhead); });
        if (stopping) {
            return;
        }
        Job* job = waiting.front();
        waiting.pop_front();
        job->started = true;
        ++aheadCount;
        lock.unlock();
        const std::size_t budgetPixels = remainingBudgetPixels();
        DecodedImage decoded = decodeWithin(job->path, budgetPixels);
        lock.lock();
        job->decoded = std::move(decoded);
        job->budgetPixels = budgetPixels;
        job->done = true;
        changed.notify_all();
    }
}

std::optional<Image> ImageDecodeQueue::take(const std::string& path)
{
    std::optional<DecodedImage> prefetched;
    std::size_t prefetchBudget = 0;
    {
        std::unique_lock lock(mutex);
        if (const auto entry = jobs.find(path); entry != jobs.end()) {
            Job& job = *entry->second;
            if (job.started) {
                changed.wait(lock, [&job] { return job.done; });
                prefetched = std::move(job.decoded);
                prefetchBudget = job.budgetPixels;
                --aheadCount;
            } else {
                waiting.erase(std::find(waiting.begin(), waiting.end(), &job));
            }
            jobs.erase(entry);
        }
    }
    changed.notify_all();

    for (;;) {
        const std::size_t budgetPixels = remainingBudgetPixels();
        // A failure within a larger budget might have failed otherwise within this one (over budget from the header).
        const bool decodedAsIfNow = prefetched && (prefetched->image || prefetchBudget == budgetPixels);
        DecodedImage decoded = decodedAsIfNow ? std::move(*prefetched) : decodeWithin(path, budgetPixels);
        prefetched.reset();
        const std::lock_guard lock(budget.mutex);
        if (budget.budget.remainingPixels() != budgetPixels) {
            continue; // another queue took an image meanwhile
        }
        if (decoded.image && decoded.image->rgba.size() / 4 > budgetPixels) {
            decoded = {std::nullopt, FileFault::OverBudget}; // refused from its header when decoded now
        }
        if (decoded.image) {
            budget.budget.charge(*decoded.image);
        }
        noteFileFault(path, decoded.fault);
        return std::move(decoded.image);
    }
}

} // namespace torvane
