// The main window with all its panels, built afresh for each test from the defaults.
#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include "gui_harness.h"
#include "model/parameter_record.h"
#include "ui/main_window.h"
#include "ui/mode_frames.h"
#include "ui/orientation_panel.h"

namespace panels_test {

class MainWindowPanels : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        // The rotation axis and the sense of Y outlive the panel; each test starts afresh.
        orientation_state() = OrientationState{};
        window = build_main_window();
        gui_test::run_pending_events();
    }
    void TearDown() override {
        release_main_window();
        GuiTest::TearDown();
    }

    void click(ModeButton which) {
        mode_button(which)->clicked();
        gui_test::run_pending_events();
    }

    std::string caption(ModeButton which) {
        auto* label = dynamic_cast<Gtk::Label*>(mode_button(which)->get_child());
        return label != nullptr ? std::string(label->get_text()) : std::string();
    }

    static void set(Gtk::SpinButton* spin, double value) {
        ASSERT_NE(spin, nullptr);
        spin->set_value(value);
        gui_test::run_pending_events();
    }

    Gtk::Window* window = nullptr;
};

}  // namespace panels_test
