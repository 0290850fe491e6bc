// A fresh folder under the temporary folder, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "SysInfo.h"

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = GetTempFolder() + "kxbr-test-XXXXXX";
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // Writes `bytes` to a file below the folder (creating subfolders); returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }

 private:
  std::string path_;
};
