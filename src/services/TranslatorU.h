// The handle of the conversion library "Lintova" and its entry points. Creating a
// translator loads the library; freeing it unloads it.
#pragma once

#include <string>

#include "DynLib.h"

class TTranslator {
 public:
  // Raises Exception "Load Library Lintova.dll Error!" when the library cannot be loaded
  // and "Get Library Procedure Address Error!" when "GBtoBIG5" or "BIG5toGB" is missing.
  explicit TTranslator(std::string libraryName = "Lintova.dll");
  ~TTranslator();
  TTranslator(const TTranslator&) = delete;
  TTranslator& operator=(const TTranslator&) = delete;

  // Simplified to traditional and back; the text unchanged when the entry is missing.
  std::string GBtoBIG5(const std::string& text) const;
  std::string BIG5toGB(const std::string& text) const;

 private:
  using TConvertProc = const char* (*)(const char*);
  HMODULE handle_ = nullptr;
  TConvertProc gbToBig5_ = nullptr;
  TConvertProc big5ToGb_ = nullptr;
  void* getBig5Data_ = nullptr;  // looked up, never called
  void* getGBData_ = nullptr;
  void* saveOrder_ = nullptr;
};
