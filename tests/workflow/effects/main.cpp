// Text watermarks need a QGuiApplication for Qt's fonts. Without a display the tests run on
// the offscreen platform; listing the tests (as test discovery does at build time) needs no
// application.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QtGlobal>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
