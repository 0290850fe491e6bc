#include "Controls.h"

#include <algorithm>

#include "Forms.h"
#include "Menus.h"

// --- Helpers -----------------------------------------------------------------------------------

LPARAM PointToLParam(TPoint p) {
  const uint32_t packed =
      (static_cast<uint32_t>(static_cast<uint16_t>(p.Y)) << 16) | static_cast<uint16_t>(p.X);
  return static_cast<LPARAM>(packed);
}

TPoint LParamToPoint(LPARAM lParam) {
  const auto packed = static_cast<uint32_t>(lParam);
  return TPoint{static_cast<int16_t>(packed & 0xFFFF), static_cast<int16_t>(packed >> 16)};
}

namespace {

// The platform's input state: the window with the keyboard focus and the keys held.
struct InputState {
  TWinControl* focus = nullptr;
  TShiftState keys;
};

InputState& Input() {
  static InputState state;
  return state;
}

}  // namespace

TShiftState KeyboardState() {
  return Input().keys;
}

TShiftState MouseKeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (Input().keys.Contains(ssAlt)) s.Include(ssAlt);
  return s;
}

static WPARAM ShiftStateToMouseKeys(TShiftState shift, TMouseButton button, bool down) {
  WPARAM keys = 0;
  if (shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (down) keys |= button == mbLeft ? MK_LBUTTON : button == mbRight ? MK_RBUTTON : MK_MBUTTON;
  return keys;
}

std::string GetShortHint(std::string_view hint) {
  const size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(0, bar));
}

std::string GetLongHint(std::string_view hint) {
  const size_t bar = hint.find('|');
  return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

std::string CodePointToUtf8(uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::vector<uint32_t> Utf8CodePoints(std::string_view text) {
  std::vector<uint32_t> points;
  for (const std::string& ch : Utf8Chars(text)) {
    const auto b0 = static_cast<unsigned char>(ch[0]);
    uint32_t c = b0;
    if (ch.size() == 2)
      c = ((b0 & 0x1Fu) << 6) | (static_cast<unsigned char>(ch[1]) & 0x3Fu);
    else if (ch.size() == 3)
      c = ((b0 & 0x0Fu) << 12) | ((static_cast<unsigned char>(ch[1]) & 0x3Fu) << 6) |
          (static_cast<unsigned char>(ch[2]) & 0x3Fu);
    else if (ch.size() == 4)
      c = ((b0 & 0x07u) << 18) | ((static_cast<unsigned char>(ch[1]) & 0x3Fu) << 12) |
          ((static_cast<unsigned char>(ch[2]) & 0x3Fu) << 6) |
          (static_cast<unsigned char>(ch[3]) & 0x3Fu);
    points.push_back(c);
  }
  return points;
}

TCustomForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  const TControl* top = control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(top));
}

TCustomForm* ValidParentForm(const TControl* control) {
  TCustomForm* form = GetParentForm(control);
  if (!form)
    throw EInvalidOperation("Control '" + (control ? control->Name() : std::string()) +
                            "' has no parent window");
  return form;
}

void SetKeyboardFocus(TWinControl* target) {
  InputState& in = Input();
  if (in.focus == target) return;
  TWinControl* old = in.focus;
  in.focus = target;
  if (old) {
    SendMessage(old->Handle(), WM_KILLFOCUS, target ? target->Handle() : 0, 0);
    NotifyComponentObservers(old, oeChanged, "Focus");
  }
  if (target && in.focus == target) {
    SendMessage(target->Handle(), WM_SETFOCUS, old ? old->Handle() : 0, 0);
    if (in.focus == target) NotifyComponentObservers(target, oeChanged, "Focus");
  }
}

// A dying window loses the focus without messages.
static void ForgetKeyboardFocus(const TWinControl* control) {
  if (Input().focus == control) Input().focus = nullptr;
}

TWinControl* FocusedControl() {
  return Input().focus;
}

