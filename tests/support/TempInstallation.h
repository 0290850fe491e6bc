// A temporary installation of the platform: client and server folders, the registry file
// naming them (ORVANT_REGISTRY) and the system code page (ORVANT_CODEPAGE), with helpers
// to write its ini and language-pack files. Everything is removed at the end.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ScopedEnv.h"
#include "TempFolder.h"

class TempInstallation {
 public:
  explicit TempInstallation(const std::string& sysCodePage = "936") {
    SetRegistry({{"ClientPath", Client()}, {"ServerPath", Server()}});
    SetSysCodePage(sysCodePage);
  }

  std::string Client() const { return folder_.Path() + "/client/"; }
  std::string Server() const { return folder_.Path() + "/server/"; }
  const TempFolder& Folder() const { return folder_; }

  void SetRegistry(const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text = "[HKEY_LOCAL_MACHINE\\Software\\QMT\\Orvant]\r\n";
    for (const auto& [name, value] : values) text += name + "=" + value + "\r\n";
    folder_.Write("registry.ini", text);
  }
  void SetSysCodePage(const std::string& codePage) {
    codePage_.reset();
    codePage_.emplace("ORVANT_CODEPAGE", codePage);
  }
  // The client's OrvantC.ini with the given code pages (and the one server it needs).
  void WriteClientIni(const std::string& uiCodePage, const std::string& dbCodePage) {
    folder_.Write("client/OrvantC.ini",
                  "[CodePage]\r\nUICodePage=" + uiCodePage + "\r\nDBCodePage=" + dbCodePage +
                      "\r\n[Server Information]\r\nComputerName=127.0.0.1\r\n");
  }
  // A file below the client's language folder, e.g. ("CHT", "TfrmBaseGene.Lng", xml).
  std::string WriteClientPack(const std::string& language, const std::string& name,
                              const std::string& bytes) {
    return folder_.Write("client/MultiLanguage/" + language + "/" + name, bytes);
  }

#ifdef KXBR_SOURCE_DIR
  // The language packs the installation ships (resources/MultiLanguage) below the client.
  void InstallSamplePacks() {
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(Client()) / "MultiLanguage");
    fs::copy(fs::path(KXBR_SOURCE_DIR) / "resources" / "MultiLanguage",
             fs::path(Client()) / "MultiLanguage",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
#endif

 private:
  TempFolder folder_;
  ScopedEnv registry_{"ORVANT_REGISTRY", folder_.Path() + "/registry.ini"};
  std::optional<ScopedEnv> codePage_;
  ScopedEnv logs_{"TMPDIR", folder_.Path()};  // reports written by the code stay inside
};
