// Image lists: equally sized images with masks, drawn transparently, enabled or disabled.
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TCustomImageList : public TComponent {
  KXBR_CLASS(TCustomImageList, TComponent)

 public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  // Changing the size clears the list.
  int Width() const { return width_; }
  void SetWidth(int value);
  int Height() const { return height_; }
  void SetHeight(int value);
  bool Masked() const { return masked_; }
  void SetMasked(bool value) { masked_ = value; }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor value) { bkColor_ = value; }
  int Count() const { return static_cast<int>(images_.size()); }

  // Adds the images `image` holds side by side (its width div Width of them), with the
  // mask's white pixels transparent (no mask: nothing transparent). Returns the index of
  // the first one; -1 when the image is narrower than Width.
  int Add(TBitmap* image, TBitmap* mask);
  // Like Add, with the pixels of `maskColor` transparent (clDefault: the bottom-left one's).
  int AddMasked(TBitmap* image, TColor maskColor);
  void Delete(int index);  // -1 deletes all
  void Clear();
  void Replace(int index, TBitmap* image, TBitmap* mask);
  // The image (its transparent pixels in BkColor, clNone meaning white) into `image`.
  void GetBitmap(int index, TBitmap* image) const;
  // Draws image `index`; disabled images are drawn embossed in the button shadow colour.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }

  void DefineProperties(TFiler& filer) override;

 protected:
  void Change() { onChange_(this); }

 private:
  struct Image {
    std::vector<TColor> Pixels;
    std::vector<bool> Transparent;
  };
  void CheckIndex(int index) const;
  std::vector<bool> TransparentPixels(TBitmap* image, TBitmap* mask) const;
  Image Cut(TBitmap* image, const std::vector<bool>& transparent, int column) const;

  int width_ = 16;
  int height_ = 16;
  bool masked_ = true;
  TColor bkColor_ = clNone;
  std::vector<Image> images_;
  TNotifyEvent onChange_;
};

class TImageList : public TCustomImageList {
  KXBR_CLASS(TImageList, TCustomImageList)

 public:
  using TCustomImageList::TCustomImageList;
};
