// The settings dialog's button mapping.
#include "saver/settings_dialog_map.h"

namespace wrigglet {
namespace {

bool InChoiceRange(int32_t value) { return value >= 1 && value <= 3; }

}  // namespace

void PresetButtons(const SaverSettings& settings, const std::function<void(int id)>& check) {
    using namespace dialog_ids;
    check(settings.Desktop ? Desktop : Black);
    // Out-of-range values must not be turned into ids: 199 + 102 would be Sound's "On".
    if (InChoiceRange(settings.Speed)) check(SpeedBase + settings.Speed);
    if (InChoiceRange(settings.Wrigglets)) check(WriggletsBase + settings.Wrigglets);
    check(settings.Sound ? SoundOn : SoundOff);
    check(settings.Text ? TextOn : TextOff);
}

void ReadButtons(SaverSettings& settings, const std::function<unsigned(int id)>& isChecked) {
    using namespace dialog_ids;
    const auto checked = [&](int id) { return isChecked(id) == 1; };
    settings.Desktop = checked(Desktop);
    for (int32_t choice = 1; choice <= 3; ++choice) {
        if (checked(SpeedBase + choice)) settings.Speed = choice;
        if (checked(WriggletsBase + choice)) settings.Wrigglets = choice;
    }
    settings.Sound = checked(SoundOn);
    settings.Text = checked(TextOn);
}

}  // namespace wrigglet
