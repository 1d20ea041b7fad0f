// Terms of the prover, stored hash-consed in a TermBank.
//
// Every term of one question lives in one bank and is named by a small integer, its TermId. The
// bank builds each distinct node once: building f(a, x) twice returns the same id, so syntactic
// equality of terms is equality of ids and every map keyed by terms (the memo tables of the
// ordering encoders, the narrowing search) is keyed by plain integers. A node holds its head and
// the ids of its arguments; a negative head is a variable, a head >= 0 a function symbol of the
// question's Signature. Nodes are never removed: a question builds a few thousand terms at most and
// the bank dies with the question.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace Termination {

using TermId = std::int32_t;
using SymbolId = std::int32_t;
using VarId = std::int32_t;

// Function symbols with their arities and printable names.
class Signature {
 public:
  // Needs: a name not yet present. Changes: appends the symbol. Returns: its id.
  SymbolId add(const std::string& name, int arity);
  // Returns: the id of the symbol with this name, or -1.
  SymbolId find(const std::string& name) const;
  const std::string& name(SymbolId f) const { return names_[f]; }
  int arity(SymbolId f) const { return arities_[f]; }
  int size() const { return static_cast<int>(names_.size()); }

 private:
  std::vector<std::string> names_;
  std::vector<int> arities_;
  std::unordered_map<std::string, SymbolId> index_;
};

struct Node {
  std::int32_t head;  // >= 0: function symbol; < 0: variable number -(head + 1)
  std::vector<TermId> args;
  bool operator==(const Node& other) const = default;
};

struct NodeHash {
  std::size_t operator()(const Node& node) const;
};

class TermBank {
 public:
  // Returns: the term made of the variable v (v >= 0).
  TermId variable(VarId v);
  // Needs: args.size() equal to the arity of f. Returns: the term f(args).
  TermId apply(SymbolId f, std::vector<TermId> args);

  bool is_variable(TermId t) const { return nodes_[t].head < 0; }
  VarId variable_of(TermId t) const { return -nodes_[t].head - 1; }
  SymbolId symbol_of(TermId t) const { return nodes_[t].head; }
  const std::vector<TermId>& args(TermId t) const { return nodes_[t].args; }
  // Returns: number of symbol and variable occurrences of t.
  int size(TermId t) const { return sizes_[t]; }
  // Returns: the length of the longest path from the root of t to a leaf, counting nodes.
  int depth(TermId t) const { return depths_[t]; }

  // Returns: a variable number never returned before by this bank and larger than every
  // variable number used so far.
  VarId fresh_variable() { return next_fresh_++; }
  // Changes: makes sure fresh variables are numbered from at least v on.
  void reserve_variables(VarId v);

 private:
  TermId intern(Node node);

  std::vector<Node> nodes_;
  std::vector<int> sizes_;
  std::vector<int> depths_;
  std::unordered_map<Node, TermId, NodeHash> index_;
  VarId next_fresh_ = 0;
};

}  // namespace Termination
