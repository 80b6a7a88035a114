#include "ui/widget_builders.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gui_harness.h"
#include "model/derived_values.h"
#include "model/texts.h"
#include "ui/label_text.h"
#include "ui/symbol_style.h"

namespace {

class WidgetBuilders : public gui_test::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        window.add(box);
    }
    Gtk::Window window;
    Gtk::Box box{Gtk::ORIENTATION_VERTICAL, 0};
};

// What a user gets after typing text into the spin and leaving it.
double typed(Gtk::SpinButton& spin, const char* text) {
    spin.set_text(text);
    spin.update();
    return spin.get_value();
}

}  // namespace

TEST_F(WidgetBuilders, SpinShowsItsDigits) {
    struct Case {
        float value;
        ControlRange range;
        const char* shown;
    };
    const Case cases[] = {
        {0.65f, {0.1f, 1.0f, 0.01f, 0.1f, 2}, "0.65"},
        {30.0f, {10.0f, 3000.0f, 1.0f, 10.0f, 0}, "30"},
        {1.544f, {1.3f, 2.0f, 0.001f, 0.01f, 3}, "1.544"},
        {30.0f, {0.0f, 180.0f, 1.0f, 10.0f, 1}, "30.0"},
    };
    for (const auto& c : cases) {
        Gtk::SpinButton* spin =
            make_labeled_spin(box, texts::numerical_aperture, {155, 53}, c.value, c.range);
        EXPECT_EQ(spin->get_text(), c.shown) << c.shown;
    }
}

TEST_F(WidgetBuilders, SpinRefusesTypedLetters) {
    Gtk::SpinButton* spin =
        make_labeled_spin(box, texts::thickness, {155, 53}, 30, controls::kThickness);
    spin->set_text("");
    int position = 0;
    spin->insert_text("ab", -1, position);
    EXPECT_EQ(spin->get_text(), "");
    spin->insert_text("42", -1, position);
    EXPECT_EQ(spin->get_text(), "42");
    spin->insert_text("x", -1, position);
    EXPECT_EQ(spin->get_text(), "42");
}

TEST_F(WidgetBuilders, TypedValueBetweenStepsSnapsToAStep) {
    struct Case {
        float lower, upper, step, digits;
        const char* text;
        double expected;
    };
    // Steps count from the lower bound.
    const Case cases[] = {
        {0, 100, 5, 0, "23", 25},   {0, 100, 5, 0, "22", 20},   {20, 400, 10, 0, "47", 50},
        {20, 400, 10, 0, "44", 40}, {10, 3000, 1, 0, "57", 57}, {0, 90, 0.5f, 1, "12.3", 12.5},
    };
    for (const auto& c : cases) {
        Gtk::SpinButton* spin = make_labeled_spin(box, texts::image_size, {155, 53}, c.lower,
                                                  {c.lower, c.upper, c.step, 10, int(c.digits)});
        EXPECT_DOUBLE_EQ(typed(*spin, c.text), c.expected) << c.text;
    }
}

TEST_F(WidgetBuilders, SpinReachesItsUpperBound) {
    ParameterRecord record{};
    set_default_parameters(record);
    // The aperture, the thickness, the single-image size and the optic axial angle.
    const ControlRange cases[] = {controls::kNumericalAperture, controls::kThickness,
                                  image_size_range(record, kSingleImage),
                                  controls::kOpticAxialAngle};
    for (const ControlRange& c : cases) {
        Gtk::SpinButton* spin =
            make_labeled_spin(box, texts::numerical_aperture, {155, 53}, c.lower, c);
        for (int i = 0; i < 400; ++i) {
            spin->spin(Gtk::SPIN_PAGE_FORWARD, 0.0);
        }
        EXPECT_FLOAT_EQ(static_cast<float>(spin->get_value()), c.upper);
        EXPECT_FLOAT_EQ(static_cast<float>(typed(*spin, "10000")), c.upper);
    }
}

