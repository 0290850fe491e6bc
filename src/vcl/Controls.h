// Controls: TControl (bounds, alignment, visibility, text, font, colour, hints, mouse) and
// TWinControl (children, tab order, focus, keys, window handle), the graphic and custom
// (self-painting) controls, and the input entry points through which tests and the view
// feed keys and mouse clicks into the model.
//
// Outward changes are announced to the component observers (Classes.h): oeCreated
// ("Created") and oeDestroying, and oeChanged naming what changed: "Parent", "Bounds",
// "Visible", "Enabled", "Text", "Font", "Color", "Hint", "Focus", "Paint", "ZOrder",
// "Recreate"; the descendants add their own ("Checked", "Items", "ItemIndex", "Selection",
// "ActivePage", "Tabs", "Down", "Glyph", "ReadOnly", "Columns", "Editing", "Cells",
// "Active", "Modal", "Popup" ...), each named after the property that changed.
// Nothing is announced while the control is being loaded from a form resource; it announces
// oeCreated once it is loaded (or placed on a parent outside loading) and the view reads the
// rest from the control itself.
//
// Deviations by design:
// - Anchors are stored but do not move controls when the parent is resized.
// - Every control publishes the common control properties (font, colour, hints, mouse and,
//   for windowed controls, key and focus events), also where the platform keeps some of
//   them protected for a class.
// - Characters outside ASCII arrive whole (WM_CHAR carries the Unicode code point); they do
//   not fire OnKeyPress, whose key is one byte.
// - The window handle is created when the control is first shown or its handle is asked
//   for, and kept until the control is freed: RecreateWnd only re-reads the creation
//   parameters.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"
#include "Events.h"
#include "Graphics.h"
#include "Messages.h"
#include "Types.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

KXBR_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
KXBR_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;
KXBR_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents,
          csFramed, csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight,
          csNoDesignVisible, csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector,
          csActionClient, csMenuEvents)
using TControlStyle = TSet<TControlStyleItem>;
KXBR_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded,
          csFocusing, csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
using TControlState = TSet<TControlStateItem>;
KXBR_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
using TLeftRight = TAlignment;
KXBR_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
KXBR_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
KXBR_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
KXBR_ENUM(TDragMode, dmManual, dmAutomatic)
KXBR_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata,
          imKata, imChinese, imSHanguel, imHanguel)

// A form's modal result; buttons carry one.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;
const TTypeInfo* ModalResultTypeInfo();

// Window styles that controls read from their creation parameters.
inline constexpr uint32_t WS_CHILD = 0x40000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_DISABLED = 0x08000000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t BS_RADIOBUTTON = 0x0004;
inline constexpr uint32_t BS_AUTORADIOBUTTON = 0x0009;
inline constexpr uint32_t TCS_FIXEDWIDTH = 0x0400;
inline constexpr uint32_t TCS_OWNERDRAWFIXED = 0x2000;

// What a control's window is created with (the platform's CreateParams record).
struct TCreateParams {
  std::string Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = 0;
  std::string WinClassName;
};

// A mouse position in a message's LParam, as the platform packs it (16-bit signed halves).
LPARAM PointToLParam(TPoint p);
TPoint LParamToPoint(LPARAM lParam);
// The shift state of key data / mouse key flags and the keys held while the current input
// event is delivered (the platform's GetKeyState).
TShiftState KeyboardState();
TShiftState MouseKeysToShiftState(WPARAM keys);
// The hint's parts: "short|long" (no bar: both are the whole text).
std::string GetShortHint(std::string_view hint);
std::string GetLongHint(std::string_view hint);

using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

class TControl : public TComponent {
  KXBR_CLASS(TControl, TComponent)

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // --- Parent ------------------------------------------------------------------------------
  TWinControl* Parent() const { return parent_; }
  // Raises EInvalidOperation when the parent is the control itself or inside it.
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  // --- Bounds ------------------------------------------------------------------------------
  int Left() const { return left_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  int Top() const { return top_; }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  int Width() const { return width_; }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  int Height() const { return height_; }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // The one place bounds change: realigns the parent (aligned controls) and the control's
  // own children, fires OnResize on a size change and announces "Bounds".
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The client area: (0, 0) to the client size; forms subtract their frame.
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  void SetClientWidth(int v);
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientHeight(int v);
  // Client (0, 0) in screen coordinates; forms are placed on the screen by Left/Top.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors v) { anchors_ = v; }
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool v);