// --- TControl ----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TControl,
    .Prop<&TControl::Align, &TControl::SetAlign>("Align")
        .Prop<&TControl::Anchors, &TControl::SetAnchors>("Anchors")
        .Prop<&TControl::BiDiMode, &TControl::SetBiDiMode>("BiDiMode")
        .Prop<&TControl::Color, &TControl::SetColor>("Color", ColorTypeInfo())
        .Prop<&TControl::Ctl3D, &TControl::SetCtl3D>("Ctl3D")
        .Prop<&TControl::Cursor, &TControl::SetCursor>("Cursor", CursorTypeInfo())
        .Prop<&TControl::DragCursor, &TControl::SetDragCursor>("DragCursor", CursorTypeInfo())
        .Prop<&TControl::DragMode, &TControl::SetDragMode>("DragMode")
        .Prop<&TControl::Enabled, &TControl::SetEnabled>("Enabled")
        .Prop<&TControl::Font, &TControl::SetFont>("Font")
        .Prop<&TControl::Height, &TControl::SetHeight>("Height")
        .Prop<&TControl::HelpContext, &TControl::SetHelpContext>("HelpContext")
        .Prop<&TControl::Hint, &TControl::SetHint>("Hint")
        .Prop<&TControl::Left, &TControl::SetLeft>("Left")
        .Prop<&TControl::ParentBiDiMode, &TControl::SetParentBiDiMode>("ParentBiDiMode")
        .Prop<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor")
        .Prop<&TControl::ParentCtl3D, &TControl::SetParentCtl3D>("ParentCtl3D")
        .Prop<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont")
        .Prop<&TControl::ParentShowHint, &TControl::SetParentShowHint>("ParentShowHint")
        .Prop<&TControl::PopupMenu, &TControl::SetPopupMenu>("PopupMenu")
        .Prop<&TControl::ShowHint, &TControl::SetShowHint>("ShowHint")
        .Prop<&TControl::Top, &TControl::SetTop>("Top")
        .Prop<&TControl::Visible, &TControl::SetVisible>("Visible")
        .Prop<&TControl::Width, &TControl::SetWidth>("Width")
        .Prop<&TControl::OnClick, &TControl::SetOnClick>("OnClick")
        .Prop<&TControl::OnContextPopup, &TControl::SetOnContextPopup>("OnContextPopup")
        .Prop<&TControl::OnDblClick, &TControl::SetOnDblClick>("OnDblClick")
        .Prop<&TControl::OnMouseDown, &TControl::SetOnMouseDown>("OnMouseDown")
        .Prop<&TControl::OnMouseMove, &TControl::SetOnMouseMove>("OnMouseMove")
        .Prop<&TControl::OnMouseUp, &TControl::SetOnMouseUp>("OnMouseUp")
        .Prop<&TControl::OnResize, &TControl::SetOnResize>("OnResize")
        .Message<&TControl::WMLButtonDown>(WM_LBUTTONDOWN)
        .Message<&TControl::WMLButtonUp>(WM_LBUTTONUP)
        .Message<&TControl::WMLButtonDblClk>(WM_LBUTTONDBLCLK)
        .Message<&TControl::WMRButtonDown>(WM_RBUTTONDOWN)
        .Message<&TControl::WMRButtonUp>(WM_RBUTTONUP)
        .Message<&TControl::WMMouseMove>(WM_MOUSEMOVE)
        .Message<&TControl::WMContextMenu>(WM_CONTEXTMENU)
        .Message<&TControl::CMParentFontChanged>(CM_PARENTFONTCHANGED)
        .Message<&TControl::CMParentColorChanged>(CM_PARENTCOLORCHANGED)
        .Message<&TControl::CMParentShowHintChanged>(CM_PARENTSHOWHINTCHANGED)
        .Message<&TControl::CMEnabledChanged>(CM_ENABLEDCHANGED)
        .Message<&TControl::CMVisibleChanged>(CM_VISIBLECHANGED)
        .Message<&TControl::CMFontChanged>(CM_FONTCHANGED)
        .Message<&TControl::CMTextChanged>(CM_TEXTCHANGED)
        .Message<&TControl::CMHitTest>(CM_HITTEST)
        .Message<&TControl::CMMouseEnter>(CM_MOUSEENTER))

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->SetOnChange(MethodOf<&TControl::FontChanged>(this));
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  Destroying();
  if (parent_) parent_->RemoveControl(this);
  TComponent::BeforeDestruction();
}

TComponent* TControl::GetParentComponent() const {
  return parent_;
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* win = dynamic_cast<TWinControl*>(parent)) SetParent(win);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (auto* self = dynamic_cast<TWinControl*>(this);
      self && parent && self->ContainsControl(parent))
    throw EInvalidOperation("A control cannot have a control inside it as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
  Changed("Parent");
  if (parent && !IsLoading()) AnnounceCreated();
}

void TControl::Loaded() {
  TComponent::Loaded();
  // Reading set the control's own font, colour and hint switch; the parent's apply where
  // the control still follows it.
  if (parent_) {
    Perform(CM_PARENTCOLORCHANGED);
    Perform(CM_PARENTFONTCHANGED);
    Perform(CM_PARENTSHOWHINTCHANGED);
  }
  if (autoSize_) AdjustSize();
  RequestAlign();
  AnnounceCreated();
}

void TControl::AnnounceCreated() {
  if (announced_ || IsDestroying()) return;
  announced_ = true;
  NotifyComponentObservers(this, oeCreated, "Created");
}

void TControl::Changed(std::string_view what) {
  if (!announced_ || IsLoading() || IsDestroying()) return;
  NotifyComponentObservers(this, oeChanged, what);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool sized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  RequestAlign();
  if (sized && !IsLoading()) Resize();
  Changed("Bounds");
}

