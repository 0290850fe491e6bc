#include "StdCtrls.h"

#include <algorithm>
#include <cmath>

#include "CodePage.h"
#include "Forms.h"

bool IsAccel(WORD key, std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const char c = caption[i + 1];
    const auto upper = [](unsigned v) { return v >= 'a' && v <= 'z' ? v - 'a' + 'A' : v; };
    return upper(static_cast<unsigned char>(c)) == upper(key);
  }
  return false;
}

// --- TEditBuffer -------------------------------------------------------------------------------

namespace {

// Byte offset of character `pos` in UTF-8 text (the end when beyond it).
size_t ByteOffset(std::string_view text, int pos) {
  size_t i = 0;
  for (int n = 0; n < pos && i < text.size(); ++n) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

// CR LF (and lone CR or LF) become CR LF.
std::string AdjustLineBreaks(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t crlf = text.find("\r\n", start);
    if (crlf == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, crlf - start));
    start = crlf + 2;
  }
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace

void TEditBuffer::SetText(std::string_view text) {
  text_ = std::string(text);
  caret_ = anchor_ = 0;
}

int TEditBuffer::Length() const {
  return Utf8Length(text_);
}

void TEditBuffer::Select(int start, int length) {
  const int n = Length();
  start = std::clamp(start, 0, n);
  anchor_ = start;
  caret_ = std::clamp(start + std::max(length, 0), 0, n);
}

void TEditBuffer::MoveCaret(int pos, bool extend) {
  caret_ = std::clamp(pos, 0, Length());
  if (!extend) anchor_ = caret_;
}

std::string TEditBuffer::SelText() const {
  const size_t a = ByteOffset(text_, SelStart());
  const size_t b = ByteOffset(text_, SelStart() + SelLength());
  return text_.substr(a, b - a);
}

bool TEditBuffer::ReplaceSelection(std::string_view s, int maxBytes) {
  const int start = SelStart();
  const size_t a = ByteOffset(text_, start);
  const size_t b = ByteOffset(text_, start + SelLength());
  std::string insert(s);
  if (maxBytes > 0) {
    const std::string rest = text_.substr(0, a) + text_.substr(b);
    const int room = maxBytes - AnsiByteLength(rest);
    insert = room > 0 ? AnsiLeft(insert, room, InterfaceCodePage()) : std::string();
  }
  if (insert.empty() && a == b) return false;
  text_ = text_.substr(0, a) + insert + text_.substr(b);
  caret_ = anchor_ = start + Utf8Length(insert);
  return true;
}

bool TEditBuffer::DeleteBack() {
  if (SelLength() > 0) return ReplaceSelection("", 0);
  if (caret_ == 0) return false;
  const size_t end = ByteOffset(text_, caret_);
  int count = 1;
  if (end >= 2 && text_.compare(end - 2, 2, "\r\n") == 0) count = 2;
  Select(caret_ - count, count);
  return ReplaceSelection("", 0);
}

bool TEditBuffer::DeleteForward() {
  if (SelLength() > 0) return ReplaceSelection("", 0);
  if (caret_ >= Length()) return false;
  const size_t at = ByteOffset(text_, caret_);
  const int count = text_.compare(at, 2, "\r\n") == 0 ? 2 : 1;
  Select(caret_, count);
  return ReplaceSelection("", 0);
}

int TEditBuffer::LineOfChar(int pos) const {
  const size_t end = ByteOffset(text_, pos);
  int line = 0;
  for (size_t i = 0; i + 1 < text_.size() && i + 2 <= end; ++i)
    if (text_[i] == '\r' && text_[i + 1] == '\n') ++line;
  return line;
}

int TEditBuffer::LineCount() const {
  return static_cast<int>(SplitLines(text_).size());
}

int TEditBuffer::LineStart(int line) const {
  const std::vector<std::string> lines = SplitLines(text_);
  if (line < 0 || line >= static_cast<int>(lines.size())) return -1;
  int pos = 0;
  for (int i = 0; i < line; ++i) pos += Utf8Length(lines[i]) + 2;
  return pos;
}

int TEditBuffer::LineLength(int line) const {
  const std::vector<std::string> lines = SplitLines(text_);
  if (line < 0 || line >= static_cast<int>(lines.size())) return 0;
  return Utf8Length(lines[line]);
}

// --- TCustomLabel ------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomLabel,
    .Prop<&TCustomLabel::Alignment, &TCustomLabel::SetAlignment>("Alignment")
        .Prop<&TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize>("AutoSize")
        .Prop<&TCustomLabel::Caption, &TCustomLabel::SetCaption>("Caption")
        .Prop<&TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl>("FocusControl")
        .Prop<&TCustomLabel::Layout, &TCustomLabel::SetLayout>("Layout")
        .Prop<&TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar>("ShowAccelChar")
        .Prop<&TCustomLabel::Transparent, &TCustomLabel::SetTransparent>("Transparent")
        .Prop<&TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap>("WordWrap")
        .Message<&TCustomLabel::CMDialogChar>(CM_DIALOGCHAR))
