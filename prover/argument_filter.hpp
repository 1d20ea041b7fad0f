// Argument filterings and the reduction pair they make with LPO, checked directly.
//
// A filtering maps each symbol either to one of its arguments (collapse: f(t1..tn) becomes the
// filtered ti) or to a sublist of its arguments (f(t1..tn) becomes f(filtered kept tj)). With
// the LPO over strict levels, s >= t iff filter(s) = filter(t) or filter(s) >lpo filter(t), and
// s > t iff filter(s) >lpo filter(t). This pair is a reduction pair (weakly monotone, stable,
// well founded) and C_e-compatible (a fresh c(x,y) keeping both arguments is above x and y), so
// with the usable rules it proves dependency pairs removable also for full rewriting.
//
// A symbol may compare its kept arguments right to left instead (the status of lpo.hpp); this
// stays a reduction pair of the same kind, the filtered terms being compared by an RPO.
//
// The check filters both sides into a scratch bank (a filtered symbol keeps its id; its kept
// arguments are the node's arguments) and compares with lpo_greater.
#pragma once

#include <vector>

#include "lpo.hpp"
#include "precedence.hpp"
#include "trs.hpp"

namespace Termination {

struct ArgumentFilter {
  std::vector<int> collapse;           // by symbol: the argument index kept alone, or -1
  std::vector<std::vector<int>> kept;  // by symbol, when not collapsing: kept argument indices
};

struct FilteredLpo {
  ArgumentFilter filter;
  Levels levels;
  std::vector<Status> status;  // by symbol, empty for all left to right; multiset is not used
};

// Returns: true iff the filter, levels and status fit the signature (indices in range, sorted
// kept lists).
bool well_formed(const Signature& signature, const FilteredLpo& order);

// Compares terms of one bank under a filtered LPO; filtered terms live in a scratch bank.
class FilteredLpoComparer {
 public:
  // Needs: well_formed(signature of bank, order).
  FilteredLpoComparer(const TermBank& bank, const FilteredLpo& order)
      : bank_(bank), order_(order), rpo_{order.levels, order.status} {}
  bool weakly_greater(TermId s, TermId t);
  bool strictly_greater(TermId s, TermId t);

 private:
  TermId filtered(TermId t);

  const TermBank& bank_;
  const FilteredLpo& order_;
  LpoProof rpo_;  // the order on filtered terms
  TermBank scratch_;
};

// Returns: e.g. "pi(f) = [1,3], pi(g) = 2" for the symbols in shown.
std::string describe_filter(const Signature& signature, const ArgumentFilter& filter,
                            const std::vector<SymbolId>& shown);

}  // namespace Termination