void TControl::UpdateBoundsRect(const TRect& r) {
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

TRect TControl::ClientRect() const {
  return Rect(0, 0, width_, height_);
}

void TControl::SetClientWidth(int v) {
  SetWidth(width_ - ClientWidth() + v);
}

void TControl::SetClientHeight(int v) {
  SetHeight(height_ - ClientHeight() + v);
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return Point(left_, top_);
  const TPoint p = parent_->ClientOrigin();
  return Point(p.X + left_, p.Y + top_);
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return Point(p.X + o.X, p.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return Point(p.X - o.X, p.Y - o.Y);
}

void TControl::SetAlign(TAlign v) {
  if (align_ == v) return;
  const TAlign old = align_;
  align_ = v;
  // A control that stops being aligned keeps its place; one that starts is placed.
  if (old != alNone || v != alNone) RequestAlign();
}

void TControl::SetAutoSize(bool v) {
  if (autoSize_ == v) return;
  autoSize_ = v;
  if (v) AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) {
  return false;
}

void TControl::AdjustSize() {
  if (!autoSize_ || IsLoading()) return;
  int w = width_;
  int h = height_;
  if (CanAutoSize(w, h)) SetBounds(left_, top_, w, h);
}

void TControl::RequestAlign() {
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool v) {
  if (visible_ == v) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  RequestAlign();
  Changed("Visible");
}

void TControl::Show() {
  if (parent_) parent_->Show();
  SetVisible(true);
}

void TControl::Hide() {
  SetVisible(false);
}

bool TControl::Showing() const {
  return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
  Changed("Enabled");
}

bool TControl::IsEnabledInTree() const {
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void TControl::SetText(const std::string& v) {
  if (GetText() == v) return;
  SetTextBuf(v);
  Perform(CM_TEXTCHANGED);
  Changed("Text");
}

void TControl::SetHint(const std::string& v) {
  if (hint_ == v) return;
  hint_ = v;
  Changed("Hint");
}

void TControl::SetShowHint(bool v) {
  if (showHint_ == v && !parentShowHint_) return;
  showHint_ = v;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (parentShowHint_ == v) return;
  parentShowHint_ = v;
  if (v && parent_ && !IsLoading()) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetColor(TColor v) {
  if (color_ == v && !parentColor_) return;
  color_ = v;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
  Changed("Color");
}

void TControl::SetParentColor(bool v) {
  if (parentColor_ == v) return;
  parentColor_ = v;
  if (v && parent_ && !IsLoading()) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!settingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
  Changed("Font");
}

void TControl::SetParentFontFrom(TFont* font) {
  settingParentFont_ = true;
  try {
    font_->Assign(font);
  } catch (...) {
    settingParentFont_ = false;
    throw;
  }
  settingParentFont_ = false;
}

void TControl::SetParentFont(bool v) {
  if (parentFont_ == v) return;
  parentFont_ = v;
  if (v && parent_ && !IsLoading()) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
  popupMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TControl::SetCursor(TCursor v) {
  if (cursor_ == v) return;
  cursor_ = v;
  Perform(CM_CURSORCHANGED);
}

TSize TControl::TextExtentOf(std::string_view text) const {
  return TextService()->TextExtent(text, *font_);
}

void TControl::Click() {
  onClick_(this);
}

void TControl::DblClick() {
  onDblClick_(this);
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  std::erase(list, this);
  list.push_back(this);
  Changed("ZOrder");
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  std::erase(list, this);
  list.insert(list.begin(), this);
  Changed("ZOrder");
}

void TControl::Invalidate() {
  Changed("Paint");
}

void TControl::WndProc(TMessage& message) {
  // Mouse messages of a disabled control go nowhere.
  if (message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MOUSEWHEEL && !enabled_) return;
  Dispatch(message);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  onMouseDown_(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  onMouseMove_(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  onMouseUp_(this, button, shift, x, y);
}

void TControl::WMLButtonDown(TMessage& m) {
  controlState_.Include(csLButtonDown);
  if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
  const TPoint p = LParamToPoint(m.LParam);
  MouseDown(mbLeft, MouseKeysToShiftState(m.WParam), p.X, p.Y);
  DefaultHandler(m);
}

void TControl::WMLButtonUp(TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  const bool clicked = controlState_.Contains(csClicked);
  controlState_.Exclude(csClicked);
  controlState_.Exclude(csLButtonDown);
  DefaultHandler(m);
  if (clicked && ClientRect().Contains(p)) Click();
  MouseUp(mbLeft, MouseKeysToShiftState(m.WParam), p.X, p.Y);
}

void TControl::WMLButtonDblClk(TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  if (controlStyle_.Contains(csDoubleClicks)) DblClick();
  MouseDown(mbLeft, MouseKeysToShiftState(m.WParam) + TShiftState{ssDouble}, p.X, p.Y);
}

void TControl::WMRButtonDown(TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  MouseDown(mbRight, MouseKeysToShiftState(m.WParam), p.X, p.Y);
  DefaultHandler(m);
}

void TControl::WMRButtonUp(TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  MouseUp(mbRight, MouseKeysToShiftState(m.WParam), p.X, p.Y);
  // The platform follows a right button release with the context-menu request.
  Perform(WM_CONTEXTMENU, 0, PointToLParam(ClientToScreen(p)));
}

void TControl::WMMouseMove(TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  MouseMove(MouseKeysToShiftState(m.WParam), p.X, p.Y);
}

void TControl::WMContextMenu(TMessage& m) {
  if (m.Result != 0) return;
  const TPoint screen = LParamToPoint(m.LParam);
  bool handled = false;
  onContextPopup_(this, ScreenToClient(screen), handled);
  if (handled) {
    m.Result = 1;
    return;
  }
  if (popupMenu_ && popupMenu_->AutoPopup()) {
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(screen.X, screen.Y);
    m.Result = 1;
    return;
  }
  if (parent_) parent_->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

void TControl::CMParentFontChanged(TMessage&) {
  if (parentFont_ && parent_) {
    SetParentFontFrom(parent_->Font());
    parentFont_ = true;
  }
}

void TControl::CMParentColorChanged(TMessage&) {
  if (parentColor_ && parent_) {
    SetColor(parent_->Color());
    parentColor_ = true;
  }
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (parentShowHint_ && parent_) {
    const bool v = parent_->ShowHint();
    if (showHint_ != v) {
      showHint_ = v;
      Perform(CM_SHOWHINTCHANGED);
    }
  }
}

void TControl::CMEnabledChanged(TMessage&) {
  Invalidate();
}

void TControl::CMVisibleChanged(TMessage&) {}

void TControl::CMFontChanged(TMessage&) {
  AdjustSize();
  Invalidate();
}

void TControl::CMTextChanged(TMessage&) {
  AdjustSize();
  Invalidate();
}

void TControl::CMHitTest(TMessage& m) {
  m.Result = 1;  // HTCLIENT
}

void TControl::CMMouseEnter(TMessage&) {
  if (ShowHint() || !hint_.empty()) Application()->SetHint(GetLongHint(hint_));
}

// --- TGraphicControl ---------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TGraphicControl)

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() {
  if (!surface_) surface_ = std::make_unique<TBitmap>();
  return surface_->Canvas();
}

TBitmap* PrepareSurface(std::unique_ptr<TBitmap>& surface, const TControl& control) {
  if (!surface) surface = std::make_unique<TBitmap>();
  surface->SetSize(control.Width(), control.Height());
  TCanvas* canvas = surface->Canvas();
  canvas->Font()->Assign(control.Font());
  canvas->Brush()->SetColor(control.Color());
  return surface.get();
}

TBitmap* TGraphicControl::PaintControl() {
  PrepareSurface(surface_, *this);
  Paint();
  return surface_.get();
}

// --- TWinControl -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TWinControl,
                  .Prop<&TWinControl::ImeMode, &TWinControl::SetImeMode>("ImeMode")
                      .Prop<&TWinControl::ImeName, &TWinControl::SetImeName>("ImeName")
                      .Prop<&TWinControl::TabOrder, &TWinControl::SetTabOrder>("TabOrder")
                      .Prop<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop")
                      .Prop<&TWinControl::OnEnter, &TWinControl::SetOnEnter>("OnEnter")
                      .Prop<&TWinControl::OnExit, &TWinControl::SetOnExit>("OnExit")
                      .Prop<&TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown>("OnKeyDown")
                      .Prop<&TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress>("OnKeyPress")
                      .Prop<&TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp>("OnKeyUp")
                      .Message<&TWinControl::WMSetFocus>(WM_SETFOCUS)
                      .Message<&TWinControl::WMKillFocus>(WM_KILLFOCUS)
                      .Message<&TWinControl::CMEnter>(CM_ENTER)
                      .Message<&TWinControl::CMExit>(CM_EXIT)
                      .Message<&TWinControl::WMKeyDown>(WM_KEYDOWN)
                      .Message<&TWinControl::WMKeyDown>(WM_SYSKEYDOWN)
                      .Message<&TWinControl::WMKeyUp>(WM_KEYUP)
                      .Message<&TWinControl::WMKeyUp>(WM_SYSKEYUP)
                      .Message<&TWinControl::WMChar>(WM_CHAR)
                      .Message<&TWinControl::CNKeyDown>(CN_KEYDOWN)
                      .Message<&TWinControl::CNKeyDown>(CN_SYSKEYDOWN)
                      .Message<&TWinControl::CNKeyUp>(CN_KEYUP)
                      .Message<&TWinControl::CNChar>(CN_CHAR)
                      .Message<&TWinControl::CMDialogKey>(CM_DIALOGKEY)
                      .Message<&TWinControl::CMDialogChar>(CM_DIALOGCHAR)
                      .Message<&TWinControl::CMFocusChanged>(CM_FOCUSCHANGED)
                      .Message<&TWinControl::CMChildKey>(CM_CHILDKEY)
                      .Message<&TWinControl::CMShowingChanged>(CM_SHOWINGCHANGED)
                      .Message<&TWinControl::CMVisibleChangedWin>(CM_VISIBLECHANGED)
                      .Message<&TWinControl::CMEnabledChangedWin>(CM_ENABLEDCHANGED)
                      .Message<&TWinControl::CMFontChangedWin>(CM_FONTCHANGED)
                      .Message<&TWinControl::CMColorChanged>(CM_COLORCHANGED)
                      .Message<&TWinControl::CMShowHintChanged>(CM_SHOWHINTCHANGED)
                      .Message<&TWinControl::WMSize>(WM_SIZE))

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Deleted without Free: leave the parent while this is still a windowed control.
  if (parent_) parent_->RemoveControl(this);
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    child->Free();
  }
  ForgetKeyboardFocus(this);
  if (handle_) DeallocateHWnd(handle_);
}

void TWinControl::BeforeDestruction() {
  Destroying();
  // The platform frees the children still on a control with it, last first.
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    child->Free();
  }
  TControl::BeforeDestruction();
  ForgetKeyboardFocus(this);
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return controls_[index];
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || std::find(controls_.begin(), controls_.end(), control) != controls_.end()) return;
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    tabList_.push_back(win);
    if (win->tabOrder_ >= 0 && !win->IsLoading()) win->UpdateTabOrder(win->tabOrder_);
  }
  if (!control->ComponentState().Contains(csReading)) {
    control->Perform(CM_PARENTCOLORCHANGED);
    control->Perform(CM_PARENTFONTCHANGED);
    control->Perform(CM_PARENTSHOWHINTCHANGED);
    control->RequestAlign();
  }
  if (auto* win = dynamic_cast<TWinControl*>(control)) win->UpdateControlState();
  ControlListChanged(control, true);
}

void TWinControl::RemoveControl(TControl* control) {
  const auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(win, true);
    std::erase(tabList_, win);
  }
  controls_.erase(std::find(controls_.begin(), controls_.end(), control));
  control->parent_ = nullptr;
  ControlListChanged(control, false);
  if (control->Align() != alNone && !IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
    c->WndProc(message);
    if (message.Result != 0) return;
  }
}

HWND TWinControl::Handle() {
  if (!handle_) CreateWnd();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params = TCreateParams{};
  params.Caption = GetText();
  params.Style = WS_CHILD;
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = Left();
  params.Y = Top();
  params.Width = Width();
  params.Height = Height();
  params.WndParent = Parent() ? Parent()->Handle() : 0;
  params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  CreateParams(params_);
  handle_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

void TWinControl::RecreateWnd() {
  if (handle_) CreateParams(params_);
  Changed("Recreate");
}

int TWinControl::TabOrder() const {
  if (!parent_) return tabOrder_ < 0 ? -1 : tabOrder_;
  if (IsLoading()) return tabOrder_;
  const auto& list = parent_->tabList_;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (v < 0) return;
  tabOrder_ = v;
  if (!IsLoading() && parent_) UpdateTabOrder(v);
}

void TWinControl::UpdateTabOrder(int value) {
  auto& list = parent_->tabList_;
  const auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  const int count = static_cast<int>(list.size());
  list.insert(list.begin() + std::min(value, count), this);
  for (size_t i = 0; i < list.size(); ++i) list[i]->tabOrder_ = static_cast<int>(i);
}

// After reading, the tab list follows the TabOrder values the children were read with.
void TWinControl::FixupTabList() {
  std::stable_sort(tabList_.begin(), tabList_.end(), [](TWinControl* a, TWinControl* b) {
    const int ta = a->tabOrder_ < 0 ? INT32_MAX : a->tabOrder_;
    const int tb = b->tabOrder_ < 0 ? INT32_MAX : b->tabOrder_;
    return ta < tb;
  });
  for (size_t i = 0; i < tabList_.size(); ++i) tabList_[i]->tabOrder_ = static_cast<int>(i);
}

void TWinControl::SetTabStop(bool v) {
  if (tabStop_ == v) return;
  tabStop_ = v;
  Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::CanFocus() const {
  const TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (const TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  return Input().focus == this;
}

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  form->FocusControl(this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : tabList_) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
  if (start == count) start = goForward ? count - 1 : 0;
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i == 0 ? count : i) - 1;
    TWinControl* c = list[i];
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop))
    next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) form->SetActiveControl(c);
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0) --alignLevel_;
  if (alignLevel_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
  if (IsDestroying()) return;
  if (alignLevel_ != 0 || IsLoading()) {
    controlState_.Include(csAlignmentNeeded);
    return;
  }
  AlignNow();
}

