#include "MaskUtils.h"

#include <algorithm>

#include "CodePage.h"
#include "DateTime.h"

namespace {

using TChars = std::vector<std::string>;

std::string Join(const TChars& chars) {
  std::string s;
  for (const std::string& c : chars) s += c;
  return s;
}

bool IsOneOf(const std::string& ch, std::string_view set) {
  return ch.size() == 1 && set.find(ch[0]) != std::string_view::npos;
}

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(const std::string& ch) {
  return ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9';
}

bool IsControl(const std::string& ch) {
  return ch.size() == 1 && (static_cast<unsigned char>(ch[0]) < 0x20 || ch[0] == 0x7F);
}

// A letter as the mask sees it: ASCII letters and every character beyond ASCII.
bool IsLetter(const std::string& ch) {
  if (ch.empty()) return false;
  const auto c = static_cast<unsigned char>(ch[0]);
  return ch.size() > 1 || c >= 0x80 || IsAsciiLetter(c);
}

}  // namespace

// --- TParsedMask -------------------------------------------------------------------------------

TParsedMask::TParsedMask(std::string_view editMask) : editMask_(editMask) {
  const TChars chars = Utf8Chars(editMask);
  const int n = static_cast<int>(chars.size());
  types_.assign(n, mcLiteral);
  bool escaped = false;
  // Fields live in the last four characters, and only in masks of four or more.
  auto inFieldZone = [n](int i) { return n >= 4 && i >= n - 4; };
  for (int i = 0; i < n; ++i) {
    const std::string& c = chars[i];
    TMaskCharType t = mcLiteral;
    if (escaped)
      t = mcLiteral;
    else if (c == ";" && inFieldZone(i))
      t = mcFieldSeparator;
    else if (inFieldZone(i) && i > 0 && types_[i - 1] == mcFieldSeparator)
      t = mcField;
    else if (IsOneOf(c, ":/"))
      t = mcIntlLiteral;
    else if (IsOneOf(c, "!<>\\"))
      t = mcDirective;
    else if (IsOneOf(c, "lac9#"))
      t = mcMaskOpt;
    else if (IsOneOf(c, "LAC0"))
      t = mcMask;
    escaped = t == mcDirective && c == "\\";
    types_[i] = t;
  }

  // Case directives hold from where they stand; "<>" switches conversion off.
  TMaskDirectives current;
  for (int i = 0; i < n; ++i) {
    if (types_[i] == mcDirective) {
      if (chars[i] == "!") {
        reverse_ = true;
      } else if (chars[i] == ">") {
        current.Exclude(mdLowerCase);
        const bool afterLower = i > 0 && types_[i - 1] == mcDirective && chars[i - 1] == "<";
        if (!afterLower) current.Include(mdUpperCase);
      } else if (chars[i] == "<") {
        current.Exclude(mdUpperCase);
        current.Include(mdLowerCase);
      }
      continue;
    }
    if (types_[i] == mcField || types_[i] == mcFieldSeparator) continue;
    TMaskDirectives d = current;
    if (types_[i] == mcLiteral) d.Include(mdLiteralChar);
    positions_.push_back({types_[i], chars[i], d});
  }
  if (reverse_)
    for (Position& p : positions_) p.Directives.Include(mdReverseDir);

  // Save flag: the value after the next-to-last separator of the last five characters
  // (after the only one when there is one); true without a value.
  std::vector<int> separators;
  for (int i = n - 1; i >= 0 && i >= n - 5; --i)
    if (types_[i] == mcFieldSeparator) separators.push_back(i);
  if (!separators.empty()) {
    const int sep = separators.size() >= 2 ? separators[1] : separators[0];
    if (sep != n - 1) save_ = chars[sep + 1] != std::string(1, kMaskNoSave);
  }
  // Blank: the last character, when the one before it is a separator and a save field
  // exists before that.
  blank_ = std::string(1, kMaskDefaultBlank);
  if (n >= 4 && types_[n - 2] == mcFieldSeparator &&
      (types_[n - 3] == mcFieldSeparator || types_[n - 4] == mcFieldSeparator))
    blank_ = chars[n - 1];
}

