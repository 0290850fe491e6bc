// The simplified/traditional conversion library, loaded at run time by name ("Lintova").
// "GB to BIG5" means simplified to traditional characters (Taiwan standard), "BIG5 to GB"
// the reverse. Texts are UTF-8 in and out. A returned text stays valid until the next
// call of the same function on the same thread; a null argument reads as the empty text.
// When the conversion data cannot be loaded, the text comes back unchanged.
#pragma once

#define LINTOVA_EXPORT __attribute__((visibility("default")))

extern "C" {
LINTOVA_EXPORT const char* GBtoBIG5(const char* text);
LINTOVA_EXPORT const char* BIG5toGB(const char* text);
// Looked up by callers for compatibility; they convert like the two above.
LINTOVA_EXPORT const char* GetBIG5Data(const char* text);
LINTOVA_EXPORT const char* GetGBData(const char* text);
// Sort order of the conversion tables: always 0 (Unicode order).
LINTOVA_EXPORT int SaveOrder();
}