KXBR_DEFINE_CLASS(TLabel)

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ = controlStyle_ + TControlStyle{csOpaque, csReplicatable};
  // A label takes its parent's colour, as on the platform.
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
  SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (alignment_ == v) return;
  alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (layout_ == v) return;
  layout_ = v;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (transparent_ == v) return;
  transparent_ = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (wordWrap_ == v) return;
  wordWrap_ = v;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (showAccelChar_ == v) return;
  showAccelChar_ = v;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  focusControl_ = v;
  if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

TRect TCustomLabel::TextRect() const {
  std::string text = Caption();
  // An empty caption still takes the height of a line.
  if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
  TCanvas canvas;
  canvas.Font()->Assign(Font());
  TRect r = Rect(0, 0, wordWrap_ ? Width() : 0, 0);
  unsigned flags = DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  DrawText(&canvas, text, r, flags);
  return r;
}

bool TCustomLabel::CanAutoSize(int& newWidth, int& newHeight) {
  const TRect r = TextRect();
  newWidth = r.Width();
  newHeight = r.Height();
  return true;
}

void TCustomLabel::AdjustSize() {
  if (!AutoSize() || IsLoading()) return;
  int w = Width();
  int h = Height();
  if (!CanAutoSize(w, h)) return;
  // A right-justified label keeps its right edge.
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - w;
  SetBounds(left, Top(), w, h);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  if (!transparent_) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
  }
  unsigned flags = wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  TRect r = client;
  if (layout_ != tlTop) {
    const int h = TextRect().Height();
    r.Top = layout_ == tlCenter ? (client.Height() - h) / 2 : client.Height() - h;
  }
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  DrawText(canvas, Caption(), r, flags);
}

void TCustomLabel::CMDialogChar(TMessage& m) {
  if (focusControl_ && Enabled() && showAccelChar_ &&
      IsAccel(static_cast<WORD>(m.WParam), Caption()) && focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    m.Result = 1;
  }
}

// --- TCustomEdit -------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomEdit,
    .Prop<&TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect>("AutoSelect")
        .Prop<&TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize>("AutoSize")
        .Prop<&TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle>("BorderStyle")
        .Prop<&TCustomEdit::CharCase, &TCustomEdit::SetCharCase>("CharCase")
        .Prop<&TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection>("HideSelection")
        .Prop<&TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength>("MaxLength")
        .Prop<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar")
        .Prop<&TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly>("ReadOnly")
        .Prop<&TCustomEdit::Text, &TCustomEdit::SetText>("Text")
        .Prop<&TCustomEdit::OnChange, &TCustomEdit::SetOnChange>("OnChange")
        .Message<&TCustomEdit::CMEnterEdit>(CM_ENTER)
        .Message<&TCustomEdit::CMTextChangedEdit>(CM_TEXTCHANGED))
KXBR_DEFINE_CLASS(TEdit)

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  focusOnClick_ = true;
}

void TCustomEdit::SetMaxLength(int v) {
  maxLength_ = std::max(v, 0);
}

void TCustomEdit::SetReadOnly(bool v) {
  if (readOnly_ == v) return;
  readOnly_ = v;
  Changed("ReadOnly");
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (charCase_ == v) return;
  charCase_ = v;
  if (v != ecNormal) SetText(ApplyCharCase(GetText()));
}

void TCustomEdit::SetPasswordChar(char v) {
  if (passwordChar_ == v) return;
  passwordChar_ = v;
  Changed("Text");
}

std::string TCustomEdit::ApplyCharCase(std::string_view s) const {
  switch (charCase_) {
    case ecUpperCase:
      return UpperCase(s);
    case ecLowerCase:
      return LowerCase(s);
    default:
      return std::string(s);
  }
}

std::string TCustomEdit::DisplayText() const {
  if (!passwordChar_) return buffer_.Text();
  return std::string(static_cast<size_t>(buffer_.Length()), passwordChar_);
}

void TCustomEdit::SetTextBuf(const std::string& v) {
  buffer_.SetText(ApplyCharCase(MultiLine() ? AdjustLineBreaks(v) : v));
  modified_ = false;
}

void TCustomEdit::CMTextChangedEdit(TMessage& m) {
  TControl::CMTextChanged(m);
  Change();
}

void TCustomEdit::Change() {
  onChange_(this);
}

void TCustomEdit::SetSelStart(int v) {
  buffer_.Select(v, 0);
  SelectionChanged();
  Changed("Selection");
}

void TCustomEdit::SetSelLength(int v) {
  buffer_.Select(buffer_.SelStart(), v);
  SelectionChanged();
  Changed("Selection");
}

void TCustomEdit::SetSelText(const std::string& v) {
  if (buffer_.ReplaceSelection(ApplyCharCase(v), maxLength_)) {
    Changed("Text");
    Change();
  }
}

void TCustomEdit::SelectAll() {
  buffer_.Select(0, buffer_.Length());
  SelectionChanged();
  Changed("Selection");
}

void TCustomEdit::ClearSelection() {
  if (buffer_.SelLength() > 0 && buffer_.ReplaceSelection("", 0)) {
    Changed("Text");
    Change();
  }
}

void TCustomEdit::UserChanged() {
  modified_ = true;
  Changed("Text");
  Change();
}

void TCustomEdit::CMEnterEdit(TMessage& m) {
  if (autoSelect_ && !controlState_.Contains(csLButtonDown) && !MultiLine()) SelectAll();
  TWinControl::CMEnter(m);
}

