// Syntactic non-termination: rules that loop whatever the other rules are.
//
// A rule x -> r with a variable left side rewrites every term. If x occurs in r at p, the term x
// rewrites to r, which holds x at p: a loop. Otherwise r itself rewrites (binding x to r) to r.
// A rule l -> r whose right side has a variable y missing from l rewrites l to r[y := l], which
// holds l at the position of y. Each case yields a witness that check_loop replays.
#pragma once

#include <optional>

#include "loop.hpp"

namespace Termination {

// Returns: a loop witness for the first rule that loops syntactically, or nothing.
std::optional<LoopWitness> find_syntactic_loop(Trs& trs);

}  // namespace Termination
