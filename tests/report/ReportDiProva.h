#pragma once

// What a test run of the generator needs: its options, and the comparison
// of the report it writes with the golden files.

#include "report/GeneraTableau.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace vdx::test {

// The options of a test run: hotel 1, tableau 1, 05/03/2024, every room,
// pclocal 7, the clock at 05/03/2024 07:30.
OpzioniTableau OpzioniDiProva(const std::filesystem::path& cartella);

// Whole-file comparison with tests/golden/report/<nome>; with the environment
// variable VDX_UPDATE_GOLDEN set the file is written instead. On a difference
// the message shows the differing lines with the rules drawn as | and -.
::testing::AssertionResult UgualeAlGolden(const std::string& nome, const std::string& byte);

} // namespace vdx::test
