// Base of test suites that open real windows: the Qt widgetset is installed
// for the whole suite, on Qt's offscreen platform unless the environment
// already names one.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "framework/widgetset/qt/QtWidgetSet.h"

namespace framework::test {

class TQtSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SetWidgetset(std::make_unique<TQtWidgetSet>());
  }
  static void TearDownTestSuite() { SetWidgetset(nullptr); }
};

}  // namespace framework::test
