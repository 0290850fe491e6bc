#include "QtView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <vector>

#include "Forms.h"
#include "Menus.h"
#include "QtConvert.h"

void RunGuarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    Application()->HandleException(nullptr, e);
  } catch (const std::exception& e) {
    Application()->HandleException(nullptr, Exception(e.what()));
  }
}

// --- TQtBinding ----------------------------------------------------------------------------------

TQtBinding::~TQtBinding() {
  if (!widget_) return;
  // The widget may be inside its own event handler (a click that freed the control): it is
  // hidden now and deleted once control returns to the event loop.
  widget_->hide();
  widget_->setParent(nullptr);
  widget_->deleteLater();
}

void TQtBinding::Create(QWidget* parent) {
  widget_ = MakeWidget(parent);
  view_.Watch(widget_, this);
}

void TQtBinding::SyncAll() {
  if (!widget_) return;
  TQtView::TSyncGuard guard(view_);
  SyncCommon();
  Sync();
  widget_->update();
}

void TQtBinding::SyncGeometry() {
  widget_->setGeometry(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

void TQtBinding::SyncCommon() {
  SyncGeometry();
  widget_->setEnabled(control_->Enabled());
  widget_->setFont(ToQFont(*control_->Font()));
  QPalette palette = widget_->palette();
  const QColor back = ToQColor(control_->Color());
  const QColor text = ToQColor(control_->Font()->Color());
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, widget_->backgroundRole(), back);
    palette.setColor(group, widget_->foregroundRole(), text);
  }
  widget_->setPalette(palette);
  widget_->setToolTip(control_->ShowHint() ? ToQString(GetShortHint(control_->Hint())) : QString());
  if (auto* win = dynamic_cast<TWinControl*>(control_))
    widget_->setAttribute(Qt::WA_InputMethodEnabled,
                          win->ImeMode() != imDisable && win->ImeMode() != imClose);
  if (control_->Parent()) widget_->setVisible(control_->Visible());
}

void TQtBinding::SyncVisible() {
  if (control_->Parent()) widget_->setVisible(control_->Visible());
}

void TQtBinding::SyncFocus() {
  if (control_ == FocusedControl() && !widget_->hasFocus()) widget_->setFocus();
}

void TQtBinding::SyncOwn() {
  Sync();
  widget_->update();
}

void TQtBinding::SyncCommonAndOwn() {
  SyncCommon();
  SyncOwn();
}

void TQtBinding::Changed(std::string_view what) {
  if (!widget_) return;
  // What each announcement touches; any other names the control's own state.
  using TReaction = void (TQtBinding::*)();
  static const std::unordered_map<std::string_view, TReaction> reactions = {
      {"Bounds", &TQtBinding::SyncGeometry},      {"Visible", &TQtBinding::SyncVisible},
      {"Focus", &TQtBinding::SyncFocus},          {"Paint", &TQtBinding::Repaint},
      {"Enabled", &TQtBinding::SyncCommonAndOwn}, {"Font", &TQtBinding::SyncCommonAndOwn},
      {"Color", &TQtBinding::SyncCommonAndOwn},   {"Hint", &TQtBinding::SyncCommonAndOwn}};
  TQtView::TSyncGuard guard(view_);
  const auto found = reactions.find(what);
  (this->*(found == reactions.end() ? &TQtBinding::SyncOwn : found->second))();
}

bool TQtBinding::Input(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // Every key goes to the model, which knows the form's shortcuts itself.
      event->accept();
      return true;
    case QEvent::KeyPress:
      return ForwardKey(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
      return true;
    case QEvent::InputMethod: {
      // The text being composed is the widget's to show; the composed text is typed into
      // the model, and the widget's composition is cleared.
      const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
      if (commit.isEmpty()) return false;
      QPointer<QObject> target = watched;
      TControl* control = control_;
      TQtView& view = view_;
      const std::string text = FromQString(commit);
      RunGuarded([&] { SendText(text); });
      if (target) {
        QInputMethodEvent cleared;
        QCoreApplication::sendEvent(target, &cleared);
      }
      if (TQtBinding* binding = view.BindingOf(control)) binding->SyncAll();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return ForwardMouse(watched, static_cast<QMouseEvent*>(event));
    case QEvent::FocusIn:
      view_.QtFocusIn(this, static_cast<QFocusEvent*>(event)->reason());
      return false;
    case QEvent::ContextMenu:
      return true;  // the model pops its menu up on the right button
    default:
      return false;
  }
}

bool TQtBinding::ForwardKey(QKeyEvent* event) {
  const QString text = event->text();
  TShiftState shift = ToShiftState(event->modifiers());
  if (event->key() == Qt::Key_Backtab) shift.Include(ssShift);
  const WORD key = ToVirtualKey(event->key());
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  const bool printable = plain && !text.isEmpty() && text.at(0).isPrint();
  if (printable && (key == 0 || (key >= '0' && key <= 'Z') || key == VK_SPACE)) {
    const std::string typed = FromQString(text);
    RunGuarded([&] { SendText(typed); });
  } else if (key != 0) {
    RunGuarded([&] { SendKey(key, shift); });
  }
  return true;
}

bool TQtBinding::ForwardMouse(QObject* watched, QMouseEvent* event) {
  // The control may be freed by its own click: only locals after the model was called.
  TControl* control = control_;
  const QPoint p = ToControl(watched, event->position().toPoint());
  const TShiftState shift = ToShiftState(event->modifiers());
  const TMouseButton button = ToMouseButton(event->button());
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (button == mbLeft && view_.DoublePress(control, event))
        SendMouseDoublePress(control, p.x(), p.y(), shift);
      else
        SendMouseDown(control, p.x(), p.y(), button, shift);
      break;
    case QEvent::MouseButtonRelease:
      if (button == mbLeft) view_.NoteRelease(control, event);
      SendMouseUp(control, p.x(), p.y(), button, shift);
      break;
    case QEvent::MouseButtonDblClick:
      // Qt follows the second press with this event; it reaches the model only when no
      // press came before it (a synthesized double click).
      if (!view_.TakeDoubleClickEvent() && button == mbLeft)
        SendMouseDoublePress(control, p.x(), p.y(), shift);
      break;
    default:
      SendMouseMove(control, p.x(), p.y(), shift);
      break;
  }
  return true;
}