void TWinControl::AlignNow() {
  DisableAlign();
  try {
    TRect r = ClientRect();
    AlignControls(nullptr, r);
  } catch (...) {
    controlState_.Exclude(csAlignmentNeeded);
    EnableAlign();
    throw;
  }
  // NOTE: requests made while aligning (children moved by it) are already satisfied.
  controlState_.Exclude(csAlignmentNeeded);
  EnableAlign();
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  AdjustClientRect(rect);
  std::vector<TControl*> list;
  auto insertBefore = [](TControl* a, TControl* b, TAlign align) {
    switch (align) {
      case alTop:
        return a->Top() < b->Top();
      case alBottom:
        return a->Top() + a->Height() >= b->Top() + b->Height();
      case alLeft:
        return a->Left() < b->Left();
      case alRight:
        return a->Left() + a->Width() >= b->Left() + b->Width();
      default:
        return false;
    }
  };
  auto position = [&rect](TControl* c, TAlign align) {
    int w = rect.Right - rect.Left;
    if (w < 0 || align == alLeft || align == alRight) w = c->Width();
    int h = rect.Bottom - rect.Top;
    if (h < 0 || align == alTop || align == alBottom) h = c->Height();
    int l = rect.Left;
    int t = rect.Top;
    switch (align) {
      case alTop:
        rect.Top += h;
        break;
      case alBottom:
        rect.Bottom -= h;
        t = rect.Bottom;
        break;
      case alLeft:
        rect.Left += w;
        break;
      case alRight:
        rect.Right -= w;
        l = rect.Right;
        break;
      default:
        break;
    }
    c->SetBounds(l, t, w, h);
    // A control that kept another size than asked gives the difference back.
    switch (align) {
      case alTop:
        rect.Top -= h - c->Height();
        break;
      case alBottom:
        rect.Bottom += h - c->Height();
        break;
      case alLeft:
        rect.Left -= w - c->Width();
        break;
      case alRight:
        rect.Right += w - c->Width();
        break;
      case alClient:
        rect.Right -= w - c->Width();
        rect.Bottom -= h - c->Height();
        break;
      default:
        break;
    }
  };
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    list.clear();
    if (control && control->Visible() && control->Align() == align) list.push_back(control);
    for (TControl* c : controls_) {
      if (c == control || c->Align() != align || !c->Visible()) continue;
      size_t j = 0;
      while (j < list.size() && !insertBefore(c, list[j], align)) ++j;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
    }
    for (TControl* c : list) position(c, align);
  }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  const bool sized = std::max(width, 0) != Width() || std::max(height, 0) != Height();
  TControl::SetBounds(left, top, width, height);
  if (sized) Perform(WM_SIZE, 0, PointToLParam(Point(ClientWidth(), ClientHeight())));
}

