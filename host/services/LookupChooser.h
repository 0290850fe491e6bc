// Who answers the host's lookup window: a person in a dialog, or a script. The lookup
// window (LookupWindow.h) finds the candidates and checks the answers; a chooser only
// picks.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

struct TLookupPrompt {
  std::string Code;  // lookup code and kind, e.g. "CUSTG" "01"
  std::string Kind;
  std::string Title;
  std::vector<std::string> Columns;            // column captions
  std::vector<std::vector<std::string>> Rows;  // the candidates as display texts
  bool Multi = false;                          // several rows may be picked
};

class TLookupChooser {
 public:
  virtual ~TLookupChooser() = default;
  // Indexes into prompt.Rows of the picked rows; empty when the window is cancelled.
  virtual std::vector<int> ChooseRows(const TLookupPrompt& prompt) = 0;
  // The picked date as "YYYYMMDD", "" when cancelled. rocYears: the picker shows years
  // of the Republic of China calendar.
  virtual std::string ChooseDate(const std::string& startDate, bool rocYears) = 0;
  // The index of the picked phrase, -1 when cancelled.
  virtual int ChoosePhrase(const std::vector<std::string>& phrases) = 0;
};

// Answers given in advance, taken in order. A question with no answer left, or whose
// next answer is of another kind (which is then used up), is cancelled. Every question
// is recorded.
class TScriptedChooser : public TLookupChooser {
 public:
  void PushRows(std::vector<int> rows);
  void PushDate(std::string date);
  void PushPhrase(int index);
  void PushCancel();
  // One answer a line: "rows 0,2", "date 20240131", "phrase 1" or "cancel"; blank lines
  // and lines starting with "#" are skipped. Raises EHostError naming a bad line.
  static std::shared_ptr<TScriptedChooser> FromScript(const std::string& text);

  std::vector<int> ChooseRows(const TLookupPrompt& prompt) override;
  std::string ChooseDate(const std::string& startDate, bool rocYears) override;
  int ChoosePhrase(const std::vector<std::string>& phrases) override;

  size_t Pending() const { return answers_.size(); }
  const std::vector<TLookupPrompt>& Prompts() const { return prompts_; }
  // The dates asked for: start date, then " roc" when ROC years were wanted.
  const std::vector<std::string>& DateQuestions() const { return dateQuestions_; }
  const std::vector<std::vector<std::string>>& PhraseQuestions() const { return phraseQuestions_; }

 private:
  enum class TKind { Rows, Date, Phrase, Cancel };
  struct TAnswer {
    TKind Kind;
    std::vector<int> Rows;
    std::string Date;
    int Phrase = -1;
  };
  // The next answer when it is of `kind`; nothing (and the answer used up) otherwise.
  const TAnswer* Next(TKind kind);

  std::deque<TAnswer> answers_;
  TAnswer current_{TKind::Cancel, {}, {}, -1};
  std::vector<TLookupPrompt> prompts_;
  std::vector<std::string> dateQuestions_;
  std::vector<std::vector<std::string>> phraseQuestions_;
};
