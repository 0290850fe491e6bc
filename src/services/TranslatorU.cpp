#include "TranslatorU.h"

#include "SysUtils.h"

TTranslator::TTranslator(std::string libraryName) {
  handle_ = LoadLibrary(libraryName);
  if (handle_ == nullptr) throw Exception(Format("Load Library %s Error!", {libraryName}));
  gbToBig5_ = reinterpret_cast<TConvertProc>(GetProcAddress(handle_, "GBtoBIG5"));
  big5ToGb_ = reinterpret_cast<TConvertProc>(GetProcAddress(handle_, "BIG5toGB"));
  getBig5Data_ = GetProcAddress(handle_, "GetBIG5Data");
  getGBData_ = GetProcAddress(handle_, "GetGBData");
  saveOrder_ = GetProcAddress(handle_, "SaveOrder");
  if (gbToBig5_ == nullptr || big5ToGb_ == nullptr) {
    FreeLibrary(handle_);
    throw Exception("Get Library Procedure Address Error!");
  }
}

TTranslator::~TTranslator() {
  FreeLibrary(handle_);
}

std::string TTranslator::GBtoBIG5(const std::string& text) const {
  if (gbToBig5_ == nullptr) return text;
  const char* result = gbToBig5_(text.c_str());
  return result == nullptr ? std::string() : std::string(result);
}

std::string TTranslator::BIG5toGB(const std::string& text) const {
  if (big5ToGb_ == nullptr) return text;
  const char* result = big5ToGb_(text.c_str());
  return result == nullptr ? std::string() : std::string(result);
}
