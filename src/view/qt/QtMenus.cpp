#include "QtMenus.h"

#include <QMenu>
#include <map>

#include "Forms.h"
#include "Menus.h"
#include "QtConvert.h"

namespace {

void AddItems(QMenu* menu, TMenuItem* parent, std::map<QAction*, TMenuItem*>& items) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (!item->Visible()) continue;
    if (item->Caption() == "-") {
      menu->addSeparator();
      continue;
    }
    if (item->Count() > 0) {
      QMenu* sub = menu->addMenu(ToQString(item->Caption()));
      sub->setEnabled(item->Enabled());
      AddItems(sub, item, items);
      continue;
    }
    QAction* action = menu->addAction(ToQString(item->Caption()));
    action->setEnabled(item->Enabled());
    action->setCheckable(item->Checked() || item->RadioItem() || item->AutoCheck());
    action->setChecked(item->Checked());
    if (item->ShortCut() != 0)
      action->setShortcut(QKeySequence(ToQString(ShortCutToText(item->ShortCut()))));
    if (!item->Bitmap()->Empty())
      action->setIcon(QIcon(QPixmap::fromImage(ToQImageTransparent(*item->Bitmap()))));
    items[action] = item;
  }
}

}  // namespace

void ShowPopupMenu(TQtView& view, TPopupMenu* menu) {
  // The model's screen point: through the form the menu pops up over, into Qt's screen.
  const TPoint point = menu->PopupPoint();
  QPoint at(point.X, point.Y);
  auto* control = dynamic_cast<TControl*>(menu->PopupComponent());
  TCustomForm* form = control ? GetParentForm(control) : nullptr;
  if (!form) form = dynamic_cast<TCustomForm*>(Screen()->ActiveForm());
  if (QWidget* window = form ? view.WidgetOf(form) : nullptr) {
    const TPoint origin = form->ClientOrigin();
    at = window->mapToGlobal(QPoint(point.X - origin.X, point.Y - origin.Y));
  }
  QMenu qmenu;
  std::map<QAction*, TMenuItem*> items;
  AddItems(&qmenu, menu->Items(), items);
  if (items.empty()) return;
  // The platform's menu loop is modal; the chosen item is clicked once it has closed.
  QAction* chosen = qmenu.exec(at);
  const auto found = items.find(chosen);
  if (found == items.end()) return;
  TMenuItem* item = found->second;
  RunGuarded([item] { item->Click(); });
}
