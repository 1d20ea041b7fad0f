// Naming of variables: declared variables keep their declared names, made ones are "_N".
#include "trs.hpp"

namespace Termination {

std::string Trs::variable_name(VarId v) const {
  if (v >= 0 && v < static_cast<VarId>(variable_names.size())) return variable_names[v];
  return "_" + std::to_string(v);
}

}  // namespace Termination
