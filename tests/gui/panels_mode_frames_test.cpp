#include <string>

#include "panels_fixture.h"

using panels_test::MainWindowPanels;

TEST_F(MainWindowPanels, ButtonsStartWithTheSwitchesAndTheirTips) {
    const struct {
        ModeButton button;
        const char* caption;
        const char* tip;
    } cases[] = {{kCrystalKindButton, "一軸性", "光軸タイプ"},
                 {kDrawModeButton, "単独像モード", "描画モード"},
                 {kTestPlateButton, "検板なし", "検板(530nm)"},
                 {kDrawRangeButton, "顕微鏡視野", "描画範囲"}};
    for (const auto& c : cases) {
        EXPECT_EQ(caption(c.button), c.caption);
        EXPECT_EQ(main->mode_frames().button(c.button).get_tooltip_text(), c.tip);
    }
    EXPECT_EQ(parameters.axis_type, kUniaxial);
    EXPECT_EQ(parameters.draw_mode, kSingleImage);
    EXPECT_EQ(parameters.no_test_plate, 1);
    EXPECT_EQ(parameters.draw_range, kMicroscopeField);
}

TEST_F(MainWindowPanels, TwoStateButtonsToggleTheirSwitch) {
    // The accessory button goes round its four, each tip with the retardation and the slow
    // direction; only the wedge shows its slider.
    const struct {
        const char* caption;
        int value;
        const char* tip;
    } accessories[] = {
        {"検板挿入", 0, "位相差 530nm, 遅い方向は北東-南西"},
        {"1/4λ板", 2, "位相差 147nm, 遅い方向は北東-南西"},
        {"石英楔", 3, "位相差 0-2000nm, 遅い方向は北東-南西"},
        {"検板なし", 1, "検板(530nm)"},
    };
    for (const auto& a : accessories) {
        click(kTestPlateButton);
        EXPECT_EQ(caption(kTestPlateButton), a.caption);
        EXPECT_EQ(parameters.no_test_plate, a.value);
        EXPECT_EQ(main->mode_frames().button(kTestPlateButton).get_tooltip_text(), a.tip);
        EXPECT_EQ(main->wedge_slider().is_visible(), a.value == 3) << a.caption;
    }

    click(kDrawRangeButton);
    EXPECT_EQ(caption(kDrawRangeButton), "全範囲");
    EXPECT_EQ(parameters.draw_range, kFullRange);
    click(kDrawRangeButton);
    EXPECT_EQ(caption(kDrawRangeButton), "顕微鏡視野");
    EXPECT_EQ(parameters.draw_range, kMicroscopeField);
}

TEST_F(MainWindowPanels, DrawingModeCyclesAndEachModeKeepsItsStepAndSize) {
    click(kDrawModeButton);
    EXPECT_EQ(caption(kDrawModeButton), "回転像モード");
    ASSERT_NE(sampling_step_spin(), nullptr);
    EXPECT_DOUBLE_EQ(sampling_step_spin()->get_value(), 30.0);
    EXPECT_FLOAT_EQ(parameters.sampling_step, 30.0f);
    EXPECT_FLOAT_EQ(parameters.image_size, 120.0f);
    set(sampling_step_spin(), 36);
    set(image_size_spin(), 100);

    click(kDrawModeButton);
    EXPECT_EQ(caption(kDrawModeButton), "アニメーション");
    ASSERT_NE(sampling_step_spin(), nullptr);
    EXPECT_DOUBLE_EQ(sampling_step_spin()->get_value(), 5.0);
    EXPECT_FLOAT_EQ(parameters.sampling_step, 5.0f);
    EXPECT_FLOAT_EQ(parameters.image_size, 100.0f);
    set(sampling_step_spin(), 3);
    set(image_size_spin(), 90);

    click(kDrawModeButton);
    EXPECT_EQ(caption(kDrawModeButton), "単独像モード");
    EXPECT_EQ(parameters.draw_mode, kSingleImage);
    EXPECT_EQ(sampling_step_spin(), nullptr);
    EXPECT_FLOAT_EQ(parameters.image_size, 200.0f);
    EXPECT_FLOAT_EQ(parameters.rotation_step, 36.0f);
    EXPECT_FLOAT_EQ(parameters.image_size_rotation, 100.0f);
    EXPECT_FLOAT_EQ(parameters.animation_step, 3.0f);
    EXPECT_FLOAT_EQ(parameters.image_size_animation, 90.0f);

    click(kDrawModeButton);
    EXPECT_DOUBLE_EQ(sampling_step_spin()->get_value(), 36.0);
    EXPECT_DOUBLE_EQ(image_size_spin()->get_value(), 100.0);
}