TMaskCharType TParsedMask::PositionType(int pos) const {
  if (pos < 0 || pos >= DisplayLength()) return mcNone;
  return positions_[pos].Type;
}

bool TParsedMask::IsLiteral(int pos) const {
  const TMaskCharType t = PositionType(pos);
  return t == mcLiteral || t == mcIntlLiteral;
}

const std::string& TParsedMask::MaskChar(int pos) const {
  static const std::string none;
  return pos < 0 || pos >= DisplayLength() ? none : positions_[pos].Char;
}

std::string TParsedMask::LiteralText(int pos) const {
  if (PositionType(pos) == mcIntlLiteral) return MaskIntlLiteralToChar(positions_[pos].Char);
  return MaskChar(pos);
}

TMaskDirectives TParsedMask::Directives(int pos) const {
  if (pos < 0 || pos >= DisplayLength()) return {};
  return positions_[pos].Directives;
}

bool TParsedMask::Accepts(int pos, std::string& ch) const {
  if (!IsInput(pos) || ch.empty() || IsControl(ch)) return false;
  const std::string& m = positions_[pos].Char;
  const TMaskDirectives d = positions_[pos].Directives;
  auto convertCase = [&] {
    if (d.Contains(mdUpperCase))
      ch = UpperCase(ch);
    else if (d.Contains(mdLowerCase))
      ch = LowerCase(ch);
  };
  if (IsOneOf(m, "09")) return IsDigit(ch);
  if (m == "#") return IsDigit(ch) || IsOneOf(ch, " +-");
  if (IsOneOf(m, "Cc")) {
    if (IsLetter(ch)) convertCase();
    return true;
  }
  // L l A a
  if (IsLetter(ch)) {
    convertCase();
    return true;
  }
  return IsOneOf(m, "Aa") && IsDigit(ch);
}

int TParsedMask::NextEditPos(int pos) const {
  pos = std::max(pos, 0);
  while (pos < DisplayLength() && IsLiteral(pos)) ++pos;
  return pos;
}

int TParsedMask::PriorEditPos(int pos) const {
  pos = std::min(pos, DisplayLength() - 1);
  while (pos >= 0 && IsLiteral(pos)) --pos;
  return pos < 0 ? NextEditPos(0) : pos;
}

int TParsedMask::FindLiteral(int pos, std::string_view ch) const {
  for (int p = pos + 1; p < DisplayLength(); ++p)
    if (IsLiteral(p)) return LiteralText(p) == ch ? p : -1;
  return -1;
}

std::string TParsedMask::Format(std::string_view value, std::string_view blank) const {
  TChars r = Utf8Chars(value);
  const std::string b(blank);
  const int n = DisplayLength();
  if (!reverse_) {
    size_t off = 0;
    for (int p = 0; p < n; ++p) {
      if (IsLiteral(p)) {
        r.insert(r.begin() + static_cast<ptrdiff_t>(off), LiteralText(p));
      } else if (off >= r.size()) {
        r.push_back(b);
      }
      ++off;
    }
  } else {
    // From the end: the value ends up right-aligned, blanks fill the front.
    size_t off = r.size();
    for (int p = n - 1; p >= 0; --p) {
      if (IsLiteral(p))
        r.insert(r.begin() + static_cast<ptrdiff_t>(off), LiteralText(p));
      else if (off == 0)
        r.insert(r.begin(), b);
      else
        --off;
    }
  }
  return Join(r);
}

std::string TParsedMask::Unformat(std::string_view editText) const {
  TChars r = Utf8Chars(editText);
  size_t off = 0;
  for (int p = 0; p < DisplayLength(); ++p) {
    if (IsLiteral(p)) {
      if (off < r.size()) r.erase(r.begin() + static_cast<ptrdiff_t>(off));
    } else {
      ++off;
    }
  }
  if (reverse_) {
    const auto first = std::find_if(r.begin(), r.end(), [&](const auto& c) { return c != blank_; });
    r.erase(r.begin(), first);
  } else {
    while (!r.empty() && r.back() == blank_) r.pop_back();
  }
  if (blank_ != " ") std::replace(r.begin(), r.end(), blank_, std::string(" "));
  return Join(r);
}

