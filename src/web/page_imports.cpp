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
EM_JS(int32_t, wrigglet_js_text_begin, (int32_t width, int32_t height, int32_t cellHeight, int32_t averageWidth,
                                        int32_t weight, int32_t italic, const char* face, size_t faceLength), {
    return Module.page.text.begin(width, height, cellHeight, averageWidth, weight, italic !== 0,
                                  UTF8ToString(face, faceLength)) ? 1 : 0;
});
EM_JS(double, wrigglet_js_text_measure, (const char* word, size_t length), {
    return Module.page.text.measure(UTF8ToString(word, length));
});
EM_JS(void, wrigglet_js_text_draw, (const char* word, size_t length, int32_t x, int32_t y), {
    Module.page.text.draw(UTF8ToString(word, length), x, y);
});
EM_JS(void, wrigglet_js_text_read, (uint8_t* rgba), {
    Module.page.text.read(rgba);
});
EM_JS(void, wrigglet_js_text_end, (), {
    Module.page.text.end();
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

bool BeginTextSurface(int32_t width, int32_t height, int32_t cellHeight, int32_t averageWidth, int32_t weight,
                      bool italic, std::string_view face) {
    return wrigglet_js_text_begin(width, height, cellHeight, averageWidth, weight, italic ? 1 : 0, face.data(),
                                  face.size()) != 0;
}

double MeasureTextWord(std::string_view word) { return wrigglet_js_text_measure(word.data(), word.size()); }

void DrawTextWord(std::string_view word, int32_t x, int32_t y) {
    wrigglet_js_text_draw(word.data(), word.size(), x, y);
}

void ReadTextSurface(uint8_t* rgba) { wrigglet_js_text_read(rgba); }

void EndTextSurface() { wrigglet_js_text_end(); }

void PlaySoundLooping(int32_t resource) { wrigglet_js_play_sound(resource); }

}  // namespace wrigglet::web