void TCustomEdit::TypeChar(uint32_t ch) {
  if (readOnly_ || ch < 32) return;
  if (buffer_.ReplaceSelection(ApplyCharCase(CodePointToUtf8(ch)), maxLength_)) UserChanged();
}

void TCustomEdit::EditKey(WORD key, TShiftState shift) {
  const bool extend = shift.Contains(ssShift);
  switch (key) {
    case VK_DELETE:
      if (!readOnly_ && buffer_.DeleteForward()) UserChanged();
      break;
    case VK_LEFT:
      buffer_.MoveCaret(buffer_.Caret() - 1, extend);
      Changed("Selection");
      break;
    case VK_RIGHT:
      buffer_.MoveCaret(buffer_.Caret() + 1, extend);
      Changed("Selection");
      break;
    case VK_HOME:
      buffer_.MoveCaret(0, extend);
      Changed("Selection");
      break;
    case VK_END:
      buffer_.MoveCaret(buffer_.Length(), extend);
      Changed("Selection");
      break;
    default:
      break;
  }
}

void TCustomEdit::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_CHAR:
      if (m.WParam == VK_BACK) {
        if (!readOnly_ && buffer_.DeleteBack()) UserChanged();
      } else {
        TypeChar(static_cast<uint32_t>(m.WParam));
      }
      return;
    case WM_KEYDOWN:
      EditKey(static_cast<WORD>(m.WParam), KeyboardState());
      return;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      return;
    case WM_LBUTTONDOWN: {
      // The caret goes to the character boundary nearest the click.
      const TPoint p = LParamToPoint(m.LParam);
      const std::vector<std::string> chars = Utf8Chars(DisplayText());
      int pos = 0;
      std::string prefix;
      for (const std::string& c : chars) {
        const int before = TextExtentOf(prefix).cx;
        prefix += c;
        const int after = TextExtentOf(prefix).cx;
        if (p.X - 2 < (before + after) / 2) break;
        ++pos;
      }
      if (!MultiLine()) {
        buffer_.MoveCaret(pos, KeyboardState().Contains(ssShift));
        SelectionChanged();
      }
      TWinControl::DefaultHandler(m);
      return;
    }
    default:
      TWinControl::DefaultHandler(m);
  }
}

// --- Memo --------------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TMemoStrings)

std::string TMemoStrings::Get(int index) const {
  const std::vector<std::string> lines = SplitLines(memo_->GetText());
  if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
  return lines[index];
}

int TMemoStrings::GetCount() const {
  const std::vector<std::string> lines = SplitLines(memo_->GetText());
  // The empty line after a final line break is no line.
  return static_cast<int>(lines.size()) - (lines.back().empty() ? 1 : 0);
}

void TMemoStrings::Put(int index, const std::string& s) {
  std::vector<std::string> lines = SplitLines(memo_->GetText());
  if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
  lines[index] = s;
  memo_->SetText(JoinLines(lines));
}

void TMemoStrings::Insert(int index, const std::string& s) {
  std::vector<std::string> lines = SplitLines(memo_->GetText());
  if (index < 0 || index > static_cast<int>(lines.size()))
    Error("List index out of bounds (%d)", index);
  lines.insert(lines.begin() + index, s);
  memo_->SetText(JoinLines(lines));
}

void TMemoStrings::Delete(int index) {
  std::vector<std::string> lines = SplitLines(memo_->GetText());
  if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
  lines.erase(lines.begin() + index);
  memo_->SetText(lines.empty() ? std::string() : JoinLines(lines));
}

void TMemoStrings::Clear() {
  memo_->SetText("");
}

void TMemoStrings::SetText(std::string_view text) {
  memo_->SetText(AdjustLineBreaks(text));
}

KXBR_DEFINE_CLASS(TCustomMemo,
                  .Prop<&TCustomMemo::Alignment, &TCustomMemo::SetAlignment>("Alignment")
                      .Prop<&TCustomMemo::Lines, &TCustomMemo::SetLines>("Lines")
                      .Prop<&TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars>("ScrollBars")
                      .Prop<&TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns>("WantReturns")
                      .Prop<&TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs>("WantTabs")
                      .Prop<&TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap>("WordWrap")
                      .Message<&TCustomMemo::WMGetDlgCode>(WM_GETDLGCODE))
KXBR_DEFINE_CLASS(TMemo)

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

TPoint TCustomMemo::CaretPos() const {
  const int line = buffer_.LineOfChar(buffer_.Caret());
  return Point(buffer_.Caret() - buffer_.LineStart(line), line);
}

void TCustomMemo::SetCaretPos(TPoint p) {
  const int line = std::clamp(p.Y, 0, buffer_.LineCount() - 1);
  const int column = std::clamp(p.X, 0, buffer_.LineLength(line));
  buffer_.MoveCaret(buffer_.LineStart(line) + column, false);
  Changed("Selection");
}

void TCustomMemo::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
  if (wantReturns_) m.Result |= DLGC_WANTALLKEYS;
  if (wantTabs_) m.Result |= DLGC_WANTTAB;
}

