// Starts a looping wave resource; a failure just leaves the scene silent.
#include "win32/wave_sound.h"

#include <mmsystem.h>

namespace wrigglet {

static_assert(LoopingResourceSound == (SND_RESOURCE | SND_LOOP | SND_ASYNC));

void WaveSoundPlayer::PlayLooping(int32_t resource) {
    PlaySoundA(MAKEINTRESOURCEA(resource), module_, LoopingResourceSound);
}

}  // namespace wrigglet