namespace {

// Makes r[start, stop) `width` characters long: pads with blanks at its end (at its start
// in reverse mode) or drops its surplus (keeping its end in reverse mode).
void PadSubField(TChars& r, size_t start, size_t stop, size_t width, const std::string& blank,
                 bool reverse) {
  const size_t len = stop - start;
  const auto at = [&](size_t i) { return r.begin() + static_cast<ptrdiff_t>(i); };
  if (len < width)
    r.insert(at(reverse ? start : stop), width - len, blank);
  else if (len > width)
    reverse ? r.erase(at(start), at(stop - width)) : r.erase(at(start + width), at(stop));
}

}  // namespace

std::string TParsedMask::PadLiterals(std::string_view value, std::string_view blank) const {
  TChars r = Utf8Chars(value);
  const std::string b(blank);
  size_t last = 0;  // where the current sub-field starts: just after the previous literal
  for (int p = 0; p < DisplayLength(); ++p) {
    if (!IsLiteral(p)) continue;
    const std::string lit = LiteralText(p);
    const size_t from = std::min(last, r.size());
    auto found = std::find(r.begin() + static_cast<ptrdiff_t>(from), r.end(), lit);
    size_t end = static_cast<size_t>(found - r.begin());
    if (found == r.end()) r.push_back(lit);
    PadSubField(r, from, end, static_cast<size_t>(p) - last, b, reverse_);
    last = static_cast<size_t>(p) + 1;
  }
  const size_t maxChars = static_cast<size_t>(DisplayLength());
  if (r.size() != maxChars)
    PadSubField(r, std::min(last, r.size()), r.size(), maxChars - last, b, reverse_);
  for (size_t i = 0; i < r.size(); ++i)
    if (r[i] == " " && !IsLiteral(static_cast<int>(i))) r[i] = b;
  return Join(r);
}

bool TParsedMask::Validate(std::string_view editText, int& pos) const {
  if (editText.empty()) return true;
  const TChars r = Utf8Chars(editText);
  for (int p = 0; p < DisplayLength(); ++p) {
    if (!IsRequired(p)) continue;
    const std::string ch = p < static_cast<int>(r.size()) ? r[p] : blank_;
    if (ch == blank_ || (ch == " " && positions_[p].Char != "C")) {
      pos = p;
      return false;
    }
  }
  return true;
}

// --- Free functions ----------------------------------------------------------------------------

bool MaskGetMaskSave(std::string_view editMask) {
  return TParsedMask(editMask).SaveLiterals();
}

std::string MaskGetMaskBlank(std::string_view editMask) {
  return TParsedMask(editMask).Blank();
}

int MaskDisplayLength(std::string_view editMask) {
  return TParsedMask(editMask).DisplayLength();
}

std::string MaskIntlLiteralToChar(std::string_view ch) {
  if (ch == ":") return std::string(1, FormatSettings().TimeSeparator);
  if (ch == "/") return std::string(1, FormatSettings().DateSeparator);
  return std::string(ch);
}

std::string MaskDoFormatText(std::string_view editMask, std::string_view value,
                             std::string_view blank) {
  return TParsedMask(editMask).Format(value, blank);
}

std::string PadInputLiterals(std::string_view editMask, std::string_view value,
                             std::string_view blank) {
  return TParsedMask(editMask).PadLiterals(value, blank);
}

std::string FormatMaskText(std::string_view editMask, std::string_view value) {
  const TParsedMask mask(editMask);
  return mask.SaveLiterals() ? mask.PadLiterals(value, " ") : mask.Format(value, " ");
}

// --- TMaskEditState ----------------------------------------------------------------------------

int TMaskEditState::MaxChars() const {
  return IsMasked() ? mask_.DisplayLength() : Utf8Length(editText_);
}

bool TMaskEditState::SetEditMask(std::string_view editMask) {
  if (editMask == mask_.EditMask()) return false;
  // NOTE: the text is unformatted with the old mask and blank, so a mask set on an edit
  // that already shows literals of another layout garbles it, as on the platform.
  const std::string raw = mask_.Unformat(editText_);
  mask_ = TParsedMask(editMask);
  return SetEditText(mask_.Format(raw, mask_.Blank()));
}

