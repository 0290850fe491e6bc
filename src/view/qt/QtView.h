// The Qt view: an observer of the model that mirrors every shown form into Qt widgets, one
// widget per control, and turns the user's input in those widgets into the model's input
// (SendKey, SendText, SendMouse*), so that the model's own events fire.
//
// The model is the truth. Widgets show what the model holds and never change it on their
// own: keys, characters (input-method text included) and mouse presses are taken from the
// widgets and handed to the model, whose announcements then update the widgets. A focus
// change that starts in Qt (a window activation, a program's setFocus) asks the model; when
// the model refuses it (an exit check failed), the Qt focus goes back to the model's.
//
// Which widget mirrors a control is found by the control's class: each control family
// registers a binding factory for its class, and the nearest registered class of the chain
// wins. Self-painting controls need no family of their own: grids, page controls, panels,
// group boxes and the selection panel are painted by the model, and the selection panel's
// inner edits, buttons and list get the widgets of their own classes.
//
// Deviations by design:
// - Graphic controls (labels, speed buttons, bevels, tool buttons) get widgets of their own,
//   stacked below their windowed siblings as the platform paints them on the parent.
// - Qt's own tab chain is not used: Tab reaches the model, which moves the focus.
// - The text an input method is still composing is shown by the widget only; the model gets
//   the composed text.
// - A list view's rows follow its items when the event loop next runs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "Classes.h"
#include "Controls.h"

class TQtView;
class QKeyEvent;
class QMouseEvent;
class TPopupMenu;

// One control and the widget that mirrors it.
class TQtBinding {
 public:
  TQtBinding(TQtView& view, TControl* control) : view_(view), control_(control) {}
  virtual ~TQtBinding();
  TQtBinding(const TQtBinding&) = delete;
  TQtBinding& operator=(const TQtBinding&) = delete;

  TControl* Control() const { return control_; }
  QWidget* Widget() const { return widget_; }
  // Where the widgets of the control's children go.
  virtual QWidget* ClientWidget() const { return widget_; }
  // Makes the widget (a child of `parent`; null for a form's window) and remembers it.
  void Create(QWidget* parent);

  // Reads everything the widget shows from the control.
  void SyncAll();
  // One outward change of the control, named as the model announces it.
  virtual void Changed(std::string_view what);
  // Input that reached the widget or one of its parts (`watched`); true when taken.
  virtual bool Input(QObject* watched, QEvent* event);

 protected:
  virtual QWidget* MakeWidget(QWidget* parent) = 0;
  // The control's own state (text, check state, items, selection ...).
  virtual void Sync() {}
  virtual void SyncGeometry();
  void SyncCommon();
  void SyncVisible();
  void SyncFocus();
  void SyncOwn();
  void SyncCommonAndOwn();
  void Repaint() { widget_->update(); }
  // Input helpers: forward a key, characters or a mouse event to the model.
  bool ForwardKey(QKeyEvent* event);
  bool ForwardMouse(QObject* watched, QMouseEvent* event);
  // A point of `watched` in the control's client coordinates; lists map a point on a Qt row
  // to the same row of the model, whose rows may be laid out at other heights.
  virtual QPoint ToControl(QObject* watched, QPoint p) const;
  QPoint ToWidget(QObject* watched, QPoint p) const;
  // Takes `part` (an inner widget: a viewport, an embedded line edit) into the input filter.
  void WatchPart(QWidget* part);

  TQtView& view_;
  TControl* control_;
  QPointer<QWidget> widget_;
};

class TQtView : public QObject, public IComponentObserver {
 public:
  using TFactory = std::function<std::unique_ptr<TQtBinding>(TQtView&, TControl*)>;

  // Registers the control families and starts observing the model; posted messages are
  // delivered from Qt's event loop.
  TQtView();
  ~TQtView() override;

  // The factory for controls of `cls` and its descendants without a nearer registration.
  void Register(TClass cls, TFactory factory);
  // The form's window, mirrored on first use.
  QWidget* Mirror(TCustomForm* form);
  QWidget* WidgetOf(const TControl* control) const;
  TQtBinding* BindingOf(const TControl* control) const;
  // True while the view writes the model's state into widgets (their signals are not input).
  bool Syncing() const { return syncing_ > 0; }

  void ComponentChanged(TComponent* component, TObserverEvent event,
                        std::string_view what) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Focus moves that started in Qt.
  void QtFocusIn(TQtBinding* binding, Qt::FocusReason reason);
  // Puts the Qt focus where the model has it.
  void RestoreFocus();
  // Whether a left press on `control` is the second press of a double click (within the
  // double-click time and distance of the last release there), as the platform decides;
  // Qt's double-click event after such a press is then not delivered again.
  bool DoublePress(TControl* control, const QMouseEvent* press);
  void NoteRelease(TControl* control, const QMouseEvent* release);
  bool TakeDoubleClickEvent();

  // Writing model state into widgets: signals fired meanwhile are ignored.
  class TSyncGuard {
   public:
    explicit TSyncGuard(TQtView& view) : view_(view) { ++view_.syncing_; }
    ~TSyncGuard() { --view_.syncing_; }
    TSyncGuard(const TSyncGuard&) = delete;
    TSyncGuard& operator=(const TSyncGuard&) = delete;

   private:
    TQtView& view_;
  };

 private:
  friend class TQtBinding;
  TQtBinding* Bind(TControl* control);
  void BindChildren(TWinControl* parent);
  void Unbind(TControl* control);
  void Reparent(TControl* control);
  void Restack(TWinControl* parent);
  const TFactory* FactoryFor(TClass cls) const;
  void Watch(QWidget* widget, TQtBinding* binding);

  std::unordered_map<TClass, TFactory> factories_;
  std::unordered_map<const TControl*, std::unique_ptr<TQtBinding>> bindings_;
  std::unordered_map<const QObject*, TQtBinding*> byWidget_;
  int syncing_ = 0;
  QTimer messages_;
  struct TRelease {
    const TControl* Control = nullptr;
    quint64 Time = 0;
    QPointF Position;
  } lastRelease_;
  bool doublePressed_ = false;
};

// Runs `action` as model input: an exception goes to Application()->HandleException.
void RunGuarded(const std::function<void()>& action);

// Registration of the control families (one per source file pair).
void RegisterStdWidgets(TQtView& view);
void RegisterPaintedWidgets(TQtView& view);
void RegisterListViews(TQtView& view);
// Shows a popup menu the model popped up (the menu's "Popup" announcement) at its point and
// clicks the item the user chose.
void ShowPopupMenu(TQtView& view, TPopupMenu* menu);
