#include <cstdlib>

#include <gtest/gtest.h>

#include "Frameworks/Core/Assert.h"

int main(int argc, char** argv) {
  // A failed internal check is a bug the tests must see, not a report to carry on from.
  core::setAssertionsAbort(true);
#ifdef _WIN32
  _putenv_s("SKARVEL_NO_DIALOGS", "1");
#else
  setenv("SKARVEL_NO_DIALOGS", "1", 1);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
