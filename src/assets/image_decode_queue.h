// ImageDecodeQueue: texture images read and decoded on worker threads ahead of
// the code that needs them, so that the images of one mesh decode side by side
// and while the previous one is uploaded. Whoever knows which images come next
// asks for them (prefetch); take() then hands each one over, waiting for it if
// needed. The images share a budget of decoded pixels (for the game's
// textures, the process's kTextureBudgetBytes), charged by take() in the order
// images are taken: what is refused, and why, is the same as if each image were read
// and decoded only when taken. A worker decodes within the budget as it stood
// when it began (never less than take() will allow); take() decodes again the
// rare failed image whose budget has shrunk since, and refuses a decoded image
// the budget no longer holds.
//
// Shortcomings: at most kImagesDecodedAhead images are decoding or waiting to
// be taken, so an image asked for but never taken holds a place until the
// queue ends; the workers live as long as the queue.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "assets/image_file.h"

namespace torvane {

// Images decoding or decoded and not yet taken, at most: bounds the memory decoded ahead.
inline constexpr int kImagesDecodedAhead = 4;

// A budget that several queues, on any threads, may charge.
struct SharedImageBudget {
    explicit SharedImageBudget(std::size_t bytes) : budget(bytes) {}
    std::mutex mutex;
    ImageBudget budget;
};

// The budget of all the textures of the process: kTextureBudgetBytes.
SharedImageBudget& processImageBudget();

class ImageDecodeQueue {
public:
    // Images charged to budget. No thread is started before the first prefetch.
    explicit ImageDecodeQueue(SharedImageBudget& sharedBudget = processImageBudget()) : budget(sharedBudget) {}
    // Stops the workers; images not taken are dropped.
    ~ImageDecodeQueue();
    ImageDecodeQueue(const ImageDecodeQueue&) = delete;
    ImageDecodeQueue& operator=(const ImageDecodeQueue&) = delete;

    // Starts reading and decoding the image file at path on a worker, unless it is already under way.
    void prefetch(const std::string& path);
    // The image at path, within the budget, which it then charges; a prefetch under way is waited for, an image not yet begun is
    // decoded here. A failure is noted for fileFaultOf(path).
    std::optional<Image> take(const std::string& path);

private:
    struct Job {
        std::string path;
        bool started = false;
        bool done = false;
        DecodedImage decoded;
        std::size_t budgetPixels = 0; // the budget the worker decoded within
    };

    void work();
    std::size_t remainingBudgetPixels();

    SharedImageBudget& budget;
    std::mutex mutex;
    std::condition_variable changed;
    std::unordered_map<std::string, std::unique_ptr<Job>> jobs; // asked for and not yet taken
    std::deque<Job*> waiting;                                   // not yet begun, in the order asked
    int aheadCount = 0;                                         // jobs begun and not yet taken
    bool stopping = false;
    std::vector<std::jthread> workers;
};

} // namespace torvane
