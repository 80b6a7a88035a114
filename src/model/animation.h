// The turning stage of the animation window: the stage azimuth advances by the measured
// time times the speed on every tick, so the stage keeps its speed even when ticks come
// late (they skip frames instead). The toolkit's timeout and elapsed-time timer are reached
// through two small interfaces, so the arithmetic and the one-timeout rule run without a
// display.
#pragma once

#include "model/controls.h"

// Seconds since the stage clock was last restarted.
class StageClock {
  public:
    virtual ~StageClock() = default;
    virtual double elapsed() const = 0;
    virtual void restart() = 0;
};

// The periodic timeout that calls Animation::tick. The animation never adds a second one
// before removing the first.
class TickTimeout {
  public:
    virtual ~TickTimeout() = default;
    virtual void add(int period_ms) = 0;
    virtual void remove() = 0;
};

// One azimuth step's worth of time at the given speed, truncated to whole milliseconds.
int frame_period_ms(float step_degrees, float speed);
// The stage azimuth after `elapsed` seconds at `speed`; a full turn starts again at 0
// (the part beyond 360 is dropped, so the stage shows frame 0 at every turn).
float advance_azimuth(float azimuth, double elapsed, float speed);
// The frame of a series of `frames` frames spread over 360 degrees that shows `azimuth`.
int frame_for_azimuth(int frames, float azimuth);

class Animation {
  public:
    // step_degrees: the stage-azimuth step of the Draw; frames: its frame count n.
    Animation(float step_degrees, int frames, StageClock& clock, TickTimeout& timeout,
              float speed = controls::kDefaultSpeed);
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;
    ~Animation();

    void start();
    void stop();
    // Advances the stage by the time since the last tick; returns the frame to show.
    int tick();
    void set_speed(float speed);
    // Returns the frame that shows the new azimuth.
    int set_azimuth(float azimuth);

    bool running() const { return running_; }
    float azimuth() const { return azimuth_; }
    float speed() const { return speed_; }
    int period_ms() const { return frame_period_ms(step_, speed_); }
    float frames_per_second() const { return speed_ / step_; }
    int frame_index() const { return frame_for_azimuth(frames_, azimuth_); }

  private:
    float step_;
    int frames_;
    StageClock& clock_;
    TickTimeout& timeout_;
    bool running_ = false;
    float azimuth_ = 0.0f;
    float speed_;
};