void TCustomMemo::TypeChar(uint32_t ch) {
  if (ch == '\r') {
    if (wantReturns_ && !ReadOnly() && buffer_.ReplaceSelection("\r\n", MaxLength())) UserChanged();
    return;
  }
  if (ch == '\t') {
    if (wantTabs_ && !ReadOnly() && buffer_.ReplaceSelection("\t", MaxLength())) UserChanged();
    return;
  }
  TCustomEdit::TypeChar(ch);
}

void TCustomMemo::EditKey(WORD key, TShiftState shift) {
  const bool extend = shift.Contains(ssShift);
  const TPoint caret = CaretPos();
  switch (key) {
    case VK_UP:
    case VK_DOWN: {
      const int line = caret.Y + (key == VK_UP ? -1 : 1);
      if (line < 0 || line >= buffer_.LineCount()) return;
      buffer_.MoveCaret(buffer_.LineStart(line) + std::min(caret.X, buffer_.LineLength(line)),
                        extend);
      Changed("Selection");
      return;
    }
    case VK_HOME:
      buffer_.MoveCaret(buffer_.LineStart(caret.Y), extend);
      Changed("Selection");
      return;
    case VK_END:
      buffer_.MoveCaret(buffer_.LineStart(caret.Y) + buffer_.LineLength(caret.Y), extend);
      Changed("Selection");
      return;
    case VK_LEFT:
    case VK_RIGHT: {
      // A line break is one step.
      const int step = key == VK_LEFT ? -1 : 1;
      int target = buffer_.Caret() + step;
      const std::string& t = buffer_.Text();
      const size_t at = ByteOffset(t, key == VK_LEFT ? target - 1 : buffer_.Caret());
      if (at + 1 < t.size() && t[at] == '\r' && t[at + 1] == '\n') target += step;
      buffer_.MoveCaret(target, extend);
      Changed("Selection");
      return;
    }
    default:
      TCustomEdit::EditKey(key, shift);
  }
}

// --- Buttons -----------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TButtonControl,
                  .Prop<&TButtonControl::WordWrap, &TButtonControl::SetWordWrap>("WordWrap")
                      .Message<&TButtonControl::CNCommand>(CN_COMMAND))

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  controlStyle_ = {csSetCaption, csDoubleClicks};
  focusOnClick_ = true;
}

void TButtonControl::CNCommand(TMessage& m) {
  if (((m.WParam >> 16) & 0xFFFF) == BN_CLICKED) NativeClick();
}

void TButtonControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      pressed_ = true;
      TWinControl::DefaultHandler(m);
      return;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        if (ClientRect().Contains(LParamToPoint(m.LParam)))
          Perform(CN_COMMAND, WPARAM{BN_CLICKED} << 16);
      }
      return;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) Perform(CN_COMMAND, WPARAM{BN_CLICKED} << 16);
      return;
    default:
      TWinControl::DefaultHandler(m);
  }
}

KXBR_DEFINE_CLASS(TButton,
                  .Prop<&TButton::Cancel, &TButton::SetCancel>("Cancel")
                      .Prop<&TButton::Caption, &TButton::SetCaption>("Caption")
                      .Prop<&TButton::Default, &TButton::SetDefault>("Default")
                      .Prop<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult",
                                                                             ModalResultTypeInfo())
                      .Message<&TButton::CMDialogKeyButton>(CM_DIALOGKEY)
                      .Message<&TButton::CMDialogCharButton>(CM_DIALOGCHAR)
                      .Message<&TButton::CMFocusChangedButton>(CM_FOCUSCHANGED)
                      .Message<&TButton::WMGetDlgCode>(WM_GETDLGCODE))

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TButton::SetDefault(bool v) {
  if (default_ == v) return;
  default_ = v;
  active_ = v;
  TCustomForm* form = GetParentForm(this);
  if (form && !IsLoading())
    form->Perform(CM_FOCUSCHANGED, 0, PointerToLParam(form->ActiveControl()));
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::CMDialogKeyButton(TMessage& m) {
  const TShiftState shift = KeyboardState();
  const bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
  if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && cancel_)) && plain &&
      CanFocus()) {
    Click();
    m.Result = 1;
    return;
  }
  TWinControl::CMDialogKey(m);
}

void TButton::CMDialogCharButton(TMessage& m) {
  if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
    Click();
    m.Result = 1;
  }
}

void TButton::CMFocusChangedButton(TMessage& m) {
  auto* sender = LParamToPointer<TWinControl>(m.LParam);
  active_ = dynamic_cast<TButton*>(sender) ? sender == this : default_;
}

void TButton::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_BUTTON | (active_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

KXBR_DEFINE_CLASS(
    TCustomCheckBox,
    .Prop<&TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment>("Alignment")
        .Prop<&TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed>("AllowGrayed")
        .Prop<&TCustomCheckBox::Caption, &TCustomCheckBox::SetCaption>("Caption")
        .Prop<&TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked>("Checked")
        .Prop<&TCustomCheckBox::State, &TCustomCheckBox::SetState>("State")
        .Message<&TCustomCheckBox::CMDialogCharCheck>(CM_DIALOGCHAR)
        .Message<&TCustomCheckBox::WMGetDlgCode>(WM_GETDLGCODE))
KXBR_DEFINE_CLASS(TCheckBox)

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
  if (state_ == v) return;
  state_ = v;
  Changed("Checked");
  if (!ClicksDisabled()) Click();
}

