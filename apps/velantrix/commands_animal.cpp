// Verbs on animals: animal add, list.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/animal_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"

namespace vx::cli {

namespace {

// Sizes are stored as whole cm²; a square metre is far beyond any animal filmed from above.
NumberList AnimalSizes() { return {"MIN,MAX", ',', 2, {0, 10000, true, "cm²"}, true}; }

int RunAdd(Context& context, const std::string& path, const std::string& name,
           const std::string& size) {
  if (Trim(name).empty()) return context.Fail("The animal needs a name.", kExitUsage);
  CAnimal animal;
  animal.name = name;
  if (!size.empty()) {
    std::vector<int> sizes;
    if (const std::string problem = ReadWholeNumbers(size, AnimalSizes(), sizes); !problem.empty()) {
      return context.Fail("--size: " + problem + ".", kExitUsage);
    }
    animal.usesExperimentSize = false;
    animal.minSize = sizes[0];
    animal.maxSize = sizes[1];
    animal.size = SettingFromSizes(sizes[0], sizes[1]);
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  const bool saved = SaveAnimal(experiment, animal);
  return ReportCreated(context, saved, animal.id, "animal");
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "name", "min_size", "max_size", "size_setting", "tests", "notes"});
  for (const CAnimal& a : experiment.animals) {
    int tests = 0;
    for (const auto& [id, test] : experiment.tests) tests += test.idAnimal == a.id ? 1 : 0;
    const AnimalSizeSetting& size = a.usesExperimentSize ? experiment.settings.animalSize : a.size;
    table.Add({Cell::Int(a.id), Cell::Str(a.name), Cell::Int(size.minSize),
               Cell::Int(size.maxSize), Cell::Str(a.usesExperimentSize ? "experiment" : "own"),
               Cell::Int(tests), Cell::Str(a.notes)});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

}  // namespace

void RegisterAnimalCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* animal = Verb(app, "animal", "Animals: add, list");
  auto path = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>();
  auto size = std::make_shared<std::string>();
  CLI::App* add = animal->add_subcommand("add", "Add an animal; prints its id");
  add->add_option("EXP", *path, "Experiment file")->required();
  add->add_option("--name", *name, "Animal name")->required();
  add->add_option("--size", *size,
                  "MIN,MAX body size in cm² (default: the experiment's size setting)")
      ->check(NumbersIn(AnimalSizes()));
  add->callback([&, path, name, size] {
    result.Select([&, path, name, size] { return RunAdd(context, *path, *name, *size); });
  });

  AddListVerb(*animal, context, result, "List the animals", RunList);
}

}  // namespace vx::cli
