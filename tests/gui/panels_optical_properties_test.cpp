#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>

#include "panels_fixture.h"

using panels_test::MainWindowPanels;

TEST_F(MainWindowPanels, UniaxialSignFollowsTheIndices) {
    EXPECT_EQ(optical().optic_sign_label()->get_text(), "正");
    EXPECT_NEAR(parameters.mean_index, std::sqrt(1.544 * 1.553), 1e-6);
    const struct {
        double omega, epsilon;
        const char* sign;
    } cases[] = {
        {1.544, 1.553, "正"},     {1.544, 1.544, "等方体"}, {1.544, 1.540, "負"},
        {1.700, 1.700, "等方体"}, {1.480, 1.700, "正"},
    };
    for (const auto& c : cases) {
        set(optical().omega_spin(), c.omega);
        set(optical().epsilon_spin(), c.epsilon);
        EXPECT_EQ(optical().optic_sign_label()->get_text(), c.sign) << c.omega << " " << c.epsilon;
        EXPECT_FLOAT_EQ(parameters.omega, static_cast<float>(c.omega));
        EXPECT_FLOAT_EQ(parameters.epsilon, static_cast<float>(c.epsilon));
        EXPECT_NEAR(parameters.mean_index, std::sqrt(c.omega * c.epsilon), 1e-6);
    }
}

TEST_F(MainWindowPanels, OpticAxialAngleIsExchangedBetweenTwoVzAndTwoVx) {
    click(kCrystalKindButton);
    EXPECT_DOUBLE_EQ(optical().two_vx_spin()->get_value(), 150.0);
    EXPECT_NEAR(parameters.mean_index, std::sqrt(1.552 * 1.587), 1e-6);

    set(optical().two_vx_spin(), 100);
    EXPECT_DOUBLE_EQ(optical().two_vz_spin()->get_value(), 80.0);
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
    EXPECT_EQ(orientation().axis_row_theta_text(kAxisB), " 65");
    EXPECT_EQ(orientation().axis_row_phi_text(kAxisB), "180");

    set(optical().two_vz_spin(), 90);
    EXPECT_DOUBLE_EQ(optical().two_vx_spin()->get_value(), 90.0);
    EXPECT_FLOAT_EQ(parameters.two_vz, 90.0f);
}

TEST_F(MainWindowPanels, AlphaNeverExceedsGammaWhateverTheOrderOfEditsAndKindChanges) {
    const std::function<void()> steps[] = {
        [this] { set(optical().alpha_spin(), 1.600); },  // above the default γ
        [this] { set(optical().gamma_spin(), 1.540); },  // below the default α
        [this] { set(optical().gamma_spin(), 1.620); },
        [this] {  // to uniaxial and back: the biaxial content is built anew
            click(kCrystalKindButton);
            click(kCrystalKindButton);
        },
    };
    std::array<int, 4> order{0, 1, 2, 3};
    click(kCrystalKindButton);
    do {
        parameters.alpha = 1.552f;
        parameters.gamma = 1.587f;
        steps[3]();
        std::string done;
        for (int step : order) {
            steps[step]();
            done += char('0' + step);
            EXPECT_LE(parameters.alpha, parameters.gamma) << done;
            // As the record takes them: the spin buttons snap in double precision.
            EXPECT_LE(float(optical().alpha_spin()->get_value()),
                      float(optical().gamma_spin()->get_value()))
                << done;
            EXPECT_FLOAT_EQ(parameters.mean_index, std::sqrt(parameters.alpha * parameters.gamma));
        }
    } while (std::next_permutation(order.begin(), order.end()));
}

// Choosing 方解石 sets a negative uniaxial crystal with the list's indices; an index typed
// afterwards shows the custom entry, and calcite's own value typed back shows calcite.
TEST_F(MainWindowPanels, MineralChooserSetsTheIndicesAndFollowsEdits) {
    click(kCrystalKindButton);  // from a biaxial crystal: the kind must follow too
    Gtk::ComboBoxText& chooser = optical().mineral_chooser();
    int calcite = 0;
    while (chooser.get_active_text() != "方解石") {
        chooser.set_active(++calcite);
        ASSERT_EQ(chooser.get_active_row_number(), calcite) << "no 方解石 in the list";
    }
    ASSERT_EQ(parameters.axis_type, kUniaxial);
    EXPECT_EQ(optical().omega_spin()->get_text() + " " + optical().epsilon_spin()->get_text(),
              "1.658 1.486");
    EXPECT_EQ(optical().optic_sign_label()->get_text(), "負");
    set(optical().epsilon_spin(), 1.500);
    EXPECT_EQ(chooser.get_active_text(), "任意の値");
    set(optical().epsilon_spin(), 1.486);
    EXPECT_EQ(chooser.get_active_row_number(), calcite);
    // The uniaxial sections; the flash figure lays C in the stage.
    optical().section_chooser().set_active(1);
    EXPECT_EQ(optical().section_chooser().get_active_text(), "光軸に平行");
    EXPECT_FLOAT_EQ(parameters.c_axis_theta, 90.0f);
}
