// The main window with all its panels, built afresh for each test from the defaults, and
// the panels' controls by name.
#pragma once

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <memory>
#include <string>

#include "gui_harness.h"
#include "model/parameter_record.h"
#include "ui/main_window.h"

namespace panels_test {

class MainWindowPanels : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        main = std::make_unique<MainWindow>(parameters);
        gui_test::run_pending_events();
    }
    void TearDown() override {
        main.reset();
        GuiTest::TearDown();
    }

    void click(ModeButton which) {
        main->mode_frames().button(which).clicked();
        gui_test::run_pending_events();
    }

    static std::string caption(Gtk::Button& button) {
        auto* label = dynamic_cast<Gtk::Label*>(button.get_child());
        return label != nullptr ? std::string(label->get_text()) : std::string();
    }
    std::string caption(ModeButton which) { return caption(main->mode_frames().button(which)); }

    static void set(Gtk::SpinButton* spin, double value) {
        ASSERT_NE(spin, nullptr);
        spin->set_value(value);
        gui_test::run_pending_events();
    }

    OpticalPropertiesPanel& optical() { return main->optical_properties(); }
    OrientationPanel& orientation() { return main->orientation(); }
    OrientationState& orientation_state() { return main->editor().orientation(); }
    Gtk::SpinButton* image_size_spin() { return main->other_parameters().image_size_spin(); }
    Gtk::SpinButton* sampling_step_spin() { return orientation().sampling_step_spin(); }

    std::unique_ptr<MainWindow> main;
};

}  // namespace panels_test
