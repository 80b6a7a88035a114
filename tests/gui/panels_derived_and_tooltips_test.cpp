// What the panels tell a user beyond the values typed: the biaxial crystal's β and optic
// sign, why an index did not go in, a figure that follows the keys, and a tooltip on every
// control.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "model/controls.h"
#include "model/derived_values.h"
#include "optics/figure_computation.h"
#include "panels_fixture.h"
#include "support/scripted_progress.h"
#include "ui/figure_window.h"
#include "ui/movie_size_dialog.h"

namespace {

using panels_test::MainWindowPanels;

// Every control under root that has no tooltip, named by its type and its text. A combo
// box's and a spin's own parts are not controls of their own.
void controls_without_tooltip(GtkWidget* widget, std::vector<std::string>& missing) {
    const bool control = GTK_IS_BUTTON(widget) || GTK_IS_SPIN_BUTTON(widget) ||
                         GTK_IS_SCALE(widget) || GTK_IS_COMBO_BOX(widget);
    if (control && gtk_widget_get_visible(widget)) {
        gchar* tip = gtk_widget_get_tooltip_text(widget);
        if (tip == nullptr || *tip == '\0') {
            std::string name = G_OBJECT_TYPE_NAME(widget);
            if (GTK_IS_BUTTON(widget) && gtk_button_get_label(GTK_BUTTON(widget)) != nullptr)
                name += std::string(" ") + gtk_button_get_label(GTK_BUTTON(widget));
            missing.push_back(name);
        }
        g_free(tip);
    }
    if (GTK_IS_CONTAINER(widget) && !GTK_IS_COMBO_BOX(widget) && !GTK_IS_SPIN_BUTTON(widget)) {
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer data) {
                controls_without_tooltip(child, *static_cast<std::vector<std::string>*>(data));
            },
            &missing);
    }
}

std::vector<std::string> controls_without_tooltip(Gtk::Widget& root) {
    std::vector<std::string> missing;
    controls_without_tooltip(root.gobj(), missing);
    return missing;
}

// The figure the live view shows is of the record as it stands.
void expect_live_figure_of_record(LiveFigure& live, const std::string& what) {
    ASSERT_TRUE(gui_test::run_until([&] { return !live.pending() && live.paints_of_latest() > 0; }))
        << what;
    const ParameterRecord expected = LiveFigure::live_record(parameters);
    EXPECT_EQ(std::memcmp(&live.shown_setup()->params, &expected, sizeof expected), 0) << what;
}

}  // namespace

// β from 1/β² = cos²Vz/α² + sin²Vz/γ² would restate the program; these values solve the
// textbook relation tan²Vz = (1/α² − 1/β²)/(1/β² − 1/γ²) for β by bisection, and the sign
// follows from which bisectrix is acute.
TEST_F(MainWindowPanels, BiaxialPanelShowsBetaAndTheOpticSign) {
    click(kCrystalKindButton);
    const struct {
        double alpha, gamma, two_vz;
        const char* beta;
        const char* sign;
    } cases[] = {
        {1.552, 1.587, 30, "1.554", "正"},                 // the defaults: β 1.554273
        {1.635, 1.670, 88, "1.652", "正"},                 // β 1.651612, nearer α
        {1.552, 1.588, 140, "1.584", "負"},                // 2Vx 40°: β 1.583659, nearer γ
        {1.500, 1.600, 90, "1.548", "正負なし(2Vz=90°)"},  // β 1.547582
        {1.500, 1.700, 0, "1.500", "正"},    // uniaxial positive in the limit: β = α
        {1.500, 1.700, 180, "1.700", "負"},  // β = γ
        {1.600, 1.600, 40, "1.600", "等方体"},
    };
    for (const auto& c : cases) {
        set(optical().gamma_spin(), controls::kRefractiveIndex.upper);
        set(optical().alpha_spin(), c.alpha);
        set(optical().gamma_spin(), c.gamma);
        set(optical().two_vz_spin(), c.two_vz);
        ASSERT_NE(optical().beta_label(), nullptr);
        EXPECT_EQ(optical().beta_label()->get_text(), c.beta) << c.alpha << " " << c.gamma;
        EXPECT_EQ(optical().optic_sign_label()->get_text(), c.sign) << c.two_vz;
    }
}

