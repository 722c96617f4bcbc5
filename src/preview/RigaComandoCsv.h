#pragma once

// `vdx export-csv [FILE]`: the separated-values export without windows.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vdx {

// Exports FILE (default "fd" + pclocal, the workstation's report) of
// `folder` to "fd" + pclocal + ".csv" there, with the folder's
// SeparatoreXLS.txt. `args` are the words after "export-csv". Prints the
// output's name on `out`; errors go to `err` with their number. Returns 0
// when done, 1 when the export failed, 2 on a wrong command line.
int EseguiEsportaCsv(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& folder);

} // namespace vdx
