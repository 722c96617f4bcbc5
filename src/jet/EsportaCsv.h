#pragma once

// Records as comma-separated values in UTF-8, for support staff who check
// why a room or a guest shows as it does (vdx-query).

#include "jet/Database.h"

#include <ostream>
#include <string_view>

namespace vdx::jet {

// Writes a header line with the field names, then one line per record of the
// set (every record, or those that satisfy `criterio` when it is not empty,
// found with FindFirst / FindNext as the system finds them). Values are their
// text (Valore::testo); a value holding a comma, a quote or a line end is put
// between double quotes with its quotes doubled; NULL is an empty value.
// Lines end with CR LF. Returns the number of records written.
std::size_t ScriviCsv(Recordset& rs, std::string_view criterio, std::ostream& out);

} // namespace vdx::jet
