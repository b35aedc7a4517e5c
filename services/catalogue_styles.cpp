#include "services/catalogue_styles.h"

#include "maker/style_catalogue.h"

namespace signmaker::services {

std::vector<SignStyle> CatalogueStyles() {
  std::vector<SignStyle> styles;
  for (int index = 0; index < StyleCatalogue::Size; ++index) {
    if (const StyleRow* row = StyleCatalogue::Lookup(index)) {
      styles.push_back({row->index, row->endpointPath, row->head, row->tail});
    }
  }
  return styles;
}

}  // namespace signmaker::services
