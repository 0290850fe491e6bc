// Edit masks: "mask[;save[;blank]]" strings, the text conversions between what an edit
// shows (EditText) and what it holds (Text), and the editing model of a masked edit
// (overwrite typing, caret, delete keys, exit validation).
//
//   mask:  ! > < \ directives; L l A a C c 0 9 # input positions (upper case required);
//          ":" and "/" the locale's time and date separators; anything else a literal.
//   save:  "0" drops the literals from Text; anything else (or no field) keeps them.
//   blank: the character shown in unfilled input positions ("_" when not given).
//
// Deviations by design:
// - Positions count characters (UTF-8 code points), not bytes: a Chinese character fills
//   one input position and one literal position, and letter positions (L l A a C c)
//   accept it. Case conversion applies to ASCII letters only.
// - Only a "!" that is a directive makes the mask reverse, and only "<" and ">" directives
//   change the case; the platform also reacts to escaped ones and to a "!" blank char.
// - Escapes are read left to right, so "\\\X" makes X a literal.
// - A character after ";" is a field value only when that ";" is a field separator.
// - The caret never rests on a literal between input positions: Home goes to the first
//   input position, and a character typed while the caret is on a literal steps over it
//   (and is tried at the next input position unless it is that literal).
// - Control characters are never typed into a masked edit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Events.h"
#include "Messages.h"
#include "SysUtils.h"

// Raised by the exit validation of a masked edit (and by data-aware edits).
KXBR_EXCEPTION_CLASS(EDBEditError, Exception)

inline constexpr const char* SMaskEditErr =
    "Invalid input value.  Use escape key to abandon changes";

enum TMaskCharType {
  mcNone,
  mcLiteral,
  mcIntlLiteral,
  mcDirective,
  mcMask,
  mcMaskOpt,
  mcFieldSeparator,
  mcField
};
enum TMaskDirective { mdReverseDir, mdUpperCase, mdLowerCase, mdLiteralChar };
using TMaskDirectives = TSet<TMaskDirective>;

inline constexpr char kMaskDefaultBlank = '_';
inline constexpr char kMaskFieldSeparator = ';';
inline constexpr char kMaskNoSave = '0';

// A mask string taken apart. The empty mask stands for an unmasked edit (blank "_").
class TParsedMask {
 public:
  TParsedMask() : TParsedMask(std::string_view{}) {}
  explicit TParsedMask(std::string_view editMask);

  const std::string& EditMask() const { return editMask_; }
  bool IsMasked() const { return !editMask_.empty(); }
  // The save field: are literals part of Text?
  bool SaveLiterals() const { return save_; }
  // The blank character (one UTF-8 character).
  const std::string& Blank() const { return blank_; }
  bool Reverse() const { return reverse_; }
  // The number of characters the edit shows (its MaxLength): literals and input positions.
  int DisplayLength() const { return static_cast<int>(positions_.size()); }

  // The type of every character of the mask string, in order (one per UTF-8 character).
  const std::vector<TMaskCharType>& CharTypes() const { return types_; }

  // Display positions count from 0; outside 0..DisplayLength()-1 a position is mcNone.
  TMaskCharType PositionType(int pos) const;
  bool IsLiteral(int pos) const;
  bool IsInput(int pos) const { return !IsLiteral(pos) && PositionType(pos) != mcNone; }
  bool IsRequired(int pos) const { return PositionType(pos) == mcMask; }
  // The mask character of the position ("9", "a", "-", "/" ...).
  const std::string& MaskChar(int pos) const;
  // A literal as shown: ":" and "/" become the locale's separators.
  std::string LiteralText(int pos) const;
  TMaskDirectives Directives(int pos) const;
  // Whether `ch` may be typed at input position `pos`; on success `ch` is case-converted.
  bool Accepts(int pos, std::string& ch) const;

  // The first input position at or after `pos` (DisplayLength() when none).
  int NextEditPos(int pos) const;
  // The last input position at or before `pos`; the first input position when none.
  int PriorEditPos(int pos) const;
  // The position of the literal that comes next after `pos`, when it shows `ch`; else -1.
  int FindLiteral(int pos, std::string_view ch) const;

