// A long run of random actions on the main and figure windows, as a user or an assistive
// technology might make them, looking for crashes and toolkit complaints. Every action is
// logged with the seed; LUMITRA_RANDOM_SEED=N replays a run, LUMITRA_RANDOM_ACTIONS=N sets
// its length.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "model/parameter_record.h"
#include "ui/main_window.h"
#include "ui/save_dialog.h"

namespace {

// Counts what the toolkit reports as a warning or a critical: each is a bug of ours.
class ToolkitComplaints {
  public:
    ToolkitComplaints() {
        for (const char* domain : kDomains)
            handlers_.push_back(g_log_set_handler(
                domain,
                GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL),
                &ToolkitComplaints::note, this));
    }
    ~ToolkitComplaints() {
        for (std::size_t i = 0; i < handlers_.size(); ++i)
            g_log_remove_handler(kDomains[i], handlers_[i]);
    }
    ToolkitComplaints(const ToolkitComplaints&) = delete;
    ToolkitComplaints& operator=(const ToolkitComplaints&) = delete;

    int count = 0;
    std::string first;

  private:
    static constexpr const char* kDomains[] = {"Gtk",   "Gdk",       "GLib",   "GLib-GObject",
                                               "Pango", "GdkPixbuf", "glibmm", "gtkmm"};
    static void note(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer self) {
        auto* complaints = static_cast<ToolkitComplaints*>(self);
        if (complaints->count++ == 0)
            complaints->first = std::string(domain ? domain : "") + ": " + message;
        std::fprintf(stderr, "toolkit complaint: %s: %s\n", domain ? domain : "", message);
    }
    std::vector<guint> handlers_;
};

unsigned long from_environment(const char* name, unsigned long otherwise) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoul(text, nullptr, 10) : otherwise;
}

void collect_spins(Gtk::Widget& widget, std::vector<Gtk::SpinButton*>& spins) {
    if (auto* spin = dynamic_cast<Gtk::SpinButton*>(&widget)) {
        if (spin->is_visible() && spin->is_sensitive())
            spins.push_back(spin);
        return;
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget))
        for (Gtk::Widget* child : container->get_children())
            collect_spins(*child, spins);
}

