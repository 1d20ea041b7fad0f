// What the engine shows about a node: its state listing (used when a node is resumed and before
// every equation selection) and the report of a completed node with the run's termination
// checking statistics.  Texts are built only when their level is shown.
#include "completion/huet.hpp"
#include "io/print.hpp"
#include "termination/checker.hpp"

namespace Huet {
namespace {

std::string rule_listing(const Rules& rules, std::string (*prefix)(int)) {
  return Print::string_of_relation(Print::string_of_rule, prefix, Print::f_empty, rules);
}

// The heap's rules in reverse array order.
Rules unmarked_rules(const RuleHeap& unmarked) {
  return rules_of(unmarked, Rules());
}

std::string joined(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += ", ";
    out += part;
  }
  return out;
}

}  // namespace

void show_status(const Problem& p, const BranchInfo& info, Debug::Level level) {
  Debug::debug_l(level, [&] {
    return string_of_id(info.id) + ": State (size=" + std::to_string(problem_size(p)) +
           ", cost=" + string_of_float(problem_cost(p, info)) + ")";
  });
  if (!p.equations.empty())
    Debug::debug_l(level, [&] { return Print::string_of_theory(p.equations); });
  if (!p.unmarked->is_empty())
    Debug::debug_l(level, [&] { return rule_listing(unmarked_rules(*p.unmarked), Print::f_tab); });
  if (!p.marked.empty())
    Debug::debug_l(level, [&] { return rule_listing(p.marked, Print::f_mark); });
}

void report_completion(const Problem& p, const BranchInfo& info) {
  using Debug::Level;
  const double elapsed = now() - t0;
  const std::string name = Checker::checker_name();
  Debug::maybe_debug(Level::quiet, "******* COMPLETION *******");
  Debug::debug_l(Level::quiet, [&] { return rule_listing(p.marked, Print::f_empty); });
  Debug::maybe_debug(Level::quiet, "**************************");
  Debug::debug_l(Level::info, [&] { return "On branch: " + string_of_id(info.id); });
  Debug::debug_l(Level::info, [&] {
    return "With size, cost: " + std::to_string(size_of_trs(p.marked)) + ", " +
           string_of_float(problem_cost(p, info));
  });
  Debug::debug_l(Level::info,
                 [&] { return "Orientations: " + std::to_string(Checker::orientations); });
  Debug::debug_l(Level::info, [&] {
    return "Calls to " + name + " (all, T, NT, ?): " +
           joined({std::to_string(Checker::checker_calls), std::to_string(Checker::checker_yes),
                   std::to_string(Checker::checker_no), std::to_string(Checker::checker_unknown)});
  });
  Debug::debug_l(Level::info, [&] {
    return "Time (all, branch, " + name + "): " +
           joined({string_of_float(elapsed), string_of_float(info.time),
                   string_of_float(Checker::checker_time)});
  });
  Debug::debug_l(Level::info, [&] {
    return "Time/call in " + name + " (Avg, Min, Max): " +
           joined({string_of_float(Checker::checker_time /
                                   static_cast<double>(Checker::checker_calls)),
                   string_of_float(Checker::checker_min_time),
                   string_of_float(Checker::checker_max_time)});
  });
  // No shortest YES wait is recorded; the slots show the longest YES wait and the longest
  // orientation on the completed branch.
  Debug::debug_l(Level::info, [&] {
    return "Time/T-call in " + name + " (Avg, Min, Max): " +
           joined({string_of_float(Checker::checker_yes_time /
                                   static_cast<double>(Checker::checker_yes)),
                   string_of_float(Checker::checker_yes_max_time), string_of_float(info.max_time)});
  });
}

}  // namespace Huet