QPoint TQtBinding::ToControl(QObject* watched, QPoint p) const {
  return ToWidget(watched, p);
}

QPoint TQtBinding::ToWidget(QObject* watched, QPoint p) const {
  auto* part = qobject_cast<QWidget*>(watched);
  if (part && part != widget_ && widget_ && widget_->isAncestorOf(part))
    return part->mapTo(widget_, p);
  return p;
}

void TQtBinding::WatchPart(QWidget* part) {
  view_.Watch(part, this);
}

// --- TQtView -------------------------------------------------------------------------------------

TQtView::TQtView() {
  RegisterStdWidgets(*this);
  RegisterPaintedWidgets(*this);
  RegisterListViews(*this);
  AddComponentObserver(this);
  // Forms shown before the view existed are mirrored now.
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (auto* form = dynamic_cast<TCustomForm*>(Screen()->Forms(i));
        form && !form->Parent() && form->Visible())
      Mirror(form);
  // Posted messages (PostMessage, Release) are delivered while Qt's loop runs.
  messages_.setInterval(10);
  connect(&messages_, &QTimer::timeout, this,
          [] { RunGuarded([] { Application()->ProcessMessages(); }); });
  messages_.start();
}

TQtView::~TQtView() {
  RemoveComponentObserver(this);
  messages_.stop();
  byWidget_.clear();
  bindings_.clear();
  // The widgets were handed to deleteLater; nothing of the view outlives it.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TQtView::Register(TClass cls, TFactory factory) {
  factories_[cls] = std::move(factory);
}

const TQtView::TFactory* TQtView::FactoryFor(TClass cls) const {
  for (TClass c = cls; c; c = c->Parent) {
    const auto found = factories_.find(c);
    if (found != factories_.end()) return &found->second;
  }
  return nullptr;
}

TQtBinding* TQtView::BindingOf(const TControl* control) const {
  const auto found = bindings_.find(control);
  return found == bindings_.end() ? nullptr : found->second.get();
}

QWidget* TQtView::WidgetOf(const TControl* control) const {
  TQtBinding* binding = BindingOf(control);
  return binding ? binding->Widget() : nullptr;
}

QWidget* TQtView::Mirror(TCustomForm* form) {
  if (!form) return nullptr;
  if (TQtBinding* binding = BindingOf(form)) return binding->Widget();
  TQtBinding* binding = Bind(form);
  return binding ? binding->Widget() : nullptr;
}

void TQtView::Watch(QWidget* widget, TQtBinding* binding) {
  if (!widget) return;
  if (byWidget_.find(widget) == byWidget_.end())
    // A part Qt deletes on its own (a combo box's edit) leaves no stale entry behind.
    connect(widget, &QObject::destroyed, this, [this](QObject* gone) { byWidget_.erase(gone); });
  byWidget_[widget] = binding;
  widget->installEventFilter(this);
}

TQtBinding* TQtView::Bind(TControl* control) {
  QWidget* parentWidget = nullptr;
  if (control->Parent()) {
    TQtBinding* parent = BindingOf(control->Parent());
    if (!parent) return nullptr;
    parentWidget = parent->ClientWidget();
  }
  const TFactory* factory = FactoryFor(control->ClassType());
  if (!factory) return nullptr;
  std::unique_ptr<TQtBinding> made = (*factory)(*this, control);
  TQtBinding* binding = made.get();
  bindings_[control] = std::move(made);
  binding->Create(parentWidget);
  binding->SyncAll();
  if (auto* win = dynamic_cast<TWinControl*>(control)) BindChildren(win);
  return binding;
}

void TQtView::BindChildren(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (!BindingOf(parent->Controls(i))) Bind(parent->Controls(i));
  Restack(parent);
}

