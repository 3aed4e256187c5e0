#pragma once
// Where layouts and pictures come from: the zip skin archive beside the program, or (for tests
// and development) a folder or a set of in-memory files. Names are looked up exactly first, then
// without regard to case and folder, because hand-made skins are not consistent about either.
//
// A missing or unreadable archive is reported once, as one line on stderr, when it is opened;
// reads from it then fail quietly, so every window is built empty rather than the program
// failing. A single missing entry of a good archive is reported once per name.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace qrv::ui {

class SkinArchive {
 public:
  virtual ~SkinArchive() = default;
  // The entry's bytes, or nothing when the archive has no such entry.
  virtual std::optional<std::string> Read(std::string_view name) = 0;
  // Whether the source itself could be opened.
  virtual bool IsOpen() const = 0;
  virtual std::string Describe() const = 0;

  // A zip archive read from `path`; with `cached` the whole file is read into memory once.
  static std::unique_ptr<SkinArchive> OpenZipFile(const std::string& path, bool cached, std::string* error);
  static std::unique_ptr<SkinArchive> OpenZipData(std::string bytes, std::string* error);
  static std::unique_ptr<SkinArchive> OpenFolder(const std::string& folder, std::string* error);
  static std::unique_ptr<SkinArchive> FromFiles(std::map<std::string, std::string> files);
};

// The process-wide resource source the toolkit reads from (UI thread only). Files added with
// AddFile take precedence over the archive: the program's own built-in pictures live there.
class SkinResources {
 public:
  static void SetArchive(std::unique_ptr<SkinArchive> archive);
  static SkinArchive* Archive();
  static void AddFile(const std::string& name, std::string bytes);
  static bool HasFile(const std::string& name);
  static void ClearFiles();

  // Reads a layout or picture. A miss is reported on stderr once per name, unless the archive
  // itself is the problem (already reported when it was opened).
  static std::optional<std::string> Read(std::string_view name);

  // Bumped whenever the sources change, so caches of decoded pictures know to drop stale ones.
  static std::uint64_t Generation();
};

}  // namespace qrv::ui
