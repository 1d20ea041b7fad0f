// Hash-consed term nodes, interned names and the structural total order.
//
// Nodes live in one open hash table keyed by shape: (kind, name, suffix) for a variable and
// (name, argument nodes) for an application.  Because arguments are themselves unique nodes, the
// shape hash combines argument pointers and costs O(arity).  A node's argument handles are stored
// inline after the node.  Reference counts are plain integers (one thread).  Releasing a node
// whose count drops to zero uses an explicit work list instead of recursion.
#include "terms/terms.hpp"

#include <algorithm>
#include <cstring>
#include <deque>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace Terms {

// ---------------------------------------------------------------------------------------------
// Names

namespace {

struct NameTable {
  std::deque<std::string> texts{std::string()};  // a deque keeps references stable
  std::unordered_map<std::string_view, uint32_t> ids{{std::string_view(), 0}};
};

NameTable& names() {
  // Never destroyed: terms in static storage may outlive any ordinary static object.
  static NameTable* table = new NameTable();
  return *table;
}

}  // namespace

Name Name::intern(std::string_view text) {
  NameTable& table = names();
  auto found = table.ids.find(text);
  if (found != table.ids.end()) return Name(found->second);
  auto id = static_cast<uint32_t>(table.texts.size());
  table.texts.emplace_back(text);
  table.ids.emplace(std::string_view(table.texts.back()), id);
  return Name(id);
}

const std::string& Name::str() const {
  return names().texts[id_];
}

