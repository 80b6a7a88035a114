#include <cmath>
#include <string>

#include "panels/optical_properties_panel.h"
#include "panels_fixture.h"

using panels_test::MainWindowPanels;

TEST_F(MainWindowPanels, UniaxialSignFollowsTheIndices) {
    EXPECT_EQ(optic_sign_label()->get_text(), "正");
    EXPECT_NEAR(parameters.mean_index, std::sqrt(1.544 * 1.553), 1e-6);
    const struct {
        double omega, epsilon;
        const char* sign;
    } cases[] = {
        {1.544, 1.553, "正"},     {1.544, 1.544, "等方体"}, {1.544, 1.540, "負"},
        {1.700, 1.700, "等方体"}, {1.480, 1.700, "正"},
    };
    for (const auto& c : cases) {
        set(omega_spin(), c.omega);
        set(epsilon_spin(), c.epsilon);
        EXPECT_EQ(optic_sign_label()->get_text(), c.sign) << c.omega << " " << c.epsilon;
        EXPECT_FLOAT_EQ(parameters.omega, static_cast<float>(c.omega));
        EXPECT_FLOAT_EQ(parameters.epsilon, static_cast<float>(c.epsilon));
        EXPECT_NEAR(parameters.mean_index, std::sqrt(c.omega * c.epsilon), 1e-6);
    }
}

TEST_F(MainWindowPanels, OpticAxialAngleIsExchangedBetweenTwoVzAndTwoVx) {
    click(kCrystalKindButton);
    EXPECT_DOUBLE_EQ(two_vx_spin()->get_value(), 150.0);
    EXPECT_NEAR(parameters.mean_index, std::sqrt(1.552 * 1.587), 1e-6);

    set(two_vx_spin(), 100);
    EXPECT_DOUBLE_EQ(two_vz_spin()->get_value(), 80.0);
    EXPECT_FLOAT_EQ(parameters.two_vz, 80.0f);
    // A stays the rotation axis: Z goes 40° from A, B 80° from A, on the far side of the
    // microscope axis from A at 15°, all in A's vertical plane; X a right angle from Z.
    EXPECT_NEAR(parameters.a_axis_theta, 15.0, 1e-3);
    EXPECT_NEAR(parameters.z_axis_theta, 25.0, 1e-3);
    EXPECT_NEAR(parameters.z_axis_phi, 180.0, 1e-3);
    EXPECT_NEAR(parameters.b_axis_theta, 65.0, 1e-3);
    EXPECT_NEAR(parameters.b_axis_phi, 180.0, 1e-3);
    EXPECT_NEAR(parameters.x_axis_theta, 65.0, 1e-3);
    EXPECT_NEAR(std::fmod(parameters.x_axis_phi, 360.0f), 0.0, 1e-3);
    EXPECT_EQ(axis_row_theta_text(kAxisB), " 65");
    EXPECT_EQ(axis_row_phi_text(kAxisB), "180");

    set(two_vz_spin(), 90);
    EXPECT_DOUBLE_EQ(two_vx_spin()->get_value(), 90.0);
    EXPECT_FLOAT_EQ(parameters.two_vz, 90.0f);
}

TEST_F(MainWindowPanels, IndexBoundsFollowTheLastEditedIndex) {
    click(kCrystalKindButton);
    // Before γ is touched, α may go above it.
    set(alpha_spin(), 1.600);
    EXPECT_DOUBLE_EQ(alpha_spin()->get_value(), 1.600);
    set(alpha_spin(), 1.560);
    EXPECT_NEAR(gamma_spin()->get_adjustment()->get_lower(), 1.560, 1e-6);
    set(gamma_spin(), 1.550);
    EXPECT_NEAR(gamma_spin()->get_value(), 1.560, 1e-6);
    EXPECT_NEAR(parameters.gamma, 1.560f, 1e-6);
    // Now α cannot pass γ.
    set(alpha_spin(), 1.700);
    EXPECT_NEAR(alpha_spin()->get_value(), 1.560, 1e-6);
    EXPECT_NEAR(parameters.mean_index, 1.560, 1e-6);

    // Rebuilt content starts with the full range again.
    click(kCrystalKindButton);
    click(kCrystalKindButton);
    EXPECT_DOUBLE_EQ(gamma_spin()->get_adjustment()->get_lower(), 1.0);
    EXPECT_DOUBLE_EQ(alpha_spin()->get_adjustment()->get_upper(), 2.5);
    EXPECT_NEAR(alpha_spin()->get_value(), 1.560, 1e-6);
}
