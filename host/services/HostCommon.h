// What the host shell's service objects share: their failure type, the base class that
// keeps the text of the last failure, and the shapes in which they take and give values.
//
// Tables travel as a 0-based array of rows, each row a 0-based array of columns; texts
// are wide (varOleStr) as automation strings are.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ComObj.h"
#include "Variant.h"

// A failure of a host service, with a text for the caller.
KXBR_EXCEPTION_CLASS(EHostError, EOleError)

using THostRow = std::vector<Variant>;

// A late-bound service object of the host shell. Its published property ErrorText holds
// the reason of the last failed call and is empty after a call that succeeded.
class THostServiceObject : public TAutoObject {
 public:
  const std::string& ErrorText() const { return errorText_; }

 protected:
  THostServiceObject();
  void ClearError() { errorText_.clear(); }
  void SetError(std::string text) { errorText_ = std::move(text); }

 private:
  std::string errorText_;
};

Variant RowToVariant(const THostRow& row);
Variant RowsToVariant(const std::vector<THostRow>& rows);

// The elements of a one-dimensional array in index order; nothing for anything else.
std::optional<std::vector<Variant>> ArrayItems(const Variant& v);
// A simple value as text (Empty and Null give ""); nothing for arrays, objects and values
// that have no text form.
std::optional<std::string> SimpleText(const Variant& v);
// SimpleText or EHostError naming `what`.
std::string RequireText(const Variant& v, const std::string& what);