void TWinControl::WMSize(TMessage&) {
  Realign();
}

void TWinControl::Loaded() {
  FixupTabList();
  TControl::Loaded();
  Realign();
  UpdateControlState();
}

bool TWinControl::Showing() const {
  return showing_;
}

// The platform's rule: a control becomes showing when it is visible and its parent shows;
// a parent that hides leaves its children's state alone.
void TWinControl::UpdateShowing() {
  const bool show = Visible() && !IsLoading();
  if (show) {
    HandleNeeded();
    const std::vector<TWinControl*> children = tabList_;
    for (TWinControl* c : children) c->UpdateShowing();
  }
  if (showing_ != show) {
    showing_ = show;
    Perform(CM_SHOWINGCHANGED);
  }
}

// Showing is updated only when every parent shows and the outermost one is a form.
void TWinControl::UpdateControlState() {
  const TWinControl* top = this;
  while (top->Parent()) {
    top = top->Parent();
    if (!top->showing_) return;
  }
  if (dynamic_cast<const TCustomForm*>(top)) UpdateShowing();
}

void TWinControl::CMVisibleChangedWin(TMessage&) {
  if (!Visible() && parent_)
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  UpdateControlState();
}

void TWinControl::CMShowingChanged(TMessage&) {
  ShowingChanged();
}

