#include "ui/resources/skin_archive.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "ui/core/ui_parse.h"

namespace qrv::ui {
namespace {

struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

std::string ZipErrorText(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

std::string BaseName(std::string_view name) {
  const std::size_t slash = name.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

class ZipArchive final : public SkinArchive {
 public:
  ZipArchive(ZipPtr zip, std::unique_ptr<std::string> bytes, std::string description)
      : bytes_(std::move(bytes)), zip_(std::move(zip)), description_(std::move(description)) {}

  bool IsOpen() const override { return zip_ != nullptr; }
  std::string Describe() const override { return description_; }

  std::optional<std::string> Read(std::string_view name) override {
    if (!zip_) return std::nullopt;
    const std::string key(name);
    zip_int64_t index = zip_name_locate(zip_.get(), key.c_str(), 0);
    if (index < 0) index = zip_name_locate(zip_.get(), key.c_str(), ZIP_FL_NOCASE);
    if (index < 0) index = zip_name_locate(zip_.get(), BaseName(key).c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
    if (index < 0) return std::nullopt;
    zip_stat_t stat;
    if (zip_stat_index(zip_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0) {
      return std::nullopt;
    }
    zip_file_t* file = zip_fopen_index(zip_.get(), static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) return std::nullopt;
    std::string data(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t got = data.empty() ? 0 : zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) return std::nullopt;
    return data;
  }

 private:
  // Backing store of an in-memory archive. Held by pointer so that its address never moves, and
  // declared first so that it outlives zip_.
  std::unique_ptr<std::string> bytes_;
  ZipPtr zip_;
  std::string description_;
};

class FolderArchive final : public SkinArchive {
 public:
  explicit FolderArchive(std::filesystem::path folder) : folder_(std::move(folder)) {}
  bool IsOpen() const override { return true; }
  std::string Describe() const override { return folder_.string(); }

  std::optional<std::string> Read(std::string_view name) override {
    std::error_code ec;
    std::filesystem::path path = folder_ / std::string(name);
    if (!std::filesystem::is_regular_file(path, ec)) {
      // Fall back to a case-insensitive match of the base name anywhere below the folder.
      const std::string base = BaseName(name);
      path.clear();
      for (auto it = std::filesystem::recursive_directory_iterator(folder_, ec);
           !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec) && EqualsIgnoreCase(it->path().filename().string(), base)) {
          path = it->path();
          break;
        }
      }
      if (path.empty()) return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path folder_;
};

class MemoryArchive final : public SkinArchive {
 public:
  explicit MemoryArchive(std::map<std::string, std::string> files) : files_(std::move(files)) {}
  bool IsOpen() const override { return true; }
  std::string Describe() const override { return "in-memory skin"; }
  std::optional<std::string> Read(std::string_view name) override {
    auto it = files_.find(std::string(name));
    if (it != files_.end()) return it->second;
    for (const auto& [key, value] : files_) {
      if (EqualsIgnoreCase(BaseName(key), BaseName(name))) return value;
    }
    return std::nullopt;
  }

 private:
  std::map<std::string, std::string> files_;
};

struct ResourceState {
  std::unique_ptr<SkinArchive> archive;
  std::map<std::string, std::string> files;
  std::set<std::string> reported_misses;
  std::uint64_t generation = 1;
};

std::unique_ptr<SkinArchive> OpenZipBytes(std::string bytes, std::string description, std::string* error);

ResourceState& State() {
  static ResourceState state;
  return state;
}

}  // namespace

std::unique_ptr<SkinArchive> SkinArchive::OpenZipFile(const std::string& path, bool cached,
                                                      std::string* error) {
  if (cached) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      if (error) *error = "the file cannot be opened";
      return std::make_unique<ZipArchive>(nullptr, nullptr, path);
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return OpenZipBytes(std::move(bytes), path, error);
  }
  int code = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (zip == nullptr && error) *error = ZipErrorText(code);
  return std::make_unique<ZipArchive>(ZipPtr(zip), nullptr, path);
}

std::unique_ptr<SkinArchive> SkinArchive::OpenZipData(std::string bytes, std::string* error) {
  return OpenZipBytes(std::move(bytes), "in-memory archive", error);
}

namespace {

std::unique_ptr<SkinArchive> OpenZipBytes(std::string bytes, std::string description, std::string* error) {
  zip_error_t zip_error;
  zip_error_init(&zip_error);
  auto owned = std::make_unique<std::string>(std::move(bytes));
  zip_t* zip = nullptr;
  if (zip_source_t* source = zip_source_buffer_create(owned->data(), owned->size(), 0, &zip_error)) {
    zip = zip_open_from_source(source, ZIP_RDONLY, &zip_error);
    if (zip == nullptr) zip_source_free(source);
  }
  if (zip == nullptr && error) *error = zip_error_strerror(&zip_error);
  zip_error_fini(&zip_error);
  return std::make_unique<ZipArchive>(ZipPtr(zip), std::move(owned), std::move(description));
}

}  // namespace

std::unique_ptr<SkinArchive> SkinArchive::OpenFolder(const std::string& folder, std::string* error) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    if (error) *error = "not a folder";
    return nullptr;
  }
  return std::make_unique<FolderArchive>(folder);
}

std::unique_ptr<SkinArchive> SkinArchive::FromFiles(std::map<std::string, std::string> files) {
  return std::make_unique<MemoryArchive>(std::move(files));
}

void SkinResources::SetArchive(std::unique_ptr<SkinArchive> archive) {
  auto& s = State();
  s.archive = std::move(archive);
  s.reported_misses.clear();
  ++s.generation;
}

SkinArchive* SkinResources::Archive() { return State().archive.get(); }

void SkinResources::AddFile(const std::string& name, std::string bytes) {
  auto& s = State();
  s.files[name] = std::move(bytes);
  ++s.generation;
}

bool SkinResources::HasFile(const std::string& name) { return State().files.count(name) != 0; }

void SkinResources::ClearFiles() {
  auto& s = State();
  s.files.clear();
  ++s.generation;
}

std::optional<std::string> SkinResources::Read(std::string_view name) {
  auto& s = State();
  if (auto it = s.files.find(std::string(name)); it != s.files.end()) return it->second;
  if (!s.archive || !s.archive->IsOpen()) return std::nullopt;  // already reported when opened
  auto data = s.archive->Read(name);
  if (!data && s.reported_misses.insert(std::string(name)).second) {
    std::fprintf(stderr, "zelto_qrv: %.*s is not in the skin archive %s\n", static_cast<int>(name.size()),
                 name.data(), s.archive->Describe().c_str());
  }
  return data;
}

std::uint64_t SkinResources::Generation() { return State().generation; }

}  // namespace qrv::ui
