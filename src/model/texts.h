// Every text the program shows, as Shift-JIS bytes: the labels are converted to UTF-8
// only when a widget is made (see label_text.h). Octal escapes keep a byte from running
// into the next character, which a hex escape would do.
#pragma once

namespace texts {

// clang-format off
inline constexpr char computing[] = "\214v\216Z\222\206\202\305\202\267.";  // 計算中です.
inline constexpr char ok[] = "\227\271\211\360";  // 了解
inline constexpr char uniaxial[] = "\210\352\216\262\220\253";  // 一軸性
inline constexpr char biaxial[] = "\223\361\216\262\220\253";  // 二軸性
inline constexpr char single_image_mode[] = "\222P\223\306\221\234\203\202\201[\203h";  // 単独像モード
inline constexpr char rotation_image_mode[] = "\211\361\223]\221\234\203\202\201[\203h";  // 回転像モード
inline constexpr char animation_mode[] = "\203A\203j\203\201\201[\203V\203\207\203\223";  // アニメーション
inline constexpr char no_test_plate[] = "\214\237\224\302\202\310\202\265";  // 検板なし
inline constexpr char test_plate_inserted[] = "\214\237\224\302\221}\223\374";  // 検板挿入
inline constexpr char quarter_wave_plate[] = "1/4\203\311\224\302";  // 1/4λ板
inline constexpr char quartz_wedge[] = "\220\316\211p\236\266";  // 石英楔
inline constexpr char microscope_field[] = "\214\260\224\367\213\276\216\213\226\354";  // 顕微鏡視野
inline constexpr char full_range[] = "\221S\224\315\210\315";  // 全範囲
inline constexpr char sine_projection[] = "\203R\203m\203X\203R\201[\203v\223\212\211e(\220\263\214\267\223\212\211e)";  // コノスコープ投影(正弦投影)
inline constexpr char wulff_projection[] = "\203E\203\213\203t\223\212\211e";  // ウルフ投影
inline constexpr char draw[] = "\225`\211\346";  // 描画
inline constexpr char quit[] = "\217I\227\271";  // 終了
inline constexpr char draw_failed[] = "\225`\211\346\202\311\216\270\224s\202\265\202\334\202\265\202\275.";  // 描画に失敗しました.
inline constexpr char operation_failed[] = "\221\200\215\354\202\311\216\270\224s\202\265\202\334\202\265\202\275.";  // 操作に失敗しました.
inline constexpr char cancel[] = "\216\346\217\301";  // 取消
inline constexpr char optic_axis_type_tip[] = "\214\365\216\262\203^\203C\203v";  // 光軸タイプ
inline constexpr char drawing_mode_tip[] = "\225`\211\346\203\202\201[\203h";  // 描画モード
inline constexpr char test_plate_tip[] = "\214\237\224\302(530nm)";  // 検板(530nm)
inline constexpr char accessory_tip[] = "\210\312\221\212\215\267 %dnm, \222x\202\242\225\373\214\374\202\315\226k\223\214-\223\354\220\274";  // 位相差 %dnm, 遅い方向は北東-南西
inline constexpr char wedge_tip[] = "\210\312\221\212\215\267 %d-%dnm, \222x\202\242\225\373\214\374\202\315\226k\223\214-\223\354\220\274";  // 位相差 %d-%dnm, 遅い方向は北東-南西
inline constexpr char wedge_retardation[] = "\236\266\202\314\210\312\221\212\215\267(nm)";  // 楔の位相差(nm)
inline constexpr char drawing_range_tip[] = "\225`\211\346\224\315\210\315";  // 描画範囲
inline constexpr char light_intensity[] = "\214\365\227\312";  // 光量
inline constexpr char gamma_value[] = "\203K\203\223\203}\222l";  // ガンマ値
inline constexpr char save[] = "\225\333\221\266";  // 保存
inline constexpr char close[] = "\225\302\202\266\202\351";  // 閉じる
inline constexpr char speed[] = "\203X\203s\201[\203h";  // スピード
inline constexpr char azimuth[] = "\225\373\210\312\212p";  // 方位角
inline constexpr char start[] = "\212J\216n";  // 開始
inline constexpr char stop[] = "\222\342\216~";  // 停止
inline constexpr char optical_properties_frame[] = "(\214\365\212w\223I\220\253\216\277)";  // (光学的性質)
inline constexpr char refractive_index[] = "\213\374\220\334\227\246";  // 屈折率
inline constexpr char optic_sign[] = "\214\365\212w\223I\225\204\215\206 :";  // 光学的符号 :
inline constexpr char ordinary_index_tip[] = "\222\312\217\355\214\365\213\374\220\334\227\246";  // 通常光屈折率
inline constexpr char extraordinary_index_tip[] = "\210\331\217\355\214\365\213\374\220\334\227\246";  // 異常光屈折率
inline constexpr char sign_positive[] = "\220\263";  // 正
inline constexpr char sign_negative[] = "\225\211";  // 負
inline constexpr char sign_isotropic[] = "\223\231\225\373\221\314";  // 等方体
inline constexpr char optic_axial_angle[] = "\214\365\216\262\212p";  // 光軸角
inline constexpr char least_index_tip[] = "\215\305\217\254\216\345\213\374\220\334\227\246";  // 最小主屈折率
inline constexpr char greatest_index_tip[] = "\215\305\221\345\216\345\213\374\220\334\227\246";  // 最大主屈折率
inline constexpr char two_vz_tip[] = "Z\216\262\202\334\202\355\202\350\202\314\214\365\216\262\212p";  // Z軸まわりの光軸角
inline constexpr char two_vx_tip[] = "X\216\262\202\334\202\355\202\350\202\314\214\365\216\262\212p";  // X軸まわりの光軸角
inline constexpr char orientation_frame[] = "(\214\213\217\273\225\373\210\312)";  // (結晶方位)
inline constexpr char c_optic_axis[] = "C : \214\365\216\262";  // C : 光軸
inline constexpr char angle_to_microscope_axis_tip[] = "\213\276\216\262\202\306\202\314\212p\223x";  // 鏡軸との角度
inline constexpr char ab_optic_axes[] = "A B : \214\365\216\262";  // A B : 光軸
inline constexpr char xyz_principal_axes[] = "X Y Z : \214\365\212w\223I\222e\220\253\216\262";  // X Y Z : 光学的弾性軸
inline constexpr char rotate_about_axis_tip[] = "\202\261\202\314\216\262\202\314\202\334\202\355\202\350\202\311\211\361\223]";  // この軸のまわりに回転
inline constexpr char azimuth_sampling_tip[] = "\225\373\210\312\212p\203T\203\223\203v\203\212\203\223\203O\212\324\212u";  // 方位角サンプリング間隔
inline constexpr char other_parameters_frame[] = "(\202\273\202\314\221\274\202\314\203p\203\211\203\201\201[\203^)";  // (その他のパラメータ)
inline constexpr char numerical_aperture[] = "\212J\214\373\220\224  ";  // 開口数  
inline constexpr char thickness[] = "\224\226\225\320\202\314\214\372\202\263(\203\312)  ";  // 薄片の厚さ(μ)  
inline constexpr char image_size[] = "\203C\203\201\201[\203W\203T\203C\203Y(\211\346\221f)  ";  // イメージサイズ(画素)  
inline constexpr char projection_tip[] = "\223\212\211e";  // 投影
inline constexpr char movie_image_size[] = "\203C\203\201\201[\203W\203T\203C\203Y(\211\346\221f): ";  // イメージサイズ(画素): 
inline constexpr char only_in_animation_mode[] = "%s \203t\203@\203C\203\213\202\315\203A\203j\203\201\201[\203V\203\207\203\223\203\202\201[\203h\202\305\202\265\202\251\203T\203|\201[\203g\202\263\202\352\202\304\202\250\202\350\202\334\202\271\202\361.";  // %s ファイルはアニメーションモードでしかサポートされておりません.
inline constexpr char not_supported[] = "%s \203t\203@\203C\203\213\202\315\203T\203|\201[\203g\202\263\202\352\202\304\202\250\202\350\202\334\202\271\202\361.";  // %s ファイルはサポートされておりません.
inline constexpr char file_create_failed[] = "\203t\203@\203C\203\213 %s \202\314\215\354\220\254\202\311\216\270\224s\202\265\202\334\202\265\202\275.";  // ファイル %s の作成に失敗しました.
inline constexpr char file_open_elsewhere[] = "\203t\203@\203C\203\213 %s \202\315\221\274\202\314\203A\203v\203\212\203P\201[\203V\203\207\203\223\202\251\202\347\212J\202\251\202\352\202\304\202\242\202\334\202\271\202\361\202\251\201H\n\202\340\202\265\202\273\202\244\202\310\202\347\201A\202\261\202\314\203t\203@\203C\203\213\202\360\202\273\202\314\203A\203v\203\212\203P\201[\203V\203\207\203\223\202\305\225\302\202\266\202\304\202\255\202\276\202\263\202\242.";  // ファイル %s は他のアプリケーションから開かれていませんか？\nもしそうなら、このファイルをそのアプリケーションで閉じてください.
inline constexpr char enlarging[] = "\221\234\202\360\212g\221\345\202\265\202\304\202\242\202\334\202\267\201D";  // 像を拡大しています．
inline constexpr char creating_mpeg[] = "MPEG \203t\203@\203C\203\213\202\360\215\354\220\254\202\265\202\304\202\242\202\334\202\267\201D";  // MPEG ファイルを作成しています．
inline constexpr char mineral[] = "\215z\225\250";  // 鉱物
inline constexpr char custom_values[] = "\224C\210\323\202\314\222l";  // 任意の値
inline constexpr char section[] = "\220\330\222f\226\312";  // 切断面
inline constexpr char section_optic_axis[] = "\214\365\216\262";  // 光軸
inline constexpr char section_flash[] = "\214\365\216\262\202\311\225\275\215s";  // 光軸に平行
inline constexpr char section_acute_bisectrix[] = "\211s\212p\223\231\225\252\220\374";  // 鋭角等分線
inline constexpr char section_obtuse_bisectrix[] = "\223\335\212p\223\231\225\252\220\374";  // 鈍角等分線
inline constexpr char section_optic_normal[] = "\214\365\212w\223I\226@\220\374";  // 光学的法線
// The page in a browser.
inline constexpr char save_png[] = "PNG\202\305\225\333\221\266";  // PNGで保存
inline constexpr char ignored_options[] = "\216\237\202\314\216w\222\350\202\315\216g\202\246\202\310\202\242\202\314\202\305\226\263\216\213\202\265\202\334\202\265\202\275:";  // 次の指定は使えないので無視しました:
inline constexpr char stage_azimuth[] = "\203X\203e\201[\203W\202\314\225\373\210\312\212p";  // ステージの方位角
// clang-format on

}  // namespace texts
