// The seams between the panels: each control is built from the table of controls, every edit
// is told once through the record-changed signal, and the preview follows every edit.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/controls.h"
#include "panels_fixture.h"
#include "ui/projection_preview.h"

using panels_test::MainWindowPanels;

namespace {

using R = ParameterRecord;

void expect_control(Gtk::SpinButton* spin, const ControlRange& range, const std::string& name) {
    ASSERT_NE(spin, nullptr) << name;
    const Glib::RefPtr<Gtk::Adjustment> adjustment = spin->get_adjustment();
    EXPECT_FLOAT_EQ(float(adjustment->get_lower()), range.lower) << name;
    EXPECT_FLOAT_EQ(float(adjustment->get_upper()), range.upper) << name;
    EXPECT_FLOAT_EQ(float(adjustment->get_step_increment()), range.step) << name;
    EXPECT_FLOAT_EQ(float(adjustment->get_page_increment()), range.page) << name;
    EXPECT_EQ(int(spin->get_digits()), range.digits) << name;
}

// The preview of the record painted from scratch, in a preview of its own.
std::vector<std::uint8_t> fresh_preview(const ParameterRecord& record) {
    ParameterRecord copy = record;
    RecordEditor editor(copy);
    ProjectionPreview preview(editor);
    copy.projection_kind = record.projection_kind;
    editor.changed();
    return gui_test::surface_rgb(preview.surface());
}

}  // namespace

TEST_F(MainWindowPanels, EverySpinButtonIsBuiltFromTheTableOfControls) {
    const auto range = [](float R::*field) { return control_range(parameters, field); };
    expect_control(optical().omega_spin(), range(&R::omega), "omega");
    expect_control(optical().epsilon_spin(), range(&R::epsilon), "epsilon");
    expect_control(orientation().c_theta_spin(), range(&R::c_axis_theta), "C theta");
    expect_control(orientation().c_phi_spin(), range(&R::c_axis_phi), "C phi");
    OtherParametersPanel& other = main->other_parameters();
    expect_control(&other.aperture_spin(), range(&R::numerical_aperture), "aperture");
    expect_control(&other.thickness_spin(), range(&R::thickness), "thickness");
    expect_control(image_size_spin(), range(&R::image_size_single), "single size");

    click(kCrystalKindButton);
    // α and γ bound each other inside the indices' range.
    ControlRange alpha = range(&R::alpha);
    alpha.upper = parameters.gamma;
    expect_control(optical().alpha_spin(), alpha, "alpha");
    ControlRange gamma = range(&R::gamma);
    gamma.lower = parameters.alpha;
    expect_control(optical().gamma_spin(), gamma, "gamma");
    expect_control(optical().two_vz_spin(), range(&R::two_vz), "2Vz");
    expect_control(optical().two_vx_spin(), range(&R::two_vz), "2Vx");
    expect_control(orientation().rotation_theta_spin(), range(&R::a_axis_theta), "A theta");
    expect_control(orientation().rotation_phi_spin(), range(&R::a_axis_phi), "A phi");
    expect_control(orientation().rotation_angle_spin(), controls::kRotationAngle, "R");

    click(kDrawModeButton);
    expect_control(sampling_step_spin(), range(&R::rotation_step), "rotation step");
    expect_control(image_size_spin(), range(&R::image_size_rotation), "rotation size");
    click(kDrawModeButton);
    expect_control(sampling_step_spin(), range(&R::animation_step), "animation step");
    expect_control(image_size_spin(), range(&R::image_size_animation), "animation size");
}

TEST_F(MainWindowPanels, EveryEditIsToldOnceAndThePreviewFollows) {
    int told = 0;
    main->editor().signal_changed().connect([&] { ++told; });
    const auto spin = [](std::function<Gtk::SpinButton*()> which, double value) {
        return [which, value] { set(which(), value); };
    };
    const auto press = [this](ModeButton which) { return [this, which] { click(which); }; };
    const struct {
        const char* what;
        std::function<void()> edit;
    } edits[] = {
        {"omega", spin([this] { return optical().omega_spin(); }, 1.6)},
        {"epsilon", spin([this] { return optical().epsilon_spin(); }, 1.5)},
        {"C theta", spin([this] { return orientation().c_theta_spin(); }, 40)},
        {"C phi", spin([this] { return orientation().c_phi_spin(); }, 120)},
        {"aperture", spin([this] { return &main->other_parameters().aperture_spin(); }, 0.9)},
        {"thickness", spin([this] { return &main->other_parameters().thickness_spin(); }, 300)},
        {"size", spin([this] { return image_size_spin(); }, 150)},
        {"projection", [this] { main->preview().projection_button().clicked(); }},
        {"plate", press(kTestPlateButton)},
        {"range", press(kDrawRangeButton)},
        {"kind", press(kCrystalKindButton)},
        {"alpha", spin([this] { return optical().alpha_spin(); }, 1.56)},
        {"gamma", spin([this] { return optical().gamma_spin(); }, 1.6)},
        {"2Vz", spin([this] { return optical().two_vz_spin(); }, 50)},
        {"2Vx", spin([this] { return optical().two_vx_spin(); }, 100)},
        {"tilt", spin([this] { return orientation().rotation_theta_spin(); }, 25)},
        {"turn", spin([this] { return orientation().rotation_phi_spin(); }, 30)},
        {"rotation", spin([this] { return orientation().rotation_angle_spin(); }, 40)},
        {"mode", press(kDrawModeButton)},
        {"rotation step", spin([this] { return sampling_step_spin(); }, 31)},  // snaps to 36
        {"rotation size", spin([this] { return image_size_spin(); }, 100)},
        {"mode again", press(kDrawModeButton)},
        {"animation step", spin([this] { return sampling_step_spin(); }, 3)},
    };
    for (const auto& e : edits) {
        told = 0;
        e.edit();
        EXPECT_EQ(told, 1) << e.what;
        EXPECT_TRUE(gui_test::surface_rgb(main->preview().surface()) == fresh_preview(parameters))
            << e.what;
    }
    EXPECT_FLOAT_EQ(parameters.rotation_step, 36.0f);
    EXPECT_FLOAT_EQ(parameters.two_vz, 80.0f);
}
