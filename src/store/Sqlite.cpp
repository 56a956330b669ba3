#include "store/Sqlite.h"

#include <QFile>
#include <QStringEncoder>

#include <sqlite3.h>

namespace zelkar::store::sqlite {

void Database::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

int Database::open(const QString& file, int flags) {
  close();
  openError_.clear();
  sqlite3* raw = nullptr;
  const QByteArray name = QFile::encodeName(file);
  const int rc = sqlite3_open_v2(name.constData(), &raw, flags, nullptr);
  db_.reset(raw);
  if (rc != SQLITE_OK) {
    openError_ = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString::fromUtf8(sqlite3_errstr(rc));
    db_.reset();
    return rc;
  }
  sqlite3_extended_result_codes(raw, 1);
  return rc;
}

void Database::close() { db_.reset(); }

int Database::exec(const char* sql) { return sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr); }

int Database::queryInt(const char* sql, std::int64_t& result) {
  Statement statement;
  int rc = statement.prepare(*this, sql);
  if (rc != SQLITE_OK) return rc;
  rc = statement.step();
  result = rc == SQLITE_ROW ? statement.columnInt(0) : 0;
  return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

QString Database::errorText() const {
  return db_ ? QString::fromUtf8(sqlite3_errmsg(db_.get())) : openError_;
}

int Database::errorCode() const { return db_ ? sqlite3_extended_errcode(db_.get()) : SQLITE_CANTOPEN; }

bool Database::inTransaction() const { return db_ && sqlite3_get_autocommit(db_.get()) == 0; }

std::int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_.get()); }

void Statement::Finalizer::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

int Statement::prepare(const Database& db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  stmt_.reset(raw);
  return rc;
}

void Statement::bind(int index, QStringView text) {
  // The database holds UTF-8; converting here saves SQLite a conversion (and an
  // allocation) for every comparison.
  QByteArray& buffer = text_.at(static_cast<std::size_t>(index) % text_.size());
  QStringEncoder encoder(QStringEncoder::Utf8);
  buffer.resize(encoder.requiredSpace(text.size()));
  char* const end = encoder.appendToBuffer(buffer.data(), text);
  const int size = static_cast<int>(end - buffer.constData());
  sqlite3_bind_text(stmt_.get(), index, buffer.constData(), size, SQLITE_STATIC);
}

void Statement::bind(int index, std::int64_t number) { sqlite3_bind_int64(stmt_.get(), index, number); }

void Statement::bindBlob(int index, const QByteArray& bytes) {
  if (bytes.isEmpty())
    sqlite3_bind_zeroblob(stmt_.get(), index, 0);
  else
    sqlite3_bind_blob(stmt_.get(), index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_STATIC);
}

int Statement::step() { return sqlite3_step(stmt_.get()); }

void Statement::reset() {
  sqlite3_reset(stmt_.get());
  sqlite3_clear_bindings(stmt_.get());
}

std::int64_t Statement::columnInt(int column) const { return sqlite3_column_int64(stmt_.get(), column); }

QString Statement::columnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
  const int bytes = sqlite3_column_bytes(stmt_.get(), column);
  return text ? QString::fromUtf8(text, bytes) : QString();
}

QByteArray Statement::columnBlob(int column) const {
  const void* data = sqlite3_column_blob(stmt_.get(), column);
  const int bytes = sqlite3_column_bytes(stmt_.get(), column);
  return data ? QByteArray(static_cast<const char*>(data), bytes) : QByteArray();
}

bool isRefusal(int resultCode) {
  switch (resultCode & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
      return true;
    default:
      return false;
  }
}

}  // namespace zelkar::store::sqlite
