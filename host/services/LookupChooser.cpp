#include "LookupChooser.h"

#include "HostCommon.h"

void TScriptedChooser::PushRows(std::vector<int> rows) {
  answers_.push_back({TKind::Rows, std::move(rows), {}, -1});
}

void TScriptedChooser::PushDate(std::string date) {
  answers_.push_back({TKind::Date, {}, std::move(date), -1});
}

void TScriptedChooser::PushPhrase(int index) {
  answers_.push_back({TKind::Phrase, {}, {}, index});
}

void TScriptedChooser::PushCancel() {
  answers_.push_back({TKind::Cancel, {}, {}, -1});
}

std::shared_ptr<TScriptedChooser> TScriptedChooser::FromScript(const std::string& text) {
  auto chooser = std::make_shared<TScriptedChooser>();
  int lineNo = 0;
  for (const std::string& raw : SplitString(text, '\n')) {
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    const size_t blank = line.find(' ');
    const std::string word = LowerCase(line.substr(0, blank));
    const std::string rest = blank == std::string::npos ? "" : Trim(line.substr(blank));
    const auto bad = [&] {
      return EHostError("lookup script line " + IntToStr(lineNo) + ": cannot read \"" + line +
                        "\"");
    };
    int number = 0;
    if (word == "cancel" && rest.empty()) {
      chooser->PushCancel();
    } else if (word == "rows" && !rest.empty()) {
      std::vector<int> rows;
      for (const std::string& piece : SplitString(rest, ',')) {
        if (!TryStrToInt(piece, number) || number < 0) throw bad();
        rows.push_back(number);
      }
      chooser->PushRows(std::move(rows));
    } else if (word == "date" && rest.size() == 8) {
      chooser->PushDate(rest);
    } else if (word == "phrase" && TryStrToInt(rest, number) && number >= 0) {
      chooser->PushPhrase(number);
    } else {
      throw bad();
    }
  }
  return chooser;
}

const TScriptedChooser::TAnswer* TScriptedChooser::Next(TKind kind) {
  if (answers_.empty()) return nullptr;
  current_ = std::move(answers_.front());
  answers_.pop_front();
  return current_.Kind == kind ? &current_ : nullptr;
}

std::vector<int> TScriptedChooser::ChooseRows(const TLookupPrompt& prompt) {
  prompts_.push_back(prompt);
  const TAnswer* answer = Next(TKind::Rows);
  return answer ? answer->Rows : std::vector<int>();
}

std::string TScriptedChooser::ChooseDate(const std::string& startDate, bool rocYears) {
  dateQuestions_.push_back(startDate + (rocYears ? " roc" : ""));
  const TAnswer* answer = Next(TKind::Date);
  return answer ? answer->Date : std::string();
}

int TScriptedChooser::ChoosePhrase(const std::vector<std::string>& phrases) {
  phraseQuestions_.push_back(phrases);
  const TAnswer* answer = Next(TKind::Phrase);
  return answer ? answer->Phrase : -1;
}
