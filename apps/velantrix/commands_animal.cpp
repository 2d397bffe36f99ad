// Verbs on animals: animal add, set, list.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/animal_species.h"
#include "db/animal_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"

namespace vx::cli {

namespace {

// Sizes are stored as whole cm²; a square metre is far beyond any animal filmed from above.
NumberList AnimalSizes() { return {"MIN,MAX", ',', 2, {0, 10000, true, "cm²"}, true}; }

// The size typed with --size (MIN,MAX or "experiment") or --species, when either was given.
int ApplySize(Context& context, const std::string& size, const std::string& species, CAnimal& animal) {
  if (size.empty() && species.empty()) return kExitOk;
  if (size == "experiment") {
    animal.usesExperimentSize = true;
    return kExitOk;
  }
  std::vector<int> sizes;
  if (const SpeciesSize* known = FindSpecies(species)) {
    sizes = {known->minSize, known->maxSize};
  } else if (const std::string problem = ReadWholeNumbers(size, AnimalSizes(), sizes); !problem.empty()) {
    return context.Fail("--size: " + problem + ".", kExitUsage);
  }
  animal.usesExperimentSize = false;
  animal.minSize = sizes[0];
  animal.maxSize = sizes[1];
  animal.size = SettingFromSizes(sizes[0], sizes[1]);
  return kExitOk;
}

int RunAdd(Context& context, const std::string& path, const std::string& name,
           const std::string& size, const std::string& species) {
  if (Trim(name).empty()) return context.Fail("The animal needs a name.", kExitUsage);
  CAnimal animal;
  animal.name = name;
  if (const int failed = ApplySize(context, size, species, animal)) return failed;
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  const bool saved = SaveAnimal(experiment, animal);
  return ReportCreated(context, saved, animal.id, "animal");
}

struct SetOptions {
  RecordEdit edit;
  std::string size, species;
};

// Only what was typed changes. The animal's size drives the detection of its next analyses;
// stored analyses and their results stay as they are until the test is analysed again.
int RunSet(Context& context, const SetOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.edit.path, experiment, status)) return status;
  const CAnimal* found = experiment.FindAnimal(o.edit.id);
  if (found == nullptr) return context.Fail(Format("There is no animal %d in '%s'.", o.edit.id, o.edit.path.c_str()));
  CAnimal animal = *found;
  if (const int failed = o.edit.Apply(context, "animal", animal.name, animal.notes)) return failed;
  if (const int failed = ApplySize(context, o.size, o.species, animal)) return failed;
  return o.edit.Saved(context, SaveAnimal(experiment, animal), "animal");
}

CLI::Validator SpeciesName() {
  return CLI::Validator(
      [](std::string& text) {
        return FindSpecies(text) != nullptr ? std::string() : "'" + text + "' is not one of " + SpeciesNames();
      },
      "SPECIES");
}

void RegisterSet(CLI::App& animal, Context& context, CommandResult& result) {
  auto o = std::make_shared<SetOptions>();
  CLI::App* set = AddSetVerb(animal, o->edit, "Change an animal's name, size or notes");
  set->add_option("--size", o->size, "MIN,MAX body size in cm², or experiment (the experiment's size setting)")
      ->check(NumbersIn(AnimalSizes()) | CLI::IsMember({"experiment"}))
      ->excludes(set->add_option("--species", o->species, "Body size of a typical animal: " + SpeciesNames())
                     ->check(SpeciesName()));
  set->callback([&, o] { result.Select([&, o] { return RunSet(context, *o); }); });
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
  CLI::App* animal = Verb(app, "animal", "Animals: add, set, list");
  auto path = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>();
  auto size = std::make_shared<std::string>();
  auto species = std::make_shared<std::string>();
  CLI::App* add = animal->add_subcommand("add", "Add an animal; prints its id");
  add->add_option("EXP", *path, "Experiment file")->required();
  add->add_option("--name", *name, "Animal name")->required();
  add->add_option("--size", *size,
                  "MIN,MAX body size in cm² (default: the experiment's size setting)")
      ->check(NumbersIn(AnimalSizes()))
      ->excludes(add->add_option("--species", *species,
                                 "Body size of a typical animal of this species: " +
                                     SpeciesNames() + " (mouse 10-30 cm², rat 40-120 cm²)")
                     ->check(SpeciesName()));
  add->callback([&, path, name, size, species] {
    result.Select([&, path, name, size, species] {
      return RunAdd(context, *path, *name, *size, *species);
    });
  });

  RegisterSet(*animal, context, result);
  AddListVerb(*animal, context, result, "List the animals", RunList);
}

}  // namespace vx::cli
