#include "Gallery.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <memory>

#include "CodeConverter.h"
#include "ComCtrls.h"
#include "Grids.h"
#include "ImgList.h"
#include "PelvorImport.h"
#include "QtConvert.h"
#include "QtView.h"
#include "Reader.h"
#include "Release.h"
#include "SelectPnl.h"
#if KXBR_RELEASE >= 90
#include "QmcEdit.h"
#endif

namespace {

template <class T>
T* Find(TComponent* form, const char* name) {
  return dynamic_cast<T*>(form->FindComponent(name));
}

void AddRows(TListView* list, const std::vector<std::vector<std::string>>& rows) {
  for (const auto& values : rows) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(values[0]);
    for (size_t i = 1; i < values.size(); ++i) item->SubItems()->Add(values[i]);
    item->SetImageIndex(2 + (list->Items()->Count() - 1) % 3);
  }
}

// Pictures of the glyph library: a scheme, save, footer lookup (the tool bar's), look up and
// pick a date (the lists').
TImageList* MakeImages(TComponent* owner) {
  auto* images = new TImageList(owner);
  images->SetName("ilGlyphs");
  images->SetWidth(16);
  images->SetHeight(16);
  for (int glyph : {90, 91, 81, 8, 9}) {
    TBitmap bitmap;
    if (LoadBmp(&bitmap, glyph)) images->AddMasked(&bitmap, clDefault);
  }
  return images;
}

void SetGlyph(TBitBtn* button, int glyph) {
  TBitmap bitmap;
  if (LoadBmp(&bitmap, glyph)) button->SetGlyph(&bitmap);
}

void Fill(TForm* form) {
  const std::vector<std::vector<std::string>> rows = {
      {"KX-2024-0001", "2024/01/05", "HT-0098", "12,800.00"},
      {"KX-2024-0002", "2024/01/18", "HT-0102", "3,450.50"},
      {"KX-2024-0003", "2024/01/31", "HT-0117", "960.00"}};
  TImageList* images = MakeImages(form);
  Find<TToolBar>(form, "tbMain")->SetImages(images);
  SetGlyph(Find<TBitBtn>(form, "btnOk"), 61);
  SetGlyph(Find<TBitBtn>(form, "btnCancel"), 62);
  for (const char* name : {"lvReport", "lvIcon", "lvSmall", "lvList"}) {
    TListView* list = Find<TListView>(form, name);
    list->SetSmallImages(images);
    list->SetLargeImages(images);
    AddRows(list, rows);
  }
  Find<TListView>(form, "lvReport")->Items()->Item(1)->SetSelected(true);
  Find<TListBox>(form, "lbFields")->SetItemIndex(1);
  Find<TAnimate>(form, "aniBusy")->SetActive(true);

  auto* sp01 = Find<TSelectPanel>(form, "sp01");
  sp01->BeginEdit->SetText("KX-2024-0001");
  sp01->EndEdit->SetText("KX-2024-0003");
  auto* sp03 = Find<TSelectPanel>(form, "sp03");
  sp03->BeginEdit->SetText("HT-0098");
  // A panel in the list style, with the rows a lookup would have added.
  auto* spList = Find<TSelectPanel>(form, "spList");
  spList->SetColumnCaptions(
      std::make_unique<TStringList>(std::initializer_list<std::string>{"结转单号", "日期"}).get());
  for (const auto& row : rows) spList->ListView->AddRow({row[0], row[1]});

  auto* grid = Find<TStringGrid>(form, "sgDetail");
  const char* header[] = {"", "结转单号", "合同编号", "金额"};
  for (int col = 0; col < 4; ++col) grid->SetCells(col, 0, header[col]);
  for (int row = 1; row < 4; ++row) {
    grid->SetCells(0, row, std::to_string(row));
    grid->SetCells(1, row, rows[row - 1][0]);
    grid->SetCells(2, row, rows[row - 1][2]);
    grid->SetCells(3, row, rows[row - 1][3]);
  }

#if KXBR_RELEASE >= 90
  // The labelled edit exists in release 9.0 only, so it is placed here and not in the
  // resource that both releases read.
  auto* edContract = new TQmEdit(form);
  edContract->SetName("edContract");
  edContract->SetParent(Find<TWinControl>(form, "gbOutput"));
  edContract->SetBounds(176, 72, 96, 22);
  edContract->SetCaption("合同");
  edContract->SetText("HT-0098");
  auto* edFooter = new TQmBtnDBEdit(form);
  edFooter->SetName("edFooter");
  edFooter->SetParent(Find<TWinControl>(form, "gbOutput"));
  edFooter->SetBounds(308, 72, 84, 22);
  edFooter->SetCaption("页脚");
  edFooter->SetGlyphIndex(81);
#endif
}

}  // namespace

TForm* CreateGalleryForm(bool convert) {
  TForm* form = CreateForm<TForm>(nullptr);
  try {
    ReadComponentResText(GalleryFormText(), form, "Gallery.txt");
    Fill(form);
    if (convert) {
      TCodeConverter converter(nullptr);
      converter.ConvertComponents(form);
    }
  } catch (...) {
    form->Free();
    throw;
  }
  return form;
}

bool SaveFormPicture(TQtView& view, TCustomForm* form, const std::string& fileName) {
  QWidget* window = view.Mirror(form);
  if (!window) return false;
  QApplication::processEvents();
  return window->grab().save(ToQString(fileName), "PNG");
}
