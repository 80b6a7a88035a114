// A figure computed on a thread of its own while the window goes on, for a view that wants a
// sharper figure than it has: started, asked for the result, or dropped by starting another
// or by destruction, which wait for the thread to stop.
#pragma once

#include <atomic>
#include <optional>
#include <thread>

#include "optics/figure_buffer.h"

class BackgroundFigure {
  public:
    BackgroundFigure() = default;
    ~BackgroundFigure() { cancel(); }
    BackgroundFigure(const BackgroundFigure&) = delete;
    BackgroundFigure& operator=(const BackgroundFigure&) = delete;

    // Drops any computation under way and starts one of the setup.
    void start(const DrawSetup& setup);
    // Stops the computation under way, if any, and waits for its thread.
    void cancel();
    // Whether a computation was started and its result not yet taken.
    bool busy() const { return thread_.joinable(); }
    // The finished figure, once; nothing while it is being computed, after a cancel, or when
    // the computation failed (it ran out of memory).
    std::optional<Figure> take();

  private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::optional<Figure> result_;
};
