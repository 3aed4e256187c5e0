// The process-wide part of CPaintManagerUI: the program's folder, the skin archive and the
// registry of paint managers by window.

#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "platform/message_core.h"
#include "ui/paint_manager.h"
#include "ui/resources/skin_archive.h"

namespace qrv {
namespace {

struct ProcessState {
  std::string instance;       // the program file
  std::string instance_path;  // its folder, ending in "/"
  std::unordered_map<HWND, CPaintManagerUI*> managers;
};

ProcessState& Process() {
  static ProcessState state;
  return state;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool ReportArchive(const std::string& shown_path, bool open, const std::string& error) {
  if (!open)
    std::fprintf(stderr, "zelto_qrv: skin archive %s cannot be read: %s\n", shown_path.c_str(),
                 error.c_str());
  return open;
}

}  // namespace

// --- Process-wide ------------------------------------------------------------------------------

void CPaintManagerUI::SetInstance(const std::string& program_path) {
  auto& p = Process();
  p.instance = program_path;
  p.instance_path = FolderOf(program_path);
}

const std::string& CPaintManagerUI::GetInstance() {
  auto& p = Process();
  if (p.instance.empty()) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    SetInstance(ec ? std::string("./zelto_qrv") : self.string());
  }
  return p.instance;
}

std::string CPaintManagerUI::GetInstancePath() {
  GetInstance();
  return Process().instance_path;
}

bool CPaintManagerUI::SetResourceZip(const std::string& path, bool cached) {
  const std::string full = (!path.empty() && path.front() == '/') ? path : GetInstancePath() + path;
  std::string error;
  auto archive = ui::SkinArchive::OpenZipFile(full, cached, &error);
  const bool open = archive->IsOpen();
  ui::SkinResources::SetArchive(std::move(archive));
  return ReportArchive(full, open, error);
}

bool CPaintManagerUI::SetResourceZipData(std::string bytes) {
  std::string error;
  auto archive = ui::SkinArchive::OpenZipData(std::move(bytes), &error);
  const bool open = archive->IsOpen();
  ui::SkinResources::SetArchive(std::move(archive));
  return ReportArchive("(in memory)", open, error);
}

bool CPaintManagerUI::SetResourceFolder(const std::string& folder) {
  std::string error;
  auto archive = ui::SkinArchive::OpenFolder(folder, &error);
  const bool open = archive != nullptr;
  ui::SkinResources::SetArchive(std::move(archive));
  return ReportArchive(folder, open, error);
}

void CPaintManagerUI::SetResourceFiles(std::map<std::string, std::string> files) {
  ui::SkinResources::SetArchive(ui::SkinArchive::FromFiles(std::move(files)));
}

int CPaintManagerUI::MessageLoop() { return RunMessageLoop(); }

CPaintManagerUI* CPaintManagerUI::ForWindow(HWND hwnd) {
  auto& managers = Process().managers;
  auto it = managers.find(hwnd);
  if (it == managers.end() || !IsWindow(hwnd)) return nullptr;
  return it->second;
}

void CPaintManagerUI::RegisterManager(HWND hwnd, CPaintManagerUI* manager) {
  if (hwnd != nullptr) Process().managers[hwnd] = manager;
}

void CPaintManagerUI::UnregisterManager(HWND hwnd, CPaintManagerUI* manager) {
  auto& managers = Process().managers;
  auto it = managers.find(hwnd);
  if (it != managers.end() && it->second == manager) managers.erase(it);
}

}  // namespace qrv