TCheckBoxState NextCheckBoxState(TCheckBoxState state, bool allowGrayed) {
  switch (state) {
    case cbUnchecked:
      return allowGrayed ? cbGrayed : cbChecked;
    case cbChecked:
      return cbUnchecked;
    case cbGrayed:
      return cbChecked;
  }
  return state;
}

void TCustomCheckBox::Toggle() {
  SetState(NextCheckBoxState(state_, allowGrayed_));
}

void TCustomCheckBox::CMDialogCharCheck(TMessage& m) {
  if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    m.Result = 1;
  }
}

void TCustomCheckBox::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_BUTTON;
}

KXBR_DEFINE_CLASS(TRadioButton,
                  .Prop<&TRadioButton::Alignment, &TRadioButton::SetAlignment>("Alignment")
                      .Prop<&TRadioButton::Caption, &TRadioButton::SetCaption>("Caption")
                      .Prop<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked")
                      .Message<&TRadioButton::CMDialogCharRadio>(CM_DIALOGCHAR)
                      .Message<&TRadioButton::WMGetDlgCode>(WM_GETDLGCODE))

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  SetTabStop(v);
  Changed("Checked");
  if (!v) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
          sibling && sibling != this)
        sibling->SetChecked(false);
  if (!ClicksDisabled()) Click();
}

void TRadioButton::CMDialogCharRadio(TMessage& m) {
  if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) SetChecked(true);
    m.Result = 1;
  }
}

void TRadioButton::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_RADIOBUTTON | DLGC_BUTTON;
}

// --- Group box ---------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TCustomGroupBox,
                  .Prop<&TCustomGroupBox::Caption, &TCustomGroupBox::SetCaption>("Caption")
                      .Message<&TCustomGroupBox::CMDialogCharGroup>(CM_DIALOGCHAR))
KXBR_DEFINE_CLASS(TGroupBox)

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents,
                   csSetCaption,      csDoubleClicks, csReplicatable};
  SetBounds(0, 0, 185, 105);
  SetColor(clBtnFace);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
  rect.Top += TextExtentOf("0").cy;
  rect = InflateRect(rect, -1, -1);
  if (Ctl3D()) rect = InflateRect(rect, -1, -1);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  const int h = canvas->TextHeight("0");
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(0, h / 2, Width(), Height());
  canvas->Brush()->SetStyle(bsSolid);
  if (!Caption().empty()) {
    TRect r = Rect(8, 0, 0, 0);
    DrawText(canvas, Caption(), r, DT_CALCRECT | DT_SINGLELINE);
    canvas->Brush()->SetColor(Color());
    DrawText(canvas, Caption(), r, DT_SINGLELINE);
  }
}

void TCustomGroupBox::CMDialogCharGroup(TMessage& m) {
  if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
    SelectFirst();
    m.Result = 1;
    return;
  }
  TWinControl::CMDialogChar(m);
}

// --- Item lists --------------------------------------------------------------------------------

KXBR_DEFINE_CLASS(TItemStrings)

int TItemStrings::AddObject(const std::string& s, TObject* object) {
  const int before = Count();
  const int index = TStringList::AddObject(s, object);
  if (Count() > before && resetDepth_ == 0) owner_->ItemInserted(index);
  return index;
}

void TItemStrings::Insert(int index, const std::string& s) {
  TStringList::Insert(index, s);
  if (resetDepth_ == 0) owner_->ItemInserted(index);
}

void TItemStrings::Delete(int index) {
  TStringList::Delete(index);
  if (resetDepth_ == 0) owner_->ItemDeleted(index);
}

void TItemStrings::Clear() {
  TStringList::Clear();
  if (resetDepth_ == 0) owner_->ItemsReset();
}

void TItemStrings::Exchange(int index1, int index2) {
  TStringList::Exchange(index1, index2);
  if (resetDepth_ == 0) owner_->ItemsReset();
}

void TItemStrings::Assign(const TPersistent* source) {
  ++resetDepth_;
  try {
    TStringList::Assign(source);
  } catch (...) {
    --resetDepth_;
    owner_->ItemsReset();
    throw;
  }
  --resetDepth_;
  owner_->ItemsReset();
}

void TItemStrings::Changed() {
  TStringList::Changed();
  if (UpdateCount() == 0) owner_->ItemsChanged();
}

void TItemStrings::SetUpdateState(bool updating) {
  TStringList::SetUpdateState(updating);
  if (!updating) owner_->ItemsChanged();
}

