#pragma once

#include "printing/StampaReport.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace vdx {

// `vdx print`: prints the report of the working folder as the print menu's
// buttons do, without a window.
//
//   vdx print [--destination NAME] [--printer NAME] [--normal] [--landscape] [--duplex]
//   vdx print --pdf [--printer NAME] [--normal] [--landscape] [--duplex]
//
// --destination picks the configured destination (default: the first of
// hotel 1), --pdf the last one whose name holds "PDF", --printer a system
// printer instead of the destination's own output; print is compressed
// unless --normal. `args` are the words after "print", as given on the
// command line (UTF-8). Messages go to `err` in UTF-8. Returns 0 when the
// report was printed, 1 when nothing was printed, 2 on an error.
int EseguiStampa(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& cartella, const FabbricaStampante& fabbrica);

} // namespace vdx
