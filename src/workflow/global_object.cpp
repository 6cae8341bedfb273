#include "workflow/global_object.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "korvex_version.h"
#include "platform/app_paths.h"
#include "platform/text.h"

namespace korvex::workflow {

namespace {

std::unique_ptr<TGlobalObject>& Instance() {
  static std::unique_ptr<TGlobalObject> instance;
  return instance;
}

void SetUnlessEmpty(std::string& field, std::string value) {
  if (!value.empty()) field = std::move(value);
}

void SetUnlessShort(std::string& field, std::string value) {
  if (platform::Utf8Length(value) > 3) field = std::move(value);
}

}  // namespace

void TGlobalObject::SetHelpUrl(std::string value) { SetUnlessEmpty(help_url_, std::move(value)); }
void TGlobalObject::SetProductTitle(std::string value) {
  SetUnlessEmpty(product_title_, std::move(value));
}
void TGlobalObject::SetVersionText(std::string value) {
  SetUnlessEmpty(version_text_, std::move(value));
}
void TGlobalObject::SetWebsiteUrl(std::string value) {
  SetUnlessEmpty(website_url_, std::move(value));
}
void TGlobalObject::SetAppIniPath(std::string value) {
  SetUnlessShort(app_ini_path_, std::move(value));
}
void TGlobalObject::SetFormatIniPath(std::string value) {
  SetUnlessShort(format_ini_path_, std::move(value));
}

std::string TGlobalObject::RightStr(std::string_view text, int count) {
  return count <= 0 ? std::string() : platform::Utf8Right(text, static_cast<size_t>(count));
}

std::string TGlobalObject::FileVersionText(const FileVersion& version) {
  return " " + std::to_string(version.major) + "." + std::to_string(version.minor) +
         std::to_string(version.release) + std::to_string(version.build) + " ";
}

std::string TGlobalObject::FileVersionText() {
  return FileVersionText({kVersionMajor, kVersionMinor, kVersionRelease, kVersionBuild});
}

bool TGlobalObject::CanWriteFolder(const std::string& path) {
  if (!platform::FolderExists(path)) return false;
  static std::atomic<unsigned> counter{0};
  std::string stem = path;
  if (stem.back() != '/') stem += '/';
  stem += "DA" + std::to_string(::getpid()) + "_";
  for (;;) {
    std::string name = stem + std::to_string(counter.fetch_add(1)) + ".tmp";
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    ::close(fd);
    return ::unlink(name.c_str()) == 0;
  }
}

std::string TGlobalObject::LoginName() {
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) {
    return entry->pw_name;
  }
  return "";
}

std::string TGlobalObject::SpecialFolder(int id) {
  std::string path;
  if (id == kCsidlCommonAppData) path = platform::AppDataFolder();
  if (id == kCsidlProfile) path = platform::HomeFolder();
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

TGlobalObject& CreateGlobalObject() {
  auto object = std::make_unique<TGlobalObject>();
  std::string folder = TGlobalObject::SpecialFolder(kCsidlCommonAppData);
  object->SetAppIniPath(folder + platform::kAppIniName);
  object->SetFormatIniPath(folder + platform::kFormatIniName);
  object->SetProductTitle(kProductTitle);
  object->SetVersionText(kInitialVersionText);
  object->SetWebsiteUrl(kWebsiteUrl);
  object->SetHelpUrl(kHelpUrl);
  Instance() = std::move(object);
  return *Instance();
}

TGlobalObject* GlobalObject() { return Instance().get(); }

void FreeGlobalObject() { Instance().reset(); }

}  // namespace korvex::workflow