class RandomActions : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
        GuiTest::SetUp();
        seed_ = from_environment("LUMITRA_RANDOM_SEED", std::random_device{}());
        random_.seed(seed_);
        log_path_ = ::testing::TempDir() + "lumitra-random-actions.log";
        log_ = std::fopen(log_path_.c_str(), "w");
        ASSERT_NE(log_, nullptr);
        std::printf("random actions: seed %lu (LUMITRA_RANDOM_SEED=%lu replays), log %s\n", seed_,
                    seed_, log_path_.c_str());
        say("seed " + std::to_string(seed_));
    }
    void TearDown() override {
        main_.reset();
        GuiTest::TearDown();
        if (log_ != nullptr)
            std::fclose(log_);
    }

    // One line per action, on the disk before the action runs: a crash keeps the log.
    void say(const std::string& action) {
        std::fprintf(log_, "%s\n", action.c_str());
        std::fflush(log_);
        last_ = action;
    }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    double between(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random_);
    }

    // A value for a control with this adjustment: on its grid, fractional, or out of range.
    double some_value(const Glib::RefPtr<Gtk::Adjustment>& a) {
        const double low = a->get_lower(), high = a->get_upper();
        const double step = a->get_step_increment() > 0 ? a->get_step_increment() : 1.0;
        switch (below(4)) {
            case 0:
                return low + step * below(int((high - low) / step) + 1);
            case 1:
                return between(low, high);
            case 2:
                return below(2) ? low - between(0, 100) : high + between(0, 100);
            default:
                return std::round(between(low, high)) + 0.5;
        }
    }

    void set_some_spin(Gtk::Widget& root, const std::string& where) {
        std::vector<Gtk::SpinButton*> spins;
        collect_spins(root, spins);
        if (spins.empty())
            return;
        const int which = below(int(spins.size()));
        Gtk::SpinButton* spin = spins[std::size_t(which)];
        if (below(5) == 0) {
            const std::string text = below(2) ? "abc" : std::to_string(between(-1000, 5000));
            say(where + " spin " + std::to_string(which) + " typed " + text);
            spin->set_text(text);
            spin->update();
            return;
        }
        const double value = some_value(spin->get_adjustment());
        say(where + " spin " + std::to_string(which) + " set to " + std::to_string(value));
        // As an assistive technology sets it: the value, not the text.
        spin->get_adjustment()->set_value(value);
    }

    void set_some_scale(FigureWindow& figure) {
        std::vector<Gtk::Scale*> scales = {&figure.light_scale(), &figure.gamma_scale()};
        for (Gtk::Scale* scale : {figure.speed_scale(), figure.azimuth_scale()})
            if (scale != nullptr)
                scales.push_back(scale);
        const int which = below(int(scales.size()));
        const double value = some_value(scales[std::size_t(which)]->get_adjustment());
        say("figure slider " + std::to_string(which) + " set to " + std::to_string(value));
        scales[std::size_t(which)]->get_adjustment()->set_value(value);
    }

    void open_and_cancel_save(FigureWindow& figure) {
        say("figure save opened and cancelled");
        gui_test::inject([&figure] {
            if (Gtk::FileChooserDialog* chooser = figure.save_dialog().chooser())
                chooser->response(Gtk::RESPONSE_CANCEL);
        });
        gui_test::Watchdog watchdog(10000);
        figure.save_button().clicked();
    }

    // Draw with a small figure, so that a thousand actions take a minute at most.
    void draw() {
        if (Gtk::SpinButton* size = main_->other_parameters().image_size_spin()) {
            const double side = 20 + below(41);
            say("image size set to " + std::to_string(side) + ", then Draw");
            size->get_adjustment()->set_value(side);
        } else {
            say("Draw");
        }
        main_->draw_button().clicked();
    }

    void act_on_figure(FigureWindow& figure) {
        const int choice = below(12);
        if (choice < 6) {
            set_some_scale(figure);
        } else if (choice < 8) {
            Gtk::Button* start = figure.start_button();
            Gtk::Button* stop = figure.stop_button();
            if (start != nullptr && choice == 6) {
                say("figure start");
                start->clicked();
            } else if (stop != nullptr) {
                say("figure stop");
                stop->clicked();
            }
        } else if (choice < 10) {
            open_and_cancel_save(figure);
        } else if (choice == 10) {
            say("figure closed with its button");
            figure.close_button().clicked();
        } else {
            say("figure closed by the window frame");
            gui_test::send_window_close(figure.dialog());
        }
    }

    void act() {
        if (FigureWindow* figure = main_->figure_window(); figure != nullptr && below(2)) {
            act_on_figure(*figure);
        } else {
            const int choice = below(100);
            if (choice < 55) {
                set_some_spin(*main_, "main");
            } else if (choice < 80) {
                const int which = below(4);
                say("mode button " + std::to_string(which));
                main_->mode_frames().button(ModeButton(which)).clicked();
            } else if (choice < 88) {
                say("projection button");
                main_->preview().projection_button().clicked();
            } else if (choice < 95) {
                say("events");
            } else {
                draw();
            }
        }
        gui_test::run_pending_events();
    }

    unsigned long seed_ = 0;
    std::mt19937_64 random_;
    std::string log_path_;
    std::FILE* log_ = nullptr;
    std::string last_;
    std::unique_ptr<MainWindow> main_;
};

}  // namespace

TEST_F(RandomActions, ThousandsOfActionsLeaveNoCrashAndNoToolkitComplaint) {
    const unsigned long actions = from_environment("LUMITRA_RANDOM_ACTIONS", 1000);
    ToolkitComplaints complaints;
    main_ = std::make_unique<MainWindow>(parameters);
    gui_test::run_pending_events();
    const auto began = std::chrono::steady_clock::now();
    for (unsigned long k = 0; k < actions && complaints.count == 0; ++k) {
        act();
        // The record stays within what the controls allow.
        ASSERT_GE(parameters.image_size, 20.0f) << last_;
        ASSERT_EQ(parameters.image_size, std::round(parameters.image_size)) << last_;
    }
    if (FigureWindow* figure = main_->figure_window()) {
        say("figure closed at the end");
        figure->close();
    }
    gui_test::run_pending_events();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("random actions: %lu in %.1f s, toolkit complaints %d\n", actions, seconds,
                complaints.count);
    RecordProperty("seed", std::to_string(seed_));
    RecordProperty("seconds", std::to_string(seconds));
    EXPECT_EQ(complaints.count, 0) << complaints.first << " after: " << last_ << " (seed " << seed_
                                   << ", log " << log_path_ << ")";
}
