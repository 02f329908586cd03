// How the settings dialog's radio buttons map to `SaverSettings`, both ways, kept apart
// from the dialog procedure so it can be tested without windows.
#pragma once

#include <functional>

#include "core/saver_settings.h"

namespace wrigglet {

// Control ids of the SETTINGS and ABOUTBOX templates.
namespace dialog_ids {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int WebPage = 3;  // ">>" in the About box
constexpr int About = 991;
constexpr int Desktop = 101;
constexpr int Black = 102;
constexpr int SoundOn = 301;
constexpr int SoundOff = 302;
constexpr int TextOn = 401;
constexpr int TextOff = 402;
constexpr int SpeedBase = 199;      // Slow, Normal, Turbo are 200, 201, 202
constexpr int WriggletsBase = 499;  // Few, Normal, Lots are 500, 501, 502
}  // namespace dialog_ids

// Checks the button of each setting, in the order Desktop, Speed, Wrigglets, Sound, Text.
// A Speed or Wrigglets value outside 1 to 3 names no button, so its group starts empty.
void PresetButtons(const SaverSettings& settings, const std::function<void(int id)>& check);

// Reads the buttons back. `isChecked` answers as IsDlgButtonChecked does; only an answer
// of exactly 1 counts. A Speed or Wrigglets group with no checked button keeps its value.
void ReadButtons(SaverSettings& settings, const std::function<unsigned(int id)>& isChecked);

}  // namespace wrigglet
