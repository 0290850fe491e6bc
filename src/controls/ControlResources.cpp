#include "ControlResources.h"

#include <cstdint>

#include "Classes.h"
#include "SysUtils.h"

namespace {

// The standard 16-colour palette as 0xRRGGBB.
constexpr uint32_t kPalette16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

void PutLE(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string BuildDib(const std::vector<std::string>& rows) {
  const int width = static_cast<int>(rows.front().size());
  const int height = static_cast<int>(rows.size());
  const int stride = ((width * 4 + 31) / 32) * 4;
  std::string dib;
  PutLE(dib, 40, 4);
  PutLE(dib, static_cast<uint32_t>(width), 4);
  PutLE(dib, static_cast<uint32_t>(height), 4);  // bottom-up
  PutLE(dib, 1, 2);
  PutLE(dib, 4, 2);
  PutLE(dib, 0, 4);
  PutLE(dib, static_cast<uint32_t>(stride * height), 4);
  PutLE(dib, 0, 4);
  PutLE(dib, 0, 4);
  PutLE(dib, 16, 4);
  PutLE(dib, 0, 4);
  for (uint32_t rgb : kPalette16) {
    dib += static_cast<char>(rgb & 0xFF);
    dib += static_cast<char>((rgb >> 8) & 0xFF);
    dib += static_cast<char>((rgb >> 16) & 0xFF);
    dib += '\0';
  }
  for (int y = height - 1; y >= 0; --y) {
    std::string line(stride, '\0');
    for (int x = 0; x < width; ++x) {
      const int index = HexDigit(rows[y][x]);
      line[x / 2] = static_cast<char>(line[x / 2] | (x % 2 == 0 ? index << 4 : index));
    }
    dib += line;
  }
  return dib;
}

}  // namespace

std::vector<TTextBitmap> ParseTextBitmaps(std::string_view text) {
  std::vector<TTextBitmap> result;
  std::string name;
  std::vector<std::string> rows;
  auto finish = [&] {
    if (!name.empty()) {
      if (rows.empty()) throw EConvertError("Bitmap " + name + " has no pixels");
      result.push_back({name, BuildDib(rows)});
    }
    name.clear();
    rows.clear();
  };
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(pos, end - pos));
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("BITMAP ", 0) == 0) {
      finish();
      name = Trim(line.substr(7));
      continue;
    }
    const auto bad = [&](const std::string& why) {
      throw EConvertError("Bitmap text line " + std::to_string(lineNo) + ": " + why);
    };
    if (name.empty()) bad("pixels before a BITMAP line");
    for (char c : line)
      if (HexDigit(c) < 0) bad("not a colour index");
    if (!rows.empty() && line.size() != rows.front().size()) bad("row of another width");
    rows.push_back(line);
  }
  finish();
  return result;
}

bool RegisterControlResources() {
  for (const TTextBitmap& bitmap : ParseTextBitmaps(CheckBoxBitmapsText()))
    RegisterResource(RT_BITMAP, bitmap.Name, bitmap.Dib);
  return true;
}

namespace {
[[maybe_unused]] const bool kResourcesRegistered = RegisterControlResources();
}