// --- TCustomComboBox ---------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomComboBox,
    .Prop<&TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase>("CharCase")
        .Prop<&TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount>("DropDownCount")
        .Prop<&TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight>("ItemHeight")
        .Prop<&TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex>("ItemIndex")
        .Prop<&TCustomComboBox::Items, &TCustomComboBox::SetItems>("Items")
        .Prop<&TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength>("MaxLength")
        .Prop<&TCustomComboBox::Sorted, &TCustomComboBox::SetSorted>("Sorted")
        .Prop<&TCustomComboBox::Style, &TCustomComboBox::SetStyle>("Style")
        .Prop<&TCustomComboBox::Text, &TCustomComboBox::SetText>("Text")
        .Prop<&TCustomComboBox::OnChange, &TCustomComboBox::SetOnChange>("OnChange")
        .Prop<&TCustomComboBox::OnCloseUp, &TCustomComboBox::SetOnCloseUp>("OnCloseUp")
        .Prop<&TCustomComboBox::OnDrawItem, &TCustomComboBox::SetOnDrawItem>("OnDrawItem")
        .Prop<&TCustomComboBox::OnDropDown, &TCustomComboBox::SetOnDropDown>("OnDropDown")
        .Prop<&TCustomComboBox::OnMeasureItem, &TCustomComboBox::SetOnMeasureItem>("OnMeasureItem")
        .Prop<&TCustomComboBox::OnSelect, &TCustomComboBox::SetOnSelect>("OnSelect")
        .Message<&TCustomComboBox::WMGetDlgCode>(WM_GETDLGCODE)
        .Message<&TCustomComboBox::CMTextChangedCombo>(CM_TEXTCHANGED))
KXBR_DEFINE_CLASS(TComboBox)

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TItemStrings>(this)) {
  controlStyle_ = {csCaptureMouse, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  focusOnClick_ = true;
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (style_ == v) return;
  const bool hadEdit = HasEdit();
  style_ = v;
  if (HasEdit() && !hadEdit) edit_.SetText(itemIndex_ >= 0 ? items_->Strings(itemIndex_) : "");
  RecreateWnd();
  Changed("Style");
  Changed("Text");
}

void TCustomComboBox::SetItemIndex(int v) {
  if (v < 0 || v >= items_->Count()) {
    itemIndex_ = -1;
    edit_.SetText("");
  } else {
    itemIndex_ = v;
    edit_.SetText(items_->Strings(v));
  }
  Changed("ItemIndex");
  Changed("Text");
}

void TCustomComboBox::SetSorted(bool v) {
  if (Sorted() == v) return;
  const std::string selected = itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string();
  items_->SetSorted(v);
  if (itemIndex_ >= 0) itemIndex_ = items_->IndexOf(selected);
  Changed("Items");
}

int TCustomComboBox::ItemHeight() const {
  return itemHeight_ > 0 ? itemHeight_ : TextExtentOf("Wg").cy + 2;
}

void TCustomComboBox::SetItemHeight(int v) {
  itemHeight_ = std::max(v, 0);
}

void TCustomComboBox::SetDroppedDown(bool v) {
  if (droppedDown_ == v) return;
  droppedDown_ = v;
  if (v)
    onDropDown_(this);
  else
    onCloseUp_(this);
  Changed("DroppedDown");
}

void TCustomComboBox::SelectAll() {
  edit_.Select(0, edit_.Length());
}

std::string TCustomComboBox::GetText() const {
  if (HasEdit()) return edit_.Text();
  return itemIndex_ >= 0 && itemIndex_ < items_->Count() ? items_->Strings(itemIndex_)
                                                         : std::string();
}

void TCustomComboBox::SetTextBuf(const std::string& v) {
  if (HasEdit()) {
    edit_.SetText(v);
    return;
  }
  for (int i = 0; i < items_->Count(); ++i)
    if (AnsiCompareText(items_->Strings(i), v) == 0) {
      itemIndex_ = i;
      Changed("ItemIndex");
      return;
    }
}

void TCustomComboBox::CMTextChangedCombo(TMessage& m) {
  TControl::CMTextChanged(m);
}

void TCustomComboBox::Select() {
  if (onSelect_)
    onSelect_(this);
  else
    Change();
}

void TCustomComboBox::SelectItem(int index) {
  if (index < 0 || index >= items_->Count()) return;
  SetDroppedDown(false);
  SelectByUser(index);
}

void TCustomComboBox::SelectByUser(int index) {
  itemIndex_ = index;
  edit_.SetText(items_->Strings(index));
  edit_.Select(0, edit_.Length());
  Changed("ItemIndex");
  Changed("Text");
  Click();
  Select();
}

void TCustomComboBox::UserEdited() {
  Changed("Text");
  Change();
}

void TCustomComboBox::DrawItem(TCanvas* canvas, int index, const TRect& rect,
                               TOwnerDrawState state) {
  if ((style_ == csOwnerDrawFixed || style_ == csOwnerDrawVariable) && onDrawItem_) {
    onDrawItem_(this, index, rect, state);
    return;
  }
  const bool selected = state.Contains(odSelected);
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->FillRect(rect);
  canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  if (index >= 0 && index < items_->Count())
    canvas->TextRect(rect, rect.Left + 2, rect.Top, items_->Strings(index));
}

int TCustomComboBox::MeasureItem(int index) {
  int height = ItemHeight();
  if (style_ == csOwnerDrawVariable) onMeasureItem_(this, index, height);
  return height;
}

void TCustomComboBox::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (droppedDown_) m.Result |= DLGC_WANTALLKEYS;
}