  // --- State -------------------------------------------------------------------------------
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show();
  void Hide();
  // Visible and on a showing parent (a form: visible).
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  // Enabled here and in every parent (what input needs).
  bool IsEnabledInTree() const;

  // Caption and Text are one text (the window text).
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& v) { SetText(v); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& v);
  int GetTextLen() const { return static_cast<int>(GetText().size()); }

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v);
  // The effective value: the parent's while ParentShowHint.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);

  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool v) { ctl3D_ = v; }
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool v) { parentCtl3D_ = v; }
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode v) { biDiMode_ = v; }
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool v) { parentBiDiMode_ = v; }
  bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode v) { dragMode_ = v; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor v) { dragCursor_ = v; }

  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int v) { helpContext_ = v; }

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle v) { controlStyle_ = v; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState v) { controlState_ = v; }

  // --- Actions -----------------------------------------------------------------------------
  virtual void Click();
  virtual void DblClick();
  void BringToFront();
  void SendToBack();
  // Announces "Paint" (the view repaints); controls that paint themselves repaint their
  // surface first.
  virtual void Invalidate();
  void Repaint() { Invalidate(); }
  void Refresh() { Invalidate(); }
  void Update() {}

  // --- Events ------------------------------------------------------------------------------
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = e; }
  const TNotifyEvent& OnDblClick() const { return onDblClick_; }
  void SetOnDblClick(TNotifyEvent e) { onDblClick_ = e; }
  const TMouseEvent& OnMouseDown() const { return onMouseDown_; }
  void SetOnMouseDown(TMouseEvent e) { onMouseDown_ = e; }
  const TMouseMoveEvent& OnMouseMove() const { return onMouseMove_; }
  void SetOnMouseMove(TMouseMoveEvent e) { onMouseMove_ = e; }
  const TMouseEvent& OnMouseUp() const { return onMouseUp_; }
  void SetOnMouseUp(TMouseEvent e) { onMouseUp_ = e; }
  const TNotifyEvent& OnResize() const { return onResize_; }
  void SetOnResize(TNotifyEvent e) { onResize_ = e; }
  const TContextPopupEvent& OnContextPopup() const { return onContextPopup_; }
  void SetOnContextPopup(TContextPopupEvent e) { onContextPopup_ = e; }

  void WndProc(TMessage& message) override;
  void Loaded() override;

 protected:
  friend class TWinControl;

  virtual std::string GetText() const { return text_; }
  // Stores the text; the caller announces and sends CM_TEXTCHANGED.
  virtual void SetTextBuf(const std::string& v) { text_ = v; }
  // Tells the observers unless the control is loading or dying.
  void Changed(std::string_view what);
  // Once per control: after loading, or when placed outside loading.
  virtual void AnnounceCreated();
  bool Announced() const { return announced_; }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  void Notification(TComponent* component, TOperation operation) override;

  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Resize() { onResize_(this); }
  // The size the control wants with AutoSize; false when it has no preference.
  virtual bool CanAutoSize(int& newWidth, int& newHeight);
  virtual void AdjustSize();
  virtual void RequestAlign();
  virtual void VisibleChanging() {}
  virtual void FontChanged(TObject* sender);
  // Where a child's text measurements come from.
  TSize TextExtentOf(std::string_view text) const;

  // The platform's message handlers (registered per class).
  void WMLButtonDown(TMessage& m);
  void WMLButtonUp(TMessage& m);
  void WMLButtonDblClk(TMessage& m);
  void WMRButtonDown(TMessage& m);
  void WMRButtonUp(TMessage& m);
  void WMMouseMove(TMessage& m);
  void WMContextMenu(TMessage& m);
  void CMParentFontChanged(TMessage& m);
  void CMParentColorChanged(TMessage& m);
  void CMParentShowHintChanged(TMessage& m);
  void CMEnabledChanged(TMessage& m);
  void CMVisibleChanged(TMessage& m);
  void CMFontChanged(TMessage& m);
  void CMTextChanged(TMessage& m);
  void CMHitTest(TMessage& m);
  void CMMouseEnter(TMessage& m);

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;

 private:
  void UpdateBoundsRect(const TRect& r);
  void SetParentFontFrom(TFont* font);

  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  bool autoSize_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TDragMode dragMode_ = dmManual;
  TCursor dragCursor_ = crDrag;
  TPopupMenu* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
  int helpContext_ = 0;
  bool announced_ = false;
  bool leftParent_ = false;
  bool settingParentFont_ = false;
  TNotifyEvent onClick_;
  TNotifyEvent onDblClick_;
  TMouseEvent onMouseDown_;
  TMouseMoveEvent onMouseMove_;
  TMouseEvent onMouseUp_;
  TNotifyEvent onResize_;
  TContextPopupEvent onContextPopup_;
};

