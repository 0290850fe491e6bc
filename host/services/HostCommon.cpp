#include "HostCommon.h"

THostServiceObject::THostServiceObject() {
  AddProperty("ErrorText", [this] { return Variant::Wide(errorText_); });
}

Variant RowToVariant(const THostRow& row) {
  return VarArrayOf(row);
}

Variant RowsToVariant(const std::vector<THostRow>& rows) {
  std::vector<Variant> items;
  items.reserve(rows.size());
  for (const THostRow& row : rows) items.push_back(RowToVariant(row));
  return VarArrayOf(items);
}

std::optional<std::vector<Variant>> ArrayItems(const Variant& v) {
  if (!v.IsArray() || VarArrayDimCount(v) != 1) return std::nullopt;
  return v.Array().Elements;
}

std::optional<std::string> SimpleText(const Variant& v) {
  if (v.IsArray() || v.VarType() == varDispatch) return std::nullopt;
  try {
    return VarToStr(v);
  } catch (const EVariantError&) {
    return std::nullopt;
  }
}

std::string RequireText(const Variant& v, const std::string& what) {
  auto text = SimpleText(v);
  if (!text) throw EHostError(what + " must be a simple value, not " + VarTypeName(v.VarType()));
  return *text;
}
