// Listeners of wl_output and zxdg_output_v1. A description is whole at wl_output.done
// (which also closes xdg-output 3's events) or, for older xdg-outputs, at their own done.
#include "wayland/wayland_outputs.h"

#include <algorithm>

namespace wrigglet::wayland {

namespace {

WaylandOutput& Of(void* data) { return *static_cast<WaylandOutput*>(data); }

void Settle(WaylandOutput& output) {
    if (output.WaitForXdg) return;
    output.Ready = true;
    if (output.Done) output.Done(output);
}

void OnGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
                int32_t transform) {
    Of(data).GeometryX = x;
    Of(data).GeometryY = y;
    Of(data).Transform = transform;
}

void OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    Of(data).ModeWidth = width;
    Of(data).ModeHeight = height;
}

void OnDone(void* data, wl_output*) { Settle(Of(data)); }

void OnScale(void* data, wl_output*, int32_t factor) { Of(data).Scale = std::max(factor, 1); }

void OnName(void* data, wl_output*, const char* name) { Of(data).Name = name; }

void OnDescription(void*, wl_output*, const char*) {}

const wl_output_listener OutputListener{OnGeometry, OnMode, OnDone, OnScale, OnName, OnDescription};

void OnLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    WaylandOutput& output = Of(data);
    output.Logical = {x, y, x + RectWidth(output.Logical), y + RectHeight(output.Logical)};
}

void OnLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
    WaylandOutput& output = Of(data);
    output.Logical.Right = output.Logical.Left + width;
    output.Logical.Bottom = output.Logical.Top + height;
    output.HasLogical = true;
    // xdg-output 3 has no done of its own: the wl_output.done that follows closes its events.
    if (zxdg_output_v1_get_version(output.XdgOutput) >= 3) output.WaitForXdg = false;
}

void OnXdgDone(void* data, zxdg_output_v1*) {
    WaylandOutput& output = Of(data);
    output.WaitForXdg = false;
    if (zxdg_output_v1_get_version(output.XdgOutput) < 3) Settle(output);
}

void OnXdgName(void* data, zxdg_output_v1*, const char* name) {
    if (Of(data).Name.empty()) Of(data).Name = name;
}

void OnXdgDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener XdgOutputListener{OnLogicalPosition, OnLogicalSize, OnXdgDone, OnXdgName,
                                                OnXdgDescription};

}  // namespace

void BindOutput(WaylandOutput& output, wl_registry* registry, uint32_t name, uint32_t version) {
    output.GlobalName = name;
    output.Output =
        static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(output.Output, &OutputListener, &output);
}

void ListenToXdgOutput(WaylandOutput& output, zxdg_output_manager_v1* manager) {
    if (!manager || output.XdgOutput) return;
    output.XdgOutput = zxdg_output_manager_v1_get_xdg_output(manager, output.Output);
    output.WaitForXdg = true;
    output.Ready = false;
    zxdg_output_v1_add_listener(output.XdgOutput, &XdgOutputListener, &output);
}

void ReleaseOutput(WaylandOutput& output) {
    if (output.XdgOutput) zxdg_output_v1_destroy(output.XdgOutput);
    output.XdgOutput = nullptr;
    if (output.Output) {
        if (wl_output_get_version(output.Output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(output.Output);
        else
            wl_output_destroy(output.Output);
    }
    output.Output = nullptr;
}

SceneSize PhysicalSize(const WaylandOutput& output) {
    // The odd transforms turn the output by 90 or 270 degrees.
    if (output.Transform & 1) return {output.ModeHeight, output.ModeWidth};
    return {output.ModeWidth, output.ModeHeight};
}

PixelRect LogicalRect(const WaylandOutput& output) {
    if (output.HasLogical) return output.Logical;
    const SceneSize size = PhysicalSize(output);
    return {output.GeometryX, output.GeometryY, output.GeometryX + size.Width / output.Scale,
            output.GeometryY + size.Height / output.Scale};
}

}  // namespace wrigglet::wayland
