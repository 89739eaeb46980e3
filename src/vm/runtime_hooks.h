// What the script object runtime offers the platform's registrar.
#pragma once

// Registers the runtime hook built-ins ("@@new@@", "@@throw@@", ...); the
// platform's registrar runs it last.
void InitJavaScriptFunctions();
