// A real crash in the middle of a write: a child process opens the file, starts a transaction,
// runs statements big enough to spill changed pages into the file itself, and is killed
// before it commits. What it leaves (a hot journal, half-written pages) is exactly what a
// program killed by the user or by a power cut leaves. Header-only: it needs vx_db.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "db/sqlite_database.h"

namespace vx::testing {

// Forks a writer that runs sql in one transaction on path and is killed before committing.
// True when the child died by the signal with the journal left behind.
inline bool KillWriterMidTransaction(const std::string& path, const std::string& sql) {
  const pid_t child = fork();
  if (child == 0) {
    SQLite::Database db;
    if (db.Open(path) != SQLite::kOk) _exit(2);
    db.Execute("PRAGMA cache_size=2");  // changed pages go to the file before the commit
    if (!db.BeginTransaction() || db.Execute(sql) != SQLite::kOk) _exit(3);
    // Enough changed pages that some are written into the file before the commit.
    db.Execute("create table Ballast(b blob)");
    db.Execute("insert into Ballast select randomblob(4000) from "
               "(with recursive n(i) as (select 1 union all select i+1 from n where i<200) "
               "select i from n)");
    raise(SIGKILL);
    _exit(4);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return false;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL &&
         access((path + "-journal").c_str(), F_OK) == 0;
}

}  // namespace vx::testing
