// Inside the exchange unit: the state of one run that the public header does not show.
#pragma once

#include <string>

// Where ParseExchangeLine tokenizes a line handed to it: it grows to the longest line so far,
// so lines cost no allocation, and FreeExchangeData gives it back with the rest of the run.
std::string& LineScratch();
