// The renderer's options lent to the window: Copy as command, Save settings and Open settings
// write and read exactly what lumitra-render takes.
#pragma once

#include "model/mineral_list.h"
#include "ui/settings_transfer.h"

// minerals: the list a settings file's mineral= line chooses from.
SettingsCodec window_settings_codec(const MineralList& minerals);
