#include "driver/prefs.hpp"

namespace Prefs {

bool debug_learning = false;
bool debug_checker = false;
bool debug_rewriting = false;
bool complete = false;
bool find_all = false;
long timeout = 0;
bool trust_input = false;
bool detect_divergence = false;
long max_exp_factor = 3;
long max_exp_threshold = 10;

}  // namespace Prefs
