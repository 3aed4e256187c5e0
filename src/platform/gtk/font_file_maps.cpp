#include "platform/gtk/font_file_maps.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <vector>

namespace qrv {
namespace {

// One mapped file, known by its identity on disk: a font replaced under the same name (a package
// update) is mapped anew, never served from the old file's pages.
struct FontFileMap {
  dev_t device;
  ino_t inode;
  off_t size;
  timespec modified;
  unsigned char* data;
  int users;
};

void DropMappedPages();

bool SameFile(const FontFileMap& map, const struct stat& info) {
  return map.device == info.st_dev && map.inode == info.st_ino && map.size == info.st_size &&
         map.modified.tv_sec == info.st_mtim.tv_sec && map.modified.tv_nsec == info.st_mtim.tv_nsec;
}

// A GSource of lowest priority that is ready once after every loop iteration that did something:
// it runs when nothing else is ready, drops the pages, and then waits for the loop's next wake-up.
// An idle loop therefore sleeps as before, with no timer of ours.
struct PageReleaseSource {
  GSource source;
  bool released;  // in the iteration before this one
};

gboolean PreparePageRelease(GSource* source, gint* timeout) {
  auto* self = reinterpret_cast<PageReleaseSource*>(source);
  *timeout = -1;
  if (self->released) {
    self->released = false;
    return FALSE;
  }
  return TRUE;
}

gboolean CheckPageRelease(GSource*) { return FALSE; }

gboolean DispatchPageRelease(GSource* source, GSourceFunc, gpointer) {
  DropMappedPages();
  reinterpret_cast<PageReleaseSource*>(source)->released = true;
  return G_SOURCE_CONTINUE;
}

GSourceFuncs page_release_funcs = {
    PreparePageRelease, CheckPageRelease, DispatchPageRelease, nullptr, nullptr, nullptr};

class FontFileMaps {
 public:
  // Never destroyed: fonts are closed by library destructors at exit, in no order we control.
  static FontFileMaps& Instance() {
    static auto* maps = new FontFileMaps;
    return *maps;
  }

  FontFileMap* Acquire(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    FontFileMap* found = nullptr;
    if (fstat(fd, &info) == 0 && info.st_size > 0) {
      std::lock_guard hold(mutex_);
      const auto same =
          std::find_if(maps_.begin(), maps_.end(), [&](FontFileMap* map) { return SameFile(*map, info); });
      if (same != maps_.end()) {
        found = *same;
        ++found->users;
      } else if (void* data = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
                 data != MAP_FAILED) {
        found = new FontFileMap{
            info.st_dev, info.st_ino, info.st_size, info.st_mtim, static_cast<unsigned char*>(data), 1};
        maps_.push_back(found);
        StartPageRelease();
      }
    }
    close(fd);
    return found;
  }

  void Release(FontFileMap* map) {
    std::lock_guard hold(mutex_);
    if (--map->users > 0) return;
    maps_.erase(std::find(maps_.begin(), maps_.end(), map));
    munmap(map->data, static_cast<size_t>(map->size));
    delete map;
  }

  void DropPages() {
    std::lock_guard hold(mutex_);
    for (FontFileMap* map : maps_) madvise(map->data, static_cast<size_t>(map->size), MADV_DONTNEED);
  }

  std::size_t Count() {
    std::lock_guard hold(mutex_);
    return maps_.size();
  }

 private:
  // On the default main context, where GTK paints; called with mutex_ held.
  void StartPageRelease() {
    if (release_source_ != nullptr) return;
    release_source_ = g_source_new(&page_release_funcs, sizeof(PageReleaseSource));
    g_source_set_priority(release_source_, G_PRIORITY_LOW);
    g_source_set_name(release_source_, "font page release");
    g_source_attach(release_source_, nullptr);
  }

  std::mutex mutex_;
  std::vector<FontFileMap*> maps_;
  GSource* release_source_ = nullptr;
};

// FreeType closes the stream, and with it our use of the mapping, when the face goes (and when
// opening the face failed).
void CloseFaceStream(FT_Stream stream) {
  FontFileMaps::Instance().Release(static_cast<FontFileMap*>(stream->descriptor.pointer));
  std::free(stream);
}

void ReleaseBlobMap(void* map) { FontFileMaps::Instance().Release(static_cast<FontFileMap*>(map)); }

void DropMappedPages() { FontFileMaps::Instance().DropPages(); }

}  // namespace

FT_Error OpenMappedFontFace(FT_Library library, const char* path, FT_Long face_index, FT_Face* face) {
  // FreeType refuses these before it takes the stream, which would then never be closed.
  if (library == nullptr) return FT_Err_Invalid_Library_Handle;
  if (path == nullptr || face == nullptr) return FT_Err_Invalid_Argument;
  auto* stream = static_cast<FT_Stream>(std::calloc(1, sizeof(FT_StreamRec)));
  FontFileMap* map = stream != nullptr ? FontFileMaps::Instance().Acquire(path) : nullptr;
  if (map == nullptr) {
    std::free(stream);
    return FT_Err_Cannot_Open_Resource;
  }
  // A stream with a base and no read function is memory to FreeType: it points into it.
  stream->base = map->data;
  stream->size = static_cast<unsigned long>(map->size);
  stream->descriptor.pointer = map;
  stream->close = &CloseFaceStream;
  FT_Open_Args args{};
  args.flags = FT_OPEN_STREAM;
  args.stream = stream;
  return FT_Open_Face(library, &args, face_index, face);
}

hb_blob_t* MappedFontBlob(const char* path) {
  FontFileMap* map = path != nullptr ? FontFileMaps::Instance().Acquire(path) : nullptr;
  if (map == nullptr) return hb_blob_get_empty();
  if (static_cast<std::uintmax_t>(map->size) > std::numeric_limits<unsigned int>::max()) {
    ReleaseBlobMap(map);
    return hb_blob_get_empty();
  }
  return hb_blob_create(reinterpret_cast<const char*>(map->data), static_cast<unsigned int>(map->size),
                        HB_MEMORY_MODE_READONLY, map, &ReleaseBlobMap);
}

std::size_t MappedFontFileCount() { return FontFileMaps::Instance().Count(); }

}  // namespace qrv
