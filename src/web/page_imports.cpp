// The page's JavaScript hooks as C++ functions. Each body only hands its arguments to the
// page's module that does the work; pointers are offsets into this module's memory.
#include "web/page_imports.h"

#include <emscripten/emscripten.h>

// clang-format off
EM_JS(void, wrigglet_js_show_buffer, (const uint8_t* rgba, int32_t width, int32_t height), {
    Module.page.showBuffer(rgba, width, height);
});
EM_JS(void, wrigglet_js_put_rect, (int32_t x, int32_t y, int32_t width, int32_t height), {
    Module.page.putRect(x, y, width, height);
});
EM_JS(void, wrigglet_js_draw_desktop, (uint8_t* rgba, int32_t width, int32_t height), {
    Module.page.drawDesktop(rgba, width, height);
});
EM_JS(void, wrigglet_js_play_sound, (int32_t resource), {
    Module.page.playSound(resource);
});
// clang-format on

namespace wrigglet::web {

void ShowPictureBuffer(const uint8_t* rgba, int32_t width, int32_t height) {
    wrigglet_js_show_buffer(rgba, width, height);
}

void PutPictureRect(int32_t x, int32_t y, int32_t width, int32_t height) { wrigglet_js_put_rect(x, y, width, height); }

void DrawDesktopPicture(uint8_t* rgba, int32_t width, int32_t height) { wrigglet_js_draw_desktop(rgba, width, height); }

void PlaySoundLooping(int32_t resource) { wrigglet_js_play_sound(resource); }

}  // namespace wrigglet::web
