#include "ui/other_parameters_panel.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "gui_harness.h"
#include "model/parameter_record.h"

namespace {

class OtherParametersPanelTest : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        window.add(column);
        editor.emplace(parameters);
        panel.emplace(*editor);
        column.pack_start(*panel, false, false, 0);
        editor->changed();
        window.show_all();
    }
    void TearDown() override {
        panel.reset();
        GuiTest::TearDown();
    }
    Gtk::SpinButton* image_size_spin() { return panel->image_size_spin(); }
    // The size row as the user sees it.
    double shown_size() { return image_size_spin()->get_value(); }
    double size_maximum() { return image_size_spin()->get_adjustment()->get_upper(); }

    void choose(int mode, float step) {
        parameters.draw_mode = mode;
        (mode == kAnimation ? parameters.animation_step : parameters.rotation_step) = step;
        editor->changed();
    }

    Gtk::Window window;
    Gtk::Box column{Gtk::ORIENTATION_VERTICAL, 0};
    std::optional<RecordEditor> editor;
    std::optional<OtherParametersPanel> panel;
};

}  // namespace

TEST_F(OtherParametersPanelTest, StartUpShowsTheDefaults) {
    EXPECT_FLOAT_EQ(static_cast<float>(panel->aperture_spin().get_value()), 0.65f);
    EXPECT_EQ(panel->aperture_spin().get_text(), "0.65");
    EXPECT_EQ(panel->thickness_spin().get_text(), "30");
    EXPECT_EQ(image_size_spin()->get_text(), "200");
    EXPECT_DOUBLE_EQ(size_maximum(), 400.0);
    EXPECT_DOUBLE_EQ(image_size_spin()->get_adjustment()->get_lower(), 20.0);
    EXPECT_FLOAT_EQ(parameters.image_size, 200.0f);
    auto* frame = dynamic_cast<Gtk::Frame*>(column.get_children().at(0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->get_label(), "(その他のパラメータ)");
    // The rows, top to bottom.
    const auto labels = gui_test::label_texts(*frame->get_child());
    const std::vector<std::string> expected = {"開口数  ", "薄片の厚さ(μ)  ",
                                               "イメージサイズ(画素)  "};
    EXPECT_EQ(labels, expected);
}

TEST_F(OtherParametersPanelTest, SizeRowFollowsTheModeAndStep) {
    struct Case {
        int mode;
        float step;
        double maximum;
    };
    // The maxima tables: rotation ring within 660 pixels, animation within about 1600².
    const Case cases[] = {
        {kRotationImage, 15, 76},     {kRotationImage, 18, 89},  {kRotationImage, 20, 97},
        {kRotationImage, 22.5f, 107}, {kRotationImage, 30, 135}, {kRotationImage, 36, 155},
        {kRotationImage, 45, 182},    {kAnimation, 1, 84},       {kAnimation, 2, 119},
        {kAnimation, 5, 188},         {kAnimation, 7, 223},      {kAnimation, 10, 266},
        {kSingleImage, 30, 400},
    };
    for (const auto& c : cases) {
        parameters.image_size_single = 400;
        parameters.image_size_rotation = 400;
        parameters.image_size_animation = 400;
        choose(c.mode, c.step);
        EXPECT_DOUBLE_EQ(size_maximum(), c.maximum) << c.mode << " " << c.step;
        EXPECT_DOUBLE_EQ(shown_size(), std::min(c.maximum, 400.0));
    }
    EXPECT_EQ(gui_test::label_texts(column).size(), 4u) << "one size row, not one per rebuild";
}

TEST_F(OtherParametersPanelTest, RotationAtTheDefaultStep) {
    choose(kRotationImage, 30);
    EXPECT_DOUBLE_EQ(shown_size(), 120.0);
    EXPECT_DOUBLE_EQ(size_maximum(), 135.0);
    EXPECT_FLOAT_EQ(parameters.image_size, 120.0f);
}

TEST_F(OtherParametersPanelTest, ClampLowersTheSizeAndItStaysLowered) {
    choose(kRotationImage, 30);
    image_size_spin()->set_value(135);
    EXPECT_FLOAT_EQ(parameters.image_size_rotation, 135.0f);
    choose(kRotationImage, 15);
    EXPECT_DOUBLE_EQ(shown_size(), 76.0);
    EXPECT_FLOAT_EQ(parameters.image_size_rotation, 76.0f);
    choose(kRotationImage, 30);
    EXPECT_DOUBLE_EQ(shown_size(), 76.0);
    EXPECT_DOUBLE_EQ(size_maximum(), 135.0);
    EXPECT_FLOAT_EQ(parameters.image_size, 76.0f);

    choose(kAnimation, 1);
    EXPECT_DOUBLE_EQ(shown_size(), 84.0) << "the default 100 drops";
    choose(kAnimation, 5);
    EXPECT_DOUBLE_EQ(shown_size(), 84.0);
}

TEST_F(OtherParametersPanelTest, EachModeKeepsItsOwnSize) {
    image_size_spin()->set_value(321);
    choose(kAnimation, 5);
    image_size_spin()->set_value(150);
    EXPECT_FLOAT_EQ(parameters.image_size, 150.0f);
    choose(kSingleImage, 5);
    EXPECT_DOUBLE_EQ(shown_size(), 321.0);
    EXPECT_FLOAT_EQ(parameters.image_size, 321.0f);
    EXPECT_FLOAT_EQ(parameters.image_size_animation, 150.0f);
    EXPECT_FLOAT_EQ(parameters.image_size_rotation, 120.0f);
}

TEST_F(OtherParametersPanelTest, EachEditIsStoredBeforeItIsToldOnce) {
    std::vector<std::pair<float, float>> told;  // aperture and thickness as each listener saw them
    editor->signal_changed().connect(
        [&] { told.emplace_back(parameters.numerical_aperture, parameters.thickness); });
    panel->aperture_spin().set_value(1.0);
    EXPECT_FLOAT_EQ(parameters.numerical_aperture, 1.0f) << "the spin reaches 1.0";
    panel->thickness_spin().set_value(3000);
    image_size_spin()->set_value(250);
    EXPECT_EQ(told, (std::vector<std::pair<float, float>>{
                        {1.0f, 30.0f}, {1.0f, 3000.0f}, {1.0f, 3000.0f}}));
    EXPECT_FLOAT_EQ(parameters.image_size, 250.0f);
}

// An assistive technology sets a spin's value directly, fractions included; the spin must
// survive it and move the value onto its whole-pixel grid.
TEST_F(OtherParametersPanelTest, FractionalSizeFromAnAssistiveToolIsRoundedInPlace) {
    for (const auto& [set, stored] : {std::pair{151.8, 152.0}, {151.2, 151.0}, {20.4, 20.0}}) {
        Gtk::SpinButton* spin = image_size_spin();
        spin->get_adjustment()->set_value(set);
        gui_test::run_pending_events();
        EXPECT_EQ(image_size_spin(), spin) << "the row was rebuilt under its own spin";
        EXPECT_DOUBLE_EQ(shown_size(), stored);
        EXPECT_FLOAT_EQ(parameters.image_size_single, float(stored));
    }
}
