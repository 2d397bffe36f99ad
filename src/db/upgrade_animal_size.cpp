// The upgrade steps that set the experiment's animal-size setting (the Infos row "Animals"):
// derived from the animals' sizes below 10, recomputed below 18 when an older version wrote it
// with preset -2.
#include <algorithm>
#include <climits>

#include "base/text.h"
#include "db/animal_size.h"
#include "db/schema.h"
#include "db/sql_query.h"
#include "db/upgrade_steps.h"

namespace vx::upgrade {

void DeriveAnimalSizeSetting(Run& run) {
  SQLite::TablePtr pairs = run.db.GetTable("select distinct MinSize, MaxSize from Animals");
  AnimalSizeSetting setting = SettingFromLevels(10, 70);  // the new-file default
  if (pairs && pairs->GetRowCount() == 1) {
    setting = SettingFromSizes(pairs->GetInt("MinSize"), pairs->GetInt("MaxSize"));
  }
  run.db.Execute(Format("insert into Infos(Name, Value) values ('Animals','%s')",
                        SqlQuote(FormatAnimalSize(setting)).c_str()));
}

void RecomputeAnimalSizeSetting(Run& run) {
  std::string current;
  if (!QueryText(run.db, "select Value from Infos where Name='Animals'", current) ||
      current.rfind("0|1|-2|", 0) != 0) {
    return;
  }
  int minLevel = INT_MAX;
  int maxLevel = INT_MIN;
  SQLite::TablePtr animals = run.db.GetTable("Select MinSize, MaxSize, AnimalSize from Animals");
  if (animals && animals->MoveFirst()) {
    do {
      // An animal with its own setting gives its levels; any other takes them from its sizes.
      AnimalSizeSetting own;
      if (!ParseAnimalSize(animals->GetText("AnimalSize"), own)) {
        own = SettingFromSizes(animals->GetInt("MinSize"), animals->GetInt("MaxSize"));
      }
      minLevel = std::min(minLevel, own.minLevel);
      maxLevel = std::max(maxLevel, own.maxLevel);
    } while (animals->MoveNext());
  }
  AnimalSizeSetting setting;
  // Without animals the file takes the new-file default, which is the first case too.
  if (minLevel == INT_MAX || (minLevel >= 10 && maxLevel <= 70)) {
    setting = SettingFromLevels(10, 70);
  } else if (minLevel >= 30 && maxLevel <= 360) {
    setting = SettingFromLevels(30, 360);
  } else {
    setting = SettingFromLevels(minLevel, maxLevel);
  }
  run.db.Execute(Format("Update Infos set Value='%s' where Name='Animals'",
                        SqlQuote(FormatAnimalSize(setting)).c_str()));
}

}  // namespace vx::upgrade