// A control without a window of its own that paints itself on a surface (a bitmap of its
// size): labels, speed buttons, bevels, images.
class TGraphicControl : public TControl {
  KXBR_CLASS(TGraphicControl, TControl)

 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  TCanvas* Canvas();
  // Paints the control afresh on its surface and returns the surface.
  TBitmap* PaintControl();

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TBitmap> surface_;
};

// The offscreen surface of a self-painted control: made on first use, sized to the
// control, with the control's font and colour on its canvas.
TBitmap* PrepareSurface(std::unique_ptr<TBitmap>& surface, const TControl& control);

class TWinControl : public TControl {
  KXBR_CLASS(TWinControl, TControl)

 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // --- Children ----------------------------------------------------------------------------
  // All child controls, in z-order (first is at the back).
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // True for the control itself and everything inside it.
  bool ContainsControl(const TControl* control) const;
  // The topmost visible child under `p` (client coordinates), or null.
  TControl* ControlAtPos(TPoint p, bool allowDisabled) const;
  // Sends the message to each child until one sets a non-zero Result.
  void Broadcast(TMessage& message);

  // --- Window ------------------------------------------------------------------------------
  HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }
  void HandleNeeded() { Handle(); }
  // Re-reads the creation parameters (style changes); the handle stays.
  void RecreateWnd();
  const TCreateParams& WindowParams() const { return params_; }

  // --- Tab order and focus ------------------------------------------------------------------
  // Position in the parent's tab order; -1 without parent. Values beyond the end put the
  // control last; negative values are rejected (nothing changes).
  int TabOrder() const;
  void SetTabOrder(int v);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  // Visible and enabled up to its form (the form itself need not be showing).
  virtual bool CanFocus() const;
  // Has the keyboard focus.
  bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();
  // Descendants in tab order, depth first (a container before its children).
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  void SelectFirst();
  // The direct windowed children in tab order.
  const std::vector<TWinControl*>& TabList() const { return tabList_; }

  // --- Alignment ----------------------------------------------------------------------------
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  void Realign();
  // The area left to aligned children: the client rectangle less borders and captions.
  virtual void AdjustClientRect(TRect& rect) const;

  // --- Events --------------------------------------------------------------------------------
  const TNotifyEvent& OnEnter() const { return onEnter_; }
  void SetOnEnter(TNotifyEvent e) { onEnter_ = e; }
  const TNotifyEvent& OnExit() const { return onExit_; }
  void SetOnExit(TNotifyEvent e) { onExit_ = e; }
  const TKeyEvent& OnKeyDown() const { return onKeyDown_; }
  void SetOnKeyDown(TKeyEvent e) { onKeyDown_ = e; }
  const TKeyPressEvent& OnKeyPress() const { return onKeyPress_; }
  void SetOnKeyPress(TKeyPressEvent e) { onKeyPress_ = e; }
  const TKeyEvent& OnKeyUp() const { return onKeyUp_; }
  void SetOnKeyUp(TKeyEvent e) { onKeyUp_ = e; }

  const std::string& ImeName() const { return imeName_; }
  void SetImeName(const std::string& v) { imeName_ = v; }
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode v) { imeMode_ = v; }

  void Loaded() override;
  bool Showing() const override;
  void SetBounds(int left, int top, int width, int height) override;

 protected:
  friend class TControl;
  friend class TCustomForm;

  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void AlignControls(TControl* control, TRect& rect);
  // After a child joined or left (CM_CONTROLLISTCHANGE for descendants that care).
  virtual void ControlListChanged(TControl*, bool /*inserting*/) {}
  void UpdateShowing();
  void UpdateControlState();
  virtual void ShowingChanged() {}

  virtual void DoEnter() { onEnter_(this); }
  virtual void DoExit() { onExit_(this); }
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // Key preview by the form, then the control's own event: true when swallowed.
  bool DoKeyDown(WORD& key, TShiftState shift);
  bool DoKeyUp(WORD& key, TShiftState shift);
  bool DoKeyPress(char& key);

  void DefaultHandler(TMessage& message) override;

  void WMSetFocus(TMessage& m);
  void WMKillFocus(TMessage& m);
  void CMEnter(TMessage& m);
  void CMExit(TMessage& m);
  void WMKeyDown(TMessage& m);
  void WMKeyUp(TMessage& m);
  void WMChar(TMessage& m);
  void CNKeyDown(TMessage& m);
  void CNKeyUp(TMessage& m);
  void CNChar(TMessage& m);
  void CMDialogKey(TMessage& m);
  void CMDialogChar(TMessage& m);
  void CMFocusChanged(TMessage& m);
  void CMChildKey(TMessage& m);
  void CMShowingChanged(TMessage& m);
  void CMVisibleChangedWin(TMessage& m);
  void CMEnabledChangedWin(TMessage& m);
  void CMFontChangedWin(TMessage& m);
  void CMColorChanged(TMessage& m);
  void CMShowHintChanged(TMessage& m);
  void WMSize(TMessage& m);

  // Native controls take the focus when clicked; containers do not.
  bool focusOnClick_ = false;

 private:
  void FixupTabList();
  void UpdateTabOrder(int value);
  void AlignNow();

  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  HWND handle_ = 0;
  TCreateParams params_;
  int tabOrder_ = -1;
  bool tabStop_ = false;
  int alignLevel_ = 0;
  bool showing_ = false;
  std::string imeName_;
  TImeMode imeMode_ = imDontCare;
  TNotifyEvent onEnter_;
  TNotifyEvent onExit_;
  TKeyEvent onKeyDown_;
  TKeyPressEvent onKeyPress_;
  TKeyEvent onKeyUp_;
};

