// The control library's own bitmap resources ("CHECKED", "GRAYED", "UNCHECKED"), built
// from the text in resources/ and registered as RT_BITMAP resources when the library loads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text of resources/CheckBoxBitmaps.txt (generated source).
const char* CheckBoxBitmapsText();

struct TTextBitmap {
  std::string Name;
  std::string Dib;  // a 16-colour device-independent bitmap without file header
};

// Parses bitmap text: "BITMAP <name>" followed by rows of hex digits (palette indexes of the
// standard 16-colour palette); lines starting with "#" and blank lines are skipped. Raises
// EConvertError naming the line for ragged rows or other characters.
std::vector<TTextBitmap> ParseTextBitmaps(std::string_view text);
// Registers the bitmaps of CheckBoxBitmapsText(); true (runs once when the library loads).
bool RegisterControlResources();
