#include "ImgList.h"

KXBR_DEFINE_CLASS(TCustomImageList,
                  .Prop<&TCustomImageList::BkColor, &TCustomImageList::SetBkColor>("BkColor",
                                                                                   ColorTypeInfo())
                      .Prop<&TCustomImageList::Height, &TCustomImageList::SetHeight>("Height")
                      .Prop<&TCustomImageList::Masked, &TCustomImageList::SetMasked>("Masked")
                      .Prop<&TCustomImageList::OnChange, &TCustomImageList::SetOnChange>("OnChange")
                      .Prop<&TCustomImageList::Width, &TCustomImageList::SetWidth>("Width"))
KXBR_DEFINE_CLASS(TImageList)

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int value) {
  if (value <= 0 || value == width_) return;
  width_ = value;
  Clear();
}

void TCustomImageList::SetHeight(int value) {
  if (value <= 0 || value == height_) return;
  height_ = value;
  Clear();
}

void TCustomImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw EInvalidOperation("Invalid image list index " + IntToStr(index));
}

TCustomImageList::Image TCustomImageList::Cut(TBitmap* image, const std::vector<bool>& transparent,
                                              int column) const {
  Image result;
  result.Pixels.assign(static_cast<size_t>(width_) * height_, clWhite);
  result.Transparent.assign(result.Pixels.size(), false);
  for (int y = 0; y < height_ && y < image->Height(); ++y)
    for (int x = 0; x < width_; ++x) {
      const int sx = column * width_ + x;
      const size_t at = static_cast<size_t>(y) * width_ + x;
      result.Pixels[at] = image->Pixel(sx, y);
      result.Transparent[at] =
          transparent.empty() ? false : transparent[static_cast<size_t>(y) * image->Width() + sx];
    }
  return result;
}

// The mask's white pixels, by position in `image`; empty when nothing is transparent.
std::vector<bool> TCustomImageList::TransparentPixels(TBitmap* image, TBitmap* mask) const {
  std::vector<bool> transparent;
  if (!mask || !masked_) return transparent;
  transparent.resize(static_cast<size_t>(image->Width()) * image->Height());
  for (int y = 0; y < image->Height(); ++y)
    for (int x = 0; x < image->Width(); ++x)
      transparent[static_cast<size_t>(y) * image->Width() + x] = mask->Pixel(x, y) == clWhite;
  return transparent;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Width() < width_) return -1;
  const std::vector<bool> transparent = TransparentPixels(image, mask);
  const int first = Count();
  for (int column = 0; column < image->Width() / width_; ++column)
    images_.push_back(Cut(image, transparent, column));
  Change();
  return first;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Width() < width_) return -1;
  TBitmap mask;
  mask.Assign(image);
  mask.Mask(maskColor == clDefault ? image->Pixel(0, image->Height() - 1) : maskColor);
  return Add(image, &mask);
}

void TCustomImageList::Delete(int index) {
  if (index == -1) {
    Clear();
    return;
  }
  CheckIndex(index);
  images_.erase(images_.begin() + index);
  Change();
}

void TCustomImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  Change();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  if (!image || image->Width() < width_) return;
  const std::vector<bool> transparent = TransparentPixels(image, mask);
  images_[index] = Cut(image, transparent, 0);
  Change();
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) const {
  CheckIndex(index);
  image->SetSize(width_, height_);
  const TColor background = bkColor_ == clNone ? clWhite : bkColor_;
  const Image& source = images_[index];
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const size_t at = static_cast<size_t>(y) * width_ + x;
      image->SetPixel(x, y, source.Transparent[at] ? background : source.Pixels[at]);
    }
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
  if (!canvas || index < 0 || index >= Count()) return;
  const Image& source = images_[index];
  const TColor shadow = ColorToRGB(clBtnShadow);
  const TColor highlight = ColorToRGB(clBtnHighlight);
  for (int row = 0; row < height_; ++row)
    for (int col = 0; col < width_; ++col) {
      const size_t at = static_cast<size_t>(row) * width_ + col;
      if (source.Transparent[at]) continue;
      const TColor c = source.Pixels[at];
      if (enabled) {
        canvas->SetPixels(x + col, y + row, c);
      } else if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 384) {
        // Dark pixels form the embossed shape: highlight offset by one, shadow on top.
        canvas->SetPixels(x + col + 1, y + row + 1, highlight);
        canvas->SetPixels(x + col, y + row, shadow);
      }
    }
}

void TCustomImageList::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  // Stored as one BMP file (all images side by side) in the bitmap's "Data" form, the
  // colour key being the bottom-left pixel.
  filer.DefineBinaryProperty("Bitmap", [this](std::string_view bytes) {
    TBitmap strip;
    if (bytes.size() < 4) throw EInvalidGraphic("Bitmap image is not valid");
    strip.LoadFromBytes(bytes.substr(4));
    Clear();
    AddMasked(&strip, clDefault);
  });
}