// A windowed control that paints itself on a surface of its size (the platform's
// TCustomControl with its canvas).
class TCustomControl : public TWinControl {
  KXBR_CLASS(TCustomControl, TWinControl)

 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;

  TCanvas* Canvas();
  TBitmap* PaintControl();

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TBitmap> surface_;
};

// The form a control sits on (the outermost form), or null.
TCustomForm* GetParentForm(const TControl* control);
// Like GetParentForm; raises EInvalidOperation "Control 'x' has no parent window" without.
TCustomForm* ValidParentForm(const TControl* control);

// --- Input -------------------------------------------------------------------------------
// The entry points for user input; the Qt view calls them for real input and tests for
// scripted input. Keys go to the control that has the focus, with the platform's routing
// (menu shortcuts, dialog keys, key preview, the control, its default handling). As in the
// platform's message loop, an exception raised while input is handled goes to
// Application()->HandleException (shown, or OnException) and not to the caller.

// The windowed control that has the keyboard focus, or null.
TWinControl* FocusedControl();
// Moves the keyboard focus (the platform's SetFocus): WM_KILLFOCUS to the window losing it,
// WM_SETFOCUS to the one getting it. Forms call it; focus moves of the model go through
// TWinControl::SetFocus.
void SetKeyboardFocus(TWinControl* target);
// One key pressed and released with the given modifiers: key down, the character it
// produces (printable keys, Enter, Esc, Backspace, Tab, Ctrl+letter), key up.
void SendKey(WORD key, TShiftState shift = {});
// Types text, one character at a time: letters, digits and space as key presses, other
// characters as characters only.
void SendText(std::string_view text);
// Mouse input at (x, y) in the control's client coordinates; nothing reaches a control
// that is hidden or disabled. As on the platform, a handler must not free the control its
// event came from (forms use Release); a release after a press that freed it is dropped.
void SendMouseDown(TControl* control, int x, int y, TMouseButton button = mbLeft,
                   TShiftState shift = {});
void SendMouseUp(TControl* control, int x, int y, TMouseButton button = mbLeft,
                 TShiftState shift = {});
void SendMouseMove(TControl* control, int x, int y, TShiftState shift = {});
void SendMouseClick(TControl* control, int x, int y, TMouseButton button = mbLeft,
                    TShiftState shift = {});
// A click in the middle of the control.
void SendMouseClick(TControl* control);
void SendMouseDblClick(TControl* control, int x, int y);
// The second press of a double click where the toolkit reports each press and release
// (press, release, double press, release): WM_LBUTTONDBLCLK in place of the press.
void SendMouseDoublePress(TControl* control, int x, int y, TShiftState shift = {});

// UTF-8 of one Unicode code point, and the code points of a UTF-8 text.
std::string CodePointToUtf8(uint32_t codePoint);
std::vector<uint32_t> Utf8CodePoints(std::string_view text);
