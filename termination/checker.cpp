// The termination checker front end.
//
// One question runs in a fixed order: render the variable declaration and the rule list, get
// the selected client's handle (which may start the prover), count the question, tell both texts,
// then time the client's ask (ending the question and reading the verdict), update the
// statistics and record a definite verdict in the knowledge cache.  The cache is not consulted
// here; orientation does that before asking.
//
// Renderings of variables are not one-to-one (X1 with suffix 2 and X with suffix 12 both read
// X12).  When two distinct variables of one rule would read alike, the question is written with
// every rule renamed canonically on its own, which is sound because each rule's variables are its
// own; otherwise the texts are the plain renderings.
#include "termination/checker.hpp"

#include <sys/time.h>

#include <cstdio>
#include <limits>
#include <unordered_set>

#include "driver/debug.hpp"
#include "driver/exit.hpp"
#include "driver/failure.hpp"
#include "driver/prefs.hpp"
#include "io/print.hpp"
#include "termination/learning.hpp"
#include "termination/tpa.hpp"
#include "terms/substitution.hpp"

namespace Checker {

Kind current_checker = Kind::AProVE;
std::string aprove_command = "aprove";

long checker_calls = 0;
double checker_time = 0.0;
double checker_max_time = 0.0;
double checker_min_time = std::numeric_limits<double>::max();
long checker_yes = 0;
double checker_yes_time = 0.0;
double checker_yes_max_time = 0.0;
long checker_no = 0;
long checker_unknown = 0;
long orientations = 0;

namespace {

const CheckerClient clients[] = {
    {"AProVE", "aprove", Aprove::get_handle, Aprove::tell, Aprove::ask, Aprove::shutdown},
    {"TPA", "tpa", Tpa::get_handle, Tpa::tell, Tpa::ask, Tpa::shutdown},
};

const CheckerClient& selected() {
  return client(current_checker);
}

// Whether two distinct variables of the rule render to the same text.
bool has_ambiguous_variables(const Terms::Rule& rule) {
  std::unordered_set<std::string> texts;
  for (const Terms::Variable& v : Terms::find_vars_all({rule.lhs, rule.rhs}))
    if (!texts.insert(Print::string_of_variable(v)).second) return true;
  return false;
}

// The rules and variables to write: unchanged, unless some rule has ambiguous variable texts.
std::pair<std::string, std::string> question_texts(const std::vector<Terms::Rule>& rules,
                                                   const std::vector<Terms::Variable>& vars) {
  bool ambiguous = false;
  for (const Terms::Rule& rule : rules) ambiguous = ambiguous || has_ambiguous_variables(rule);
  if (!ambiguous) return {Print::string_of_vars_tpdb(vars), Print::string_of_trs_tpdb(rules)};
  std::vector<Terms::Rule> renamed;
  std::vector<Terms::Term> sides;
  for (const Terms::Rule& rule : rules) {
    renamed.push_back(Terms::canon_rule(rule));
    sides.push_back(renamed.back().lhs);
    sides.push_back(renamed.back().rhs);
  }
  return {Print::string_of_vars_tpdb(Terms::find_vars_all(sides)),
          Print::string_of_trs_tpdb(renamed)};
}

void record_wait(double wait) {
  checker_time += wait;
  if (wait > checker_max_time) checker_max_time = wait;
  if (wait < checker_min_time) checker_min_time = wait;
}

bool record_verdict(Status::CheckerStatus status, double wait,
                    const std::vector<Terms::Rule>& rules) {
  switch (status) {
    case Status::CheckerStatus::YES:
      ++checker_yes;
      checker_yes_time += wait;
      if (wait > checker_yes_max_time) checker_yes_max_time = wait;
      Learning::register_terminating_trs(rules);
      return true;
    case Status::CheckerStatus::NO:
      ++checker_no;
      Learning::register_nonterminating_trs(rules);
      return false;
    case Status::CheckerStatus::UNKNOWN:
      break;
  }
  ++checker_unknown;
  return false;
}

}  // namespace

void use_aprove() {
  current_checker = Kind::AProVE;
  aprove_command = client(Kind::AProVE).default_command;
}

void use_tpa() {
  current_checker = Kind::TPA;
  aprove_command = client(Kind::TPA).default_command;
}

std::string checker_name() {
  return selected().name;
}

const CheckerClient& client(Kind kind) {
  return clients[kind == Kind::AProVE ? 0 : 1];
}

Aprove::ProverHandle& get_handle(const std::string& command) {
  return selected().get_handle(command);
}

void tell(Aprove::ProverHandle& handle, const std::string& text) {
  selected().tell(handle, text);
}

Status::CheckerStatus ask(Aprove::ProverHandle& handle) {
  return selected().ask(handle);
}

double time_of_day() {
  struct timeval now;
  gettimeofday(&now, nullptr);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_usec) * 1e-6;
}

std::string string_of_wait(double seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%.12g", seconds);
  std::string s = text;
  if (s.find_first_not_of("0123456789-") == std::string::npos) s += '.';
  return s;
}

bool is_terminating(const std::vector<Terms::Rule>& rules,
                    const std::vector<Terms::Variable>& vars) {
  if (rules.empty()) throw Korvath::Failure("Testing empty TRS for termination");
  const auto [vars_text, rules_text] = question_texts(rules, vars);
  Aprove::ProverHandle& handle = Checker::get_handle(aprove_command);
  ++checker_calls;
  if (Prefs::debug_checker)
    Debug::debug_l(Debug::Level::trace, [] { return "tell: " + std::to_string(checker_calls); });
  Checker::tell(handle, vars_text);
  Checker::tell(handle, rules_text);
  const double before = time_of_day();
  const Status::CheckerStatus status = Checker::ask(handle);
  const double wait = time_of_day() - before;
  record_wait(wait);
  if (Prefs::debug_checker)
    Debug::debug_l(Debug::Level::trace, [&] {
      return "ask: " + std::to_string(checker_calls) + " " +
             Status::string_of_checker_status(status) + " " + string_of_wait(wait);
    });
  return record_verdict(status, wait, rules);
}

void shutdown() {
  // The selected client's prover first; then the other client's, if it left one running (a
  // prover must not outlive korvath).
  selected().shutdown();
  client(current_checker == Kind::AProVE ? Kind::TPA : Kind::AProVE).shutdown();
}

void initialize() {
  static bool initialized = false;
  if (initialized) return;
  initialized = true;
  Korvath::add_exit_action(shutdown);
  Korvath::add_signal_exit_action(Aprove::stop_all_provers_from_signal);
}

}  // namespace Checker
