// Verbs on the experiment's reference images: refimage add, list, export.
#include <CLI/CLI.hpp>
#include <opencv2/imgcodecs.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "zone_session.h"
#include "zones/ref_image.h"
#include "zones/ref_image_builder.h"

namespace vx::cli {

namespace {

// Opens EXP for the reference-image verbs; kExitOk or the failure status.
int OpenExperimentFile(Context& context, const std::string& path, ExperimentFile& file) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  file = experiment.file;
  return kExitOk;
}

int RunAdd(Context& context, const std::string& path, const std::string& imagePath, std::string name, bool gray) {
  ExperimentFile file;
  if (const int status = OpenExperimentFile(context, path, file)) return status;
  cv::Mat image;
  try {
    image = cv::imread(imagePath, cv::IMREAD_UNCHANGED);
  } catch (const cv::Exception&) {
  }
  if (image.empty()) return context.Fail(Format("Unable to read the image '%s'.", imagePath.c_str()));
  // Grey references are made as detection makes its grey frames.
  image = ReferenceFrame(image, gray || image.channels() == 1);
  if (image.empty()) return context.Fail(Format("'%s' is not an 8-bit image.", imagePath.c_str()));
  if (name.empty()) name = imagePath.substr(imagePath.find_last_of('/') + 1);
  int id = -1;
  if (!SaveRefImage(file, id, image, name)) {
    return context.Fail("The reference image could not be saved; the experiment file is unchanged.");
  }
  context.io.out << id << '\n';
  return kExitOk;
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  ExperimentFile file;
  if (const int status = OpenExperimentFile(context, path, file)) return status;
  std::vector<RefImageEntry> images;
  if (!ListRefImages(file, false, images)) return context.Fail("The reference images could not be read.");
  RecordTable table({"id", "name", "gray", "width", "height"});
  for (const RefImageEntry& image : images) {
    table.Add({Cell::Int(image.id), Cell::Str(image.name), Cell::Bool(image.gray), Cell::Int(image.width),
               Cell::Int(image.height)});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

int RunExport(Context& context, const std::string& path, int id, const std::string& out) {
  ExperimentFile file;
  if (const int status = OpenExperimentFile(context, path, file)) return status;
  const cv::Mat image = LoadRefImage(file, id);
  if (image.empty()) return context.Fail(Format("There is no readable reference image %d.", id));
  if (!WriteImageFile(out, image)) return context.Fail(Format("Unable to write the image to '%s'.", out.c_str()));
  return kExitOk;
}

}  // namespace

void RegisterRefImageCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* refimage = app.add_subcommand("refimage", "Reference images (backgrounds without the animal)");
  refimage->require_subcommand(1);
  auto path = std::make_shared<std::string>();
  auto image = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>();
  auto gray = std::make_shared<bool>(false);
  CLI::App* add = refimage->add_subcommand("add", "Store an image file as a reference image; prints its id");
  add->add_option("EXP", *path, "Experiment file")->required();
  add->add_option("IMAGE", *image, "Image file")->required();
  add->add_option("--name", *name, "Name (default: the file name)");
  add->add_flag("--gray", *gray, "Store as a grey image");
  add->callback([&, path, image, name, gray] {
    result.Select([&, path, image, name, gray] { return RunAdd(context, *path, *image, *name, *gray); });
  });

  AddListVerb(*refimage, context, result, "List the reference images by name", RunList);

  auto id = std::make_shared<int>(-1);
  auto out = std::make_shared<std::string>();
  CLI::App* exportImage = refimage->add_subcommand("export", "Write a reference image to an image file");
  exportImage->add_option("EXP", *path, "Experiment file")->required();
  exportImage->add_option("ID", *id, "Reference image id")->required()->check(NumberIn(RecordId()));
  exportImage->add_option("--out", *out, "Image file to write")->required();
  exportImage->callback([&, path, id, out] {
    result.Select([&, path, id, out] { return RunExport(context, *path, *id, *out); });
  });
}

}  // namespace vx::cli