// α typed above γ does not go in, and the note says why and what the bound is; the note
// stays while the spin holds the bound and goes when an index within it is typed.
TEST_F(MainWindowPanels, AnIndexBeyondTheOtherShowsWhyItIsLimited) {
    click(kCrystalKindButton);
    Gtk::Label& note = *optical().limit_note();
    EXPECT_FALSE(note.get_visible());

    optical().alpha_spin()->set_text("1.600");
    gui_test::run_pending_events();
    EXPECT_TRUE(note.get_visible());
    EXPECT_EQ(note.get_text(), "α は γ (1.587) より大きくできません.");
    EXPECT_FLOAT_EQ(parameters.alpha, 1.552f);

    optical().alpha_spin()->activate();  // Enter: the spin takes its bound
    gui_test::run_pending_events();
    EXPECT_FLOAT_EQ(parameters.alpha, 1.587f);
    EXPECT_TRUE(note.get_visible());

    optical().alpha_spin()->set_text("1.560");
    gui_test::run_pending_events();
    EXPECT_FALSE(note.get_visible());
    EXPECT_FLOAT_EQ(parameters.alpha, 1.560f);

    optical().gamma_spin()->set_text("1.5");
    gui_test::run_pending_events();
    EXPECT_EQ(note.get_text(), "γ は α (1.560) より小さくできません.");
    EXPECT_TRUE(note.get_visible());
}

// The record and the live figure follow a value as it is typed, before Enter, and the text
// stays as typed; a text on its way to a value ("0.", a number out of range, a whole number
// where decimals are wanted) changes nothing.
TEST_F(MainWindowPanels, TypedValuesReachTheLiveFigureBeforeEnter) {
    LiveFigure& live = main->live_figure();
    OtherParametersPanel& other = main->other_parameters();
    const struct {
        std::function<Gtk::SpinButton*()> spin;
        const char* text;
        float ParameterRecord::*field;
        float expected;  // the value before the text, when the text is no value
        bool taken;
    } cases[] = {
        {[&] { return &other.thickness_spin(); }, "120", &ParameterRecord::thickness, 120, true},
        {[&] { return &other.thickness_spin(); }, "5", &ParameterRecord::thickness, 120, false},
        {[&] { return &other.aperture_spin(); }, "0.5", &ParameterRecord::numerical_aperture, 0.5f,
         true},
        {[&] { return &other.aperture_spin(); }, "0.", &ParameterRecord::numerical_aperture, 0.5f,
         false},
        {[&] { return &other.aperture_spin(); }, "1.5", &ParameterRecord::numerical_aperture, 0.5f,
         false},
        {[&] { return optical().epsilon_spin(); }, "1.6", &ParameterRecord::epsilon, 1.6f, true},
        // On the way to "1.58": an index of 1.000 is not what is meant.
        {[&] { return optical().epsilon_spin(); }, "1", &ParameterRecord::epsilon, 1.6f, false},
        {[&] { return image_size_spin(); }, "150", &ParameterRecord::image_size_single, 150, true},
    };
    for (const auto& c : cases) {
        Gtk::SpinButton* spin = c.spin();
        spin->grab_focus();
        spin->set_text(c.text);
        gui_test::run_pending_events();
        EXPECT_FLOAT_EQ(parameters.*c.field, c.expected) << c.text;
        EXPECT_EQ(std::string(spin->get_text()), c.text) << "the text as typed";
        if (c.taken)
            expect_live_figure_of_record(live, c.text);
    }
}

// Every button, spin, slider and chooser says what it does, in every state of the main
// window, in the figure window of an animation and in the movie-size dialog. That each
// tooltip has its English text the language tests check.
TEST_F(MainWindowPanels, EveryControlHasATooltip) {
    const std::function<void()> states[] = {
        [] {},
        [this] { click(kTestPlateButton); },  // the first-order plate
        [this] {
            click(kTestPlateButton);
            click(kTestPlateButton);  // the wedge and its slider
        },
        [this] { click(kDrawModeButton); },
        [this] { click(kCrystalKindButton); },
        [this] { click(kDrawModeButton); },
    };
    for (std::size_t i = 0; i < std::size(states); ++i) {
        states[i]();
        EXPECT_EQ(controls_without_tooltip(*main), std::vector<std::string>{}) << "state " << i;
    }

    parameters.draw_mode = kAnimation;
    update_derived_fields(parameters);
    parameters.image_size = image_size_range(parameters, kAnimation).lower;
    ScriptedProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(parameters), progress);
    ASSERT_TRUE(figure.has_value());
    Gtk::Window owner;
    FigureWindow window(owner, std::move(*figure));
    gui_test::run_pending_events();
    EXPECT_EQ(controls_without_tooltip(window.dialog()), std::vector<std::string>{})
        << "figure window";
    window.close_button().clicked();

    // Its OK and Cancel need no explaining; its size does.
    MovieSizeDialog movie_size(owner, 200);
    EXPECT_EQ(controls_without_tooltip(movie_size.spin()), std::vector<std::string>{})
        << "movie size";
}
