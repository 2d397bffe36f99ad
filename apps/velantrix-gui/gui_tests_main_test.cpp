// The Qt test program of the windows: runs every registered test class (gui_test_support.h)
// on the offscreen platform.
#include <QApplication>
#include <clocale>
#include <cstdlib>

#include "gui_test_support.h"

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  int failed = 0;
  for (const auto& [name, make] : vx::gui::testing::Registry()) {
    std::unique_ptr<QObject> test = make();
    failed += QTest::qExec(test.get(), argc, argv);
  }
  return failed == 0 ? 0 : 1;
}
