// Terms, rules and rule sets.
//
// A term is a handle to an immutable node in one global hash-consing table: building a term looks
// its shape (symbol or variable, arguments) up first, so two structurally equal terms are always
// the same node.  Equality is therefore a pointer comparison and the hash is the pointer; the
// node caches, once at construction, what the engine asks again and again: size, depth,
// groundness, the largest variable suffix and its structural hash.  Nodes are reference counted;
// when the last handle goes, the node leaves the table and releases its arguments (iteratively,
// so that very deep terms cannot exhaust the stack), so a long search does not grow without
// bound.  Names of symbols and variables are interned; the total order still compares their
// bytes, because the order fixes the iteration order of rule sets and shows in the output.
//
// The program is single-threaded; nothing here is thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Terms {

// An interned name of a symbol or a variable.
class Name {
 public:
  Name() = default;
  static Name intern(std::string_view text);
  const std::string& str() const;
  uint32_t id() const { return id_; }
  bool operator==(const Name& other) const { return id_ == other.id_; }

 private:
  explicit Name(uint32_t id) : id_(id) {}
  uint32_t id_ = 0;  // 0 is the empty name
};

// Byte-wise comparison of the names' texts (unsigned bytes, a proper prefix first).
int compare(Name a, Name b);

struct Variable {
  Name name;
  long suffix = 0;
  bool operator==(const Variable& other) const {
    return name == other.name && suffix == other.suffix;
  }
};

struct VariableHash {
  size_t operator()(const Variable& v) const {
    return std::hash<uint64_t>()((uint64_t(v.name.id()) << 40) ^ uint64_t(v.suffix));
  }
};

int compare(const Variable& a, const Variable& b);

struct Node;

class Term {
 public:
  Term() = default;  // the null handle; only a placeholder, never a term
  Term(const Term& other);
  Term(Term&& other) noexcept : node_(other.node_) { other.node_ = nullptr; }
  Term& operator=(const Term& other);
  Term& operator=(Term&& other) noexcept;
  ~Term();

  bool is_null() const { return node_ == nullptr; }
  bool is_var() const;
  // The symbol of an application or the name of a variable.
  Name name() const;
  // The suffix of a variable (0 for applications).
  long suffix() const;
  Variable var() const { return Variable{name(), suffix()}; }
  std::span<const Term> args() const;
  size_t arity() const { return args().size(); }
  const Term& arg(size_t i) const { return args()[i]; }

  long size() const;        // nodes: a variable 1, an application 1 + sizes of arguments
  long depth() const;       // a variable or constant 1
  bool ground() const;      // no variables
  long max_suffix() const;  // largest variable suffix, never below 0; 0 when ground
  size_t hash() const { return std::hash<const void*>()(node_); }

  bool operator==(const Term& other) const { return node_ == other.node_; }
  const Node* node() const { return node_; }

 private:
  friend struct Node;
  friend Term make_node(int, Name, long, std::span<const Term>);
  explicit Term(Node* adopted) : node_(adopted) {}
  Node* node_ = nullptr;
};

struct TermHash {
  size_t operator()(const Term& t) const { return t.hash(); }
};

// Construction.  Every call returns the unique node of that shape.
Term var(Name name, long suffix);
Term var(std::string_view name, long suffix);
Term var(const Variable& v);
Term app(Name symbol, std::span<const Term> args);
Term app(Name symbol, std::vector<Term>&& args);
Term app(std::string_view symbol, std::initializer_list<Term> args = {});
Term constant(std::string_view symbol);

// Number of live term nodes (for memory checks in tests and benchmarks).
size_t live_nodes();

// A rule lhs -> rhs; an equation has the same layout (left side as lhs).
struct Rule {
  Term lhs;
  Term rhs;
  bool operator==(const Rule& other) const { return lhs == other.lhs && rhs == other.rhs; }
};
using Equation = Rule;

struct RuleHash {
  size_t operator()(const Rule& r) const { return r.lhs.hash() * 31 + r.rhs.hash(); }
};

// The structural total order: every variable precedes every application; variables by name then
// suffix; applications by symbol name, then arguments lexicographically (a proper prefix first);
// rules by lhs then rhs; rule sets member-wise in increasing order, a proper prefix first.
int compare(const Term& a, const Term& b);
int compare(const Rule& a, const Rule& b);

struct RuleLess {
  bool operator()(const Rule& a, const Rule& b) const { return compare(a, b) < 0; }
};
using Trs = std::set<Rule, RuleLess>;
int compare(const Trs& a, const Trs& b);
struct TrsLess {
  bool operator()(const Trs& a, const Trs& b) const { return compare(a, b) < 0; }
};
using TrsSet = std::set<Trs, TrsLess>;

Trs trs_of_rules(const std::vector<Rule>& rules);

// Sizes and variables.
inline long size(const Term& t) { return t.size(); }
long sizes(const std::vector<Term>& terms);
long maxs(const std::vector<long>& values);  // never below 0; 0 for the empty list
bool occurs(const Variable& v, const Term& t);
// Every variable of the terms, each once, in order of first occurrence (left to right, depth
// first).
std::vector<Variable> find_vars_all(const std::vector<Term>& terms);
std::vector<Variable> find_vars(const Term& t);
bool subset(const std::vector<Variable>& a, const std::vector<Variable>& b);
// Every variable of s occurs in t.
bool subset_vars(const Term& s, const Term& t);

}  // namespace Terms

template <>
struct std::hash<Terms::Term> {
  size_t operator()(const Terms::Term& t) const { return t.hash(); }
};
