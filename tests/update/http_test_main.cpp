#include <gtest/gtest.h>

#include <QCoreApplication>

// The socket layer needs an application object, as in the program and the tool.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
