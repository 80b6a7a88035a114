// Random actions on the main and figure windows, as a user or an assistive technology makes
// them. A toolkit warning or critical aborts the run; each action is logged first, so that
// LUMITRA_RANDOM_SEED=N replays a run (LUMITRA_RANDOM_ACTIONS=N sets its length).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "model/parameter_record.h"
#include "ui/figure_animation.h"
#include "ui/main_window.h"
#include "ui/save_dialog.h"

namespace {

unsigned long from_environment(const char* name, unsigned long otherwise) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoul(text, nullptr, 10) : otherwise;
}

void collect_spins(Gtk::Widget& widget, std::vector<Gtk::SpinButton*>& spins) {
    if (auto* spin = dynamic_cast<Gtk::SpinButton*>(&widget))
        spins.push_back(spin);
    else if (auto* container = dynamic_cast<Gtk::Container*>(&widget))
        for (Gtk::Widget* child : container->get_children())
            collect_spins(*child, spins);
}

}  // namespace

TEST(RandomActions, ThousandActionsLeaveNoCrashAndNoToolkitComplaint) {
    struct Restore {
        GLogLevelFlags fatal;
        ~Restore() { g_log_set_always_fatal(fatal); }
    } restore{g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL))};
    // The save chooser lists the working directory, where the other tests running beside
    // this one make and remove files; GTK's own chooser complains when its folder changes
    // while it closes, which says nothing about this program. It opens in a quiet folder.
    struct QuietFolder {
        std::string before = std::filesystem::current_path();
        std::string folder = ::testing::TempDir() + "lumitra-random-XXXXXX";
        QuietFolder() {
            if (::mkdtemp(folder.data()) != nullptr)
                std::filesystem::current_path(folder);
        }
        ~QuietFolder() {
            std::filesystem::current_path(before);
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } quiet_folder;
    const unsigned long seed = from_environment("LUMITRA_RANDOM_SEED", std::random_device{}());
    const std::string log_path = ::testing::TempDir() + "lumitra-random-actions.log";
    std::FILE* log = std::fopen(log_path.c_str(), "w");
    ASSERT_NE(log, nullptr);
    std::printf("random actions: LUMITRA_RANDOM_SEED=%lu replays, log %s\n", seed,
                log_path.c_str());
    std::mt19937_64 random(seed);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const auto say = [&](const std::string& action, double value = 0) {
        std::fprintf(log, "%s %g\n", action.c_str(), value);
        std::fflush(log);
    };
    // On the control's grid, between its steps, or beyond either end.
    const auto some_value = [&](const Glib::RefPtr<Gtk::Adjustment>& a) {
        const double low = a->get_lower(), high = a->get_upper();
        const double inside = low + (high - low) * below(1001) / 1000.0;
        const double kinds[] = {std::round(inside), inside + 0.37, low - below(100) - 0.5,
                                high + below(100) + 0.25};
        return kinds[below(4)];
    };
    set_default_parameters();
    auto main = std::make_unique<MainWindow>(parameters);
    const unsigned long actions = from_environment("LUMITRA_RANDOM_ACTIONS", 1000);
    for (unsigned long k = 0; k < actions; ++k) {
        const int choice = below(100);
        FigureWindow* figure = main->figure_window();
        if (figure != nullptr && choice < 50) {
            FigureAnimation* stage = figure->animation();
            std::vector<Gtk::Scale*> scales = {&figure->light_scale(), &figure->gamma_scale()};
            Gtk::Button* buttons[] = {nullptr, nullptr, &figure->close_button()};
            if (stage != nullptr) {
                scales.push_back(&stage->speed_scale());
                scales.push_back(&stage->azimuth_scale());
                buttons[0] = &stage->start_button();
                buttons[1] = &stage->stop_button();
            }
            const int slider = below(int(scales.size()));
            Gtk::Scale* scale = scales[std::size_t(slider)];
            if (choice < 30) {
                const double value = some_value(scale->get_adjustment());
                say("figure slider " + std::to_string(slider) + " set to", value);
                scale->get_adjustment()->set_value(value);
            } else if (choice < 38) {
                say("figure save opened and cancelled");
                gui_test::inject([figure] {
                    if (Gtk::FileChooserDialog* chooser = figure->save_dialog().chooser())
                        chooser->response(Gtk::RESPONSE_CANCEL);
                });
                // A chooser takes a while to open under the sanitizers on a busy machine; only
                // one that never answers is a fault.
                gui_test::Watchdog watchdog(60000);
                figure->save_button().clicked();
            } else if (Gtk::Button* button = buttons[below(3)]; choice < 48 && button) {
                say("figure button " + button->get_label());
                button->clicked();
            } else {
                say("figure closed by the window frame");
                gui_test::send_window_close(figure->dialog());
            }
        } else if (choice < 75) {
            std::vector<Gtk::SpinButton*> spins;
            collect_spins(*main, spins);
            const int which = below(int(spins.size()));
            const double value = some_value(spins[std::size_t(which)]->get_adjustment());
            say("spin " + std::to_string(which) + " set to", value);
            // As an assistive technology sets it: the value, not the text.
            spins[std::size_t(which)]->get_adjustment()->set_value(value);
        } else if (choice < 93) {
            say("mode button", choice % 5);
            if (choice % 5 == 4)
                main->preview().projection_button().clicked();
            else
                main->mode_frames().button(ModeButton(choice % 5)).clicked();
        } else {
            // A small figure, so that a thousand actions take seconds.
            const double side = 20 + below(41);
            say("image size, then Draw", side);
            if (Gtk::SpinButton* size = main->other_parameters().image_size_spin())
                size->get_adjustment()->set_value(side);
            main->draw_button().clicked();
        }
        gui_test::run_pending_events();
        ASSERT_EQ(parameters.image_size, std::round(parameters.image_size)) << "seed " << seed;
    }
    main.reset();
    gui_test::run_pending_events();
    std::fclose(log);
}
