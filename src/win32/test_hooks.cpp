// The end-to-end tests' hooks into a running saver (see test_hooks.h).
#include "win32/test_hooks.h"

#include <cstdio>
#include <cstdlib>

namespace wrigglet {

std::optional<uint32_t> TestHookNumber(const char* name) {
    char text[32];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) return std::nullopt;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*end != '\0') return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::string TestHookText(const char* name) {
    char text[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    return length > 0 && length < sizeof text ? std::string(text, length) : std::string();
}

// Written beside the file first and then moved over it, so a reader never sees half a picture.
void WritePictureFile(const Frame& picture, const std::string& path) {
    const std::string partial = path + ".part";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "P6\n%d %d\n255\n", static_cast<int>(picture.Width), static_cast<int>(picture.Height));
    const size_t count = static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = picture.Pixels[i];
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, file);
    }
    const bool written = std::fclose(file) == 0;
    if (written) MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

UINT ReadoutMessage() {
    static const UINT message = RegisterWindowMessageA("WriggletReadout");
    return message;
}

void PublishReadout(HWND window, std::initializer_list<ReadoutValue> values) {
    const auto publish = [window](const char* name, uintptr_t value) {
        SetPropA(window, name, reinterpret_cast<HANDLE>(value));
    };
    for (const ReadoutValue& v : values) publish(v.Name, v.Value);
    FILETIME created, ended, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) {
        const auto ms = [](const FILETIME& t) {
            return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
        };
        publish("WriggletCpuMs", static_cast<uintptr_t>(ms(kernel) + ms(user)));
    }
}

}  // namespace wrigglet
