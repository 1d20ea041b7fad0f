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

std::size_t NodeHash::operator()(const Node& node) const {
  std::size_t h = static_cast<std::size_t>(node.head) * 0x9E3779B97F4A7C15ULL;
  for (TermId a : node.args) h = (h ^ static_cast<std::size_t>(a)) * 0x100000001B3ULL;
  return h;
}

TermId TermBank::variable(VarId v) {
  if (v >= next_fresh_) next_fresh_ = v + 1;
  return intern(Node{-v - 1, {}});
}

TermId TermBank::apply(SymbolId f, std::vector<TermId> args) {
  return intern(Node{f, std::move(args)});
}

void TermBank::reserve_variables(VarId v) {
  next_fresh_ = std::max(next_fresh_, v);
}

TermId TermBank::intern(Node node) {
  auto it = index_.find(node);
  if (it != index_.end()) return it->second;
  int size = 1;
  int depth = 0;
  for (TermId a : node.args) {
    size += sizes_[a];
    depth = std::max(depth, depths_[a]);
  }
  TermId id = static_cast<TermId>(nodes_.size());
  nodes_.push_back(node);
  sizes_.push_back(size);
  depths_.push_back(depth + 1);
  index_.emplace(std::move(node), id);
  return id;
}

}  // namespace Termination
