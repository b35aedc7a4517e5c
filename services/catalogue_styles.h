#pragma once
// The sign forms that the stand-in service accepts: those of the program's catalogue.

#include <vector>

#include "services/sign_forms.h"

namespace signmaker::services {

// Every style of the program's StyleCatalogue, in its order.
std::vector<SignStyle> CatalogueStyles();

}  // namespace signmaker::services