bool TMaskEditState::SetEditText(std::string_view text) {
  if (text == editText_) return false;
  editText_ = text;
  oldValue_ = editText_;
  modified_ = false;
  selStart_ = 0;
  selLength_ = 0;
  if (IsMasked()) SetCursor(mask_.NextEditPos(0));
  return true;
}

std::string TMaskEditState::Text() const {
  if (!IsMasked()) return editText_;
  const std::string raw = mask_.Unformat(editText_);
  return mask_.SaveLiterals() ? mask_.Format(raw, " ") : raw;
}

bool TMaskEditState::SetText(std::string_view text) {
  if (!IsMasked()) return SetEditText(text);
  return SetEditText(mask_.SaveLiterals() ? mask_.PadLiterals(text, mask_.Blank())
                                          : mask_.Format(text, mask_.Blank()));
}

void TMaskEditState::SetSel(int start, int length) {
  const int n = MaxChars();
  start = std::clamp(start, 0, n);
  length = std::clamp(length, 0, n - start);
  if (IsMasked() && length == 0) {
    SetCursor(start);
    return;
  }
  selStart_ = start;
  selLength_ = length;
}

// The masked caret: it selects the character it stands on, except at the end.
void TMaskEditState::SetCursor(int pos) {
  pos = std::max(pos, 0);
  if (pos >= MaxChars()) {
    selStart_ = MaxChars();
    selLength_ = 0;
  } else {
    selStart_ = pos;
    selLength_ = 1;
  }
}

bool TMaskEditState::KeyDown(WORD& key, TShiftState shift) {
  if (shift.Contains(ssAlt)) return false;
  if (!IsMasked()) {
    // The plain edit: caret keys move, Delete deletes; the key goes on to the control.
    const int n = MaxChars();
    switch (key) {
      case VK_LEFT:
        SetSel(selLength_ ? selStart_ : selStart_ - 1, 0);
        return false;
      case VK_RIGHT:
        SetSel(selLength_ ? selStart_ + selLength_ : selStart_ + 1, 0);
        return false;
      case VK_HOME:
        SetSel(0, 0);
        return false;
      case VK_END:
        SetSel(n, 0);
        return false;
      case VK_DELETE:
        if (shift.Contains(ssShift)) return false;
        return Delete();
      default:
        return false;
    }
  }
  if (shift.Contains(ssShift) || shift.Contains(ssCtrl)) {
    // Selection by keyboard is left to the control; Ctrl and Shift with arrows pass.
    if (key == VK_LEFT || key == VK_RIGHT) return false;
  }
  switch (key) {
    case VK_LEFT:
      SetCursor(mask_.PriorEditPos(selStart_ - 1));
      key = 0;
      return false;
    case VK_RIGHT:
      if (selLength_ > 0) SetCursor(mask_.NextEditPos(selStart_ + 1));
      key = 0;
      return false;
    case VK_UP:
    case VK_DOWN:
      key = 0;
      return false;
    case VK_HOME:
      SetCursor(mask_.NextEditPos(0));
      key = 0;
      return false;
    case VK_END:
      SetCursor(MaxChars());
      key = 0;
      return false;
    case VK_DELETE:
      if (shift.Contains(ssShift)) return false;  // Shift+Delete cuts
      [[fallthrough]];
    case VK_BACK: {
      const WORD which = key;
      key = 0;
      return readOnly_ ? false : DeleteKeys(which);
    }
    default:
      return false;
  }
}

bool TMaskEditState::KeyPress(std::string_view ch) {
  if (ch.empty()) return false;
  if (ch == "\x1b") return IsMasked() ? Reset() : false;
  if (readOnly_) return false;
  if (ch == "\b") return IsMasked() ? false : Backspace();  // masked: done by KeyDown
  if (ch == "\r") {
    if (IsMasked()) ValidateEdit();
    return false;
  }
  const std::string c(ch);
  if (IsControl(c)) return false;
  if (!IsMasked()) return ReplaceSelection(c);
  if (selLength_ > 1) {
    BlankRange(selStart_, selLength_);
    SetCursor(mask_.NextEditPos(selStart_));
    InputChar(c);
    return true;
  }
  return InputChar(c);
}

