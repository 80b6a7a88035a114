// A progress sink for tests: records every call and answers "cancel" at a chosen update.
#pragma once

#include <string>
#include <vector>

#include "model/progress_sink.h"

class ScriptedProgress : public ProgressSink {
  public:
    // cancel_at: the 1-based update call that reports a cancel; 0 never cancels.
    explicit ScriptedProgress(int cancel_at = 0) : cancel_at_(cancel_at) {}

    void open(const char* message_sjis) override { messages.emplace_back(message_sjis); }
    bool update(float fraction) override {
        fractions.push_back(fraction);
        return cancel_at_ == 0 || static_cast<int>(fractions.size()) < cancel_at_;
    }

    std::vector<std::string> messages;
    std::vector<float> fractions;

  private:
    int cancel_at_;
};
