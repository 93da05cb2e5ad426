#pragma once

namespace tavik {

// A whole number a test may set in the environment to shorten a wait or
// lower a limit that would otherwise make it slow (the wait for the database
// lock, the number of tables ludric takes). `fallback` when the variable is
// unset or not a whole number within [lowest, highest]: a user never sets
// these, and a stray value never changes what the programs do.
long tuningValue(const char* name, long fallback, long lowest, long highest);

} // namespace tavik
