// The one global object of the application: where the two INI files are, the product's
// strings, and the small file-system helpers every window uses.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace korvex::workflow {

// The four numbers of a file version, as in 4.8.0.16.
struct FileVersion {
  int major = 0;
  int minor = 0;
  int release = 0;
  int build = 0;
};

// Identifiers of the special folders the application asks for.
inline constexpr int kCsidlCommonAppData = 35;  // the folder of both INI files
inline constexpr int kCsidlProfile = 40;        // the user's home folder

inline constexpr const char* kProductTitle = "Korvex AVI to MOV Converter";
inline constexpr const char* kInitialVersionText = " ver 1.60 ";
inline constexpr const char* kHelpUrl = "https://www.korvexsoft.com/video-converter/help.html";
inline constexpr const char* kWebsiteUrl = "https://www.korvexsoft.com/video-converter/";

class TGlobalObject {
 public:
  const std::string& HelpUrl() const { return help_url_; }
  const std::string& AppIniPath() const { return app_ini_path_; }
  const std::string& FormatIniPath() const { return format_ini_path_; }
  const std::string& ProductTitle() const { return product_title_; }
  const std::string& VersionText() const { return version_text_; }
  const std::string& WebsiteUrl() const { return website_url_; }

  // These four keep the old value when given an empty one.
  void SetHelpUrl(std::string value);
  void SetProductTitle(std::string value);
  void SetVersionText(std::string value);
  void SetWebsiteUrl(std::string value);
  // These two keep the old value when given one of 3 characters or fewer.
  void SetAppIniPath(std::string value);
  void SetFormatIniPath(std::string value);

  // The last `count` characters of the text, or the whole text when it is shorter.
  static std::string RightStr(std::string_view text, int count);
  // " major.minorreleasebuild ": 4.8.0.16 gives " 4.8016 ".
  static std::string FileVersionText(const FileVersion& version);
  // The same for the version of this build.
  static std::string FileVersionText();
  // True only when a new uniquely named file with the prefix "DA" can be created in the
  // folder and deleted again; a folder that does not exist fails.
  static bool CanWriteFolder(const std::string& path);
  // The login name of the effective user.
  static std::string LoginName();
  // The path of a special folder with a trailing "/", or empty for an unknown identifier.
  static std::string SpecialFolder(int id);

 private:
  std::string help_url_;
  std::string app_ini_path_;
  std::string format_ini_path_;
  std::string product_title_;
  std::string version_text_;
  std::string website_url_;
};

// Creates and fills the global object: the INI paths in the application-data folder, the
// product title, " ver 1.60 " and the two web addresses. Replaces an existing object.
TGlobalObject& CreateGlobalObject();
// The global object, or nullptr when it was not created or was freed.
TGlobalObject* GlobalObject();
void FreeGlobalObject();

}  // namespace korvex::workflow
