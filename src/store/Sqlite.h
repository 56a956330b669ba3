#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// Thin owners of SQLite C handles: a connection, a prepared statement, and a
// scope that returns a reused statement to its idle state.
namespace zelkar::store::sqlite {

class Database {
 public:
  Database() = default;

  // Opens `file` with the given sqlite3_open_v2 flags; returns the result code.
  // On failure the handle is released and errorText() holds the reason.
  int open(const QString& file, int flags);
  void close();
  bool isOpen() const { return db_ != nullptr; }
  sqlite3* handle() const { return db_.get(); }

  // Runs SQL without results; returns the result code.
  int exec(const char* sql);
  // The first column of the first row of a query as a number (0 when no row).
  int queryInt(const char* sql, std::int64_t& result);

  QString errorText() const;
  int errorCode() const;  // extended result code of the last failed call
  bool inTransaction() const;
  std::int64_t lastInsertId() const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::unique_ptr<sqlite3, Closer> db_;
  QString openError_;
};

class Statement {
 public:
  Statement() = default;

  // Prepares for reuse over the connection's lifetime; returns the result code.
  int prepare(const Database& db, const char* sql);
  bool isPrepared() const { return stmt_ != nullptr; }

  // Text is bound from a buffer of the statement's own, kept until the next bind.
  void bind(int index, QStringView text);
  void bind(int index, std::int64_t number);
  void bindBlob(int index, const QByteArray& bytes);  // bytes must outlive the use

  // SQLITE_ROW, SQLITE_DONE or an error code.
  int step();
  void reset();

  std::int64_t columnInt(int column) const;
  QString columnText(int column) const;
  QByteArray columnBlob(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* stmt) const;
  };
  std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
  std::array<QByteArray, 6> text_;  // UTF-8 of bound texts, reused from call to call
};

// Resets a reused statement (and clears its bindings) when the scope ends, so
// that no read stays open across calls.
class Use {
 public:
  explicit Use(Statement& statement) : statement_(statement) {}
  ~Use() { statement_.reset(); }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;
  Statement* operator->() { return &statement_; }

 private:
  Statement& statement_;
};

// True for result codes that mean "this database cannot be written now":
// read-only file or folder, no rights, locked by another process too long.
bool isRefusal(int resultCode);

}  // namespace zelkar::store::sqlite
