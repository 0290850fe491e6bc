#include "QtListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <set>

#include "ComCtrls.h"
#include "QtConvert.h"

namespace {

// The in-place editor of an item's caption: Enter or leaving it ends the edit with the text,
// Esc ends it without.
class TQtLabelEditor : public QLineEdit {
 public:
  TQtLabelEditor(QWidget* parent, std::function<void(const QString&, bool)> end)
      : QLineEdit(parent), end_(std::move(end)) {
    connect(this, &QLineEdit::returnPressed, this, [this] { End(true); });
  }
  // The list is going away: nothing is ended any more.
  void Detach() { end_ = nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      End(false);
      return;
    }
    QLineEdit::keyPressEvent(event);
  }
  void focusOutEvent(QFocusEvent* event) override {
    QLineEdit::focusOutEvent(event);
    End(true);
  }

 private:
  void End(bool accept) {
    if (end_) end_(text(), accept);
  }

  std::function<void(const QString&, bool)> end_;
};

QIcon ImageOf(TCustomImageList* images, int index) {
  if (!images || index < 0 || index >= images->Count()) return QIcon();
  TBitmap image;
  images->GetBitmap(index, &image);
  return QIcon(QPixmap::fromImage(ToQImageTransparent(image)));
}

class TQtListViewBinding : public TQtBinding {
 public:
  using TQtBinding::TQtBinding;
  ~TQtListViewBinding() override {
    if (editor_) editor_->Detach();
  }