void TWinControl::CMEnabledChangedWin(TMessage& m) {
  if (!Enabled() && parent_)
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  TControl::CMEnabledChanged(m);
}

void TWinControl::CMFontChangedWin(TMessage& m) {
  TControl::CMFontChanged(m);
  TMessage notify{CM_PARENTFONTCHANGED, 0, 0, 0};
  Broadcast(notify);
}

void TWinControl::CMColorChanged(TMessage&) {
  TMessage notify{CM_PARENTCOLORCHANGED, 0, 0, 0};
  Broadcast(notify);
}

void TWinControl::CMShowHintChanged(TMessage&) {
  TMessage notify{CM_PARENTSHOWHINTCHANGED, 0, 0, 0};
  Broadcast(notify);
}

void TWinControl::WMSetFocus(TMessage&) {
  if (IsDestroying()) return;
  if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage&) {}

void TWinControl::CMEnter(TMessage&) {
  DoEnter();
}

void TWinControl::CMExit(TMessage&) {
  DoExit();
}

void TWinControl::CMFocusChanged(TMessage& m) {
  Broadcast(m);
}

void TWinControl::CMChildKey(TMessage& m) {
  if (parent_) parent_->WndProc(m);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  onKeyDown_(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  onKeyUp_(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  onKeyPress_(this, key);
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyDown(key, shift);
    if (key == 0) return true;
  }
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyDown(key, shift);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyUp(key, shift);
    if (key == 0) return true;
  }
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyUp(key, shift);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(char& key) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    static_cast<TWinControl*>(form)->KeyPress(key);
    if (key == 0) return true;
  }
  if (!controlStyle_.Contains(csNoStdEvents)) {
    KeyPress(key);
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (DoKeyDown(key, KeyboardState())) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (DoKeyUp(key, KeyboardState())) return;
  m.WParam = key;
  DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m) {
  if (m.WParam < 0x80) {
    char key = static_cast<char>(m.WParam);
    if (DoKeyPress(key)) return;
    m.WParam = static_cast<unsigned char>(key);
  }
  DefaultHandler(m);
}

