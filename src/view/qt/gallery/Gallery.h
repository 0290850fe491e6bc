// The gallery: one form with every control of the module, declared as a text form resource
// and filled with sample rows, for people to look at and for the view tests.
#pragma once

#include <string>

#include "Forms.h"

class TQtView;

// The form resource (Gallery.txt, built into the program).
const char* GalleryFormText();
// Creates the gallery form, not yet shown. With `convert`, its texts go through the code
// converter, whose direction the system code page decides (950: traditional characters);
// raises when the conversion library cannot be loaded.
TForm* CreateGalleryForm(bool convert);
// Writes a picture of the form's window to `fileName` (PNG); false when it cannot.
bool SaveFormPicture(TQtView& view, TCustomForm* form, const std::string& fileName);