  // The value without literals put into the mask: literals inserted at their positions
  // (whatever the value holds there), unfilled positions given `blank`; right-aligned in
  // reverse mode. The empty mask returns the value.
  std::string Format(std::string_view value, std::string_view blank) const;
  // What the edit shows with its literals cut out by position and the blanks trimmed
  // (trailing ones, leading ones in reverse mode); other blank chars become spaces.
  std::string Unformat(std::string_view editText) const;
  // A value with literals cut into sub-fields at the literals it holds, each padded with
  // `blank` or cut to its width; spaces in input positions become `blank`.
  std::string PadLiterals(std::string_view value, std::string_view blank) const;
  // The exit check: false with the position of the first required position that holds a
  // blank (or a space, except under "C"). An empty text passes.
  bool Validate(std::string_view editText, int& pos) const;

 private:
  struct Position {
    TMaskCharType Type;
    std::string Char;
    TMaskDirectives Directives;
  };
  std::string editMask_;
  std::vector<TMaskCharType> types_;
  std::vector<Position> positions_;
  bool save_ = true;
  bool reverse_ = false;
  std::string blank_;
};

// The platform's free functions over mask strings.
bool MaskGetMaskSave(std::string_view editMask);
std::string MaskGetMaskBlank(std::string_view editMask);
int MaskDisplayLength(std::string_view editMask);
std::string MaskIntlLiteralToChar(std::string_view ch);
std::string MaskDoFormatText(std::string_view editMask, std::string_view value,
                             std::string_view blank);
std::string PadInputLiterals(std::string_view editMask, std::string_view value,
                             std::string_view blank);
// The value as an edit with that mask shows it: PadInputLiterals when literals are saved,
// otherwise MaskDoFormatText; always with a space as blank.
std::string FormatMaskText(std::string_view editMask, std::string_view value);

// The editing state of a (masked) edit: the shown text, the caret and selection, the
// modified flag and the value Esc returns to. A mask edit control keeps one and forwards
// its text, keys and focus changes to it. Operations that write the text return true.
//
// Masked editing overwrites in place: the caret selects the one character it stands on,
// skips literals, and a typed character that does not fit but equals the next literal
// moves the caret past that literal. Delete and Backspace put the blank char back.
// Without a mask it edits like a plain edit (insertion, MaxLength in ANSI bytes).
class TMaskEditState {
 public:
  TMaskEditState() = default;

  const std::string& EditMask() const { return mask_.EditMask(); }
  // Re-flows the shown text: what the old mask (and blank) unformat is formatted with the
  // new one. The same mask again changes nothing.
  bool SetEditMask(std::string_view editMask);
  const TParsedMask& Mask() const { return mask_; }
  bool IsMasked() const { return mask_.IsMasked(); }
  // The display length when masked, else the length of the text (characters).
  int MaxChars() const;

  const std::string& EditText() const { return editText_; }
  // Replaces the shown text as a program does: clears Modified, remembers the value for
  // Esc, and puts the caret on the first input position.
  bool SetEditText(std::string_view text);
  // Text as the edit reports it: Unformat, then with saved literals formatted again with
  // spaces as blanks.
  std::string Text() const;
  bool SetText(std::string_view text);

  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  // Clamped to the text; a masked edit with an empty selection selects the character at
  // the caret.
  void SetSel(int start, int length);

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  // Without a mask: the limit in ANSI bytes of the interface code page (0: none).
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int bytes) { maxLength_ = bytes < 0 ? 0 : bytes; }
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  // A key as the focused edit gets it. KeyDown handles the caret and delete keys (a masked
  // edit consumes them: key becomes 0); KeyPress one typed character: Esc undoes the
  // changes, Enter validates (may raise), Backspace deletes without a mask.
  bool KeyDown(WORD& key, TShiftState shift = {});
  bool KeyPress(std::string_view ch);
  // KeyPress for every character of `text`; true when any wrote the text.
  bool TypeText(std::string_view text);
  bool Backspace();
  bool Delete();

  // Focus arrives: the shown text becomes the value Esc returns to.
  void Enter();
  // Esc: a modified edit gets the remembered value back.
  bool Reset();
  // The exit check of a modified masked edit: raises EDBEditError (SMaskEditErr) with the
  // caret on the first required position left blank.
  void ValidateEdit();

 private:
  void SetCursor(int pos);
  bool InputChar(std::string ch);
  bool DeleteKeys(WORD key);
  void BlankRange(int start, int length);
  bool ReplaceSelection(std::string_view text);

  TParsedMask mask_;
  std::string editText_;
  std::string oldValue_;
  int selStart_ = 0;
  int selLength_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;
  int maxLength_ = 0;
};
