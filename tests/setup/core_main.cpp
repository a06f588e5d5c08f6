// The in-process tests of the setup core; the harness starts them as one system each and
// names it: setup_core_tests MAJOR.MINOR BITS.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/setup/setup_test_support.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!parse_expected_system(argc, argv)) {
    std::fprintf(stderr, "usage: %s MAJOR.MINOR 32|64\n", argv[0]);
    return 2;
  }
  return RUN_ALL_TESTS();
}