void TCustomComboBox::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN: {
      const WORD key = static_cast<WORD>(m.WParam);
      const TShiftState shift = KeyboardState();
      if (key == VK_F4 || ((key == VK_DOWN || key == VK_UP) && shift.Contains(ssAlt))) {
        SetDroppedDown(!droppedDown_);
        return;
      }
      if ((key == VK_RETURN || key == VK_ESCAPE) && droppedDown_) {
        SetDroppedDown(false);
        return;
      }
      int target = -1;
      if (key == VK_DOWN) target = std::min(itemIndex_ + 1, items_->Count() - 1);
      if (key == VK_UP) target = itemIndex_ < 0 ? 0 : std::max(itemIndex_ - 1, 0);
      if (!HasEdit() && key == VK_HOME) target = 0;
      if (!HasEdit() && key == VK_END) target = items_->Count() - 1;
      if (target >= 0 && target < items_->Count()) {
        if (target != itemIndex_) SelectByUser(target);
        return;
      }
      if (HasEdit()) {
        if (key == VK_DELETE) {
          if (edit_.DeleteForward()) UserEdited();
        } else if (key == VK_LEFT || key == VK_RIGHT) {
          edit_.MoveCaret(edit_.Caret() + (key == VK_LEFT ? -1 : 1), shift.Contains(ssShift));
        } else if (key == VK_HOME || key == VK_END) {
          edit_.MoveCaret(key == VK_HOME ? 0 : edit_.Length(), shift.Contains(ssShift));
        }
      }
      return;
    }
    case WM_CHAR: {
      const auto ch = static_cast<uint32_t>(m.WParam);
      if (HasEdit()) {
        if (ch == VK_BACK) {
          if (edit_.DeleteBack()) UserEdited();
        } else if (ch >= 32) {
          std::string s = CodePointToUtf8(ch);
          if (charCase_ == ecUpperCase) s = UpperCase(s);
          if (charCase_ == ecLowerCase) s = LowerCase(s);
          if (edit_.ReplaceSelection(s, maxLength_)) UserEdited();
        }
        return;
      }
      // A list without edit box: the next item starting with the character.
      if (ch < 32 || items_->Count() == 0) return;
      const std::string typed = UpperCase(CodePointToUtf8(ch));
      const int count = items_->Count();
      for (int n = 1; n <= count; ++n) {
        const int i = (std::max(itemIndex_, -1) + n) % count;
        if (StartsText(typed, items_->Strings(i))) {
          if (i != itemIndex_) SelectByUser(i);
          return;
        }
      }
      return;
    }
    case WM_LBUTTONDOWN:
      TWinControl::DefaultHandler(m);
      if (!HasEdit() || LParamToPoint(m.LParam).X >= Width() - 18) SetDroppedDown(!droppedDown_);
      return;
    default:
      TWinControl::DefaultHandler(m);
  }
}

void TCustomComboBox::ItemInserted(int index) {
  if (itemIndex_ >= index) ++itemIndex_;
}

void TCustomComboBox::ItemDeleted(int index) {
  if (itemIndex_ == index) {
    itemIndex_ = -1;
    if (!HasEdit()) Changed("Text");
  } else if (itemIndex_ > index) {
    --itemIndex_;
  }
}

void TCustomComboBox::ItemsReset() {
  itemIndex_ = -1;
}

void TCustomComboBox::ItemsChanged() {
  Changed("Items");
}

// --- TCustomListBox ----------------------------------------------------------------------------

KXBR_DEFINE_CLASS(
    TCustomListBox,
    .Prop<&TCustomListBox::Columns, &TCustomListBox::SetColumns>("Columns")
        .Prop<&TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect>("ExtendedSelect")
        .Prop<&TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight>("IntegralHeight")
        .Prop<&TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight>("ItemHeight")
        .Prop<&TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex>("ItemIndex")
        .Prop<&TCustomListBox::Items, &TCustomListBox::SetItems>("Items")
        .Prop<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect")
        .Prop<&TCustomListBox::Sorted, &TCustomListBox::SetSorted>("Sorted")
        .Prop<&TCustomListBox::Style, &TCustomListBox::SetStyle>("Style")
        .Prop<&TCustomListBox::OnDrawItem, &TCustomListBox::SetOnDrawItem>("OnDrawItem")
        .Prop<&TCustomListBox::OnMeasureItem, &TCustomListBox::SetOnMeasureItem>("OnMeasureItem")
        .Message<&TCustomListBox::WMGetDlgCode>(WM_GETDLGCODE))
KXBR_DEFINE_CLASS(TListBox)

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TItemStrings>(this)) {
  // Clicks come from the selection, not from the mouse.
  controlStyle_ = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  focusOnClick_ = true;
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::SetStyle(TListBoxStyle v) {
  if (style_ == v) return;
  style_ = v;
  RecreateWnd();
  Changed("Style");
}

void TCustomListBox::SetItemIndex(int v) {
  if (v < 0 || v >= items_->Count()) v = -1;
  if (v == itemIndex_) return;
  itemIndex_ = v;
  if (!multiSelect_) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (v >= 0) selected_[v] = true;
  }
  Changed("ItemIndex");
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (multiSelect_ == v) return;
  multiSelect_ = v;
  if (!v) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (itemIndex_ >= 0) selected_[itemIndex_] = true;
  }
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= items_->Count())
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return selected_[index];
}