int compare(Name a, Name b) {
  if (a == b) return 0;
  const std::string& x = a.str();
  const std::string& y = b.str();
  size_t n = std::min(x.size(), y.size());
  int c = n == 0 ? 0 : std::memcmp(x.data(), y.data(), n);  // memcmp compares unsigned bytes
  if (c != 0) return c < 0 ? -1 : 1;
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

int compare(const Variable& a, const Variable& b) {
  int c = compare(a.name, b.name);
  if (c != 0) return c;
  if (a.suffix == b.suffix) return 0;
  return a.suffix < b.suffix ? -1 : 1;
}

// ---------------------------------------------------------------------------------------------
// Nodes

struct Node {
  uint32_t refs;
  bool is_var;
  bool ground;
  uint32_t arity;
  Name name;
  long suffix;
  long size;
  long depth;
  long max_suffix;
  size_t shape_hash;

  Term* args() { return reinterpret_cast<Term*>(this + 1); }
  const Term* args() const { return reinterpret_cast<const Term*>(this + 1); }
};

static_assert(alignof(Node) >= alignof(Term));

namespace {

size_t mix(size_t h, size_t v) {
  return h ^ (v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

struct Shape {
  bool is_var;
  Name name;
  long suffix;
  std::span<const Term> args;
  size_t hash;
};

size_t shape_hash(bool is_var, Name name, long suffix, std::span<const Term> args) {
  size_t h = mix(is_var ? 1 : 2, name.id());
  if (is_var) return mix(h, static_cast<size_t>(suffix));
  h = mix(h, args.size());
  for (const Term& a : args) h = mix(h, reinterpret_cast<size_t>(a.node()));
  return h;
}

struct NodeHash {
  using is_transparent = void;
  size_t operator()(const Node* n) const { return n->shape_hash; }
  size_t operator()(const Shape& s) const { return s.hash; }
};

bool same_shape(const Node* n, const Shape& s) {
  if (n->is_var != s.is_var || !(n->name == s.name)) return false;
  if (n->is_var) return n->suffix == s.suffix;
  if (n->arity != s.args.size()) return false;
  for (size_t i = 0; i < s.args.size(); ++i)
    if (n->args()[i].node() != s.args[i].node()) return false;
  return true;
}

struct NodeEq {
  using is_transparent = void;
  bool operator()(const Node* a, const Node* b) const { return a == b; }
  bool operator()(const Shape& s, const Node* n) const { return same_shape(n, s); }
  bool operator()(const Node* n, const Shape& s) const { return same_shape(n, s); }
};

using NodeTable = std::unordered_set<Node*, NodeHash, NodeEq>;

NodeTable& table() {
  static NodeTable* nodes = new NodeTable(1024);
  return *nodes;
}

void retain(Node* n) {
  if (n) ++n->refs;
}

// Frees n and every argument node whose count drops to zero with it.
void destroy(Node* first) {
  std::vector<Node*> work{first};
  while (!work.empty()) {
    Node* n = work.back();
    work.pop_back();
    table().erase(n);
    Term* args = n->args();
    for (uint32_t i = 0; i < n->arity; ++i) {
      Node* child = const_cast<Node*>(args[i].node());
      // Detach the handle without running its release: the count is handled here.
      new (&args[i]) Term();
      if (--child->refs == 0) work.push_back(child);
    }
    n->~Node();
    ::operator delete(n);
  }
}

void release(Node* n) {
  if (n && --n->refs == 0) destroy(n);
}

}  // namespace

Term make_node(int is_var, Name name, long suffix, std::span<const Term> args) {
  Shape shape{is_var != 0, name, suffix, args, shape_hash(is_var != 0, name, suffix, args)};
  NodeTable& nodes = table();
  auto found = nodes.find(shape);
  if (found != nodes.end()) {
    retain(*found);
    return Term(*found);
  }
  void* memory = ::operator new(sizeof(Node) + args.size() * sizeof(Term));
  Node* n = new (memory) Node{};
  n->refs = 1;
  n->is_var = shape.is_var;
  n->name = name;
  n->suffix = shape.is_var ? suffix : 0;
  n->arity = static_cast<uint32_t>(args.size());
  n->shape_hash = shape.hash;
  n->size = 1;
  n->depth = 1;
  n->ground = !shape.is_var;
  n->max_suffix = shape.is_var ? std::max(0L, suffix) : 0;
  Term* slots = n->args();
  for (size_t i = 0; i < args.size(); ++i) {
    new (&slots[i]) Term(args[i]);
    const Node* a = args[i].node();
    n->size += a->size;
    n->depth = std::max(n->depth, a->depth + 1);
    n->ground = n->ground && a->ground;
    n->max_suffix = std::max(n->max_suffix, a->max_suffix);
  }
  nodes.insert(n);
  return Term(n);
}

Term::Term(const Term& other) : node_(other.node_) {
  retain(node_);
}

Term& Term::operator=(const Term& other) {
  retain(other.node_);
  release(node_);
  node_ = other.node_;
  return *this;
}

Term& Term::operator=(Term&& other) noexcept {
  if (this != &other) {
    release(node_);
    node_ = other.node_;
    other.node_ = nullptr;
  }
  return *this;
}

Term::~Term() {
  release(node_);
}

bool Term::is_var() const {
  return node_->is_var;
}
Name Term::name() const {
  return node_->name;
}
long Term::suffix() const {
  return node_->suffix;
}
std::span<const Term> Term::args() const {
  return {node_->args(), node_->arity};
}
long Term::size() const {
  return node_->size;
}
long Term::depth() const {
  return node_->depth;
}
bool Term::ground() const {
  return node_->ground;
}
long Term::max_suffix() const {
  return node_->max_suffix;
}

Term var(Name name, long suffix) {
  return make_node(1, name, suffix, {});
}
Term var(std::string_view name, long suffix) {
  return var(Name::intern(name), suffix);
}
Term var(const Variable& v) {
  return var(v.name, v.suffix);
}
Term app(Name symbol, std::span<const Term> args) {
  return make_node(0, symbol, 0, args);
}
Term app(Name symbol, std::vector<Term>&& args) {
  return make_node(0, symbol, 0, std::span<const Term>(args));
}
Term app(std::string_view symbol, std::initializer_list<Term> args) {
  return make_node(0, Name::intern(symbol), 0, std::span<const Term>(args.begin(), args.size()));
}
Term constant(std::string_view symbol) {
  return app(symbol, {});
}

size_t live_nodes() {
  return table().size();
}

// ---------------------------------------------------------------------------------------------
// Order

int compare(const Term& a, const Term& b) {
  if (a == b) return 0;
  if (a.is_var() != b.is_var()) return a.is_var() ? -1 : 1;
  if (a.is_var()) return compare(a.var(), b.var());
  int c = compare(a.name(), b.name());
  if (c != 0) return c;
  auto xs = a.args();
  auto ys = b.args();
  size_t n = std::min(xs.size(), ys.size());
  for (size_t i = 0; i < n; ++i) {
    c = compare(xs[i], ys[i]);
    if (c != 0) return c;
  }
  if (xs.size() == ys.size()) return 0;
  return xs.size() < ys.size() ? -1 : 1;
}

int compare(const Rule& a, const Rule& b) {
  int c = compare(a.lhs, b.lhs);
  return c != 0 ? c : compare(a.rhs, b.rhs);
}

int compare(const Trs& a, const Trs& b) {
  auto x = a.begin();
  auto y = b.begin();
  for (; x != a.end() && y != b.end(); ++x, ++y) {
    int c = compare(*x, *y);
    if (c != 0) return c;
  }
  if (x == a.end() && y == b.end()) return 0;
  return x == a.end() ? -1 : 1;
}

Trs trs_of_rules(const std::vector<Rule>& rules) {
  return Trs(rules.begin(), rules.end());
}

// ---------------------------------------------------------------------------------------------
// Sizes and variables

long sizes(const std::vector<Term>& terms) {
  long total = 0;
  for (const Term& t : terms) total += t.size();
  return total;
}

long maxs(const std::vector<long>& values) {
  long best = 0;
  for (long v : values) best = std::max(best, v);
  return best;
}

// Subterms that cannot hold v (ground, or all suffixes below v's) are skipped; the walk keeps its
// own stack, so term depth costs no call stack.
bool occurs(const Variable& v, const Term& t) {
  auto may_hold = [&](const Term& s) { return !s.ground() && s.max_suffix() >= v.suffix; };
  if (!may_hold(t)) return false;
  std::vector<const Term*> work{&t};
  while (!work.empty()) {
    const Term* s = work.back();
    work.pop_back();
    if (s->is_var()) {
      if (s->var() == v) return true;
      continue;
    }
    for (const Term& a : s->args())
      if (may_hold(a)) work.push_back(&a);
  }
  return false;
}

namespace {

// Left to right, first occurrence first; an explicit stack, so term depth costs no call stack.
void collect_vars(const Term& t, std::vector<Variable>& out,
                  std::unordered_set<const Node*>& seen) {
  std::vector<const Term*> pending{&t};
  while (!pending.empty()) {
    const Term* u = pending.back();
    pending.pop_back();
    if (u->ground()) continue;
    if (u->is_var()) {
      if (seen.insert(u->node()).second) out.push_back(u->var());
      continue;
    }
    auto args = u->args();
    for (size_t i = args.size(); i-- > 0;) pending.push_back(&args[i]);
  }
}

}  // namespace

std::vector<Variable> find_vars_all(const std::vector<Term>& terms) {
  std::vector<Variable> out;
  std::unordered_set<const Node*> seen;  // variable nodes are unique per variable
  for (const Term& t : terms) collect_vars(t, out, seen);
  return out;
}

std::vector<Variable> find_vars(const Term& t) {
  return find_vars_all({t});
}

bool subset(const std::vector<Variable>& a, const std::vector<Variable>& b) {
  for (const Variable& x : a)
    if (std::find(b.begin(), b.end(), x) == b.end()) return false;
  return true;
}

bool subset_vars(const Term& s, const Term& t) {
  return subset(find_vars(s), find_vars(t));
}

}  // namespace Terms
