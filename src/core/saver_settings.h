// The five user settings, named after the registry values that hold them.
#pragma once

#include <cstdint>

namespace wrigglet {

struct SaverSettings {
    bool Desktop = true;    // start from a snapshot of the desktop (false: black)
    bool Sound = false;     // looping sound effects
    bool Text = false;      // burn the three words into the trail field
    int32_t Speed = 2;      // 1 Slow, 2 Normal, 3 Turbo; a never-configured saver animates
    int32_t Wrigglets = 2;  // 1 Few, 2 Normal, 3 Lots

    bool operator==(const SaverSettings&) const = default;
};

}  // namespace wrigglet