TEST_F(WidgetBuilders, SpinKeepsItsLabelUnderTheKeyLabel) {
    Gtk::SpinButton* spin = make_labeled_spin(box, texts::numerical_aperture, {155, 53}, 0.65f,
                                              controls::kNumericalAperture);
    Gtk::Label* label = spin_label(*spin);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(g_object_get_data(G_OBJECT(spin->gobj()), "label"),
              static_cast<void*>(label->gobj()));
    // The two trailing blanks are part of the text: they keep it off the spin.
    EXPECT_EQ(label->get_text(), "開口数  ");
    EXPECT_FLOAT_EQ(label->get_xalign(), 1.0f);
    int width = 0;
    int height = 0;
    label->get_size_request(width, height);
    EXPECT_EQ(width, 155);
    // Label and spin share one row.
    EXPECT_EQ(label->get_parent(), spin->get_parent());

    Gtk::SpinButton plain;
    EXPECT_EQ(spin_label(plain), nullptr);
}

TEST_F(WidgetBuilders, ScaleStopsOnePageBelowItsUpperBound) {
    Gtk::Scale* scale =
        make_labeled_scale(box, texts::gamma_value, {80, 200}, 2.4f, {1, 11, 0.1f, 1, 1});
    scale->set_value(11);
    EXPECT_DOUBLE_EQ(scale->get_value(), 10.0);
    EXPECT_DOUBLE_EQ(scale->get_adjustment()->get_page_size(), 1.0);
    const auto labels = gui_test::label_texts(*scale->get_parent());
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), "ガンマ値");
}

TEST_F(WidgetBuilders, ButtonsLabelsAndTooltipsShowTheJapaneseText) {
    Gtk::Button* button = make_button(box, texts::draw);
    EXPECT_EQ(button->get_label(), "描画");
    EXPECT_EQ(button->get_border_width(), 5u);
    set_button_label(*button, texts::wulff_projection);
    EXPECT_EQ(gui_test::label_texts(*button), std::vector<std::string>{"ウルフ投影"});
    set_tooltip(*button, texts::projection_tip);
    EXPECT_EQ(button->get_tooltip_text(), "投影");
    Gtk::ButtonBox actions;
    make_button(actions, texts::save);
    make_button(actions, texts::close);
    EXPECT_EQ(actions.get_layout(), Gtk::BUTTONBOX_EXPAND) << "buttons share the width";
    Gtk::Label* label = make_label(box, texts::computing, 5);
    EXPECT_EQ(label->get_text(), "計算中です.");
}

TEST_F(WidgetBuilders, InvalidShiftJisShowsReplacedBytes) {
    struct Case {
        const char* sjis;
        const char* shown;
    };
    // 0xFF and 0xA0 start no character; 0x83 at the end lacks its second byte; 0x81 0x20
    // is a lead byte with a blank that cannot follow it.
    const Case cases[] = {
        {"a\377b.bmp", "a\uFFFDb.bmp"}, {"\203C\203\201\201[\203W \240x", "イメージ \uFFFDx"},
        {"file\203", "file\uFFFD"},     {"\201 z", "\uFFFD z"},
        {"plain.bmp", "plain.bmp"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sjis_to_utf8(c.sjis), c.shown) << c.shown;
        EXPECT_EQ(make_label(box, c.sjis, 0)->get_text(), c.shown);
    }
}

TEST_F(WidgetBuilders, SymbolStyleShowsGreekLettersInAnEighteenPixelFont) {
    struct Case {
        const char* latin;
        const char* greek;
    };
    const Case cases[] = {{"q  ", "θ  "}, {"f  ", "φ  "}, {"Df  ", "Δφ  "}, {"w  ", "ω  "},
                          {"e  ", "ε  "}, {"a  ", "α  "}, {"g  ", "γ  "}};
    for (const auto& c : cases) {
        Gtk::SpinButton* spin = make_labeled_spin(box, c.latin, {40, 53}, 0, controls::kAxisTheta);
        Gtk::Label* label = spin_label(*spin);
        set_symbol_style(*label);
        EXPECT_EQ(label->get_text(), c.greek);
        const Pango::FontDescription font =
            label->get_style_context()->get_font(Gtk::STATE_FLAG_NORMAL);
        // The style gives the size in pixels; GTK hands it on in points at 96 pixels an inch.
        const double pixels = font.get_size_is_absolute()
                                  ? font.get_size() / double(Pango::SCALE)
                                  : font.get_size() / double(Pango::SCALE) * 96.0 / 72.0;
        EXPECT_DOUBLE_EQ(pixels, 18.0) << c.latin;
    }
}
