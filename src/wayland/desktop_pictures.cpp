// The desktop pictures. grim writes the output as a binary PPM to a pipe: no file is left
// behind and no PNG is encoded only to be decoded again.
#include "wayland/desktop_pictures.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string_view>
#include <vector>

extern char** environ;

namespace wrigglet::wayland {

namespace {

const image::RgbPicture* PictureFor(const DesktopPictures& desktop, const std::string& output) {
    if (desktop.Picture) return &*desktop.Picture;
    const auto found = desktop.Captures.find(output);
    return found == desktop.Captures.end() ? nullptr : &found->second;
}

// The next whole number of a PPM header at `at`, after blanks and comments.
std::optional<int64_t> HeaderNumber(std::string_view data, size_t& at) {
    while (at < data.size() && (std::isspace(static_cast<unsigned char>(data[at])) || data[at] == '#')) {
        if (data[at] == '#')
            while (at < data.size() && data[at] != '\n') ++at;
        else
            ++at;
    }
    int64_t value = 0;
    const size_t start = at;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at])) && at - start < 9)
        value = value * 10 + (data[at++] - '0');
    if (at == start) return std::nullopt;
    return value;
}

// A binary PPM (P6) of 8-bit samples, at most MaxImageSide on a side.
std::optional<image::RgbPicture> ParsePpm(std::string_view data) {
    if (data.substr(0, 2) != "P6") return std::nullopt;
    size_t at = 2;
    const auto width = HeaderNumber(data, at), height = HeaderNumber(data, at), maximum = HeaderNumber(data, at);
    if (!width || !height || maximum != 255 || *width < 1 || *height < 1 || *width > image::MaxImageSide ||
        *height > image::MaxImageSide || at >= data.size())
        return std::nullopt;
    const size_t bytes = static_cast<size_t>(*width) * static_cast<size_t>(*height) * 3;
    ++at;  // the one blank after the header
    if (data.size() - at < bytes) return std::nullopt;
    image::RgbPicture picture{static_cast<int32_t>(*width), static_cast<int32_t>(*height), {}};
    picture.Rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return picture;
}

std::string ReadAll(int fd) {
    std::string data;
    char chunk[65536];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got > 0)
            data.append(chunk, static_cast<size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    return data;
}

// What the output shows now; none when grim is missing or fails.
std::optional<image::RgbPicture> CaptureOutput(const std::string& output) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> arguments{"grim", "-t", "ppm", "-o", output, "-"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // grim gets the signals this program holds back until its loop waits.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, "grim", &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string data;
    if (spawned == 0) data = ReadAll(pipeFds[0]);
    close(pipeFds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return ParsePpm(data);
}

}  // namespace

bool HasDesktop(const DesktopPictures& desktop, const std::string& output) {
    return PictureFor(desktop, output) != nullptr;
}

void FillDesktop(const DesktopPictures& desktop, const std::string& output, int32_t width, int32_t height,
                 uint32_t* pixels) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const image::RgbPicture* picture = PictureFor(desktop, output);
    if (!picture) {
        std::fill_n(pixels, count, 0u);
        return;
    }
    const std::vector<uint32_t> covered = image::CoverPixels(*picture, width, height);
    std::copy_n(covered.begin(), std::min(count, covered.size()), pixels);
}

void CaptureOutputs(DesktopPictures& desktop, const std::vector<std::string>& outputs) {
    desktop.Captures.clear();
    for (const std::string& output : outputs)
        if (auto picture = CaptureOutput(output)) desktop.Captures[output] = std::move(*picture);
}

}  // namespace wrigglet::wayland
