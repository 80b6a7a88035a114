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
// The panels' derived values and limits, the tooltips of every control, the preview's legend.
inline constexpr char beta_tip[] = "\203\277, \203\301 \202\306 2Vz \202\251\202\347\213\201\202\337\202\275\222\206\212\324\216\345\213\374\220\334\227\246";  // α, γ と 2Vz から求めた中間主屈折率
inline constexpr char sign_neither[] = "\220\263\225\211\202\310\202\265(2Vz=90\201\213)";  // 正負なし(2Vz=90°)
inline constexpr char alpha_limited[] = "\203\277 \202\315 \203\301 (%s) \202\346\202\350\221\345\202\253\202\255\202\305\202\253\202\334\202\271\202\361.";  // α は γ (%s) より大きくできません.
inline constexpr char gamma_limited[] = "\203\301 \202\315 \203\277 (%s) \202\346\202\350\217\254\202\263\202\255\202\305\202\253\202\334\202\271\202\361.";  // γ は α (%s) より小さくできません.
inline constexpr char mineral_tip[] = "\221I\202\324\202\306\213\374\220\334\227\246\202\306\214\365\216\262\212p\202\252\220\335\222\350\202\263\202\352\202\334\202\267";  // 選ぶと屈折率と光軸角が設定されます
inline constexpr char section_tip[] = "\214\260\224\367\213\276\202\314\216\262\202\311\211\210\202\355\202\271\202\351\225\373\214\374";  // 顕微鏡の軸に沿わせる方向
inline constexpr char numerical_aperture_tip[] = "\221\316\225\250\203\214\203\223\203Y\202\314\212J\214\373\220\224: \220}\202\311\223\374\202\351\214\365\202\314\211~\220\215\202\314\215L\202\263";  // 対物レンズの開口数: 図に入る光の円錐の広さ
inline constexpr char thickness_tip[] = "\224\226\225\320\202\314\214\372\202\263(\203}\203C\203N\203\215\203\201\201[\203g\203\213)";  // 薄片の厚さ(マイクロメートル)
inline constexpr char image_size_tip[] = "\220}\202\314\210\352\225\323\202\314\211\346\221f\220\224(\225`\211\346\203\202\201[\203h\202\262\202\306)";  // 図の一辺の画素数(描画モードごと)
inline constexpr char wedge_retardation_tip[] = "\220\316\211p\236\266\202\314\210\312\221\212\215\267: \220[\202\255\211\237\202\265\215\236\202\336\202\331\202\307\221\345\202\253\202\242";  // 石英楔の位相差: 深く押し込むほど大きい
inline constexpr char rotation_axis_tip[] = "R \202\305\211\361\202\267\216\262";  // R で回す軸
inline constexpr char draw_tip[] = "\215\241\202\314\220\335\222\350\202\305\220}\202\360\214v\216Z\202\265, \225\312\202\314\221\213\202\311\225\134\216\246\202\265\202\334\202\267";  // 今の設定で図を計算し, 別の窓に表示します
inline constexpr char quit_tip[] = "Lumitra \202\360\217I\227\271\202\265\202\334\202\267";  // Lumitra を終了します
inline constexpr char light_intensity_tip[] = "\220}\202\314\226\276\202\351\202\263(\225`\211\346\216\236\202\314\214\365\227\312\202\252\212\356\217\200)";  // 図の明るさ(描画時の光量が基準)
inline constexpr char gamma_value_tip[] = "\225\134\216\246\202\314\203K\203\223\203}\222l: \221\345\202\253\202\242\202\331\202\307\210\303\202\242\220F\202\252\226\276\202\351\202\255\202\310\202\351";  // 表示のガンマ値: 大きいほど暗い色が明るくなる
inline constexpr char save_tip[] = "\225\134\216\246\222\206\202\314\220}\202\360\225\333\221\266(\214`\216\256\202\315\212g\222\243\216q\202\305\221I\202\324)";  // 表示中の図を保存(形式は拡張子で選ぶ)
inline constexpr char close_tip[] = "\202\261\202\314\221\213\202\360\225\302\202\266\202\351";  // この窓を閉じる
inline constexpr char speed_tip[] = "\203X\203e\201[\203W\202\314\211\361\223]\221\254\223x(\223x/\225b)";  // ステージの回転速度(度/秒)
inline constexpr char stage_azimuth_tip[] = "\203X\203e\201[\203W\202\314\225\373\210\312\212p(\223x)";  // ステージの方位角(度)
inline constexpr char start_tip[] = "\203X\203e\201[\203W\202\314\211\361\223]\202\360\216n\202\337\202\351";  // ステージの回転を始める
inline constexpr char stop_tip[] = "\203X\203e\201[\203W\202\314\211\361\223]\202\360\216~\202\337\202\351";  // ステージの回転を止める
inline constexpr char movie_size_tip[] = "\223\256\211\346\202\314\210\352\225\323\202\314\211\346\221f\220\224";  // 動画の一辺の画素数
inline constexpr char preview_rim_legend[] = "\224\222\202\314\211~: \224\226\225\320\202\311\225\275\215s\202\310\225\373\214\374(90\201\213)";  // 白の円: 薄片に平行な方向(90°)
inline constexpr char preview_field_legend[] = "\227\316\202\314\211~: \221\316\225\250\203\214\203\223\203Y\202\314\216\213\226\354";  // 緑の円: 対物レンズの視野
// The interference-colour chart
inline constexpr char colour_chart[] = "\212\261\217\302\220F\220}\225\134";  // 干渉色図表
inline constexpr char colour_chart_tip[] = "\202\261\202\314\214\213\217\273\202\314\220\374\202\306\223_\202\360\215\332\202\271\202\275\212\261\217\302\220F\220}\225\134\202\360\212J\202\253\202\334\202\267";  // この結晶の線と点を載せた干渉色図表を開きます
// Reading the figure: the vibration-direction switch and the read-out line under the figure.
inline constexpr char vibration_directions[] = "\220\125\223\256\225\373\214\374";  // 振動方向
inline constexpr char vibration_directions_tip[] = "\222x\202\242\220U\223\256\225\373\214\374\202\360\212i\216q\217\363\202\314\220\374\225\252\202\305\220}\202\311\217d\202\313\202\351(\215\327\202\242\220\374\202\315\221\254\202\242\225\373\214\374)";  // 遅い振動方向を格子状の線分で図に重ねる(細い線は速い方向)
inline constexpr char readout_format[] = "\203\306 %.1f\201\213  \203\323 %.1f\201\213  \223\374\216\313\212\160 %s  \203\301\201\214 %.4f  \203\277\201\214 %.4f  \203\241 %.0f nm (%s\216\237, %.2f)  \222\170\202\242\225\373\214\374 %.0f\201\213  A %.2f%s  RGB %d %d %d";  // θ %.1f°  φ %.1f°  入射角 %s  γ′ %.4f  α′ %.4f  Γ %.0f nm (%s次, %.2f)  遅い方向 %.0f°  A %.2f%s  RGB %d %d %d
inline constexpr char readout_addition[] = "  \211\301\216\132";  //   加算
inline constexpr char readout_subtraction[] = "  \214\270\216\132";  //   減算
// Marks, caption and stage azimuth
inline constexpr char stage_azimuth[] = "\203X\203e\201[\203W\225\373\210\312\212p";  // ステージ方位角
inline constexpr char stage_azimuth_single_tip[] = "\222P\223\306\221\234\202\306\203\211\203C\203u\220}\214`\202\314\203X\203e\201[\203W\202\314\211\361\223]\212p(\223x)";  // 単独像とライブ図形のステージの回転角(度)
inline constexpr char marks[] = "\226\332\220\267\202\350";  // 目盛り
inline constexpr char marks_tip[] = "\225\316\214\365\216q(P)\202\306\214\237\214\365\216q(A)\202\314\225\373\214\374, \214\237\224\302\202\314\222x\202\242\225\373\214\374, \211\361\223]\221\234\202\314\225\373\210\312\212p\202\360\220}\202\311\225`\202\255";  // 偏光子(P)と検光子(A)の方向, 検板の遅い方向, 回転像の方位角を図に描く
inline constexpr char caption[] = "\220\340\226\276\225\266";  // 説明文
inline constexpr char caption_tip[] = "\213\374\220\334\227\246, \214\372\202\263, \225\373\210\312, \214\237\224\302, \203X\203e\201[\203W\225\373\210\312\212p\202\360\220}\202\314\211\272\202\311\210\352\215s\202\305\217\221\202\255";  // 屈折率, 厚さ, 方位, 検板, ステージ方位角を図の下に一行で書く
// The figure window: output sizes beyond the size controls.
inline constexpr char output_size[] = "\217o\227\315\203T\203C\203Y";  // 出力サイズ
inline constexpr char not_enough_memory[] = "\202\261\202\314\221\345\202\253\202\263\202\314\220}\202\311\202\315 %s \202\314\203\201\203\202\203\212\202\252\225K\227v\202\305\202\267\202\252, \216g\202\246\202\351\202\314\202\315 %s \202\305\202\267.";  // この大きさの図には %s のメモリが必要ですが, 使えるのは %s です.
// Settings that travel: the command line and settings file of the window's record.
inline constexpr char copy_as_command[] = "\203\122\203\175\203\223\203\150\202\360\203\122\203\163\201\133";  // コマンドをコピー
inline constexpr char save_settings[] = "\220\335\222\350\202\360\225\333\221\266";  // 設定を保存
inline constexpr char open_settings[] = "\220\335\222\350\202\360\212\112\202\255";  // 設定を開く
inline constexpr char settings_lines_skipped[] = "\220\335\222\350\203\164\203\100\203\103\203\213 %s \202\314\216\237\202\314\215\163\202\315\216\147\202\355\202\352\202\334\202\271\202\361\202\305\202\265\202\275:";  // 設定ファイル %s の次の行は使われませんでした:
inline constexpr char settings_not_read[] = "\220\335\222\350\203\164\203\100\203\103\203\213 %s \202\360\223\307\202\337\202\334\202\271\202\361\202\305\202\265\202\275:";  // 設定ファイル %s を読めませんでした:
inline constexpr char copy_as_command_tip[] = "\202\261\202\314\220\175\202\360\225\140\202\255 lumitra-render \202\314\203\122\203\175\203\223\203\150\215\163\202\360\203\116\203\212\203\142\203\166\203\173\201\133\203\150\202\326";  // この図を描く lumitra-render のコマンド行をクリップボードへ
inline constexpr char save_settings_tip[] = "\220\335\222\350\202\360 lumitra-render \202\314 name=value \202\314\215\163\202\305\203\164\203\100\203\103\203\213\202\311\225\333\221\266";  // 設定を lumitra-render の name=value の行でファイルに保存
inline constexpr char open_settings_tip[] = "\220\335\222\350\203\164\203\100\203\103\203\213\202\360\223\307\202\335\215\236\202\336(\216\147\202\246\202\310\202\242\215\163\202\315\222\155\202\347\202\271\202\304\224\362\202\316\202\267)";  // 設定ファイルを読み込む(使えない行は知らせて飛ばす)
// The page in a browser.
inline constexpr char save_png[] = "PNG\202\305\225\333\221\266";  // PNGで保存
inline constexpr char ignored_options[] = "\216\237\202\314\216w\222\350\202\315\216g\202\246\202\310\202\242\202\314\202\305\226\263\216\213\202\265\202\334\202\265\202\275:";  // 次の指定は使えないので無視しました:
// clang-format on

}  // namespace texts
