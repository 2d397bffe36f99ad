#include "gui_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <clocale>
#include <memory>

#include "base/ini_settings.h"
#include "base/system_platform.h"
#include "gui_session.h"
#include "main_window.h"
#include "message_boxes.h"
#include "screenshot.h"
#include "single_instance.h"
#include "video/video_probe.h"
#include "view_table.h"

namespace vx::gui {

namespace {

struct GuiOptions {
  QString experiment, view, out, size = "1200x800";
  int test = -1;
};

int Fail(const QString& text, int status = 2) {
  QTextStream(stderr) << "velantrix-gui: " << text << '\n';
  return status;
}

// Reads the arguments; 0, or the exit status after saying what is wrong.
int ParseArguments(const QApplication& app, GuiOptions& options) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Velantrix: video tracking of animals, in windows");
  parser.addHelpOption();
  parser.addPositionalArgument("EXP", "Experiment file (.vxdb) to open");
  parser.addOption({"screenshot", "Render VIEW (" + QString::fromStdString(ViewNames()) + ") and exit", "VIEW"});
  parser.addOption({"out", "The PNG file of --screenshot", "IMAGE"});
  parser.addOption({"test", "The test to show (default: the first)", "ID"});
  parser.addOption({"size", "Size of the rendering, WIDTHxHEIGHT (default 1200x800)", "WxH"});
  parser.process(app);
  const QStringList positional = parser.positionalArguments();
  if (positional.size() > 1) return Fail("give one experiment file at most.");
  options.experiment = positional.value(0);
  options.view = parser.value("screenshot");
  options.out = parser.value("out");
  if (parser.isSet("size")) options.size = parser.value("size");
  if (parser.isSet("test")) {
    bool number = false;
    options.test = parser.value("test").toInt(&number);
    if (!number || options.test < 1) return Fail("--test: '" + parser.value("test") + "' is not a test id.");
  }
  if (!options.view.isEmpty() && (options.experiment.isEmpty() || options.out.isEmpty())) {
    return Fail("--screenshot needs the experiment file and --out IMAGE.png.");
  }
  return 0;
}

int RenderForScript(GuiSession& session, const GuiOptions& options) {
  QSize size;
  if (!ParseSize(options.size.toStdString(), size)) {
    return Fail("--size: '" + options.size + "' is not WIDTHxHEIGHT (100 to 10000 pixels each).");
  }
  if (FindView(options.view.toStdString()) == nullptr) {
    return Fail("unknown view '" + options.view + "': one of " + QString::fromStdString(ViewNames()) + ".");
  }
  if (!session.services().files->Exists(options.experiment.toStdString())) {
    return Fail("'" + options.experiment + "' does not exist.", 1);
  }
  if (!session.OpenForReading(options.experiment.toStdString())) {
    return Fail("'" + options.experiment + "' is not an experiment file that can be read.", 1);
  }
  if (options.test >= 0 && session.experiment().FindTest(options.test) == nullptr) {
    return Fail(QString("there is no test %1 in '%2'.").arg(options.test).arg(options.experiment), 1);
  }
  const QImage image = RenderView(session, options.view.toStdString(), options.test, size);
  if (image.isNull() || !image.save(options.out, "PNG")) {
    return Fail("unable to write the image '" + options.out + "'.", 1);
  }
  return 0;
}

}  // namespace

int RunGuiApp(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velantrix");
  QApplication::setApplicationVersion(VX_VERSION);
  // Numbers are read and written with a point whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");
  GuiOptions options;
  if (const int status = ParseArguments(app, options)) return status;

  std::unique_ptr<MainWindow> window;
  MessageBoxNotifier notifier([&window] { return static_cast<QWidget*>(window.get()); });
  MessageBoxAsker asker([&window] { return static_cast<QWidget*>(window.get()); });
  IniSettingsStore settings(IniSettingsStore::DefaultPath());
  SystemClock clock;
  SystemFileSystem files;
  const VideoProbe probe = [](const std::string& path, VideoFileFacts& facts, const VideoProbeProgress& progress) {
    return ProbeVideoFile(path, facts, progress);
  };
  GuiSession session({&notifier, &asker, &settings, &clock, &files}, probe);
  if (!options.view.isEmpty()) return RenderForScript(session, options);

  SingleInstance instance(DefaultInstanceKey());
  if (instance.HandOver(options.experiment)) return 0;
  window = std::make_unique<MainWindow>(session);
  QObject::connect(&instance, &SingleInstance::FileHanded, window.get(), &MainWindow::OpenFile);
  window->show();
  if (!options.experiment.isEmpty()) window->OpenFile(options.experiment);
  const int status = app.exec();
  window.reset();
  return status;
}

}  // namespace vx::gui
