#include "db/dataset/field_defs.h"

#include "base/exceptions.h"
#include "base/text.h"

TFieldDef& TFieldDefs::Add(TFieldDef def) {
  def.FieldNo = Count() + 1;
  items_.push_back(std::move(def));
  return items_.back();
}

TFieldDef& TFieldDefs::Add(std::string name, TFieldType type, std::int32_t size, bool required) {
  TFieldDef def;
  def.Name = std::move(name);
  def.DataType = type;
  def.Size = size;
  def.Required = required;
  return Add(std::move(def));
}

const TFieldDef& TFieldDefs::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  return items_[static_cast<std::size_t>(index)];
}

TFieldDef& TFieldDefs::Items(int index) {
  return const_cast<TFieldDef&>(static_cast<const TFieldDefs&>(*this).Items(index));
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(items_[static_cast<std::size_t>(i)].Name, name)) return i;
  }
  return -1;
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : &items_[static_cast<std::size_t>(index)];
}