  void Changed(std::string_view what) override {
    static const std::set<std::string_view> rowChanges = {"Items", "Columns", "ViewStyle"};
    if (rowChanges.count(what)) {
      // Rows often come one by one (a lookup adds thousands): the rows are built once, when
      // the event loop next runs.
      rebuild_ = true;
      if (!scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, &pending_, [this] {
          scheduled_ = false;
          SyncAll();
        });
      }
      return;
    }
    TQtBinding::Changed(what);
    if (what == "Editing") SyncEditor();
  }

 protected:
  TCustomListView* List() const { return static_cast<TCustomListView*>(control_); }
  QStackedWidget* Stack() const { return static_cast<QStackedWidget*>(widget_.data()); }
  QTreeWidget* Tree() const { return static_cast<QTreeWidget*>(Stack()->widget(0)); }
  QListWidget* Icons() const { return static_cast<QListWidget*>(Stack()->widget(1)); }
  bool Report() const { return List()->ViewStyle() == vsReport; }

  QWidget* MakeWidget(QWidget* parent) override {
    auto* stack = new QStackedWidget(parent);
    auto* tree = new QTreeWidget(stack);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->header()->setSectionsMovable(false);
    tree->header()->setStretchLastSection(false);
    auto* icons = new QListWidget(stack);
    icons->setWrapping(true);
    icons->setResizeMode(QListView::Adjust);
    stack->addWidget(tree);
    stack->addWidget(icons);
    for (QWidget* part : {static_cast<QWidget*>(tree), tree->viewport(), tree->header()->viewport(),
                          static_cast<QWidget*>(icons), icons->viewport()}) {
      part->setFocusPolicy(Qt::StrongFocus);
      WatchPart(part);
    }
    stack->setFocusProxy(tree);
    return stack;
  }

  QPoint ToControl(QObject* watched, QPoint p) const override {
    const int count = List()->Items()->Count();
    auto rowPoint = [&](int row) {
      const TRect r = List()->ItemRect(row >= 0 ? row : count);
      return QPoint(r.Left + 2, (r.Top + r.Bottom) / 2);
    };
    if (watched == Tree()->viewport()) return rowPoint(Tree()->indexAt(p).row());
    if (watched == Icons()->viewport()) return rowPoint(Icons()->indexAt(p).row());
    if (watched == Tree()->header()->viewport()) {
      const int section = Tree()->header()->logicalIndexAt(p);
      int x = 0;
      for (int i = 0; i < section; ++i) x += List()->ColumnDisplayWidth(i);
      return QPoint(section < 0 ? -1 : x + 2, 1);
    }
    return ToWidget(watched, p);
  }

  void Sync() override {
    Stack()->setCurrentIndex(Report() ? 0 : 1);
    Stack()->setFocusProxy(Report() ? static_cast<QWidget*>(Tree()) : Icons());
    if (rebuild_ && !scheduled_) {
      rebuild_ = false;
      if (Report())
        BuildTree();
      else
        BuildIcons();
    }
    if (!rebuild_) SyncSelection();
  }

  void BuildTree() {
    QTreeWidget* tree = Tree();
    tree->clear();
    TListColumns* columns = List()->Columns();
    const int columnCount = std::max(1, columns->Count());
    tree->setColumnCount(columnCount);
    QStringList captions;
    for (int i = 0; i < columns->Count(); ++i) captions << ToQString(columns->Items(i)->Caption());
    tree->setHeaderLabels(captions);
    tree->setHeaderHidden(!List()->ShowColumnHeaders() || columns->Count() == 0);
    for (int i = 0; i < columns->Count(); ++i) {
      tree->setColumnWidth(i, List()->ColumnDisplayWidth(i));
      const TAlignment a = columns->Items(i)->Alignment();
      tree->headerItem()->setTextAlignment(i, a == taRightJustify ? Qt::AlignRight
                                              : a == taCenter     ? Qt::AlignHCenter
                                                                  : Qt::AlignLeft);
    }
    tree->setSelectionMode(List()->MultiSelect() ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int rowHeight = List()->RowHeight();
    QList<QTreeWidgetItem*> rows;
    for (int r = 0; r < List()->Items()->Count(); ++r) {
      TListItem* item = List()->Items()->Item(r);
      auto* row = new QTreeWidgetItem();
      for (int c = 0; c < columnCount; ++c) {
        row->setText(c, ToQString(item->ColumnText(c)));
        if (c < columns->Count()) {
          const TAlignment a = columns->Items(c)->Alignment();
          row->setTextAlignment(c, (a == taRightJustify ? Qt::AlignRight
                                    : a == taCenter     ? Qt::AlignHCenter
                                                        : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        }
      }
      row->setIcon(0, ImageOf(List()->SmallImages(), item->ImageIndex()));
      if (List()->Checkboxes())
        row->setCheckState(0, item->Checked() ? Qt::Checked : Qt::Unchecked);
      row->setSizeHint(0, QSize(0, rowHeight));
      rows << row;
    }
    tree->addTopLevelItems(rows);
  }

  void BuildIcons() {
    QListWidget* icons = Icons();
    icons->clear();
    const TViewStyle style = List()->ViewStyle();
    icons->setViewMode(style == vsIcon ? QListView::IconMode : QListView::ListMode);
    icons->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    icons->setSelectionMode(List()->MultiSelect() ? QAbstractItemView::ExtendedSelection
                                                  : QAbstractItemView::SingleSelection);
    TCustomImageList* images = style == vsIcon ? List()->LargeImages() : List()->SmallImages();
    if (images) icons->setIconSize(QSize(images->Width(), images->Height()));
    for (int r = 0; r < List()->Items()->Count(); ++r) {
      TListItem* item = List()->Items()->Item(r);
      auto* row =
          new QListWidgetItem(ImageOf(images, item->ImageIndex()), ToQString(item->Caption()));
      if (List()->Checkboxes()) row->setCheckState(item->Checked() ? Qt::Checked : Qt::Unchecked);
      icons->addItem(row);
    }
  }

  // Opens the caption editor over the item the model edits, or closes it.
  void SyncEditor() {
    TListItem* item = List()->EditingItem();
    if (!item) {
      if (!editor_) return;
      const bool hadFocus = editor_->hasFocus();
      editor_->Detach();
      editor_->hide();
      editor_->deleteLater();
      editor_ = nullptr;
      if (hadFocus) {
        TQtView::TSyncGuard guard(view_);
        widget_->setFocus();
      }
      return;
    }
    const int row = item->Index();
    QAbstractItemView* rows = Report() ? static_cast<QAbstractItemView*>(Tree()) : Icons();
    QRect place = rows->visualRect(rows->model()->index(row, 0));
    if (Report()) place.setWidth(std::max(place.width(), Tree()->columnWidth(0)));
    if (!editor_) {
      TCustomListView* list = List();
      TQtView* view = &view_;
      editor_ =
          new TQtLabelEditor(rows->viewport(), [list, view](const QString& text, bool accept) {
            if (view->Syncing() || !list->EditingItem()) return;
            const std::string caption = FromQString(text);
            RunGuarded([&] { list->EndLabelEdit(caption, accept); });
          });
    }
    editor_->setGeometry(place);
    editor_->setText(ToQString(item->Caption()));
    editor_->selectAll();
    editor_->show();
    editor_->setFocus();
  }

  void SyncSelection() {
    TListItems* items = List()->Items();
    const bool report = Report();
    const int count = report ? Tree()->topLevelItemCount() : Icons()->count();
    if (count != items->Count()) return;
    const bool showSelection = !List()->HideSelection() || List()->Focused();
    for (int r = 0; r < count; ++r) {
      TListItem* item = items->Item(r);
      const bool selected = showSelection && item->Selected();
      const Qt::CheckState check = item->Checked() ? Qt::Checked : Qt::Unchecked;
      if (report) {
        QTreeWidgetItem* row = Tree()->topLevelItem(r);
        row->setSelected(selected);
        if (List()->Checkboxes()) row->setCheckState(0, check);
        if (item->Focused()) Tree()->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
      } else {
        QListWidgetItem* row = Icons()->item(r);
        row->setSelected(selected);
        if (List()->Checkboxes()) row->setCheckState(check);
        if (item->Focused()) Icons()->setCurrentItem(row, QItemSelectionModel::NoUpdate);
      }
    }
  }

 private:
  bool rebuild_ = true;
  bool scheduled_ = false;
  QObject pending_;  // the scheduled rebuild dies with the binding
  QPointer<TQtLabelEditor> editor_;
};

}  // namespace

void RegisterListViews(TQtView& view) {
  view.Register(TCustomListView::StaticClass(),
                [](TQtView& v, TControl* c) { return std::make_unique<TQtListViewBinding>(v, c); });
}