void TQtView::Restack(TWinControl* parent) {
  // Windowed controls in z-order; graphic controls below all of them, as the platform paints
  // them on the parent's surface.
  std::vector<QWidget*> graphic;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    QWidget* widget = WidgetOf(child);
    if (!widget) continue;
    if (dynamic_cast<TWinControl*>(child))
      widget->raise();
    else
      graphic.push_back(widget);
  }
  for (auto it = graphic.rbegin(); it != graphic.rend(); ++it) (*it)->lower();
  // Qt's tab chain mirrors the model's tab order (the model moves the focus on Tab itself).
  QWidget* previous = nullptr;
  for (TWinControl* child : parent->TabList()) {
    QWidget* widget = WidgetOf(child);
    if (!widget) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

void TQtView::Unbind(TControl* control) {
  if (auto* win = dynamic_cast<TWinControl*>(control))
    for (int i = 0; i < win->ControlCount(); ++i) Unbind(win->Controls(i));
  const auto found = bindings_.find(control);
  if (found == bindings_.end()) return;
  TQtBinding* binding = found->second.get();
  for (auto it = byWidget_.begin(); it != byWidget_.end();)
    it = it->second == binding ? byWidget_.erase(it) : std::next(it);
  bindings_.erase(found);
}

void TQtView::Reparent(TControl* control) {
  TQtBinding* parent = control->Parent() ? BindingOf(control->Parent()) : nullptr;
  if (!parent) {
    Unbind(control);
    return;
  }
  TQtBinding* binding = BindingOf(control);
  if (!binding) {
    Bind(control);
  } else {
    binding->Widget()->setParent(parent->ClientWidget());
    binding->SyncAll();
  }
  Restack(control->Parent());
}

void TQtView::ComponentChanged(TComponent* component, TObserverEvent event, std::string_view what) {
  auto* control = dynamic_cast<TControl*>(component);
  if (!control) {
    if (auto* menu = dynamic_cast<TPopupMenu*>(component); menu && what == "Popup")
      ShowPopupMenu(*this, menu);
    return;
  }
  if (event == oeDestroying) {
    Unbind(control);
    return;
  }
  TQtBinding* binding = BindingOf(control);
  if (event == oeCreated) {
    if (!binding && control->Parent() && BindingOf(control->Parent())) {
      Bind(control);
      Restack(control->Parent());
    }
    return;
  }
  if (!binding) {
    auto* form = dynamic_cast<TCustomForm*>(control);
    if (form && !form->Parent() && what == "Visible" && form->Visible()) Mirror(form);
    if (what == "Parent" && control->Parent() && BindingOf(control->Parent())) Reparent(control);
    return;
  }
  if (what == "Parent") {
    Reparent(control);
  } else if (what == "ZOrder") {
    if (control->Parent()) Restack(control->Parent());
  } else {
    binding->Changed(what);
  }
}

bool TQtView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::FocusIn:
    case QEvent::ContextMenu:
    case QEvent::WindowActivate:
      break;
    default:
      return false;
  }
  const auto found = byWidget_.find(watched);
  if (found == byWidget_.end()) return false;
  return found->second->Input(watched, event);
}

void TQtView::QtFocusIn(TQtBinding* binding, Qt::FocusReason reason) {
  if (Syncing()) return;
  auto* control = dynamic_cast<TWinControl*>(binding->Control());
  // A program's or the user's move is a request to the model; Qt's own moves (a window
  // activated, a popup closed, a focused widget hidden) follow the model's focus.
  const bool request = reason == Qt::OtherFocusReason || reason == Qt::MouseFocusReason ||
                       reason == Qt::ShortcutFocusReason;
  if (control && request && control != FocusedControl())
    RunGuarded([&] {
      if (control->CanFocus()) control->SetFocus();
    });
  RestoreFocus();
}

bool TQtView::DoublePress(TControl* control, const QMouseEvent* press) {
  const int distance = QApplication::startDragDistance();
  const QPointF moved = press->position() - lastRelease_.Position;
  doublePressed_ = lastRelease_.Control == control &&
                   press->timestamp() - lastRelease_.Time <=
                       static_cast<quint64>(QApplication::doubleClickInterval()) &&
                   std::abs(moved.x()) <= distance && std::abs(moved.y()) <= distance;
  // A third press starts anew.
  lastRelease_.Control = nullptr;
  return doublePressed_;
}

void TQtView::NoteRelease(TControl* control, const QMouseEvent* release) {
  if (doublePressed_) {
    doublePressed_ = false;
    return;
  }
  lastRelease_ = {control, release->timestamp(), release->position()};
}

bool TQtView::TakeDoubleClickEvent() {
  return doublePressed_;
}

void TQtView::RestoreFocus() {
  TWinControl* focused = FocusedControl();
  QWidget* widget = focused ? WidgetOf(focused) : nullptr;
  if (!widget || widget->hasFocus()) return;
  TSyncGuard guard(*this);
  widget->setFocus(Qt::OtherFocusReason);
}
