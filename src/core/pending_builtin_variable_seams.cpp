// Placeholders until the global built-in variables and constants land.
#include "core/builtin_variables.h"

void INITIALIZE_Variable_BuiltIn() {}
void INITIALIZE_Code_Constant() {}
void FINALIZE_Code_Constant() {}