// The dialog-key phase: a key the control does not claim goes to its form as CM_DIALOGKEY;
// a consumed key produces no key events and no character.
void TWinControl::CNKeyDown(TMessage& m) {
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if (form && form->IsShortCut(static_cast<WORD>(m.WParam), KeyboardState())) return;
  if (Perform(CM_CHILDKEY, m.WParam, PointerToLParam(this)) != 0) return;
  LRESULT mask = 0;
  switch (m.WParam) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
    default:
      break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam) == 0 &&
      (Perform(WM_GETDLGCODE) & mask) == 0 && form &&
      form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0)
    return;
  m.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& m) {
  m.Result = 0;
}

void TWinControl::CNChar(TMessage& m) {
  m.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
    return;
  m.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& m) {
  Broadcast(m);
}

void TWinControl::CMDialogChar(TMessage& m) {
  Broadcast(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (focusOnClick_ && CanFocus() && !Focused()) SetFocus();
      break;
    case WM_GETDLGCODE:
      m.Result = 0;
      break;
    default:
      TControl::DefaultHandler(m);
  }
}

// --- TCustomControl ----------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TCustomControl)

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() {
  if (!surface_) surface_ = std::make_unique<TBitmap>();
  return surface_->Canvas();
}

TBitmap* TCustomControl::PaintControl() {
  PrepareSurface(surface_, *this);
  Paint();
  return surface_.get();
}

// --- Input ---------------------------------------------------------------------------------------

namespace {

// Holds the modifier keys while one input event is delivered.
class HeldKeys {
 public:
  explicit HeldKeys(TShiftState shift) : saved_(Input().keys) { Input().keys = shift; }
  ~HeldKeys() { Input().keys = saved_; }
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

