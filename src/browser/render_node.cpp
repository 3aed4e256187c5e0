#include "browser/render_node.h"

#include <glib.h>

#include <cstdlib>
#include <cstring>

namespace qrv {
namespace {

constexpr char kRenderNodePrefix[] = "renderD";

// The number of a render node's name ("renderD128" is 128), or -1 for any other name.
long RenderNodeNumber(const char* name) {
  const std::size_t prefix = std::strlen(kRenderNodePrefix);
  if (std::strncmp(name, kRenderNodePrefix, prefix) != 0 || name[prefix] == '\0') return -1;
  char* end = nullptr;
  const long number = std::strtol(name + prefix, &end, 10);
  return *end == '\0' && number >= 0 ? number : -1;
}

}  // namespace

std::string FirstRenderNode(const std::string& dri_folder) {
  g_autoptr(GDir) dir = g_dir_open(dri_folder.c_str(), 0, nullptr);
  if (dir == nullptr) return {};
  long first = -1;
  std::string first_name;
  while (const char* name = g_dir_read_name(dir)) {
    const long number = RenderNodeNumber(name);
    if (number >= 0 && (first < 0 || number < first)) {
      first = number;
      first_name = name;
    }
  }
  if (first < 0) return {};
  g_autofree gchar* path = g_build_filename(dri_folder.c_str(), first_name.c_str(), nullptr);
  return path;
}

std::string RenderDeviceSetting(bool dmabuf_renderer_off, const char* player_setting,
                                const std::string& dri_folder) {
  if (!dmabuf_renderer_off || player_setting != nullptr) return {};
  std::string node = FirstRenderNode(dri_folder);
  return node.empty() ? kNoRenderNode : node;
}

}  // namespace qrv
