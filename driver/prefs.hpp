// Run-wide settings.  Created with their defaults at program start, changed only by the command
// line, never reset between problem files.  (The verbosity lives in Debug, the prover choice and
// command in Checker.)
#pragma once

namespace Prefs {

extern bool debug_learning;
extern bool debug_checker;
extern bool debug_rewriting;
extern bool complete;
extern bool find_all;
extern long timeout;  // seconds; 0 or less means no limit
extern bool trust_input;
extern bool detect_divergence;
extern long max_exp_factor;
extern long max_exp_threshold;

}  // namespace Prefs
