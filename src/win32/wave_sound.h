// The scene's sound on Windows: one of the program's wave resources, looping.
#pragma once

#include <windows.h>

#include "core/sound_player.h"

namespace wrigglet {

// SND_RESOURCE | SND_LOOP | SND_ASYNC: the id names a "WAVE" resource of the module.
inline constexpr DWORD LoopingResourceSound = 0x4000D;

class WaveSoundPlayer final : public SoundPlayer {
public:
    explicit WaveSoundPlayer(HINSTANCE module) : module_(module) {}
    void PlayLooping(int32_t resource) override;

private:
    HINSTANCE module_;
};

}  // namespace wrigglet
