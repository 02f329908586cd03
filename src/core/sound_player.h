// The scene's sound output: the platform starts one of the program's wave resources
// looping, replacing whatever was playing.
#pragma once

#include <cstdint>

namespace wrigglet {

inline constexpr int32_t FirstSoundResource = 701;  // sounds 701, 702, 703
inline constexpr int32_t SoundResourceCount = 3;

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts wave resource `resource` (701..703) looping, asynchronously.
    virtual void PlayLooping(int32_t resource) = 0;
};

}  // namespace wrigglet
