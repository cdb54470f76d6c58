#include "platform/sim/kept_content.h"

#include <strings.h>

#include <utility>

namespace dav::platform::sim {
namespace {

// Text in SQL quotes ('"' an identifier, '\'' a string), a quote inside doubled.
std::string Quoted(std::string_view text, char quote = '"') {
  std::string quoted(1, quote);
  for (const char c : text) {
    quoted += c;
    if (c == quote) quoted += quote;
  }
  return quoted + quote;
}

struct Table {
  std::string name;
  bool withoutRowid = false;
};

std::vector<Table> TablesOf(Database& db) {
  std::vector<Table> tables;
  auto query = db.Prepare(
      "SELECT name, wr FROM pragma_table_list WHERE schema = 'main' AND type = 'table' "
      "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' AND name NOT LIKE 'kept\\_%' ESCAPE '\\' "
      "ORDER BY name");
  while (query.Step()) tables.push_back({query.Text(0), query.Int(1) != 0});
  return tables;
}

// The table's columns as a list for SELECT and INSERT, and whether one of them is the rowid
// under its own name (a lone INTEGER PRIMARY KEY), which then carries the rowid back.
struct Columns {
  std::string list;
  bool rowidAlias = false;
};

Columns ColumnsOf(Database& db, const std::string& table) {
  Columns columns;
  int keys = 0;
  bool integerKey = false;
  auto query = db.Prepare("SELECT name, type, pk FROM pragma_table_info(?, 'main')");
  query.Bind(1, table);
  while (query.Step()) {
    if (!columns.list.empty()) columns.list += ", ";
    columns.list += Quoted(query.TextView(0));
    if (query.Int(2) != 0) {
      ++keys;
      integerKey = strcasecmp(query.Text(1).c_str(), "INTEGER") == 0;
    }
  }
  columns.rowidAlias = keys == 1 && integerKey;
  return columns;
}

// A trigger's statement that adds value to the notes unless they hold it. Not INSERT OR IGNORE:
// the conflict clause of the statement that fired the trigger (an upsert's, a REPLACE) would
// take the place of IGNORE.
std::string NoteOnce(const std::string& notes, const char* column, const std::string& value) {
  return "INSERT INTO " + notes + " SELECT " + value + " WHERE NOT EXISTS (SELECT 1 FROM " + notes +
         " WHERE " + column + " = " + value + ")";
}

bool HasSequence(Database& db) {
  return db.Prepare("SELECT 1 FROM main.sqlite_schema WHERE name = 'sqlite_sequence'").Step();
}

}  // namespace

KeptContent::KeptContent(Database& db) : db_(db) {
  // A REPLACE that deletes a row of another key fires the delete trigger only so.
  db_.Exec("PRAGMA recursive_triggers = ON");
  db_.Exec("CREATE TABLE main.kept_notes_of_tables (name TEXT PRIMARY KEY)");
  for (const Table& table : TablesOf(db_)) {
    const std::string name = Quoted(table.name);
    const std::string copy = "main." + Quoted("kept_copy_" + table.name);
    const Columns columns = ColumnsOf(db_, table.name);
    // Each trigger notes what a change touched; the copy is what the rows were.
    const auto triggers = [&](const std::string& noteNew, const std::string& noteOld) {
      const auto trigger = [&](const char* event, const std::string& body) {
        db_.Exec("CREATE TEMP TRIGGER " + Quoted("kept_" + table.name + "_" + event) + " AFTER " +
                 event + " ON main." + name + " BEGIN " + body + " END");
      };
      trigger("INSERT", noteNew + ";");
      trigger("DELETE", noteOld + ";");
      trigger("UPDATE", noteOld + "; " + noteNew + ";");
    };
    Part part;
    if (table.withoutRowid) {
      db_.Exec("CREATE TABLE " + copy + " AS SELECT " + columns.list + " FROM main." + name);
      const std::string literal = Quoted(table.name, '\'');
      const std::string note = NoteOnce("kept_notes_of_tables", "name", literal);
      triggers(note, note);
      part.noted = "SELECT 1 FROM main.kept_notes_of_tables WHERE name = " + literal;
      part.restore = {"DELETE FROM main." + name, "INSERT INTO main." + name + " (" + columns.list +
                                                      ") SELECT " + columns.list + " FROM " + copy};
      parts_.push_back(std::move(part));
      continue;
    }
    // The copy's own rowid is the row's, so that it is looked up by rowid. The notes hold a
    // rowid once per change that touched it: a plain insert into a table without constraints
    // costs a change a fraction of what looking for the note first does (names in a
    // trigger's body are not qualified).
    const std::string notesName = Quoted("kept_notes_" + table.name);
    const std::string notes = "main." + notesName;
    db_.Exec("CREATE TABLE " + copy + " (kept_rowid INTEGER PRIMARY KEY, " + columns.list + ")");
    db_.Exec("INSERT INTO " + copy + " SELECT rowid, " + columns.list + " FROM main." + name);
    db_.Exec("CREATE TABLE " + notes + " (id INTEGER)");
    triggers("INSERT INTO " + notesName + " (id) VALUES (new.rowid)",
             "INSERT INTO " + notesName + " (id) VALUES (old.rowid)");
    const std::string noted = " IN (SELECT id FROM " + notes + ")";
    const std::string rowid = columns.rowidAlias ? "" : "rowid, ";
    const std::string keptRowid = columns.rowidAlias ? "" : "kept_rowid, ";
    part.noted = "SELECT 1 FROM " + notes + " LIMIT 1";
    part.restore = {"DELETE FROM main." + name + " WHERE rowid" + noted,
                    "INSERT INTO main." + name + " (" + rowid + columns.list + ") SELECT " +
                        keptRowid + columns.list + " FROM " + copy + " WHERE kept_rowid" + noted,
                    "DELETE FROM " + notes};
    parts_.push_back(std::move(part));
  }
  always_.push_back("DELETE FROM main.kept_notes_of_tables");
  if (HasSequence(db_)) {
    db_.Exec(
        "CREATE TABLE main.kept_copy_of_sequence AS SELECT name, seq FROM main.sqlite_sequence");
    always_.push_back("DELETE FROM main.sqlite_sequence");
    always_.push_back(
        "INSERT INTO main.sqlite_sequence (name, seq) SELECT name, seq FROM "
        "main.kept_copy_of_sequence");
  }
}

KeptContent::~KeptContent() {
  try {
    // Temporary triggers and tables go with the temp schema's own objects one by one; the
    // copy goes with its schema.
    std::vector<std::string> drops;
    for (const char* schema : {"temp", "main"}) {
      auto query = db_.Prepare(std::string("SELECT type, name FROM ") + schema +
                               ".sqlite_schema WHERE name LIKE 'kept\\_%' ESCAPE '\\' "
                               "AND type IN ('trigger', 'table')");
      while (query.Step()) {
        drops.push_back("DROP " +
                        std::string(query.TextView(0) == "trigger" ? "TRIGGER" : "TABLE") +
                        " IF EXISTS " + schema + "." + Quoted(query.TextView(1)));
      }
    }
    for (const std::string& drop : drops) db_.Exec(drop);
  } catch (const SqliteError&) {
    // A connection closing anyway drops all of it.
  }
}

void KeptContent::Restore() {
  db_.Transaction(Database::Mode::kWrite, [&] {
    // Most tasks change a few tables: one look at each table's notes, and work only where
    // there are any.
    for (const Part& part : parts_) {
      if (!db_.Prepare(part.noted).Step()) continue;
      for (const std::string& sql : part.restore) db_.Prepare(sql).Run();
    }
    for (const std::string& sql : always_) db_.Prepare(sql).Run();
  });
  db_.CountAsRollback();
}

}  // namespace dav::platform::sim
