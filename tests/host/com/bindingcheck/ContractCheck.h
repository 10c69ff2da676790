#pragma once

// Looks up every identifier and place that the binding uses in a compiled type library (a .tlb,
// or a module that holds one), and prints one line for each: "found WHAT" or "missing WHAT".
// Returns 0 when all were found, 1 otherwise.
int CheckContract(const wchar_t *typeLibraryPath);
