// Hash-consing of term nodes: a node is looked up by value before it is stored, so equal terms
// share one id. Sizes and depths are computed once when a node is created.
#include "term.hpp"

#include <algorithm>
#include <stdexcept>

namespace Termination {

SymbolId Signature::add(const std::string& name, int arity) {
  if (index_.contains(name)) throw std::logic_error("symbol added twice: " + name);
  SymbolId id = size();
  names_.push_back(name);
  arities_.push_back(arity);
  index_.emplace(name, id);
  return id;
}

SymbolId Signature::find(const std::string& name) const {
  auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

std::size_t TermBank::hash(std::int32_t head, std::span<const TermId> args) const {
  std::size_t h = static_cast<std::size_t>(head) * 0x9E3779B97F4A7C15ULL;
  for (TermId a : args) h = (h ^ static_cast<std::size_t>(a)) * 0x100000001B3ULL;
  return h ^ (h >> 29);
}

TermId TermBank::variable(VarId v) {
  if (v >= next_fresh_) next_fresh_ = v + 1;
  return intern(-v - 1, {});
}

TermId TermBank::apply(SymbolId f, const std::vector<TermId>& args) {
  return intern(f, args);
}

void TermBank::reserve_variables(VarId v) {
  next_fresh_ = std::max(next_fresh_, v);
}

void TermBank::grow_table() {
  std::vector<TermId> table(table_.size() * 2, -1);
  std::size_t mask = table.size() - 1;
  for (TermId t = 0; t < count(); ++t) {
    std::size_t i = hash(heads_[t], args(t)) & mask;
    while (table[i] >= 0) i = (i + 1) & mask;
    table[i] = t;
  }
  table_ = std::move(table);
}

TermId TermBank::intern(std::int32_t head, std::span<const TermId> args) {
  std::size_t mask = table_.size() - 1;
  std::size_t i = hash(head, args) & mask;
  for (; table_[i] >= 0; i = (i + 1) & mask) {
    TermId t = table_[i];
    auto known = this->args(t);
    if (heads_[t] == head && std::equal(known.begin(), known.end(), args.begin(), args.end()))
      return t;
  }
  int size = 1;
  int depth = 0;
  for (TermId a : args) {
    size += sizes_[a];
    depth = std::max(depth, depths_[a]);
  }
  TermId id = count();
  heads_.push_back(head);
  arena_.insert(arena_.end(), args.begin(), args.end());
  offsets_.push_back(static_cast<std::int32_t>(arena_.size()));
  sizes_.push_back(size);
  depths_.push_back(depth + 1);
  table_[i] = id;
  if (static_cast<std::size_t>(count()) * 2 > table_.size()) grow_table();
  return id;
}

}  // namespace Termination