bool TMaskEditState::TypeText(std::string_view text) {
  bool wrote = false;
  for (const std::string& c : Utf8Chars(text)) wrote = KeyPress(c) || wrote;
  return wrote;
}

bool TMaskEditState::InputChar(std::string ch) {
  int pos = selStart_;
  if (pos >= MaxChars()) return false;
  if (mask_.IsLiteral(pos)) {
    const bool same = mask_.LiteralText(pos) == ch;
    pos = mask_.NextEditPos(pos);
    SetCursor(pos);
    if (same || pos >= MaxChars()) return false;
  }
  const std::string typed = ch;
  if (mask_.Accepts(pos, ch)) {
    TChars r = Utf8Chars(editText_);
    if (static_cast<int>(r.size()) <= pos) r.resize(pos + 1, mask_.Blank());
    r[pos] = ch;
    editText_ = Join(r);
    modified_ = true;
    SetCursor(mask_.NextEditPos(pos + 1));
    return true;
  }
  const int literal = mask_.FindLiteral(pos, typed);
  if (literal >= 0) SetCursor(literal + 1);
  return false;
}

void TMaskEditState::BlankRange(int start, int length) {
  TChars r = Utf8Chars(editText_);
  for (int p = start; p < start + length && p < MaxChars(); ++p) {
    if (!mask_.IsInput(p)) continue;
    if (static_cast<int>(r.size()) <= p) r.resize(p + 1, mask_.Blank());
    r[p] = mask_.Blank();
  }
  editText_ = Join(r);
  modified_ = true;
}

bool TMaskEditState::DeleteKeys(WORD key) {
  if (key == VK_BACK && selLength_ <= 1) {
    const int before = selStart_;
    SetCursor(mask_.PriorEditPos(selStart_ - 1));
    if (selStart_ == before) return false;
  }
  if (selLength_ < 1) return false;
  const int start = selStart_;
  const int length = selLength_;
  BlankRange(start, length);
  SetCursor(length != 1 ? mask_.NextEditPos(start) : start);
  return true;
}

bool TMaskEditState::Backspace() {
  if (readOnly_) return false;
  if (IsMasked()) return DeleteKeys(VK_BACK);
  if (selLength_ == 0) {
    if (selStart_ == 0) return false;
    SetSel(selStart_ - 1, 1);
  }
  return ReplaceSelection("");
}

bool TMaskEditState::Delete() {
  if (readOnly_) return false;
  if (IsMasked()) return DeleteKeys(VK_DELETE);
  if (selLength_ == 0) {
    if (selStart_ >= MaxChars()) return false;
    SetSel(selStart_, 1);
  }
  return ReplaceSelection("");
}

// The plain edit's typing: the selection is replaced, unless MaxLength refuses the result.
bool TMaskEditState::ReplaceSelection(std::string_view text) {
  TChars r = Utf8Chars(editText_);
  const auto at = [&](int i) { return r.begin() + i; };
  r.erase(at(selStart_), at(selStart_ + selLength_));
  const TChars inserted = Utf8Chars(text);
  r.insert(at(selStart_), inserted.begin(), inserted.end());
  const std::string result = Join(r);
  if (maxLength_ > 0 && !inserted.empty() && AnsiByteLength(result) > maxLength_) return false;
  editText_ = result;
  selStart_ += static_cast<int>(inserted.size());
  selLength_ = 0;
  modified_ = true;
  return true;
}

void TMaskEditState::Enter() {
  oldValue_ = editText_;
  if (IsMasked() && selLength_ == 0) SetCursor(selStart_);
}

bool TMaskEditState::Reset() {
  if (!modified_) return false;
  const bool changed = editText_ != oldValue_;
  editText_ = oldValue_;
  modified_ = false;
  if (changed && IsMasked()) SetCursor(mask_.NextEditPos(0));
  return changed;
}

void TMaskEditState::ValidateEdit() {
  int pos = 0;
  if (IsMasked() && modified_ && !mask_.Validate(editText_, pos)) {
    SetCursor(pos);
    throw EDBEditError(SMaskEditErr);
  }
}
