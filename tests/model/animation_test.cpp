#include "model/animation.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A clock the test advances by hand.
class ManualClock : public StageClock {
  public:
    double elapsed() const override { return now - started; }
    void restart() override {
        started = now;
        ++restarts;
    }
    double now = 0.0;
    double started = 0.0;
    int restarts = 0;
};

// Counts the timeouts that exist, as the toolkit would hold them.
class CountingTimeout : public TickTimeout {
  public:
    void add(int period_ms) override {
        ++active;
        ++adds;
        most_active = std::max(most_active, active);
        last_period = period_ms;
    }
    void remove() override {
        ASSERT_GT(active, 0) << "removed a timeout that does not exist";
        --active;
    }
    int active = 0;
    int adds = 0;
    int most_active = 0;
    int last_period = 0;
};

TEST(Animation, DefaultPeriodAndRate) {
    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(5.0f, 72, clock, timeout);
    EXPECT_EQ(animation.period_ms(), 111);
    EXPECT_FLOAT_EQ(animation.frames_per_second(), 9.0f);
    EXPECT_FALSE(animation.running());
    EXPECT_EQ(animation.azimuth(), 0.0f);
    EXPECT_EQ(animation.frame_index(), 0);
}

TEST(Animation, PeriodIsOneStepAtTheSpeed) {
    struct Case {
        float step, speed;
        int period;
    };
    for (const Case c : {Case{5, 10, 500}, Case{5, 45, 111}, Case{5, 90, 55}, Case{1, 90, 11},
                         Case{7, 45, 155}, Case{10, 10, 1000}}) {
        EXPECT_EQ(frame_period_ms(c.step, c.speed), c.period) << c.step << " at " << c.speed;
    }
}

TEST(Animation, FrameOfAzimuth) {
    struct Case {
        int frames;
        float azimuth;
        int frame;
    };
    for (const Case c :
         {Case{72, 0, 0}, Case{72, 4.9f, 0}, Case{72, 5, 1}, Case{72, 90, 18}, Case{72, 359, 71},
          Case{51, 357, 50}, Case{51, 7, 0}, Case{51, 8, 1}, Case{1, 359, 0}}) {
        EXPECT_EQ(frame_for_azimuth(c.frames, c.azimuth), c.frame)
            << c.frames << " frames at " << c.azimuth;
    }
}

TEST(Animation, TwoSecondsAtSpeed45TurnTheStageAQuarter) {
    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(5.0f, 72, clock, timeout);
    animation.start();
    // Ticks every 111 ms for two seconds, as the timeout would deliver them.
    int frame = 0;
    for (int t = 1; t <= 18; ++t) {
        clock.now = t * 0.111;
        frame = animation.tick();
    }
    clock.now = 2.0;
    frame = animation.tick();
    EXPECT_NEAR(animation.azimuth(), 90.0f, 1e-3);
    EXPECT_EQ(frame, 18);
}

TEST(Animation, LateTickSkipsFramesButKeepsTheSpeed) {
    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(5.0f, 72, clock, timeout);
    animation.start();
    clock.now = 0.5;  // one tick 389 ms late
    EXPECT_EQ(animation.tick(), 4);
    EXPECT_NEAR(animation.azimuth(), 22.5f, 1e-4);
}

TEST(Animation, FullTurnStartsAgainAtZero) {
    EXPECT_EQ(advance_azimuth(350.4f, 1.0, 10.0f), 0.0f);  // 360.4 drops the 0.4
    EXPECT_EQ(advance_azimuth(359.0f, 0.1, 10.0f), 0.0f);  // exactly 360
    EXPECT_NEAR(advance_azimuth(349.0f, 1.0, 10.0f), 359.0f, 1e-4);

    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(5.0f, 72, clock, timeout);
    animation.set_azimuth(355.4f);
    animation.start();
    clock.now = 0.5;
    EXPECT_EQ(animation.tick(), 0);
    EXPECT_EQ(animation.azimuth(), 0.0f);
}

TEST(Animation, AtMostOneTimeoutWhateverTheUserDoes) {
    ManualClock clock;
    CountingTimeout timeout;
    {
        Animation animation(5.0f, 72, clock, timeout);
        animation.stop();  // stopping while stopped does nothing
        EXPECT_EQ(timeout.adds, 0);
        animation.start();
        animation.start();
        EXPECT_EQ(timeout.adds, 1);
        EXPECT_EQ(timeout.active, 1);
        animation.set_speed(90.0f);
        EXPECT_EQ(timeout.last_period, 55);
        animation.set_azimuth(120.0f);
        animation.tick();
        animation.stop();
        EXPECT_EQ(timeout.active, 0);
        animation.start();
        EXPECT_EQ(timeout.active, 1);
        // Destroyed while playing: the timeout goes with it.
    }
    EXPECT_EQ(timeout.active, 0);
    EXPECT_EQ(timeout.most_active, 1);
}

TEST(Animation, SpeedChangedWhileStoppedTakesEffectAtStart) {
    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(5.0f, 72, clock, timeout);
    animation.set_speed(10.0f);
    EXPECT_EQ(timeout.adds, 0);
    EXPECT_EQ(animation.period_ms(), 500);
    EXPECT_FLOAT_EQ(animation.frames_per_second(), 2.0f);
    animation.start();
    EXPECT_EQ(timeout.last_period, 500);
}

TEST(Animation, SpeedChangeCountsTheTimeSinceTheLastTickAtTheNewSpeed) {
    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(5.0f, 72, clock, timeout);
    animation.start();
    clock.now = 0.2;
    const int restarts = clock.restarts;
    animation.set_speed(90.0f);
    EXPECT_EQ(clock.restarts, restarts);
    clock.now = 0.3;
    animation.tick();
    EXPECT_NEAR(animation.azimuth(), 27.0f, 1e-4);
}

TEST(Animation, AzimuthSetByTheUserRestartsTheClockAndShowsItsFrame) {
    ManualClock clock;
    CountingTimeout timeout;
    Animation animation(7.0f, 51, clock, timeout);
    EXPECT_EQ(animation.set_azimuth(357.0f), 50);
    animation.start();
    clock.now = 5.0;
    EXPECT_EQ(animation.set_azimuth(100.0f), 14);  // trunc(51 × 100 / 360)
    clock.now = 5.1;
    animation.tick();
    EXPECT_NEAR(animation.azimuth(), 104.5f, 1e-4);
    EXPECT_EQ(timeout.active, 1);
}

}  // namespace