 private:
  TShiftState saved_;
};

// The character a key produces, 0 for none.
uint32_t CharOfKey(WORD key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  const bool upper = shift.Contains(ssShift);
  if (key >= 'A' && key <= 'Z') {
    if (ctrl) return static_cast<uint32_t>(key - 'A' + 1);
    if (shift.Contains(ssAlt)) return 0;
    return upper ? key : static_cast<uint32_t>(key - 'A' + 'a');
  }
  if (ctrl || shift.Contains(ssAlt)) return 0;
  if (key >= '0' && key <= '9' && !upper) return key;
  switch (key) {
    case VK_SPACE:
      return ' ';
    case VK_RETURN:
      return '\r';
    case VK_ESCAPE:
      return 27;
    case VK_BACK:
      return 8;
    case VK_TAB:
      return '\t';
    default:
      return 0;
  }
}

TWinControl* KeyTarget() {
  if (Input().focus) return Input().focus;
  if (auto* form = dynamic_cast<TCustomForm*>(Screen()->ActiveForm())) return form;
  return nullptr;
}

// One character message pair (CN_CHAR, then WM_CHAR) to the window `h`.
void DeliverChar(HWND h, uint32_t ch) {
  if (!IsWindow(h)) return;
  if (SendMessage(h, CN_CHAR, ch, 0) == 0) SendMessage(h, WM_CHAR, ch, 0);
}

void DeliverKey(WORD key, TShiftState shift, uint32_t ch) {
  TWinControl* target = KeyTarget();
  if (!target) return;
  HeldKeys held(shift);
  const HWND h = target->Handle();
  const LPARAM keyData = shift.Contains(ssAlt) ? (LPARAM{1} << 29) : 0;
  const UINT down = shift.Contains(ssAlt) ? CN_SYSKEYDOWN : CN_KEYDOWN;
  if (SendMessage(h, down, key, keyData) == 0) {
    // The character is produced before the key-down is dispatched: a swallowed key-down
    // does not stop it.
    SendMessage(h, shift.Contains(ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, key, keyData);
    if (ch) {
      DeliverChar(h, ch);
    } else if (shift.Contains(ssAlt) && IsWindow(h) &&
               ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
      // Alt with a letter or digit: the accelerators of the form's controls.
      if (TCustomForm* form = GetParentForm(target)) form->Perform(CM_DIALOGCHAR, key, keyData);
    }
  }
  if (IsWindow(h) && SendMessage(h, CN_KEYUP, key, keyData) == 0)
    SendMessage(h, shift.Contains(ssAlt) ? WM_SYSKEYUP : WM_KEYUP, key, keyData);
}

bool AcceptsMouse(TControl* control) {
  if (!control || !control->IsEnabledInTree()) return false;
  for (const TControl* c = control; c; c = c->Parent())
    if (!c->Visible()) return false;
  return true;
}

}  // namespace

namespace {

// Input is delivered like the platform's message loop does: an exception that escapes the
// handlers goes to the application's exception handling and no further.
template <class F>
void Guarded(F deliver) {
  try {
    deliver();
  } catch (...) {
    Application()->HandleException(FocusedControl());
  }
}

}  // namespace

void SendKey(WORD key, TShiftState shift) {
  Guarded([&] { DeliverKey(key, shift, CharOfKey(key, shift)); });
}

void SendText(std::string_view text) {
  for (uint32_t c : Utf8CodePoints(text))
    Guarded([&] {
      if (c >= 'a' && c <= 'z') {
        DeliverKey(static_cast<WORD>(c - 'a' + 'A'), {}, c);
      } else if (c >= 'A' && c <= 'Z') {
        DeliverKey(static_cast<WORD>(c), {ssShift}, c);
      } else if ((c >= '0' && c <= '9') || c == ' ') {
        DeliverKey(static_cast<WORD>(c), {}, c);
      } else if (TWinControl* target = KeyTarget()) {
        DeliverChar(target->Handle(), c);
      }
    });
}

void SendMouseDown(TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  if (!AcceptsMouse(control)) return;
  HeldKeys held(shift);
  const UINT msg = button == mbLeft    ? WM_LBUTTONDOWN
                   : button == mbRight ? WM_RBUTTONDOWN
                                       : WM_MBUTTONDOWN;
  Guarded([&] {
    control->Perform(msg, ShiftStateToMouseKeys(shift, button, true), PointToLParam(Point(x, y)));
  });
}

void SendMouseUp(TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  if (!AcceptsMouse(control)) return;
  HeldKeys held(shift);
  const UINT msg = button == mbLeft    ? WM_LBUTTONUP
                   : button == mbRight ? WM_RBUTTONUP
                                       : WM_MBUTTONUP;
  Guarded([&] {
    control->Perform(msg, ShiftStateToMouseKeys(shift, button, false), PointToLParam(Point(x, y)));
  });
}

void SendMouseMove(TControl* control, int x, int y, TShiftState shift) {
  if (!AcceptsMouse(control)) return;
  HeldKeys held(shift);
  control->Perform(CM_MOUSEENTER);
  control->Perform(WM_MOUSEMOVE, ShiftStateToMouseKeys(shift, mbLeft, false),
                   PointToLParam(Point(x, y)));
}

namespace {

// Tells whether a component was freed while input was delivered to it.
class TFreeWatch : public IComponentObserver {
 public:
  explicit TFreeWatch(TComponent* target) : target_(target) { AddComponentObserver(this); }
  ~TFreeWatch() override { RemoveComponentObserver(this); }
  TFreeWatch(const TFreeWatch&) = delete;
  TFreeWatch& operator=(const TFreeWatch&) = delete;
  bool Alive() const { return alive_; }
  void ComponentChanged(TComponent* c, TObserverEvent e, std::string_view) override {
    if (c == target_ && e == oeDestroying) alive_ = false;
  }

 private:
  TComponent* target_;
  bool alive_ = true;
};

}  // namespace

void SendMouseClick(TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  if (!AcceptsMouse(control)) return;
  // The press may free the control (a button that closes its form).
  TFreeWatch watch(control);
  SendMouseDown(control, x, y, button, shift);
  if (watch.Alive()) SendMouseUp(control, x, y, button, shift);
}

void SendMouseClick(TControl* control) {
  if (control) SendMouseClick(control, control->Width() / 2, control->Height() / 2);
}

void SendMouseDblClick(TControl* control, int x, int y) {
  if (!AcceptsMouse(control)) return;
  TFreeWatch watch(control);
  SendMouseClick(control, x, y);
  if (watch.Alive())
    Guarded([&] { control->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, PointToLParam(Point(x, y))); });
  if (watch.Alive()) SendMouseUp(control, x, y);
}

void SendMouseDoublePress(TControl* control, int x, int y, TShiftState shift) {
  if (!AcceptsMouse(control)) return;
  HeldKeys held(shift);
  Guarded([&] {
    control->Perform(WM_LBUTTONDBLCLK, ShiftStateToMouseKeys(shift, mbLeft, true),
                     PointToLParam(Point(x, y)));
  });
}
