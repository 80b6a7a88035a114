#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/render_options.h"
#include "panels_fixture.h"
#include "support/directions.h"

using panels_test::MainWindowPanels;

namespace {

using namespace directions;

// v turned right-handedly by angle degrees about +y.
Vec about_y(const Vec& v, double angle) {
    const double c = std::cos(rad(angle)), s = std::sin(rad(angle));
    return {c * v[0] + s * v[2], v[1], -s * v[0] + c * v[2]};
}

}  // namespace

TEST_F(MainWindowPanels, FirstSwitchToBiaxialShowsTheDefaultAxes) {
    click(kCrystalKindButton);
    ASSERT_NE(orientation().axis_radio(kAxisA), nullptr);
    EXPECT_TRUE(orientation().axis_radio(kAxisA)->get_active());
    EXPECT_DOUBLE_EQ(orientation().rotation_theta_spin()->get_value(), 15.0);
    EXPECT_DOUBLE_EQ(orientation().rotation_phi_spin()->get_value(), 0.0);
    EXPECT_DOUBLE_EQ(orientation().rotation_angle_spin()->get_value(), 0.0);
    const struct {
        int axis;
        const char *theta, *phi;
    } rows[] = {{kAxisB, " 15", "180"},
                {kAxisX, " 90", "  0"},
                {kAxisY, " 90", " 90"},
                {kAxisZ, "  0", "  0"}};
    for (const auto& row : rows) {
        EXPECT_EQ(orientation().axis_row_theta_text(row.axis), row.theta) << row.axis;
        EXPECT_EQ(orientation().axis_row_phi_text(row.axis), row.phi) << row.axis;
    }
    EXPECT_EQ(orientation().axis_row_theta_text(kAxisA), "");
}

TEST_F(MainWindowPanels, TiltOfZThroughItsSpinButton) {
    click(kCrystalKindButton);
    orientation().axis_radio(kAxisZ)->set_active(true);
    gui_test::run_pending_events();
    EXPECT_EQ(orientation_state().rotation_axis, kAxisZ);
    EXPECT_EQ(orientation().axis_row_theta_text(kAxisA), " 15");
    for (int theta = 1; theta <= 30; ++theta)
        set(orientation().rotation_theta_spin(), theta);
    const struct {
        int axis;
        const char *theta, *phi;
    } rows[] = {{kAxisX, " 60", "180"}, {kAxisY, " 90", " 90"}, {kAxisA, " 45", "  0"}};
    for (const auto& row : rows) {
        EXPECT_EQ(orientation().axis_row_theta_text(row.axis), row.theta) << row.axis;
        EXPECT_EQ(orientation().axis_row_phi_text(row.axis), row.phi) << row.axis;
    }
    EXPECT_EQ(orientation().axis_row_theta_text(kAxisB), " 15");
    const std::string b_phi = orientation().axis_row_phi_text(kAxisB);
    EXPECT_TRUE(b_phi == "  0" || b_phi == "360") << b_phi;
    EXPECT_EQ(orientation_state().y_parity, 1);
}

TEST_F(MainWindowPanels, TiltAfterRotationFirstReturnsRToZero) {
    click(kCrystalKindButton);
    set(orientation().rotation_angle_spin(), 40);
    const ParameterRecord rotated = parameters;
    EXPECT_GT(std::fabs(rotated.b_axis_theta - 15.0f), 1.0f);

    set(orientation().rotation_theta_spin(), 16);
    EXPECT_DOUBLE_EQ(orientation().rotation_angle_spin()->get_value(), 0.0);
    EXPECT_EQ(orientation_state().edit_kind, kTiltEdit);
    // A at azimuth 0 tilts by 1° about +y, and the others go with it from where R 40 left
    // them.
    for (int axis : {kAxisB, kAxisX, kAxisY, kAxisZ}) {
        EXPECT_TRUE(
            same_line(axis_vector(parameters, axis), about_y(axis_vector(rotated, axis), 1.0)))
            << orientation_state().axes[axis].name;
    }
}

TEST_F(MainWindowPanels, ChoosingAnotherAxisKeepsTheDirectionsAndShowsRZero) {
    click(kCrystalKindButton);
    set(orientation().rotation_angle_spin(), 70);
    const ParameterRecord rotated = parameters;
    orientation().axis_radio(kAxisY)->set_active(true);
    gui_test::run_pending_events();
    EXPECT_EQ(orientation_state().rotation_axis, kAxisY);
    EXPECT_EQ(orientation_state().edit_kind, kNoEdit);
    EXPECT_DOUBLE_EQ(orientation().rotation_angle_spin()->get_value(), 0.0);
    EXPECT_NEAR(orientation().rotation_theta_spin()->get_value(), rotated.y_axis_theta, 0.5);
    EXPECT_EQ(0, std::memcmp(&rotated, &parameters, sizeof parameters));
    EXPECT_FALSE(orientation().axis_row_theta_text(kAxisA).empty());
    EXPECT_TRUE(orientation().axis_row_theta_text(kAxisY).empty());
}

