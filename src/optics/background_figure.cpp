#include "optics/background_figure.h"

#include <new>

#include "model/progress_sink.h"
#include "optics/figure_computation.h"

namespace {

class StopFlag : public ProgressSink {
  public:
    explicit StopFlag(const std::atomic<bool>& stop) : stop_(stop) {}
    void open(const char*) override {}
    bool update(float) override { return !stop_; }
    bool keep_going() override { return !stop_; }

  private:
    const std::atomic<bool>& stop_;
};

}  // namespace

void BackgroundFigure::start(const DrawSetup& setup) {
    cancel();
    stop_ = false;
    done_ = false;
    thread_ = std::thread([this, setup] {
        StopFlag progress(stop_);
        try {
            result_ = compute_figure(setup, progress);
        } catch (const std::bad_alloc&) {
            // The view keeps the figure it has.
            result_.reset();
        }
        done_ = true;
    });
}

void BackgroundFigure::cancel() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    result_.reset();
}

std::optional<Figure> BackgroundFigure::take() {
    if (!thread_.joinable() || !done_)
        return std::nullopt;
    thread_.join();
    std::optional<Figure> figure = std::move(result_);
    result_.reset();
    return figure;
}
