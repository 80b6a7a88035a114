// How a long task reports progress and learns of a cancel. The GUI implements it with the
// modal progress dialog; tests implement it with a cancel at a chosen unit.
#pragma once

class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    // Shows the task's message (Shift-JIS) before its first unit of work.
    virtual void open(const char* message_sjis) = 0;
    // Reports the completed fraction, a quotient of two integers so that the last call is
    // exactly 1.0. Returns false when the user cancelled: the task stops and undoes itself.
    virtual bool update(float fraction) = 0;
    // Asked about every 100 ms while the task waits for another process between two
    // updates: the dialog handles what is pending, and false means stop, as from update.
    virtual bool keep_going() { return true; }
};

// For work short enough to need neither a progress bar nor a cancel.
class SilentProgress : public ProgressSink {
  public:
    void open(const char*) override {}
    bool update(float) override { return true; }
};