TEST_F(MainWindowPanels, RendererOrientationOptionsAreTheWindowsEditsInTheirOrder) {
    using Edits = std::vector<std::pair<std::string, int>>;
    const Edits sequences[] = {
        {{"z-axis-theta", 30}, {"z-axis-phi", 40}, {"two-vz", 60}},
        {{"z-axis-phi", 40}, {"z-axis-theta", 30}, {"two-vz", 60}},
        {{"two-vz", 100}, {"y-axis-theta", 20}, {"x-axis-phi", 300}},
        // Choosing Y moves nothing, but the angle's edit then keeps X, Y and Z.
        {{"y-axis-phi", 90}, {"two-vx", 130}},
        {{"x-axis-theta", 45}, {"x-axis-theta", 50}, {"two-vz", 120}},
    };
    for (const Edits& edits : sequences) {
        main.reset();
        set_default_parameters();
        main = std::make_unique<MainWindow>(parameters);
        click(kCrystalKindButton);
        std::vector<std::string> words{"--axis-type", "1"};
        for (const auto& [option, value] : edits) {
            words.insert(words.end(), {"--" + option, std::to_string(value)});
            if (option == "two-vz" || option == "two-vx") {
                set(option == "two-vz" ? optical().two_vz_spin() : optical().two_vx_spin(), value);
                continue;
            }
            orientation().axis_radio(kAxisX + (option[0] - 'x'))->set_active(true);
            gui_test::run_pending_events();
            set(option.ends_with("theta") ? orientation().rotation_theta_spin()
                                          : orientation().rotation_phi_spin(),
                value);
        }
        const std::vector<std::string_view> arguments(words.begin(), words.end());
        const ParsedRenderOptions parsed = parse_render_options(arguments);
        ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
        const ParameterRecord& rendered = parsed.options->record;
        const std::string context = words[3] + " " + words[4] + " " + words[5] + " ...";
        EXPECT_EQ(rendered.two_vz, parameters.two_vz) << context;
        for (const AxisRecord& axis : orientation_state().axes) {
            EXPECT_EQ(rendered.*axis.theta, parameters.*axis.theta) << axis.name << context;
            EXPECT_EQ(rendered.*axis.phi, parameters.*axis.phi) << axis.name << context;
        }
    }
}

TEST_F(MainWindowPanels, CrystalKindRoundTripRestoresValuesAndRotationAxis) {
    set(optical().omega_spin(), 1.600);
    set(orientation().c_theta_spin(), 40);
    set(orientation().c_phi_spin(), 120);

    click(kCrystalKindButton);
    set(optical().alpha_spin(), 1.560);
    orientation().axis_radio(kAxisZ)->set_active(true);
    gui_test::run_pending_events();
    set(orientation().rotation_theta_spin(), 30);
    const ParameterRecord biaxial = parameters;

    click(kCrystalKindButton);
    EXPECT_EQ(caption(kCrystalKindButton), "一軸性");
    EXPECT_EQ(orientation().axis_radio(kAxisA), nullptr);
    EXPECT_NEAR(optical().omega_spin()->get_value(), 1.600, 1e-6);
    EXPECT_EQ(optical().optic_sign_label()->get_text(), "負");
    EXPECT_DOUBLE_EQ(orientation().c_theta_spin()->get_value(), 40.0);
    EXPECT_DOUBLE_EQ(orientation().c_phi_spin()->get_value(), 120.0);
    EXPECT_NEAR(parameters.mean_index, std::sqrt(1.600 * 1.553), 1e-6);

    click(kCrystalKindButton);
    EXPECT_EQ(caption(kCrystalKindButton), "二軸性");
    EXPECT_TRUE(orientation().axis_radio(kAxisZ)->get_active());
    EXPECT_FALSE(orientation().axis_radio(kAxisA)->get_active());
    EXPECT_DOUBLE_EQ(orientation().rotation_theta_spin()->get_value(), 30.0);
    EXPECT_DOUBLE_EQ(orientation().rotation_angle_spin()->get_value(), 0.0);
    EXPECT_NEAR(optical().alpha_spin()->get_value(), 1.560, 1e-6);
    EXPECT_EQ(orientation().axis_row_theta_text(kAxisX), " 60");
    EXPECT_EQ(orientation().axis_row_phi_text(kAxisX), "180");
    EXPECT_EQ(0, std::memcmp(&biaxial.x_axis_theta, &parameters.x_axis_theta, 10 * sizeof(float)));
}

TEST_F(MainWindowPanels, RotationStepSnapsAndRebuildsTheSizeRow) {
    click(kDrawModeButton);
    const struct {
        double entered, shown, size_maximum;
    } steps[] = {
        {44, 45, 182},   {30, 30, 135},     {16, 15, 76},  {18, 18, 89},
        {20, 20, 97},    {22.5, 22.5, 107}, {30, 30, 135}, {30.5, 36, 155},
        {35.5, 30, 135}, {29.5, 22.5, 107}, {36, 36, 155}, {45, 45, 182},
    };
    for (const auto& s : steps) {
        set(sampling_step_spin(), s.entered);
        EXPECT_DOUBLE_EQ(sampling_step_spin()->get_value(), s.shown) << s.entered;
        EXPECT_FLOAT_EQ(parameters.rotation_step, static_cast<float>(s.shown)) << s.entered;
        EXPECT_FLOAT_EQ(parameters.sampling_step, static_cast<float>(s.shown)) << s.entered;
        EXPECT_DOUBLE_EQ(image_size_spin()->get_adjustment()->get_upper(), s.size_maximum)
            << s.entered;
    }
    // Step 15 lowered the size to 76, and it stays lowered.
    EXPECT_FLOAT_EQ(parameters.image_size_rotation, 76.0f);
}

TEST_F(MainWindowPanels, AnimationStepIsTakenAsEntered) {
    click(kDrawModeButton);
    click(kDrawModeButton);
    set(sampling_step_spin(), 1);
    EXPECT_FLOAT_EQ(parameters.animation_step, 1.0f);
    EXPECT_FLOAT_EQ(parameters.sampling_step, 1.0f);
    EXPECT_DOUBLE_EQ(image_size_spin()->get_adjustment()->get_upper(), 84.0);
    EXPECT_FLOAT_EQ(parameters.image_size, 84.0f);
}
