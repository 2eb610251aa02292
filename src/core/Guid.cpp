#include "core/Guid.h"

#include <uuid/uuid.h>

namespace pelmora::core {

std::string NewGuidText() {
    uuid_t id;
    uuid_generate_random(id);
    char text[37];
    uuid_unparse_upper(id, text);
    return std::string("{") + text + "}";
}

} // namespace pelmora::core
