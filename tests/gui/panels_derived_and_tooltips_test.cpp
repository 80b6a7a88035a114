// What the panels tell a user beyond the values typed: the biaxial crystal's β and optic
// sign, why an index did not go in, a figure that follows the keys, a tooltip on every control.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "gui_harness.h"
#include "optics/figure_computation.h"
#include "panels_fixture.h"
#include "support/scripted_progress.h"
#include "ui/figure_window.h"

namespace {

// The type names of the buttons, spins, sliders and choosers under widget (internal children
// included) shown without a tooltip.
void untipped_controls(GtkWidget* widget, gpointer missing) {
    gchar* tip = gtk_widget_get_tooltip_text(widget);
    if ((GTK_IS_BUTTON(widget) || GTK_IS_SPIN_BUTTON(widget) || GTK_IS_SCALE(widget) ||
         GTK_IS_COMBO_BOX(widget)) &&
        gtk_widget_get_visible(widget) && (tip == nullptr || *tip == '\0'))
        static_cast<std::string*>(missing)->append(G_OBJECT_TYPE_NAME(widget)).append(" ");
    g_free(tip);
    if (GTK_IS_CONTAINER(widget) && !GTK_IS_COMBO_BOX(widget) && !GTK_IS_SPIN_BUTTON(widget))
        gtk_container_forall(GTK_CONTAINER(widget), untipped_controls, missing);
}
std::string untipped_controls(Gtk::Widget& root) {
    std::string missing;
    untipped_controls(root.gobj(), &missing);
    return missing;
}

}  // namespace

using panels_test::MainWindowPanels;

// β solves the textbook relation tan²Vz = (1/α² − 1/β²)/(1/β² − 1/γ²), here by bisection
// (to six places in the comments); the sign follows from which bisectrix is acute.
TEST_F(MainWindowPanels, BiaxialPanelShowsBetaAndTheOpticSign) {
    click(kCrystalKindButton);
    const struct {
        double alpha, gamma, two_vz;
        const char* shown;
    } cases[] = {
        {1.552, 1.587, 30, "1.554 正"},                 // the defaults, 1.554273
        {1.635, 1.670, 88, "1.652 正"},                 // 1.651612, nearer α
        {1.552, 1.588, 140, "1.584 負"},                // 2Vx 40°: 1.583659, nearer γ
        {1.500, 1.600, 90, "1.548 正負なし(2Vz=90°)"},  // 1.547582
        {1.500, 1.700, 0, "1.500 正"},
        {1.500, 1.700, 180, "1.700 負"},
        {1.600, 1.600, 40, "1.600 等方体"},
    };
    for (const auto& c : cases) {
        set(optical().gamma_spin(), 2.5);
        set(optical().alpha_spin(), c.alpha);
        set(optical().gamma_spin(), c.gamma);
        set(optical().two_vz_spin(), c.two_vz);
        EXPECT_EQ(
            optical().beta_label()->get_text() + " " + optical().optic_sign_label()->get_text(),
            c.shown);
    }
}

// Typed text reaches the record and the live figure before Enter and stays as typed; a text
// on its way to a value changes nothing. An index beyond the other one does not go in, and
// a note names the bound until an index within it is typed.
TEST_F(MainWindowPanels, TypedValuesReachTheLiveFigureAndALimitIsExplained) {
    click(kCrystalKindButton);
    OtherParametersPanel& other = main->other_parameters();
    const struct {
        Gtk::SpinButton* spin;
        const char* text;  // nullptr: Enter
        float ParameterRecord::*field;
        float expected;
        const char* note;
    } steps[] = {
        {&other.thickness_spin(), "120", &ParameterRecord::thickness, 120, ""},
        {&other.thickness_spin(), "5", &ParameterRecord::thickness, 120, ""},  // below 10
        {&other.aperture_spin(), "0.5", &ParameterRecord::numerical_aperture, 0.5f, ""},
        {&other.aperture_spin(), "0.", &ParameterRecord::numerical_aperture, 0.5f, ""},
        {optical().alpha_spin(), "1", &ParameterRecord::alpha, 1.552f, ""},  // to 1.56, not 1.000
        {optical().alpha_spin(), "1.600", &ParameterRecord::alpha, 1.552f,
         "α は γ (1.587) より大きくできません."},
        {optical().alpha_spin(), nullptr, &ParameterRecord::alpha, 1.587f,
         "α は γ (1.587) より大きくできません."},
        {optical().alpha_spin(), "1.56", &ParameterRecord::alpha, 1.56f, ""},
        {optical().gamma_spin(), "1.5", &ParameterRecord::gamma, 1.587f,
         "γ は α (1.560) より小さくできません."},
    };
    LiveFigure& live = main->live_figure();
    for (const auto& s : steps) {
        const std::string typed = s.text ? s.text : s.spin->get_text().raw();
        if (s.text)
            s.spin->set_text(s.text);
        else
            s.spin->activate();
        ASSERT_TRUE(
            gui_test::run_until([&] { return !live.pending() && live.paints_of_latest(); }));
        EXPECT_FLOAT_EQ(parameters.*s.field, s.expected) << typed;
        if (s.text) {
            EXPECT_EQ(s.spin->get_text().raw(), typed);
        }
        Gtk::Label& note = *optical().limit_note();
        EXPECT_EQ(note.get_visible() ? note.get_text().raw() : "", s.note) << typed;
        const ParameterRecord expected = LiveFigure::live_record(parameters);
        EXPECT_EQ(std::memcmp(&live.shown_setup()->params, &expected, sizeof expected), 0) << typed;
    }
}

// In every state of the main window and in the figure window of an animation; that each
// tooltip has its English text the language tests check.
TEST_F(MainWindowPanels, EveryControlHasATooltip) {
    for (ModeButton button : {kTestPlateButton, kTestPlateButton, kDrawModeButton,
                              kCrystalKindButton, kDrawModeButton}) {
        click(button);
        EXPECT_EQ(untipped_controls(*main), "") << button;
    }
    parameters.image_size = image_size_range(parameters, kAnimation).lower;
    ScriptedProgress progress;
    std::optional<Figure> figure = compute_figure(prepare_draw(parameters), progress);
    ASSERT_TRUE(figure.has_value() && figure->setup.params.draw_mode == kAnimation);
    Gtk::Window owner;
    FigureWindow window(owner, std::move(*figure));
    gui_test::run_pending_events();
    EXPECT_EQ(untipped_controls(window.dialog()), "");
    window.close_button().clicked();
}
