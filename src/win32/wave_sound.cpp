// Starts a looping wave resource; a failure just leaves the scene silent. The sound
// library comes from the system folder the first time a scene needs a sound, and stays
// loaded: the looping sound plays from it until the process ends.
#include "win32/wave_sound.h"

#include <mmsystem.h>

#include "win32/system_library.h"

namespace wrigglet {
namespace {

using PlaySoundAProc = BOOL(WINAPI*)(LPCSTR sound, HMODULE module, DWORD flags);

PlaySoundAProc FindPlaySound() {
    const HMODULE library = LoadSystemLibrary("WINMM.DLL");
    if (!library) return nullptr;
    return reinterpret_cast<PlaySoundAProc>(reinterpret_cast<void*>(GetProcAddress(library, "PlaySoundA")));
}

}  // namespace

static_assert(LoopingResourceSound == (SND_RESOURCE | SND_LOOP | SND_ASYNC));

void WaveSoundPlayer::PlayLooping(int32_t resource) {
    // Looked up once per process, whether or not the library was there.
    static const PlaySoundAProc playSound = FindPlaySound();
    if (playSound) playSound(MAKEINTRESOURCEA(resource), module_, LoopingResourceSound);
}

}  // namespace wrigglet
