// Terms of the prover, stored hash-consed in a TermBank.
//
// Every term of one question lives in one bank and is named by a small integer, its TermId. The
// bank builds each distinct node once: building f(a, x) twice returns the same id, so syntactic
// equality of terms is equality of ids and every map keyed by terms (the memo tables of the
// ordering encoders, the narrowing search) is keyed by plain integers. A node holds its head and
// the ids of its arguments; a negative head is a variable, a head >= 0 a function symbol of the
// question's Signature. Nodes are never removed and live in a few flat arrays (heads, argument
// offsets into one shared arena, sizes), found again through an open-addressing hash table, so a
// bank of a million terms is built and freed with a handful of allocations.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
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

class TermBank {
 public:
  // Returns: the term made of the variable v (v >= 0).
  TermId variable(VarId v);
  // Needs: args.size() equal to the arity of f. Returns: the term f(args).
  TermId apply(SymbolId f, const std::vector<TermId>& args);

  bool is_variable(TermId t) const { return heads_[t] < 0; }
  VarId variable_of(TermId t) const { return -heads_[t] - 1; }
  SymbolId symbol_of(TermId t) const { return heads_[t]; }
  // Returns: the arguments of t. The view is invalidated when the bank grows, so callers that
  // build terms while walking arguments take a copy (copy_args).
  std::span<const TermId> args(TermId t) const {
    return {arena_.data() + offsets_[t], static_cast<std::size_t>(offsets_[t + 1] - offsets_[t])};
  }
  std::vector<TermId> copy_args(TermId t) const {
    auto a = args(t);
    return {a.begin(), a.end()};
  }
  // Returns: number of symbol and variable occurrences of t.
  int size(TermId t) const { return sizes_[t]; }
  // Returns: the length of the longest path from the root of t to a leaf, counting nodes.
  int depth(TermId t) const { return depths_[t]; }
  // Returns: how many distinct terms the bank holds.
  int count() const { return static_cast<int>(heads_.size()); }

  // Returns: the i-th variable of a separate numbering (counted down from the largest number)
  // used to compare terms up to renaming; it leaves the numbering of fresh variables alone.
  TermId canonical_variable(int i) {
    return intern(std::numeric_limits<std::int32_t>::min() + 1 + i, {});
  }

  // Returns: a variable number never returned before by this bank and larger than every
  // variable number used so far.
  VarId fresh_variable() { return next_fresh_++; }
  // Changes: makes sure fresh variables are numbered from at least v on.
  void reserve_variables(VarId v);

 private:
  TermId intern(std::int32_t head, std::span<const TermId> args);
  std::size_t hash(std::int32_t head, std::span<const TermId> args) const;
  void grow_table();

  // Node t has head heads_[t] and arguments arena_[offsets_[t] .. offsets_[t + 1]).
  std::vector<std::int32_t> heads_;
  std::vector<std::int32_t> offsets_{0};
  std::vector<TermId> arena_;
  std::vector<int> sizes_;
  std::vector<int> depths_;
  std::vector<TermId> table_ = std::vector<TermId>(64, -1);  // open addressing, -1 = empty
  VarId next_fresh_ = 0;
};

}  // namespace Termination
