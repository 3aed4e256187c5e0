#include "ui/resources/pictures_ahead.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <pugixml.hpp>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "ui/render/image_draw.h"
#include "ui/resources/image_cache.h"
#include "ui/resources/shown_at_open.h"
#include "ui/resources/skin_archive.h"

namespace qrv::ui {
namespace {

// The attributes whose pictures a control paints in its resting state; hover, pressed, focused
// and disabled pictures wait for the player.
constexpr const char* kRestingPictures[] = {"bkimage", "normalimage", "foreimage"};

// What the decoding thread and the UI thread share; the thread keeps it alive while it runs.
struct Batch {
  std::string archive_path;
  std::mutex mutex;
  std::condition_variable changed;
  bool listed = false;               // the layout has been read and `pending` filled
  std::set<std::string> pending;     // listed, not decoded yet
  std::map<std::string, SurfacePtr> decoded;
};

std::shared_ptr<Batch>& Current() {
  static std::shared_ptr<Batch> batch;
  return batch;
}

void Decode(const std::shared_ptr<Batch>& batch, const std::string& layout) {
  std::string error;
  auto archive = SkinArchive::OpenZipFile(batch->archive_path, false, &error);
  std::vector<std::string> names;
  if (archive->IsOpen()) {
    if (auto xml = archive->Read(layout)) names = PicturesShownAtOpen(*xml);
  }
  {
    std::lock_guard lock(batch->mutex);
    batch->pending.insert(names.begin(), names.end());
    batch->listed = true;
  }
  batch->changed.notify_all();
  for (const std::string& name : names) {
    auto bytes = archive->Read(name);
    SurfacePtr picture(bytes ? ImageCache::Decode(*bytes) : nullptr);
    {
      std::lock_guard lock(batch->mutex);
      if (picture) batch->decoded[name] = std::move(picture);
      batch->pending.erase(name);
    }
    batch->changed.notify_all();
  }
}

}  // namespace

std::vector<std::string> PicturesShownAtOpen(std::string_view layout) {
  pugi::xml_document document;
  std::vector<std::string> names;
  if (!document.load_buffer(layout.data(), layout.size())) return names;
  std::set<std::string> seen;
  VisitShownAtOpen(document.document_element(), [&](const pugi::xml_node& element) {
    for (const char* attribute : kRestingPictures) {
      const char* value = element.attribute(attribute).value();
      if (*value == '\0') continue;
      std::string file = ParseImageSpec(value).file;
      if (!file.empty() && seen.insert(file).second) names.push_back(std::move(file));
    }
  });
  return names;
}

void PicturesAhead::Start(const std::string& archive_path, const std::string& layout) {
  auto batch = std::make_shared<Batch>();
  batch->archive_path = archive_path;
  try {
    std::thread(Decode, batch, layout).detach();
  } catch (const std::system_error&) {
    return;  // no thread: the window decodes its pictures itself
  }
  Current() = std::move(batch);
}

cairo_surface_t* PicturesAhead::Take(const std::string& name) {
  std::shared_ptr<Batch>& current = Current();
  if (!current) return nullptr;
  SkinArchive* archive = SkinResources::Archive();
  if (archive == nullptr || archive->Describe() != current->archive_path) {
    current.reset();  // another skin: what is left of the batch is of no use
    return nullptr;
  }
  std::unique_lock lock(current->mutex);
  current->changed.wait(lock, [&] { return current->listed && current->pending.count(name) == 0; });
  cairo_surface_t* picture = nullptr;
  if (auto it = current->decoded.find(name); it != current->decoded.end()) {
    picture = it->second.release();
    current->decoded.erase(it);
  }
  // Every picture handed over: later misses of the cache need not ask here.
  const bool done = current->pending.empty() && current->decoded.empty();
  lock.unlock();
  if (done) current.reset();
  return picture;
}

}  // namespace qrv::ui
