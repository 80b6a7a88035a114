#include "model/animation.h"

#include <algorithm>
#include <cmath>

int frame_period_ms(float step_degrees, float speed) {
    return static_cast<int>(1000.0f * step_degrees / speed);
}

float advance_azimuth(float azimuth, double elapsed, float speed) {
    const auto advanced = static_cast<float>(azimuth + elapsed * speed);
    return advanced >= 360.0f ? 0.0f : advanced;
}

int frame_for_azimuth(int frames, float azimuth) {
    // The azimuth stays below 360, but a value that rounds up to it must not index past
    // the last frame.
    const int index = static_cast<int>(static_cast<double>(frames) * azimuth / 360.0);
    return std::clamp(index, 0, std::max(frames - 1, 0));
}

Animation::Animation(float step_degrees, int frames, StageClock& clock, TickTimeout& timeout,
                     float speed)
    : step_(step_degrees), frames_(frames), clock_(clock), timeout_(timeout), speed_(speed) {
    clock_.restart();
}

Animation::~Animation() {
    stop();
}

void Animation::start() {
    if (running_)
        return;
    timeout_.add(period_ms());
    clock_.restart();
    running_ = true;
}

void Animation::stop() {
    if (!running_)
        return;
    timeout_.remove();
    running_ = false;
}

int Animation::tick() {
    const double elapsed = clock_.elapsed();
    clock_.restart();
    azimuth_ = advance_azimuth(azimuth_, elapsed, speed_);
    return frame_index();
}

void Animation::set_speed(float speed) {
    if (running_)
        timeout_.remove();
    speed_ = speed;
    // The clock keeps running: the next tick counts the time since the last one at the new
    // speed, so changing the speed never makes the stage jump.
    if (running_)
        timeout_.add(period_ms());
}

int Animation::set_azimuth(float azimuth) {
    if (running_)
        timeout_.remove();
    azimuth_ = azimuth;
    clock_.restart();
    if (running_)
        timeout_.add(period_ms());
    return frame_index();
}
