#pragma once
// The program's string table, by resource id. Where the clock computes an id
// ("1200 + s div 7200"), callers do the same arithmetic and look the text up here.

#include <string>

namespace vireo {

// UTF-8 text of string resource id; empty for an id the table does not hold.
const std::string& LoadResString(int id);

}  // namespace vireo
