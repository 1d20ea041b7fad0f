// Running a loaded problem: trusted axioms become fixed orientations, the completion engine
// searches, the conjectures it left open are decided with the completed system, and the run of
// the file closes with a line on standard error.  The engine's signal that every conjecture is
// decided skips straight to that line.
#include "completion/huet.hpp"
#include "driver/debug.hpp"
#include "driver/main.hpp"
#include "driver/prefs.hpp"
#include "termination/orient.hpp"
#include "terms/conjectures.hpp"

namespace Main {

void run(const Problem& problem) {
  if (Prefs::trust_input)
    for (const Terms::Equation& axiom : problem.axioms) Orient::add_axiom(axiom);
  try {
    auto [rules, remaining] = Huet::grind(problem.equations, problem.conjectures, Prefs::find_all);
    if (!remaining.empty()) {
      Debug::maybe_debug(Debug::Level::info, "Deciding remaining conjectures...");
      for (const Conjectures::Conjecture& c : remaining) Conjectures::decide_conjecture(rules, c);
    }
  } catch (const Huet::CONJECTURES_SOLVED&) {
  }
  Debug::maybe_debug(Debug::Level::quiet, "All conjectures solved.");
}

}  // namespace Main
