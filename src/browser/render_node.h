#pragma once
// Which GPU WebKit tells its web processes about, named without asking the GL driver.
//
// Whenever WebKit starts a web process it hands it the GPU's DRM render node. Unless told, the UI
// process finds that node by opening an EGL display on the X server, which maps the GL driver
// and, for the software renderer, its compiler (libLLVM): some 50 MiB resident in the program's
// own process for its whole life. With the DMA-BUF renderer off, as the launcher runs WebKit, no
// process of the engine uses the node: pages are presented through shared memory, and the web
// processes make their GL contexts (WebGL, canvas) on a display of their own. So the program names
// the node itself (WebKit's WEBKIT_WEB_RENDER_DEVICE_FILE), and WebKit never starts GL in it.

#include <string>

namespace qrv {

// The variable WebKit's UI process reads the render node from.
inline constexpr char kRenderDeviceVariable[] = "WEBKIT_WEB_RENDER_DEVICE_FILE";
// What the variable holds on a machine with no render node (software rendering only): a node no
// kernel makes, so anything that would open it finds no device, as when WebKit finds none itself.
inline constexpr char kNoRenderNode[] = "/dev/dri/none";

// The render node of the first GPU in `dri_folder` ("renderD128" before "renderD129": the kernel
// numbers them as it finds the devices), as a path in that folder; empty when it has none.
std::string FirstRenderNode(const std::string& dri_folder);

// The value the program gives the variable before WebKit starts, or empty to leave it as it is:
// when the player has set it, and when the DMA-BUF renderer is on (`dmabuf_renderer_off` false),
// since WebKit's UI process then draws the pages' buffers with GL and needs the driver anyway.
std::string RenderDeviceSetting(bool dmabuf_renderer_off, const char* player_setting,
                                const std::string& dri_folder);

}  // namespace qrv