void TCustomListBox::SetSelected(int index, bool v) {
  Selected(index);
  if (!multiSelect_) {
    SetItemIndex(v ? index : (itemIndex_ == index ? -1 : itemIndex_));
    return;
  }
  if (selected_[index] == v) return;
  selected_[index] = v;
  Changed("Selection");
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return -1;
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::SetSorted(bool v) {
  if (Sorted() == v) return;
  const std::string selected = itemIndex_ >= 0 ? items_->Strings(itemIndex_) : std::string();
  std::vector<std::string> marked;
  for (int i = 0; i < items_->Count(); ++i)
    if (selected_[i]) marked.push_back(items_->Strings(i));
  items_->SetSorted(v);
  std::fill(selected_.begin(), selected_.end(), false);
  for (const std::string& s : marked)
    if (const int i = items_->IndexOf(s); i >= 0) selected_[i] = true;
  if (itemIndex_ >= 0) itemIndex_ = items_->IndexOf(selected);
  Changed("Items");
}

int TCustomListBox::ItemHeight() const {
  return itemHeight_ > 0 ? itemHeight_ : TextExtentOf("Wg").cy + 2;
}

void TCustomListBox::SetItemHeight(int v) {
  itemHeight_ = std::max(v, 0);
}

void TCustomListBox::SetTopIndex(int v) {
  topIndex_ = std::clamp(v, 0, std::max(items_->Count() - 1, 0));
  Changed("Scroll");
}

void TCustomListBox::ClearSelection() {
  std::fill(selected_.begin(), selected_.end(), false);
  if (!multiSelect_) itemIndex_ = -1;
  Changed("Selection");
}

void TCustomListBox::SelectAll() {
  if (!multiSelect_) return;
  std::fill(selected_.begin(), selected_.end(), true);
  Changed("Selection");
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
  const int h = ItemHeight();
  if (p.Y < 0 || p.X < 0 || p.X >= ClientWidth() || h <= 0) return -1;
  const int index = topIndex_ + p.Y / h;
  if (index < items_->Count()) return index;
  return existing ? -1 : items_->Count();
}

TRect TCustomListBox::ItemRect(int index) const {
  const int h = ItemHeight();
  return Rect(0, (index - topIndex_) * h, ClientWidth(), (index - topIndex_ + 1) * h);
}

void TCustomListBox::DrawItem(TCanvas* canvas, int index, const TRect& rect,
                              TOwnerDrawState state) {
  if (style_ != lbStandard && onDrawItem_) {
    onDrawItem_(this, index, rect, state);
    return;
  }
  const bool selected = state.Contains(odSelected);
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->FillRect(rect);
  canvas->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  if (index >= 0 && index < items_->Count())
    canvas->TextRect(rect, rect.Left + 2, rect.Top, items_->Strings(index));
}

void TCustomListBox::UserSelect(int index, TShiftState shift) {
  if (index < 0 || index >= items_->Count()) return;
  if (!multiSelect_) {
    if (index != itemIndex_) {
      std::fill(selected_.begin(), selected_.end(), false);
      selected_[index] = true;
      itemIndex_ = index;
      Changed("ItemIndex");
    }
  } else if (extendedSelect_ && shift.Contains(ssShift) && anchor_ >= 0) {
    if (!shift.Contains(ssCtrl)) std::fill(selected_.begin(), selected_.end(), false);
    for (int i = std::min(anchor_, index); i <= std::max(anchor_, index); ++i) selected_[i] = true;
    itemIndex_ = index;
    Changed("Selection");
  } else if (!extendedSelect_ || shift.Contains(ssCtrl)) {
    selected_[index] = !selected_[index];
    itemIndex_ = anchor_ = index;
    Changed("Selection");
  } else {
    std::fill(selected_.begin(), selected_.end(), false);
    selected_[index] = true;
    itemIndex_ = anchor_ = index;
    Changed("Selection");
  }
  Click();
}

void TCustomListBox::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomListBox::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      TWinControl::DefaultHandler(m);
      UserSelect(ItemAtPos(LParamToPoint(m.LParam), true), KeyboardState());
      return;
    case WM_KEYDOWN: {
      const int count = items_->Count();
      int target = -1;
      switch (m.WParam) {
        case VK_DOWN:
          target = std::min(itemIndex_ + 1, count - 1);
          break;
        case VK_UP:
          target = std::max(itemIndex_ - 1, 0);
          break;
        case VK_HOME:
          target = 0;
          break;
        case VK_END:
          target = count - 1;
          break;
        default:
          break;
      }
      if (target >= 0 && target < count && target != itemIndex_)
        UserSelect(target, KeyboardState());
      return;
    }
    default:
      TWinControl::DefaultHandler(m);
  }
}

void TCustomListBox::ItemInserted(int index) {
  selected_.insert(selected_.begin() + index, false);
  if (itemIndex_ >= index) ++itemIndex_;
}

void TCustomListBox::ItemDeleted(int index) {
  if (index < static_cast<int>(selected_.size())) selected_.erase(selected_.begin() + index);
  if (itemIndex_ == index)
    itemIndex_ = -1;
  else if (itemIndex_ > index)
    --itemIndex_;
}

void TCustomListBox::ItemsReset() {
  selected_.assign(static_cast<size_t>(items_->Count()), false);
  itemIndex_ = -1;
  anchor_ = -1;
  topIndex_ = 0;
}

void TCustomListBox::ItemsChanged() {
  selected_.resize(static_cast<size_t>(items_->Count()), false);
  Changed("Items");
}
