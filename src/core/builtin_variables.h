// The table of built-in variables: the instance variables and the global
// ones in their fixed order (their ids are that order), and the named
// constants scripts resolve after the resource names.
#pragma once

void INITIALIZE_Variable_BuiltIn();
void INITIALIZE_Code_Constant();
void FINALIZE_Code_Constant();
