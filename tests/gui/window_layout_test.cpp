// What a new user sees of the windows' layout: values shown in full, figures centred in
// their white area, a main window that returns to its size, windows kept above their owner.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "panels_fixture.h"

namespace {

using panels_test::MainWindowPanels;

void collect_spins(Gtk::Widget& widget, std::vector<Gtk::SpinButton*>& spins) {
    if (auto* spin = dynamic_cast<Gtk::SpinButton*>(&widget)) {
        spins.push_back(spin);
        return;
    }
    if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
        for (Gtk::Widget* child : container->get_children())
            collect_spins(*child, spins);
    }
}

// Whether the entry's text area holds the whole of the text it shows.
bool shows_in_full(Gtk::SpinButton& spin) {
    GdkRectangle area{};
    gtk_entry_get_text_area(GTK_ENTRY(spin.gobj()), &area);
    int width = 0;
    int height = 0;
    spin.get_layout()->get_pixel_size(width, height);
    return width > 0 && area.width >= width;
}

// Sets every spin of the window to the ends of its range and checks that each end is
// shown in full once the window has been laid out again.
void expect_extremes_in_full(Gtk::Window& window, const std::string& where) {
    std::vector<Gtk::SpinButton*> spins;
    collect_spins(window, spins);
    ASSERT_FALSE(spins.empty());
    for (std::size_t i = 0; i < spins.size(); ++i) {
        std::vector<Gtk::SpinButton*> now;
        collect_spins(window, now);  // an edit may rebuild rows
        if (i >= now.size())
            break;
        Gtk::SpinButton& spin = *now[i];
        const Glib::RefPtr<Gtk::Adjustment> range = spin.get_adjustment();
        for (double end : {range->get_upper(), range->get_lower()}) {
            spin.set_value(end);
            EXPECT_TRUE(gui_test::run_until([&] { return shows_in_full(spin); }, 300))
                << where << ": spin " << i << " showing \"" << spin.get_text() << "\" in "
                << spin.get_allocated_width() << " px";
        }
    }
}

}  // namespace

TEST_F(MainWindowPanels, EverySpinShowsTheWidestValueOfItsRangeInFull) {
    if (gui_test::translated_run()) {
        ASSERT_EQ(main->draw_button().get_label(), "Draw") << "the English texts are shown";
    }
    // The image size's range belongs to the drawing mode, and the largest sizes have three
    // digits; the thickness has four.
    for (const char* mode : {"single", "rotation", "animation"}) {
        expect_extremes_in_full(*main, std::string("uniaxial, ") + mode);
        click(kDrawModeButton);
    }
    click(kCrystalKindButton);
    expect_extremes_in_full(*main, "biaxial");
    // The labels are wider in English; the spins must not lose room to them.
    EXPECT_TRUE(gui_test::run_translated("LANG=en_US.UTF-8")) << "in English";
}

TEST_F(MainWindowPanels, TheMainWindowReturnsToItsSizeAfterAnotherCrystalKind) {
    ASSERT_TRUE(gui_test::run_until([&] { return main->get_width() > 1; }));
    gui_test::run_until([] { return false; }, 100);
    const int width = main->get_width();
    const int height = main->get_height();
    click(kCrystalKindButton);
    ASSERT_EQ(parameters.axis_type, kBiaxial);
    gui_test::run_until([&] { return main->get_width() != width; }, 300);
    click(kCrystalKindButton);
    ASSERT_EQ(parameters.axis_type, kUniaxial);
    EXPECT_TRUE(gui_test::run_until([&] {
        return main->get_width() == width && main->get_height() == height;
    })) << main->get_width()
        << " x " << main->get_height() << " px, " << width << " x " << height << " at start";
}
